// Driving libcurl transfers on a worker thread: every wait honours its time-outs, and a stop
// request from another thread ends the transfers at once, whatever step they are at.
#pragma once

#include <curl/curl.h>

#include <mutex>
#include <stop_token>
#include <vector>

namespace plx {

// The connections of one set of transfers. Kept so that a stop request can shut them down from
// another thread: libcurl itself waits, in places, for a server's answer without looking at
// anything else (an SMTP server's answer to the end of the message, for one), and a connection
// shut down ends that wait at once. Must outlive the transfers and their multi handle.
class TransferSockets {
public:
    // Shuts every open connection down and refuses new ones; safe from any thread.
    void ShutDownAll();

    static curl_socket_t Open(void* self, curlsocktype purpose, curl_sockaddr* address);
    static int Close(void* self, curl_socket_t socket);

private:
    std::mutex mutex_;
    std::vector<curl_socket_t> open_;
    bool shutDown_ = false;
};

// The options every transfer of the program sets, whatever its protocol: its connections go
// through `sockets`, no signals (the transfer runs on a worker thread), and no waiting for a name
// lookup that is still running when the transfer ends (libcurl would otherwise join its resolver
// thread, however long the lookup hangs, and so overstay every time-out).
void SetCommonTransferOptions(CURL* easy, TransferSockets& sockets);

// Runs the transfers added to `multi` until every one has finished or `stop` is requested. A stop
// request shuts their connections down and wakes the wait at once. Returns false when it stopped
// early (the unfinished transfers are then left for the caller to remove, which no longer waits).
//
// `limitMs`, when above 0, is a hard bound on the whole run, kept by a watchdog: libcurl's own
// time-outs bound most waits, but not all (after an SMTP server's silence at the end of the
// message libcurl still says QUIT and waits a full response time-out for the answer). When the
// limit passes, the connections are shut down, so the transfers fail at once, and `expired` (when
// given) is set.
bool RunTransfers(CURLM* multi, TransferSockets& sockets, const std::stop_token& stop, long limitMs = 0,
                  bool* expired = nullptr);

}  // namespace plx
