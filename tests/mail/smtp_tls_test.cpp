// Mail over TLS and with a login, against real servers on 127.0.0.1 with a certificate made for
// the test: what arrives is what a plain server receives, and each refusal says why.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/ini_file.h"
#include "common/settings_store.h"
#include "common/sjis.h"
#include "mail/mail_settings.h"
#include "mail/send_mail.h"
#include "tests/mail/mail_decoding.h"
#include "tests/support/recording_messages.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_certificates.h"

using namespace plx;
using plxtest::SmtpServer;

namespace {

const char* const kPassword = "p@ss w0rd:ü";  // blanks, a colon and a non-ASCII letter

const plxtest::TestCertificates& Certificates() {
    static const plxtest::TestCertificates certificates;
    return certificates;
}

SmtpServer::Options ServerOptions(const std::string& mechanism = "") {
    return {Certificates().Trusted().certificateFile, Certificates().Trusted().keyFile, "racer", kPassword, mechanism};
}

SmtpClient Client(SmtpSecurity security, bool login, const std::string& password = kPassword) {
    SmtpClient client;
    client.security = security;
    client.login = login;
    client.password = password;
    client.caFile = Certificates().AuthorityFile();
    client.timeoutMs = 5000;
    return client;
}

// The report of a check, Japanese and all, as the tick hands it over.
std::string Report() {
    return SJ("【選手チェック】\r\n2026/12/08 桐生 3日目\r\n12R 1番 ドリーム戦\r\n.\r\n");
}

int Send(SmtpClient client, const SmtpServer& server) {
    MailMessage message;
    return SendMail(client, message, server.HostText(), "racer", "a@example.net", "b@example.org",
                    SJ("Pilonix チェック"), Report());
}

// The message without the headers that differ from one send to the next.
std::string WithoutDateAndId(const std::string& data) {
    std::string out;
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find("\r\n", start);
        end = end == std::string::npos ? data.size() : end + 2;
        std::string line = data.substr(start, end - start);
        if (line.rfind("Date: ", 0) != 0 && line.rfind("Message-ID: ", 0) != 0) out += line;
        start = end;
    }
    return out;
}

// What a plain server without a login receives for the same report: today's message.
std::string PlainMessage() {
    SmtpServer plain;
    plxtest::RecordingMessages messages;
    EXPECT_EQ(Send(Client(SmtpSecurity::None, false), plain), 0);
    auto mails = plain.Received();
    return mails.size() == 1 ? WithoutDateAndId(mails[0].data) : std::string();
}

}  // namespace

TEST(SmtpTls, StartTlsAndTlsFromTheStartWithEitherLoginDeliverTodaysMessage) {
    const std::string expected = PlainMessage();
    ASSERT_FALSE(expected.empty());
    struct Case {
        SmtpServer::Mode mode;
        SmtpSecurity security;
        const char* mechanism;
    };
    for (Case c : {Case{SmtpServer::Mode::StartTls, SmtpSecurity::StartTls, "PLAIN"},
                   Case{SmtpServer::Mode::StartTls, SmtpSecurity::StartTls, "LOGIN"},
                   Case{SmtpServer::Mode::Tls, SmtpSecurity::Tls, "PLAIN"},
                   Case{SmtpServer::Mode::Tls, SmtpSecurity::Tls, "LOGIN"}}) {
        SCOPED_TRACE(c.mechanism);
        SmtpServer server(c.mode, ServerOptions(c.mechanism));
        plxtest::RecordingMessages messages;
        ASSERT_EQ(Send(Client(c.security, true), server), 0) << (messages.shown.empty() ? "" : messages.Utf8Texts()[0]);
        auto mails = server.Received();
        ASSERT_EQ(mails.size(), 1u);
        EXPECT_EQ(mails[0].envelopeFrom, "pilonix@localhost");
        EXPECT_EQ(mails[0].envelopeTo, (std::vector<std::string>{"a@example.net", "b@example.org"}));
        EXPECT_EQ(WithoutDateAndId(mails[0].data), expected);
    }
}

TEST(SmtpTls, AWrongPasswordIsALoginRefusalAndNothingIsSent) {
    for (const char* mechanism : {"PLAIN", "LOGIN"}) {
        SCOPED_TRACE(mechanism);
        SmtpServer server(SmtpServer::Mode::StartTls, ServerOptions(mechanism));
        plxtest::RecordingMessages messages;
        EXPECT_EQ(Send(Client(SmtpSecurity::StartTls, true, "not-the-password"), server), -1);
        EXPECT_TRUE(server.Received().empty());
        ASSERT_EQ(messages.shown.size(), 1u);
        std::string text = messages.Utf8Texts()[0];
        EXPECT_EQ(text.rfind("メール送信に失敗しました。サーバーがログインを拒否しました。"
                             "ユーザー名とパスワードを確認してください。[",
                             0),
                  0u)
            << text;
        EXPECT_EQ(text.back(), ']');
        EXPECT_EQ(text.find("not-the-password"), std::string::npos) << "a password is never shown";
    }
}

TEST(SmtpTls, AServerWithoutStartTlsIsRefusedWhenItIsRequiredAndNothingGoesInClear) {
    SmtpServer plain;  // offers no STARTTLS
    plxtest::RecordingMessages messages;
    EXPECT_EQ(Send(Client(SmtpSecurity::StartTls, true), plain), -1);
    EXPECT_TRUE(plain.Received().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    std::string text = messages.Utf8Texts()[0];
    EXPECT_EQ(text.rfind("メール送信に失敗しました。サーバーがSTARTTLSに対応していないため、送信しませんでした。[", 0),
              0u)
        << text;
    EXPECT_EQ(text.find(kPassword), std::string::npos);
}

TEST(SmtpTls, ACertificateTheSystemDoesNotTrustIsRefused) {
    // Without the test authority the client has only the system's store, which knows nothing of it.
    for (auto [mode, security] : {std::pair{SmtpServer::Mode::StartTls, SmtpSecurity::StartTls},
                                  std::pair{SmtpServer::Mode::Tls, SmtpSecurity::Tls}}) {
        SmtpServer server(mode, ServerOptions());
        plxtest::RecordingMessages messages;
        SmtpClient client = Client(security, true);
        client.caFile.clear();
        EXPECT_EQ(Send(client, server), -1);
        EXPECT_TRUE(server.Received().empty());
        ASSERT_EQ(messages.shown.size(), 1u);
        std::string text = messages.Utf8Texts()[0];
        EXPECT_EQ(text.rfind("メール送信に失敗しました。サーバーの証明書を検証できませんでした。[", 0), 0u) << text;
    }
}

TEST(SmtpTls, TlsFromTheStartAgainstAPlainServerFailsAsATlsFault) {
    SmtpServer plain;
    plxtest::RecordingMessages messages;
    EXPECT_EQ(Send(Client(SmtpSecurity::Tls, false), plain), -1);
    EXPECT_TRUE(plain.Received().empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(
        messages.Utf8Texts()[0].rfind("メール送信に失敗しました。サーバーとのTLS接続を確立できませんでした。[", 0), 0u)
        << messages.Utf8Texts()[0];
}

TEST(MailSettings, AnOldSettingsFileSendsAsBeforeAndTheNewKeysReachTheClient) {
    plxtest::TempDir dir;
    SmtpServer plain;
    plxtest::WriteFile(dir.File("plx.INI"),
                       "[SETTING]\nSMTP_HOST=" + plain.HostText() + "\nSMTP_USER=someone\nMAIL_ADRS1=a@example.net\n");
    Settings old = SettingsStore(dir.File("plx.INI")).Load(dir.path());
    EXPECT_EQ(MailPort(old), 25);
    SmtpClient client;
    ConfigureClient(client, old);
    EXPECT_EQ(client.security, SmtpSecurity::None);
    EXPECT_FALSE(client.login);
    EXPECT_TRUE(client.password.empty());
    plxtest::RecordingMessages messages;
    MailMessage message;
    ASSERT_EQ(SendMail(client, message, old.SMTP_HOST, old.SMTP_USER, old.MAIL_ADRS1, "", "s", "x\r\n"), 0);
    auto mails = plain.Received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(mails[0].envelopeFrom, "pilonix@localhost");
    EXPECT_EQ(plxtest::HeaderValue(mails[0].data, "From"), "Pilonix <pilonix@localhost>");

    plxtest::WriteFile(dir.File("plx.INI"),
                       "[SETTING]\nSMTP_HOST=mail.example.net\nSMTP_PORT=587\nSMTP_SECURITY=1\nSMTP_LOGIN=1\n"
                       "SMTP_PSWD=" +
                           SJ("秘密") + "\nMAIL_FROM=me@example.net\n");
    Settings set = SettingsStore(dir.File("plx.INI")).Load(dir.path());
    ConfigureClient(client, set);
    EXPECT_EQ(client.port, 587);
    EXPECT_EQ(client.security, SmtpSecurity::StartTls);
    EXPECT_TRUE(client.login);
    EXPECT_EQ(client.password, "秘密") << "UTF-8 on the wire";
    EXPECT_EQ(client.mailFrom, "me@example.net");
    set.SMTP_PORT = 0;
    set.SMTP_SECURITY = 2;
    EXPECT_EQ(MailPort(set), 465);
}

TEST(MailSettings, SavedWithThePasswordOnlyWhenAskedAndThenForTheOwnerAlone) {
    plxtest::TempDir dir;
    const std::string path = dir.File("plx.INI");
    plxtest::WriteFile(path, "[WINDOW]\nWIDTH=500\n[SETTING]\nAUTO_QUIT_F=1\nSMTP_PSWD=old\n");
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    Settings s;
    s.SMTP_HOST = "mail.example.net";
    s.SMTP_PORT = 587;
    s.SMTP_LOGIN = 1;
    s.SMTP_PSWD = "secret";
    std::string error;
    ASSERT_TRUE(SaveMailSettings(path, s, PasswordInFile::Remove, &error)) << error;
    std::string text = plxtest::ReadFile(path);
    EXPECT_EQ(text.find("SMTP_PSWD"), std::string::npos) << text;
    EXPECT_NE(text.find("WIDTH=500"), std::string::npos) << "keys set by hand stay";
    EXPECT_NE(text.find("AUTO_QUIT_F=1"), std::string::npos);
    EXPECT_NE(text.find("SMTP_PORT=587"), std::string::npos);

    ASSERT_TRUE(SaveMailSettings(path, s, PasswordInFile::Write, &error)) << error;
    EXPECT_NE(plxtest::ReadFile(path).find("SMTP_PSWD=secret"), std::string::npos);
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}
