// The stall probe: a precise timer of a few milliseconds, the main timer's own signal, the
// kernel's scheduling statistics of the thread, and a watcher thread for a machine standing still.
#include "tests/support/stall_probe.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace plxtest {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

// The second field of /proc/self/task/TID/schedstat: nanoseconds spent waiting on a run queue.
// Zero where the kernel does not keep it.
long long RunQueueWaitNs(int thread) {
    std::string path = "/proc/self/task/" + std::to_string(thread) + "/schedstat";
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char text[128] = {};
    ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    long long running = 0, waiting = 0;
    if (n <= 0 || std::sscanf(text, "%lld %lld", &running, &waiting) != 2) return 0;
    return waiting;
}

qint64 Ms(nanoseconds span) {
    return std::chrono::duration_cast<milliseconds>(span).count();
}

constexpr milliseconds kWatchSleep{2};
constexpr milliseconds kWatchLoss{10};  // a smaller overrun is ordinary timer noise

}  // namespace

StallProbe::StallProbe(QTimer& mainTimer) : thread_(static_cast<int>(::gettid())) {
    probe_.setTimerType(Qt::PreciseTimer);
    probe_.setInterval(kProbeMs);
    QObject::connect(&probe_, &QTimer::timeout, &context_, [this] { Probe(); });
    QObject::connect(&mainTimer, &QTimer::timeout, &context_, [this] { Tick(); });
    Restart();
    probe_.start();
    watcher_ = std::jthread([this](std::stop_token stop) { Watch(stop); });
}

StallProbe::~StallProbe() = default;

void StallProbe::Restart() {
    start_ = std::chrono::steady_clock::now();
    lastProbe_ = start_;
    lastWaitNs_ = RunQueueWaitNs(thread_);
    lastTick_ = 0;
    longestStall_ = longestStallEnded_ = longestSmallStall_ = longestGap_ = 0;
    gaps_.clear();
    ticks_ = 0;
}

qint64 StallProbe::ElapsedMs() const {
    return Ms(std::chrono::steady_clock::now() - start_);
}

qint64 StallProbe::LongestTickGapMs() const {
    return std::max(longestGap_, ElapsedMs() - lastTick_);
}

void StallProbe::Probe() {
    Instant now = std::chrono::steady_clock::now();
    long long waitNs = RunQueueWaitNs(thread_);
    nanoseconds stall = now - lastProbe_;
    qint64 at = Ms(now - start_);
    if (Ms(stall) > longestStall_) {
        longestStall_ = Ms(stall);
        longestStallEnded_ = at;
    }
    if (stall > milliseconds(kProbeMs * 4))
        gaps_.push_back({lastProbe_, now, nanoseconds(waitNs - lastWaitNs_)});
    else
        longestSmallStall_ = std::max(longestSmallStall_, Ms(stall));
    lastProbe_ = now;
    lastWaitNs_ = waitNs;
}

qint64 StallProbe::LongestOwnStallMs() {
    WorkOutOwnStall();
    return longestOwnStall_;
}

qint64 StallProbe::LongestOwnStallEndedMs() {
    WorkOutOwnStall();
    return longestOwnStallEnded_;
}

void StallProbe::WorkOutOwnStall() {
    longestOwnStall_ = longestSmallStall_;
    longestOwnStallEnded_ = 0;
    for (const Gap& gap : gaps_) {
        qint64 own = Ms((gap.to - gap.from) - gap.queueWait - FrozenWithin(gap.from, gap.to));
        if (own > longestOwnStall_) {
            longestOwnStall_ = own;
            longestOwnStallEnded_ = Ms(gap.to - start_);
        }
    }
}

void StallProbe::Tick() {
    qint64 now = ElapsedMs();
    longestGap_ = std::max(longestGap_, now - lastTick_);
    lastTick_ = now;
    ++ticks_;
}

// Sleeps a little, over and over; an overrun that the watcher did not spend waiting for a
// processor is time the machine stood still.
void StallProbe::Watch(std::stop_token stop) {
    int self = static_cast<int>(::gettid());
    Instant last = std::chrono::steady_clock::now();
    long long lastWait = RunQueueWaitNs(self);
    while (!stop.stop_requested()) {
        std::this_thread::sleep_for(kWatchSleep);
        Instant now = std::chrono::steady_clock::now();
        long long wait = RunQueueWaitNs(self);
        nanoseconds lost = (now - last) - kWatchSleep - nanoseconds(wait - lastWait);
        if (lost > kWatchLoss) {
            std::lock_guard<std::mutex> lock(frozenMutex_);
            frozen_.push_back({last + kWatchSleep, now, lost});
            while (frozen_.size() > 100000) frozen_.pop_front();
        }
        last = now;
        lastWait = wait;
    }
}

nanoseconds StallProbe::FrozenWithin(Instant from, Instant to) {
    std::lock_guard<std::mutex> lock(frozenMutex_);
    nanoseconds total{0};
    for (const Frozen& f : frozen_) {
        Instant a = std::max(from, f.from), b = std::min(to, f.to);
        if (a < b) total += std::min<nanoseconds>(b - a, f.lost);
    }
    return total;
}

}  // namespace plxtest
