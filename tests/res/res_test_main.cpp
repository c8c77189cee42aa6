#include <gtest/gtest.h>

#include <QApplication>

// The widget suites need no display: the offscreen platform unless the caller chose one, also
// when CTest lists the tests at build time without the test environment.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
