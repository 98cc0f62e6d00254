// Test certificates from the openssl command.
#include "tests/support/test_certificates.h"

#include <cstdlib>
#include <stdexcept>

namespace plxtest {
namespace {

void Run(const std::string& command) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0)
        throw std::runtime_error("openssl failed: " + command);
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

}  // namespace

TestCertificates::TestCertificates()
    : ca_(dir_.File("ca.pem")), cert_(dir_.File("server.pem")), key_(dir_.File("server.key")) {
    // Elliptic-curve keys: made in milliseconds, where RSA keys would take a noticeable while.
    const std::string key = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    Run("openssl req -x509" + key + " -keyout " + Quoted(dir_.File("ca.key")) + " -out " + Quoted(ca_) +
        " -days 2 -subj '/CN=Pilonix test authority'" +
        " -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign");
    Run("openssl req -new" + key + " -keyout " + Quoted(key_) + " -out " + Quoted(dir_.File("server.csr")) +
        " -subj '/CN=127.0.0.1'");
    WriteFile(dir_.File("server.ext"),
              "subjectAltName=IP:127.0.0.1,DNS:localhost\nbasicConstraints=CA:FALSE\n"
              "keyUsage=digitalSignature,keyEncipherment\nextendedKeyUsage=serverAuth\n");
    Run("openssl x509 -req -in " + Quoted(dir_.File("server.csr")) + " -CA " + Quoted(ca_) + " -CAkey " +
        Quoted(dir_.File("ca.key")) + " -CAcreateserial -days 2 -out " + Quoted(cert_) + " -extfile " +
        Quoted(dir_.File("server.ext")));
}

}  // namespace plxtest
