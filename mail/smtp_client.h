// The SMTP client of the program: one connection per message, over libcurl. A send comes in two
// halves so that the slow one can run on a worker thread: PrepareSmtpJob (checks and the composed
// message; the calling thread) and RunSmtpJob (the network only; any thread).
#pragma once

#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "mail/mail_message.h"

namespace plx {

// The client component. `host` may carry ":port"; without one, `port` is used.
struct SmtpClient {
    std::string host;
    std::string userId;  // kept as set; the server is expected to take mail without a login
    int port = 25;
    // Bound on one whole send, from the start of the name lookup to the server's answer to the
    // end of DATA, so that an unreachable or silent server can never hold a send longer.
    long timeoutMs = 15000;
};

// Everything one send needs, copied out of the client and the message: a job owns its data and
// touches no program state, so it can go to another thread.
struct SmtpJob {
    std::string url;                      // "smtp://host:port"
    std::string mailFrom;                 // envelope sender, "<...>"
    std::vector<std::string> recipients;  // envelope recipients, "<...>" each
    std::string data;                     // the message as sent, headers and body
    long timeoutMs = 15000;
};

// Server part of a host text: "name", "name:port", "[v6]" or "[v6]:port". Gives the URL
// "smtp://name:port", or empty text with `error` set when the text is not a host name.
std::string SmtpUrl(const std::string& host, int defaultPort, std::string* error);

// Checks the host and the addresses and composes the message (its Date and Message-ID from the
// clock of this moment). Empty, with `error` set, when something would not go on the wire.
std::optional<SmtpJob> PrepareSmtpJob(const SmtpClient& client, const MailMessage& message, std::string* error);

// Connects, sends the job's message to every recipient and disconnects, whatever happens; blocks
// the calling thread until then (at most the job's time-out), or until `stop` is requested, which
// ends it at once. Returns empty text on success, otherwise the error text.
std::string RunSmtpJob(const SmtpJob& job, const std::stop_token& stop = {});

// PrepareSmtpJob and RunSmtpJob in a row, on the calling thread.
std::string SmtpSend(const SmtpClient& client, const MailMessage& message);

}  // namespace plx
