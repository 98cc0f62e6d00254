// ReadNews: reads every listed feed, writes PLX_NEWS.html and tells whether newer news arrived.
// It comes in two halves so that the slow one can run on a worker thread: ReadFeeds (network,
// parsing and the page text; no program state) and PublishNews (the page file, the view and the
// news mark; the user-interface thread).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "news/feed_fetch.h"
#include "news/news_page.h"

namespace plx {

// Where the page is shown. The tag counts the navigations; it is 0 until the first one.
class NewsPageViewer {
public:
    virtual ~NewsPageViewer() = default;
    virtual int Tag() const = 0;
    // Shows the page file afresh (navigate, then refresh) and adds 1 to the tag.
    virtual void Navigate(const std::string& pagePath) = 0;
};

struct NewsReadOptions {
    FetchLimits limits;
};

// "PLX_NEWS.html" in the program folder.
std::string NewsPagePath();

// What the reads of a run remember of one feed address, so that the next read can ask the server
// whether the feed changed, reuse its items when it did not, and leave it alone for as long as
// the server asked.
struct FeedMemory {
    std::optional<Feed> feed;  // the last document read whole
    std::string etag;          // its validators
    std::string lastModified;
    bool lastFailed = false;        // the last read of the address failed ...
    std::string failureReason;      // ... with this reason for the page
    std::int64_t quietUntilMs = 0;  // the tick count before which the address is not asked again
};

// By address as listed. Owned by whoever reads the news for the run, and handed to each read by
// value: the worker never shares it.
using FeedMemories = std::map<std::string, FeedMemory>;

struct FeedsRead {
    NewsPage page;
    FeedMemories memory;  // for the next read: the listed addresses only
};

// The first half of a read, safe on any thread: fetches and parses every address (in parallel,
// within `limits`) and builds the page, with the items newer than `startupMark` as new articles.
// `memory` is what the earlier reads of the run left (`nowMs` is the tick count at the start of
// this read): a feed the server asked to leave alone is not fetched, the others are asked with
// their validators, and a feed the server reports unchanged gives the items it gave last time.
// Reads and writes nothing but the network. A stop request ends the fetches at once; the page
// then reports the unfinished feeds as failed (the caller drops it).
FeedsRead ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark,
                    const FetchLimits& limits, FeedMemories memory, std::int64_t nowMs,
                    const std::stop_token& stop = {});
// A read with nothing remembered.
NewsPage ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark, const FetchLimits& limits,
                   const std::stop_token& stop = {});

// The second half, on the user-interface thread: writes the page whole, shows it on the first read
// and whenever newer news arrived, and raises NEWS_LAST_RLSDTTM. True when an item newer than the
// old NEWS_LAST_RLSDTTM arrived.
bool PublishNews(const NewsPage& page, NewsPageViewer& viewer);

// One whole read on the calling thread: the feeds of PLX_RSS.DAT (created with the default address
// when it is missing), ReadFeeds, then PublishNews. `memory`, when given, is used and updated as
// the run's memory of the feeds.
bool ReadNews(NewsPageViewer& viewer, const NewsReadOptions& options = {}, FeedMemories* memory = nullptr);

// How writing the page ended.
enum class PageWrite { Written, CannotOpen, ShortWrite };

// Writes `bytes` to `path` whole: a temporary file beside it, then renamed over it, so a reader
// never sees half a page.
PageWrite WritePageFile(const std::string& path, const std::string& bytes);

}  // namespace plx
