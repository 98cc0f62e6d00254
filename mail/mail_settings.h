// The mail settings: from the program's settings to the SMTP client, and their place in the
// settings file (the password only where no secret store keeps it).
#pragma once

#include <string>

#include "common/settings.h"
#include "mail/smtp_client.h"

namespace plx {

// The port a client uses when SMTP_HOST carries none: SMTP_PORT, else 465 for TLS from the
// start and 25 otherwise.
int MailPort(const Settings& settings);

// Sets the client's port, security, login, password (CP932 in the settings, UTF-8 on the wire)
// and sender from the settings; host and user id are FillMail's.
void ConfigureClient(SmtpClient& client, const Settings& settings);

// What a save does with SMTP_PSWD in the settings file.
enum class PasswordInFile { Remove, Write, Keep };

// Writes the mail keys to the settings file: SMTP_HOST, SMTP_PORT, SMTP_SECURITY, SMTP_LOGIN,
// SMTP_USER, MAIL_ADRS1, MAIL_ADRS2, MAIL_FROM, and SMTP_PSWD as `password` says. A file that
// holds a password is made readable by its owner only. False with the message in `error` when the
// file could not be written.
bool SaveMailSettings(const std::string& path, const Settings& settings, PasswordInFile password, std::string* error);

// Takes group and other permissions off a file (it keeps only its owner's).
void KeepFileToOwner(const std::string& path);

}  // namespace plx
