// Reading a fetched feed document: the channel (the root's first child) and the items (the
// root's further children), with every text converted to CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The mark of an item that has no date.
inline constexpr const char* kNoDate = "00000000000000";

// The release mark YYYYMMDDHHNNSS of an item from its date text: a W3C date-time (the date, the
// hour and minute, or the seconds too, with or without fractions and zone; the fields of the
// feed's own local time, the zone dropped), or the fourteen digits themselves. A missing minute
// or time counts as 00. Any other text is no date (kNoDate): the mark goes into the settings file
// and the page, and only digits may.
std::string ItemDate(std::string_view dateText);

// Parses a feed document in any encoding it declares. The parser never touches the network or
// the file system, substitutes no entities and loads no DTD. Empty when the document is not
// well-formed or its root has no child element; `error` then says why.
std::optional<Feed> ParseFeed(std::string_view document, std::string* error);

}  // namespace plx
