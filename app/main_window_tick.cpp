// The main timer's tick: the program's one periodic worker, once a second.
#include <QCursor>

#include "app/main_window.h"
#include "app/pointer_nudge.h"
#include "board/alarm_engine.h"
#include "common/clock.h"
#include "common/program_state.h"
#include "watch/racer_check_step.h"

namespace plx {
namespace {

bool Running() {
    return Program().runState == RunState::Running;
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

    if (Running() && AlarmPassEnabled(Program().settings)) Call(steps.alarmPass);
    if (Running()) Call(steps.dayChange);

    if (Running() && !(steps.boardBusy && steps.boardBusy())) {
        if (pc_main->currentWidget() == ts_race)
            Call(steps.drawBoard);
        else if (pc_main->currentWidget() == ts_odds)
            Call(steps.fillOddsTab);
        update();
    }

    if (Running() && RacerCheckDue(Program().settings, Program().lastCheckTick, TickCount())) Call(steps.racerCheck);

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
