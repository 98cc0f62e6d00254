// Loading and saving the program's settings file (exe name + ".INI" beside the executable).
#pragma once

#include <array>
#include <string>

#include "common/settings.h"

namespace plx {

class IniFile;

class SettingsStore {
public:
    explicit SettingsStore(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    // Every key in the order of the settings table, each with its default. The default sound
    // paths lie below `exeFolder`. A MARLO folder gets its trailing "/"; a news mark that is not
    // 12 or 14 digits reads as the default.
    Settings Load(const std::string& exeFolder) const;

    // The program-end save: LEFT, TOP, MARLO, NEWS_LAST_RLSDTTM and the three board venues
    // (two digits). False with a message naming the file when the write is refused, or when the
    // file is there but could not be read whole (it is then left as it is). A new file is 0600.
    bool SaveProgramEnd(int left, int top, const std::string& marloFolder, const std::string& newsStamp,
                        const std::array<int, 3>& slotVenue, std::string* error) const;

    // The keys the settings dialog owns, in its order, as decimal text.
    bool SaveDialog(const Settings& values, std::string* error) const;

private:
    std::string path_;
};

// The settings in an already-read settings file, as Load gives them; for a caller that reads other
// sections of the same file too.
Settings ReadSettings(const IniFile& ini, const std::string& exeFolder);

// "<exe path>.INI" for an executable path ("/opt/plx/plx" gives "/opt/plx/plx.INI").
std::string SettingsPathForExe(const std::string& exePath);

}  // namespace plx
