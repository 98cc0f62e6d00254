// Program-wide state: run state, program folder, settings and the values derived from them.
// One owner; tests call ResetProgram() to start from a clean slate.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "common/settings.h"

namespace plx {

enum class RunState { Starting, Running, QuitRequested, Closing };

struct ProgramState {
    RunState runState = RunState::Starting;
    // Folder of the program's data files (settings, timetable, lists, news page), trailing "/":
    // beside the executable, or the user's own folder for the installed package (data_folder.h).
    std::string exeFolder;
    // Folder of the executable itself (its sounds and driver), trailing "/"; empty means exeFolder.
    std::string programFolder;
    Settings settings;
    std::array<int, 3> slotVenue{1, 2, 3};      // venue numbers of the three board columns
    std::string newsBaseline = "000000000000";  // NEWS_LAST_RLSDTTM as read at start-up
    std::int64_t lastCheckTick = 0;             // tick count of the last racer check
};

ProgramState& Program();
void ResetProgram();

// The folder below which the program's own sounds lie ("Snd/"), trailing "/".
std::string SoundFolderBase();

// Copies freshly loaded settings into the program state and derives the racer-check clock,
// the news baseline and the board venues from them.
void ApplyLoadedSettings(const Settings& loaded);

}  // namespace plx
