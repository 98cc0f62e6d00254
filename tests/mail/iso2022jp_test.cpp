// CP932 to ISO-2022-JP: the characters a report holds, and the header words.
#include "mail/iso2022jp.h"

#include <gtest/gtest.h>

#include "common/sjis.h"
#include "tests/mail/mail_decoding.h"

using namespace plx;
using plxtest::DecodeHeaderValue;
using plxtest::Iso2022JpToUtf8;

namespace {
const std::string kJis = "\x1B$B";
const std::string kAscii = "\x1B(B";
}  // namespace

TEST(Iso2022Jp, SymbolsWhoseCp932CodePointsDifferFromJisKeepTheirJisPlace) {
    // Full-width hyphen-minus, wave dash, circled digit one: the characters a plain
    // Unicode round trip cannot carry.
    EXPECT_EQ(LineToIso2022Jp("\x81\x7C"), kJis + "\x21\x5D" + kAscii);
    EXPECT_EQ(LineToIso2022Jp("\x81\x60"), kJis + "\x21\x41" + kAscii);
    EXPECT_EQ(LineToIso2022Jp("\x87\x40"), kJis + "\x2D\x21" + kAscii);
    // First and last kanji rows: 亜 (0x889F) and the top of the second kanji level (0xEA9E).
    EXPECT_EQ(LineToIso2022Jp("\x88\x9F\xEA\x9E"), kJis + "\x30\x21\x73\x7E" + kAscii);
}

TEST(Iso2022Jp, ModesSwitchOnlyWhereNeededAndEveryLineEndsInAscii) {
    EXPECT_EQ(LineToIso2022Jp("Pilonix 12R"), "Pilonix 12R");
    EXPECT_EQ(LineToIso2022Jp(""), "");
    std::string mixed = LineToIso2022Jp(SJ("1R 桐生 ab"));
    EXPECT_EQ(mixed, "1R " + kJis + "\x36\x4D\x40\x38" + kAscii + " ab");
    EXPECT_EQ(TextToIso2022Jp(SJ("桐生\r\n平和島\n\rx")),
              kJis + "\x36\x4D\x40\x38" + kAscii + "\r\n" + kJis + "\x4A\x3F\x4F\x42\x45\x67" + kAscii + "\r\n\r\nx");
}

TEST(Iso2022Jp, ExtensionKanjiHalfWidthKanaAndUnmappableBytes) {
    // 髙 and 﨑 as the IBM extension codes go out as their NEC-selected twins (0xEEE0, 0xED95).
    ASSERT_EQ(Cp932ToUtf8("\xEE\xE0\xED\x95"), "髙﨑");
    EXPECT_EQ(LineToIso2022Jp("\xFB\xFC\xFA\xB1"), kJis + "\x7C\x62\x79\x75" + kAscii);
    EXPECT_EQ(LineToIso2022Jp("\xEE\xE0\xED\x95"), kJis + "\x7C\x62\x79\x75" + kAscii);
    // Half-width katakana become full-width, joined with their sound marks.
    EXPECT_EQ(Iso2022JpToUtf8(LineToIso2022Jp(Utf8ToCp932("ｶﾞｲﾄﾞ ﾊﾟﾌﾞﾘｯｸ ｳﾞｨｰ｡ﾞ"))), "ガイド パブリック ヴィー。゛");
    // A user-defined character becomes the geta mark; broken bytes and mode-breaking control
    // characters become "?", and the text after them survives.
    EXPECT_EQ(LineToIso2022Jp("\xF0\x40"
                              "a"),
              kJis + "\x22\x2E" + kAscii + "a");
    EXPECT_EQ(LineToIso2022Jp("a\x80"
                              "b\xFD"
                              "c\x1B(Jd\x81"),
              "a?b?c?(Jd?");
    EXPECT_EQ(LineToIso2022Jp("\x81\x0A"
                              "x"),
              "??x");  // a lead byte followed by a line break
}

TEST(Iso2022Jp, AWholeReportSurvivesTheTrip) {
    const std::vector<std::string> report = {
        "【選手チェック】",
        "－髙﨑　～①②⑳　　3159－",
        "2026/12/08 桐生 3日目 ",
        "12R 1番 ドリーム戦 ",
        "3R ㈱Ⅲ№℡∵≒≡∫∮√⊥∠∟⊿∵∩∪ ",
        "",
        "チェックしましたが、出走予定がないようです。",
    };
    std::string text;
    for (const auto& line : report) text += Utf8ToCp932(line) + "\r\n";
    std::string jis = TextToIso2022Jp(text);
    for (char c : jis) ASSERT_LT(static_cast<unsigned char>(c), 0x80u);
    // 髙 and 﨑 are in rows the EUC-JP-MS table keeps elsewhere; compare them by their bytes
    // above and read the rest through the independent decoder.
    std::string expected;
    for (const auto& line : report) expected += line + "\r\n";
    std::string decoded = Iso2022JpToUtf8(jis);
    size_t at = expected.find("髙﨑");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(decoded.substr(0, at), expected.substr(0, at));
    EXPECT_EQ(decoded.substr(decoded.find("　～①")), expected.substr(expected.find("　～①")));
}

TEST(Iso2022Jp, HeaderWordsAreEncodedOnlyWhenNeededAndStayShort) {
    EXPECT_EQ(EncodeHeaderWords("Pilonix"), "Pilonix");
    EXPECT_EQ(EncodeHeaderWords("a\r\nBcc: x@y"), "a  Bcc: x@y");
    std::string subject = EncodeHeaderWords(SJ("Pilonix チェック"));
    EXPECT_EQ(subject.rfind("=?ISO-2022-JP?B?", 0), 0u);
    EXPECT_EQ(DecodeHeaderValue(subject), "Pilonix チェック");

    const std::string longText = "選手チェック－出走予定がありますABC～①＃！？選手チェック－出走予定がありますABC";
    std::string words = EncodeHeaderWords(Utf8ToCp932(longText));
    EXPECT_EQ(DecodeHeaderValue(words), longText);
    size_t pos = 0, count = 0;
    while (pos < words.size()) {
        size_t end = words.find("\r\n ", pos);
        if (end == std::string::npos) end = words.size();
        EXPECT_LE(end - pos, 75u);
        ++count;
        pos = end + 3;
    }
    EXPECT_GT(count, 2u);
    EXPECT_EQ(words.find("\r\n", words.size() - 2), std::string::npos);  // no fold at the end
}
