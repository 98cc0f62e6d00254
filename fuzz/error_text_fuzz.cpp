// Fuzz target: the driver's error text composed from a status vector, with a client whose message
// lines are the input's lines. The text keeps the lines in order, each ended by "\n", without the
// SQL-code lines, cut at 257 characters; its length counts the terminator; no byte is written past
// the caller's buffer.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "driver/connect.h"
#include "fuzz/fuzz_support.h"

namespace {

// The client's longest message line: it formats each line into a buffer of this size.
constexpr std::size_t kClientLine = 1024;

std::vector<std::string> clientLines;
std::size_t nextLine = 0;

ISC_LONG FakeSqlcode(const ISC_STATUS*) {
    return -999;
}

// Writes the next line, returning its length; 0 at the end. The vector itself is not read, so its
// position stays where it is.
ISC_LONG FakeInterprete(ISC_SCHAR* buffer, ISC_STATUS**) {
    if (nextLine == clientLines.size()) return 0;
    const std::string& line = clientLines[nextLine++];
    std::memcpy(buffer, line.c_str(), line.size() + 1);
    return static_cast<ISC_LONG>(std::strlen(buffer));
}

std::string Expected(bool clean) {
    if (clean) return {};
    std::string text;
    for (std::size_t i = 0; i < clientLines.size() && i < ISC_STATUS_LENGTH; ++i) {
        const char* line = clientLines[i].c_str();
        if (std::strlen(line) == 0) break;
        if (std::strncmp(line, "Dynamic SQL", 11) == 0 || std::strncmp(line, "SQL error code", 14) == 0) continue;
        text += line;
        text += '\n';
    }
    return text.substr(0, basalt::kMaxErrorLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    plxfuzz::InputReader input(data, size);
    const bool clean = (input.Take<std::uint8_t>() & 1) != 0;
    clientLines.clear();
    nextLine = 0;
    while (!input.Rest().empty()) clientLines.emplace_back(input.TakeText('\n', kClientLine - 1));

    basalt::ClientEntryTable entries{};
    entries.sqlcode = FakeSqlcode;
    entries.interprete = FakeInterprete;
    basalt::ClientConnection client;
    client.entries = &entries;
    client.status[0] = isc_arg_gds;
    client.status[1] = clean ? 0 : isc_random;

    auto text = std::make_unique<char[]>(basalt::kMaxErrorLength + 1);
    std::int16_t length = -1;
    basalt::ComposeErrorText(client, text.get(), &length);
    const std::string expected = Expected(clean);
    FUZZ_CHECK(text.get() == expected,
               "composed " + plxfuzz::Escaped(text.get()) + "\n  expected " + plxfuzz::Escaped(expected));
    FUZZ_CHECK(length == static_cast<std::int16_t>(expected.size() + 1), "length " + std::to_string(length));
    return 0;
}
