// The message on the wire: Japanese in the To header, addresses that cannot go out, and report
// lines longer than mail allows, as a real server receives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/sjis.h"
#include "mail/iso2022jp.h"
#include "mail/send_mail.h"
#include "tests/mail/mail_decoding.h"
#include "tests/support/recording_messages.h"
#include "tests/support/smtp_server.h"

using namespace plx;
using plxtest::SmtpServer;

namespace {

bool SevenBit(const std::string& data) {
    for (char c : data)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// A line ends in ASCII when its last escape (if any) is the one back to ASCII.
bool EndsInAscii(const std::string& line) {
    size_t esc = line.rfind('\x1B');
    return esc == std::string::npos || line.compare(esc, 3, "\x1B(B") == 0;
}

}  // namespace

TEST(MailMessage, AJapaneseNameBesideTheAddressIsEncodedInTheToHeader) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    ASSERT_EQ(SendMail(client, message, server.HostText(), "", SJ("山田 太郎 <taro@example.net>"), "b@example.org", "s",
                       "x\r\n"),
              0);
    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_TRUE(SevenBit(mails[0].data)) << mails[0].data;
    EXPECT_EQ(mails[0].envelopeTo, (std::vector<std::string>{"taro@example.net", "b@example.org"}));
    EXPECT_EQ(plxtest::DecodeHeaderValue(plxtest::HeaderValue(mails[0].data, "To")),
              "山田 太郎 <taro@example.net>,b@example.org");
}

TEST(MailMessage, AnAddressOutsideAsciiIsRefusedWithAMessageAndNothingIsSent) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    EXPECT_EQ(SendMail(client, message, server.HostText(), "", SJ("ｙａｍａｄａ@example.net"), "", "s", "x"), -1);
    client.mailFrom = SJ("差出人@example.net");
    EXPECT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "", "s", "x"), -1);
    EXPECT_TRUE(server.Received().empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    for (const std::string& text : messages.Utf8Texts())
        EXPECT_EQ(text.rfind("メール送信に失敗しました。メールアドレスに使えない文字があります。[", 0), 0u) << text;
}

TEST(MailMessage, AReportLineLongerThanMailAllowsArrivesAsSeveralLinesEachBackInAscii) {
    // A race-kind name long enough to make one line of well over 998 bytes, kanji and ASCII mixed.
    std::string longLine = "12R ";
    for (int i = 0; i < 120; ++i) longLine += SJ("優勝戦") + "A" + SJ("－");
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    ASSERT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "", "s",
                       SJ("【選手チェック】") + "\r\n" + longLine + "\r\nend\r\n"),
              0);
    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 1u);
    std::vector<std::string> lines = plxtest::BodyLines(mails[0].data);
    ASSERT_GE(lines.size(), 4u);
    std::string rejoined;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        EXPECT_LE(lines[i].size(), 998u);
        EXPECT_TRUE(EndsInAscii(lines[i]));
        rejoined += plxtest::Iso2022JpToUtf8(lines[i]);
    }
    EXPECT_EQ(rejoined, Cp932ToUtf8(longLine)) << "nothing lost or doubled at the cuts";
    EXPECT_EQ(lines.back(), "end");
}

TEST(Iso2022JpPieces, ALineThatFitsIsOnePieceAndTheLimitIsExact) {
    EXPECT_EQ(LineToIso2022JpPieces(std::string(998, 'a'), 998), std::vector<std::string>{std::string(998, 'a')});
    EXPECT_EQ(LineToIso2022JpPieces(std::string(999, 'a'), 998),
              (std::vector<std::string>{std::string(998, 'a'), "a"}));
    EXPECT_EQ(LineToIso2022JpPieces("", 998), std::vector<std::string>{""});
    // Kanji: ESC $ B, two bytes each, ESC ( B; 10 bytes allow two kanji a piece.
    std::vector<std::string> pieces = LineToIso2022JpPieces(SJ("桐生桐生桐"), 10);
    ASSERT_EQ(pieces.size(), 3u);
    for (const std::string& piece : pieces) {
        EXPECT_LE(piece.size(), 10u);
        EXPECT_TRUE(EndsInAscii(piece));
    }
    // A limit below one character still moves on, one character a piece.
    EXPECT_EQ(LineToIso2022JpPieces(SJ("桐生"), 3).size(), 2u);
}
