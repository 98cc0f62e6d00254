// The feed shapes the reader understands, walked over a parsed document: RSS 1.0 (and any other
// document, the items beside the channel), RSS 2.0 (the items inside the channel) and Atom 1.0.
#pragma once

#include <libxml/tree.h>

#include <optional>
#include <string>

#include "news/feed_parse.h"

namespace plx {

// The channel and items of the document whose root element is `root`, its texts in CP932.
// Elements are told apart by namespace, whatever prefix the document gives them. Empty when the
// document holds no channel; `error` then says why.
std::optional<Feed> ReadFeedDocument(const xmlNode* root, std::string* error);

}  // namespace plx
