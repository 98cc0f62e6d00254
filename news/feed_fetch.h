// Fetching every feed of the list at once over HTTP, with time-outs and a size cap.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace plx {

struct FetchLimits {
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 15000;  // per feed, from the start of the fetch
    std::size_t maxBytes = 5 * 1024 * 1024;
};

struct FetchResult {
    bool ok = false;
    std::string body;   // the document as received (undecoded bytes)
    std::string error;  // why it failed, for diagnostics
};

// Fetches all `addresses` in parallel (http and https only, redirects followed) and returns one
// result per address, in the same order. A status outside 200-299, a time-out or a document over
// the cap is a failure. `pumpEvents`, when given, is called about every 50 ms while waiting, so
// the window can go on processing its events.
std::vector<FetchResult> FetchFeeds(const std::vector<std::string>& addresses, const FetchLimits& limits,
                                    const std::function<void()>& pumpEvents);

}  // namespace plx
