// Feed documents through libxml2, hardened against what a remote document may carry.
#include "news/feed_parse.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>
#include <mutex>

#include "common/sjis.h"
#include "common/textutil.h"

namespace plx {
namespace {

void InitXmlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        // Japanese feeds that declare Shift_JIS or EUC-JP are written with the Windows and
        // Microsoft extensions (circled digits, NEC and IBM characters), which the strict
        // converters reject; decode them with the supersets instead.
        for (const char* alias : {"SHIFT_JIS", "SHIFT-JIS", "SJIS", "X-SJIS", "MS_KANJI", "CSSHIFTJIS", "WINDOWS-31J"})
            xmlAddEncodingAlias("CP932", alias);
        for (const char* alias : {"EUC-JP", "EUCJP", "X-EUC-JP"}) xmlAddEncodingAlias("EUC-JP-MS", alias);
    });
}

xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

void IgnoreError(void*, const char*, ...) {}

// For the time of one parse: a loader that refuses every external resource, and no error text
// on stderr (a bad feed is reported on the page, and the converters print outside the parser's
// own error switches).
class ParseGuard {
public:
    ParseGuard()
        : loader_(xmlGetExternalEntityLoader()),
          errorFunction_(xmlGenericError),
          errorContext_(xmlGenericErrorContext) {
        xmlSetExternalEntityLoader(RefuseExternalEntity);
        xmlSetGenericErrorFunc(nullptr, IgnoreError);
    }
    ~ParseGuard() {
        xmlSetExternalEntityLoader(loader_);
        xmlSetGenericErrorFunc(errorContext_, errorFunction_);
    }
    ParseGuard(const ParseGuard&) = delete;
    ParseGuard& operator=(const ParseGuard&) = delete;

private:
    xmlExternalEntityLoader loader_;
    xmlGenericErrorFunc errorFunction_;
    void* errorContext_;
};

std::string NodeName(const xmlNode* node) {
    std::string name = reinterpret_cast<const char*>(node->name);
    if (node->ns && node->ns->prefix) return reinterpret_cast<const char*>(node->ns->prefix) + (":" + name);
    return name;
}

std::vector<const xmlNode*> ChildElements(const xmlNode* node) {
    std::vector<const xmlNode*> children;
    for (const xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE) children.push_back(child);
    return children;
}

// The character data below a node. Entity references are skipped, never expanded.
void AppendText(const xmlNode* node, std::string* out) {
    for (const xmlNode* child = node->children; child; child = child->next) {
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            if (child->content) *out += reinterpret_cast<const char*>(child->content);
        } else if (child->type == XML_ELEMENT_NODE) {
            AppendText(child, out);
        }
    }
}

const xmlNode* FirstChildNamed(const xmlNode* node, const std::string& name) {
    for (const xmlNode* child : ChildElements(node))
        if (NodeName(child) == name) return child;
    return nullptr;
}

// The text of the first child element called `name`, in CP932; empty when there is none.
std::string ChildText(const xmlNode* node, const char* name) {
    const xmlNode* child = FirstChildNamed(node, name);
    if (!child) return {};
    std::string utf8;
    AppendText(child, &utf8);
    return Utf8ToCp932(utf8);
}

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

std::string ItemDate(std::string_view dateText) {
    // Blanks and line breaks around the text are the document's layout, not part of the date.
    size_t begin = dateText.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos) return kNoDate;
    std::string_view text = dateText.substr(begin, dateText.find_last_not_of(" \t\r\n") - begin + 1);
    size_t at = 0;
    // Takes `count` digits at the reading position into the mark; false when they are not there.
    std::string mark;
    auto digits = [&](size_t count) {
        for (size_t i = 0; i < count; ++i, ++at)
            if (at >= text.size() || text[at] < '0' || text[at] > '9') return false;
        mark.append(text.substr(at - count, count));
        return true;
    };
    auto literal = [&](char c) { return at < text.size() && text[at] == c ? (++at, true) : false; };
    auto done = [&] { return at == text.size(); };
    if (text.size() == 14 && digits(14)) return mark;
    mark.clear();
    at = 0;
    // YYYY-MM-DD, then optionally Thh:mm, then optionally :ss and a fraction, then a zone.
    if (!digits(4) || !literal('-') || !digits(2) || !literal('-') || !digits(2)) return kNoDate;
    if (done()) return mark + "000000";
    if (!literal('T') || !digits(2) || !literal(':') || !digits(2)) return kNoDate;
    if (literal(':')) {
        if (!digits(2)) return kNoDate;
        if (literal('.')) {
            size_t fraction = at;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
            if (at == fraction) return kNoDate;
        }
    } else {
        mark += "00";
    }
    if (done() || (literal('Z') && done())) return mark;
    if (!literal('+') && !literal('-')) return kNoDate;
    const std::string withoutZone = mark;  // the fields are the feed's local time; the zone is dropped
    if (!digits(2) || !literal(':') || !digits(2) || !done()) return kNoDate;
    return withoutZone;
}

std::optional<Feed> ParseFeed(std::string_view document, std::string* error) {
    InitXmlOnce();
    auto fail = [&](std::string why) -> std::optional<Feed> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (document.size() > static_cast<size_t>(INT_MAX)) return fail("the document is too large");
    std::unique_ptr<xmlParserCtxt, ContextFree> context(xmlNewParserCtxt());
    if (!context) return fail("out of memory");
    // No XML_PARSE_NOENT (entity substitution), XML_PARSE_DTDLOAD or XML_PARSE_HUGE.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocFree> doc;
    {
        ParseGuard guard;
        doc.reset(xmlCtxtReadMemory(context.get(), document.data(), static_cast<int>(document.size()), nullptr, nullptr,
                                    options));
    }
    if (!doc || !context->wellFormed) {
        const char* message = context->lastError.message;
        return fail(message ? message : "the document is not well-formed");
    }
    const xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root) return fail("the document has no root element");
    std::vector<const xmlNode*> children = ChildElements(root);
    if (children.empty()) return fail("the root element has no children");

    Feed feed;
    feed.channelTitle = ChildText(children[0], "title");
    feed.channelLink = ChildText(children[0], "link");
    for (size_t k = 1; k < children.size(); ++k) {
        FeedItem item;
        item.title = ChildText(children[k], "title");
        item.link = ChildText(children[k], "link");
        const xmlNode* date = FirstChildNamed(children[k], "dc:date");
        if (date) {
            std::string utf8;
            AppendText(date, &utf8);
            item.date = ItemDate(Utf8ToCp932(utf8));
        } else {
            item.date = kNoDate;
        }
        feed.items.push_back(std::move(item));
    }
    return feed;
}

}  // namespace plx
