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

// How the connection to the server is protected.
enum class SmtpSecurity {
    None = 0,      // plain SMTP, as servers on a home network take it
    StartTls = 1,  // plain at first, then STARTTLS, which the server must offer
    Tls = 2,       // TLS from the first byte (usually port 465)
};

// The client component. `host` may carry ":port"; without one, `port` is used.
struct SmtpClient {
    std::string host;
    std::string userId;  // the login name when `login` is set; otherwise only kept
    int port = 25;
    SmtpSecurity security = SmtpSecurity::None;
    bool login = false;
    std::string password;  // UTF-8, as servers expect it in AUTH
    std::string mailFrom;  // the sender address; empty for the program's own
    std::string caFile;    // certificates to trust instead of the system's store (tests)
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
    SmtpSecurity security = SmtpSecurity::None;
    bool login = false;
    std::string user;
    std::string password;
    std::string caFile;
};

// Why a send failed, where the user can do something about it.
enum class SmtpFailure {
    None,
    Other,         // see the reason
    BadAddress,    // an address that cannot go on the wire
    Certificate,   // the server's certificate did not verify
    TlsHandshake,  // no TLS connection came about
    NoStartTls,    // STARTTLS required, and the server does not offer it
    LoginRefused,  // the server refused the login
};

struct SmtpOutcome {
    SmtpFailure failure = SmtpFailure::None;
    std::string reason;  // curl's or our own text; empty on success
    bool ok() const { return failure == SmtpFailure::None; }
};

// Server part of a host text: "name", "name:port", "[v6]" or "[v6]:port". Gives the URL
// "smtp://name:port" ("smtps://" with `tls`), or empty text with `error` set when the text is
// not a host name.
std::string SmtpUrl(const std::string& host, int defaultPort, std::string* error, bool tls = false);

// An address goes between "<" and ">" on an SMTP command line: nothing may end that line early,
// and a server that has not offered SMTPUTF8 takes nothing but ASCII there. True when `address`
// (without its brackets) can.
bool IsSafeAddress(const std::string& address);

// Checks the host and the addresses and composes the message (its Date and Message-ID from the
// clock of this moment). Empty, with `failure` set, when something would not go on the wire.
std::optional<SmtpJob> PrepareSmtpJob(const SmtpClient& client, const MailMessage& message, SmtpOutcome* failure);

// Connects, sends the job's message to every recipient and disconnects, whatever happens; blocks
// the calling thread until then (at most the job's time-out), or until `stop` is requested, which
// ends it at once. Certificates are verified against the system's store (or the job's CA file).
SmtpOutcome RunSmtpJob(const SmtpJob& job, const std::stop_token& stop = {});

// PrepareSmtpJob and RunSmtpJob in a row, on the calling thread.
SmtpOutcome SmtpSend(const SmtpClient& client, const MailMessage& message);

}  // namespace plx
