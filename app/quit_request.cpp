// Closing the open boxes and ending the program on a signal or at the session's end.
#include "app/quit_request.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>

#include "app/main_window.h"
#include "app/quit_signals.h"
#include "common/program_state.h"

namespace plx {

void CloseOpenBoxes() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(widget);
        if (!dialog || !dialog->isVisible()) continue;
        auto* box = qobject_cast<QMessageBox*>(dialog);
        if (box && box->defaultButton())
            box->defaultButton()->click();
        else
            dialog->reject();
    }
}

QuitRequest::QuitRequest(Tf_main& window, QuitSignals& quitSignals, QObject* parent)
    : QObject(parent), window_(window) {
    sweep_.setInterval(100);
    connect(&sweep_, &QTimer::timeout, this, &QuitRequest::Sweep);
    connect(&quitSignals, &QuitSignals::quitRequested, this, &QuitRequest::Request);
}

void QuitRequest::Request() {
    window_.mi_quitClick();
    if (!since_.isValid()) since_.start();
    // The sweep keeps running, since a step of the tick may still open a box on its way out.
    sweep_.start();
    Sweep();
}

void QuitRequest::Sweep() {
    CloseOpenBoxes();
    if (Program().runState == RunState::Closing || since_.elapsed() < kTickDeadlineMs) return;
    // The tick is held up (a long step, a timer that never started): end from here.
    Program().runState = RunState::Closing;
    window_.close();
}

}  // namespace plx
