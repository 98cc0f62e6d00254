// Racer-check report lines, byte for byte.
#include "watch/racer_report.h"

#include <gtest/gtest.h>

#include "common/sjis.h"

using namespace plx;

namespace {
std::string U(const std::string& cp932) {
    return Cp932ToUtf8(cp932);
}
}  // namespace

TEST(RacerReport, RacerLineFillsOrCutsTheNameToFourteenBytes) {
    const std::string dash = "\x81\x7C";  // the full-width hyphen-minus
    EXPECT_EQ(RacerLine(SJ("今村豊"), "03159:x"), dash + SJ("今村豊") + "        3159" + dash);
    EXPECT_EQ(RacerLine(SJ("？"), "12345:"), SJ("－？") + std::string(12, ' ') + "2345" + dash);
    // Eight characters are 16 bytes: the cut at 14 keeps seven of them.
    EXPECT_EQ(U(RacerLine(SJ("一二三四五六七八"), "04444:")), "－一二三四五六七4444－");
    // "a" first: the 14th byte is the first half of a character, so 13 bytes and a blank.
    EXPECT_EQ(U(RacerLine(SJ("a一二三四五六七"), "04444:")), "－a一二三四五六 4444－");
    // Short lines give a short number.
    EXPECT_EQ(U(RacerLine("", "01")), "－              1－");
    EXPECT_EQ(U(RacerLine("", "")), "－              －");
}

TEST(RacerReport, DayAndEntryLines) {
    RacerEntryRow row{"20261208", "01", "12", "3", "4", "05"};
    EXPECT_EQ(U(DayLine(row)), "2026/12/08 桐生 4日目 ");
    EXPECT_EQ(U(EntryLine(row, SJ("優勝戦"))), "12R 3番 優勝戦 ");
    // No boat number for 0, empty or not a number; an unknown kind leaves two blanks after "番".
    for (const char* teino : {"0", "", "x", "-1"}) {
        row.TEINO = teino;
        EXPECT_EQ(U(EntryLine(row, SJ("一般"))), "12R 一般 ") << teino;
    }
    row.TEINO = "6";
    EXPECT_EQ(U(EntryLine(row, "")), "12R 6番  ");
    row.RCOURSECD = "99";
    EXPECT_EQ(U(DayLine(row)), "2026/12/08  4日目 ");
}

TEST(RacerReport, DayLinesOnlyWhereTheDayOrVenueChangesAndAgainForEachRacer) {
    std::vector<std::string> memo;
    RacerReport report(memo);
    report.Heading();
    report.BeginRacer(SJ("甲"), "00001:");
    report.AddEntry({"20261208", "01", "01", "1", "1", "01"}, "A");
    report.AddEntry({"20261208", "01", "07", "2", "1", "01"}, "A");
    report.AddEntry({"20261208", "02", "03", "3", "2", "01"}, "B");
    report.AddEntry({"20261209", "02", "03", "4", "3", "01"}, "B");
    report.EndRacer();
    report.BeginRacer(SJ("乙"), "00002:");
    report.AddEntry({"20261209", "02", "05", "5", "3", "01"}, "C");  // same day and venue as above
    report.EndRacer();
    report.Finish();
    std::vector<std::string> utf8;
    for (const auto& line : memo) utf8.push_back(U(line));
    EXPECT_EQ(utf8, (std::vector<std::string>{"【選手チェック】", "－甲            0001－", "2026/12/08 桐生 1日目 ",
                                              "01R 1番 A ", "07R 2番 A ", "2026/12/08 戸田 2日目 ", "03R 3番 B ",
                                              "2026/12/09 戸田 3日目 ", "03R 4番 B ", "", "－乙            0002－",
                                              "2026/12/09 戸田 3日目 ", "05R 5番 C ", ""}));
    EXPECT_EQ(report.entries(), 5);
    EXPECT_EQ(report.racers(), 2);
}
