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

bool SettingsFileHoldsPassword(const std::string& path) {
    IniFile ini(path);
    return !ini.Get("SETTING", "SMTP_PSWD", "").empty() || !ini.Get("DIR", "MARLO_PSWD", "").empty();
}

bool SaveMailSettings(const std::string& path, const Settings& v, bool passwordInFile, std::string* error) {
    IniFile ini(path);
    ini.Set("SETTING", "SMTP_HOST", v.SMTP_HOST);
    ini.Set("SETTING", "SMTP_PORT", std::to_string(v.SMTP_PORT));
    ini.Set("SETTING", "SMTP_SECURITY", std::to_string(v.SMTP_SECURITY));
    ini.Set("SETTING", "SMTP_LOGIN", std::to_string(v.SMTP_LOGIN));
    ini.Set("SETTING", "SMTP_USER", v.SMTP_USER);
    ini.Set("SETTING", "MAIL_ADRS1", v.MAIL_ADRS1);
    ini.Set("SETTING", "MAIL_ADRS2", v.MAIL_ADRS2);
    ini.Set("SETTING", "MAIL_FROM", v.MAIL_FROM);
    if (passwordInFile)
        ini.Set("SETTING", "SMTP_PSWD", v.SMTP_PSWD);
    else
        ini.Remove("SETTING", "SMTP_PSWD");
    // Before the write as well as after: the new file takes the mode of the one it replaces.
    if (passwordInFile) KeepFileToOwner(path);
    if (!ini.Save(error, 0600)) return false;
    if (passwordInFile) KeepFileToOwner(path);
    return true;
}

}  // namespace plx
