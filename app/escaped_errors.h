// Errors that escape every handler: stopped at the program entry, shown, and the end of the
// program with status 1, instead of an abort with no word to the user.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace plx {

// An application object that, when an exception escapes an event handler, keeps the first one
// and leaves every running event loop, so that it can be rethrown at the program entry rather
// than unwind through the platform's event dispatcher.
class GuardedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
    // Rethrows the exception kept by notify, if any.
    void RethrowEscaped() const;

private:
    std::exception_ptr escaped_;
};

// Runs `program`; an exception that escapes it is shown with ShowMsg (on a fresh application
// object when the program's own is gone) and gives the exit status 1.
int RunCatchingEscapes(int argc, char** argv, const std::function<int()>& program);

// The text shown for an escaped exception (CP932).
std::string EscapedErrorText(const std::exception_ptr& error);

}  // namespace plx
