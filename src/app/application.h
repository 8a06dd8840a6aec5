#pragma once

class QApplication;
class QString;

namespace sornel {

// Sets up the program's application object before its window is made: name, font, icon, Qt's
// own Chinese texts, and an end only when the main window closes (a message box closed while
// the window sits in the tray ends nothing).
void setUpApplication(QApplication& app);

// Installs Qt's Simplified Chinese translations (qtbase_zh_CN) from `directory`, so that the
// buttons and menus Qt draws itself read Chinese whatever the machine's locale. False, and Qt's
// built-in texts, when the file is not there.
bool installQtTranslations(QApplication& app, const QString& directory);

} // namespace sornel
