// The transfer loop over libcurl's multi interface.
#include "common/net/transfer_loop.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

namespace plx {
namespace {

// libcurl shortens this to its own next time-out; it only bounds a wait with nothing to do.
constexpr int kLongestWaitMs = 1000;

// Shuts the transfers' connections down once `limitMs` has passed, unless it is ended first.
class Watchdog {
public:
    Watchdog(CURLM* multi, TransferSockets& sockets, long limitMs) {
        if (limitMs <= 0) return;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        thread_ = std::jthread([this, multi, &sockets, deadline](std::stop_token ended) {
            std::mutex mutex;
            std::condition_variable_any wait;
            std::unique_lock<std::mutex> lock(mutex);
            wait.wait_until(lock, ended, deadline, [] { return false; });
            if (ended.stop_requested()) return;
            expired_ = true;
            sockets.ShutDownAll();
            curl_multi_wakeup(multi);
        });
    }
    bool Expired() const { return expired_; }

private:
    std::atomic<bool> expired_{false};
    std::jthread thread_;  // last: stopped and joined before the rest goes
};

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

bool RunTransfers(CURLM* multi, TransferSockets& sockets, const std::stop_token& stop, long limitMs, bool* expired) {
    // curl_multi_wakeup is the one multi call that may come from another thread.
    std::stop_callback wake(stop, [multi, &sockets] {
        sockets.ShutDownAll();
        curl_multi_wakeup(multi);
    });
    Watchdog watchdog(multi, sockets, limitMs);
    int running = 0;
    bool going = curl_multi_perform(multi, &running) == CURLM_OK;
    while (going && running > 0 && !stop.stop_requested()) {
        going = curl_multi_poll(multi, nullptr, 0, kLongestWaitMs, nullptr) == CURLM_OK && !stop.stop_requested() &&
                curl_multi_perform(multi, &running) == CURLM_OK;
    }
    if (expired) *expired = watchdog.Expired();
    return !stop.stop_requested();
}

}  // namespace plx
