// SendMail over the program's SMTP client and message.
#include "mail/send_mail.h"

#include <exception>

#include "common/message.h"
#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {

void FillMail(SmtpClient& client, MailMessage& message, const std::string& host, const std::string& userId,
              const std::string& address1, const std::string& address2, const std::string& subject,
              const std::string& body) {
    client.host = host;
    client.userId = userId;
    message.charSet = "iso-2022-jp";
    message.contentType = "text/plain";
    message.contentTransferEncoding = "7bit";
    message.fromAddress = client.mailFrom.empty() ? std::string(kSenderAddress) : client.mailFrom;
    message.fromName = kSenderName;
    message.recipients = address1;
    if (!address2.empty()) message.recipients = message.recipients + "," + address2;
    message.body = SplitLines(body);
    message.subject = subject;
}

std::string MailFailureText(const SmtpOutcome& outcome) {
    std::string what;
    switch (outcome.failure) {
        case SmtpFailure::Certificate:
            what = SJ("サーバーの証明書を検証できませんでした。");
            break;
        case SmtpFailure::TlsHandshake:
            what = SJ("サーバーとのTLS接続を確立できませんでした。");
            break;
        case SmtpFailure::NoStartTls:
            what = SJ("サーバーがSTARTTLSに対応していないため、送信しませんでした。");
            break;
        case SmtpFailure::LoginRefused:
            what = SJ("サーバーがログインを拒否しました。ユーザー名とパスワードを確認してください。");
            break;
        case SmtpFailure::BadAddress:
            what = SJ("メールアドレスに使えない文字があります。");
            break;
        case SmtpFailure::None:
        case SmtpFailure::Other:
            break;
    }
    return SJ("メール送信に失敗しました。") + what + "[" + outcome.reason + "]";
}

int MailOutcome(const SmtpOutcome& outcome) {
    if (outcome.ok()) return 0;
    ShowMsg(MailFailureText(outcome));
    return -1;
}

int SendMail(SmtpClient& client, MailMessage& message, const std::string& host, const std::string& userId,
             const std::string& address1, const std::string& address2, const std::string& subject,
             const std::string& body) {
    SmtpOutcome outcome;
    try {
        FillMail(client, message, host, userId, address1, address2, subject, body);
        outcome = SmtpSend(client, message);
    } catch (const std::exception& e) {
        outcome = {SmtpFailure::Other, e.what()};
    }
    return MailOutcome(outcome);
}

}  // namespace plx
