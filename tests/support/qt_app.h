// One QApplication per widget-test program (offscreen platform), made on first use so that
// listing the tests needs no display.
#pragma once

#include <QApplication>

namespace plxtest {

inline QApplication& TestApp() {
    static int argc = 1;
    static char name[] = "widget_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

}  // namespace plxtest
