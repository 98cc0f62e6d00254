// The settings dialog's mail tab.
#include "dialogs/mail_tab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/message.h"
#include "common/program_state.h"
#include "common/shell/qt_text.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "dialogs/dialog_widgets.h"
#include "mail/mail_settings.h"
#include "mail/password_store.h"
#include "mail/send_mail.h"
#include "mail/smtp_client.h"

namespace plx {
namespace {

std::string FieldText(const QLineEdit* field) {
    return Cp932Text(field->text());
}

bool HasControl(const std::string& text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
    return false;
}

// A recipient field: empty, or addresses (each maybe with a name, which may be Japanese).
bool IsRecipientField(const std::string& text) {
    if (text.empty()) return true;
    if (HasControl(text)) return false;
    std::vector<std::string> addresses = RecipientAddresses(text);
    if (addresses.empty()) return false;
    for (const std::string& address : addresses)
        if (!IsSafeAddress(address)) return false;
    return true;
}

// The port field: empty for the usual port (0), else 1 to 65535; -1 when it is neither.
int PortOf(const std::string& text) {
    std::string digits = TrimBlanks(text);
    if (digits.empty()) return 0;
    if (digits.size() > 5) return -1;
    for (char c : digits)
        if (c < '0' || c > '9') return -1;
    int port = std::stoi(digits);
    return port >= 1 && port <= 65535 ? port : -1;
}

}  // namespace

MailTab::MailTab(std::string settingsPath, QWidget* parent) : QWidget(parent), settingsPath_(std::move(settingsPath)) {
    setObjectName(QStringLiteral("ts_mail"));
    auto* page = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setVerticalSpacing(4);

    e_smtp_host = Named(new QLineEdit(this), "e_smtp_host");
    e_smtp_port = Named(new QLineEdit(this), "e_smtp_port");
    e_smtp_port->setMaxLength(5);
    e_smtp_port->setFixedWidth(e_smtp_port->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 8);
    e_smtp_port->setPlaceholderText(Q("標準"));
    cb_smtp_security = Named(new QComboBox(this), "cb_smtp_security");
    cb_smtp_security->addItems({Q("なし"), Q("STARTTLS"), Q("SSL/TLS")});
    auto* server = new QHBoxLayout;
    server->addWidget(e_smtp_port);
    server->addWidget(new QLabel(Q("暗号化："), this));
    server->addWidget(cb_smtp_security, 1);
    form->addRow(Q("メールサーバー："), e_smtp_host);
    form->addRow(Q("ポート："), server);

    chk_smtp_login = Named(new QCheckBox(Q("ログインする"), this), "chk_smtp_login");
    e_smtp_user = Named(new QLineEdit(this), "e_smtp_user");
    e_smtp_pswd = Named(new QLineEdit(this), "e_smtp_pswd");
    e_smtp_pswd->setEchoMode(QLineEdit::Password);
    l_pswd_place = Named(new QLabel(this), "l_pswd_place");
    l_pswd_place->setWordWrap(true);
    form->addRow(QString(), chk_smtp_login);
    form->addRow(Q("ユーザー名："), e_smtp_user);
    form->addRow(Q("パスワード："), e_smtp_pswd);
    form->addRow(QString(), l_pswd_place);

    e_mail_adrs1 = Named(new QLineEdit(this), "e_mail_adrs1");
    e_mail_adrs2 = Named(new QLineEdit(this), "e_mail_adrs2");
    e_mail_from = Named(new QLineEdit(this), "e_mail_from");
    form->addRow(Q("宛先1："), e_mail_adrs1);
    form->addRow(Q("宛先2："), e_mail_adrs2);
    form->addRow(Q("差出人："), e_mail_from);
    page->addLayout(form);

    btn_mail_test = Named(new QPushButton(Q("テスト送信"), this), "btn_mail_test");
    btn_mail_test->setAutoDefault(false);
    auto* test = new QHBoxLayout;
    test->addStretch(1);
    test->addWidget(btn_mail_test);
    page->addLayout(test);
    page->addStretch(1);

    connect(chk_smtp_login, &QCheckBox::toggled, this, &MailTab::EnableLogin);
    connect(btn_mail_test, &QPushButton::clicked, this, &MailTab::btn_mail_testClick);
    test_.finished = [this](int result) {
        btn_mail_test->setEnabled(true);
        if (result == 0) ShowMsg(SJ("テストメールを送信しました。"));
    };
}

MailTab::~MailTab() = default;

void MailTab::Load(const Settings& s) {
    e_smtp_host->setText(QtText(s.SMTP_HOST));
    e_smtp_port->setText(s.SMTP_PORT > 0 ? QString::number(s.SMTP_PORT) : QString());
    cb_smtp_security->setCurrentIndex(s.SMTP_SECURITY >= 0 && s.SMTP_SECURITY <= 2 ? s.SMTP_SECURITY : 0);
    chk_smtp_login->setChecked(s.SMTP_LOGIN == 1);
    e_smtp_user->setText(QtText(s.SMTP_USER));
    e_smtp_pswd->setText(QtText(s.SMTP_PSWD));
    e_mail_adrs1->setText(QtText(s.MAIL_ADRS1));
    e_mail_adrs2->setText(QtText(s.MAIL_ADRS2));
    e_mail_from->setText(QtText(s.MAIL_FROM));
    EnableLogin();

    ShowPlace(PasswordPlace::Unknown);
    unsigned probe = ++probe_;
    ReadMailPassword(this, [this, probe](const SecretResult& result) {
        if (probe != probe_) return;
        if (result.answer == SecretAnswer::NoStore) {
            ShowPlace(PasswordPlace::SettingsFile);
            return;
        }
        if (result.answer == SecretAnswer::Found && e_smtp_pswd->text().isEmpty()) {
            e_smtp_pswd->setText(QtText(result.password));
            if (Program().settings.SMTP_PSWD.empty()) Program().settings.SMTP_PSWD = result.password;
        }
        ShowPlace(PasswordPlace::SecretStore);
    });
}

void MailTab::EnableLogin() {
    bool login = chk_smtp_login->isChecked();
    e_smtp_user->setEnabled(login);
    e_smtp_pswd->setEnabled(login);
}

void MailTab::ShowPlace(PasswordPlace place) {
    place_ = place;
    switch (place) {
        case PasswordPlace::Unknown:
            l_pswd_place->setText(Q("パスワードの保存先を確認しています…"));
            break;
        case PasswordPlace::SecretStore:
            l_pswd_place->setText(Q("パスワードはデスクトップのキーリングに保存されます。"));
            break;
        case PasswordPlace::SettingsFile: {
            size_t slash = settingsPath_.rfind('/');
            QString file =
                QString::fromStdString(slash == std::string::npos ? settingsPath_ : settingsPath_.substr(slash + 1));
            l_pswd_place->setText(Q("キーリングが使えないため、パスワードは設定ファイル（%1、本人のみ読み書き可）に"
                                    "保存されます。")
                                      .arg(file));
            break;
        }
    }
}

Settings MailTab::FieldValues(const Settings& base) const {
    Settings v = base;
    v.SMTP_HOST = TrimBlanks(FieldText(e_smtp_host));
    v.SMTP_PORT = std::max(0, PortOf(FieldText(e_smtp_port)));
    v.SMTP_SECURITY = cb_smtp_security->currentIndex();
    v.SMTP_LOGIN = chk_smtp_login->isChecked() ? 1 : 0;
    v.SMTP_USER = FieldText(e_smtp_user);
    v.SMTP_PSWD = FieldText(e_smtp_pswd);
    v.MAIL_ADRS1 = TrimBlanks(FieldText(e_mail_adrs1));
    v.MAIL_ADRS2 = TrimBlanks(FieldText(e_mail_adrs2));
    v.MAIL_FROM = TrimBlanks(FieldText(e_mail_from));
    return v;
}

bool MailTab::Validate() {
    Settings v = FieldValues(Settings{});
    bool valid = true;
    auto check = [&valid](bool good, const std::string& message) {
        if (good) return;
        ShowMsg(message);
        valid = false;
    };
    std::string hostError;
    check(v.SMTP_HOST.empty() || !SmtpUrl(v.SMTP_HOST, 25, &hostError).empty(),
          SJ("メールサーバーは、ホスト名またはIPアドレスで入力してください。"));
    check(PortOf(FieldText(e_smtp_port)) >= 0, SJ("ポート番号は、1～65535の範囲で入力してください。"));
    check(v.SMTP_LOGIN == 0 || (!v.SMTP_USER.empty() && !HasControl(v.SMTP_USER) && !HasControl(v.SMTP_PSWD)),
          SJ("ログインする場合は、ユーザー名を入力してください。"));
    check(IsRecipientField(v.MAIL_ADRS1) && IsRecipientField(v.MAIL_ADRS2) &&
              (v.MAIL_FROM.empty() || IsSafeAddress(v.MAIL_FROM)),
          SJ("メールアドレスに改行や全角文字は使えません。"));
    return valid;
}

bool MailTab::Save() {
    Settings& s = Program().settings;
    s = FieldValues(s);
    if (s.MAIL_FROM.empty()) s.MAIL_FROM = kSenderAddress;
    const bool toStore = s.SMTP_LOGIN == 1 && !s.SMTP_PSWD.empty() && place_ != PasswordPlace::SettingsFile;
    PasswordInFile password = PasswordInFile::Remove;
    if (s.SMTP_LOGIN == 1 && !s.SMTP_PSWD.empty()) password = toStore ? PasswordInFile::Keep : PasswordInFile::Write;
    std::string error;
    if (!SaveMailSettings(settingsPath_, s, password, &error)) {
        ShowMsg(error);
        return false;
    }
    if (!toStore) return true;
    // The file keeps what it had until the store has answered: the password is never nowhere.
    const std::string path = settingsPath_;
    WriteMailPassword(this, s.SMTP_PSWD, [this, path](const SecretResult& result) {
        std::string saveError;
        if (result.answer == SecretAnswer::Stored) {
            if (!SaveMailSettings(path, Program().settings, PasswordInFile::Remove, &saveError)) ShowMsg(saveError);
            return;
        }
        ShowPlace(PasswordPlace::SettingsFile);
        if (!SaveMailSettings(path, Program().settings, PasswordInFile::Write, &saveError)) {
            ShowMsg(saveError);
            return;
        }
        ShowMsg(SJ("キーリングにパスワードを保存できなかったため、設定ファイルに保存しました。[") + result.why + "]");
    });
    return true;
}

void MailTab::btn_mail_testClick() {
    if (!Validate()) return;
    Settings v = FieldValues(Program().settings);
    if (v.SMTP_HOST.empty() || v.MAIL_ADRS1.empty()) {
        ShowMsg(SJ("メールサーバーと宛先1を入力してください。"));
        return;
    }
    if (v.MAIL_FROM.empty()) v.MAIL_FROM = kSenderAddress;
    ConfigureClient(testClient_, v);
    testClient_.caFile = testCaFile;
    FillMail(testClient_, testMessage_, v.SMTP_HOST, v.SMTP_USER, v.MAIL_ADRS1, v.MAIL_ADRS2, SJ("Pilonix テスト送信"),
             SJ("Pilonixからのテスト送信です。") + "\r\n");
    btn_mail_test->setEnabled(false);
    if (!test_.Start(testClient_, testMessage_)) btn_mail_test->setEnabled(true);
}

}  // namespace plx
