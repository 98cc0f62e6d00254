// BackgroundWorker over std::jthread and Qt's queued invocations.
#include "common/shell/background_worker.h"

#include <QMetaObject>
#include <exception>

#include "common/message.h"

namespace plx {

BackgroundWorker::BackgroundWorker() = default;

BackgroundWorker::~BackgroundWorker() {
    Abort();
}

bool BackgroundWorker::Start(Work work) {
    if (busy_) return false;
    if (thread_.joinable()) thread_.join();  // a finished job's thread, already at its end
    busy_ = true;
    std::uint64_t job = ++job_;
    thread_ = std::jthread([this, job, work = std::move(work)](std::stop_token stop) {
        Delivery delivery;
        try {
            delivery = work(stop);
        } catch (...) {
            // Raised again on the owner's thread, where the same failure of work done in place
            // would have surfaced.
            delivery = [error = std::current_exception()] { std::rethrow_exception(error); };
        }
        if (stop.stop_requested()) return;
        // Queued to the owner's thread; if the worker is gone by then, Qt drops the event.
        QMetaObject::invokeMethod(
            &context_, [this, job, delivery = std::move(delivery)] { Deliver(job, delivery); }, Qt::QueuedConnection);
    });
    return true;
}

void BackgroundWorker::Deliver(std::uint64_t job, const Delivery& delivery) {
    if (job != job_ || !busy_) return;  // aborted meanwhile
    busy_ = false;
    if (thread_.joinable()) thread_.join();  // it posted this as its last act
    // What follows the work belongs to the work that the tick started: its messages are shown
    // without waiting, as the tick's are, so no box opened here holds anything up.
    MessageDeferral deferral;
    if (delivery) delivery();
}

void BackgroundWorker::Abort() {
    ++job_;
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    busy_ = false;
}

}  // namespace plx
