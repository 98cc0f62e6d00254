// The metadata object: requests, options and the saved error text.
#include "driver/basaltmeta.h"

#include <cstring>
#include <new>

#include "driver/basaltmetacursor.h"
#include "driver/metadata_sql.h"

namespace basalt {
namespace {

constexpr std::uint32_t kOptionObjectName = 1;

void WriteInt32(void* value, std::int32_t number, std::int16_t* length) {
    std::memcpy(value, &number, sizeof number);
    if (length) *length = sizeof number;
}

// Upper-cases the single-byte letters of a code-page 932 text; the second byte of a double-byte
// character is left alone even where it looks like a letter.
std::string UpperCased(const char* text) {
    std::string upper(text);
    for (std::size_t i = 0; i < upper.size(); ++i) {
        auto byte = static_cast<unsigned char>(upper[i]);
        if ((byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC)) {
            ++i;
        } else if (byte >= 'a' && byte <= 'z') {
            upper[i] = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

BasaltMetadata::BasaltMetadata(SQLConnection* connection) : connection_(connection) {
    connection_->AddRef();
}

BasaltMetadata::~BasaltMetadata() {
    connection_->Release();
}

ResultCode BasaltMetadata::setOption(std::uint32_t option, std::intptr_t value) {
    if ((option & 0xFF) != kOptionObjectName) return kResultNotSupported;
    // The caller's text is only read: it may be a constant.
    const char* text = reinterpret_cast<const char*>(value);
    hasObjectName_ = text != nullptr;
    objectName_ = text ? UpperCased(text) : std::string();
    return kResultOk;
}

ResultCode BasaltMetadata::getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) {
    option &= 0xFF;
    if (option >= 16) return kResultOk;
    switch (option) {
        case 2:
            return connection_->getOption(kConnOptionHostName, value, maxLength, length);
        case 3:
            return connection_->getOption(kConnOptionServerVersion, value, maxLength, length);
        case 4:
            return connection_->getOption(kConnOptionIsolation, value, maxLength, length);
        case 11:
            return connection_->getOption(kConnOptionQuoteChar, value, 4, length);
        case 6:
        case 8:
        case 10:
        case 12:
            return kResultNotSupported;
        default:
            break;
    }
    if (!value) return kResultMissingPointer;
    switch (option) {
        case 0:
            WriteInt32(value, 0, nullptr);
            if (length) *length = 0;
            return kResultOk;
        case kOptionObjectName: {
            if (!hasObjectName_) {
                if (maxLength > 0) static_cast<char*>(value)[0] = '\0';
                if (length) *length = 0;
                return kResultOk;
            }
            auto needed = static_cast<std::int16_t>(objectName_.size() + 1);
            if (length) *length = needed;
            if (needed > maxLength) return kResultInvalidValue;
            std::memcpy(value, objectName_.c_str(), objectName_.size() + 1);
            return kResultOk;
        }
        case 5:
        case 15:
            WriteInt32(value, 1, length);
            return kResultOk;
        case 7:
            WriteInt32(value, 0x8000, length);
            return kResultOk;
        case 9:
            WriteInt32(value, 0x10000, length);
            return kResultOk;
        default:  // 13 and 14
            WriteInt32(value, 0, length);
            return kResultOk;
    }
}

ResultCode BasaltMetadata::getObjectList(std::uint8_t kind, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    if (kind == kObjectListTypes) return handOut(MetaList::DataTypes, nullptr, nullptr, nullptr, cursor);
    std::string sql;
    ResultCode result = ObjectListSql(kind, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::Objects, nullptr, cursor);
}

ResultCode BasaltMetadata::getTables(const char* pattern, std::uint32_t flags, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    std::string sql;
    ResultCode result = TablesSql(pattern, flags, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::Tables, pattern, cursor);
}

ResultCode BasaltMetadata::getProcedures(const char* pattern, std::uint32_t flags, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    std::string sql;
    ResultCode result = ProceduresSql(pattern, flags, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::Procedures, pattern, cursor);
}

ResultCode BasaltMetadata::getColumns(const char* table, const char* pattern, std::uint32_t flags, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    std::string sql;
    ResultCode result = ColumnsSql(table, pattern, flags, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::Columns, table, cursor);
}

ResultCode BasaltMetadata::getProcedureParams(const char* procedure, const char*, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    std::string sql;
    ResultCode result = ProcedureParamsSql(procedure, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::ProcedureParams, procedure, cursor);
}

ResultCode BasaltMetadata::getIndices(const char* table, std::uint32_t flags, SQLCursor** cursor) {
    if (!cursor) return kResultMissingPointer;
    *cursor = nullptr;
    std::string sql;
    ResultCode result = IndicesSql(table, flags, &sql);
    if (result != kResultOk) return result;
    return run(sql, MetaList::Indices, table, cursor);
}

ResultCode BasaltMetadata::run(const std::string& sql, MetaList list, const char* argument, SQLCursor** cursor) {
    SQLCommand* command = nullptr;
    SQLCursor* inner = nullptr;
    ResultCode result = connection_->createCommand(&command);
    if (result == kResultOk) result = command->prepare(sql.c_str(), 0);
    if (result == kResultOk) result = command->execute(&inner);
    if (result != kResultOk || !inner) {
        // Catalogue errors are not results: the caller gets an empty list and the text stays here.
        if (result != kResultOk) saveError(command);
        if (inner) inner->Release();
        if (command) command->Release();
        command = nullptr;
        inner = nullptr;
    }
    return handOut(list, argument, command, inner, cursor);
}

ResultCode BasaltMetadata::handOut(MetaList list, const char* argument, SQLCommand* command, SQLCursor* inner,
                                   SQLCursor** cursor) {
    auto* created = new (std::nothrow) BasaltMetadataCursor(list, argument, command, inner);
    if (!created) {
        if (inner) inner->Release();
        if (command) command->Release();
        return kResultNotCreated;
    }
    created->AddRef();
    *cursor = created;
    return kResultOk;
}

void BasaltMetadata::saveError(SQLCommand* command) {
    hasSavedError_ = false;
    savedError_.clear();
    std::int16_t length = 0;
    if (!command || command->getErrorLength(&length) != kResultOk || length <= 0) return;
    std::string text(static_cast<std::size_t>(length), '\0');
    command->getErrorText(text.data());
    text.resize(std::strlen(text.c_str()));
    savedError_ = text;
    hasSavedError_ = true;
}

ResultCode BasaltMetadata::getErrorLength(std::int16_t* length) {
    if (!length) return kResultMissingPointer;
    // Counted with the terminator, as every other object of the driver counts it, so that a buffer
    // of this length holds what getErrorText writes.
    *length = hasSavedError_ ? static_cast<std::int16_t>(savedError_.size() + 1) : 0;
    return kResultOk;
}

ResultCode BasaltMetadata::getErrorText(char* buffer) {
    if (buffer && hasSavedError_) std::memcpy(buffer, savedError_.c_str(), savedError_.size() + 1);
    return kResultOk;
}

}  // namespace basalt
