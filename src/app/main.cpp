#include "app/fonts.h"
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Sornel"));
    QApplication::setFont(sornel::defaultGuiFont());
    QApplication::setWindowIcon(sornel::MainWindow::programIcon());

    sornel::MainWindow window;
    window.showCentred();
    QApplication::exec();
    sornel::endProgram(window);
}
