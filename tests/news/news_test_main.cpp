// Test entry for the news tests: one offscreen application for the widget tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The test servers are on 127.0.0.1; a proxy from the environment must not get in between.
    setenv("NO_PROXY", "127.0.0.1", 1);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
