// Escaped exceptions: kept by the application object, reported at the program entry.
#include "app/escaped_errors.h"

#include <cstdio>

#include "common/message.h"
#include "common/shell/app_title.h"
#include "common/shell/message_box.h"
#include "data/data_module.h"

namespace plx {

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (!escaped_) escaped_ = std::current_exception();
        QCoreApplication::exit(1);
        return false;
    }
}

void GuardedApplication::RethrowEscaped() const {
    if (escaped_) std::rethrow_exception(escaped_);
}

std::string EscapedErrorText(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}

int RunCatchingEscapes(int argc, char** argv, const std::function<int()>& program) {
    std::exception_ptr error;
    try {
        return program();
    } catch (...) {
        error = std::current_exception();
    }
    // The program's boxes went with its application object. The database is closed as at any end,
    // before the client library's own exit handlers run.
    SetMessageBackend(nullptr);
    dm.sc_main.Close();
    const std::string text = EscapedErrorText(error);
    try {
        QApplication app(argc, argv);
        QApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
        MessageBoxBackend boxes;
        const QString platform = QGuiApplication::platformName();
        if (platform != "offscreen" && platform != "minimal") SetMessageBackend(&boxes);
        ShowMsg(text);
        SetMessageBackend(nullptr);
    } catch (...) {
        // Showing it failed as well (the text conversion itself may be what broke): say it plainly.
        SetMessageBackend(nullptr);
        std::fprintf(stderr, "%s: %s\n", kApplicationTitle, text.c_str());
    }
    return 1;
}

}  // namespace plx
