// A certificate authority and a server certificate for 127.0.0.1, made with openssl when a test
// asks for them and removed with it.
#pragma once

#include <string>

#include "tests/support/temp_dir.h"

namespace plxtest {

class TestCertificates {
public:
    // Throws when openssl fails.
    TestCertificates();

    const std::string& caFile() const { return ca_; }        // the authority a client may trust
    const std::string& serverCert() const { return cert_; }  // for 127.0.0.1 and localhost
    const std::string& serverKey() const { return key_; }

private:
    TempDir dir_;
    std::string ca_, cert_, key_;
};

}  // namespace plxtest
