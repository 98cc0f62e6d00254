// The forward-only text query over the driver's command and cursor.
#include "common/sql_query.h"

#include <strings.h>

#include <vector>

#include "common/field_text.h"
#include "common/message.h"
#include "common/sjis.h"
#include "common/sql_connection.h"
#include "driver/sqldriver.h"

namespace plx {

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
    auto codeText = [](ResultCode rc) { return SJ("ドライバの結果コード ") + std::to_string(rc); };
    ResultCode rc = connection->createCommand(&command_);
    if (rc == kResultOk) rc = command_->prepare(sql_.c_str(), 0);
    SQLCursor* cursor = nullptr;
    if (rc == kResultOk) rc = command_->execute(&cursor);
    if (rc != kResultOk) {
        *error = Fail(codeText(rc));
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
    if (rc != kResultOk) *error = Fail(SJ("ドライバの結果コード ") + std::to_string(rc));
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
    *error = Fail(SJ("ドライバの結果コード ") + std::to_string(rc));
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
    std::int32_t blank = 1;
    switch (field.type) {
        case kFieldString: {
            std::vector<char> text(static_cast<std::size_t>(field.length) + 2, '\0');
            if (cursor_->getString(column, text.data(), &blank) != kResultOk || blank) return {};
            return text.data();
        }
        case kFieldInt16: {
            std::int16_t value = 0;
            if (cursor_->getInt16(column, &value, &blank) != kResultOk || blank) return {};
            return std::to_string(value);
        }
        case kFieldInt32: {
            std::int32_t value = 0;
            if (cursor_->getInt32(column, &value, &blank) != kResultOk || blank) return {};
            return std::to_string(value);
        }
        case kFieldFloat: {
            double value = 0;
            if (cursor_->getDouble(column, &value, &blank) != kResultOk || blank) return {};
            return DoubleText(value);
        }
        case kFieldBcd: {
            BcdValue value{};
            if (cursor_->getBcd(column, &value, &blank) != kResultOk || blank) return {};
            return BcdText(value);
        }
        case kFieldDate: {
            std::int32_t value = 0;
            if (cursor_->getDate(column, &value, &blank) != kResultOk || blank) return {};
            return DayNumberText(value);
        }
        case kFieldTime: {
            std::int32_t value = 0;
            if (cursor_->getTime(column, &value, &blank) != kResultOk || blank) return {};
            return TimeOfDayText(value);
        }
        case kFieldTimestamp: {
            TimestampValue value{};
            if (cursor_->getTimestamp(column, &value, &blank) != kResultOk || blank) return {};
            return TimestampText(value);
        }
        case kFieldBlob: {
            std::uint32_t size = 0;
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
