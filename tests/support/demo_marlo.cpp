// Demo MARLO folders, built by the demo tool once per race day and copied.
#include "tests/support/demo_marlo.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <system_error>

#include "common/clock.h"
#include "common/files.h"
#include "tests/support/firebird_db.h"
#include "tests/support/temp_dir.h"

namespace plxtest {
namespace fs = std::filesystem;

namespace {

// A mark of the tool's own text, so that a changed tool never serves an old database.
std::string ToolVersion() {
    static const std::string version = [] {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%016zx", std::hash<std::string>{}(ReadFile(PLXTEST_MARLO_DEMO_TOOL)));
        return std::string(hex);
    }();
    return version;
}

// `from` written whole over `to` (a new file with the mode of `from`), as the tool puts its files
// in place.
void PutWhole(const fs::path& from, const fs::path& to) {
    const auto mode = static_cast<unsigned>(fs::status(from).permissions());
    std::string error;
    if (!plx::WriteFileAtomically(to, ReadFile(from), &error, nullptr, false, mode)) throw std::runtime_error(error);
}

// The day's folder in the cache, built by the tool when it is not there yet. Test processes run
// side by side: each builds in a folder of its own and the first to rename it into place wins.
fs::path CachedDay(const std::string& date) {
    const fs::path cache = PLXTEST_DEMO_CACHE;
    const fs::path day = cache / (ToolVersion() + "-" + date);
    if (fs::exists(day / "DB" / "MLDB.FDB")) return day;
    fs::create_directories(cache);
    const fs::path building = cache / (".building-" + std::to_string(getpid()));
    fs::remove_all(building);
    int status = 0;
    std::string output = RunCommand(std::string(PLXTEST_MARLO_DEMO_TOOL) + " '" + building.string() + "' --date " + date +
                                        " 2>&1",
                                    &status);
    if (status != 0) {
        fs::remove_all(building);
        throw std::runtime_error("marlo-demo failed:\n" + output);
    }
    std::error_code taken;
    fs::rename(building, day, taken);  // fails when another process was first: theirs is the same
    if (taken) fs::remove_all(building);
    return day;
}

}  // namespace

std::string MakeDemoMarlo(const std::string& folder, const std::string& date) {
    const fs::path day = CachedDay(date.empty() ? plx::FormatDateTime(plx::SystemClock().Now(), "YYYYMMDD") : date);
    fs::create_directories(fs::path(folder) / "DB");
    PutWhole(day / "DB" / "MLDB.FDB", fs::path(folder) / "DB" / "MLDB.FDB");
    PutWhole(day / "MARLO.INI", fs::path(folder) / "MARLO.INI");
    return folder.back() == '/' ? folder : folder + "/";
}

}  // namespace plxtest
