// Writes pictures of the windows, rendered with the program's real fonts, for people to look
// at: the main window (also with a hovered and a focused button), both editor forms and the
// about box. Usage: ui_screenshots <output folder>

#include "app/about.h"
#include "app/fonts.h"
#include "app/image_button.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "editor/entry_editor_dialog.h"
#include "entries/entry_list.h"
#include "monitor/gbk_codec.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QRadioButton>
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
    QApplication::setFont(defaultGuiFont());
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
    showAbout();
    setMessageSinkForTesting(nullptr);
    const auto box = makeMessageBox(about);
    box->show();
    ok &= save(*box, folder, "about-box");

    return ok ? 0 : 1;
}
