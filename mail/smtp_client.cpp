// SMTP over libcurl: one easy handle, and so one connection, per message.
#include "mail/smtp_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "common/net/curl_global.h"
#include "common/net/transfer_loop.h"

namespace plx {
namespace {

struct Upload {
    const std::string* data;
    size_t position = 0;
};

size_t ReadUpload(char* buffer, size_t size, size_t count, void* user) {
    auto* upload = static_cast<Upload*>(user);
    size_t n = std::min(size * count, upload->data->size() - upload->position);
    std::memcpy(buffer, upload->data->data() + upload->position, n);
    upload->position += n;
    return n;
}

bool IsHostNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '_';
}

bool IsV6Char(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
}

SmtpFailure FailureOf(CURLcode rc) {
    switch (rc) {
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
            return SmtpFailure::Certificate;
        case CURLE_SSL_CONNECT_ERROR:
            return SmtpFailure::TlsHandshake;
        case CURLE_USE_SSL_FAILED:
            return SmtpFailure::NoStartTls;
        case CURLE_LOGIN_DENIED:
        case CURLE_AUTH_ERROR:
            return SmtpFailure::LoginRefused;
        default:
            return SmtpFailure::Other;
    }
}

// The transport's own options: TLS as the job asks for it (certificates always verified), and
// the login.
void SetSecurityOptions(CURL* h, const SmtpJob& job) {
    if (job.security == SmtpSecurity::StartTls) curl_easy_setopt(h, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!job.caFile.empty()) curl_easy_setopt(h, CURLOPT_CAINFO, job.caFile.c_str());
    if (job.login) {
        curl_easy_setopt(h, CURLOPT_USERNAME, job.user.c_str());
        curl_easy_setopt(h, CURLOPT_PASSWORD, job.password.c_str());
    }
}

}  // namespace

bool IsSafeAddress(const std::string& address) {
    if (address.empty()) return false;
    for (char c : address) {
        auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F || c == '<' || c == '>') return false;
    }
    return true;
}

std::string SmtpUrl(const std::string& hostText, int defaultPort, std::string* error, bool tls) {
    std::string name = hostText;
    std::string port = std::to_string(defaultPort);
    if (!name.empty() && name.front() == '[') {
        size_t close = name.find(']');
        if (close == std::string::npos)
            name.clear();
        else {
            std::string rest = name.substr(close + 1);
            name = name.substr(0, close + 1);
            if (!rest.empty()) port = rest.front() == ':' ? rest.substr(1) : "";
        }
    } else if (std::count(name.begin(), name.end(), ':') == 1) {
        port = name.substr(name.find(':') + 1);
        name = name.substr(0, name.find(':'));
    } else if (std::count(name.begin(), name.end(), ':') > 1) {
        name = "[" + name + "]";  // a bare IPv6 address
    }
    bool good = !name.empty();
    if (good && name.front() == '[') {
        for (size_t i = 1; i + 1 < name.size(); ++i) good = good && IsV6Char(name[i]);
        good = good && name.size() > 2;
    } else {
        for (char c : name) good = good && IsHostNameChar(c);
    }
    bool portGood = !port.empty() && port.size() <= 5;
    for (char c : port) portGood = portGood && std::isdigit(static_cast<unsigned char>(c));
    if (portGood) portGood = std::stoi(port) >= 1 && std::stoi(port) <= 65535;
    if (!good || !portGood) {
        if (error) *error = "invalid mail server: " + hostText;
        return {};
    }
    return (tls ? "smtps://" : "smtp://") + name + ":" + std::to_string(std::stoi(port));
}

std::optional<SmtpJob> PrepareSmtpJob(const SmtpClient& client, const MailMessage& message, SmtpOutcome* failure) {
    auto refuse = [&](std::string why, SmtpFailure kind = SmtpFailure::Other) -> std::optional<SmtpJob> {
        if (failure) *failure = {kind, std::move(why)};
        return std::nullopt;
    };
    std::string urlError;
    std::string url = SmtpUrl(client.host, client.port, &urlError, client.security == SmtpSecurity::Tls);
    if (url.empty()) return refuse(urlError);
    if (!IsSafeAddress(message.fromAddress))
        return refuse("invalid sender address: " + message.fromAddress, SmtpFailure::BadAddress);
    for (char c : message.recipients)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return refuse("invalid recipient list: " + message.recipients, SmtpFailure::BadAddress);
    std::vector<std::string> recipients = RecipientAddresses(message.recipients);
    if (recipients.empty()) return refuse("no recipient address", SmtpFailure::BadAddress);
    for (const std::string& r : recipients)
        if (!IsSafeAddress(r)) return refuse("invalid recipient address: " + r, SmtpFailure::BadAddress);
    SmtpJob job;
    job.url = url;
    job.security = client.security;
    job.login = client.login;
    job.user = client.userId;
    job.password = client.password;
    job.caFile = client.caFile;
    job.mailFrom = "<" + message.fromAddress + ">";
    for (const std::string& r : recipients) job.recipients.push_back("<" + r + ">");
    job.data = ComposeMessage(message, MailDateNow());
    job.timeoutMs = client.timeoutMs;
    return job;
}

SmtpOutcome RunSmtpJob(const SmtpJob& job, const std::stop_token& stop) {
    auto failed = [](std::string why, SmtpFailure kind = SmtpFailure::Other) {
        return SmtpOutcome{kind, std::move(why)};
    };
    EnsureCurlReady();
    TransferSockets sockets;  // outlives both handles
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), curl_multi_cleanup);
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!multi || !curl) return failed("cannot start the mail client");
    curl_slist* list = nullptr;
    for (const std::string& r : job.recipients) list = curl_slist_append(list, r.c_str());
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> rcpt(list, curl_slist_free_all);

    Upload upload{&job.data};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, job.url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    SetSecurityOptions(h, job);
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, job.mailFrom.c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, job.timeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, job.timeoutMs);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, (job.timeoutMs + 999) / 1000);
    SetCommonTransferOptions(h, sockets);

    // One transfer through the multi interface, so that a stop request can end it at once.
    if (curl_multi_add_handle(multi.get(), h) != CURLM_OK) return failed("cannot start the mail client");
    // The bound on the whole send, kept even where libcurl itself would wait longer.
    bool expired = false;
    bool finished = RunTransfers(multi.get(), sockets, stop, job.timeoutMs, &expired);
    CURLcode rc = CURLE_ABORTED_BY_CALLBACK;
    int left = 0;
    while (CURLMsg* done = curl_multi_info_read(multi.get(), &left))
        if (done->msg == CURLMSG_DONE && done->easy_handle == h) rc = done->data.result;
    // The connection is closed on every path when the handle goes.
    curl_multi_remove_handle(multi.get(), h);
    if (!finished) return failed("the mail was stopped");
    if (expired) return failed("no answer from the mail server within " + std::to_string(job.timeoutMs) + " ms");
    if (rc == CURLE_OK) return {};
    return failed(errorBuffer[0] ? std::string(errorBuffer) : std::string(curl_easy_strerror(rc)), FailureOf(rc));
}

SmtpOutcome SmtpSend(const SmtpClient& client, const MailMessage& message) {
    SmtpOutcome failure;
    std::optional<SmtpJob> job = PrepareSmtpJob(client, message, &failure);
    if (!job) return failure;
    return RunSmtpJob(*job);
}

}  // namespace plx
