#include "app/application.h"
#include "app/elapsed_clock.h"
#include "app/image_button.h"
#include "app/main_window.h"
#include "app/monitoring.h"
#include "app/tips_ticker.h"
#include "app/tray_controller.h"
#include "entries/entry_list.h"
#include "ui/message_box.h"
#include "ui_test_support.h"

#include <QEnterEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace sornel {
namespace {

using test::child;

// Clicks `button` the way the window system does, through its window, where a modal window
// that blocks that window swallows the click. True when the button saw the click.
bool clickThroughItsWindow(QAbstractButton& button)
{
    bool clicked = false;
    const auto connection =
        QObject::connect(&button, &QAbstractButton::clicked, [&clicked] { clicked = true; });
    QWidget* window = button.window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      button.mapTo(window, button.rect().center()));
    QObject::disconnect(connection);
    return clicked;
}

TEST(MainWindowTest, TipsStartWithTheWindow)
{
    MainWindow window;
    EXPECT_EQ(window.tips().periodMs(), 20000);
    EXPECT_EQ(window.tips().tips().size(), 8u);
    EXPECT_FALSE(window.clock().isRunning());
}

TEST(MainWindowTest, EscClosesFromAnyControlButNotWithModifiers)
{
    for (const char* focus : {"", "clockDisplay", "entryList", "addButton"}) {
        MainWindow window;
        window.showCentred();
        QApplication::setActiveWindow(&window);
        QWidget* target = *focus ? &child<QWidget>(window, focus) : &window;
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape, Qt::ShiftModifier);
        QTest::keyClick(target, Qt::Key_Escape, Qt::ControlModifier);
        EXPECT_TRUE(window.isVisible()) << focus;
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible()) << focus;
    }
}

TEST(MainWindowTest, AboutBoxThroughTheButton)
{
    MainWindow window;
    test::MessageRecorder recorder;
    child<ImageButton>(window, "aboutButton").click();
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].title, QStringLiteral("关于"));
    EXPECT_TRUE(recorder.messages[0].text.startsWith(QStringLiteral("Sornel 1.0\n\n\n")));
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Information);
}

TEST(MainWindowTest, DeleteButtonDeletesTheSelectedRow)
{
    MainWindow window;
    EntryList& list = window.entryList();
    list.appendRow();
    list.setCellText(0, 0, "1");
    list.appendRow();
    list.setCellText(1, 0, "2");
    list.selectRow(0);
    child<ImageButton>(window, "deleteButton").click();
    ASSERT_EQ(list.rowCount(), 1);
    EXPECT_EQ(list.cellText(0, 0), "2");
}

// A box of the window's thread: Chinese button, centred on the screen, modal over the window it
// was opened for and over nothing else, so that a worker's hit message stays usable.
TEST(MessageBoxTest, ARealBoxShowsTitleTextAndIconAndBlocksOnlyItsWindow)
{
    MainWindow window;
    window.showCentred();
    QMessageBox hit(QMessageBox::Information, QStringLiteral("提示：发现关键词！"), QString(),
                    QMessageBox::Ok);
    hit.show();
    QString title;
    QString text;
    QString button;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    QWidget* owner = nullptr;
    QPoint centre;
    bool hitClosed = false;
    bool windowReached = true;
    test::whenModalOpens([&](QWidget& modal) {
        auto& box = dynamic_cast<QMessageBox&>(modal);
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        modality = box.windowModality();
        owner = box.parentWidget();
        centre = box.frameGeometry().center();
        EXPECT_EQ(box.buttons().size(), 1);
        button = box.button(QMessageBox::Ok)->text();
        windowReached = clickThroughItsWindow(child<ImageButton>(window, "stopButton"));
        hitClosed = clickThroughItsWindow(*hit.button(QMessageBox::Ok)) && !hit.isVisible();
        box.button(QMessageBox::Ok)->click();
    });
    showMessage(&window, MessageIcon::Warning, QString(), QStringLiteral("信息填写有误，请检查！"));
    EXPECT_EQ(title, QStringLiteral("信息：")) << "an empty title";
    EXPECT_EQ(text, QStringLiteral("信息填写有误，请检查！"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(button, QStringLiteral("确定")) << "Qt's own texts are Chinese";
    EXPECT_EQ(modality, Qt::WindowModal);
    EXPECT_EQ(owner, &window);
    EXPECT_FALSE(windowReached) << "the main window is blocked";
    EXPECT_TRUE(hitClosed) << "a hit message stays usable";
    const QPoint screenCentre = window.screen()->geometry().center();
    EXPECT_LE((centre - screenCentre).manhattanLength(), 2) << "centred on the screen";
}

// With the main window hidden in the tray, closing the only window left showing (a hit message,
// the about box) must not end the program: only the main window's close does.
TEST(ApplicationTest, OnlyTheMainWindowsCloseEndsTheProgram)
{
    MainWindow window;
    window.showCentred();
    window.hide();
    QTimer::singleShot(0, [] {
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示：发现关键词！"), QString(),
                        QMessageBox::Ok);
        box.show();
        QApplication::processEvents();
        box.close();
        // Still running a moment later: this is the loop's end, with a code only it gives.
        QTimer::singleShot(200, [] { QApplication::exit(7); });
    });
    EXPECT_EQ(QApplication::exec(), 7);

    window.show();
    QTimer::singleShot(0, &window, &QWidget::close);
    QTimer::singleShot(10000, [] { QApplication::exit(7); });
    EXPECT_EQ(QApplication::exec(), 0) << "closing the main window ends the loop";
}

// Qt's own texts (the buttons of a box, an edit box's context menu) are Chinese; without the
// translation file the program still starts, with Qt's built-in texts.
TEST(ApplicationTest, QtsOwnTextsAreChinese)
{
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList captions;
    for (const QAction* action : menu->actions()) {
        captions << action->text();
    }
    EXPECT_TRUE(captions.join(' ').contains(QStringLiteral("粘贴")))
        << captions.join(' ').toStdString();
    EXPECT_TRUE(captions.join(' ').contains(QStringLiteral("全选")));

    EXPECT_FALSE(installQtTranslations(*qApp, QStringLiteral("/nonexistent-sornel-folder")));
}

// At 200 % every icon is drawn from an image of twice its size, not blown up from a small one.
TEST(ImageButtonTest, ImagesForScreensAt200Percent)
{
    const QIcon icon = MainWindow::programIcon();
    for (const int size : {16, 24, 32, 48}) {
        EXPECT_TRUE(icon.availableSizes().contains(QSize(2 * size, 2 * size))) << size;
    }
    MainWindow window;
    for (ImageButton* button : window.findChildren<ImageButton*>()) {
        const QPixmap image = button->icon().pixmap(QSize(32, 32), 2.0);
        EXPECT_EQ(image.size(), QSize(64, 64)) << button->objectName().toStdString();
    }
}

TEST(ImageButtonTest, LooksFollowHoverFocusAndPress)
{
    MainWindow window;
    window.showCentred();
    QApplication::setActiveWindow(&window);
    auto& button = child<ImageButton>(window, "modifyButton");
    EXPECT_EQ(button.look(), ImageButton::Look::Normal);
    button.setFocus();
    EXPECT_EQ(button.look(), ImageButton::Look::Focus);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
    EXPECT_EQ(button.look(), ImageButton::Look::Hover);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(button.look(), ImageButton::Look::Focus);
    button.setDown(true);
    EXPECT_EQ(button.look(), ImageButton::Look::Hover);
}

// A window and its tray controller with a notification area that the test decides about.
struct TrayFixture {
    explicit TrayFixture(bool trayAvailable)
        : tray(window, QSize(655, 332), MainWindow::programIcon(),
               [trayAvailable] { return trayAvailable; })
    {
        window.resize(649, 303);
        window.move(3, 4);
        window.show();
    }

    void minimise()
    {
        window.showMinimized();
        tray.onMoved();
        QApplication::processEvents();
    }

    QWidget window;
    TrayController tray;
};

TEST(TrayTest, MinimiseHidesBehindOneIconAndAClickRestoresCentred)
{
    TrayFixture f(true);
    f.tray.onMoved(); // a plain move does nothing
    EXPECT_EQ(f.tray.trayIcon(), nullptr);
    f.minimise();
    EXPECT_FALSE(f.window.isVisible());
    ASSERT_NE(f.tray.trayIcon(), nullptr);
    EXPECT_TRUE(f.tray.trayIcon()->isVisible());
    EXPECT_EQ(f.tray.trayIcon()->toolTip(), QStringLiteral("Sornel  -  监控中···"));

    for (auto reason : {QSystemTrayIcon::Context, QSystemTrayIcon::MiddleClick}) {
        f.tray.onTrayEvent(reason);
        EXPECT_FALSE(f.window.isVisible());
    }
    f.tray.onTrayEvent(QSystemTrayIcon::Trigger);
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_FALSE(f.window.isMinimized());
    EXPECT_FALSE(f.window.windowFlags() & Qt::WindowStaysOnTopHint);
    const QRect screen = f.window.screen()->geometry();
    EXPECT_EQ(f.window.pos(), QPoint((screen.width() - 655) / 2, (screen.height() - 332) / 2));
    EXPECT_TRUE(f.tray.trayIcon()->isVisible()) << "the icon stays after restoring";

    QSystemTrayIcon* icon = f.tray.trayIcon();
    f.minimise();
    EXPECT_FALSE(f.window.isVisible());
    EXPECT_EQ(f.tray.trayIcon(), icon) << "still exactly one icon";
    f.tray.onTrayEvent(QSystemTrayIcon::DoubleClick);
    EXPECT_TRUE(f.window.isVisible());
    f.tray.remove();
    EXPECT_EQ(f.tray.trayIcon(), nullptr);
}

TEST(TrayTest, WithoutANotificationAreaTheWindowStaysMinimised)
{
    TrayFixture f(false);
    f.minimise();
    EXPECT_TRUE(f.window.isVisible());
    EXPECT_TRUE(f.window.isMinimized());
    EXPECT_EQ(f.tray.trayIcon(), nullptr);
}

} // namespace
} // namespace sornel

namespace sornel {
namespace {

TEST(AlertSoundTest, PlaysFromTheResourcesOrStaysSilentWithoutADevice)
{
    QFile clip(QStringLiteral(":/sounds/alert.wav"));
    ASSERT_TRUE(clip.open(QIODevice::ReadOnly));
    const QByteArray bytes = clip.readAll();
    EXPECT_EQ(bytes.size(), 245178);
    EXPECT_TRUE(bytes.startsWith("RIFF"));
    EXPECT_EQ(bytes.mid(8, 8), QByteArray("WAVEfmt "));
    // Two alerts at once; neither may fail the program, with or without a sound device.
    playAlertSound();
    playAlertSound();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
    }
}

} // namespace
} // namespace sornel
