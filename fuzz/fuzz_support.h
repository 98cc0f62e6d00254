// What the fuzz targets share: the check that stops a run, a scratch folder for file readers,
// a message back end that only counts, and a reader that takes typed values off the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "common/message.h"

// Stops the run when `condition` does not hold. libFuzzer then keeps the input as a crash; the
// corpus replay fails its test.
#define FUZZ_CHECK(condition, detail)                                                \
    do {                                                                             \
        if (!(condition)) ::plxfuzz::Fail(#condition, __FILE__, __LINE__, (detail)); \
    } while (0)

namespace plxfuzz {

[[noreturn]] void Fail(const char* condition, const char* file, int line, const std::string& detail);

// Bytes as C-style escapes, for failure messages.
std::string Escaped(std::string_view bytes);

// A folder of this process (trailing "/"), made on first use and removed at exit.
const std::string& ScratchFolder();

void WriteWholeFile(const std::string& path, std::string_view bytes);
std::string ReadWholeFile(const std::string& path);

// Counts ShowMsg calls instead of printing them; installed for as long as it lives.
class CountingMessages final : public plx::MessageBackend {
public:
    CountingMessages() { plx::SetMessageBackend(this); }
    ~CountingMessages() override { plx::SetMessageBackend(nullptr); }
    CountingMessages(const CountingMessages&) = delete;
    CountingMessages& operator=(const CountingMessages&) = delete;

    int Show(const std::string& text, bool) override {
        ++count;
        last = text;
        return plx::kMsgOk;
    }
    int count = 0;
    std::string last;
};

// Takes values off the front of the input; past its end every value reads as zero bytes.
class InputReader {
public:
    InputReader(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

    template <typename T>
    T Take() {
        T value{};
        std::size_t n = rest_.size() < sizeof value ? rest_.size() : sizeof value;
        std::memcpy(&value, rest_.data(), n);
        rest_.remove_prefix(n);
        return value;
    }
    // Up to `limit` bytes, ending before the first `separator` (which is consumed).
    std::string_view TakeText(char separator, std::size_t limit = SIZE_MAX) {
        std::size_t end = rest_.find(separator);
        std::size_t n = end == std::string_view::npos ? rest_.size() : end;
        if (n > limit) n = limit;
        std::string_view text = rest_.substr(0, n);
        rest_.remove_prefix(n < rest_.size() && rest_[n] == separator ? n + 1 : n);
        return text;
    }
    std::string_view Rest() const { return rest_; }

private:
    std::string_view rest_;
};

}  // namespace plxfuzz
