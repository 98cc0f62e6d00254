// A metadata cursor: navigation, the list's column descriptions and its values by their source.
#include "driver/basaltmetacursor.h"

#include <cstring>

namespace basalt {
namespace {

bool IsPrimaryKeyIndex(const std::string& indexName) {
    return indexName.find("PRIMARY") != std::string::npos;
}

}  // namespace

BasaltMetadataCursor::BasaltMetadataCursor(MetaList list, const char* argument, SQLCommand* command, SQLCursor* cursor)
    : list_(list), layout_(LayoutOf(list)), argument_(argument ? argument : ""), command_(command), cursor_(cursor) {}

BasaltMetadataCursor::~BasaltMetadataCursor() {
    // The cursor first: releasing it closes the command's result.
    if (cursor_) cursor_->Release();
    if (command_) command_->Release();
}

ResultCode BasaltMetadataCursor::describedColumn(std::uint16_t column, const MetaColumn** desc) const {
    if (column == 0 || column > layout_.count) return kResultOutOfRange;
    *desc = &layout_.columns[column - 1];
    return kResultOk;
}

std::uint32_t BasaltMetadataCursor::lengthOf(const MetaColumn& column) const {
    if (column.length == kLengthOfArgument) return static_cast<std::uint32_t>(argument_.size() + 1);
    if (column.length != kLengthOfQueryColumn) return column.length;
    std::uint32_t length = 0;
    if (!cursor_ || cursor_->getColumnLength(column.queryColumn, &length) != kResultOk || length < 1)
        return kDefaultNameLength;
    return length;
}

ResultCode BasaltMetadataCursor::currentColumn(std::uint16_t column, const MetaColumn** desc) const {
    ResultCode result = describedColumn(column, desc);
    if (result != kResultOk) return result;
    if (row_ == Row::BeforeFirst) return kResultNoHandle;
    if (row_ == Row::AfterLast) return kResultEndOfData;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::setOption(std::uint32_t, std::intptr_t) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getOption(std::uint32_t, void*, std::int16_t, std::int16_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getErrorText(char* buffer) {
    return command_ ? command_->getErrorText(buffer) : kResultNoHandle;
}

ResultCode BasaltMetadataCursor::getErrorLength(std::int16_t* length) {
    return command_ ? command_->getErrorLength(length) : kResultNoHandle;
}

ResultCode BasaltMetadataCursor::getColumnCount(std::uint16_t* count) {
    if (!count) return kResultMissingPointer;
    *count = layout_.count;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnNameLength(std::uint16_t column, std::uint16_t* length) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!length) return kResultMissingPointer;
    *length = static_cast<std::uint16_t>(std::strlen(c->name) + 1);
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnName(std::uint16_t column, char* name) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!name) return kResultMissingPointer;
    std::memcpy(name, c->name, std::strlen(c->name) + 1);
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnType(std::uint16_t column, std::uint16_t* type, std::uint16_t* subType) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!type || !subType) return kResultMissingPointer;
    *type = c->fieldType;
    *subType = 0;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnLength(std::uint16_t column, std::uint32_t* length) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!length) return kResultMissingPointer;
    *length = lengthOf(*c);
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnPrecision(std::uint16_t column, std::int16_t* precision) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!precision) return kResultMissingPointer;
    // A text's length counts its terminator, its precision only the characters.
    std::uint32_t length = lengthOf(*c);
    *precision = static_cast<std::int16_t>(c->fieldType == kFieldString ? length - 1 : length);
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getColumnScale(std::uint16_t column, std::int16_t* scale) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!scale) return kResultMissingPointer;
    *scale = 0;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::isNullable(std::uint16_t column, std::int32_t* flag) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!flag) return kResultMissingPointer;
    *flag = 0;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::isAutoIncrement(std::uint16_t column, std::int32_t* flag) {
    return isNullable(column, flag);
}

ResultCode BasaltMetadataCursor::isReadOnly(std::uint16_t column, std::int32_t* flag) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (!flag) return kResultMissingPointer;
    *flag = 1;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::isSearchable(std::uint16_t column, std::int32_t* flag) {
    return isReadOnly(column, flag);
}

ResultCode BasaltMetadataCursor::isBlobSizeExact(std::uint16_t, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::next() {
    if (cursor_) {
        ResultCode result = cursor_->next();
        if (result == kResultOk) {
            ++rowNumber_;
            row_ = Row::Current;
            return result;
        }
        // Composed now, while the status vector still holds the cause.
        std::int16_t length = 0;
        if (result != kResultEndOfList) command_->getErrorLength(&length);
        row_ = Row::AfterLast;
        return result;
    }
    if (list_ == MetaList::DataTypes && row_ != Row::AfterLast && rowNumber_ < kDataTypeCount) {
        ++rowNumber_;
        row_ = Row::Current;
        return kResultOk;
    }
    row_ = Row::AfterLast;
    return kResultEndOfList;
}

ResultCode BasaltMetadataCursor::getString(std::uint16_t column, char* value, std::int32_t* isBlank) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (c->fieldType != kFieldString) return kResultTypeMismatch;
    if (!value || !isBlank) return kResultMissingPointer;
    result = currentColumn(column, &c);
    if (result != kResultOk) return result;
    std::string text;
    bool null = false;
    result = textValue(*c, &text, &null);
    if (result != kResultOk) return result;
    *isBlank = null ? 1 : 0;
    if (null) return kResultOk;
    // Never more than the column's reported length, which is what the caller's buffer holds.
    std::size_t room = lengthOf(*c) - 1;
    std::size_t size = text.size() < room ? text.size() : room;
    std::memcpy(value, text.data(), size);
    value[size] = '\0';
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getInt16(std::uint16_t column, std::int16_t* value, std::int32_t* isBlank) {
    std::int32_t number = 0;
    ResultCode result = getInt32(column, value ? &number : nullptr, isBlank);
    if (result == kResultOk && *isBlank == 0) *value = static_cast<std::int16_t>(number);
    return result;
}

ResultCode BasaltMetadataCursor::getInt32(std::uint16_t column, std::int32_t* value, std::int32_t* isBlank) {
    const MetaColumn* c;
    ResultCode result = describedColumn(column, &c);
    if (result != kResultOk) return result;
    if (c->fieldType != kFieldInt16 && c->fieldType != kFieldInt32) return kResultTypeMismatch;
    if (!value || !isBlank) return kResultMissingPointer;
    result = currentColumn(column, &c);
    if (result != kResultOk) return result;
    std::int32_t number = 0;
    bool null = false;
    result = numberValue(*c, &number, &null);
    if (result != kResultOk) return result;
    *isBlank = null ? 1 : 0;
    if (!null) *value = number;
    return kResultOk;
}

ResultCode BasaltMetadataCursor::getDouble(std::uint16_t, double*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getBcd(std::uint16_t, BcdValue*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getTimestamp(std::uint16_t, TimestampValue*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getTime(std::uint16_t, std::int32_t*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getDate(std::uint16_t, std::int32_t*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getBytes(std::uint16_t, std::uint8_t*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getBlobSize(std::uint16_t, std::uint32_t*, std::int32_t*) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::getBlob(std::uint16_t, void*, std::int32_t*, std::uint32_t) {
    return kResultNotSupported;
}

ResultCode BasaltMetadataCursor::textValue(const MetaColumn& column, std::string* text, bool* isNull) {
    switch (column.source) {
        case MetaSource::NullText:
            *text = "<NULL>";
            return kResultOk;
        case MetaSource::Argument:
            *text = argument_;
            return kResultOk;
        case MetaSource::Query:
            return queryText(column.queryColumn, text, isNull);
        case MetaSource::DataTypeList:
            *text = DataTypeAt(rowNumber_ - 1).name;
            return kResultOk;
        case MetaSource::SortOrder: {
            std::int32_t indexType = 0;
            ResultCode result = queryNumber(10, &indexType, isNull);
            *text = *isNull || indexType == 0 ? "A" : "D";
            *isNull = false;
            return result;
        }
        case MetaSource::PrimaryKeyName: {
            ResultCode result = queryText(column.queryColumn, text, isNull);
            if (result == kResultOk && !*isNull && !IsPrimaryKeyIndex(*text)) *isNull = true;
            return result;
        }
        case MetaSource::DataTypeName: {
            const DataTypeEntry* entry = nullptr;
            ResultCode result = queryDataType(&entry);
            if (result == kResultOk) *text = entry->name;
            return result;
        }
        default:
            return kResultTypeMismatch;
    }
}

ResultCode BasaltMetadataCursor::numberValue(const MetaColumn& column, std::int32_t* number, bool* isNull) {
    std::int32_t value = 0;
    bool null = false;
    ResultCode result = kResultOk;
    switch (column.source) {
        case MetaSource::RowNumber:
            *number = rowNumber_;
            return kResultOk;
        case MetaSource::Query:
            return queryNumber(column.queryColumn, number, isNull);
        case MetaSource::TableType: {
            result = queryIsNull(5, &null);
            if (result != kResultOk) return result;
            *number = null ? 1 : 2;
            result = queryNumber(6, &value, &null);
            if (!null && value > 0) *number += 4;
            return result;
        }
        case MetaSource::ProcType:
            result = queryNumber(8, &value, &null);
            *number = null || value < 1 ? 1 : 9;
            return result;
        case MetaSource::IndexType: {
            result = queryNumber(12, &value, &null);
            if (result != kResultOk) return result;
            *number = null || value == 0 ? 1 : 2;
            std::string indexName;
            result = queryText(5, &indexName, &null);
            if (!null && IsPrimaryKeyIndex(indexName)) *number += 4;
            return result;
        }
        case MetaSource::ColumnType:
            result = queryIsNull(15, &null);
            *number = null ? 0 : 8;
            return result;
        case MetaSource::Nullable:
            result = queryNumber(14, &value, &null);
            *number = null || value != 1 ? 1 : 0;
            return result;
        case MetaSource::ParamType:
            result = queryNumber(7, &value, isNull);
            *number = value + 1;
            return result;
        default:
            return dataTypeValue(column, number, isNull);
    }
}

ResultCode BasaltMetadataCursor::dataTypeValue(const MetaColumn& column, std::int32_t* number, bool*) {
    const DataTypeEntry* entry = nullptr;
    ResultCode result = queryDataType(&entry);
    if (result != kResultOk) return result;
    switch (column.source) {
        case MetaSource::DataType:
            *number = entry->dataType;
            return kResultOk;
        case MetaSource::DataSubType:
            *number = entry->subType;
            return kResultOk;
        case MetaSource::DataScale:
            *number = entry->fieldType == 16 ? -1 : 0;
            return kResultOk;
        case MetaSource::DataLength:
        case MetaSource::DataPrecision:
            break;
        default:
            return kResultTypeMismatch;
    }
    if (entry->length != 0) {
        *number = static_cast<std::int32_t>(entry->length);
        return kResultOk;
    }
    // The field's own length: a column's counts a terminator, a parameter's precision is one less.
    std::int32_t fieldLength = 0;
    bool null = false;
    result = queryNumber(11, &fieldLength, &null);
    if (list_ == MetaList::Columns)
        *number = fieldLength + 1;
    else
        *number = column.source == MetaSource::DataLength ? fieldLength : fieldLength - 1;
    return result;
}

ResultCode BasaltMetadataCursor::queryText(std::uint16_t column, std::string* text, bool* isNull) {
    if (!cursor_) return kResultNoHandle;
    std::uint16_t type = 0, subType = 0;
    std::uint32_t length = 0;
    ResultCode result = cursor_->getColumnType(column, &type, &subType);
    if (result == kResultOk) result = cursor_->getColumnLength(column, &length);
    if (result != kResultOk) return result;
    if (type != kFieldString) return kResultTypeMismatch;
    std::string buffer(length + 1, '\0');
    std::int32_t blank = 0;
    result = cursor_->getString(column, buffer.data(), &blank);
    if (result != kResultOk) return result;
    *isNull = blank != 0;
    if (*isNull) return kResultOk;
    std::size_t size = std::strlen(buffer.c_str());
    while (size > 0 && buffer[size - 1] == ' ') --size;
    text->assign(buffer, 0, size);
    return kResultOk;
}

ResultCode BasaltMetadataCursor::queryNumber(std::uint16_t column, std::int32_t* number, bool* isNull) {
    if (!cursor_) return kResultNoHandle;
    std::uint16_t type = 0, subType = 0;
    ResultCode result = cursor_->getColumnType(column, &type, &subType);
    if (result != kResultOk) return result;
    std::int32_t blank = 0;
    if (type == kFieldInt16) {
        std::int16_t small = 0;
        result = cursor_->getInt16(column, &small, &blank);
        *number = small;
    } else if (type == kFieldInt32) {
        result = cursor_->getInt32(column, number, &blank);
    } else {
        return kResultTypeMismatch;
    }
    *isNull = blank != 0;
    return result;
}

ResultCode BasaltMetadataCursor::queryIsNull(std::uint16_t column, bool* isNull) {
    if (!cursor_) return kResultNoHandle;
    std::uint16_t type = 0, subType = 0;
    ResultCode result = cursor_->getColumnType(column, &type, &subType);
    if (result != kResultOk) return result;
    if (type == kFieldString) {
        std::string text;
        return queryText(column, &text, isNull);
    }
    if (type == kFieldInt16 || type == kFieldInt32) {
        std::int32_t number = 0;
        return queryNumber(column, &number, isNull);
    }
    if (type != kFieldBlob) return kResultTypeMismatch;
    std::uint32_t size = 0;
    std::int32_t blank = 0;
    result = cursor_->getBlobSize(column, &size, &blank);
    *isNull = blank != 0;
    return result == kResultEndOfData ? kResultOk : result;
}

ResultCode BasaltMetadataCursor::queryDataType(const DataTypeEntry** entry) {
    std::int32_t fieldType = 0;
    bool null = false;
    ResultCode result = queryNumber(8, &fieldType, &null);
    if (result != kResultOk) return result;
    *entry = null ? nullptr : FindDataType(fieldType);
    return *entry ? kResultOk : kResultNotSupported;
}

}  // namespace basalt
