#include "app/main_window.h"

#include "app/about.h"
#include "app/elapsed_clock.h"
#include "app/image_button.h"
#include "app/monitoring.h"
#include "app/resources.h"
#include "app/tips_ticker.h"
#include "app/tray_controller.h"
#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "ui/fonts.h"
#include "ui/window_placement.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <cstdio>
#include <cstdlib>

namespace sornel {

namespace {

QIcon iconFromResources(const QString& name)
{
    registerResources();
    // 16 to 48 pixels, and twice those for screens at 200 %: each size is drawn from an image
    // of its own instead of being blown up.
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64, 96}) {
        icon.addFile(QStringLiteral(":/icons/%1-%2.png").arg(name).arg(size), QSize(size, size));
    }
    return icon;
}

ImageButton* commandButton(QWidget* parent, const char* name, const QString& caption,
                           const QIcon& image, int x)
{
    auto* button = new ImageButton(caption, image, parent);
    button->setObjectName(name);
    button->setGeometry(x, 0, 58, 72);
    return button;
}

} // namespace

QIcon MainWindow::programIcon()
{
    return iconFromResources(QStringLiteral("program"));
}

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName("mainWindow");
    setWindowTitle(QStringLiteral("Sornel1.0      By：Dravik"));
    setWindowIcon(programIcon());
    setFixedSize(kClientSize);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    setPalette(colours);
    setAutoFillBackground(true);
    setStyleSheet(classicGroupBoxStyle());

    ImageButton* add = commandButton(this, "addButton", QStringLiteral("增加"),
                                     iconFromResources(QStringLiteral("add")), 2);
    add->setHoverFillIsButtonFace(true);
    ImageButton* modify = commandButton(this, "modifyButton", QStringLiteral("修改"),
                                        iconFromResources(QStringLiteral("modify")), 68);
    ImageButton* remove = commandButton(this, "deleteButton", QStringLiteral("删除"),
                                        iconFromResources(QStringLiteral("delete")), 134);
    ImageButton* start =
        commandButton(this, "startButton", QStringLiteral("开始监控"), programIcon(), 200);
    ImageButton* stop = commandButton(this, "stopButton", QStringLiteral("停止监控"),
                                      iconFromResources(QStringLiteral("stop")), 268);
    ImageButton* about = commandButton(this, "aboutButton", QStringLiteral("关于"),
                                       iconFromResources(QStringLiteral("about")), 336);

    auto* clockGroup = new QGroupBox(QStringLiteral("已监控"), this);
    clockGroup->setObjectName("clockGroup");
    clockGroup->setGeometry(499, 3, 149, 63);
    clockDisplay_ = new QLineEdit(QStringLiteral("00:00:00"), clockGroup);
    clockDisplay_->setObjectName("clockDisplay");
    clockDisplay_->setGeometry(10, 15, 128, 40);
    clockDisplay_->setFrame(false);
    clockDisplay_->setAlignment(Qt::AlignCenter);
    clockDisplay_->setFont(clockFont());
    QPalette clockColours = clockDisplay_->palette();
    clockColours.setColor(QPalette::Text, QColor(0, 96, 192));
    clockColours.setColor(QPalette::Base, colours.color(QPalette::Button));
    clockDisplay_->setPalette(clockColours);

    list_ = new EntryList(this);
    list_->setGeometry(6, 76, 636, 188);

    auto* tipsGroup = new QGroupBox(QStringLiteral("温馨提示"), this);
    tipsGroup->setObjectName("tipsGroup");
    tipsGroup->setGeometry(6, 266, 640, 32);
    tipsLine_ = new QLabel(
        QStringLiteral(
            ">>>欢迎您使用本程序，不清楚的地方请看温馨提示说明，或联系我，祝您使用愉快！"),
        tipsGroup);
    tipsLine_->setObjectName("tipsLine");
    tipsLine_->setGeometry(58, 12, 570, 16);

    clock_ = new ElapsedClock(*clockDisplay_, this);
    tips_ = new TipsTicker(*tipsLine_, this);
    tray_ = new TrayController(*this, kOuterSize, programIcon(),
                               &QSystemTrayIcon::isSystemTrayAvailable, this);

    monitoring_ = std::make_unique<Monitoring>(*list_, *clock_);
    connect(start, &ImageButton::clicked, this, [this] { startMonitoring(*monitoring_); });
    connect(stop, &ImageButton::clicked, this, [this] { stopMonitoring(*monitoring_); });
    connect(add, &ImageButton::clicked, this, [this] { addEntry(*list_); });
    connect(modify, &ImageButton::clicked, this, [this] { modifyEntry(*list_); });
    connect(remove, &ImageButton::clicked, this, [this] { deleteSelectedEntry(*list_); });
    connect(about, &ImageButton::clicked, this, [this] { showAbout(*this); });

    // Esc without Ctrl, Shift or Alt closes the window, whichever of its controls has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // The window's created event, then its first moved event.
    tips_->start();
    tray_->onMoved();
}

MainWindow::~MainWindow() = default;

void endProgram(MainWindow& window)
{
    window.monitoring().endAll();
    window.tips().release();
    std::fflush(nullptr);
    // Returning from main would run the libraries' exit clean-up (TLS, the HTTP client) while
    // an ended worker may still be unwinding through them.
    std::quick_exit(0);
}

void MainWindow::showCentred()
{
    centreOnScreen(*this, kOuterSize);
    show();
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    tray_->onMoved();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Minimising is a change of the window's state, not a move: it too may send the window to
    // the tray.
    if (event->type() == QEvent::WindowStateChange) {
        tray_->onMoved();
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    tray_->remove();
    // The workers end with the program: from here on they touch nothing.
    monitoring_->endAll();
    event->accept();
    // Nothing else keeps the program alive: not a message box that is still open.
    QCoreApplication::quit();
}

} // namespace sornel
