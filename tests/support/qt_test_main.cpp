// The entry of every test program that drives windows: one QApplication, offscreen
// unless told otherwise (test discovery runs the program without the test
// environment), and the program never quits on a closed window. On Windows (also
// under wine, with a display) the windows platform draws: offscreen has no fonts there.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
#ifndef _WIN32
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
