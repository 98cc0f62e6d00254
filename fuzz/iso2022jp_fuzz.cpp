// Fuzz target: any bytes as CP932 text through the ISO-2022-JP encoder of the mail. The output is
// 7-bit ISO-2022-JP ending in ASCII, holds one character for each character of the input, and
// decodes again (through iconv) to the input's characters wherever JIS has a place for them.
#include <iconv.h>

#include <string>
#include <vector>

#include "common/sjis.h"
#include "fuzz/fuzz_support.h"
#include "mail/iso2022jp.h"

namespace {

bool IsTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// One character of the input as the encoder reads it: a byte, a half-width kana with its sound
// mark, or a double-byte pair.
struct Unit {
    std::string bytes;
    enum Kind { Ascii, Kana, Pair, Stray } kind;
};

std::vector<Unit> Units(std::string_view text) {
    std::vector<Unit> units;
    for (std::size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        unsigned char next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        std::size_t n = 1;
        Unit::Kind kind = Unit::Stray;
        if (c < 0x80) {
            kind = Unit::Ascii;
        } else if (c >= 0xA1 && c <= 0xDF) {
            kind = Unit::Kana;
            bool voiced = (c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE) || c == 0xB3;
            bool halfVoiced = c >= 0xCA && c <= 0xCE;
            if ((next == 0xDE && voiced) || (next == 0xDF && halfVoiced)) n = 2;
        } else if (plx::IsLeadByte(c) && i + 1 < text.size() && IsTrail(next)) {
            kind = Unit::Pair;
            n = 2;
        }
        units.push_back({std::string(text.substr(i, n)), kind});
        i += n;
    }
    return units;
}

// One character of the output: an ASCII byte, or a JIS X 0208 row-and-cell pair.
struct Token {
    std::string bytes;
    bool jis;
};

// The output's characters; fails the run on anything that is not plain ISO-2022-JP.
std::vector<Token> Tokens(const std::string& out) {
    std::vector<Token> tokens;
    bool jis = false;
    for (std::size_t i = 0; i < out.size();) {
        auto c = static_cast<unsigned char>(out[i]);
        FUZZ_CHECK(c < 0x80, "8-bit byte in " + plxfuzz::Escaped(out));
        FUZZ_CHECK(c != '\r' && c != '\n' && c != 0x0E && c != 0x0F, "control byte in " + plxfuzz::Escaped(out));
        if (c == 0x1B) {
            std::string escape = out.substr(i, 3);
            FUZZ_CHECK(escape == "\x1B$B" || escape == "\x1B(B", "escape in " + plxfuzz::Escaped(out));
            jis = escape == "\x1B$B";
            i += 3;
        } else if (jis) {
            FUZZ_CHECK(i + 1 < out.size(), "half a pair in " + plxfuzz::Escaped(out));
            auto d = static_cast<unsigned char>(out[i + 1]);
            FUZZ_CHECK(c >= 0x21 && c <= 0x7E && d >= 0x21 && d <= 0x7E,
                       "pair outside JIS in " + plxfuzz::Escaped(out));
            tokens.push_back({out.substr(i, 2), true});
            i += 2;
        } else {
            tokens.push_back({out.substr(i, 1), false});
            ++i;
        }
    }
    FUZZ_CHECK(!jis, "does not end in ASCII: " + plxfuzz::Escaped(out));
    return tokens;
}

// A JIS pair as UTF-8 through iconv's EUC-JP-MS table (which places the NEC row 13 and the symbols
// as CP932 does); empty when iconv has no character there. Rows 85-94 are user-defined in that
// table (private-use characters), so the NEC-selected rows 89-92 read as undefined too.
std::string DecodeJisPair(const std::string& pair) {
    static iconv_t cd = iconv_open("UTF-8", "EUC-JP-MS");
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1), "no EUC-JP-MS table");
    char in[2] = {static_cast<char>(pair[0] | 0x80), static_cast<char>(pair[1] | 0x80)};
    char out[8];
    char* inPtr = in;
    char* outPtr = out;
    std::size_t inLeft = 2, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return {};
    if (static_cast<unsigned char>(pair[0]) >= 0x75) return {};
    return std::string(out, static_cast<std::size_t>(outPtr - out));
}

bool IsFullWidthKana(const std::string& utf8) {
    // U+3000..U+30FF: CJK symbols, hiragana and katakana, three UTF-8 bytes starting E3 80..E3 83.
    return utf8.size() == 3 && static_cast<unsigned char>(utf8[0]) == 0xE3 &&
           static_cast<unsigned char>(utf8[1]) >= 0x80 && static_cast<unsigned char>(utf8[1]) <= 0x83;
}

void CheckUnit(const Unit& unit, const Token& token) {
    const std::string what = plxfuzz::Escaped(unit.bytes) + " -> " + plxfuzz::Escaped(token.bytes);
    auto first = static_cast<unsigned char>(unit.bytes[0]);
    switch (unit.kind) {
        case Unit::Ascii: {
            bool control = first == '\r' || first == '\n' || first == 0x1B || first == 0x0E || first == 0x0F;
            FUZZ_CHECK(!token.jis && token.bytes == (control ? "?" : unit.bytes), what);
            break;
        }
        case Unit::Stray:
            FUZZ_CHECK(!token.jis && token.bytes == "?", what);
            break;
        case Unit::Kana:
            FUZZ_CHECK(token.jis && IsFullWidthKana(DecodeJisPair(token.bytes)), what);
            break;
        case Unit::Pair: {
            FUZZ_CHECK(token.jis, what);
            if (token.bytes == "\x22\x2E") {  // the geta mark: only for what JIS has no place for
                FUZZ_CHECK(first >= 0xF0 || plx::Cp932ToUtf8(unit.bytes) == "\xE3\x80\x93" ||
                               plx::Cp932ToUtf8(unit.bytes) == "\xEF\xBF\xBD",
                           what);
                break;
            }
            const std::string decoded = DecodeJisPair(token.bytes);
            const std::string expected = plx::Cp932ToUtf8(unit.bytes);
            if (!decoded.empty() && expected != "\xEF\xBF\xBD")
                FUZZ_CHECK(decoded == expected, what + ": " + decoded + " for " + expected);
            break;
        }
    }
}

void CheckLine(std::string_view line) {
    const std::string out = plx::LineToIso2022Jp(line);
    const std::vector<Token> tokens = Tokens(out);
    const std::vector<Unit> units = Units(line);
    FUZZ_CHECK(tokens.size() == units.size(), std::to_string(units.size()) + " characters in, " +
                                                  std::to_string(tokens.size()) + " out: " + plxfuzz::Escaped(out));
    for (std::size_t i = 0; i < units.size(); ++i) CheckUnit(units[i], tokens[i]);
}

void CheckText(std::string_view text) {
    const std::string out = plx::TextToIso2022Jp(text);
    std::size_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        ++breaks;
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
    std::size_t lines = 0;
    for (std::size_t start = 0;;) {
        std::size_t end = out.find("\r\n", start);
        Tokens(out.substr(start, end == std::string::npos ? std::string::npos : end - start));
        ++lines;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    FUZZ_CHECK(lines == breaks + 1, std::to_string(breaks) + " line ends in, " + std::to_string(lines) + " lines out");
}

std::string FromBase64(std::string_view text) {
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned bits = 0;
    int count = 0;
    for (char c : text) {
        if (c == '=') break;
        std::size_t v = digits.find(c);
        FUZZ_CHECK(v != std::string::npos, "not base64: " + std::string(text));
        bits = bits << 6 | static_cast<unsigned>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>(bits >> count & 0xFF);
        }
    }
    return out;
}

std::string Decoded(const std::vector<Token>& tokens) {
    std::string out;
    for (const Token& token : tokens) out += token.jis ? DecodeJisPair(token.bytes) + "|" : token.bytes;
    return out;
}

void CheckHeader(std::string_view value) {
    std::string flat(value);
    for (char& c : flat)
        if (c == '\r' || c == '\n') c = ' ';
    const std::string out = plx::EncodeHeaderWords(value);
    bool plain = true;
    for (char c : flat) plain = plain && c >= 0x20 && c <= 0x7E;
    if (plain) {
        FUZZ_CHECK(out == flat, plxfuzz::Escaped(out));
        return;
    }
    // Each word is whole ISO-2022-JP of its own; the words together read as the whole value does.
    std::vector<Token> joined;
    for (std::size_t start = 0;;) {
        std::size_t end = out.find("\r\n ", start);
        std::string word = out.substr(start, end == std::string::npos ? std::string::npos : end - start);
        FUZZ_CHECK(
            word.size() <= 75 && word.starts_with("=?ISO-2022-JP?B?") && word.ends_with("?=") && word.size() >= 18,
            plxfuzz::Escaped(word));
        for (const Token& token : Tokens(FromBase64(std::string_view(word).substr(16, word.size() - 18))))
            joined.push_back(token);
        if (end == std::string::npos) break;
        start = end + 3;
    }
    const std::vector<Token> whole = Tokens(plx::LineToIso2022Jp(flat));
    FUZZ_CHECK(Decoded(joined) == Decoded(whole),
               "words read " + plxfuzz::Escaped(Decoded(joined)) + ", the value " + plxfuzz::Escaped(Decoded(whole)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckLine(text);
    CheckText(text);
    CheckHeader(text.substr(0, 512));
    return 0;
}
