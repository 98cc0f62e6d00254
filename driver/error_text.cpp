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

// The one shape DriverError writes: a single message carrying the driver's own text.
bool IsDriverMade(const ISC_STATUS* status) {
    return status[0] == isc_arg_gds && status[1] == isc_random && status[2] == isc_arg_string &&
           status[4] == isc_arg_end;
}

}  // namespace

void ComposeErrorText(const ClientEntryTable* entries, const ISC_STATUS* status, char* text, std::int16_t* length) {
    text[0] = '\0';
    *length = 1;
    // A clean status vector holds no error: the client would still spell one out ("unknown ISC
    // error 0"), which reads as a failure that never happened.
    if (status[1] == 0) return;

    std::size_t kept = 0;
    if (IsDriverMade(status)) {
        // Written by the driver itself: read without the client, which may not even be loaded.
        const char* reason = reinterpret_cast<const char*>(status[3]);
        kept = ::strnlen(reason, kMaxText);
        std::memcpy(text, reason, kept);
        if (kept < kMaxText) text[kept++] = '\n';
    } else if (entries && entries->interprete) {
        char line[kLineBuffer];
        // The client walks a copy; the status vector stays readable for the next composition.
        ISC_STATUS copy[ISC_STATUS_LENGTH];
        std::memcpy(copy, status, sizeof copy);
        ISC_STATUS* cursor = copy;
        for (int i = 0; i < kMaxLines && kept < kMaxText; ++i) {
            line[0] = '\0';
            if (entries->interprete(line, &cursor) == 0) break;
            if (StartsWith(line, "Dynamic SQL") || StartsWith(line, "SQL error code")) continue;
            std::size_t lineLength = ::strnlen(line, kLineBuffer - 1);
            std::size_t take = std::min(lineLength, kMaxText - kept);
            std::memcpy(text + kept, line, take);
            kept += take;
            if (kept < kMaxText) text[kept++] = '\n';
        }
    }
    text[kept] = '\0';
    *length = static_cast<std::int16_t>(kept + 1);
}

void ComposeErrorText(ClientConnection& client, char* text, std::int16_t* length) {
    if (client.entries && client.entries->sqlcode) {
        Trace(client, "BASALT - isc_sqlcode");
        client.entries->sqlcode(client.status);
    }
    ComposeErrorText(client.entries, client.status, text, length);
}

}  // namespace basalt
