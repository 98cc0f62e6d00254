// Client layer of a cursor: blob size and segmented blob reads.
#include <algorithm>
#include <cstring>

#include "driver/cursor.h"

namespace basalt {
namespace {

bool IsEmptyId(const ISC_QUAD& id) {
    static constexpr ISC_QUAD kNoBlob = {};
    return std::memcmp(&id, &kNoBlob, sizeof id) == 0;
}

ResultCode OpenBlob(ClientStatement& statement, const ISC_QUAD& id, isc_blob_handle* blob) {
    isc_tr_handle* transaction = nullptr;
    ResultCode result = StatementTransaction(statement, &transaction);
    if (result != kResultOk) return result;
    ClientConnection& client = *statement.client;
    ISC_QUAD copy = id;
    Trace(client, "BASALT - isc_open_blob");
    return Check(client, client.entries->open_blob(client.status, &client.database, transaction, blob, &copy));
}

// Closes the blob; after an earlier failure the status of that failure is kept.
ResultCode CloseBlob(ClientStatement& statement, isc_blob_handle* blob, ResultCode earlier) {
    ClientConnection& client = *statement.client;
    Trace(client, "BASALT - isc_close_blob");
    if (earlier != kResultOk) {
        ISC_STATUS_ARRAY ignored;
        client.entries->close_blob(ignored, blob);
        return earlier;
    }
    return Check(client, client.entries->close_blob(client.status, blob));
}

}  // namespace

ResultCode BlobSize(ClientStatement& statement, const ISC_QUAD& id, std::uint32_t* size) {
    *size = 0;
    if (IsEmptyId(id)) return kResultEndOfData;
    isc_blob_handle blob = 0;
    ResultCode result = OpenBlob(statement, id, &blob);
    if (result != kResultOk) return result;
    ClientConnection& client = *statement.client;
    const char item = isc_info_blob_total_length;
    char buffer[20] = {};
    Trace(client, "BASALT - isc_blob_info");
    result = Check(client, client.entries->blob_info(client.status, &blob, 1, &item, sizeof buffer, buffer));
    if (result == kResultOk && buffer[0] == isc_info_blob_total_length) {
        auto length = static_cast<short>(client.entries->vax_integer(buffer + 1, 2));
        if (length > 0 && length <= 4)
            *size = static_cast<std::uint32_t>(client.entries->vax_integer(buffer + 3, length));
    }
    return CloseBlob(statement, &blob, result);
}

ResultCode ReadBlob(ClientStatement& statement, const ISC_QUAD& id, char* buffer, std::uint32_t length) {
    if (length == 0 || IsEmptyId(id)) return kResultOk;
    isc_blob_handle blob = 0;
    ResultCode result = OpenBlob(statement, id, &blob);
    if (result != kResultOk) return result;
    ClientConnection& client = *statement.client;
    std::uint32_t done = 0;
    while (done < length) {
        unsigned short got = 0;
        auto wanted = static_cast<unsigned short>(std::min(kMaxBlobSegment, length - done));
        Trace(client, "BASALT - isc_get_segment");
        ISC_STATUS status = client.entries->get_segment(client.status, &blob, &got, wanted, buffer + done);
        done += got;
        if (status == isc_segstr_eof) break;
        // A segment longer than asked for arrives in parts; the rest comes with the next call.
        if (status != isc_segment) result = Check(client, status);
        if (result != kResultOk) break;
        if (got == 0) break;
    }
    // Closed after a partial read too: an open blob would stay with the transaction until it ends.
    return CloseBlob(statement, &blob, result);
}

}  // namespace basalt
