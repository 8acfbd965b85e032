// main() of the window tests: a QApplication on the offscreen platform, then GoogleTest.

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // The tests never need a screen, and test discovery at build time has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A Collection the window opens by itself lands in a folder of this run, never the user's.
    QTemporaryDir data;
    if (data.isValid())
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
