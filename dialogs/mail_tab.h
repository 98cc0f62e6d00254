// MailTab: the settings dialog's "メール" tab: server, port, security, login, the addresses, where
// the password is kept, and a test send that runs in the background.
#pragma once

#include <QWidget>
#include <string>

#include "common/settings.h"
#include "mail/mail_worker.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace plx {

class MailTab : public QWidget {
    Q_OBJECT
public:
    // `settingsPath` is the settings file that Save writes.
    MailTab(std::string settingsPath, QWidget* parent);
    ~MailTab() override;

    // Fills the controls from the settings and asks the secret store (in the background) whether it
    // is there and holds the password.
    void Load(const Settings& settings);
    // Checks the fields like the dialog's others, each wrong one with its message; true when all
    // are right.
    bool Validate();
    // Stores the fields into the in-memory settings and writes the mail keys. With a login the
    // password goes to the secret store, or into the settings file (mode 0600) where none answers.
    // False, with the message shown, when the settings file could not be written.
    bool Save();
    // Sends a short test message with the fields as they stand, in the background; its outcome is
    // told in a box.
    void btn_mail_testClick();

    // Where the password goes: not known until the secret store has answered.
    enum class PasswordPlace { Unknown, SecretStore, SettingsFile };
    PasswordPlace passwordPlace() const { return place_; }
    bool TestBusy() const { return test_.Busy(); }

    QLineEdit* e_smtp_host = nullptr;
    QLineEdit* e_smtp_port = nullptr;
    QComboBox* cb_smtp_security = nullptr;
    QCheckBox* chk_smtp_login = nullptr;
    QLineEdit* e_smtp_user = nullptr;
    QLineEdit* e_smtp_pswd = nullptr;
    QLabel* l_pswd_place = nullptr;
    QLineEdit* e_mail_adrs1 = nullptr;
    QLineEdit* e_mail_adrs2 = nullptr;
    QLineEdit* e_mail_from = nullptr;
    QPushButton* btn_mail_test = nullptr;

    // Certificates the test send trusts instead of the system's store (tests only).
    std::string testCaFile;

private:
    Settings FieldValues(const Settings& base) const;
    void ShowPlace(PasswordPlace place);
    void EnableLogin();

    std::string settingsPath_;
    PasswordPlace place_ = PasswordPlace::Unknown;
    unsigned probe_ = 0;  // numbers the store questions, so that only the last answer counts
    SmtpClient testClient_;
    MailMessage testMessage_;
    MailWorker test_;
};

}  // namespace plx
