// A command: statement lifecycle, options, prepare, execute, close and error text.
#include "driver/basaltcomm.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "driver/basaltconn.h"
#include "driver/basaltcursor.h"

namespace basalt {

BasaltCommand::BasaltCommand(BasaltConnection& connection, ResultCode* result) {
    blobSize_ = connection.blobSize();
    ClientConnection* client = connection.client();
    if (!client) {
        *result = kResultNoHandle;
        return;
    }
    *result = AllocateStatement(*client, &statement_);
    if (*result == kResultOk) {
        dialect_ = connection.dialect();
        statement_->dialect = static_cast<std::uint16_t>(dialect_);
    }
}

BasaltCommand::~BasaltCommand() {
    if (cursor_) cursor_->commandGone();
    freeColumns();
    freeParams();
    DropStatement(statement_);
}

ResultCode BasaltCommand::allocateParams(std::uint16_t count) {
    freeParams();
    paramCount_ = count;
    if (count == 0) return kResultOk;
    params_ = new (std::nothrow) ParamDesc[count];
    if (!params_) {
        paramCount_ = 0;
        return kResultNotCreated;
    }
    return kResultOk;
}

void BasaltCommand::freeParams() {
    unbindParams();
    for (std::uint16_t i = 0; params_ && i < paramCount_; ++i) std::free(params_[i].value);
    delete[] params_;
    params_ = nullptr;
    paramCount_ = 0;
}

void BasaltCommand::unbindParams() {
    if (!statement_) return;
    // The descriptor areas outlive the parameters: a variable left pointing at a freed copy would
    // send freed memory, or have the client write into it.
    for (std::uint16_t i = 0; params_ && i < paramCount_; ++i) {
        ParamDesc& p = params_[i];
        XSQLDA* area = p.direction == kParamInput ? statement_->input.area : statement_->output.area;
        if (!area || p.variable < 0 || p.variable >= area->sqln) continue;
        area->sqlvar[p.variable].sqldata = nullptr;
        area->sqlvar[p.variable].sqlind = nullptr;
        p.variable = -1;
    }
}

void BasaltCommand::freeColumns() {
    if (columns_) FreeColumnNames(columns_, columnCount_);
    std::free(columns_);
    std::free(rowBuffer_);
    columns_ = nullptr;
    rowBuffer_ = nullptr;
    columnCount_ = 0;
    rowBufferSize_ = 0;
}

ResultCode BasaltCommand::setOption(std::uint32_t option, std::intptr_t value) {
    switch (option & 0xFF) {
        case kCommOptionBlobSize:
            blobSize_ = static_cast<std::int32_t>(value);
            return kResultOk;
        case kCommOptionParamCount:
            if (value < 0 || value > 0xFFFF) return kResultInvalidValue;
            // A procedure call is built from its parameters: with a new set it is built again.
            procedurePrepared_ = false;
            return allocateParams(static_cast<std::uint16_t>(value));
        case kCommOptionCursorName:
            if (!statement_ || !statement_->handle) return kResultNoHandle;
            if (!value) return kResultMissingPointer;
            return SetCursorName(*statement_, reinterpret_cast<const char*>(value));
        case kCommOptionStoredProc:
            storedProcedure_ = value != 0;
            return kResultOk;
        case kCommOptionDialect:
            if (value < 1 || value > 3) return kResultInvalidValue;
            dialect_ = static_cast<std::int32_t>(value);
            if (statement_) statement_->dialect = static_cast<std::uint16_t>(value);
            return kResultOk;
        case kCommOptionTransaction:
            if (value <= 0 || !statement_) return kResultNoTransaction;
            if (!FindActiveExplicit(*statement_->client, static_cast<std::uint32_t>(value)))
                return kResultNoTransaction;
            transactionId_ = static_cast<std::uint32_t>(value);
            statement_->transactionId = transactionId_;
            return kResultOk;
        case 10:
            return kResultOk;
        default:
            return kResultNotSupported;
    }
}

ResultCode BasaltCommand::getOption(std::uint32_t option, void* value, std::int16_t, std::int16_t* length) {
    if (!value) return kResultMissingPointer;
    std::int32_t number;
    switch (option & 0xFF) {
        case 2:
        case 3:
            number = 0;
            break;
        case kCommOptionParamCount:
            number = paramCount_;
            break;
        case kCommOptionNativeHandle: {
            if (!statement_) return kResultNoHandle;
            static_assert(sizeof(statement_->handle) == 4);
            std::memcpy(value, &statement_->handle, sizeof statement_->handle);
            if (length) *length = 4;
            return kResultOk;
        }
        case kCommOptionDialect:
            number = dialect_;
            break;
        case kCommOptionTransaction:
            number = static_cast<std::int32_t>(transactionId_);
            break;
        default:
            return kResultNotSupported;
    }
    std::memcpy(value, &number, sizeof number);
    return kResultOk;
}

ResultCode BasaltCommand::prepare(const char* sql, std::uint16_t paramCount) {
    if (!statement_) return kResultNoHandle;
    if (!sql) return DriverError(*statement_->client, "no statement text");
    if (columns_) close();
    if (storedProcedure_) {
        if (std::strlen(sql) > kMaxNameLength)
            return DriverError(*statement_->client, "procedure name longer than %d characters", kMaxNameLength);
        std::strcpy(procedureName_, sql);
        procedurePrepared_ = false;
        return allocateParams(paramCount);
    }
    if (!statement_->handle) return kResultNoHandle;
    ResultCode result = PrepareStatement(*statement_, sql);
    ResultCode params = allocateParams(paramCount);
    return result != kResultOk ? result : params;
}

ResultCode BasaltCommand::prepareProcedureCall() {
    std::string text = "EXECUTE PROCEDURE ";
    text += procedureName_;
    bool first = true;
    for (std::uint16_t i = 0; i < paramCount_; ++i) {
        if (params_[i].direction == kParamOutput) continue;
        if (params_[i].direction != kParamInput) return kResultInvalidValue;
        if (!first) text += ",";
        text += " ?";
        first = false;
    }
    ResultCode result = PrepareStatement(*statement_, text.c_str());
    if (result != kResultOk) return result;
    procedurePrepared_ = true;
    for (std::uint16_t number = 1; number <= paramCount_; ++number) {
        result = bindParameter(number);
        if (result != kResultOk) return result;
    }
    return kResultOk;
}

ResultCode BasaltCommand::execute(SQLCursor** cursor) {
    if (cursor) *cursor = nullptr;
    if (!statement_ || !statement_->handle) return kResultNoHandle;
    for (std::uint16_t i = 0; i < paramCount_; ++i)
        if (!params_[i].set) return kResultParameterNotSet;
    if (storedProcedure_ && !procedurePrepared_) {
        ResultCode result = prepareProcedureCall();
        if (result != kResultOk) return result;
    }
    ResultCode result = ExecuteStatement(*statement_, params_, paramCount_);
    if (result != kResultOk) return result;
    return openResult(cursor);
}

ResultCode BasaltCommand::executeDirect(const char* sql, SQLCursor** cursor) {
    if (cursor) *cursor = nullptr;
    if (!statement_ || !statement_->handle) return kResultNoHandle;
    if (!sql) return DriverError(*statement_->client, "no statement text");
    if (columns_) close();
    freeParams();
    ResultCode result = PrepareStatement(*statement_, sql);
    if (result == kResultOk) result = ExecuteStatement(*statement_, nullptr, 0);
    if (result != kResultOk) return result;
    return openResult(cursor);
}

ResultCode BasaltCommand::openResult(SQLCursor** cursor) {
    // Columns left by an earlier execution whose cursor a commit closed behind the caller's back;
    // the cursor object of that result no longer speaks for this command.
    if (cursor_) cursor_->commandGone();
    cursor_ = nullptr;
    freeColumns();
    XSQLDA* output = statement_->output.area;
    int count = statement_->statementType == kStatementExecProcedure || !output ? 0 : output->sqld;
    if (count == 0) {
        rowsAffected_ = statement_->rowsAffected;
        return kResultOk;
    }
    rowsAffected_ = 0;
    if (!cursor) return kResultNoHandle;
    ResultCode result = describeResult(count);
    BasaltCursor* created = nullptr;
    if (result == kResultOk) {
        created = new (std::nothrow) BasaltCursor(this);
        if (!created) result = kResultNotCreated;
    }
    if (result != kResultOk) {
        // No cursor for a result that cannot be read; the client's cursor is closed with the text kept.
        freeColumns();
        CloseCursor(*statement_);
        return result;
    }
    created->AddRef();
    *cursor = created;
    cursor_ = created;
    return kResultOk;
}

ResultCode BasaltCommand::describeResult(int count) {
    columns_ = static_cast<ColumnDesc*>(std::calloc(static_cast<std::size_t>(count), sizeof(ColumnDesc)));
    if (!columns_) return kResultNotCreated;
    columnCount_ = static_cast<std::uint16_t>(count);
    ResultCode result = DescribeColumns(*statement_, columns_, count, &rowBufferSize_);
    if (result != kResultOk) return result;
    rowBuffer_ = static_cast<char*>(std::calloc(1, rowBufferSize_));
    if (!rowBuffer_) return kResultNotCreated;
    return BindColumns(*statement_, columns_, count, rowBuffer_);
}

ResultCode BasaltCommand::fetch() {
    if (!rowBuffer_) return kResultNoHandle;
    return FetchRow(*statement_, columns_, columnCount_, rowBuffer_);
}

void BasaltCommand::cursorGone(BasaltCursor* cursor) {
    if (cursor != cursor_) return;
    cursor_ = nullptr;
    close();
}

ResultCode BasaltCommand::nextResult(SQLCursor** cursor) {
    if (cursor) *cursor = nullptr;
    return kResultNotSupported;
}

ResultCode BasaltCommand::getRowsAffected(std::int32_t* rows) {
    if (!rows) return kResultMissingPointer;
    *rows = rowsAffected_;
    return kResultOk;
}

ResultCode BasaltCommand::close() {
    // The cursor of the closed result must not close whatever this command runs next.
    if (cursor_) cursor_->commandGone();
    cursor_ = nullptr;
    freeColumns();
    for (std::uint16_t i = 0; i < paramCount_; ++i) {
        std::free(params_[i].value);
        params_[i].value = nullptr;
        params_[i].valueLength = 0;
        params_[i].set = false;
    }
    rowsAffected_ = 0;
    if (!statement_) return kResultOk;
    return CloseStatement(*statement_);
}

ResultCode BasaltCommand::getErrorLength(std::int16_t* length) {
    if (!length) return kResultMissingPointer;
    if (!statement_) return kResultNoHandle;
    ComposeErrorText(*statement_->client, errorText_, &errorLength_);
    *length = errorLength_;
    return kResultOk;
}

ResultCode BasaltCommand::getErrorText(char* buffer) {
    if (buffer) std::memcpy(buffer, errorText_, std::strlen(errorText_) + 1);
    return kResultOk;
}

}  // namespace basalt
