// Certificates made with openssl for the time of a test and removed with it: a certificate
// authority, a server identity for 127.0.0.1 (and localhost) that it signed, and a self-signed one
// for 127.0.0.1 that nobody trusts.
#pragma once

#include <string>

#include "tests/support/temp_dir.h"

namespace plxtest {

struct TlsIdentity {
    std::string certificateFile;
    std::string keyFile;
};

class TestCertificates {
public:
    // Throws when openssl fails.
    TestCertificates();

    std::string AuthorityFile() const { return dir_.File("ca.pem"); }
    TlsIdentity Trusted() const { return {dir_.File("server.pem"), dir_.File("server.key")}; }
    TlsIdentity Stranger() const { return {dir_.File("stranger.pem"), dir_.File("stranger.key")}; }

private:
    TempDir dir_;
};

}  // namespace plxtest
