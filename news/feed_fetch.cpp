// Parallel feed fetching with libcurl's multi interface.
#include "news/feed_fetch.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <string_view>

#include "common/net/curl_global.h"
#include "common/net/transfer_loop.h"
#include "common/textutil.h"

namespace plx {
namespace {

constexpr long kWatchdogMarginMs = 1000;
// Validators longer than this are not kept: no server needs them, and they go back in a request.
constexpr std::size_t kMaxValidatorBytes = 1024;

struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// The response headers that matter to the next request, of the last response of a transfer.
struct AnswerHeaders {
    std::string etag;
    std::string lastModified;
    std::string cacheControl;  // every Cache-Control header, joined by commas
};

struct Transfer {
    const FetchRequest* request = nullptr;
    FetchResult* result = nullptr;
    std::size_t maxBytes = 0;
    bool overCap = false;
    bool conditional = false;  // validators were sent
    AnswerHeaders headers;
    std::unique_ptr<curl_slist, SlistFree> requestHeaders;
    char errorBuffer[CURL_ERROR_SIZE] = {};
};

size_t Receive(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    std::string& body = transfer->result->body;
    if (bytes > transfer->maxBytes - body.size()) {
        transfer->overCap = true;
        return 0;  // makes curl stop this transfer with a write error
    }
    body.append(data, bytes);
    return bytes;
}

std::string_view Trimmed(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return {};
    return text.substr(begin, text.find_last_not_of(" \t\r\n") - begin + 1);
}

// A header value that may be sent back as it is: printable, one line, not too long.
bool IsPlainHeaderValue(std::string_view value) {
    if (value.empty() || value.size() > kMaxValidatorBytes) return false;
    return std::all_of(value.begin(), value.end(), [](unsigned char c) { return c >= 0x20 && c != 0x7F; });
}

size_t ReceiveHeader(char* data, size_t size, size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    size_t bytes = size * count;
    std::string_view line(data, bytes);
    // A status line starts another response (after a redirect): only the last one counts.
    if (line.starts_with("HTTP/")) {
        transfer->headers = {};
        return bytes;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return bytes;
    std::string name = AsciiLower(Trimmed(line.substr(0, colon)));
    std::string_view value = Trimmed(line.substr(colon + 1));
    if (!IsPlainHeaderValue(value)) return bytes;
    AnswerHeaders& headers = transfer->headers;
    if (name == "etag") {
        headers.etag = value;
    } else if (name == "last-modified") {
        headers.lastModified = value;
    } else if (name == "cache-control" && headers.cacheControl.size() < kMaxValidatorBytes) {
        headers.cacheControl += std::string(value) + ",";
    }
    return bytes;
}

// The max-age directive of a Cache-Control value in seconds; -1 when there is none.
long MaxAgeSeconds(const std::string& cacheControl) {
    size_t start = 0;
    while (start <= cacheControl.size()) {
        size_t end = std::min(cacheControl.find(',', start), cacheControl.size());
        std::string directive = AsciiLower(Trimmed(std::string_view(cacheControl).substr(start, end - start)));
        start = end + 1;
        if (!directive.starts_with("max-age=")) continue;
        std::string_view number = std::string_view(directive).substr(8);
        if (number.size() >= 2 && number.front() == '"' && number.back() == '"')
            number = number.substr(1, number.size() - 2);
        if (number.empty() || number.size() > 9 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return -1;
        return std::stol(std::string(number));
    }
    return -1;
}

bool IsSecureConnectionFailure(CURLcode code) {
    switch (code) {
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CRL_BADFILE:
            return true;
        default:
            return false;
    }
}

CURL* MakeHandle(const FetchLimits& limits, Transfer* transfer, TransferSockets& sockets) {
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    const FetchRequest& request = *transfer->request;
    curl_easy_setopt(easy, CURLOPT_URL, request.address.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");  // the cap applies to the decoded bytes
    SetCommonTransferOptions(easy, sockets);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Pilonix");
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, Receive);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, ReceiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorBuffer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer);
    if (!limits.caFile.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, limits.caFile.c_str());
    curl_slist* headers = nullptr;
    for (auto [name, value] :
         {std::pair{"If-None-Match: ", &request.etag}, std::pair{"If-Modified-Since: ", &request.lastModified}}) {
        if (!IsPlainHeaderValue(*value)) continue;
        curl_slist* longer = curl_slist_append(headers, (name + *value).c_str());
        if (!longer) break;
        headers = longer;
        transfer->conditional = true;
    }
    transfer->requestHeaders.reset(headers);
    if (headers) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    return easy;
}

void Finish(CURL* easy, CURLcode code) {
    Transfer* transfer = nullptr;
    curl_easy_getinfo(easy, CURLINFO_PRIVATE, &transfer);
    FetchResult& result = *transfer->result;
    if (code != CURLE_OK) {
        result.error = transfer->overCap          ? "the document is larger than the size limit"
                       : transfer->errorBuffer[0] ? transfer->errorBuffer
                                                  : curl_easy_strerror(code);
        result.secureConnectionFailed = IsSecureConnectionFailure(code);
        return;
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    const bool success = status >= 200 && status <= 299;
    const bool notModified = status == 304 && transfer->conditional;
    curl_off_t retryAfter = 0;
    if (curl_easy_getinfo(easy, CURLINFO_RETRY_AFTER, &retryAfter) != CURLE_OK) retryAfter = 0;
    long quiet = static_cast<long>(std::clamp<curl_off_t>(retryAfter, 0, kMaxQuietSeconds));
    if (success || notModified) quiet = std::max(quiet, MaxAgeSeconds(transfer->headers.cacheControl));
    result.quietSeconds = std::clamp(quiet, 0L, kMaxQuietSeconds);
    if (!success && !notModified) {
        result.error = "HTTP status " + std::to_string(status);
        return;
    }
    result.ok = true;
    result.notModified = notModified;
    const AnswerHeaders& headers = transfer->headers;
    // A 304 may leave out validators that have not changed: the ones sent still hold then.
    result.etag = !headers.etag.empty() || !notModified ? headers.etag : transfer->request->etag;
    result.lastModified =
        !headers.lastModified.empty() || !notModified ? headers.lastModified : transfer->request->lastModified;
    if (notModified) result.body.clear();
}

}  // namespace

std::vector<FetchResult> FetchFeeds(const std::vector<FetchRequest>& requests, const FetchLimits& limits,
                                    const std::stop_token& stop) {
    EnsureCurlReady();
    std::vector<FetchResult> results(requests.size());
    std::vector<Transfer> transfers(requests.size());
    TransferSockets sockets;  // outlives the multi handle, which closes the connections it keeps
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), curl_multi_cleanup);
    std::vector<CURL*> handles;
    for (size_t i = 0; i < requests.size(); ++i) {
        transfers[i].request = &requests[i];
        transfers[i].result = &results[i];
        transfers[i].maxBytes = limits.maxBytes;
        CURL* easy = multi ? MakeHandle(limits, &transfers[i], sockets) : nullptr;
        if (!easy || curl_multi_add_handle(multi.get(), easy) != CURLM_OK) {
            if (easy) curl_easy_cleanup(easy);
            results[i].error = "cannot start the transfer";
            continue;
        }
        handles.push_back(easy);
    }
    if (!handles.empty()) {
        // libcurl ends every fetch at its total time-out; the watchdog is only the safety net.
        RunTransfers(multi.get(), sockets, stop, limits.totalTimeoutMs + kWatchdogMarginMs);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &left))
            if (message->msg == CURLMSG_DONE) Finish(message->easy_handle, message->data.result);
    }
    for (CURL* easy : handles) {
        curl_multi_remove_handle(multi.get(), easy);
        curl_easy_cleanup(easy);
    }
    for (FetchResult& result : results) {
        if (!result.ok && result.error.empty())
            result.error = stop.stop_requested() ? "the read was stopped" : "the transfer did not finish";
        if (!result.ok) result.body.clear();
    }
    return results;
}

}  // namespace plx
