// WaitTicks waits real time and keeps events (the main timer's included) flowing meanwhile.
#include "common/shell/wait_ticks.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "tests/support/qt_app.h"

using namespace plx;

TEST(WaitTicks, WaitsAndLetsTimersRun) {
    plxtest::TestApp();
    int fired = 0;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++fired; });
    timer.start();
    std::int64_t waited = WaitTicks(150);
    EXPECT_GE(waited, 150);
    EXPECT_LT(waited, 1000);
    EXPECT_GE(fired, 3);
    EXPECT_GE(WaitTicks(0), 0);
}
