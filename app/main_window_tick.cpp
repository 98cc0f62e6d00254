// The main timer's tick: the program's one periodic worker, once a second.
#include <QCursor>
#include <cstdint>

#include "app/main_window.h"
#include "app/pointer_nudge.h"
#include "common/clock.h"
#include "common/program_state.h"

namespace plx {
namespace {

bool Running() {
    return Program().runState == RunState::Running;
}

bool RacerCheckDue() {
    const Settings& s = Program().settings;
    if (s.CHK_F != 1 || s.CHK_INTERVAL <= 0) return false;
    // Unsigned, as the tick count of the system: a clock that went backwards counts as due.
    auto elapsed = static_cast<std::uint64_t>(TickCount() - Program().lastCheckTick);
    return elapsed / 1000 / 60 >= static_cast<std::uint64_t>(s.CHK_INTERVAL);
}

void Call(const std::function<void()>& step) {
    if (step) step();
}

}  // namespace

void Tf_main::tm_mainTimer() {
    // Ticks never overlap: the timer stays off while a tick runs, even when a box inside it
    // lets events through.
    tm_main.stop();
    inTick_ = true;
    ++tickCounter;
    mp_main.marker = kSoundIdle;
    const TickSteps& steps = hooks_.tick;

    if (Running() && (tickCounter == 0 || tickCounter == 59)) Call(steps.news);

    if (Running() && tickCounter == 60) {
        PointerNudge();
        tickCounter = 0;
    }

    const Settings& s = Program().settings;
    if (Running() && (s.ALARM_MODE > 0 || s.TIMER_F == 1)) Call(steps.alarmPass);

    if (Running() && !(steps.boardBusy && steps.boardBusy())) {
        if (pc_main->currentWidget() == ts_race)
            Call(steps.drawBoard);
        else if (pc_main->currentWidget() == ts_odds)
            Call(steps.fillOddsTab);
        update();
    }

    if (Running() && RacerCheckDue()) Call(steps.racerCheck);

    inTick_ = false;
    if (Program().runState == RunState::QuitRequested || Program().settings.AUTO_QUIT_F != 0) {
        Program().runState = RunState::Closing;
        close();
    } else {
        tm_main.start();
    }
}

void Tf_main::PointerNudge() {
    NudgeResult next = NextNudge(QCursor::pos(), rememberedPointer);
    // Where the platform refuses to move the pointer, this quietly does nothing.
    if (next.moveTo) QCursor::setPos(*next.moveTo);
    rememberedPointer = next.remember;
}

}  // namespace plx
