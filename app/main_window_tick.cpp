// The main timer's tick: the program's one periodic worker, once a second. Its slow parts (the
// news read, the mail) only start here and go on in the background; its messages are shown after
// it has returned; so the tick is always short and the next one always comes on time.
#include <QCursor>

#include "app/main_window.h"
#include "app/pointer_nudge.h"
#include "board/alarm_engine.h"
#include "common/clock.h"
#include "common/message.h"
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
    // Ticks never overlap: the timer stays off while a tick runs.
    tm_main.stop();
    inTick_ = true;
    {
        // A box raised by the tick's work (a failed save, a sound that cannot play, a failed
        // query) opens after the tick, and never holds the timer while it stays open.
        MessageDeferral deferral;
        RunTickSteps();
    }
    inTick_ = false;
    EndTick();
}

void Tf_main::RunTickSteps() {
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
}

void Tf_main::EndTick() {
    RunState state = Program().runState;
    if (state == RunState::QuitRequested) {
        EndProgram();
    } else if (state == RunState::Running && Program().settings.AUTO_QUIT_F != 0) {
        // The one-shot run: its read and its mail are part of its one tick, so the end waits for
        // them (each within its time-out), and for their messages to have been seen.
        endWait_.start();
        EndWhenBackgroundDone();
    } else if (state == RunState::Running) {
        tm_main.start();
    }
}

void Tf_main::EndWhenBackgroundDone() {
    if (Program().runState == RunState::Running && (BackgroundBusy() || MessagesPending())) return;
    endWait_.stop();
    if (Program().runState != RunState::Closing) EndProgram();
}

void Tf_main::EndProgram() {
    AbortBackground();
    Program().runState = RunState::Closing;
    // Closed from the event loop once the tick has returned: the close handling may still have
    // something to say (a settings file that cannot be written).
    QMetaObject::invokeMethod(
        this, [this] { close(); }, Qt::QueuedConnection);
}

bool Tf_main::BackgroundBusy() const {
    for (const BackgroundWork& work : hooks_.background)
        if (work.busy && work.busy()) return true;
    return false;
}

void Tf_main::AbortBackground() {
    for (const BackgroundWork& work : hooks_.background)
        if (work.abort) work.abort();
}

void Tf_main::PointerNudge() {
    NudgeResult next = NextNudge(QCursor::pos(), rememberedPointer);
    // Where the platform refuses to move the pointer, this quietly does nothing.
    if (next.moveTo) QCursor::setPos(*next.moveTo);
    rememberedPointer = next.remember;
}

}  // namespace plx
