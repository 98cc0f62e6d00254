// CheckRacers over plain rows: the watch list, the query texts, the report and early ends.
#include "watch/check_racers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "common/clock.h"
#include "common/program_state.h"
#include "common/sjis.h"
#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable.h"
#include "watch/racer_report.h"

using namespace plx;

namespace {

using Row = std::map<std::string, std::string>;

// Answers each query text from a table of results kept by that exact text; any other text
// reads as empty, so a query that is not built exactly finds nothing.
class PlainRows final : public RacerData {
public:
    bool Open(const std::string& sql) override {
        texts.push_back(sql);
        if (failing.count(sql)) {
            rows_.clear();
            if (onFailure) onFailure();
            return false;
        }
        auto hit = results.find(sql);
        rows_ = hit == results.end() ? std::vector<Row>{} : hit->second;
        at_ = 0;
        return true;
    }
    bool IsEmpty() override { return rows_.empty(); }
    bool Eof() override { return at_ >= rows_.size(); }
    void Next() override { ++at_; }
    std::string Field(const std::string& name) override {
        if (Eof()) return {};
        auto hit = rows_[at_].find(name);
        return hit == rows_[at_].end() ? "" : hit->second;
    }
    std::string Lookup(const std::string& table, const std::string& keyField, const std::string& key,
                       const std::string& resultField) override {
        lookups.push_back(table + "." + keyField + "=" + key + "->" + resultField);
        if (onLookup) onLookup();
        auto hit = kinds.find(key);
        return hit == kinds.end() ? "" : hit->second;
    }

    std::map<std::string, std::vector<Row>> results;
    std::map<std::string, std::string> kinds;
    std::set<std::string> failing;
    std::vector<std::string> texts;
    std::vector<std::string> lookups;
    std::function<void()> onLookup;
    std::function<void()> onFailure;

private:
    std::vector<Row> rows_;
    size_t at_ = 0;
};

Row Entry(const std::string& opdt, const std::string& venue, const std::string& race, const std::string& boat,
          const std::string& day, const std::string& kind) {
    return {{"OPDT", opdt}, {"RCOURSECD", venue}, {"RNO", race}, {"TEINO", boat}, {"NITIME", day}, {"RKINDCD", kind}};
}

class CheckRacersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgram();
        Program().exeFolder = dir.path();
        Program().runState = RunState::Running;
        SetClock(&clock);
        data.kinds = {{"01", SJ("一般")}, {"05", SJ("優勝戦")}};
    }
    void TearDown() override {
        SetClock(nullptr);
        ResetProgram();
    }
    void WriteWatchList(const std::string& utf8) {
        plxtest::WriteFile(dir.File("PLX_CHKRIDER.DAT"), Utf8ToCp932(utf8));
    }
    std::vector<std::string> Utf8Memo() const {
        std::vector<std::string> out;
        for (const auto& line : memo) out.push_back(Cp932ToUtf8(line));
        return out;
    }

    plxtest::TempDir dir;
    ManualClock clock{{2026, 12, 8, 10, 15, 30}};
    PlainRows data;
    std::vector<std::string> memo;
};

}  // namespace

TEST_F(CheckRacersTest, QueriesAreTheExactTextsForTheWatchListKeys) {
    WriteWatchList("03159:今村豊\r\n");
    const std::string nameSql = "SELECT RIDERNM FROM RIDER WHERE ENTNO='03159'";
    const std::string entrySql =
        "SELECT R.OPDT,R.RCOURSECD,R.RNO,R.TEINO,M.NITIME,M.RKINDCD FROM RACEDTL R,RACEMST M WHERE R.ENTNO='03159' "
        "AND R.OPDT>='20261208' AND M.OPDT=R.OPDT AND M.RCOURSECD=R.RCOURSECD AND M.RNO=R.RNO "
        "ORDER BY R.OPDT,R.RCOURSECD,R.RNO";
    data.results[nameSql] = {{{"RIDERNM", SJ("今村　　豊")}}};
    data.results[entrySql] = {Entry("20261208", "01", "11", "1", "3", "05")};
    EXPECT_EQ(CheckRacersWith(data, memo), 1);
    EXPECT_EQ(data.texts, (std::vector<std::string>{nameSql, entrySql}));
    EXPECT_EQ(data.lookups, std::vector<std::string>{"RKIND.RKINDCD=05->RKINDNM"});
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{"【選手チェック】", "－今村豊        3159－",
                                                    "2026/12/08 桐生 3日目 ", "11R 1番 優勝戦 ", ""}));
}

TEST_F(CheckRacersTest, NoListFileOrAnEmptyOneMeansNothingIsSetUp) {
    plxtest::RecordingMessages messages;
    const std::vector<std::string> expected = {"【選手チェック】", "設定されていません。", ""};
    EXPECT_EQ(CheckRacersWith(data, memo), 0);
    EXPECT_EQ(Utf8Memo(), expected);
    EXPECT_TRUE(data.texts.empty());
    WriteWatchList("");
    memo.clear();
    EXPECT_EQ(CheckRacersWith(data, memo), 0);
    EXPECT_EQ(Utf8Memo(), expected);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(CheckRacersTest, AListThatIsThereButCannotBeReadIsReportedNotTakenForNoList) {
    plxtest::RecordingMessages messages;
    const std::string path = dir.File("PLX_CHKRIDER.DAT");
    const std::string failed = "選手リストファイルの読み込みに失敗しました。[" + path + "]";
    // A folder where the file should be, then a file that this user may not read.
    std::filesystem::create_directory(path);
    EXPECT_EQ(CheckRacersWith(data, memo), 0);
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{"【選手チェック】", failed, ""}));
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{failed});
    std::filesystem::remove(path);
    plxtest::MakeUnreadableFile(path, Utf8ToCp932("03159:今村豊\r\n"));
    memo.clear();
    {
        plxtest::OtherUser other;
        EXPECT_EQ(CheckRacersWith(data, memo), 0);
    }
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{"【選手チェック】", failed, ""}));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(data.texts.empty());
}

TEST_F(CheckRacersTest, AFailedQueryIsReportedForItsRacerAndTheCheckGoesOn) {
    WriteWatchList("03159:\r\n04444:\r\n05555:\r\n");
    data.failing = {RacerNameSql("03159"), RacerEntriesSql("03159", "20261208"), RacerEntriesSql("05555", "20261208")};
    data.results[RacerNameSql("04444")] = {{{"RIDERNM", "B"}}};
    data.results[RacerNameSql("05555")] = {{{"RIDERNM", "C"}}};
    data.results[RacerEntriesSql("04444", "20261208")] = {Entry("20261208", "02", "03", "4", "5", "05")};
    EXPECT_EQ(CheckRacersWith(data, memo), 1);
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{
                              "【選手チェック】", "－？            3159－", "登録番号3159のチェックに失敗しました。",
                              "", "－B             4444－", "2026/12/08 戸田 5日目 ", "03R 4番 優勝戦 ", "",
                              "－C             5555－", "登録番号5555のチェックに失敗しました。", ""}));

    // With no start found anywhere, a failed check is never worded as "no starts".
    data.results.erase(RacerEntriesSql("04444", "20261208"));
    memo.clear();
    EXPECT_EQ(CheckRacersWith(data, memo), 0);
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{
                              "【選手チェック】", "－？            3159－", "登録番号3159のチェックに失敗しました。",
                              "", "－B             4444－", "", "－C             5555－",
                              "登録番号5555のチェックに失敗しました。", "", "2026/12/08 10:15:30", ""}));
}

TEST_F(CheckRacersTest, TrailingBlanksOfTheDatabaseTextsAreTakenOffBeforeUse) {
    // CHAR columns of a multi-byte character set come back filled with blanks to twice their width.
    WriteWatchList("03159:\r\n");
    data.results[RacerNameSql("03159")] = {{{"RIDERNM", SJ("今村　　豊") + "      "}}};
    data.results[RacerEntriesSql("03159", "20261208")] = {
        Entry("20261208        ", "01  ", "02  ", "3 ", "4   ", "05  "),
        Entry("20261208        ", "01  ", "07  ", "  ", "4   ", "01  ")};
    EXPECT_EQ(CheckRacersWith(data, memo), 2);
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{"【選手チェック】", "－今村豊        3159－",
                                                    "2026/12/08 桐生 4日目 ", "02R 3番 優勝戦 ", "07R 一般 ", ""}));
    EXPECT_EQ(data.lookups, (std::vector<std::string>{"RKIND.RKINDCD=05->RKINDNM", "RKIND.RKINDCD=01->RKINDNM"}));
}

TEST_F(CheckRacersTest, AQuitDuringTheCheckEndsItWithTheCountSoFar) {
    WriteWatchList("03159:\r\n04444:\r\n");
    data.results[RacerEntriesSql("03159", "20261208")] = {Entry("20261208", "01", "01", "1", "3", "01"),
                                                          Entry("20261208", "01", "05", "2", "3", "01")};
    data.results[RacerEntriesSql("04444", "20261208")] = {Entry("20261208", "02", "03", "4", "5", "05")};
    // The quit arrives while the first entry is being looked at (a message box's own loop).
    data.onLookup = [] { Program().runState = RunState::QuitRequested; };
    EXPECT_EQ(CheckRacersWith(data, memo), 1);
    EXPECT_EQ(Utf8Memo(), (std::vector<std::string>{"【選手チェック】", "－？            3159－",
                                                    "2026/12/08 桐生 3日目 ", "01R 1番 一般 ", ""}));
    EXPECT_EQ(data.texts.size(), 2u) << "the second racer is not looked up";

    // A quit while the name query fails: the racer still gets its lines, then the check ends.
    Program().runState = RunState::Running;
    data.onLookup = nullptr;
    data.failing = {RacerNameSql("03159")};
    data.onFailure = [] { Program().runState = RunState::QuitRequested; };
    memo.clear();
    EXPECT_EQ(CheckRacersWith(data, memo), 0);
    EXPECT_EQ(Utf8Memo(),
              (std::vector<std::string>{"【選手チェック】", "－？            3159－",
                                        "登録番号3159のチェックに失敗しました。", "", "2026/12/08 10:15:30", ""}));
}

TEST_F(CheckRacersTest, OnlyWholeFullWidthBlanksAreTakenOutOfTheName) {
    WriteWatchList("03159:\r\n");
    // "メ" is 0x83 0x81: followed by "@" (0x40) its second byte and the "@" look like a
    // full-width blank (0x81 0x40), which must not be cut out of the middle of the name.
    data.results[RacerNameSql("03159")] = {{{"RIDERNM", SJ("メ@　太")}}};
    CheckRacersWith(data, memo);
    ASSERT_GE(memo.size(), 2u);
    EXPECT_EQ(Cp932ToUtf8(memo[1]), "－メ@太         3159－");
}
