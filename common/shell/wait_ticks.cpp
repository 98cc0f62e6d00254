// WaitTicks over the Qt event loop.
#include "common/shell/wait_ticks.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <thread>

namespace plx {

std::int64_t WaitTicks(std::int64_t milliseconds) {
    // Real time on purpose: a wait must end even when the program's clock is a test's manual one.
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    };
    if (!QCoreApplication::instance()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds > 0 ? milliseconds : 0));
        return elapsed();
    }
    // Sleeping in the event loop instead of spinning: a timer wakes the loop at the deadline.
    QTimer wake;
    wake.setSingleShot(true);
    while (elapsed() < milliseconds) {
        wake.start(static_cast<int>(milliseconds - elapsed()));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return elapsed();
}

}  // namespace plx
