#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// GUI suites run on the offscreen platform unless the caller chose another one, so the tests
// never need a display, even when started by hand.
int main(int argc, char* argv[]) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A window that is not given a configuration file never touches the user's own.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
