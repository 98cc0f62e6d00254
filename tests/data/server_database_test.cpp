// The server keys of the settings file and whose login reaches the server.
#include "data/server_database.h"

#include <gtest/gtest.h>

#include "common/ini_file.h"
#include "tests/support/temp_dir.h"

using namespace plx;

TEST(ServerDatabase, KeysAreReadWithTheDefaultsAndMarloIniWinsWhereItsFolderExists) {
    plxtest::TempDir dir;
    const std::string settings = dir.File("plx.INI");

    plxtest::WriteFile(settings, "[DIR]\nMARLO=/x/\n");
    ServerDatabase none = ReadServerDatabase(IniFile(settings));
    EXPECT_EQ(none.database, "");
    EXPECT_EQ(none.credentials.user, "SYSDBA");
    EXPECT_EQ(none.credentials.password, "fjordlamp");
    EXPECT_FALSE(none.passwordInSettings);

    plxtest::WriteFile(settings,
                       "[dir]\nmarlo_db =  racehost/3051:/srv/marlo/DB/MLDB.FDB  \nMARLO_USER=ALICE\nMARLO_PSWD=\n");
    ServerDatabase server = ReadServerDatabase(IniFile(settings));
    EXPECT_EQ(server.database, "racehost/3051:/srv/marlo/DB/MLDB.FDB");
    EXPECT_EQ(server.credentials.user, "ALICE");
    EXPECT_EQ(server.credentials.password, "");  // present and empty is not absent
    EXPECT_TRUE(server.passwordInSettings);

    // No MARLO folder here, or one that does not exist: the settings file's own login.
    EXPECT_EQ(ServerCredentials(server, "").user, "ALICE");
    EXPECT_EQ(ServerCredentials(server, dir.File("missing/")).user, "ALICE");
    // The MARLO installation that serves this machine: its MARLO.INI, defaults included.
    plxtest::WriteFile(dir.File("MARLO.INI"), "[FB]\r\nUSER=BOB\r\n");
    MarloCredentials fromIni = ServerCredentials(server, dir.path());
    EXPECT_EQ(fromIni.user, "BOB");
    EXPECT_EQ(fromIni.password, "fjordlamp");
}
