// SMTP over libcurl: one easy handle, and so one connection, per message.
#include "mail/smtp_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <vector>

#include "common/net/curl_global.h"

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

// An address goes between "<" and ">" on an SMTP command line: nothing may end that line early.
bool IsSafeAddress(const std::string& address) {
    if (address.empty()) return false;
    for (char c : address) {
        auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7F || c == '<' || c == '>') return false;
    }
    return true;
}

}  // namespace

std::string SmtpUrl(const std::string& hostText, int defaultPort, std::string* error) {
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
    return "smtp://" + name + ":" + std::to_string(std::stoi(port));
}

std::string SmtpSend(const SmtpClient& client, const MailMessage& message) {
    std::string error;
    std::string url = SmtpUrl(client.host, client.port, &error);
    if (url.empty()) return error;
    if (!IsSafeAddress(message.fromAddress)) return "invalid sender address: " + message.fromAddress;
    for (char c : message.recipients)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "invalid recipient list: " + message.recipients;
    std::vector<std::string> recipients = RecipientAddresses(message.recipients);
    if (recipients.empty()) return "no recipient address";
    for (const std::string& r : recipients)
        if (!IsSafeAddress(r)) return "invalid recipient address: " + r;

    EnsureCurlReady();
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl) return "cannot start the mail client";
    curl_slist* list = nullptr;
    for (const std::string& r : recipients) list = curl_slist_append(list, ("<" + r + ">").c_str());
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> rcpt(list, curl_slist_free_all);

    std::string data = ComposeMessage(message, MailDateNow());
    Upload upload{&data};
    char errorBuffer[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "smtp");
    curl_easy_setopt(h, CURLOPT_MAIL_FROM, ("<" + message.fromAddress + ">").c_str());
    curl_easy_setopt(h, CURLOPT_MAIL_RCPT, rcpt.get());
    curl_easy_setopt(h, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(h, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(h, CURLOPT_READDATA, &upload);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, client.timeoutMs);
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, client.timeoutMs);
    curl_easy_setopt(h, CURLOPT_SERVER_RESPONSE_TIMEOUT, (client.timeoutMs + 999) / 1000);
    CURLcode rc = curl_easy_perform(h);
    // The handle, and with it the connection, is closed on every path when `curl` goes.
    if (rc == CURLE_OK) return {};
    return errorBuffer[0] ? std::string(errorBuffer) : std::string(curl_easy_strerror(rc));
}

}  // namespace plx
