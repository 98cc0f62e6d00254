// Reading a fetched feed document, RSS 1.0, RSS 2.0 or Atom: the channel and its items, with every
// text converted to CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "news/feed_dates.h"

namespace plx {

struct FeedItem {
    std::string title;  // CP932, as in the feed
    std::string link;
    std::string date;  // release mark, see ItemDate
};

struct Feed {
    std::string channelTitle;
    std::string channelLink;
    std::vector<FeedItem> items;
};

// Parses a feed document in any encoding it declares. The parser never touches the network or
// the file system, substitutes no entities and loads no DTD. Empty when the document is not
// well-formed or holds no channel (an RSS 2.0 document without one, any other whose root has no
// child element); `error` then says why.
std::optional<Feed> ParseFeed(std::string_view document, std::string* error);

}  // namespace plx
