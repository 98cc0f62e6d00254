// Fetching every feed of the list at once over HTTP, with time-outs and a size cap.
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
};

struct FetchResult {
    bool ok = false;
    std::string body;   // the document as received (undecoded bytes)
    std::string error;  // why it failed, for diagnostics
};

// Fetches all `addresses` in parallel (http and https only, redirects followed) and returns one
// result per address, in the same order. A status outside 200-299, a time-out or a document over
// the cap is a failure. Blocks the calling thread until every fetch has ended, so it is meant for
// a worker thread; a stop request ends it at once, every unfinished fetch failing. Touches no
// program state.
std::vector<FetchResult> FetchFeeds(const std::vector<std::string>& addresses, const FetchLimits& limits,
                                    const std::stop_token& stop = {});

}  // namespace plx
