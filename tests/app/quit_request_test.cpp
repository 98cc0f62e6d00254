// A termination signal while a message box is open inside the tick: the box closes as its
// default answer, the settings of the program's end are written and the window closes in time.
#include "app/quit_request.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>

#include "app/quit_signals.h"
#include "common/message.h"
#include "common/program_state.h"
#include "common/shell/message_box.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "tests/app/app_fixture.h"

using namespace plx;
using plxtest::AppFixture;

TEST(QuitRequest, SigtermWithABoxOpenEndsWithinTwoSecondsAndSavesTheSettings) {
    AppFixture f;
    auto window = f.MakeWindow();
    QuitSignals quitSignals;
    QuitRequest quit(*window, quitSignals);
    MessageBoxBackend boxes;
    SetMessageBackend(&boxes);

    // A tick step that asks twice, as a step on its way out might.
    std::vector<int> answers;
    window->hooks().tick.alarmPass = [&] {
        answers.push_back(ShowMsg(SJ("よろしいですか？")));
        answers.push_back(ShowMsg(SJ("保存できません。")));
    };
    Program().runState = RunState::Running;
    window->tm_main.start();

    bool boxWasOpen = false;
    QElapsedTimer sinceSignal;
    QTimer::singleShot(1500, [&] {
        boxWasOpen = QApplication::activeModalWidget() != nullptr;
        sinceSignal.start();
        std::raise(SIGTERM);
    });
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    plxtest::RunEventsUntil([&] { return closed.count() > 0; }, 8000);
    SetMessageBackend(&f.messages);

    ASSERT_EQ(closed.count(), 1);
    EXPECT_TRUE(boxWasOpen);
    EXPECT_LT(sinceSignal.elapsed(), 2000);
    EXPECT_EQ(answers, (std::vector<int>{kMsgCancel, kMsgOk}));
    const std::string settings = plxtest::ReadFile(f.settingsPath());
    for (const char* piece : {"[WINDOW]", "LEFT=", "[DIR]", "MARLO=", "NEWS_LAST_RLSDTTM=", "SET_RCOURSECD1="})
        EXPECT_NE(settings.find(piece), std::string::npos) << piece << "\n" << settings;
}

// The database client library catches SIGTERM for itself when it loads and shuts every
// connection down from a thread of its own, racing the program's orderly end (seen as a crash in
// that thread at exit). Once the start-up has loaded it, the program takes the signal back.
TEST(QuitRequest, ASigtermOnceTheDatabaseIsOpenIsTheProgramsAloneAndTheDatabaseStillAnswers) {
    AppFixture f;
    f.WriteSettings("[DIR]\nMARLO=" + f.BuildMarlo() + "\n");
    QuitSignals quitSignals;
    auto window = f.StartWindow();
    quitSignals.Install();  // as the program does after its start-up
    QSignalSpy requested(&quitSignals, &QuitSignals::quitRequested);
    std::raise(SIGTERM);
    plxtest::RunEventsUntil([&] { return requested.count() > 0; }, 2000);
    ASSERT_EQ(requested.count(), 1);
    plxtest::RunEventsUntil([] { return false; }, 500);  // time for a shutdown elsewhere to strike
    EXPECT_TRUE(QueryOpen(dm.sq_wk, "SELECT COUNT(*) FROM RDB$DATABASE"));
    dm.sq_wk.Close();
    EXPECT_TRUE(f.messages.shown.empty()) << f.messages.Utf8Texts()[0];
}
