// main() of the window tests: a QApplication on the offscreen platform, then GoogleTest.

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char* argv[])
{
    // The tests never need a screen, and test discovery at build time has none.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A window takes what it opens into the Collection: into one of the run's own, never
    // the user's.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setApplicationName("Veltrix");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
