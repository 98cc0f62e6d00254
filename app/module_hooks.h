// The points where the other modules plug into the main window: the steps of the main timer
// that they build, the work they run in the background for it, and the dialogs the menu opens.
// Connected in one place, module_wiring.cpp.
#pragma once

#include <functional>
#include <vector>

namespace plx {

// Each step is called by the tick only when RunState is Running and the condition beside it
// holds; an unset step is skipped. The order of the tick is fixed by the main window. No step
// waits for the network or runs a nested event loop: slow work goes to the background.
struct TickSteps {
    // Tick counter 0 or 59 (the first tick, then once a minute): starts ReadNews in the
    // background (skipped while the previous read is in flight); when it is done, the page, the
    // news mark and, when newer news arrived, the news sound and notice follow on their own.
    std::function<void()> news;
    // ALARM_MODE > 0 or TIMER_F == 1: the alarm pass over the timetable and its save.
    std::function<void()> alarmPass;
    // Every tick: after midnight, today's races replace the old day's once its last alarms are
    // given; a day without races asks the database again every ten minutes.
    std::function<void()> dayChange;
    // The board-redraw-in-progress flag; while it is true the tick leaves the board alone.
    std::function<bool()> boardBusy;
    // Board not busy and the race tab active: DrawBoard.
    std::function<void()> drawBoard;
    // Board not busy and the odds tab active: FillOddsTab.
    std::function<void()> fillOddsTab;
    // CHK_F == 1, CHK_INTERVAL > 0 and at least CHK_INTERVAL whole minutes since
    // Program().lastCheckTick: the racer check and its notice, and the mail started in the
    // background. The step moves Program().lastCheckTick itself.
    std::function<void()> racerCheck;
};

// Work that a module runs in the background on behalf of the tick (the news read, the mail).
struct BackgroundWork {
    std::function<bool()> busy;   // still in flight
    std::function<void()> abort;  // stops it at once; its outcome never arrives
};

struct ModuleHooks {
    TickSteps tick;
    std::vector<BackgroundWork> background;
    // The menu's settings dialog (with its first-opening rule: the general tab the first time in
    // a run, the last tab used after that) and the about box, shown modally. Unset: the menu
    // item does nothing.
    std::function<void()> showSettings;
    std::function<void()> showAbout;
    // Per-run state of other modules that start-up resets (the board-redraw flag, the
    // racer-hit-announced flag), run before the settings are loaded.
    std::vector<std::function<void()>> startUpResets;
};

}  // namespace plx
