// Fetching every feed of the list at once over HTTP and HTTPS, with time-outs, a size cap and
// conditional requests.
#pragma once

#include <cstddef>
#include <stop_token>
#include <string>
#include <vector>

namespace plx {

struct FetchLimits {
    long connectTimeoutMs = 5000;  // name lookup included
    long totalTimeoutMs = 15000;   // per feed, from the start of the fetch, name lookup included
    std::size_t maxBytes = 5 * 1024 * 1024;
    // Certificates to trust for https instead of the system's store (empty: the system's store).
    std::string caFile;
};

// The longest a server's Cache-Control max-age or Retry-After keeps a feed from being asked again.
inline constexpr long kMaxQuietSeconds = 60 * 60;

// One feed to fetch, with the validators of the copy the caller already holds, if any.
struct FetchRequest {
    std::string address;
    std::string etag;          // sent back as If-None-Match when not empty
    std::string lastModified;  // sent back as If-Modified-Since when not empty
};

struct FetchResult {
    bool ok = false;
    // The server answered 304 to a conditional request: the caller's copy is still current (`ok`
    // is true and the body empty).
    bool notModified = false;
    std::string body;   // the document as received (undecoded bytes)
    std::string error;  // why it failed
    // The failure is a secure connection that could not be made or a certificate that did not
    // verify: worth telling the user, who may have to act on it.
    bool secureConnectionFailed = false;
    // The validators of the answer (on a 304, of the copy the caller holds), to send back next time.
    std::string etag;
    std::string lastModified;
    // How long the server asked not to be asked again (Cache-Control max-age on a success,
    // Retry-After on any answer), at most kMaxQuietSeconds; 0 when it did not say.
    long quietSeconds = 0;
};

// Fetches all `requests` in parallel (http and https only, redirects followed) and returns one
// result per request, in the same order. A status outside 200-299 (other than a 304 to a
// conditional request), a time-out or a document over the cap is a failure. Blocks the calling
// thread until every fetch has ended, so it is meant for a worker thread; a stop request ends it
// at once, every unfinished fetch failing. Touches no program state.
std::vector<FetchResult> FetchFeeds(const std::vector<FetchRequest>& requests, const FetchLimits& limits,
                                    const std::stop_token& stop = {});

}  // namespace plx
