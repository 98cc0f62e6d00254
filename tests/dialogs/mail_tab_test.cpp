// The settings dialog's mail tab: its checks, what OK writes (and leaves), and the test send
// against real servers on 127.0.0.1, in the background.
#include "dialogs/mail_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>

#include "tests/dialogs/dialog_fixture.h"
#include "tests/mail/mail_decoding.h"
#include "tests/support/event_loop.h"
#include "tests/support/smtp_server.h"
#include "tests/support/test_certificates.h"

using plxtest::SmtpServer;

namespace {

class MailTabTest : public plxtest::SettingsDialogFixture {
protected:
    plx::MailTab& tab() { return *dialog->ts_mail; }
    void Type(QLineEdit* field, const char* utf8) { field->setText(QString::fromUtf8(utf8)); }
};

}  // namespace

TEST_F(MailTabTest, WrongFieldsEachGiveTheirMessageAndOkWritesNothing) {
    plxtest::WriteFile(settingsPath(), "[SETTING]\nSMTP_HOST=old.example.net\n");
    Open();
    Type(tab().e_smtp_host, "mail example net");
    Type(tab().e_smtp_port, "70000");
    tab().chk_smtp_login->setChecked(true);
    Type(tab().e_smtp_user, "");
    Type(tab().e_mail_adrs1, "ｙａｍａｄａ@example.net");
    dialog->bbtn_ok->click();
    EXPECT_EQ(messages.Utf8Texts(), (std::vector<std::string>{
                                        "メールサーバーは、ホスト名またはIPアドレスで入力してください。",
                                        "ポート番号は、1～65535の範囲で入力してください。",
                                        "ログインする場合は、ユーザー名を入力してください。",
                                        "メールアドレスに改行や全角文字は使えません。",
                                    }));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(plxtest::ReadFile(settingsPath()), "[SETTING]\nSMTP_HOST=old.example.net\n");

    // A Japanese name beside an ASCII address is fine; so is an empty port (the usual one).
    messages.shown.clear();
    Type(tab().e_smtp_host, "smtp.example.net");
    Type(tab().e_smtp_port, "");
    Type(tab().e_smtp_user, "me@example.net");
    Type(tab().e_mail_adrs1, "山田 <yamada@example.net>");
    dialog->bbtn_ok->click();
    EXPECT_TRUE(messages.shown.empty()) << messages.Utf8Texts()[0];
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(plx::Program().settings.MAIL_ADRS1, SJ("山田 <yamada@example.net>"));
    EXPECT_EQ(plx::Program().settings.SMTP_LOGIN, 1);
}

TEST_F(MailTabTest, OkWithoutChangesKeepsAHandWrittenFileAsItWas) {
    const std::string file =
        "[WINDOW]\nWIDTH=500\n[SETTING]\nSMTP_HOST=mail.example.net:2525\nSMTP_USER=someone\n"
        "MAIL_ADRS1=a@example.net\nAUTO_QUIT_F=0\n";
    plxtest::WriteFile(settingsPath(), file);
    plx::Program().settings = plx::SettingsStore(settingsPath()).Load(dir.path());
    Open();
    EXPECT_EQ(tab().e_smtp_host->text().toStdString(), "mail.example.net:2525");
    EXPECT_TRUE(tab().e_smtp_port->text().isEmpty());
    dialog->bbtn_ok->click();
    ASSERT_FALSE(dialog->isVisible()) << (messages.shown.empty() ? "" : messages.Utf8Texts()[0]);
    std::string written = plxtest::ReadFile(settingsPath());
    for (const char* line : {"WIDTH=500\n", "SMTP_HOST=mail.example.net:2525\n", "SMTP_USER=someone\n",
                             "MAIL_ADRS1=a@example.net\n", "AUTO_QUIT_F=0\n"})
        EXPECT_NE(written.find(line), std::string::npos) << line;
    for (const char* key : {"SMTP_PORT", "SMTP_SECURITY", "SMTP_LOGIN", "SMTP_PSWD", "MAIL_FROM"})
        EXPECT_EQ(written.find(key), std::string::npos) << key << " was never set up";
}

TEST_F(MailTabTest, TheTestButtonSendsInTheBackgroundAndTellsTheOutcome) {
    static const plxtest::TestCertificates certificates;
    SmtpServer server(SmtpServer::Mode::StartTls, {certificates.Trusted().certificateFile,
                                                   certificates.Trusted().keyFile, "racer", "right-password", ""});
    Open();
    tab().testCaFile = certificates.AuthorityFile();
    Type(tab().e_smtp_host, "127.0.0.1");
    tab().e_smtp_port->setText(QString::number(server.port()));
    tab().cb_smtp_security->setCurrentIndex(1);
    tab().chk_smtp_login->setChecked(true);
    Type(tab().e_smtp_user, "racer");
    Type(tab().e_smtp_pswd, "right-password");
    Type(tab().e_mail_adrs1, "a@example.net");

    QElapsedTimer clicked;
    clicked.start();
    tab().btn_mail_test->click();
    EXPECT_LT(clicked.elapsed(), 200) << "the click does not wait for the server";
    EXPECT_FALSE(tab().btn_mail_test->isEnabled());
    ASSERT_TRUE(plxtest::RunEventsUntil([&] { return !messages.shown.empty(); }, 10000));
    EXPECT_EQ(messages.Utf8Texts(), std::vector<std::string>{"テストメールを送信しました。"});
    EXPECT_TRUE(tab().btn_mail_test->isEnabled());
    auto mails = server.Received();
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_EQ(plxtest::DecodeHeaderValue(plxtest::HeaderValue(mails[0].data, "Subject")), "Pilonix テスト送信");

    messages.shown.clear();
    Type(tab().e_smtp_pswd, "wrong-password");
    tab().btn_mail_test->click();
    ASSERT_TRUE(plxtest::RunEventsUntil([&] { return !messages.shown.empty(); }, 10000));
    std::string text = messages.Utf8Texts()[0];
    EXPECT_EQ(text.rfind("メール送信に失敗しました。サーバーがログインを拒否しました。", 0), 0u) << text;
    EXPECT_EQ(text.find("wrong-password"), std::string::npos);
    EXPECT_EQ(server.Received().size(), 1u);
    // Nothing of a test send is stored.
    dialog->reject();
    EXPECT_TRUE(plx::Program().settings.SMTP_HOST.empty());
    EXPECT_FALSE(plxtest::FileExists(settingsPath()));
}
