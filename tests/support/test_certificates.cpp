// Test certificates from the openssl command.
#include "tests/support/test_certificates.h"

#include <cstdlib>
#include <stdexcept>

namespace plxtest {

TestCertificates::TestCertificates() {
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2";
    WriteFile(dir_.File("server.ext"),
              "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n");
    const std::string in = "cd '" + dir_.path() + "' && ";
    const std::string commands[] = {
        "openssl req -x509" + key +
            " -keyout ca.key -out ca.pem -subj '/CN=Test authority'"
            " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign",
        "openssl req" + key + " -keyout server.key -out server.csr -subj /CN=127.0.0.1",
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 -out server.pem "
        "-extfile server.ext",
        "openssl req -x509" + key +
            " -keyout stranger.key -out stranger.pem -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1",
    };
    for (const std::string& command : commands)
        if (std::system((in + command + " >openssl.log 2>&1").c_str()) != 0)
            throw std::runtime_error("openssl failed: " + command + "\n" + ReadFile(dir_.File("openssl.log")));
}

}  // namespace plxtest
