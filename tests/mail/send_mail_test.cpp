// SendMail against real SMTP servers on 127.0.0.1.
#include "mail/send_mail.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/sjis.h"
#include "tests/mail/mail_decoding.h"
#include "tests/support/recording_messages.h"
#include "tests/support/smtp_server.h"

using namespace plx;
using plxtest::SmtpServer;

namespace {

// The memo of a check, as the tick hands it over: its lines, each ended by CR LF.
const std::vector<std::string> kMemo = {
    "【選手チェック】", "－今村　豊～①    3159－", "2026/12/08 桐生 3日目 ", "12R 1番 ドリーム戦 ", ".", "",
};

std::string MemoText() {
    std::string text;
    for (const auto& line : kMemo) text += Utf8ToCp932(line) + "\r\n";
    return text;
}

std::vector<std::string> DecodedBody(const std::string& message) {
    std::vector<std::string> lines;
    for (const auto& line : plxtest::BodyLines(message)) lines.push_back(plxtest::Iso2022JpToUtf8(line));
    return lines;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(SendMail, OneAddressGetsTheReportInIso2022Jp) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    EXPECT_EQ(SendMail(client, message, server.HostText(), "someone", "race@example.net", "", SJ("Pilonix チェック"),
                       MemoText()),
              0);
    EXPECT_TRUE(messages.shown.empty());
    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 1u);
    const auto& mail = mails[0];
    EXPECT_EQ(mail.envelopeFrom, "pilonix@localhost");
    EXPECT_EQ(mail.envelopeTo, std::vector<std::string>{"race@example.net"});
    for (char c : mail.data) ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << "7bit only";
    EXPECT_EQ(plxtest::HeaderValue(mail.data, "From"), "Pilonix <pilonix@localhost>");
    EXPECT_EQ(plxtest::HeaderValue(mail.data, "To"), "race@example.net");
    EXPECT_EQ(plxtest::HeaderValue(mail.data, "Content-Type"), "text/plain; charset=iso-2022-jp");
    EXPECT_EQ(plxtest::HeaderValue(mail.data, "Content-Transfer-Encoding"), "7bit");
    EXPECT_EQ(plxtest::HeaderValue(mail.data, "MIME-Version"), "1.0");
    EXPECT_FALSE(plxtest::HeaderValue(mail.data, "Date").empty());
    EXPECT_EQ(plxtest::DecodeHeaderValue(plxtest::HeaderValue(mail.data, "Subject")), "Pilonix チェック");
    // The lines in order, the dot line included (it must not end the data early).
    EXPECT_EQ(DecodedBody(mail.data), kMemo);
}

TEST(SendMail, TwoAddressesBothReceiveAndTheListIsReplacedAtEveryCall) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;  // reused, as the program reuses its message component
    ASSERT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "b@example.org", "s", "x\r\n"), 0);
    ASSERT_EQ(SendMail(client, message, server.HostText(), "", "c@example.net", "", "s", "y\r\n"), 0);
    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 2u);
    EXPECT_EQ(mails[0].envelopeTo, (std::vector<std::string>{"a@example.net", "b@example.org"}));
    EXPECT_EQ(plxtest::HeaderValue(mails[0].data, "To"), "a@example.net,b@example.org");
    EXPECT_EQ(mails[1].envelopeTo, std::vector<std::string>{"c@example.net"});
    EXPECT_EQ(plxtest::HeaderValue(mails[1].data, "To"), "c@example.net");
    EXPECT_EQ(plxtest::BodyLines(mails[1].data), std::vector<std::string>{"y"});
    EXPECT_TRUE(messages.shown.empty());
}

TEST(SendMail, AClosedPortGivesOneMessageAndMinusOne) {
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    std::string host = "127.0.0.1:" + std::to_string(plxtest::UnusedPort());
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMail(client, message, host, "", "a@example.net", "", "s", "x"), -1);
    EXPECT_LT(SecondsSince(start), 5.0);
    ASSERT_EQ(messages.shown.size(), 1u);
    std::string text = messages.Utf8Texts()[0];
    EXPECT_EQ(text.rfind("メール送信に失敗しました。[", 0), 0u) << text;
    EXPECT_EQ(text.back(), ']');
    EXPECT_GT(text.size(), std::string("メール送信に失敗しました。[]").size()) << "the error text is shown";
    EXPECT_FALSE(messages.shown[0].question);
}

TEST(SendMail, ASilentServerFailsWithinTheTimeOut) {
    SmtpServer server(SmtpServer::Mode::Silent);
    plxtest::RecordingMessages messages;
    SmtpClient client;
    client.timeoutMs = 1500;
    MailMessage message;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "", "s", "x"), -1);
    double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 1.0);
    EXPECT_LT(seconds, 5.0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.Utf8Texts()[0].rfind("メール送信に失敗しました。[", 0), 0u);
}

// Takes the full default time-out (about 15 seconds); ctest runs it beside the other tests.
TEST(SendMail, TheDefaultTimeOutBoundsASilentServerToAboutFifteenSeconds) {
    SmtpServer server(SmtpServer::Mode::Silent);
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "", "s", "x"), -1);
    double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 14.0);
    EXPECT_LT(seconds, 18.0);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(SendMail, HostTextsAndAddressesThatCouldBreakTheProtocolAreRefused) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    MailMessage message;
    // A line break in an address would smuggle a command of its own into the session.
    EXPECT_EQ(
        SendMail(client, message, server.HostText(), "", "a@example.net\r\nRCPT TO:<evil@example.com>", "", "s", "x"),
        -1);
    EXPECT_EQ(SendMail(client, message, "127.0.0.1/evil", "", "a@example.net", "", "s", "x"), -1);
    EXPECT_EQ(SendMail(client, message, "127.0.0.1:0", "", "a@example.net", "", "s", "x"), -1);
    EXPECT_EQ(SendMail(client, message, "127.0.0.1:99999", "", "a@example.net", "", "s", "x"), -1);
    EXPECT_TRUE(server.Received().empty());
    ASSERT_EQ(messages.shown.size(), 4u);
    auto texts = messages.Utf8Texts();
    EXPECT_EQ(texts[0].rfind("メール送信に失敗しました。メールアドレスに使えない文字があります。[", 0), 0u) << texts[0];
    for (size_t i = 1; i < texts.size(); ++i) EXPECT_EQ(texts[i].rfind("メール送信に失敗しました。[", 0), 0u);
}

TEST(SmtpUrl, HostAndPort) {
    std::string error;
    EXPECT_EQ(SmtpUrl("mail.example.net", 25, &error), "smtp://mail.example.net:25");
    EXPECT_EQ(SmtpUrl("mail.example.net:2525", 25, &error), "smtp://mail.example.net:2525");
    EXPECT_EQ(SmtpUrl("[::1]:587", 25, &error), "smtp://[::1]:587");
    EXPECT_EQ(SmtpUrl("::1", 25, &error), "smtp://[::1]:25");
    EXPECT_EQ(SmtpUrl("host:", 25, &error), "");
    EXPECT_EQ(SmtpUrl("", 25, &error), "");
    EXPECT_EQ(SmtpUrl("a b", 25, &error), "");
    EXPECT_EQ(SmtpUrl("user@host", 25, &error), "");
    EXPECT_EQ(error, "invalid mail server: user@host");
}

TEST(MailMessage, Recipients) {
    EXPECT_EQ(RecipientAddresses("a@x, Name <b@y> ,,"), (std::vector<std::string>{"a@x", "b@y"}));
    EXPECT_TRUE(RecipientAddresses(" , ").empty());
}

TEST(SendMail, EveryFaultyServerGivesItsErrorInTheBox) {
    struct Case {
        SmtpServer::Mode mode;
        const char* expected;  // a piece of the error text
    };
    // After DATA either libcurl's own time-out or the bound on the whole send ends the wait.
    for (Case c : {Case{SmtpServer::Mode::RejectRecipient, "550"}, Case{SmtpServer::Mode::StallAfterData, "1500"},
                   Case{SmtpServer::Mode::DropInData, ""}}) {
        SmtpServer server(c.mode);
        plxtest::RecordingMessages messages;
        SmtpClient client;
        client.timeoutMs = 1500;
        MailMessage message;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(SendMail(client, message, server.HostText(), "", "a@example.net", "", "s", "x"), -1);
        EXPECT_LT(SecondsSince(start), 4.0);
        ASSERT_EQ(messages.shown.size(), 1u);
        std::string text = messages.Utf8Texts()[0];
        EXPECT_EQ(text.rfind("メール送信に失敗しました。[", 0), 0u) << text;
        EXPECT_NE(text.find(c.expected), std::string::npos) << text;
    }
}

// This test process has the slow-lookup shim preloaded: "*.stall.test" takes 20 s to look up.
TEST(SendMail, AHangingNameLookupEndsAtTheTimeOut) {
    SmtpServer server;
    plxtest::RecordingMessages messages;
    SmtpClient client;
    client.timeoutMs = 1500;
    MailMessage message;
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(SendMail(client, message, "smtp.stall.test:" + std::to_string(server.port()), "", "a@example.net", "",
                       "s", "x"),
              -1);
    double seconds = SecondsSince(start);
    EXPECT_GE(seconds, 1.4);
    EXPECT_LT(seconds, 3.0) << "the send must not wait for the resolver";
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(server.Received().empty());
}

TEST(SmtpJob, AStopRequestEndsASendAtOnce) {
    SmtpServer server(SmtpServer::Mode::Silent);
    SmtpClient client;
    client.host = server.HostText();
    MailMessage message;
    FillMail(client, message, server.HostText(), "", "a@example.net", "", "s", "x");
    SmtpOutcome error;
    auto job = PrepareSmtpJob(client, message, &error);
    ASSERT_TRUE(job) << error.reason;
    SmtpOutcome result;
    std::jthread sender([&](std::stop_token stop) { result = RunSmtpJob(*job, stop); });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    auto asked = std::chrono::steady_clock::now();
    sender.request_stop();
    sender.join();
    EXPECT_LT(SecondsSince(asked), 0.2);
    EXPECT_EQ(result.reason, "the mail was stopped");
}

TEST(SmtpJob, PreparedOnTheCallingThreadWithEverythingTheSendNeeds) {
    SmtpClient client;
    MailMessage message;
    FillMail(client, message, "mail.example.net:2525", "", "a@example.net", "Name <b@example.org>", SJ("件名"),
             "line\r\n");
    SmtpOutcome error;
    auto job = PrepareSmtpJob(client, message, &error);
    ASSERT_TRUE(job) << error.reason;
    EXPECT_EQ(job->url, "smtp://mail.example.net:2525");
    EXPECT_EQ(job->mailFrom, "<pilonix@localhost>");
    EXPECT_EQ(job->recipients, (std::vector<std::string>{"<a@example.net>", "<b@example.org>"}));
    EXPECT_EQ(job->timeoutMs, 15000);
    EXPECT_NE(job->data.find("Subject: =?ISO-2022-JP?B?"), std::string::npos);
    client.host = "bad host";
    EXPECT_FALSE(PrepareSmtpJob(client, message, &error));
    EXPECT_EQ(error.reason, "invalid mail server: bad host");
}
