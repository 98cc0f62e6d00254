// The main window without a database: the close box in each run state, the tray commands,
// the menu's dialog hooks, and the termination signals.
#include <gtest/gtest.h>

#include <QAction>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <csignal>

#include "app/quit_signals.h"
#include "common/program_state.h"
#include "common/shell/tray_icon.h"
#include "tests/app/app_fixture.h"

using namespace plx;
using plxtest::AppFixture;

TEST(MainWindow, CloseBoxOnlyPutsTheWindowAwayWhileRunning) {
    AppFixture f;
    auto window = f.MakeWindow();
    QSignalSpy closed(window.get(), &Tf_main::closedForGood);
    window->show();
    TrayIconSet(*window->trayIcon, window->windowIcon(), "Pilonix", TrayAction::Add);  // as start-up does
    Program().runState = RunState::Running;

    EXPECT_FALSE(window->close());
    // No notification area under the offscreen platform: the window minimises instead of hiding.
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(Program().runState, RunState::Running);
    window->mi_pop_show->trigger();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());

    // Once a quit is under way the close is refused and the window left as it is.
    Program().runState = RunState::QuitRequested;
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(closed.count(), 0);
    EXPECT_FALSE(plxtest::FileExists(f.settingsPath()));

    Program().runState = RunState::Closing;
    EXPECT_TRUE(window->close());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_TRUE(plxtest::FileExists(f.settingsPath()));
}

TEST(MainWindow, TabsInTheirOrderAndTheQuitCommands) {
    AppFixture f;
    auto window = f.MakeWindow();
    ASSERT_EQ(window->pc_main->count(), 4);
    EXPECT_EQ(window->pc_main->widget(0), window->ts_race);
    EXPECT_EQ(window->pc_main->widget(1), window->ts_chk);
    EXPECT_EQ(window->pc_main->widget(2), window->ts_news);
    EXPECT_EQ(window->pc_main->widget(3), window->ts_odds);
    EXPECT_EQ(window->m_chk->parentWidget(), window->ts_chk);

    Program().runState = RunState::Running;
    window->mi_quit->trigger();
    EXPECT_EQ(Program().runState, RunState::QuitRequested);
    Program().runState = RunState::Closing;
    window->mi_pop_quit->trigger();  // never back from Closing
    EXPECT_EQ(Program().runState, RunState::Closing);
}

TEST(MainWindow, MenuOpensTheDialogsThroughTheirHooks) {
    AppFixture f;
    auto window = f.MakeWindow();
    window->mi_cfg->trigger();  // nothing connected yet: nothing happens
    int settings = 0, about = 0;
    window->hooks().showSettings = [&] { ++settings; };
    window->hooks().showAbout = [&] { ++about; };
    window->mi_cfg->trigger();
    window->mi_verinfo->trigger();
    EXPECT_EQ(settings, 1);
    EXPECT_EQ(about, 1);
}

TEST(MainWindow, TerminationSignalBecomesAQuitRequest) {
    AppFixture f;
    QuitSignals quitSignals;
    QSignalSpy requested(&quitSignals, &QuitSignals::quitRequested);
    ::raise(SIGTERM);
    plxtest::RunEventsUntil([&] { return requested.count() > 0; }, 2000);
    EXPECT_EQ(requested.count(), 1);
}
