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
    message.fromAddress = kSenderAddress;
    message.fromName = kSenderName;
    message.recipients = address1;
    if (!address2.empty()) message.recipients = message.recipients + "," + address2;
    message.body = SplitLines(body);
    message.subject = subject;
}

int MailOutcome(const std::string& error) {
    if (error.empty()) return 0;
    ShowMsg(SJ("メール送信に失敗しました。[") + error + "]");
    return -1;
}

int SendMail(SmtpClient& client, MailMessage& message, const std::string& host, const std::string& userId,
             const std::string& address1, const std::string& address2, const std::string& subject,
             const std::string& body) {
    std::string error;
    try {
        FillMail(client, message, host, userId, address1, address2, subject, body);
        error = SmtpSend(client, message);
    } catch (const std::exception& e) {
        error = e.what();
    }
    return MailOutcome(error);
}

}  // namespace plx
