// The transfer loop over libcurl's multi interface.
#include "common/net/transfer_loop.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace plx {
namespace {

// libcurl shortens this to its own next time-out; it only bounds a wait with nothing to do.
constexpr int kLongestWaitMs = 1000;

}  // namespace

void TransferSockets::ShutDownAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    shutDown_ = true;
    for (curl_socket_t socket : open_) ::shutdown(socket, SHUT_RDWR);
}

curl_socket_t TransferSockets::Open(void* self, curlsocktype, curl_sockaddr* address) {
    auto* sockets = static_cast<TransferSockets*>(self);
    std::lock_guard<std::mutex> lock(sockets->mutex_);
    if (sockets->shutDown_) return CURL_SOCKET_BAD;
    curl_socket_t socket = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD) sockets->open_.push_back(socket);
    return socket;
}

int TransferSockets::Close(void* self, curl_socket_t socket) {
    auto* sockets = static_cast<TransferSockets*>(self);
    // Closed under the lock, so a shut-down from another thread never meets a reused number.
    std::lock_guard<std::mutex> lock(sockets->mutex_);
    sockets->open_.erase(std::remove(sockets->open_.begin(), sockets->open_.end(), socket), sockets->open_.end());
    return ::close(socket);
}

void SetCommonTransferOptions(CURL* easy, TransferSockets& sockets) {
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETFUNCTION, &TransferSockets::Open);
    curl_easy_setopt(easy, CURLOPT_OPENSOCKETDATA, &sockets);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETFUNCTION, &TransferSockets::Close);
    curl_easy_setopt(easy, CURLOPT_CLOSESOCKETDATA, &sockets);
}

bool RunTransfers(CURLM* multi, TransferSockets& sockets, const std::stop_token& stop) {
    // curl_multi_wakeup is the one multi call that may come from another thread.
    std::stop_callback wake(stop, [multi, &sockets] {
        sockets.ShutDownAll();
        curl_multi_wakeup(multi);
    });
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) return !stop.stop_requested();
    while (running > 0 && !stop.stop_requested()) {
        if (curl_multi_poll(multi, nullptr, 0, kLongestWaitMs, nullptr) != CURLM_OK) break;
        if (stop.stop_requested()) break;
        if (curl_multi_perform(multi, &running) != CURLM_OK) break;
    }
    return !stop.stop_requested();
}

}  // namespace plx
