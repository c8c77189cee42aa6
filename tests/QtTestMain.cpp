#include <gtest/gtest.h>

#include <QApplication>

// GoogleTest main for suites that build real widgets (on the offscreen platform under CTest).
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
