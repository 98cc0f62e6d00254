// SQL literal and date-text helpers.
#include "common/textutil.h"

#include <gtest/gtest.h>

#include "common/clock.h"
#include "common/sjis.h"
#include "tests/support/recording_messages.h"

using namespace plx;

TEST(SqlLiteral, QuotesAndNull) {
    EXPECT_EQ(SqlLiteral(""), "NULL");
    EXPECT_EQ(SqlLiteral("'"), "''''");
    EXPECT_EQ(SqlLiteral("O'Neil"), "'O''Neil'");
    EXPECT_EQ(SqlLiteral("05"), "'05'");
    EXPECT_EQ(SqlLiteral("a''b"), "'a''''b'");
    EXPECT_EQ(SqlLiteral("x\\y;--"), "'x\\y;--'");  // nothing else is escaped
}

TEST(BufToStr, StopsAtFirstZeroAndNeverReadsPastTheField) {
    plxtest::RecordingMessages messages;
    const char full[8] = {'2', '0', '0', '6', '0', '9', '2', '4'};  // no terminating zero
    EXPECT_EQ(BufToStr(full, 8), "20060924");
    const char zeros[2] = {0, 0};
    EXPECT_EQ(BufToStr(zeros, 2), "");
    const char early[8] = {'1', '2', 0, '4', '5', '6', '7', '8'};
    EXPECT_EQ(BufToStr(early, 8), "12");
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(BufToStr(nullptr, 8), "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Utf8Texts()[0], "変換元文字列にNULLポインタが渡されました。");
    // A length beyond the work buffer is clipped, never copied past it.
    std::string big(5000, 'x');
    EXPECT_EQ(BufToStr(big.data(), 5000).size(), 1999u);
}

TEST(FixWidth, PadsCutsAndNeverSplitsADoubleByteCharacter) {
    EXPECT_EQ(FixWidth("abc", 5), "abc  ");
    EXPECT_EQ(FixWidth("abcde", 3), "abc");
    EXPECT_EQ(FixWidth("abc", 0), "");
    EXPECT_EQ(FixWidth("abc", -2), "");
    const std::string two = Utf8ToCp932("選手");  // 4 bytes, two characters
    ASSERT_EQ(two.size(), 4u);
    EXPECT_EQ(FixWidth(two, 3), two.substr(0, 2) + " ");
    EXPECT_EQ(FixWidth(two, 2), two.substr(0, 2));
    EXPECT_EQ(FixWidth(two, 4), two);
    EXPECT_EQ(FixWidth(two, 1), " ");
    // "a" shifts the characters by one byte: width 2 now cuts through the first one.
    const std::string shifted = "a" + two;
    EXPECT_EQ(FixWidth(shifted, 2), "a ");
    EXPECT_EQ(FixWidth(shifted, 3), shifted.substr(0, 3));
    // A second byte that looks like a lead byte must not be taken for one: "ソ" is 0x83 0x5C,
    // "ァ" is 0x83 0x40, and 0x83 0x83 is "ャ" whose second byte is itself in the lead range.
    const std::string tricky = Utf8ToCp932("ャャャ");
    ASSERT_EQ(tricky, "\x83\x83\x83\x83\x83\x83");
    EXPECT_EQ(FixWidth(tricky, 3), "\x83\x83 ");
    EXPECT_EQ(FixWidth(tricky, 4), "\x83\x83\x83\x83");
    for (int width = 1; width <= 7; ++width) EXPECT_EQ(FixWidth(tricky, width).size(), static_cast<size_t>(width));
}

TEST(ZeroPad, Widths) {
    EXPECT_EQ(ZeroPad(7, 2), "07");
    EXPECT_EQ(ZeroPad(123, 2), "123");
    EXPECT_EQ(ZeroPad(0, 2), "00");
    EXPECT_EQ(ZeroPad(5, 0), "5");
    EXPECT_EQ(ZeroPad(3159, 5), "03159");
}

TEST(AsciiLower, OnlyTheAsciiCapitalsChange) {
    EXPECT_EQ(AsciiLower("Cache-Control: MAX-AGE=60, Z@[`]"), "cache-control: max-age=60, z@[`]");
    EXPECT_EQ(AsciiLower("\xC0\xDA\x83\x81"), "\xC0\xDA\x83\x81");
    EXPECT_EQ(AsciiLower(""), "");
}

TEST(TrimBlanks, MixedHalfAndFullWidthBlanks) {
    const std::string fw = "\x81\x40";
    EXPECT_EQ(TrimBlanks(fw + " word" + fw), "word");
    EXPECT_EQ(TrimBlanks(" " + fw + " " + fw + "ab c" + fw + " " + fw), "ab c");
    EXPECT_EQ(TrimBlanks(fw + " " + fw), "");
    EXPECT_EQ(TrimBlanks(""), "");
    EXPECT_EQ(TrimBlanks("\t a@b\t "), "a@b");
    const std::string name = Utf8ToCp932("山田　太郎");  // inner full-width blank stays
    EXPECT_EQ(TrimBlanks(fw + name + fw + fw), name);
    // 0x83 0x81 is "メ": its second byte followed by "@" looks like a full-width blank but is not one.
    EXPECT_EQ(TrimBlanks("\x83\x81@"), "\x83\x81@");
}

TEST(DateTexts, SlashFormsAndShortInputs) {
    EXPECT_EQ(YmdSlash("20060924"), "2006/09/24");
    EXPECT_EQ(YmdSlash(""), "");
    EXPECT_EQ(YmdSlash("200609"), "2006/09/");
    EXPECT_EQ(YmdSlash("20"), "20//");
    EXPECT_EQ(YmdhnSlash("200609241535"), "2006/09/24 15:35");
    EXPECT_EQ(YmdhnSlash(""), "");
    EXPECT_EQ(YmdhnSlash("2006092415"), "2006/09/24 15:");
}

TEST(DateTexts, TodayFollowsTheClockSeam) {
    ManualClock clock({2006, 9, 24, 23, 59, 59});
    SetClock(&clock);
    EXPECT_EQ(TodayYmd(), "20060924");
    EXPECT_EQ(ClockHhnn(), "2359");
    clock.Advance(1000);
    EXPECT_EQ(TodayYmd(), "20060925");
    EXPECT_EQ(ClockHhnn(), "0000");
    SetClock(nullptr);
    EXPECT_EQ(TodayYmd().size(), 8u);
}

TEST(DateTexts, ExeDateIsTheExecutablesDate) {
    std::string date = ExeDate();
    ASSERT_EQ(date.size(), 10u);
    EXPECT_EQ(date[4], '.');
    EXPECT_EQ(date[7], '.');
    EXPECT_GE(date.substr(0, 4), "2020");
}

TEST(RemoveText, EveryOccurrenceWithoutRescanning) {
    EXPECT_EQ(RemoveText("a b c", " "), "abc");
    EXPECT_EQ(RemoveText("aaaa", "aa"), "");
    EXPECT_EQ(RemoveText("abab", "ba"), "ab");
    EXPECT_EQ(RemoveText("aXbXc", "x"), "aXbXc");  // case-sensitive
    EXPECT_EQ(RemoveText("abc", ""), "abc");
    // Removing "ab" from "aabb" leaves "ab": the join is not scanned again.
    EXPECT_EQ(RemoveText("aabb", "ab"), "ab");
}

TEST(RemoveText, NeverCutsADoubleByteCharacter) {
    // "T" is the second byte of 0x8354 and "@" of the full-width blank; as second bytes they stay.
    EXPECT_EQ(RemoveText("\x83T2024T10", "T"), "\x83T202410");
    EXPECT_EQ(RemoveText("a\x81@b@", "@"), "a\x81@b");
    // A pattern that would end inside a character does not match there either.
    EXPECT_EQ(RemoveText("x\x83T", "x\x83"), "x\x83T");
    EXPECT_EQ(RemoveText("\x82\xA0x\x82\xA0", "\x82\xA0"), "x");
}

TEST(TextToInt, DecimalOnlyElseZero) {
    EXPECT_EQ(TextToInt("12"), 12);
    EXPECT_EQ(TextToInt("012"), 12);
    EXPECT_EQ(TextToInt("-5"), -5);
    EXPECT_EQ(TextToInt("abc"), 0);
    EXPECT_EQ(TextToInt(""), 0);
    EXPECT_EQ(TextToInt("1x"), 0);
    EXPECT_EQ(TextToInt("99999999999999999999999"), 0);
}

TEST(RemoveFullWidthBlanks, OnlyWholeCharacters) {
    EXPECT_EQ(RemoveFullWidthBlanks(Utf8ToCp932("　今村　　豊　")), Utf8ToCp932("今村豊"));
    // "ａ" is 82 81 and "@" is 40: the 81 40 across them is no blank.
    EXPECT_EQ(RemoveFullWidthBlanks(Utf8ToCp932("ａ@")), Utf8ToCp932("ａ@"));
    EXPECT_EQ(RemoveFullWidthBlanks("ab c"), "ab c");    // half-width blanks stay
    EXPECT_EQ(RemoveFullWidthBlanks("x\x81"), "x\x81");  // a cut character at the end is kept
}

TEST(SplitLines, AnyLineEndAndNoEmptyLastLine) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(SplitLines(""), Lines{});
    EXPECT_EQ(SplitLines("\r\n"), Lines{""});
    EXPECT_EQ(SplitLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(SplitLines("a\nb\rc\r\n\n"), (Lines{"a", "b", "c", ""}));
    EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR is two line ends
}

TEST(ClipBytes, LongestStartThatEndsOnACharacter) {
    const std::string tricky = "\x83\x83\x83\x83\x83\x83";  // "ャャャ": second bytes in the lead range
    EXPECT_EQ(ClipBytes(tricky, 3), "\x83\x83");
    EXPECT_EQ(ClipBytes(tricky, 4), "\x83\x83\x83\x83");
    EXPECT_EQ(ClipBytes("a" + tricky, 2), "a");
    EXPECT_EQ(ClipBytes("abc", 5), "abc");
    EXPECT_EQ(ClipBytes("abc", 0), "");
    EXPECT_EQ(ClipBytes("a\x83", 1), "a");  // a lead byte cut off at the end is not kept
}
