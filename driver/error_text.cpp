// Readable error texts composed from a connection's status vector.
#include <algorithm>
#include <cstring>

#include "driver/connect.h"

namespace basalt {
namespace {

// The client writes each message line without a size limit; its longest line is far below this.
constexpr std::size_t kLineBuffer = 16 * 1024;
constexpr std::size_t kMaxText = kMaxErrorLength;
// A status vector of 20 words cannot hold more messages than this.
constexpr int kMaxLines = ISC_STATUS_LENGTH;

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

void ComposeErrorText(ClientConnection& client, char* text, std::int16_t* length) {
    Trace(client, "BASALT - isc_sqlcode");
    client.entries->sqlcode(client.status);

    // A clean status vector holds no error: the client would still spell one out ("unknown ISC
    // error 0"), which reads as a failure that never happened.
    if (client.status[1] == 0) {
        text[0] = '\0';
        *length = 1;
        return;
    }

    char line[kLineBuffer];
    std::size_t kept = 0;
    ISC_STATUS* cursor = client.status;
    for (int i = 0; i < kMaxLines && kept < kMaxText; ++i) {
        line[0] = '\0';
        if (client.entries->interprete(line, &cursor) == 0) break;
        if (StartsWith(line, "Dynamic SQL") || StartsWith(line, "SQL error code")) continue;
        std::size_t lineLength = ::strnlen(line, kLineBuffer - 1);
        std::size_t take = std::min(lineLength, kMaxText - kept);
        std::memcpy(text + kept, line, take);
        kept += take;
        if (kept < kMaxText) text[kept++] = '\n';
    }
    text[kept] = '\0';
    *length = static_cast<std::int16_t>(kept + 1);
}

}  // namespace basalt
