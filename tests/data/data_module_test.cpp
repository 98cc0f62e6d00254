// The data module without a database: the parameter list, MARLO.INI, the driver lookup, and the
// query runner's retries and lookups when nothing can reach the driver.
#include "data/data_module.h"

#include <gtest/gtest.h>

#include <chrono>

#include "common/program_state.h"
#include "common/sjis.h"
#include "data/marlo_ini.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::RecordingMessages;
using plxtest::TempDir;
using plxtest::WriteFile;

TEST(DataModule, ConnectionStartsWithTheFixedParameterList) {
    SqlConnection connection;
    EXPECT_EQ(connection.DriverName, "Basalt");
    EXPECT_EQ(connection.LibraryName, "libbasaltdrv.so");
    EXPECT_EQ(connection.GetDriverFunc, "getSQLDriverBASALT");
    EXPECT_EQ(connection.VendorLib, "libfbclient.so.2");
    EXPECT_FALSE(connection.LoginPrompt);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"BlobSize", "-1"},
        {"CommitRetain", "False"},
        {"Database", "MLDB.FDB"},
        {"DriverName", "Basalt"},
        {"ErrorResourceFile", ""},
        {"LocaleCode", "0000"},
        {"Password", "fjordlamp"},
        {"RoleName", "RoleName"},
        {"ServerCharSet", ""},
        {"SQLDialect", "3"},
        {"Basalt TransIsolation", "ReadCommited"},
        {"User_Name", "sysdba"},
        {"WaitOnLocks", "True"},
    };
    EXPECT_EQ(connection.Params(), expected);
    EXPECT_FALSE(connection.Connected());
}

TEST(DataModule, SettingAParameterReplacesItInPlace) {
    SqlConnection connection;
    connection.SetParam("database", "/opt/orvent/MARLO/DB/MLDB.FDB");
    connection.SetParam("User_Name", "ALICE");
    EXPECT_EQ(connection.Params()[2],
              (std::pair<std::string, std::string>{"Database", "/opt/orvent/MARLO/DB/MLDB.FDB"}));
    EXPECT_EQ(connection.Params()[11].second, "ALICE");
    EXPECT_EQ(connection.Param("USER_NAME"), "ALICE");
    EXPECT_EQ(connection.Params().size(), 13u);
    EXPECT_EQ(connection.Param("NoSuchKey"), "");
}

TEST(MarloIni, CredentialsAndDefaults) {
    TempDir dir;
    EXPECT_EQ(ReadMarloCredentials(dir.path()).user, "SYSDBA");  // no file
    EXPECT_EQ(ReadMarloCredentials(dir.path()).password, "fjordlamp");
    WriteFile(dir.File("MARLO.INI"), "[FB]\r\nUSER=ALICE\r\n[OTHER]\r\nPSWD=elsewhere\r\n");
    MarloCredentials alice = ReadMarloCredentials(dir.path());
    EXPECT_EQ(alice.user, "ALICE");
    EXPECT_EQ(alice.password, "fjordlamp");
    WriteFile(dir.File("MARLO.INI"), "[fb]\r\nuser=bob\r\npswd=\r\n");
    MarloCredentials bob = ReadMarloCredentials(dir.path());
    EXPECT_EQ(bob.user, "bob");
    EXPECT_EQ(bob.password, "");  // present but empty is not the default
    EXPECT_EQ(MarloDatabasePath("/opt/orvent/MARLO/"), "/opt/orvent/MARLO/DB/MLDB.FDB");
}

TEST(MarloIni, OpeningSetsTheThreeParametersFromTheFolder) {
    TempDir dir;
    WriteFile(dir.File("MARLO.INI"), "[FB]\r\nUSER=ALICE\r\n");
    ResetProgram();
    Program().exeFolder = dir.path();
    WriteFile(dir.File("libbasaltdrv.so"), "not a library");  // found first, and refused
    SqlConnection connection;
    std::string error;
    EXPECT_FALSE(OpenRaceDatabase(connection, dir.path(), &error));
    EXPECT_EQ(connection.Param("Database"), dir.File("DB/MLDB.FDB"));
    EXPECT_EQ(connection.Param("User_Name"), "ALICE");
    EXPECT_EQ(connection.Param("Password"), "fjordlamp");
    EXPECT_NE(error.find(dir.File("libbasaltdrv.so")), std::string::npos) << error;
    EXPECT_FALSE(connection.Connected());
    ResetProgram();
}

TEST(QueryRunner, QueryOnAClosedConnectionFailsThreeTimesWithOneMessage) {
    RecordingMessages messages;
    SqlConnection connection;
    SqlQuery query(connection, "sq_test");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(QueryOpen(query, "SELECT 1 FROM RDB$DATABASE"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1950));
    EXPECT_LT(waited, std::chrono::milliseconds(3500));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, SJ("問い合わせオープンでエラーが発生しました。") +
                                          "\nSELECT 1 FROM RDB$DATABASE\n" + SJ("データベースに接続されていません。"));
    EXPECT_FALSE(query.Active());
    EXPECT_TRUE(query.Eof());
    EXPECT_TRUE(query.IsEmpty());
    EXPECT_EQ(query.FieldAsText("ANY"), "");
}

TEST(QueryRunner, EmptyKeyRunsNoQuery) {
    RecordingMessages messages;
    SqlConnection connection;
    SqlQuery query(connection, "sq_test");
    query.SetSql("SELECT previous");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SelectValue(query, "RKIND", "RKINDCD", "", "RKINDNM"), "");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(query.Sql(), "SELECT previous");
}

TEST(QueryRunner, DataModuleHoldsTheNamedQueriesOnItsConnection) {
    EXPECT_EQ(dm.sq_mst.name(), "sq_mst");
    EXPECT_EQ(dm.sq_wk.name(), "sq_wk");
    EXPECT_EQ(dm.sq_cfg.name(), "sq_cfg");
    EXPECT_EQ(dm.sq_chk.name(), "sq_chk");
    EXPECT_FALSE(dm.sc_main.Connected());
}
