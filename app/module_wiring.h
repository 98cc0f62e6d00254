// Connects the modules of the other folders to the main window: the board widgets in their
// tabs, the tick's steps, the menu's dialogs, and the windows created after the main one.
#pragma once

#include <memory>

namespace plx {

class Tf_cfg;
class Tf_main;
class Tf_msg;
class Tf_verinfo;

// Before the start-up sequence: puts the board widgets into their tabs and fills window.hooks().
void WireModules(Tf_main& window);

// The windows created after the main one, in this order: the about box, the settings dialog, the
// pop-up message window. They live until the program ends; the pop-up is the notice back end
// while it lives, and the menu opens the two dialogs through the window's hooks.
class ModuleWindows {
public:
    explicit ModuleWindows(Tf_main& window);
    ~ModuleWindows();
    ModuleWindows(const ModuleWindows&) = delete;
    ModuleWindows& operator=(const ModuleWindows&) = delete;

    Tf_msg& f_msg() { return *f_msg_; }

private:
    Tf_main& window_;
    std::unique_ptr<Tf_verinfo> f_verinfo_;
    std::unique_ptr<Tf_cfg> f_cfg_;
    std::unique_ptr<Tf_msg> f_msg_;
};

}  // namespace plx
