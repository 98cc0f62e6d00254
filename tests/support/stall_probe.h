// Watches how freely the event loop runs: the longest stall of the loop (the longest time between
// two runs of a probe timer that asks to run every few milliseconds) and the longest gap between
// two ticks of the main timer. Used by the stall tests and the stall benchmark.
//
// A stall is also given as the program's own share, which leaves out what the machine did to the
// user-interface thread rather than what the thread did:
//   - the time it waited, ready to run, for a processor (the kernel's run-queue wait);
//   - the time it sat in the event loop's own short wait (a poll of at most the probe's interval)
//     and was woken late;
//   - the time the whole machine stood still (a watcher thread's short sleeps overran).
// What remains is the time the thread was held by its own work or by a call that blocked (a
// network wait on the user-interface thread sits in a poll of its own, with a longer time-out,
// and counts in full). Time the processor spent elsewhere while the thread was nominally running
// (interrupts, a host that took the virtual processor away) cannot be told apart and counts too.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace plxtest {

class StallProbe {
public:
    // Starts watching at once, on the calling (user-interface) thread; `mainTimer` is tm_main.
    explicit StallProbe(QTimer& mainTimer);
    ~StallProbe();
    StallProbe(const StallProbe&) = delete;
    StallProbe& operator=(const StallProbe&) = delete;

    // Starts a new window of measurement: the longest values and the tick count begin afresh.
    void Restart();
    // Forgets the stalls seen so far, keeping the ticks and their gaps: what follows is judged on
    // its own (a dialog's own building, say, is the user's wait and not the program's).
    void ForgetStalls();

    // Milliseconds since the start of the window.
    qint64 ElapsedMs() const;
    // The longest stall as the clock on the wall saw it, and when it ended.
    qint64 LongestStallMs() const { return longestStall_; }
    qint64 LongestStallEndedMs() const { return longestStallEnded_; }
    // The program's own share of its longest stall, and when that stall ended (worked out when
    // asked, so that the watcher has seen the whole of every stall by then).
    qint64 LongestOwnStallMs();
    qint64 LongestOwnStallEndedMs();
    // The longest gap between two ticks seen in the window, counting the time since the last tick
    // (or the start of the window), so a timer that stopped shows.
    qint64 LongestTickGapMs() const;
    int Ticks() const { return ticks_; }

    // How often the probe asks to run.
    static constexpr int kProbeMs = 5;

private:
    using Instant = std::chrono::steady_clock::time_point;
    // A stretch of time of which `lost` was not the program's doing.
    struct NotOwn {
        Instant from, to;
        std::chrono::nanoseconds lost;
    };
    struct Gap {
        Instant from, to;
        std::chrono::nanoseconds queueWait;
    };
    void Probe();
    void Tick();
    void Watch(std::stop_token stop);
    bool LoopWaiting() const;
    void WorkOutOwnStall();
    std::chrono::nanoseconds NotOwnWithin(Instant from, Instant to);

    QObject context_;
    QTimer probe_;
    Instant start_;
    int thread_ = 0;
    Instant lastProbe_;
    long long lastWaitNs_ = 0;
    qint64 lastTick_ = 0;
    qint64 longestStall_ = 0;
    qint64 longestStallEnded_ = 0;
    qint64 longestSmallStall_ = 0;  // the gaps too short to be worth looking into
    qint64 longestOwnStall_ = 0;
    qint64 longestOwnStallEnded_ = 0;
    std::vector<Gap> gaps_;  // the longer gaps, looked into when asked
    qint64 longestGap_ = 0;
    int ticks_ = 0;
    std::mutex notOwnMutex_;
    std::deque<NotOwn> notOwn_;
    std::jthread watcher_;  // last: stopped before the rest goes
};

}  // namespace plxtest
