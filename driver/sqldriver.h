// Public interface of the database driver library: result codes, value records, the five object
// interfaces in their fixed slot order, and the one exported entry.
//
// Every object handed out is reference-counted: the receiver owns one reference and ends its use
// with Release. Interfaces declare no virtual destructor, so the slot order is the declaration order.
// Every operation returns a ResultCode; nothing throws. Texts passed in are copied; buffers for
// returned values belong to the caller.
#pragma once

#include <cstddef>
#include <cstdint>

using ResultCode = std::uint16_t;

// Result codes.
inline constexpr ResultCode kResultOk = 0;
inline constexpr ResultCode kResultNotCreated = 1;  // object not created, missing out-pointer, no memory
inline constexpr ResultCode kResultMissingPointer = 1;
inline constexpr ResultCode kResultNotBlob = 2;          // getBlobSize on a non-blob; getParameter of such a type
inline constexpr ResultCode kResultNoHandle = 3;         // missing statement, connection or row buffer
inline constexpr ResultCode kResultTimeRange = 4;        // time value out of range
inline constexpr ResultCode kResultNotSupported = 5;     // operation or option not supported
inline constexpr ResultCode kResultTypeMismatch = 6;     // getter does not match the field type; decimal too wide
inline constexpr ResultCode kResultInvalidValue = 7;     // bad option value, parameter direction or type
inline constexpr ResultCode kResultOutOfRange = 8;       // column or parameter number out of range
inline constexpr ResultCode kResultParameterNotSet = 9;  // a declared parameter was not set before execute
inline constexpr ResultCode kResultFloatLength = 12;     // floating column of a length other than 4 or 8
inline constexpr ResultCode kResultBadIsolation = 14;    // invalid isolation level
inline constexpr ResultCode kResultNoTransaction = 15;   // identifier 0 or no active transaction with it
inline constexpr ResultCode kResultTransactionActive = 16;
inline constexpr ResultCode kResultEndOfData = 100;       // end of the result set or of a blob
inline constexpr ResultCode kResultEndOfList = 10;  // end of the data-type list, or at once for a failed metadata request
inline constexpr ResultCode kResultClientError = 0xFFFF;  // the client library reported an error
inline constexpr ResultCode kResultClientNoMemory = 0xFFFD;
inline constexpr ResultCode kResultAttachFailed = 0xFFFC;
inline constexpr ResultCode kResultClientNotLoaded = 0xFFF9;  // library or a required entry missing
inline constexpr ResultCode kResultClientUnsupported = 0xFFF6;
inline constexpr ResultCode kResultBadDatabaseHandle = 0xFFF3;  // detach reported an invalid handle
// connect on a connection that is already attached; the attachment is kept.
inline constexpr ResultCode kResultAlreadyConnected = 17;

// Field types seen by the caller, and their subtypes.
inline constexpr std::uint16_t kFieldString = 1;
inline constexpr std::uint16_t kFieldDate = 2;
inline constexpr std::uint16_t kFieldBlob = 3;
inline constexpr std::uint16_t kFieldInt16 = 5;
inline constexpr std::uint16_t kFieldInt32 = 6;
inline constexpr std::uint16_t kFieldFloat = 7;
inline constexpr std::uint16_t kFieldBcd = 8;
inline constexpr std::uint16_t kFieldBytes = 9;
inline constexpr std::uint16_t kFieldTime = 10;
inline constexpr std::uint16_t kFieldTimestamp = 24;

inline constexpr std::uint16_t kSubtypeFixed = 31;   // CHAR
inline constexpr std::uint16_t kSubtypeMemo = 22;    // text blob
inline constexpr std::uint16_t kSubtypeBinary = 23;  // binary blob

// Parameter directions.
inline constexpr std::uint16_t kParamInput = 1;
inline constexpr std::uint16_t kParamOutput = 2;

// Driver options.
inline constexpr std::uint32_t kDriverOptionBlobSize = 0;
inline constexpr std::uint32_t kDriverOptionTraceCallback = 1;
inline constexpr std::uint32_t kDriverOptionTraceClientData = 2;
inline constexpr std::uint32_t kDriverOptionIgnored = 3;

// Connection options.
inline constexpr std::uint32_t kConnOptionAutoCommit = 0;    // not supported
inline constexpr std::uint32_t kConnOptionBlockingMode = 1;  // not supported
inline constexpr std::uint32_t kConnOptionBlobSize = 2;
inline constexpr std::uint32_t kConnOptionRoleName = 3;  // value: const char*
inline constexpr std::uint32_t kConnOptionWaitOnLocks = 4;
inline constexpr std::uint32_t kConnOptionCommitRetain = 5;
inline constexpr std::uint32_t kConnOptionIsolation = 6;  // 0 read committed, 1 repeatable read
inline constexpr std::uint32_t kConnOptionNativeHandle = 7;
inline constexpr std::uint32_t kConnOptionServerVersion = 8;
inline constexpr std::uint32_t kConnOptionTraceCallback = 9;  // value: SqlTraceCallback
inline constexpr std::uint32_t kConnOptionHostName = 10;      // not supported
inline constexpr std::uint32_t kConnOptionTraceClientData = 12;
inline constexpr std::uint32_t kConnOptionMaxCommands = 14;
inline constexpr std::uint32_t kConnOptionServerCharSet = 15;  // value: const char*
inline constexpr std::uint32_t kConnOptionDialect = 16;
inline constexpr std::uint32_t kConnOptionRollbackRetain = 17;
inline constexpr std::uint32_t kConnOptionQuoteChar = 18;

// Command options.
inline constexpr std::uint32_t kCommOptionBlobSize = 1;
inline constexpr std::uint32_t kCommOptionParamCount = 4;
inline constexpr std::uint32_t kCommOptionNativeHandle = 5;
inline constexpr std::uint32_t kCommOptionCursorName = 6;  // value: const char*
inline constexpr std::uint32_t kCommOptionStoredProc = 7;
inline constexpr std::uint32_t kCommOptionDialect = 8;
inline constexpr std::uint32_t kCommOptionTransaction = 9;

// Metadata object-list kinds.
inline constexpr std::uint8_t kObjectListTypes = 1;
inline constexpr std::uint8_t kObjectListTables = 2;
inline constexpr std::uint8_t kObjectListViews = 3;
inline constexpr std::uint8_t kObjectListProcedures = 5;
inline constexpr std::uint8_t kObjectListUsers = 6;
inline constexpr std::uint8_t kObjectListRoles = 7;

// Argument of beginTransaction, commit and rollback.
struct TransactionDesc {
    std::uint32_t id;        // must not be 0
    std::uint32_t reserved;  // not read
    std::uint8_t isolation;  // 0 read committed, 1 repeatable read
};

// Calendar fields of a timestamp; fractions are always 0.
struct TimestampValue {
    std::int16_t year;
    std::uint16_t month;  // 1 to 12
    std::uint16_t day;
    std::uint16_t hour;
    std::uint16_t minute;
    std::uint16_t second;
    std::uint32_t fractions;
};
static_assert(sizeof(TimestampValue) == 16);
static_assert(offsetof(TimestampValue, fractions) == 12);

// A packed decimal: digits as nibbles, two per byte, high nibble first, most significant first.
struct BcdValue {
    std::uint8_t precision;   // number of digits
    std::uint8_t signScale;   // low 6 bits: digits after the point; bit 7: negative
    std::uint8_t digits[32];  // unused nibbles are 0
};
static_assert(sizeof(BcdValue) == 34);
static_assert(alignof(BcdValue) == 1);

// What a trace callback receives: the text of the next client call.
struct TraceRecord {
    char text[1024];         // zero-filled; no terminator when the text fills all 1024 bytes
    std::uint16_t category;  // 256 for the driver's client calls
    std::uint16_t unused;
    std::uint32_t clientData;  // connection option 12
    std::uint32_t reserved;
};
static_assert(sizeof(TraceRecord) == 1036);
static_assert(offsetof(TraceRecord, category) == 1024);
static_assert(offsetof(TraceRecord, clientData) == 1028);

// Called before every client call with the number 1 and the TraceRecord; its result is ignored.
using SqlTraceCallback = std::int32_t (*)(std::int32_t kind, TraceRecord* record);

class SQLConnection;
class SQLCommand;
class SQLCursor;
class SQLMetaData;

class SQLDriver {
public:
    virtual ResultCode QueryInterface(const void* iid, void** out) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;
    virtual ResultCode createConnection(SQLConnection** connection) = 0;
    virtual ResultCode setOption(std::uint32_t option, std::intptr_t value) = 0;
    virtual ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) = 0;

protected:
    ~SQLDriver() = default;
};

class SQLConnection {
public:
    virtual ResultCode QueryInterface(const void* iid, void** out) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;
    virtual ResultCode connect(const char* database, const char* user, const char* password) = 0;
    virtual ResultCode disconnect() = 0;
    virtual ResultCode createCommand(SQLCommand** command) = 0;
    virtual ResultCode createMetaData(SQLMetaData** metaData) = 0;
    virtual ResultCode setOption(std::uint32_t option, std::intptr_t value) = 0;
    virtual ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) = 0;
    virtual ResultCode beginTransaction(TransactionDesc* transaction) = 0;
    virtual ResultCode commit(TransactionDesc* transaction) = 0;
    virtual ResultCode rollback(TransactionDesc* transaction) = 0;
    virtual ResultCode getErrorText(char* buffer) = 0;
    virtual ResultCode getErrorLength(std::int16_t* length) = 0;

protected:
    ~SQLConnection() = default;
};

class SQLCommand {
public:
    virtual ResultCode QueryInterface(const void* iid, void** out) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;
    virtual ResultCode setOption(std::uint32_t option, std::intptr_t value) = 0;
    virtual ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) = 0;
    virtual ResultCode setParameter(std::uint16_t number, std::uint16_t child, std::uint16_t direction,
                                    std::uint16_t fieldType, std::uint16_t subType, std::int32_t precision,
                                    std::int32_t scale, std::uint32_t length, const void* value,
                                    std::int32_t isNull) = 0;
    virtual ResultCode getParameter(std::uint16_t number, std::uint16_t child, void* value, std::int32_t length,
                                    std::int32_t* isNull) = 0;
    virtual ResultCode prepare(const char* sql, std::uint16_t paramCount) = 0;
    virtual ResultCode execute(SQLCursor** cursor) = 0;
    virtual ResultCode executeDirect(const char* sql, SQLCursor** cursor) = 0;
    virtual ResultCode nextResult(SQLCursor** cursor) = 0;
    virtual ResultCode getRowsAffected(std::int32_t* rows) = 0;
    virtual ResultCode close() = 0;
    virtual ResultCode getErrorText(char* buffer) = 0;
    virtual ResultCode getErrorLength(std::int16_t* length) = 0;

protected:
    ~SQLCommand() = default;
};

class SQLCursor {
public:
    virtual ResultCode QueryInterface(const void* iid, void** out) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;
    virtual ResultCode setOption(std::uint32_t option, std::intptr_t value) = 0;
    virtual ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) = 0;
    virtual ResultCode getErrorText(char* buffer) = 0;
    virtual ResultCode getErrorLength(std::int16_t* length) = 0;
    virtual ResultCode getColumnCount(std::uint16_t* count) = 0;
    virtual ResultCode getColumnNameLength(std::uint16_t column, std::uint16_t* length) = 0;
    virtual ResultCode getColumnName(std::uint16_t column, char* name) = 0;
    virtual ResultCode getColumnType(std::uint16_t column, std::uint16_t* type, std::uint16_t* subType) = 0;
    virtual ResultCode getColumnLength(std::uint16_t column, std::uint32_t* length) = 0;
    virtual ResultCode getColumnPrecision(std::uint16_t column, std::int16_t* precision) = 0;
    virtual ResultCode getColumnScale(std::uint16_t column, std::int16_t* scale) = 0;
    virtual ResultCode isNullable(std::uint16_t column, std::int32_t* flag) = 0;
    virtual ResultCode isAutoIncrement(std::uint16_t column, std::int32_t* flag) = 0;
    virtual ResultCode isReadOnly(std::uint16_t column, std::int32_t* flag) = 0;
    virtual ResultCode isSearchable(std::uint16_t column, std::int32_t* flag) = 0;
    virtual ResultCode isBlobSizeExact(std::uint16_t column, std::int32_t* flag) = 0;
    virtual ResultCode next() = 0;
    virtual ResultCode getString(std::uint16_t column, char* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getInt16(std::uint16_t column, std::int16_t* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getInt32(std::uint16_t column, std::int32_t* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getDouble(std::uint16_t column, double* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getBcd(std::uint16_t column, BcdValue* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getTimestamp(std::uint16_t column, TimestampValue* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getTime(std::uint16_t column, std::int32_t* milliseconds, std::int32_t* isBlank) = 0;
    virtual ResultCode getDate(std::uint16_t column, std::int32_t* dayNumber, std::int32_t* isBlank) = 0;
    virtual ResultCode getBytes(std::uint16_t column, std::uint8_t* value, std::int32_t* isBlank) = 0;
    virtual ResultCode getBlobSize(std::uint16_t column, std::uint32_t* size, std::int32_t* isBlank) = 0;
    virtual ResultCode getBlob(std::uint16_t column, void* value, std::int32_t* isBlank, std::uint32_t length) = 0;

protected:
    ~SQLCursor() = default;
};

class SQLMetaData {
public:
    virtual ResultCode QueryInterface(const void* iid, void** out) = 0;
    virtual std::int32_t AddRef() = 0;
    virtual std::int32_t Release() = 0;
    virtual ResultCode setOption(std::uint32_t option, std::intptr_t value) = 0;
    virtual ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) = 0;
    virtual ResultCode getObjectList(std::uint8_t kind, SQLCursor** cursor) = 0;
    virtual ResultCode getTables(const char* pattern, std::uint32_t flags, SQLCursor** cursor) = 0;
    virtual ResultCode getProcedures(const char* pattern, std::uint32_t flags, SQLCursor** cursor) = 0;
    virtual ResultCode getColumns(const char* table, const char* pattern, std::uint32_t flags, SQLCursor** cursor) = 0;
    virtual ResultCode getProcedureParams(const char* procedure, const char* pattern, SQLCursor** cursor) = 0;
    virtual ResultCode getIndices(const char* table, std::uint32_t flags, SQLCursor** cursor) = 0;
    virtual ResultCode getErrorText(char* buffer) = 0;
    virtual ResultCode getErrorLength(std::int16_t* length) = 0;

protected:
    ~SQLMetaData() = default;
};

// The library's one export. Hands out a driver object (one reference) whenever `driver` is not
// null, even when the client library named by `vendorLib` fails to load (result 0xFFF9).
// `resourceFile` is not used.
inline constexpr const char* kSqlDriverEntryName = "getSQLDriverBASALT";
using GetSqlDriverFunction = ResultCode (*)(const char* vendorLib, const char* resourceFile, SQLDriver** driver);

extern "C" __attribute__((visibility("default"))) ResultCode getSQLDriverBASALT(const char* vendorLib,
                                                                                const char* resourceFile,
                                                                                SQLDriver** driver);
