// The data module on real databases through the real driver: connecting with the parameter list,
// every field type as text, the query runner's retries, SelectValue and query reuse.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/program_state.h"
#include "common/sjis.h"
#include "data/data_module.h"
#include "data/marlo_ini.h"
#include "tests/support/firebird_db.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::RecordingMessages;
using plxtest::TempDir;

namespace {

class DataModuleDb : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        path = dir.File("test.fdb");
        plxtest::CreateDatabase(path, R"(
CREATE TABLE KINDS (CD CHAR(2) NOT NULL, NM VARCHAR(20) CHARACTER SET SJIS_0208);
INSERT INTO KINDS VALUES ('05', '選抜');
INSERT INTO KINDS VALUES ('07', '優勝戦');
INSERT INTO KINDS VALUES ('07', '二番目');
CREATE TABLE NAMES (KEYNM VARCHAR(20), VAL VARCHAR(10));
INSERT INTO NAMES VALUES ('O''Neil', 'quoted');
INSERT INTO NAMES VALUES ('ONeil', 'plain');
CREATE SEQUENCE G_TRY;
)");
        connection.SetParam("Database", path);
        connection.SetParam("User_Name", plxtest::kDbUser);
        connection.SetParam("Password", plxtest::kDbPassword);
    }
    void TearDown() override {
        connection.Close();
        ResetProgram();
    }
    void Connect() {
        std::string error;
        ASSERT_TRUE(connection.Open(&error)) << Cp932ToUtf8(error);
    }

    TempDir dir;
    std::string path;
    RecordingMessages messages;
    SqlConnection connection;
    SqlQuery query{connection, "sq_test"};
};

}  // namespace

TEST_F(DataModuleDb, EveryFieldTypeReadsAsText) {
    plxtest::RunIsql(path, R"(
CREATE TABLE TYPES (
  S SMALLINT, I INTEGER, B BIGINT, N92 NUMERIC(9,2), N42 NUMERIC(4,2), N184 NUMERIC(18,4), D15 DECIMAL(15,1),
  DBL DOUBLE PRECISION, FL FLOAT, DT DATE, TM TIME, TS TIMESTAMP,
  C4 CHAR(4), VC VARCHAR(10), NM VARCHAR(8) CHARACTER SET SJIS_0208, MEMO BLOB SUB_TYPE TEXT, NOTHING INTEGER);
INSERT INTO TYPES VALUES (-12, 1800, 123456789012, 123.45, -0.05, 12345678901234.5678, -7.0,
  0.5, 0.25, '2006-04-01', '13:05:07', '2006-04-01 10:30:00',
  'AB', 'ABC', '峰　　竜太', 'long text', NULL);
COMMIT;)");
    Connect();
    ASSERT_TRUE(QueryOpen(query, "SELECT * FROM TYPES"));
    EXPECT_EQ(query.FieldCount(), 17);
    EXPECT_EQ(query.FieldAsText("S"), "-12");
    EXPECT_EQ(query.FieldAsText("I"), "1800");
    EXPECT_EQ(query.FieldAsText("B"), "123456789012");
    EXPECT_EQ(query.FieldAsText("N92"), "123.45");
    EXPECT_EQ(query.FieldAsText("N42"), "-0.05");
    EXPECT_EQ(query.FieldAsText("N184"), "12345678901234.5678");
    EXPECT_EQ(query.FieldAsText("D15"), "-7.0");
    EXPECT_EQ(query.FieldAsText("DBL"), "0.5");
    EXPECT_EQ(query.FieldAsText("FL"), "0.25");
    EXPECT_EQ(query.FieldAsText("DT"), "2006-04-01");
    EXPECT_EQ(query.FieldAsText("TM"), "13:05:07");
    EXPECT_EQ(query.FieldAsText("TS"), "2006-04-01 10:30:00");
    EXPECT_EQ(query.FieldAsText("C4"), "AB  ");
    EXPECT_EQ(query.FieldAsText("vc"), "ABC");  // names compare without case
    EXPECT_EQ(query.FieldAsText("NM"), SJ("峰　　竜太"));
    EXPECT_EQ(query.FieldAsText("MEMO"), "long text");
    EXPECT_EQ(query.FieldAsText("NOTHING"), "");
    EXPECT_EQ(query.FieldAsText("NO_SUCH_FIELD"), "");
    EXPECT_FALSE(query.HasField("NO_SUCH_FIELD"));
    EXPECT_FALSE(query.IsEmpty());
    query.Next();
    EXPECT_TRUE(query.Eof());
    EXPECT_EQ(query.FieldAsText("I"), "");  // nothing to read past the end
    query.Next();
    EXPECT_TRUE(query.Eof());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DataModuleDb, QueryFailingEveryTimeGivesOneMessageWithTheDriversText) {
    Connect();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(QueryOpen(query, "SELECT * FROM NO_SUCH_TABLE"));
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(1950));
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
    ASSERT_EQ(messages.shown.size(), 1u);
    const std::string prefix = SJ("問い合わせオープンでエラーが発生しました。") + "\nSELECT * FROM NO_SUCH_TABLE\n";
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    EXPECT_NE(text.find("NO_SUCH_TABLE", prefix.size()), std::string::npos) << Cp932ToUtf8(text);
    EXPECT_FALSE(query.Active());
    EXPECT_TRUE(query.IsEmpty());
    // The connection is still good for the next query.
    EXPECT_TRUE(QueryOpen(query, "SELECT NM FROM KINDS WHERE CD='05'"));
    EXPECT_EQ(query.FieldAsText("NM"), SJ("選抜"));
}

TEST_F(DataModuleDb, QueryFailingOnceThenWorkingGivesNoMessage) {
    Connect();
    // The sequence moves even when the statement fails: the first fetch divides by zero, the second does not.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(QueryOpen(query, "SELECT 1/(GEN_ID(G_TRY,1)-1) AS X FROM RDB$DATABASE"));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(950));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(query.FieldAsText("X"), "1");
}

TEST_F(DataModuleDb, SelectValueQuotesItsKeyAndTakesTheFirstRow) {
    Connect();
    EXPECT_EQ(SelectValue(query, "NAMES", "KEYNM", "O'Neil", "VAL"), "quoted");
    EXPECT_EQ(query.Sql(), "SELECT VAL FROM NAMES WHERE KEYNM='O''Neil'");
    EXPECT_EQ(SelectValue(query, "KINDS", "CD", "07", "NM"), SJ("優勝戦"));
    EXPECT_EQ(SelectValue(query, "KINDS", "CD", "99", "NM"), "");
    EXPECT_TRUE(query.Active());  // left open, empty
    // An empty key leaves the query on its last result.
    ASSERT_TRUE(QueryOpen(query, "SELECT CD FROM KINDS ORDER BY CD"));
    EXPECT_EQ(SelectValue(query, "KINDS", "CD", "", "NM"), "");
    EXPECT_EQ(query.FieldAsText("CD"), "05");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(DataModuleDb, NewTextOnAnOpenQueryReplacesItsResult) {
    Connect();
    ASSERT_TRUE(QueryOpen(query, "SELECT CD, NM FROM KINDS ORDER BY CD"));
    EXPECT_EQ(query.FieldAsText("CD"), "05");
    ASSERT_TRUE(QueryOpen(query, "SELECT VAL FROM NAMES ORDER BY VAL"));
    EXPECT_EQ(query.FieldCount(), 1);
    EXPECT_EQ(query.FieldAsText("CD"), "");
    int rows = 0;
    for (; !query.Eof(); query.Next()) ++rows;
    EXPECT_EQ(rows, 2);
    // A result without rows is empty but open.
    ASSERT_TRUE(QueryOpen(query, "SELECT VAL FROM NAMES WHERE VAL='none'"));
    EXPECT_TRUE(query.IsEmpty());
    EXPECT_TRUE(query.Eof());
    // Closing the connection closes its queries.
    ASSERT_TRUE(QueryOpen(query, "SELECT VAL FROM NAMES"));
    connection.Close();
    EXPECT_FALSE(query.Active());
    EXPECT_FALSE(connection.Connected());
}

TEST_F(DataModuleDb, MarloIniUserWithoutPasswordConnectsAsThatUser) {
    TempDir marlo;
    std::filesystem::create_directory(marlo.File("DB"));
    std::filesystem::rename(path, marlo.File("DB/MLDB.FDB"));
    plxtest::RunIsql(marlo.File("DB/MLDB.FDB"), "GRANT SELECT ON KINDS TO PUBLIC; COMMIT;");
    plxtest::WriteFile(marlo.File("MARLO.INI"), "[FB]\r\nUSER=ALICE\r\n");
    // The program folder holds no driver: it is found beside the running executable.
    Program().exeFolder = dir.path();
    std::string error;
    ASSERT_TRUE(OpenRaceDatabase(connection, marlo.path(), &error)) << Cp932ToUtf8(error);
    EXPECT_EQ(connection.Param("Password"), "fjordlamp");
    ASSERT_TRUE(QueryOpen(query, "SELECT CURRENT_USER AS U FROM RDB$DATABASE"));
    EXPECT_EQ(query.FieldAsText("U"), "ALICE");
    EXPECT_EQ(SelectValue(query, "KINDS", "CD", "05", "NM"), SJ("選抜"));
}

TEST_F(DataModuleDb, FailedConnectGivesTheDriversTextAndStaysClosed) {
    connection.SetParam("Database", dir.File("missing/MLDB.FDB"));
    std::string error;
    EXPECT_FALSE(connection.Open(&error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(QueryOpen(query, "SELECT 1 FROM RDB$DATABASE"));
    EXPECT_EQ(messages.shown.size(), 1u);
    // The right file then opens on the same object.
    connection.SetParam("Database", path);
    Connect();
    EXPECT_TRUE(connection.Connected());
}

TEST_F(DataModuleDb, IsolationAndCharacterSetParametersReachTheDriver) {
    connection.SetParam("Basalt TransIsolation", "DirtyRead");  // a level the driver refuses at connect
    std::string error;
    EXPECT_FALSE(connection.Open(&error));
    EXPECT_FALSE(connection.Connected());
    connection.SetParam("Basalt TransIsolation", "RepeatableRead");
    connection.SetParam("ServerCharSet", "UTF8");  // texts then arrive in UTF-8 instead of CP932
    Connect();
    EXPECT_EQ(SelectValue(query, "KINDS", "CD", "05", "NM"), "選抜");
    EXPECT_TRUE(messages.shown.empty());
}
