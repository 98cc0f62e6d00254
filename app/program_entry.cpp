// The program entry.
#include "app/program_entry.h"

#include <QApplication>
#include <QSessionManager>

#include "app/escaped_errors.h"
#include "app/instance_lock.h"
#include "app/main_window.h"
#include "app/module_wiring.h"
#include "app/quit_request.h"
#include "app/quit_signals.h"
#include "common/message.h"
#include "common/shell/app_title.h"
#include "common/shell/message_box.h"
#include "common/shell/qt_japanese.h"
#include "common/sjis.h"

namespace plx {
namespace {

// Without a screen nobody could answer a box, and a modal one would hold the program for good:
// messages then go to the standard error and questions take their default (Cancel).
bool HasScreenForBoxes() {
    QString platform = QGuiApplication::platformName();
    return platform != "offscreen" && platform != "minimal";
}

}  // namespace

int RunProgram(int argc, char** argv) {
    ProvideRuntimeFolder();
    InstanceLock lock;
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
    QApplication::setQuitOnLastWindowClosed(false);  // a dialog closing while we sit in the tray must not end us
    InstallQtJapaneseTexts();
    MessageBoxBackend boxes;
    if (HasScreenForBoxes()) SetMessageBackend(&boxes);

    if (lock.HeldElsewhere()) {
        ShowMsg(std::string(kApplicationTitle) + SJ("は既に起動されています。"));
        SetMessageBackend(nullptr);
        return -1;
    }

    QuitSignals quitSignals;
    Tf_main f_main;
    WireModules(f_main);
    QuitRequest quitRequest(f_main, quitSignals);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &quitRequest, &QuitRequest::Request);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &f_main,
                     [&f_main](QSessionManager&) { f_main.SessionEndRequested(); });
    QObject::connect(&f_main, &Tf_main::closedForGood, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    if (!f_main.FormCreate()) {
        SetMessageBackend(nullptr);
        return 1;
    }
    // The start-up has loaded the database client, which takes SIGTERM and SIGINT for itself to
    // shut its connections down from a thread of its own; that would race the orderly end.
    quitSignals.Install();
    ModuleWindows windows(f_main);
    f_main.show();
    int rc = app.exec();
    app.RethrowEscaped();
    SetMessageBackend(nullptr);
    return rc;
}

}  // namespace plx
