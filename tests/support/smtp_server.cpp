// SMTP test servers: a small aiosmtpd script run by the system's Python.
#include "tests/support/smtp_server.h"

#include <algorithm>
#include <filesystem>

namespace plxtest {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

const char* ModeName(SmtpServer::Mode mode) {
    switch (mode) {
        case SmtpServer::Mode::Store:
            return "store";
        case SmtpServer::Mode::Silent:
            return "silent";
        case SmtpServer::Mode::RejectRecipient:
            return "reject-rcpt";
        case SmtpServer::Mode::StallAfterData:
            return "stall-data";
        case SmtpServer::Mode::DropInData:
            return "drop-data";
        case SmtpServer::Mode::StartTls:
            return "starttls";
        case SmtpServer::Mode::Tls:
            return "tls";
    }
    return "store";
}

}  // namespace

SmtpServer::SmtpServer(Mode mode, const Options& options) {
    std::string folder = dir_.path() + "mail";
    std::filesystem::create_directory(folder);
    std::vector<std::string> args = {ModeName(mode), folder};
    if (!options.certFile.empty()) args.push_back("cert=" + options.certFile);
    if (!options.keyFile.empty()) args.push_back("key=" + options.keyFile);
    if (!options.loginName.empty()) args.push_back("login=" + options.loginName + ":" + options.loginPassword);
    if (!options.mechanism.empty()) args.push_back("mechanisms=" + options.mechanism);
    process_.Start("SMTP", PLXTEST_SMTP_SCRIPT, args, dir_.File("port"));
}

std::vector<ReceivedMail> SmtpServer::Received() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path() + "mail"))
        if (entry.path().extension() == ".eml") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    std::vector<ReceivedMail> mails;
    for (const auto& name : names) {
        std::string base = dir_.path() + "mail/" + name;
        mails.push_back({ReadFile(base + ".from"), Lines(ReadFile(base + ".rcpt")), ReadFile(base + ".eml")});
    }
    return mails;
}

}  // namespace plxtest
