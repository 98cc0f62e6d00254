// The racer check and its report through a real Firebird server (the demo tool's --serve),
// against the same check on the same database opened as a local file.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "common/clock.h"
#include "common/ini_file.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "data/marlo_ini.h"
#include "data/server_database.h"
#include "tests/support/firebird_db.h"
#include "tests/support/marlo_server.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "watch/check_racers.h"

using namespace plx;

namespace {

// Five registration numbers with starts on the day, read with isql-fb.
std::vector<std::string> RacersOn(const std::string& database, const std::string& day) {
    std::istringstream out(plxtest::RunIsql(
        database, "SELECT FIRST 5 DISTINCT 'ENT' || ENTNO FROM RACEDTL WHERE OPDT='" + day + "' ORDER BY 1;"));
    std::vector<std::string> racers;
    std::string word;
    while (out >> word)
        if (word.size() == 8 && word.rfind("ENT", 0) == 0) racers.push_back(word.substr(3));
    return racers;
}

std::vector<std::string> Check(int* entries) {
    std::vector<std::string> memo;
    *entries = CheckRacers(memo);
    return memo;
}

}  // namespace

TEST(CheckRacersServer, TheReportThroughTheServerIsTheOneFromTheLocalFile) {
    plxtest::TempDir dir;
    ResetProgram();
    Program().exeFolder = dir.path();
    Program().runState = RunState::Running;
    ManualClock clock{{2026, 12, 8, 9, 0, 0}};
    SetClock(&clock);
    plxtest::RecordingMessages messages;

    const std::string marlo = dir.File("marlo/");
    int status = 0;
    const std::string built = plxtest::RunMarloDemo("'" + marlo + "' --date 20261208", &status);
    ASSERT_EQ(status, 0) << built;
    std::vector<std::string> racers = RacersOn(MarloDatabasePath(marlo), "20261208");
    ASSERT_EQ(racers.size(), 5u);
    std::string list;
    for (const auto& racer : racers) list += racer + ":\r\n";
    plxtest::WriteFile(dir.File(kWatchListFileName), list);

    std::string error;
    ASSERT_TRUE(OpenRaceDatabase(dm.sc_main, marlo, &error)) << Cp932ToUtf8(error);
    int localEntries = 0;
    const std::vector<std::string> local = Check(&localEntries);
    dm.sc_main.Close();
    EXPECT_GE(localEntries, 5);

    plxtest::MarloServer server(marlo);
    plxtest::WriteFile(dir.File("plx.INI"), "[DIR]\nMARLO_DB=" + server.database() + "\n");
    ASSERT_TRUE(OpenServerDatabase(dm.sc_main, ReadServerDatabase(IniFile(dir.File("plx.INI"))), "", &error))
        << Cp932ToUtf8(error);
    int serverEntries = 0;
    EXPECT_EQ(Check(&serverEntries), local);
    EXPECT_EQ(serverEntries, localEntries);
    EXPECT_TRUE(messages.shown.empty());

    dm.sc_main.Close();
    SetClock(nullptr);
    ResetProgram();
}
