// A cursor: navigation, column descriptions and the typed getters over the command's row buffer.
#include "driver/basaltcursor.h"

#include <cstring>
#include <ctime>

#include "driver/basaltcomm.h"
#include "driver/value_formats.h"

namespace basalt {
namespace {

std::int64_t PowerOfTen(int exponent) {
    std::int64_t value = 1;
    while (exponent-- > 0) value *= 10;
    return value;
}

// An integer column's value with its scale applied, truncated.
std::int64_t Scaled(std::int64_t value, int scale) {
    if (scale > 0) return value * PowerOfTen(scale > 18 ? 18 : scale);
    if (scale < 0) return value / PowerOfTen(-scale > 18 ? 18 : -scale);
    return value;
}

template <class T>
T Load(const char* slot) {
    T value;
    std::memcpy(&value, slot, sizeof value);
    return value;
}

}  // namespace

BasaltCursor::~BasaltCursor() {
    if (command_) command_->cursorGone(this);
}

ResultCode BasaltCursor::describedColumn(std::uint16_t column, const ColumnDesc** desc) const {
    if (!command_ || !command_->columns()) return kResultNoHandle;
    if (column == 0 || column > command_->columnCount()) return kResultOutOfRange;
    *desc = &command_->columns()[column - 1];
    return kResultOk;
}

ResultCode BasaltCursor::valueSlot(std::uint16_t column, std::uint16_t fieldType, const void* value,
                                   std::int32_t* isBlank, const ColumnDesc** desc, const char** slot) const {
    if (!command_ || !command_->rowBuffer()) return kResultNoHandle;
    if (column == 0 || column > command_->columnCount()) return kResultOutOfRange;
    const ColumnDesc& c = command_->columns()[column - 1];
    if (c.fieldType != fieldType) return kResultTypeMismatch;
    if (!value || !isBlank) return kResultMissingPointer;
    if (row_ != Row::Current) return row_ == Row::AfterLast ? kResultEndOfData : kResultNoHandle;
    const char* row = command_->rowBuffer();
    *desc = &c;
    bool null = Load<std::int32_t>(row + c.indicatorOffset) == -1;
    *isBlank = null ? 1 : 0;
    *slot = null ? nullptr : row + c.valueOffset;
    return kResultOk;
}

ResultCode BasaltCursor::setOption(std::uint32_t, std::intptr_t) {
    return kResultNotSupported;
}

ResultCode BasaltCursor::getOption(std::uint32_t, void*, std::int16_t, std::int16_t*) {
    return kResultNotSupported;
}

ResultCode BasaltCursor::getErrorText(char* buffer) {
    return command_ ? command_->getErrorText(buffer) : kResultNoHandle;
}

ResultCode BasaltCursor::getErrorLength(std::int16_t* length) {
    return command_ ? command_->getErrorLength(length) : kResultNoHandle;
}

ResultCode BasaltCursor::getColumnCount(std::uint16_t* count) {
    if (!count) return kResultMissingPointer;
    if (!command_) return kResultNoHandle;
    *count = command_->columnCount();
    return kResultOk;
}

ResultCode BasaltCursor::getColumnNameLength(std::uint16_t column, std::uint16_t* length) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!length) return kResultMissingPointer;
    *length = static_cast<std::uint16_t>(std::strlen(c->name) + 1);
    return kResultOk;
}

ResultCode BasaltCursor::getColumnName(std::uint16_t column, char* name) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!name) return kResultMissingPointer;
    std::memcpy(name, c->name, std::strlen(c->name) + 1);
    return kResultOk;
}

ResultCode BasaltCursor::getColumnType(std::uint16_t column, std::uint16_t* type, std::uint16_t* subType) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!type || !subType) return kResultMissingPointer;
    *type = c->fieldType;
    *subType = c->subType;
    return kResultOk;
}

ResultCode BasaltCursor::getColumnLength(std::uint16_t column, std::uint32_t* length) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!length) return kResultMissingPointer;
    *length = c->length;
    return kResultOk;
}

ResultCode BasaltCursor::getColumnPrecision(std::uint16_t column, std::int16_t* precision) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!precision) return kResultMissingPointer;
    *precision = c->precision;
    return kResultOk;
}

ResultCode BasaltCursor::getColumnScale(std::uint16_t column, std::int16_t* scale) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!scale) return kResultMissingPointer;
    *scale = c->scale;
    return kResultOk;
}

ResultCode BasaltCursor::isNullable(std::uint16_t column, std::int32_t* flag) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!flag) return kResultMissingPointer;
    *flag = (c->flags & kNullableFlag) ? 1 : 0;
    return kResultOk;
}

ResultCode BasaltCursor::isAutoIncrement(std::uint16_t column, std::int32_t* flag) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!flag) return kResultMissingPointer;
    *flag = 0;
    return kResultOk;
}

ResultCode BasaltCursor::isReadOnly(std::uint16_t column, std::int32_t* flag) {
    return isAutoIncrement(column, flag);
}

ResultCode BasaltCursor::isSearchable(std::uint16_t column, std::int32_t* flag) {
    if (!flag) return kResultMissingPointer;
    *flag = 1;
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    *flag = c->internalType == kTypeBlob || c->internalType == kTypeTextBlob ? 0 : 1;
    return kResultOk;
}

ResultCode BasaltCursor::isBlobSizeExact(std::uint16_t, std::int32_t* flag) {
    if (!flag) return kResultMissingPointer;
    *flag = 1;
    return kResultOk;
}

ResultCode BasaltCursor::next() {
    if (!command_) return kResultNoHandle;
    // After the end the client is not asked again: it would report a closed cursor.
    if (row_ == Row::AfterLast) return kResultEndOfData;
    ResultCode result = command_->fetch();
    // Only the end is final; after a failed fetch there is no current row, and the next call asks
    // the client again, which says what became of the cursor.
    row_ = result == kResultOk ? Row::Current : result == kResultEndOfData ? Row::AfterLast : Row::BeforeFirst;
    return result;
}

ResultCode BasaltCursor::getString(std::uint16_t column, char* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldString, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    std::uint32_t length = static_cast<std::uint32_t>(c->sqlLength);
    if (c->internalType == kTypeVarying) {
        std::uint16_t stored = Load<std::uint16_t>(slot);
        length = stored < length ? stored : length;
        slot += 2;
    }
    std::memcpy(value, slot, length);
    value[length] = '\0';
    return kResultOk;
}

ResultCode BasaltCursor::getInt16(std::uint16_t column, std::int16_t* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldInt16, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    *value = static_cast<std::int16_t>(Scaled(Load<std::int16_t>(slot), c->clientScale));
    return kResultOk;
}

ResultCode BasaltCursor::getInt32(std::uint16_t column, std::int32_t* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldInt32, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    *value = static_cast<std::int32_t>(Scaled(Load<std::int32_t>(slot), c->clientScale));
    return kResultOk;
}

ResultCode BasaltCursor::getDouble(std::uint16_t column, double* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldFloat, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    if (c->dataLength == 4)
        *value = Load<float>(slot);
    else if (c->dataLength == 8)
        *value = Load<double>(slot);
    else
        return kResultFloatLength;
    return kResultOk;
}

ResultCode BasaltCursor::getBcd(std::uint16_t column, BcdValue* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldBcd, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    char text[kDecimalTextSize];
    bool fits = true;
    switch (c->internalType) {
        case kTypeShort:
            fits = FormatScaled(Load<std::int16_t>(slot), c->clientScale, text);
            break;
        case kTypeLong:
            fits = FormatScaled(Load<std::int32_t>(slot), c->clientScale, text);
            break;
        case kTypeInt64:
            fits = FormatScaled(Load<std::int64_t>(slot), c->clientScale, text);
            break;
        case kTypeDouble:
            FormatDouble(Load<double>(slot), -c->clientScale, text);
            break;
        default:
            return kResultTypeMismatch;
    }
    if (!fits) {
        std::memset(value, 0, sizeof *value);
        return kResultTypeMismatch;
    }
    return PackBcd(text, value);
}

ResultCode BasaltCursor::getTimestamp(std::uint16_t column, TimestampValue* value, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldTimestamp, value, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    *value = DecodeTimestamp(*command_->statement()->client->entries, slot);
    return kResultOk;
}

ResultCode BasaltCursor::getTime(std::uint16_t column, std::int32_t* milliseconds, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldTime, milliseconds, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    const ClientEntryTable& e = *command_->statement()->client->entries;
    if (!e.decode_sql_time) return kResultClientNotLoaded;
    ISC_TIME time = Load<ISC_TIME>(slot);
    std::tm fields{};
    e.decode_sql_time(&time, &fields);
    std::int32_t inMinute = fields.tm_sec * 1000;
    if (fields.tm_hour > 23 || fields.tm_min >= 60 || inMinute > 59'999) return kResultTimeRange;
    *milliseconds = (fields.tm_hour * 60 + fields.tm_min) * 60'000 + inMinute;
    return kResultOk;
}

ResultCode BasaltCursor::getDate(std::uint16_t column, std::int32_t* dayNumber, std::int32_t* isBlank) {
    const ColumnDesc* c;
    const char* slot;
    ResultCode result = valueSlot(column, kFieldDate, dayNumber, isBlank, &c, &slot);
    if (result != kResultOk || !slot) return result;
    const ClientEntryTable& e = *command_->statement()->client->entries;
    if (!e.decode_sql_date) return kResultClientNotLoaded;
    ISC_DATE date = Load<ISC_DATE>(slot);
    std::tm fields{};
    e.decode_sql_date(&date, &fields);
    *dayNumber = DayNumber(fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday);
    return kResultOk;
}

ResultCode BasaltCursor::getBytes(std::uint16_t column, std::uint8_t*, std::int32_t* isBlank) {
    const ColumnDesc* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (c->internalType != kTypeArray) return kResultNotSupported;
    if (!isBlank) return kResultMissingPointer;
    // Array contents are not read: they would need the client's slice calls.
    *isBlank = 1;
    return kResultOk;
}

ResultCode BasaltCursor::blobId(std::uint16_t column, std::int32_t* isBlank, ISC_QUAD* id, bool* isNull) const {
    const ColumnDesc* c;
    const char* slot;
    std::uint8_t unused;
    ResultCode result = valueSlot(column, kFieldBlob, &unused, isBlank, &c, &slot);
    if (result != kResultOk) return result;
    *isNull = slot == nullptr;
    if (slot) *id = Load<ISC_QUAD>(slot + kBlobIdOffset);
    return kResultOk;
}

ResultCode BasaltCursor::getBlobSize(std::uint16_t column, std::uint32_t* size, std::int32_t* isBlank) {
    if (!size) return kResultMissingPointer;
    ISC_QUAD id;
    bool null = false;
    ResultCode result = blobId(column, isBlank, &id, &null);
    if (result == kResultTypeMismatch) return kResultNotBlob;
    if (result != kResultOk || null) return result;
    return BlobSize(*command_->statement(), id, size);
}

ResultCode BasaltCursor::getBlob(std::uint16_t column, void* value, std::int32_t* isBlank, std::uint32_t length) {
    ISC_QUAD id;
    bool null = false;
    ResultCode result = blobId(column, isBlank, &id, &null);
    if (result != kResultOk || null) return result;
    std::uint32_t size = 0;
    result = BlobSize(*command_->statement(), id, &size);
    if (result == kResultEndOfData) return kResultOk;
    if (result != kResultOk || !value) return result;
    return ReadBlob(*command_->statement(), id, static_cast<char*>(value), size < length ? size : length);
}

}  // namespace basalt
