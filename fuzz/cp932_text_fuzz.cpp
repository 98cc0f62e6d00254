// Fuzz target: the CP932 text helpers on any bytes. No result may end or start inside a double-byte
// character, and a fixed field is written exactly, never a byte beside it.
#include <memory>
#include <string>
#include <vector>

#include "board/timetable.h"
#include "common/sjis.h"
#include "common/textutil.h"
#include "fuzz/fuzz_support.h"

namespace {

bool IsTrail(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Where characters start (and the end): a lead byte takes the next byte with it when that byte can
// be a second byte at all. A cut anywhere else splits a character.
std::vector<bool> Boundaries(std::string_view text) {
    std::vector<bool> at(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size();) {
        at[i] = true;
        bool pair = plx::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() &&
                    IsTrail(static_cast<unsigned char>(text[i + 1]));
        i += pair ? 2 : 1;
    }
    at[text.size()] = true;
    return at;
}

void CheckClip(std::string_view text, const std::vector<bool>& at, std::size_t width) {
    std::string_view clip = plx::ClipBytes(text, width);
    FUZZ_CHECK(text.substr(0, clip.size()) == clip && clip.data() == text.data(), "not a start of the text");
    FUZZ_CHECK(clip.size() <= width && at[clip.size()], "clipped to " + std::to_string(clip.size()));
    std::size_t fits = std::min(width, text.size());
    FUZZ_CHECK(clip.size() + 1 >= fits, "clipped shorter than needed: " + std::to_string(clip.size()));
}

void CheckFixedWidth(std::string_view text, int width) {
    const std::string fixed = plx::FixWidth(text, width);
    const std::size_t w = width > 0 ? static_cast<std::size_t>(width) : 0;
    FUZZ_CHECK(fixed.size() == w, "width " + std::to_string(fixed.size()) + " for " + std::to_string(width));
    std::string_view clip = plx::ClipBytes(text, w);
    FUZZ_CHECK(
        fixed.compare(0, clip.size(), clip) == 0 && fixed.find_first_not_of(' ', clip.size()) == std::string::npos,
        plxfuzz::Escaped(fixed));

    // The field lies between guard bytes, and on the heap at its exact size for the sanitizers.
    constexpr std::size_t kGuard = 8;
    std::vector<char> area(w + 2 * kGuard, '#');
    plx::PutField(area.data() + kGuard, w, text);
    FUZZ_CHECK(std::string(area.data() + kGuard, w) == fixed, "field differs from FixWidth");
    for (std::size_t i = 0; i < kGuard; ++i)
        FUZZ_CHECK(area[i] == '#' && area[kGuard + w + i] == '#', "written outside the field");
    auto exact = std::make_unique<char[]>(w ? w : 1);
    plx::PutField(exact.get(), w, text);
}

bool IsBlankAt(std::string_view text, std::size_t i) {
    return text[i] == ' ' || text[i] == '\t' || text.substr(i, 2) == "\x81\x40";
}

void CheckTrim(std::string_view text, const std::vector<bool>& at) {
    const std::string trimmed = plx::TrimBlanks(text);
    std::size_t begin = 0;
    while (begin < text.size() && IsBlankAt(text, begin)) begin += text[begin] == '\x81' ? 2 : 1;
    FUZZ_CHECK(text.substr(begin, trimmed.size()) == trimmed, "not the text without its leading blanks");
    const std::size_t end = begin + trimmed.size();
    FUZZ_CHECK(at[begin] && at[end], "cut at " + std::to_string(begin) + ".." + std::to_string(end));
    // What was cut from the end is blanks only, each a whole character.
    for (std::size_t i = end; i < text.size();) {
        FUZZ_CHECK(IsBlankAt(text, i) && at[i], "cut a non-blank at " + std::to_string(i));
        i += text[i] == '\x81' ? 2 : 1;
    }
    if (!trimmed.empty()) {
        FUZZ_CHECK(trimmed.back() != ' ' && trimmed.back() != '\t', "trailing blank kept");
        FUZZ_CHECK(!(trimmed.size() >= 2 && trimmed.ends_with("\x81\x40") && at[end - 2]), "trailing blank kept");
    }
}

// RemoveText as it should behave: an occurrence counts only where it starts and ends on whole
// characters (as CharLength steps through the text).
std::string RemovedOnWholeCharacters(std::string_view text, std::string_view pattern) {
    if (pattern.empty()) return std::string(text);
    std::vector<bool> start(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += plx::CharLength(text, i)) start[i] = true;
    start[text.size()] = true;
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        if (start[i] && text.substr(i).starts_with(pattern) && start[i + pattern.size()]) {
            i += pattern.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

void CheckRemove(std::string_view text, std::string_view pattern) {
    const std::string removed = plx::RemoveText(text, pattern);
    FUZZ_CHECK(removed == RemovedOnWholeCharacters(text, pattern), "removing " + plxfuzz::Escaped(pattern) + " from " +
                                                                       plxfuzz::Escaped(text) + " gave " +
                                                                       plxfuzz::Escaped(removed));
    FUZZ_CHECK(plx::RemoveFullWidthBlanks(text) == RemovedOnWholeCharacters(text, "\x81\x40"),
               "full-width blanks of " + plxfuzz::Escaped(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plxfuzz::InputReader input(data, size);
    const int width = input.Take<std::int8_t>();
    const std::string_view pattern = input.TakeText('\0', 6);
    const std::string_view text = input.Rest();
    const std::vector<bool> at = Boundaries(text);

    CheckClip(text, at, width > 0 ? static_cast<std::size_t>(width) : 0);
    CheckFixedWidth(text, width);
    CheckTrim(text, at);
    CheckRemove(text, pattern);
    return 0;
}
