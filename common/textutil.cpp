// SQL literal and date-text helpers.
#include "common/textutil.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "common/clock.h"
#include "common/exe_path.h"
#include "common/message.h"
#include "common/sjis.h"

namespace plx {
namespace {

std::string_view Piece(std::string_view text, size_t from, size_t count) {
    if (from >= text.size()) return {};
    return text.substr(from, count);
}

// True when the byte at `index` starts a double-byte character whose second byte follows it.
bool StartsDoubleByteAt(std::string_view text, size_t index) {
    size_t i = 0;
    while (i < index) i += CharLength(text, i);
    return i == index && CharLength(text, index) == 2;
}

}  // namespace

std::string SqlLiteral(std::string_view text) {
    if (text.empty()) return "NULL";
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

std::string BufToStr(const char* field, int length) {
    if (field == nullptr) {
        ShowMsg(SJ("変換元文字列にNULLポインタが渡されました。"));
        return {};
    }
    constexpr int kWorkSize = 2000;
    // The work buffer always keeps a zero byte at its end, whatever length the caller gives.
    if (length < 0) length = 0;
    if (length > kWorkSize - 1) length = kWorkSize - 1;
    char work[kWorkSize] = {};
    std::memcpy(work, field, static_cast<size_t>(length));
    return std::string(work);
}

std::string_view ClipBytes(std::string_view text, size_t width) {
    if (text.size() <= width) return text;
    size_t i = 0;
    while (i < width) i += CharLength(text, i);
    return text.substr(0, i > width ? i - 2 : i);
}

std::string FixWidth(std::string_view text, int width) {
    if (width <= 0) return {};
    auto w = static_cast<size_t>(width);
    std::string out(ClipBytes(text, w));
    out.append(w - out.size(), ' ');
    return out;
}

std::string ZeroPad(long long value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
    return digits;
}

std::string TrimTrailingBlanks(std::string_view text) {
    // A blank is never the second byte of a CP932 character, so no character is cut.
    size_t end = text.find_last_not_of(' ');
    return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
}

std::string AsciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

std::string TrimBlanks(std::string_view text) {
    size_t begin = 0;
    for (;;) {
        if (begin < text.size() && (text[begin] == ' ' || text[begin] == '\t')) {
            ++begin;
        } else if (begin + 1 < text.size() && text.substr(begin, 2) == "\x81\x40") {
            begin += 2;
        } else {
            break;
        }
    }
    text.remove_prefix(begin);
    // From the end, a full-width blank is dropped only when it is a whole character, so a
    // character whose second byte is 0x81 followed by "@" is never cut in half.
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
            text.remove_suffix(1);
        } else if (text.size() >= 2 && text.substr(text.size() - 2) == "\x81\x40" &&
                   StartsDoubleByteAt(text, text.size() - 2)) {
            text.remove_suffix(2);
        } else {
            break;
        }
    }
    return std::string(text);
}

std::string YmdSlash(std::string_view ymd) {
    if (ymd.empty()) return {};
    std::string out(Piece(ymd, 0, 4));
    out += '/';
    out += Piece(ymd, 4, 2);
    out += '/';
    out += Piece(ymd, 6, 2);
    return out;
}

std::string YmdhnSlash(std::string_view ymdhn) {
    if (ymdhn.empty()) return {};
    std::string out = YmdSlash(ymdhn);
    out += ' ';
    out += Piece(ymdhn, 8, 2);
    out += ':';
    out += Piece(ymdhn, 10, 2);
    return out;
}

std::string ExeDate() {
    struct stat st {};
    if (::stat(ExePath().c_str(), &st) != 0) return {};
    return FormatDateTime(LocalTimeOf(st.st_mtime), "YYYY.MM.DD");
}

std::string RemoveText(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    // Only whole characters match: "T" or "@" is also the second byte of many double-byte characters.
    size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i).starts_with(pattern)) {
            size_t end = i;
            while (end < i + pattern.size()) end += CharLength(text, end);
            if (end == i + pattern.size()) {
                i = end;
                continue;
            }
        }
        size_t n = CharLength(text, i);
        out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

std::string RemoveFullWidthBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        size_t n = CharLength(text, i);
        if (n == 1 || text.substr(i, 2) != "\x81\x40") out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

long long TextToInt(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return 0;
    long long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return 0;
    return value;
}

}  // namespace plx
