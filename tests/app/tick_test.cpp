// The frame of the main timer's tick: which steps run on which tick and in which state, the
// timer switched off during a tick, the sound marker, the pointer nudge, the end of the tick, and
// what keeps it short: its messages shown after it, nothing else run inside it, the quit at once.
#include <gtest/gtest.h>

#include <QCursor>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTimer>

#include "app/pointer_nudge.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/shell/message_box.h"
#include "common/shell/sound_player.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "tests/app/app_fixture.h"

using namespace plx;
using plxtest::AppFixture;

namespace {

struct StepLog {
    std::vector<std::string> calls;
    bool timerActiveDuringStep = false;
};

// Every step records itself; the window is Running as after a successful start-up.
std::unique_ptr<Tf_main> RecordingWindow(AppFixture& f, StepLog& log) {
    auto window = f.MakeWindow();
    Tf_main* w = window.get();
    auto record = [&log, w](const char* name) {
        return [&log, w, name] {
            log.calls.push_back(name);
            log.timerActiveDuringStep |= w->tm_main.isActive();
        };
    };
    TickSteps& steps = window->hooks().tick;
    steps.news = record("news");
    steps.alarmPass = record("alarm");
    steps.drawBoard = record("board");
    steps.fillOddsTab = record("odds");
    steps.racerCheck = record("check");
    Program().runState = RunState::Running;
    window->tickCounter = -1;
    window->tm_main.start();
    return window;
}

int Count(const StepLog& log, const std::string& name) {
    return static_cast<int>(std::count(log.calls.begin(), log.calls.end(), name));
}

}  // namespace

TEST(Tick, StepsInOrderWithTheTimerOffWhileTheyRun) {
    AppFixture f;
    StepLog log;
    Program().settings.CHK_F = 1;
    Program().lastCheckTick = f.clock.TickCount() - 60 * 60000;
    auto window = RecordingWindow(f, log);
    window->tm_mainTimer();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"news", "alarm", "board", "check"}));
    EXPECT_FALSE(log.timerActiveDuringStep);
    EXPECT_TRUE(window->tm_main.isActive());
    EXPECT_EQ(window->tickCounter, 0);
}

TEST(Tick, NewsOnTheFirstTickThenEverySixtiethAndTheCounterWraps) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    std::vector<int> newsTicks;
    for (int tick = 1; tick <= 181; ++tick) {
        int before = Count(log, "news");
        window->tm_mainTimer();
        if (Count(log, "news") > before) newsTicks.push_back(tick);
        ASSERT_LE(window->tickCounter, 59);
    }
    EXPECT_EQ(newsTicks, (std::vector<int>{1, 60, 120, 180}));
}

TEST(Tick, AlarmStepOnlyWhenTheSettingsAskForIt) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    Settings& s = Program().settings;
    s.ALARM_MODE = 0;
    s.TIMER_F = 0;
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "alarm"), 0);
    s.TIMER_F = 1;
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "alarm"), 1);
    s.TIMER_F = 0;
    s.ALARM_MODE = 2;
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "alarm"), 2);
}

TEST(Tick, BoardRefreshFollowsTheActiveTabAndWaitsForABusyBoard) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    bool busy = false;
    window->hooks().tick.boardBusy = [&] { return busy; };
    window->pc_main->setCurrentWidget(window->ts_odds);
    window->tm_mainTimer();
    window->pc_main->setCurrentWidget(window->ts_chk);
    window->tm_mainTimer();
    window->pc_main->setCurrentWidget(window->ts_race);
    busy = true;
    window->tm_mainTimer();
    busy = false;
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "odds"), 1);
    EXPECT_EQ(Count(log, "board"), 1);
}

TEST(Tick, RacerCheckAtItsInterval) {
    AppFixture f;
    StepLog log;
    Settings loaded;
    loaded.CHK_F = 1;
    loaded.CHK_INTERVAL = 30;
    ApplyLoadedSettings(loaded);  // due on the first tick
    auto window = RecordingWindow(f, log);
    window->hooks().tick.racerCheck = [&] {
        log.calls.push_back("check");
        Program().lastCheckTick = TickCount();
    };
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "check"), 1);
    f.clock.Advance(29 * 60000 + 59000);
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "check"), 1);
    f.clock.Advance(1000);
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "check"), 2);

    Program().settings.CHK_INTERVAL = 0;  // a zero interval switches the check off
    f.clock.Advance(24 * 3600000);
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "check"), 2);
}

TEST(Tick, QuitRequestedInsideATickSkipsTheRestAndCloses) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    window->hooks().tick.alarmPass = [&] {
        log.calls.push_back("alarm");
        window->mi_quitClick();  // a menu command run while a box inside the tick was open
    };
    window->tm_mainTimer();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"news", "alarm"}));
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_EQ(closed.count(), 0) << "the window closes from the event loop, after the tick";
    plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 1000);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(window->tm_main.isActive());
    EXPECT_TRUE(plxtest::FileExists(f.settingsPath()));
}

TEST(Tick, AutoQuitEndsAfterOneFullTick) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    Program().settings.AUTO_QUIT_F = 1;
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    window->tm_mainTimer();
    EXPECT_EQ(Count(log, "news"), 1);
    EXPECT_EQ(Count(log, "board"), 1);
    plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 1000);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(Program().runState, RunState::Closing);
    EXPECT_EQ(Count(log, "board"), 1) << "one tick only";
}

TEST(Tick, AutoQuitWaitsForTheBackgroundWorkOfItsTickAndRunsNoSecondTick) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    Program().settings.AUTO_QUIT_F = 1;
    bool busy = true;
    window->hooks().background.push_back({[&] { return busy; }, [] {}});
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    window->tm_mainTimer();
    plxtest::RunEventsUntil([] { return false; }, 1500);
    EXPECT_EQ(closed.count(), 0) << "the read and the mail of the one tick are still in flight";
    EXPECT_EQ(Count(log, "news"), 1);
    busy = false;  // the work has ended (its outcome delivered)
    plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 1000);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(Count(log, "news"), 1);
}

TEST(Tick, QuitBetweenTicksAbortsTheBackgroundAndEndsAtOnce) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    int aborted = 0;
    window->hooks().background.push_back({[] { return true; }, [&] { ++aborted; }});
    window->tm_mainTimer();
    ASSERT_TRUE(window->tm_main.isActive());
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    QElapsedTimer timer;
    timer.start();
    window->mi_quitClick();
    EXPECT_GE(aborted, 1) << "transfers in flight end with the quit";
    plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 2000);
    EXPECT_EQ(closed.count(), 1);
    EXPECT_LT(timer.elapsed(), 300) << "the next tick is brought forward";
    EXPECT_EQ(Program().runState, RunState::Closing);
}

TEST(Tick, MessagesOfATickAreShownOnceEachAfterItReturns) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    size_t seenInsideTheTick = 99;
    window->hooks().tick.alarmPass = [&] {
        for (int slot = 0; slot < 288; ++slot) ShowMsg(SJ("サウンドを再生できません！"));
        ShowMsg("TimeTable File Write Error!");
        seenInsideTheTick = f.messages.shown.size();
    };
    window->tm_mainTimer();
    EXPECT_EQ(seenInsideTheTick, 0u);
    EXPECT_EQ(f.messages.Utf8Texts(),
              (std::vector<std::string>{"サウンドを再生できません！", "TimeTable File Write Error!"}));
    for (const auto& m : f.messages.shown) EXPECT_TRUE(m.posted);
    EXPECT_TRUE(window->tm_main.isActive());
}

TEST(Tick, AnErrorBoxLeftOpenNeverHoldsTheTimer) {
    AppFixture f;
    MessageBoxBackend boxes;
    SetMessageBackend(&boxes);
    StepLog log;
    auto window = RecordingWindow(f, log);
    window->hooks().tick.alarmPass = [&] {
        log.calls.push_back("alarm");
        ShowMsg("TimeTable File Write Error!");
    };
    window->tm_mainTimer();
    plxtest::RunEventsUntil([] { return false; }, 3500);
    ASSERT_NE(boxes.PostedBox(), nullptr);
    EXPECT_TRUE(boxes.PostedBox()->isVisible());
    EXPECT_EQ(boxes.PostedBox()->text(), "TimeTable File Write Error!");
    EXPECT_GE(Count(log, "alarm"), 4) << "the ticks went on while nobody closed the box";
    SetMessageBackend(&f.messages);
}

TEST(Tick, NothingElseRunsInsideATickNotEvenDuringTheQueryRetryWait) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    bool ranInsideTheTick = false;
    bool inside = false;
    QTimer other;
    other.setInterval(0);
    QObject::connect(&other, &QTimer::timeout, [&] { ranInsideTheTick |= inside; });
    other.start();
    QElapsedTimer waited;
    window->hooks().tick.alarmPass = [&] {
        inside = true;
        QCoreApplication::postEvent(window.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier));
        waited.start();
        EXPECT_FALSE(QueryOpen(dm.sq_chk, "SELECT 1 FROM RDB$DATABASE"));  // no connection: three tries
        EXPECT_GE(waited.elapsed(), 1900);
        inside = false;
    };
    window->tm_mainTimer();
    EXPECT_FALSE(ranInsideTheTick);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    EXPECT_TRUE(f.messages.shown[0].posted);
    EXPECT_EQ(f.messages.Utf8Texts()[0].rfind("問い合わせオープンでエラーが発生しました。", 0), 0u);
}

TEST(Tick, SoundsWithinOneTickAndAcrossTicks) {
    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    std::string chime = f.dir.File("chime.wav");
    plxtest::WriteFile(chime, "x");
    std::string played;
    window->hooks().tick.alarmPass = [&] {
        PlayWave(window->mp_main, played);
        PlayWave(window->mp_main, played);
    };
    played = chime;
    window->tm_mainTimer();
    EXPECT_EQ(f.sounds.played.size(), 1u);  // the same file twice in one tick plays once
    window->tm_mainTimer();
    EXPECT_EQ(f.sounds.played.size(), 2u);  // the next tick starts it again

    played = f.dir.File("missing.wav");
    window->hooks().tick.alarmPass = [&] { PlayWave(window->mp_main, played); };
    window->tm_mainTimer();
    EXPECT_EQ(f.messages.Utf8Texts(), std::vector<std::string>{"サウンドを再生できません！"});
    EXPECT_TRUE(window->tm_main.isActive());
    EXPECT_EQ(Program().runState, RunState::Running);
}

TEST(Tick, PointerLeftAloneSwingsOnePixelAMinute) {
    EXPECT_EQ(NextNudge({10, 5}, {3, 3}).moveTo, std::nullopt);
    EXPECT_EQ(NextNudge({10, 5}, {3, 3}).remember, QPoint(10, 5));
    EXPECT_EQ(NextNudge({10, 5}, {10, 5}).moveTo, QPoint(11, 5));
    EXPECT_EQ(NextNudge({11, 5}, {11, 5}).moveTo, QPoint(10, 5));
    EXPECT_EQ(NextNudge({-3, 0}, {-3, 0}).moveTo, QPoint(-4, 0));

    AppFixture f;
    StepLog log;
    auto window = RecordingWindow(f, log);
    QCursor::setPos(100, 40);
    if (QCursor::pos() != QPoint(100, 40)) GTEST_SKIP() << "this platform does not move the pointer";
    window->rememberedPointer = QPoint(100, 40);
    window->tickCounter = 59;  // the next tick is the sixtieth
    window->tm_mainTimer();
    EXPECT_EQ(QCursor::pos(), QPoint(101, 40));
    EXPECT_EQ(window->tickCounter, 0);
    window->tickCounter = 59;
    window->tm_mainTimer();
    EXPECT_EQ(QCursor::pos(), QPoint(100, 40));
}
