// The SMTP client of the program: one connection per message, over libcurl.
#pragma once

#include <string>

#include "mail/mail_message.h"

namespace plx {

// The client component. `host` may carry ":port"; without one, `port` is used.
struct SmtpClient {
    std::string host;
    std::string userId;  // kept as set; the server is expected to take mail without a login
    int port = 25;
    // Bound on one whole send, connecting included, so that an unreachable or silent server
    // cannot hold the timer for longer than this.
    long timeoutMs = 15000;
};

// Server part of a host text: "name", "name:port", "[v6]" or "[v6]:port". Gives the URL
// "smtp://name:port", or empty text with `error` set when the text is not a host name.
std::string SmtpUrl(const std::string& host, int defaultPort, std::string* error);

// Connects, sends `message` to every address of its recipient list and disconnects, whatever
// happens. Returns empty text on success, otherwise the error text.
std::string SmtpSend(const SmtpClient& client, const MailMessage& message);

}  // namespace plx
