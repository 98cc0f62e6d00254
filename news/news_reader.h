// ReadNews: reads every listed feed, writes PLX_NEWS.html and tells whether newer news arrived.
#pragma once

#include <functional>
#include <string>

#include "news/feed_fetch.h"

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
    // Lets the window process its events while feeds load and between feeds.
    std::function<void()> pumpEvents;
};

// "PLX_NEWS.html" in the program folder.
std::string NewsPagePath();

// One read. Fetches the feeds of PLX_RSS.DAT (creating it with the default address when it is
// missing), writes the page whole, shows it on the first read and whenever newer news arrived,
// and raises NEWS_LAST_RLSDTTM. True when an item newer than the old NEWS_LAST_RLSDTTM arrived.
bool ReadNews(NewsPageViewer& viewer, const NewsReadOptions& options = {});

// How writing the page ended.
enum class PageWrite { Written, CannotOpen, ShortWrite };

// Writes `bytes` to `path` whole: a temporary file beside it, then renamed over it, so a reader
// never sees half a page.
PageWrite WritePageFile(const std::string& path, const std::string& bytes);

}  // namespace plx
