// Letting a test's event loop run until something has happened.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>

namespace plxtest {

// Runs the event loop until `done` holds or `limitMs` passes; tells whether `done` holds.
inline bool RunEventsUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace plxtest
