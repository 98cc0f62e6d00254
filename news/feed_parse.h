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

// The release mark of an item from its date text: "-", "/", ":" and "T" removed, cut to 14
// bytes (never inside a double-byte character).
std::string ItemDate(std::string_view dateText);

// The mark of an item that has no date.
inline constexpr const char* kNoDate = "00000000000000";

// Parses a feed document in any encoding it declares. The parser never touches the network or
// the file system, substitutes no entities and loads no DTD. Empty when the document is not
// well-formed or its root has no child element; `error` then says why.
std::optional<Feed> ParseFeed(std::string_view document, std::string* error);

}  // namespace plx
