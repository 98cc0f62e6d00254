// Parallel feed fetching with libcurl's multi interface.
#include "news/feed_fetch.h"

#include <curl/curl.h>

#include <memory>

#include "common/net/curl_global.h"
#include "common/net/transfer_loop.h"

namespace plx {
namespace {

constexpr long kWatchdogMarginMs = 1000;

struct Transfer {
    FetchResult* result = nullptr;
    std::size_t maxBytes = 0;
    bool overCap = false;
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

CURL* MakeHandle(const std::string& address, const FetchLimits& limits, Transfer* transfer, TransferSockets& sockets) {
    CURL* easy = curl_easy_init();
    if (!easy) return nullptr;
    curl_easy_setopt(easy, CURLOPT_URL, address.c_str());
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
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorBuffer);
    curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer);
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
        return;
    }
    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299) {
        result.error = "HTTP status " + std::to_string(status);
        return;
    }
    result.ok = true;
}

}  // namespace

std::vector<FetchResult> FetchFeeds(const std::vector<std::string>& addresses, const FetchLimits& limits,
                                    const std::stop_token& stop) {
    EnsureCurlReady();
    std::vector<FetchResult> results(addresses.size());
    std::vector<Transfer> transfers(addresses.size());
    TransferSockets sockets;  // outlives the multi handle, which closes the connections it keeps
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi(curl_multi_init(), curl_multi_cleanup);
    std::vector<CURL*> handles;
    for (size_t i = 0; i < addresses.size(); ++i) {
        transfers[i].result = &results[i];
        transfers[i].maxBytes = limits.maxBytes;
        CURL* easy = multi ? MakeHandle(addresses[i], limits, &transfers[i], sockets) : nullptr;
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
