#include <gtest/gtest.h>
#include <QApplication>

// Every test binary runs inside one QApplication on the offscreen platform,
// so that fonts, images and painters behave as they do in the program.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
