// Feed documents through libxml2, hardened against what a remote document may carry.
#include "news/feed_parse.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <climits>
#include <memory>
#include <mutex>

#include "news/feed_formats.h"

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

struct DocFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};

}  // namespace

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
    std::string why;
    std::optional<Feed> feed = ReadFeedDocument(root, &why);
    if (!feed) return fail(why);
    return feed;
}

}  // namespace plx
