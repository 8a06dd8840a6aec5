// GoogleTest main for the window tests: one QApplication, headless unless told otherwise, with
// the program's own fonts.

#include "app/fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setFont(sornel::defaultGuiFont());
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
