// CheckRacers on a real race database through the data module and the real driver.
#include <gtest/gtest.h>

#include <cstdlib>

#include "common/clock.h"
#include "common/files.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "data/data_module.h"
#include "tests/support/firebird_db.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "watch/check_racers.h"

using namespace plx;

namespace {

// The tables as the race-database server lays them out, with a text TEINO so that the boat
// numbers a hand-made row may hold (0, empty, not a number) can be stored. Every test runs on a
// database of each default character set: with SJIS_0208 a CHAR column comes back filled with
// blanks to twice its width.
const char* const kSchema = R"(
CREATE TABLE RIDER (ENTNO CHAR(5) NOT NULL PRIMARY KEY, RIDERNM VARCHAR(10) CHARACTER SET SJIS_0208);
CREATE TABLE RKIND (RKINDCD CHAR(2) NOT NULL PRIMARY KEY, RKINDNM VARCHAR(20) CHARACTER SET SJIS_0208);
CREATE TABLE RACEMST (OPDT CHAR(8) NOT NULL, RCOURSECD CHAR(2) NOT NULL, RNO CHAR(2) NOT NULL,
  NITIME SMALLINT, RKINDCD CHAR(2), CLOSETM CHAR(4), PRIMARY KEY (OPDT, RCOURSECD, RNO));
CREATE TABLE RACEDTL (OPDT CHAR(8) NOT NULL, RCOURSECD CHAR(2) NOT NULL, RNO CHAR(2) NOT NULL,
  TEINO CHAR(2) NOT NULL, ENTNO CHAR(5), PRIMARY KEY (OPDT, RCOURSECD, RNO, TEINO));
INSERT INTO RIDER VALUES ('03159', '今村　　豊');
INSERT INTO RIDER VALUES ('04444', 'X一二三四五六七');
INSERT INTO RIDER VALUES ('05555', '峰　　竜太');
INSERT INTO RKIND VALUES ('01', '一般');
INSERT INTO RKIND VALUES ('05', '優勝戦');
INSERT INTO RACEMST VALUES ('20261207', '01', '12', 2, '01', '2030');
INSERT INTO RACEMST VALUES ('20261208', '01', '03', 3, '01', '1130');
INSERT INTO RACEMST VALUES ('20261208', '01', '10', 3, '05', '1600');
INSERT INTO RACEMST VALUES ('20261208', '04', '02', 1, '77', '1100');
INSERT INTO RACEMST VALUES ('20261209', '04', '07', 2, '01', '1400');
INSERT INTO RACEMST VALUES ('20261209', '04', '08', 2, '01', '1430');
INSERT INTO RACEDTL VALUES ('20261207', '01', '12', '1', '03159');
INSERT INTO RACEDTL VALUES ('20261208', '01', '03', '0', '03159');
INSERT INTO RACEDTL VALUES ('20261208', '01', '10', '', '03159');
INSERT INTO RACEDTL VALUES ('20261208', '04', '02', 'x', '03159');
INSERT INTO RACEDTL VALUES ('20261209', '04', '07', '6', '03159');
INSERT INTO RACEDTL VALUES ('20261209', '04', '08', '2', '09999');
INSERT INTO RACEDTL VALUES ('20261207', '01', '12', '2', '05555');
)";

// Records messages and, like a quit chosen while a message box waits, ends the run.
class QuitOnMessage final : public MessageBackend {
public:
    QuitOnMessage() { SetMessageBackend(this); }
    ~QuitOnMessage() override { SetMessageBackend(nullptr); }
    int Show(const std::string& text, bool) override {
        shown.push_back(Cp932ToUtf8(text));
        Program().runState = RunState::QuitRequested;
        return kMsgOk;
    }
    std::vector<std::string> shown;
};

class CheckRacersDb : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override {
        ResetProgram();
        Program().exeFolder = dir.path();
        Program().runState = RunState::Running;
        SetClock(&clock);
    }
    void TearDown() override {
        dm.sc_main.Close();
        SetClock(nullptr);
        ResetProgram();
    }
    void Connect(const std::string& script = kSchema) {
        std::string path = dir.File("MLDB.FDB");
        plxtest::CreateDatabase(path, script, GetParam());
        dm.sc_main.SetParam("Database", path);
        dm.sc_main.SetParam("User_Name", plxtest::kDbUser);
        dm.sc_main.SetParam("Password", plxtest::kDbPassword);
        std::string error;
        ASSERT_TRUE(dm.sc_main.Open(&error)) << Cp932ToUtf8(error);
    }
    void WriteWatchList(const std::string& utf8) {
        plxtest::WriteFile(dir.File("PLX_CHKRIDER.DAT"), Utf8ToCp932(utf8));
    }
    std::vector<std::string> Check(int expectedEntries) {
        std::vector<std::string> memo;
        EXPECT_EQ(CheckRacers(memo), expectedEntries);
        std::vector<std::string> utf8;
        for (const auto& line : memo) utf8.push_back(Cp932ToUtf8(line));
        return utf8;
    }

    plxtest::TempDir dir;
    ManualClock clock{{2026, 12, 8, 10, 15, 30}};
};

}  // namespace

TEST_P(CheckRacersDb, NoListFile) {
    Connect();
    plxtest::RecordingMessages messages;
    EXPECT_EQ(Check(0), (std::vector<std::string>{"【選手チェック】", "設定されていません。", ""}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(CheckRacersDb, TodayAndLaterOnTwoDaysAndTwoVenuesWithOddBoatNumbersAndAnUnknownKind) {
    Connect();
    plxtest::RecordingMessages messages;
    WriteWatchList("03159:今村豊\r\n");
    // Yesterday's start does not count; today's do.
    EXPECT_EQ(Check(4),
              (std::vector<std::string>{"【選手チェック】", "－今村豊        3159－", "2026/12/08 桐生 3日目 ",
                                        "03R 一般 ", "10R 優勝戦 ", "2026/12/08 平和島 1日目 ", "02R  ",
                                        "2026/12/09 平和島 2日目 ", "07R 6番 一般 ", ""}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(CheckRacersDb, UnknownRacersLongNamesAndRacersWithoutStarts) {
    Connect();
    plxtest::RecordingMessages messages;
    // 09999 is not in RIDER but has a start: the entry query runs with its key all the same.
    WriteWatchList("04444:\r\n05555:峰竜太\r\n09999:\r\n");
    EXPECT_EQ(Check(1),
              (std::vector<std::string>{"【選手チェック】", "－X一二三四五六 4444－", "", "－峰竜太        5555－", "",
                                        "－？            9999－", "2026/12/09 平和島 2日目 ", "08R 2番 一般 ", ""}));
    WriteWatchList("04444:\r\n05555:\r\n");
    EXPECT_EQ(Check(0),
              (std::vector<std::string>{"【選手チェック】", "－X一二三四五六 4444－", "", "－峰竜太        5555－", "",
                                        "2026/12/08 10:15:30", "チェックしましたが、出走予定がないようです。", ""}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_P(CheckRacersDb, AQuitDuringACheckEndsItEarly) {
    // Without the kind table every kind lookup fails; its message box is where the quit comes in.
    std::string script = kSchema;
    script.replace(script.find("CREATE TABLE RKIND"), std::string("CREATE TABLE RKIND").size(), "CREATE TABLE RKINDX");
    script.replace(script.find("INSERT INTO RKIND VALUES ('01'"), std::string("INSERT INTO RKIND ").size(),
                   "INSERT INTO RKINDX ");
    script.replace(script.find("INSERT INTO RKIND VALUES ('05'"), std::string("INSERT INTO RKIND ").size(),
                   "INSERT INTO RKINDX ");
    Connect(script);
    QuitOnMessage messages;
    WriteWatchList("03159:\r\n09999:\r\n");
    EXPECT_EQ(Check(1), (std::vector<std::string>{"【選手チェック】", "－今村豊        3159－",
                                                  "2026/12/08 桐生 3日目 ", "03R  ", ""}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].rfind("問い合わせオープンでエラーが発生しました。", 0), 0u);
}

TEST_P(CheckRacersDb, MissingTablesGiveAFailedCheckNeverNoStarts) {
    Connect("CREATE TABLE OTHER (X INTEGER);");
    plxtest::RecordingMessages messages;
    WriteWatchList("03159:今村豊\r\n");
    EXPECT_EQ(Check(0),
              (std::vector<std::string>{"【選手チェック】", "－？            3159－",
                                        "登録番号3159のチェックに失敗しました。", "", "2026/12/08 10:15:30", ""}));
    EXPECT_EQ(messages.shown.size(), 2u);  // the two failed queries, each reported once
}

INSTANTIATE_TEST_SUITE_P(CharacterSets, CheckRacersDb, ::testing::Values("NONE", "SJIS_0208"));

namespace {

// The whole report of the demo database built with the given default character set, for the
// first racers that start on the demo day.
std::vector<std::string> DemoReport(const std::string& charset, std::vector<std::string>* watchList) {
    plxtest::TempDir marlo;
    std::string command = std::string(PLXTEST_MARLO_DEMO) + " '" + marlo.path() + "' --date 20261208 --charset " +
                          charset + " >/dev/null";
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << command;
        return {};
    }
    dm.sc_main.SetParam("Database", marlo.File("DB/MLDB.FDB"));
    dm.sc_main.SetParam("User_Name", plxtest::kDbUser);
    dm.sc_main.SetParam("Password", plxtest::kDbPassword);
    std::string error;
    if (!dm.sc_main.Open(&error)) {
        ADD_FAILURE() << Cp932ToUtf8(error);
        return {};
    }
    if (watchList->empty()) {
        EXPECT_TRUE(QueryOpen(dm.sq_wk, "SELECT DISTINCT ENTNO FROM RACEDTL WHERE OPDT='20261208' ORDER BY ENTNO"));
        for (int i = 0; i < 4 && !dm.sq_wk.Eof(); ++i, dm.sq_wk.Next())
            watchList->push_back(TrimTrailingBlanks(dm.sq_wk.FieldAsText("ENTNO")) + ":");
        dm.sq_wk.Close();
        watchList->push_back("09999:");
    }
    WriteFileLines(Program().exeFolder + kWatchListFileName, *watchList, &error);
    std::vector<std::string> memo;
    CheckRacers(memo);
    dm.sc_main.Close();
    std::vector<std::string> utf8;
    for (const auto& line : memo) utf8.push_back(Cp932ToUtf8(line));
    return utf8;
}

}  // namespace

TEST(CheckRacersDemo, TheWholeReportIsTheSameOnBothCharacterSets) {
    ResetProgram();
    plxtest::TempDir exe;
    Program().exeFolder = exe.path();
    Program().runState = RunState::Running;
    ManualClock clock{{2026, 12, 8, 9, 0, 0}};
    SetClock(&clock);
    plxtest::RecordingMessages messages;
    std::vector<std::string> watchList;
    std::vector<std::string> none = DemoReport("NONE", &watchList);
    std::vector<std::string> sjis = DemoReport("SJIS_0208", &watchList);
    SetClock(nullptr);
    ResetProgram();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(sjis, none);
    // The report is the right one, not merely the same one: every day line names its venue, every
    // entry line has a two-digit race number and a boat number.
    ASSERT_GE(none.size(), 8u);
    int days = 0, entries = 0;
    for (const std::string& line : none) {
        if (line.find("日目 ") != std::string::npos) {
            // "2026/12/08 <venue> <1-6>日目 "
            ++days;
            EXPECT_TRUE(line.rfind("2026/12/08 ", 0) == 0 || line.rfind("2026/12/09 ", 0) == 0) << line;
            size_t venueEnd = line.find(' ', 11);
            ASSERT_NE(venueEnd, std::string::npos) << line;
            EXPECT_GT(venueEnd, 11u) << line;  // a venue name is there
            EXPECT_EQ(line.substr(venueEnd), " " + line.substr(venueEnd + 1, 1) + "日目 ") << line;
            EXPECT_TRUE(line[venueEnd + 1] >= '1' && line[venueEnd + 1] <= '6') << line;
        } else if (line.find("番 ") != std::string::npos) {
            // "<01-12>R <1-6>番 <kind> "
            ++entries;
            ASSERT_GE(line.size(), 10u) << line;
            int race = std::atoi(line.substr(0, 2).c_str());
            EXPECT_TRUE(race >= 1 && race <= 12 && line.compare(2, 2, "R ") == 0) << line;
            EXPECT_TRUE(line[4] >= '1' && line[4] <= '6' && line.compare(5, 4, "番 ") == 0) << line;
            EXPECT_TRUE(line.size() > 10 && line.back() == ' ' && line[line.size() - 2] != ' ') << line;
        }
    }
    EXPECT_GE(days, 4);
    EXPECT_GE(entries, 4);
    EXPECT_EQ(none.back(), "");
}
