#include "app/application.h"
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    sornel::setUpApplication(app);

    sornel::MainWindow window;
    window.showCentred();
    QApplication::exec();
    sornel::endProgram(window);
}
