// Shift_JIS conversions.
#include "common/sjis.h"

#include <gtest/gtest.h>

#include "common/message.h"

using namespace plx;

TEST(Sjis, RoundTripsJapaneseText) {
    const std::string utf8 = "桐生　ボートレース－①～";
    std::string cp932 = Utf8ToCp932(utf8);
    EXPECT_EQ(cp932.substr(0, 4), "\x8B\xCB\x90\xB6");  // 桐生
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

TEST(Sjis, LeadBytes) {
    EXPECT_TRUE(IsLeadByte(0x81));
    EXPECT_TRUE(IsLeadByte(0x9F));
    EXPECT_TRUE(IsLeadByte(0xE0));
    EXPECT_TRUE(IsLeadByte(0xFC));
    EXPECT_FALSE(IsLeadByte(0x80));
    EXPECT_FALSE(IsLeadByte(0xA0));  // half-width katakana are single bytes
    EXPECT_FALSE(IsLeadByte(0xDF));
    EXPECT_FALSE(IsLeadByte('A'));
}

TEST(Sjis, BadInputIsReplacedNotDropped) {
    EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");  // cut character at the end
    EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji has no CP932 form
    EXPECT_FALSE(FitsCp932("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(FitsCp932("平和島"));
}

TEST(Sjis, LiteralIsConvertedOnce) {
    const std::string& a = SJ("質問？");
    EXPECT_EQ(a, Utf8ToCp932("質問？"));
    EXPECT_TRUE(IsQuestionText(a));
    EXPECT_FALSE(IsQuestionText(SJ("お知らせ")));
    EXPECT_TRUE(IsQuestionText("http://x/?a=1"));
    // 0x81 0x48 inside another character is not a question mark: "＾" is 0x81 0x4F, then "H".
    EXPECT_FALSE(IsQuestionText("\x83\x81H"));
}
