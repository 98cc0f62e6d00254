// Mail settings to the client and to the settings file.
#include "mail/mail_settings.h"

#include <sys/stat.h>

#include "common/ini_file.h"
#include "common/sjis.h"
#include "mail/send_mail.h"

namespace plx {

int MailPort(const Settings& settings) {
    if (settings.SMTP_PORT > 0) return settings.SMTP_PORT;
    return settings.SMTP_SECURITY == static_cast<int>(SmtpSecurity::Tls) ? 465 : 25;
}

void ConfigureClient(SmtpClient& client, const Settings& settings) {
    client.port = MailPort(settings);
    switch (settings.SMTP_SECURITY) {
        case 1:
            client.security = SmtpSecurity::StartTls;
            break;
        case 2:
            client.security = SmtpSecurity::Tls;
            break;
        default:
            client.security = SmtpSecurity::None;
            break;
    }
    client.login = settings.SMTP_LOGIN == 1;
    client.password = client.login ? Cp932ToUtf8(settings.SMTP_PSWD) : std::string();
    client.mailFrom = settings.MAIL_FROM.empty() ? std::string(kSenderAddress) : settings.MAIL_FROM;
}

void KeepFileToOwner(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        ::chmod(path.c_str(), info.st_mode & S_IRWXU);
}

bool SaveMailSettings(const std::string& path, const Settings& v, PasswordInFile password, std::string* error) {
    IniFile ini(path);
    // A key goes into the file when it is there already or no longer has its default, so that a file
    // whose mail was never set up stays as it was.
    auto put = [&ini](const char* key, const std::string& value, const std::string& fallback) {
        const std::string absent = "\x01";
        if (ini.Get("SETTING", key, absent) != absent || value != fallback) ini.Set("SETTING", key, value);
    };
    put("SMTP_HOST", v.SMTP_HOST, "");
    put("SMTP_PORT", std::to_string(v.SMTP_PORT), "0");
    put("SMTP_SECURITY", std::to_string(v.SMTP_SECURITY), "0");
    put("SMTP_LOGIN", std::to_string(v.SMTP_LOGIN), "0");
    put("SMTP_USER", v.SMTP_USER, "");
    put("MAIL_ADRS1", v.MAIL_ADRS1, "");
    put("MAIL_ADRS2", v.MAIL_ADRS2, "");
    put("MAIL_FROM", v.MAIL_FROM, kSenderAddress);
    if (password == PasswordInFile::Write) ini.Set("SETTING", "SMTP_PSWD", v.SMTP_PSWD);
    if (password == PasswordInFile::Remove) ini.Remove("SETTING", "SMTP_PSWD");
    bool holdsPassword = !ini.Get("SETTING", "SMTP_PSWD", "").empty();
    // Before the write as well as after: the new file takes the mode of the one it replaces.
    if (holdsPassword) KeepFileToOwner(path);
    if (!ini.Save(error, 0600)) return false;
    if (holdsPassword) KeepFileToOwner(path);
    return true;
}

}  // namespace plx
