// BackgroundWorker: the work runs on a thread of its own, its outcome arrives on the owner's
// thread as a queued event, one job at a time, and Abort stops a job and drops its outcome.
#include "common/shell/background_worker.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "common/message.h"
#include "tests/support/event_loop.h"
#include "tests/support/qt_app.h"
#include "tests/support/recording_messages.h"

using namespace plx;
using plxtest::RunEventsUntil;

namespace {

int ThreadCount() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_name[0] != '.') ++count;
        closedir(dir);
    }
    return count;
}

}  // namespace

TEST(BackgroundWorker, WorkRunsElsewhereAndItsOutcomeArrivesQueuedOnTheOwnersThread) {
    plxtest::TestApp();
    BackgroundWorker worker;
    std::thread::id workThread, doneThread;
    int outcome = 0;
    std::function<int(std::stop_token)> work = [&](std::stop_token) {
        workThread = std::this_thread::get_id();
        return 42;
    };
    ASSERT_TRUE(worker.Start(work, std::function<void(int)>([&](int value) {
                                 doneThread = std::this_thread::get_id();
                                 outcome = value;
                             })));
    EXPECT_TRUE(worker.Busy());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(outcome, 0) << "delivered by the event loop, never inside Start";
    ASSERT_TRUE(RunEventsUntil([&] { return outcome != 0; }, 2000));
    EXPECT_EQ(outcome, 42);
    EXPECT_NE(workThread, std::this_thread::get_id());
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    EXPECT_FALSE(worker.Busy());
}

TEST(BackgroundWorker, OneJobAtATime) {
    plxtest::TestApp();
    BackgroundWorker worker;
    std::atomic<bool> release{false};
    int done = 0;
    BackgroundWorker::Work slow = [&](std::stop_token) -> BackgroundWorker::Delivery {
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return [&] { ++done; };
    };
    ASSERT_TRUE(worker.Start(slow));
    EXPECT_FALSE(worker.Start(slow));
    release = true;
    ASSERT_TRUE(RunEventsUntil([&] { return done == 1; }, 2000));
    EXPECT_TRUE(worker.Start(slow));
    ASSERT_TRUE(RunEventsUntil([&] { return done == 2; }, 2000));
}

TEST(BackgroundWorker, AbortStopsTheJobJoinsItsThreadAndDropsItsOutcome) {
    plxtest::TestApp();
    int before = ThreadCount();
    int done = 0;
    {
        BackgroundWorker worker;
        BackgroundWorker::Work waiting = [&](std::stop_token stop) -> BackgroundWorker::Delivery {
            while (!stop.stop_requested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
            return [&] { ++done; };
        };
        ASSERT_TRUE(worker.Start(waiting));
        EXPECT_EQ(ThreadCount(), before + 1);
        QElapsedTimer timer;
        timer.start();
        worker.Abort();
        EXPECT_LT(timer.elapsed(), 100);
        EXPECT_FALSE(worker.Busy());
        EXPECT_EQ(ThreadCount(), before);

        // An outcome already queued when the job is aborted is dropped too.
        BackgroundWorker::Work quick = [&](std::stop_token) -> BackgroundWorker::Delivery { return [&] { ++done; }; };
        ASSERT_TRUE(worker.Start(quick));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        worker.Abort();
        RunEventsUntil([] { return false; }, 100);

        ASSERT_TRUE(worker.Start(waiting));  // left running: the destructor stops it
    }
    EXPECT_EQ(done, 0);
    EXPECT_EQ(ThreadCount(), before) << "no thread outlives its worker";
}

TEST(BackgroundWorker, AFailureOfTheWorkIsRaisedOnTheOwnersThread) {
    plxtest::TestApp();
    BackgroundWorker worker;
    BackgroundWorker::Work failing = [](std::stop_token) -> BackgroundWorker::Delivery {
        throw std::runtime_error("broken");
    };
    ASSERT_TRUE(worker.Start(failing));
    std::string caught;
    QElapsedTimer timer;
    timer.start();
    while (caught.empty() && timer.elapsed() < 2000) {
        try {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
    }
    EXPECT_EQ(caught, "broken");
    EXPECT_FALSE(worker.Busy());
}

TEST(BackgroundWorker, MessagesOfTheOutcomeArePostedNotAsked) {
    plxtest::TestApp();
    plxtest::RecordingMessages messages;
    BackgroundWorker worker;
    bool delivered = false;
    BackgroundWorker::Work work = [&](std::stop_token) -> BackgroundWorker::Delivery {
        return [&] {
            EXPECT_EQ(ShowMsg("failed"), kMsgOk);
            EXPECT_TRUE(messages.shown.empty()) << "kept until the outcome has been handled";
            delivered = true;
        };
    };
    ASSERT_TRUE(worker.Start(work));
    ASSERT_TRUE(RunEventsUntil([&] { return delivered; }, 2000));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].posted);
}
