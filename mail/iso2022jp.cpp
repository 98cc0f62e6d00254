// CP932 to ISO-2022-JP by JIS row and cell, with MIME header words.
//
// iconv's own CP932 -> ISO-2022-JP path goes through Unicode and stops at every character whose
// CP932 code point differs from the JIS one ("－" U+FF0D against U+2212, "～" against U+301C,
// the NEC circled digits, ...). Shift_JIS is only a rearrangement of the JIS rows, so mapping
// the bytes arithmetically keeps every character where JIS has it.
#include "mail/iso2022jp.h"

#include <iconv.h>

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "common/sjis.h"

namespace plx {
namespace {

constexpr const char* kToJis = "\x1B$B";
constexpr const char* kToAscii = "\x1B(B";
constexpr unsigned char kGeta1 = 0x22, kGeta2 = 0x2E;  // "〓", the usual mark for a missing character

bool IsTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// CP932 code -> its Unicode text, through iconv; empty when CP932 has no character there.
std::string DecodePair(iconv_t cd, unsigned char lead, unsigned char trail) {
    char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return {};
    return std::string(out, static_cast<size_t>(outPtr - out));
}

// The IBM extension codes (lead bytes 0xFA-0xFC) lie outside the 94 JIS rows; each of them has
// a twin with the same Unicode character inside them (mostly the NEC-selected rows 89-92).
// The table is read from the system's CP932 tables once, on first use.
const std::map<std::uint16_t, std::uint16_t>& IbmExtensionTwins() {
    static std::map<std::uint16_t, std::uint16_t> twins;
    static std::once_flag once;
    std::call_once(once, [] {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        std::map<std::string, std::uint16_t> inJisRows;
        for (unsigned lead = 0x81; lead <= 0xEF; ++lead) {
            if (lead > 0x9F && lead < 0xE0) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
                std::string u = DecodePair(cd, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
                if (!u.empty()) inJisRows.emplace(u, static_cast<std::uint16_t>(lead << 8 | trail));  // first wins
            }
        }
        for (unsigned lead = 0xFA; lead <= 0xFC; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
                std::string u = DecodePair(cd, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
                auto hit = inJisRows.find(u);
                if (!u.empty() && hit != inJisRows.end())
                    twins.emplace(static_cast<std::uint16_t>(lead << 8 | trail), hit->second);
            }
        }
        iconv_close(cd);
    });
    return twins;
}

// Full-width twins of the half-width katakana 0xA1-0xDF, in that order.
const std::string& FullWidthKana() {
    static const std::string table = Utf8ToCp932(
        "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラ"
        "リルレロワン゛゜");
    return table;
}

class JisWriter {
public:
    void Ascii(char c) {
        if (inJis_) out_ += kToAscii;
        inJis_ = false;
        out_ += c;
    }
    void Jis(unsigned char j1, unsigned char j2) {
        if (!inJis_) out_ += kToJis;
        inJis_ = true;
        out_ += static_cast<char>(j1);
        out_ += static_cast<char>(j2);
    }
    // A Shift_JIS pair; false when it has no place in the 94 JIS rows.
    bool ShiftJis(unsigned char s1, unsigned char s2) {
        if (s1 >= 0xFA && s1 <= 0xFC) {
            const auto& twins = IbmExtensionTwins();
            auto hit = twins.find(static_cast<std::uint16_t>(s1 << 8 | s2));
            if (hit == twins.end()) return false;
            s1 = static_cast<unsigned char>(hit->second >> 8);
            s2 = static_cast<unsigned char>(hit->second & 0xFF);
        }
        if (s1 >= 0xF0) return false;  // user-defined area
        unsigned lead = s1 >= 0xE0 ? s1 - 0x40u : s1;
        unsigned j1 = (lead - 0x81u) * 2 + 0x21u;
        unsigned j2;
        if (s2 >= 0x9F) {
            ++j1;
            j2 = s2 - 0x7Eu;
        } else {
            j2 = s2 - 0x1Fu - (s2 >= 0x80 ? 1u : 0u);
        }
        if (j1 < 0x21 || j1 > 0x7E || j2 < 0x21 || j2 > 0x7E) return false;
        Jis(static_cast<unsigned char>(j1), static_cast<unsigned char>(j2));
        return true;
    }
    std::string Finish() {
        if (inJis_) out_ += kToAscii;
        inJis_ = false;
        return std::move(out_);
    }

private:
    std::string out_;
    bool inJis_ = false;
};

size_t HalfWidthKana(JisWriter& w, std::string_view text, size_t i) {
    const std::string& table = FullWidthKana();
    auto c = static_cast<unsigned char>(text[i]);
    size_t at = static_cast<size_t>(c - 0xA1) * 2;
    auto s1 = static_cast<unsigned char>(table[at]);
    auto s2 = static_cast<unsigned char>(table[at + 1]);
    // A following sound mark joins the kana before it, as in "ｶﾞ" -> "ガ", "ﾊﾟ" -> "パ", "ｳﾞ" -> "ヴ".
    unsigned char mark = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    bool voiced = (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE);
    if (mark == 0xDE && voiced) {
        w.ShiftJis(s1, static_cast<unsigned char>(s2 + 1));
        return 2;
    }
    if (mark == 0xDE && c == 0xB3) {
        w.ShiftJis(0x83, 0x94);
        return 2;
    }
    if (mark == 0xDF && c >= 0xCA && c <= 0xCE) {
        w.ShiftJis(s1, static_cast<unsigned char>(s2 + 2));
        return 2;
    }
    w.ShiftJis(s1, s2);
    return 1;
}

std::string Base64(std::string_view bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += digits[v >> 6 & 63];
        out += digits[v & 63];
    }
    if (i + 1 == bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16 | static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += digits[v >> 18 & 63];
        out += digits[v >> 12 & 63];
        out += digits[v >> 6 & 63];
        out += '=';
    }
    return out;
}

}  // namespace

std::string LineToIso2022Jp(std::string_view text) {
    JisWriter w;
    size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            bool control = c == '\r' || c == '\n' || c == 0x1B || c == 0x0E || c == 0x0F;
            w.Ascii(control ? '?' : static_cast<char>(c));
            ++i;
        } else if (c >= 0xA1 && c <= 0xDF) {
            i += HalfWidthKana(w, text, i);
        } else if (IsLeadByte(c) && i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
            if (!w.ShiftJis(c, static_cast<unsigned char>(text[i + 1]))) w.Jis(kGeta1, kGeta2);
            i += 2;
        } else {
            w.Ascii('?');  // a stray byte or a lead byte without its second half
            ++i;
        }
    }
    return w.Finish();
}

std::vector<std::string> LineToIso2022JpPieces(std::string_view text, size_t maxBytes) {
    std::string whole = LineToIso2022Jp(text);
    if (whole.size() <= maxBytes) return {std::move(whole)};
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start < text.size()) {
        // Grow the piece by what its characters cost at most: two bytes for a double-byte or
        // half-width character, one for ASCII, three for each change of mode and for the return
        // to ASCII at the end.
        std::vector<size_t> ends;
        size_t end = start, cost = 0;
        bool jis = false;
        while (end < text.size()) {
            size_t n = CharLength(text, end);
            bool wide = static_cast<unsigned char>(text[end]) >= 0x80;
            size_t add = (wide ? 2 : 1) + (wide != jis ? 3 : 0);
            if (cost + add + (wide ? 3 : 0) > maxBytes) break;
            cost += add;
            jis = wide;
            end += n;
            ends.push_back(end);
        }
        if (ends.empty()) ends.push_back(start + CharLength(text, start));  // never stand still
        std::string piece = LineToIso2022Jp(text.substr(start, ends.back() - start));
        // Bytes that are no character ("?" between double-byte ones) can cost more than counted.
        while (piece.size() > maxBytes && ends.size() > 1) {
            ends.pop_back();
            piece = LineToIso2022Jp(text.substr(start, ends.back() - start));
        }
        pieces.push_back(std::move(piece));
        start = ends.back();
    }
    return pieces;
}

std::string TextToIso2022Jp(std::string_view text) {
    std::string out;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        out += LineToIso2022Jp(text.substr(start, i - start));
        out += "\r\n";
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    out += LineToIso2022Jp(text.substr(start));
    return out;
}

std::string EncodeHeaderWords(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    bool plain = true;
    for (char c : text) plain = plain && c >= 0x20 && c <= 0x7E;
    if (plain) return text;

    // "=?ISO-2022-JP?B?" + base64 + "?=" within 75 characters leaves 57 base64 digits: 42 bytes.
    constexpr size_t kMaxJisBytes = 42;
    std::string out, chunk, encodedChunk;
    size_t i = 0;
    while (i < text.size()) {
        size_t n = CharLength(text, i);
        std::string longer = chunk + text.substr(i, n);
        std::string encoded = LineToIso2022Jp(longer);
        if (encoded.size() > kMaxJisBytes && !chunk.empty()) {
            if (!out.empty()) out += "\r\n ";
            out += "=?ISO-2022-JP?B?" + Base64(encodedChunk) + "?=";
            chunk.clear();
            continue;
        }
        chunk = std::move(longer);
        encodedChunk = std::move(encoded);
        i += n;
    }
    if (!chunk.empty()) {
        if (!out.empty()) out += "\r\n ";
        out += "=?ISO-2022-JP?B?" + Base64(encodedChunk) + "?=";
    }
    return out;
}

}  // namespace plx
