// ReadNews: reads every listed feed, writes PLX_NEWS.html and tells whether newer news arrived.
// It comes in two halves so that the slow one can run on a worker thread: ReadFeeds (network,
// parsing and the page text; no program state) and PublishNews (the page file, the view and the
// news mark; the user-interface thread).
#pragma once

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

// The first half of a read, safe on any thread: fetches and parses every address (in parallel,
// within `limits`) and builds the page, with the items newer than `startupMark` as new articles.
// Reads and writes nothing but the network. A stop request ends the fetches at once; the page
// then reports the unfinished feeds as failed (the caller drops it).
NewsPage ReadFeeds(const std::vector<std::string>& addresses, const std::string& startupMark, const FetchLimits& limits,
                   const std::stop_token& stop = {});

// The second half, on the user-interface thread: writes the page whole, shows it on the first read
// and whenever newer news arrived, and raises NEWS_LAST_RLSDTTM. True when an item newer than the
// old NEWS_LAST_RLSDTTM arrived.
bool PublishNews(const NewsPage& page, NewsPageViewer& viewer);

// One whole read on the calling thread: the feeds of PLX_RSS.DAT (created with the default address
// when it is missing), ReadFeeds, then PublishNews.
bool ReadNews(NewsPageViewer& viewer, const NewsReadOptions& options = {});

// How writing the page ended.
enum class PageWrite { Written, CannotOpen, ShortWrite };

// Writes `bytes` to `path` whole: a temporary file beside it, then renamed over it, so a reader
// never sees half a page.
PageWrite WritePageFile(const std::string& path, const std::string& bytes);

}  // namespace plx
