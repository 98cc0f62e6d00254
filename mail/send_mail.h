// SendMail: the racer-check report by mail, one message per call. Its steps are also available one
// by one, so that the sending itself can run on a worker thread (see mail/mail_worker.h).
#pragma once

#include <string>

#include "mail/mail_message.h"
#include "mail/smtp_client.h"

namespace plx {

// The program's own sender, in one place (the MAIL_FROM setting replaces the address).
inline constexpr const char* kSenderAddress = "pilonix@localhost";
inline constexpr const char* kSenderName = "Pilonix";

// Fills `message` (CP932 texts) and sends it through `client` to `host`: to `address1`, and
// also to `address2` when that is not empty. Returns 0 when sent; otherwise tells the user
// "メール送信に失敗しました。[" + the error text + "]" and returns -1. Blocks until the send ends.
int SendMail(SmtpClient& client, MailMessage& message, const std::string& host, const std::string& userId,
             const std::string& address1, const std::string& address2, const std::string& subject,
             const std::string& body);

// SendMail's first steps: the client's host and user id, and every field of the message; the
// sender is the client's `mailFrom`, or the program's own when that is empty.
void FillMail(SmtpClient& client, MailMessage& message, const std::string& host, const std::string& userId,
              const std::string& address1, const std::string& address2, const std::string& subject,
              const std::string& body);

// The text of the box for a failed send: "メール送信に失敗しました。", what went wrong where the
// user can act on it (certificate, TLS, STARTTLS, login, address), then the reason in brackets.
std::string MailFailureText(const SmtpOutcome& outcome);

// SendMail's last step, for the outcome of a send: tells the user about a failure with ShowMsg.
// Returns 0 or -1.
int MailOutcome(const SmtpOutcome& outcome);

}  // namespace plx
