// Writes pictures of the windows, rendered with the program's real fonts, for people to look
// at: the main window (also with a hovered and a focused button), both editor forms and the
// about box. Usage: ui_screenshots <output folder>

#include "app/about.h"
#include "app/application.h"
#include "app/image_button.h"
#include "app/main_window.h"
#include "app/monitoring.h"
#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "monitor/gbk_codec.h"
#include "support/raw_server.h"
#include "ui/message_box.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
#include <QThread>
#include <cstdio>

namespace {

using namespace sornel;

bool save(QWidget& widget, const QDir& folder, const char* name)
{
    QApplication::processEvents();
    const QPixmap picture = widget.grab();
    const QString path = folder.filePath(QString::fromLatin1(name) + ".png");
    if (picture.isNull() || !picture.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

void addRow(EntryList& list, const char* address, const char* keywords, const char* relation)
{
    const int row = list.appendRow();
    const char* cells[] = {nullptr, "监控中", address, keywords, "是", "3", relation, "否"};
    list.setCellText(row, 0, std::to_string(row + 1));
    for (int c = 1; c < kEntryColumnCount; ++c) {
        list.setCellText(row, c, GbkCodec::fromUtf8(cells[c]));
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    setUpApplication(app);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    QDir().mkpath(folder.path());
    bool ok = true;

    MainWindow window;
    EntryList& list = window.entryList();
    addRow(list, "http://www.example.com/forum/list.php?fid=12", "笔记本|九成新", "同一行");
    addRow(list, "https://news.example.org/", "公告|招聘", "或");
    window.showCentred();
    QApplication::setActiveWindow(&window);
    window.clockDisplay().setText(QStringLiteral("00:03:17"));
    ok &= save(window, folder, "main-window");

    auto& modify = *window.findChild<ImageButton*>(QStringLiteral("modifyButton"));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&modify, &enter);
    ok &= save(window, folder, "button-hovered");
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&modify, &leave);

    window.findChild<ImageButton*>(QStringLiteral("deleteButton"))->setFocus();
    ok &= save(window, folder, "button-focused");

    EntryEditorDialog addForm(EntryEditorDialog::Form::Add, list);
    addForm.show();
    ok &= save(addForm, folder, "add-form");
    addForm.hide();

    list.selectRow(0);
    EntryEditorDialog modifyForm(EntryEditorDialog::Form::Modify, list);
    modifyForm.loadSelectedRow();
    modifyForm.show();
    ok &= save(modifyForm, folder, "modify-form");
    modifyForm.hide();

    Message about{};
    setMessageSinkForTesting([&about](const Message& m) { about = m; });
    showAbout(window);
    setMessageSinkForTesting(nullptr);
    const auto box = makeMessageBox(about);
    box->show();
    ok &= save(*box, folder, "about-box");

    box->hide();

    // A real hit: a worker finds its keywords on a page served here.
    test::RawServer page([](int socket, const std::string&, const std::atomic<bool>&) {
        test::RawServer::sendAll(socket, "HTTP/1.0 200 OK\r\n\r\n<p>\xE4\xBB\xB7\xE6\xA0\xBC</p>");
    });
    MainWindow watching;
    watching.monitoring().setSoundForTesting([] {});
    addRow(watching.entryList(), page.url("/list?fid=12").c_str(), "价格", "与");
    watching.showCentred();
    startMonitoring(watching.monitoring());
    QWidget* hit = nullptr;
    for (int i = 0; i < 2000 && hit == nullptr; ++i) {
        QApplication::processEvents();
        QThread::msleep(5);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "hitMessage" && w->isVisible()) {
                hit = w;
            }
        }
    }
    ok &= hit != nullptr && save(*hit, folder, "hit-message");
    ok &= save(watching, folder, "main-window-watching");
    stopMonitoring(watching.monitoring());
    QApplication::processEvents();
    return ok ? 0 : 1;
}
