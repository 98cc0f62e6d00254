// BackgroundWorker: one piece of slow work at a time on a thread of its own, its outcome handed
// back to the user-interface thread as a queued event. The news read and the mail use one each.
#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <thread>

namespace plx {

class BackgroundWorker {
public:
    // What the work returns: run on the owner's thread once the work is done.
    using Delivery = std::function<void()>;
    using Work = std::function<Delivery(std::stop_token)>;

    // The worker belongs to the thread that makes it (the user-interface thread).
    BackgroundWorker();
    // Aborts a job still running and waits for its thread.
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Starts `work` on a new thread, unless a job is still in flight: then nothing starts and the
    // result is false. What `work` returns is run on the owner's thread as a queued event, never
    // inside the caller, with messages deferred (ShowMsg posts them, without waiting, once it has
    // run); until it has run, Busy() is true.
    bool Start(Work work);

    // The typed form: `work` gives a value, `done` receives it on the owner's thread.
    template <typename Result>
    bool Start(std::function<Result(std::stop_token)> work, std::function<void(Result)> done) {
        return Start([work = std::move(work), done = std::move(done)](std::stop_token stop) -> Delivery {
            auto result = std::make_shared<Result>(work(stop));
            return [done, result] { done(std::move(*result)); };
        });
    }

    // True from Start until the outcome has been delivered or the job aborted.
    bool Busy() const { return busy_; }

    // Asks the running job to stop, waits for its thread and drops its outcome, delivered or not
    // yet. Returns at once when nothing runs. The work must end promptly once asked to stop.
    void Abort();

private:
    void Deliver(std::uint64_t job, const Delivery& delivery);

    QObject context_;  // receives the queued outcomes; pending ones die with it
    std::jthread thread_;
    bool busy_ = false;
    std::uint64_t job_ = 0;  // numbers the jobs, so an aborted job's outcome is recognised
};

}  // namespace plx
