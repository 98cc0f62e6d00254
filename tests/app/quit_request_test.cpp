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
