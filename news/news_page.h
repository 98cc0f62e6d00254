// The news page PLX_NEWS.html, built in memory in CP932 with LF line ends, and the release
// marks of one read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "news/feed_parse.h"

namespace plx {

// One listed address and what reading it gave (empty when it could not be read).
struct FeedOutcome {
    std::string address;
    std::optional<Feed> feed;
    // Why it could not be read, when that is worth showing beside the address (empty: not shown).
    std::string failureReason = {};
};

struct NewsPage {
    std::string html;
    // The newest date of the items newer than the start-up mark; "00000000000000" when none.
    std::string latest;
};

// Builds the page from the outcomes in list order. Items whose date is greater than
// `startupMark` are gathered, newest first, under the new-articles heading.
NewsPage BuildNewsPage(const std::vector<FeedOutcome>& outcomes, const std::string& startupMark);

// True when the read that built `page` found an item with a real date that is newer than the
// news mark NEWS_LAST_RLSDTTM: the one case for the new-news notice and for raising the mark.
bool NewerNewsArrived(const NewsPage& page, const std::string& newsMark);

// Text from the network as HTML text: &, <, > and " escaped.
std::string HtmlEscape(const std::string& text);

// True when the address starts with http:// or https:// (any case, leading blanks skipped).
bool IsWebAddress(const std::string& address);

}  // namespace plx
