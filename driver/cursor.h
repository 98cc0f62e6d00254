// Client layer of a cursor: column descriptions, the row buffer layout, binding and fetching.
#pragma once

#include <cstdint>

#include "driver/statemnt.h"

namespace basalt {

inline constexpr std::size_t kMaxColumnName = 31;

struct ColumnDesc {
    std::uint16_t index = 0;  // 0-based
    char* name = nullptr;     // alias when the client reports one, else the column name
    char* table = nullptr;
    std::uint16_t fieldType = 0;
    std::uint16_t subType = 0;
    std::int16_t precision = 0;
    std::int16_t scale = 0;
    std::uint32_t length = 0;
    std::uint16_t internalType = 0;
    std::uint16_t zero = 0;
    std::int16_t clientScale = 0;  // sqlscale, or the blob subtype for blobs
    std::uint32_t valueOffset = 0;
    std::uint32_t dataLength = 0;
    std::uint32_t indicatorOffset = 0;
    std::uint32_t flags = 0;     // nullable bit in bits 12 to 15
    std::int32_t sqlLength = 0;  // the client's length, the indicator of a non-NULL value
};

inline constexpr std::uint32_t kNullableFlag = 1u << 12;

// A blob column's slot keeps the width of its published layout (a state word, the 8-byte identifier,
// a handle and a total length); only the identifier is used.
inline constexpr std::uint32_t kBlobSlotSize = 20;
inline constexpr std::uint32_t kBlobIdOffset = 4;
static_assert(kBlobIdOffset + sizeof(ISC_QUAD) <= kBlobSlotSize);

// Describes every result column of the prepared statement into `columns` (count = output sqld)
// and lays out the row buffer. 0xFFFF for a column type the driver does not know; 1 for no memory.
ResultCode DescribeColumns(ClientStatement& statement, ColumnDesc* columns, int count, std::uint32_t* rowSize);
void FreeColumnNames(ColumnDesc* columns, int count);
// Points each output variable at its slot in `row`.
ResultCode BindColumns(ClientStatement& statement, const ColumnDesc* columns, int count, char* row);
// Fetches the next row into the row buffer: 0, 100 at the end, 0xFFFF on a client error.
ResultCode FetchRow(ClientStatement& statement, const ColumnDesc* columns, int count, char* row);

// Total length of a blob; 100 without a client call when the identifier is all zero.
ResultCode BlobSize(ClientStatement& statement, const ISC_QUAD& id, std::uint32_t* size);
// Reads up to `length` bytes of the blob into `buffer`.
ResultCode ReadBlob(ClientStatement& statement, const ISC_QUAD& id, char* buffer, std::uint32_t length);

// A timestamp as the client stores it, read through the older date entry when the library lacks
// the timestamp one.
TimestampValue DecodeTimestamp(const ClientEntryTable& entries, const char* stored);

}  // namespace basalt
