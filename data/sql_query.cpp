// The forward-only text query over the driver's command and cursor.
#include "data/sql_query.h"

#include <strings.h>

#include <vector>

#include "common/message.h"
#include "common/sjis.h"
#include "data/field_text.h"
#include "data/sql_connection.h"
#include "driver/sqldriver.h"

namespace plx {
namespace {

std::string QueryCodeText(ResultCode rc) {
    return SJ("ドライバの結果コード ") + std::to_string(rc);
}

// One value read with a cursor getter of the common (column, value, blank) form, as text; empty
// text for NULL or a failed read.
template <typename Value, typename ToText>
std::string ValueText(SQLCursor* cursor, ResultCode (SQLCursor::*get)(std::uint16_t, Value*, std::int32_t*),
                      std::uint16_t column, ToText toText) {
    Value value{};
    std::int32_t blank = 1;
    if ((cursor->*get)(column, &value, &blank) != kResultOk || blank) return {};
    return toText(value);
}

std::string IntegerText(long long value) {
    return std::to_string(value);
}

}  // namespace

SqlQuery::SqlQuery(SqlConnection& connection, std::string name) : connection_(connection), name_(std::move(name)) {
    connection_.Attach(this);
}

SqlQuery::~SqlQuery() {
    Close();
    connection_.Detach(this);
}

void SqlQuery::SetSql(std::string sql) {
    Close();
    sql_ = std::move(sql);
}

std::string SqlQuery::Fail(const std::string& fallback) const {
    std::string text = DriverErrorText(command_);
    if (text.empty()) text = connection_.ErrorText();
    return text.empty() ? fallback : text;
}

bool SqlQuery::Open(std::string* error) {
    std::string scratch;
    if (!error) error = &scratch;
    Close();
    SQLConnection* connection = connection_.DriverConnection();
    if (!connection) {
        *error = SJ("データベースに接続されていません。");
        return false;
    }
    ResultCode rc = connection->createCommand(&command_);
    if (rc == kResultOk) rc = command_->prepare(sql_.c_str(), 0);
    SQLCursor* cursor = nullptr;
    if (rc == kResultOk) rc = command_->execute(&cursor);
    if (rc != kResultOk) {
        *error = Fail(QueryCodeText(rc));
        if (cursor) cursor->Release();
        Close();
        return false;
    }
    if (!cursor) {
        *error = SJ("結果の行を返さない文です。");
        Close();
        return false;
    }
    cursor_ = cursor;
    if (!DescribeFields(error) || !Fetch(error)) {
        Close();
        return false;
    }
    return true;
}

bool SqlQuery::DescribeFields(std::string* error) {
    std::uint16_t count = 0;
    ResultCode rc = cursor_->getColumnCount(&count);
    for (std::uint16_t column = 1; rc == kResultOk && column <= count; ++column) {
        Field field;
        std::uint16_t nameLength = 0;
        rc = cursor_->getColumnNameLength(column, &nameLength);
        if (rc != kResultOk) break;
        std::vector<char> name(static_cast<std::size_t>(nameLength) + 1, '\0');
        rc = cursor_->getColumnName(column, name.data());
        if (rc == kResultOk) rc = cursor_->getColumnType(column, &field.type, &field.subType);
        if (rc == kResultOk) rc = cursor_->getColumnLength(column, &field.length);
        field.name = name.data();
        fields_.push_back(std::move(field));
    }
    if (rc != kResultOk) *error = Fail(QueryCodeText(rc));
    return rc == kResultOk;
}

bool SqlQuery::Fetch(std::string* error) {
    ResultCode rc = cursor_->next();
    if (rc == kResultOk) {
        ++rowCount_;
        eof_ = false;
        return true;
    }
    eof_ = true;
    if (rc == kResultEndOfData) return true;
    *error = Fail(QueryCodeText(rc));
    return false;
}

void SqlQuery::Next() {
    if (Eof()) return;
    std::string error;
    if (!Fetch(&error)) ShowMsg(SJ("問い合わせの読み込みでエラーが発生しました。") + "\n" + sql_ + "\n" + error);
}

void SqlQuery::Close() {
    // The cursor goes first: releasing it closes the command's result.
    if (cursor_) cursor_->Release();
    cursor_ = nullptr;
    if (command_) command_->Release();
    command_ = nullptr;
    fields_.clear();
    eof_ = true;
    rowCount_ = 0;
}

int SqlQuery::FieldIndex(const std::string& fieldName) const {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (::strcasecmp(fields_[i].name.c_str(), fieldName.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

std::string SqlQuery::FieldAsText(const std::string& fieldName) const {
    const int index = FieldIndex(fieldName);
    if (Eof() || index < 0) return {};
    const Field& field = fields_[static_cast<std::size_t>(index)];
    const auto column = static_cast<std::uint16_t>(index + 1);
    switch (field.type) {
        case kFieldString: {
            std::vector<char> text(static_cast<std::size_t>(field.length) + 2, '\0');
            std::int32_t blank = 1;
            if (cursor_->getString(column, text.data(), &blank) != kResultOk || blank) return {};
            return text.data();
        }
        case kFieldInt16:
            return ValueText(cursor_, &SQLCursor::getInt16, column, IntegerText);
        case kFieldInt32:
            return ValueText(cursor_, &SQLCursor::getInt32, column, IntegerText);
        case kFieldFloat:
            return ValueText(cursor_, &SQLCursor::getDouble, column, DoubleText);
        case kFieldBcd:
            return ValueText(cursor_, &SQLCursor::getBcd, column, BcdText);
        case kFieldDate:
            return ValueText(cursor_, &SQLCursor::getDate, column, DayNumberText);
        case kFieldTime:
            return ValueText(cursor_, &SQLCursor::getTime, column, TimeOfDayText);
        case kFieldTimestamp:
            return ValueText(cursor_, &SQLCursor::getTimestamp, column, TimestampText);
        case kFieldBlob: {
            std::uint32_t size = 0;
            std::int32_t blank = 1;
            if (cursor_->getBlobSize(column, &size, &blank) != kResultOk || blank || size == 0) return {};
            std::string bytes(size, '\0');
            if (cursor_->getBlob(column, bytes.data(), &blank, size) != kResultOk || blank) return {};
            return bytes;
        }
        default:  // array columns have no text form
            return {};
    }
}

}  // namespace plx
