// One QApplication for the widget tests of this folder (offscreen platform).
#pragma once

#include <QApplication>

namespace plxtest {

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "board_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace plxtest
