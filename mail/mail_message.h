// The mail message of the program and its form on the wire.
#pragma once

#include <string>
#include <vector>

namespace plx {

// The message component: filled afresh by every SendMail; texts are CP932.
struct MailMessage {
    std::string charSet;
    std::string contentType;
    std::string contentTransferEncoding;
    std::string fromAddress;
    std::string fromName;
    std::string recipients;  // addresses separated by ","
    std::vector<std::string> body;
    std::string subject;
};

// The addresses of a recipient list text, for the envelope: split at ",", blanks trimmed,
// the part inside "<...>" taken when there is one, empty pieces dropped.
std::vector<std::string> RecipientAddresses(const std::string& recipients);

// The whole message as sent: headers (Japanese words MIME-encoded) and the ISO-2022-JP body,
// every line ended by CR LF. `date` is the text of the Date header.
std::string ComposeMessage(const MailMessage& message, const std::string& date);

// The current local time in the form of a Date header, e.g. "Tue, 08 Dec 2026 22:52:50 +0900".
std::string MailDateNow();

}  // namespace plx
