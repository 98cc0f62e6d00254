// A program folder in a temporary directory with recorders for every user-facing effect, and
// the main window made on it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/main_window.h"
#include "common/clock.h"
#include "tests/support/event_loop.h"
#include "tests/support/recording_browser.h"
#include "tests/support/recording_messages.h"
#include "tests/support/recording_sound.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

class AppFixture {
public:
    AppFixture();
    ~AppFixture();

    // Builds a MARLO folder for today with the demo tool; returns it with its trailing "/".
    std::string BuildMarlo();
    void WriteSettings(const std::string& text) { WriteFile(settingsPath(), text); }
    std::string settingsPath() const { return dir.File("plx.INI"); }

    // The main window on this folder, with the recording sound device in its player.
    std::unique_ptr<plx::Tf_main> MakeWindow(const std::string& defaultMarloFolder = "/nonexistent/MARLO/");
    // MakeWindow with the board's wiring, then the start-up sequence; fails the test when it fails.
    std::unique_ptr<plx::Tf_main> StartWindow();

    TempDir dir;
    plx::ManualClock clock;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    RecordingBrowser browser;
    SoundLog sounds;
};

}  // namespace plxtest
