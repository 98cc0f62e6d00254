// One QApplication for the shell tests (offscreen platform), made on first use so that listing
// the tests needs no display.
#pragma once

#include <QApplication>

namespace plxtest {

inline QApplication& ShellTestApp() {
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace plxtest
