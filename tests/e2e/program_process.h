// Starting the built program as a process of its own in a folder of its own, and watching it.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/demo_marlo.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

// True when `text` (a program's output, a file) holds `piece`.
inline bool Holds(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// A folder holding a copy of the program (under `exeName`), the driver and the sounds. Every
// folder made for one test shares `runtimeFolder`, so that their copies see each other's lock.
class ProgramFolder {
public:
    ProgramFolder(const std::string& runtimeFolder, const std::string& exeName = "plx");

    std::string File(const std::string& name) const { return dir_.File(name); }
    const std::string& path() const { return dir_.path(); }
    std::string exePath() const { return dir_.File(exeName_); }
    std::string settingsPath() const { return dir_.File(exeName_ + ".INI"); }

    // Starts the program; its standard output and error go to "output.txt" in the folder.
    // `extraEnvironment` ("NAME=value" entries) is added to the program's environment.
    pid_t Start(const std::vector<std::string>& extraEnvironment = {}) const;
    std::string Output() const { return ReadFile(File("output.txt")); }

private:
    TempDir dir_;
    std::string runtimeFolder_;
    std::string exeName_;
};

// Starts `exe` under the offscreen platform with `runtimeFolder` as its runtime folder; standard
// output and error are appended to `outputFile`. `extraEnv` entries "KEY=value" are set, a bare
// "KEY" is removed from the environment.
pid_t StartProgram(const std::string& exe, const std::string& runtimeFolder, const std::string& outputFile,
                   const std::vector<std::string>& extraEnv = {});

// Waits for the process to end: its exit status, or -1 when it was still running after
// `limitMs` (it is then killed) or ended by a signal.
int WaitForExit(pid_t pid, int limitMs);

// True while the process has not ended (and has not been reaped).
bool StillRunning(pid_t pid);

// True once `path` exists; waits up to `limitMs`. (Probing the lock itself would race with a
// program that is just starting.)
bool WaitForFile(const std::string& path, int limitMs);


}  // namespace plxtest
