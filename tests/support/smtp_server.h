// Real SMTP servers on 127.0.0.1 for tests: ones that keep what they receive (plain, after STARTTLS
// or over TLS from the start, with or without a required login), and faulty ones:
// silent from the start, refusing every recipient, silent after the message, or dropping the
// connection in the middle of it.
#pragma once

#include <string>
#include <vector>

#include "tests/support/server_process.h"
#include "tests/support/temp_dir.h"

namespace plxtest {

struct ReceivedMail {
    std::string envelopeFrom;
    std::vector<std::string> envelopeTo;
    std::string data;  // headers and body exactly as received
};

class SmtpServer {
public:
    enum class Mode { Store, Silent, RejectRecipient, StallAfterData, DropInData, StartTls, Tls };
    // For the storing modes: the certificate and key of StartTls and Tls, a required login and the
    // one mechanism offered for it ("PLAIN" or "LOGIN"; both when empty).
    struct Options {
        std::string certFile;
        std::string keyFile;
        std::string loginName;
        std::string loginPassword;
        std::string mechanism;
    };
    // Starts the server and waits until it listens; throws when it does not come up.
    explicit SmtpServer(Mode mode = Mode::Store, const Options& options = {});

    int port() const { return process_.port(); }
    // "127.0.0.1:port", the form of an SMTP_HOST setting.
    std::string HostText() const { return "127.0.0.1:" + std::to_string(port()); }
    // Every message received so far, in order of arrival.
    std::vector<ReceivedMail> Received() const;

private:
    TempDir dir_;
    ServerProcess process_;
};

}  // namespace plxtest
