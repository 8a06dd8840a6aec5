// GoogleTest main for the window tests: one QApplication, headless unless told otherwise, with
// the program's own set-up (fonts, Qt's Chinese texts).

#include "app/application.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    sornel::setUpApplication(app);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
