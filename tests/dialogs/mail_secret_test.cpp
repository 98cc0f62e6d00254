// Where the settings dialog keeps the mail password: in a real Secret Service when one answers
// (the test runs in a private D-Bus session with its own keyring daemon), otherwise in the
// settings file, readable by its owner alone. Run both ways by ctest (PLXTEST_SECRET_STORE).
#include <sys/stat.h>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <cstdlib>

#include "dialogs/mail_tab.h"
#include "mail/password_store.h"
#include "tests/dialogs/dialog_fixture.h"
#include "tests/support/event_loop.h"

namespace {

const char* const kPassword = "pass word:秘密";

class MailPassword : public plxtest::SettingsDialogFixture {
protected:
    void SetUp() override {
        const char* store = std::getenv("PLXTEST_SECRET_STORE");
        mode = store ? store : "";
        if (mode == "missing") GTEST_SKIP() << "no Secret Service daemon installed (scripts/install-deps installs one)";
        ASSERT_TRUE(mode == "1" || mode == "0") << "run through ctest: PLXTEST_SECRET_STORE is " << mode;
        SettingsDialogFixture::SetUp();
    }
    bool WithStore() const { return mode == "1"; }

    // What the secret store answers now.
    plx::SecretResult AskStore() {
        std::optional<plx::SecretResult> answer;
        QObject context;
        plx::ReadMailPassword(&context, [&answer](const plx::SecretResult& r) { answer = r; });
        EXPECT_TRUE(plxtest::RunEventsUntil([&] { return answer.has_value(); }, 15000));
        return answer.value_or(plx::SecretResult{});
    }
    // Opens the dialog, waits for the store's answer, sets up a login and presses OK.
    void SaveLogin() {
        Open();
        ASSERT_TRUE(plxtest::RunEventsUntil(
            [&] { return dialog->ts_mail->passwordPlace() != plx::MailTab::PasswordPlace::Unknown; }, 15000));
        dialog->ts_mail->e_smtp_host->setText("smtp.example.net");
        dialog->ts_mail->chk_smtp_login->setChecked(true);
        dialog->ts_mail->e_smtp_user->setText("me@example.net");
        dialog->ts_mail->e_smtp_pswd->setText(QString::fromUtf8(kPassword));
        dialog->bbtn_ok->click();
        ASSERT_FALSE(dialog->isVisible()) << (messages.shown.empty() ? "" : messages.Utf8Texts()[0]);
    }

    std::string mode;
};

}  // namespace

TEST_F(MailPassword, GoesToTheSecretStoreWhenOneAnswersAndIntoTheOwnersFileOtherwise) {
    SaveLogin();
    const std::string place = dialog->ts_mail->l_pswd_place->text().toStdString();
    EXPECT_EQ(plx::Program().settings.SMTP_PSWD, SJ("pass word:秘密")) << "the next mail has it at once";
    if (WithStore()) {
        EXPECT_EQ(place, "パスワードはデスクトップのキーリングに保存されます。");
        plx::SecretResult stored;
        ASSERT_TRUE(plxtest::RunEventsUntil(
            [&] {
                stored = AskStore();
                return stored.answer == plx::SecretAnswer::Found;
            },
            15000));
        EXPECT_EQ(plx::Cp932ToUtf8(stored.password), kPassword);
        ASSERT_TRUE(plxtest::RunEventsUntil(
            [&] { return plxtest::ReadFile(settingsPath()).find("SMTP_LOGIN=1") != std::string::npos; }, 15000));
        EXPECT_EQ(plxtest::ReadFile(settingsPath()).find("SMTP_PSWD"), std::string::npos);
        EXPECT_TRUE(messages.shown.empty());

        // A dialog shown afresh, with nothing in memory, takes the password from the store.
        plx::Program().settings.SMTP_PSWD.clear();
        dialog->hide();
        Open();
        ASSERT_TRUE(plxtest::RunEventsUntil([&] { return !dialog->ts_mail->e_smtp_pswd->text().isEmpty(); }, 15000));
        EXPECT_EQ(dialog->ts_mail->e_smtp_pswd->text().toStdString(), kPassword);
    } else {
        EXPECT_NE(place.find("plx.INI"), std::string::npos) << place;
        EXPECT_EQ(AskStore().answer, plx::SecretAnswer::NoStore);
        EXPECT_NE(plxtest::ReadFile(settingsPath()).find("SMTP_PSWD=" + SJ("pass word:秘密") + "\n"),
                  std::string::npos);
        struct stat info {};
        ASSERT_EQ(::stat(settingsPath().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u);
    }
}
