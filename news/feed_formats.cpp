// Walking RSS 1.0, RSS 2.0 and Atom documents. Only character data is taken from a document:
// entity references are skipped, never expanded, in element text and attributes alike.
#include "news/feed_formats.h"

#include <cstring>
#include <vector>

#include "common/sjis.h"

namespace plx {
namespace {

constexpr const char* kAtomNamespace = "http://www.w3.org/2005/Atom";
constexpr const char* kRss10Namespace = "http://purl.org/rss/1.0/";
constexpr const char* kDublinCoreNamespace = "http://purl.org/dc/elements/1.1/";

const char* Text(const xmlChar* text) {
    return reinterpret_cast<const char*>(text);
}

const char* NamespaceOf(const xmlNode* node) {
    return node->ns && node->ns->href ? Text(node->ns->href) : nullptr;
}

bool SameNamespace(const char* a, const char* b) {
    return (a == nullptr && b == nullptr) || (a != nullptr && b != nullptr && std::strcmp(a, b) == 0);
}

// An element called `name` in namespace `ns` (null: in no namespace).
bool IsElement(const xmlNode* node, const char* ns, const char* name) {
    return node->type == XML_ELEMENT_NODE && std::strcmp(Text(node->name), name) == 0 &&
           SameNamespace(NamespaceOf(node), ns);
}

std::vector<const xmlNode*> ChildElements(const xmlNode* node) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) children.push_back(child);
    return children;
}

const xmlNode* FirstChild(const xmlNode* node, const char* ns, const char* name) {
    for (const xmlNode* child = node->children; child; child = child->next)
        if (IsElement(child, ns, name)) return child;
    return nullptr;
}

// The character data below a node, UTF-8.
void AppendText(const xmlNode* node, std::string* out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            if (child->content) *out += Text(child->content);
        } else if (child->type == XML_ELEMENT_NODE) {
            AppendText(child, out);
        }
    }
}

// The text of `node` in CP932; empty for no node.
std::string TextOf(const xmlNode* node) {
    if (!node) return {};
    std::string utf8;
    AppendText(node, &utf8);
    return Utf8ToCp932(utf8);
}

// The value of an attribute in no namespace, UTF-8; empty when it is missing.
std::string AttributeOf(const xmlNode* node, const char* name) {
    for (const xmlAttr* attribute = node->properties; attribute; attribute = attribute->next) {
        if (attribute->ns || std::strcmp(Text(attribute->name), name) != 0) continue;
        std::string value;
        for (const xmlNode* part = attribute->children; part; part = part->next)
            if (part->type == XML_TEXT_NODE && part->content) value += Text(part->content);
        return value;
    }
    return {};
}

// The first date among `candidates` that reads as one.
std::string FirstDate(std::initializer_list<const xmlNode*> candidates) {
    for (const xmlNode* node : candidates) {
        if (!node) continue;
        std::string date = ItemDate(TextOf(node));
        if (date != kNoDate) return date;
    }
    return kNoDate;
}

// RSS 1.0 and anything that is neither RSS 2.0 nor Atom: the root's first child element is the
// channel and every further one an item. Titles and links are those of RSS 1.0, or in no
// namespace, or in the namespace of the element holding them; the date is Dublin Core's.
const xmlNode* Rss10Child(const xmlNode* parent, const char* name) {
    for (const xmlNode* child = parent->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || std::strcmp(Text(child->name), name) != 0) continue;
        const char* ns = NamespaceOf(child);
        if (!ns || std::strcmp(ns, kRss10Namespace) == 0 || SameNamespace(ns, NamespaceOf(parent))) return child;
    }
    return nullptr;
}

std::optional<Feed> ReadRss10(const xmlNode* root, std::string* error) {
    std::vector<const xmlNode*> children = ChildElements(root);
    if (children.empty()) {
        *error = "the root element has no children";
        return std::nullopt;
    }
    Feed feed;
    feed.channelTitle = TextOf(Rss10Child(children[0], "title"));
    feed.channelLink = TextOf(Rss10Child(children[0], "link"));
    for (std::size_t k = 1; k < children.size(); ++k) {
        FeedItem item;
        item.title = TextOf(Rss10Child(children[k], "title"));
        item.link = TextOf(Rss10Child(children[k], "link"));
        const xmlNode* date = FirstChild(children[k], kDublinCoreNamespace, "date");
        item.date = date ? ItemDate(TextOf(date)) : kNoDate;
        feed.items.push_back(std::move(item));
    }
    return feed;
}

// RSS 2.0 (and 0.9x): rss/channel with its items inside, all in no namespace; the date is the
// RFC 822 pubDate, or else a Dublin Core date.
std::optional<Feed> ReadRss20(const xmlNode* root, std::string* error) {
    const xmlNode* channel = FirstChild(root, nullptr, "channel");
    if (!channel) {
        *error = "the document has no channel";
        return std::nullopt;
    }
    Feed feed;
    feed.channelTitle = TextOf(FirstChild(channel, nullptr, "title"));
    feed.channelLink = TextOf(FirstChild(channel, nullptr, "link"));
    for (const xmlNode* node = channel->children; node; node = node->next) {
        if (!IsElement(node, nullptr, "item")) continue;
        FeedItem item;
        item.title = TextOf(FirstChild(node, nullptr, "title"));
        item.link = TextOf(FirstChild(node, nullptr, "link"));
        item.date = FirstDate({FirstChild(node, nullptr, "pubDate"), FirstChild(node, kDublinCoreNamespace, "date")});
        feed.items.push_back(std::move(item));
    }
    return feed;
}

// An Atom element's address for people: its first link whose relation is "alternate" or not given.
std::string AtomAlternateLink(const xmlNode* node) {
    for (const xmlNode* link = node->children; link; link = link->next) {
        if (!IsElement(link, kAtomNamespace, "link")) continue;
        std::string relation = AttributeOf(link, "rel");
        if (relation.empty() || relation == "alternate" ||
            relation == "http://www.iana.org/assignments/relation/alternate")
            return Utf8ToCp932(AttributeOf(link, "href"));
    }
    return {};
}

// Atom 1.0: feed with its entries; an entry's date is when it was last updated, or else published.
std::optional<Feed> ReadAtom(const xmlNode* root) {
    Feed feed;
    feed.channelTitle = TextOf(FirstChild(root, kAtomNamespace, "title"));
    feed.channelLink = AtomAlternateLink(root);
    for (const xmlNode* node = root->children; node; node = node->next) {
        if (!IsElement(node, kAtomNamespace, "entry")) continue;
        FeedItem item;
        item.title = TextOf(FirstChild(node, kAtomNamespace, "title"));
        item.link = AtomAlternateLink(node);
        item.date =
            FirstDate({FirstChild(node, kAtomNamespace, "updated"), FirstChild(node, kAtomNamespace, "published")});
        feed.items.push_back(std::move(item));
    }
    return feed;
}

}  // namespace

std::optional<Feed> ReadFeedDocument(const xmlNode* root, std::string* error) {
    std::string why;
    std::optional<Feed> feed;
    if (IsElement(root, nullptr, "rss"))
        feed = ReadRss20(root, &why);
    else if (IsElement(root, kAtomNamespace, "feed"))
        feed = ReadAtom(root);
    else
        feed = ReadRss10(root, &why);
    if (!feed && error) *error = why;
    return feed;
}

}  // namespace plx
