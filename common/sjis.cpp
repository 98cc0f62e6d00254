// Shift_JIS conversions through glibc iconv ("CP932").
#include "common/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace plx {
namespace {

// Runs one conversion; on an invalid or unconvertible sequence emits `replacement` and skips
// `skipBytes(input)` input bytes, so a bad byte never stops or truncates the text.
template <typename Skip>
std::string Convert(const char* to, const char* from, std::string_view in, std::string_view replacement, Skip skip,
                    bool* replaced) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv_open failed: ") + from);
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) continue;
        // EILSEQ or EINVAL: an unconvertible or cut sequence.
        if (replaced) *replaced = true;
        out.append(replacement);
        size_t n = skip(reinterpret_cast<const unsigned char*>(inPtr), inLeft);
        inPtr += n;
        inLeft -= n;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    iconv_close(cd);
    return out;
}

size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
    size_t n = 1;
    if (p[0] >= 0xF0) n = 4;
    else if (p[0] >= 0xE0) n = 3;
    else if (p[0] >= 0xC0) n = 2;
    if (n > left) n = left;
    for (size_t i = 1; i < n; ++i)
        if ((p[i] & 0xC0) != 0x80) return i;
    return n;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
    auto skip = [](const unsigned char* p, size_t left) -> size_t {
        return (IsLeadByte(p[0]) && left >= 2) ? 2 : 1;
    };
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", skip, nullptr);
}

std::string Utf8ToCp932(std::string_view utf8) {
    return Convert("CP932", "UTF-8", utf8, "?", Utf8SequenceLength, nullptr);
}

bool FitsCp932(std::string_view utf8) {
    bool replaced = false;
    Convert("CP932", "UTF-8", utf8, "?", Utf8SequenceLength, &replaced);
    return !replaced;
}

}  // namespace plx
