#include "app/application.h"

#include "app/main_window.h"
#include "ui/fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace sornel {

bool installQtTranslations(QApplication& app, const QString& directory)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), directory)) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

void setUpApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Sornel"));
    installQtTranslations(app, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    QApplication::setFont(defaultGuiFont());
    QApplication::setWindowIcon(MainWindow::programIcon());
    // The main window's close ends the program; no other window's does, even when it is the
    // last one showing because the main window is hidden in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
}

} // namespace sornel
