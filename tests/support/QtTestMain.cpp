// main() for tests that need a QApplication: headless (Qt's offscreen
// platform) unless the test runs under a real X server, where the test's
// registration sets QT_QPA_PLATFORM=xcb.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
