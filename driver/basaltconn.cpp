// A connection: one attachment to one database, its options, transactions and error text.
#include "driver/basaltconn.h"

#include <cstring>
#include <new>

#include "driver/basaltcomm.h"
#include "driver/basaltmeta.h"

namespace basalt {
namespace {

std::uint8_t TpbIndex(std::int32_t isolation, bool waitOnLocks) {
    return static_cast<std::uint8_t>(isolation + (waitOnLocks ? 2 : 0));
}

void WriteInt32(void* value, std::int32_t number) {
    std::memcpy(value, &number, sizeof number);
}

}  // namespace

BasaltConnection::BasaltConnection(ClientEntryTable* entries) : entries_(entries) {
    RetainClientEntries(entries_);
}

BasaltConnection::~BasaltConnection() {
    ReleaseClient(client_);
    ReleaseClientEntries(entries_);
}

ResultCode BasaltConnection::connect(const char* database, const char* user, const char* password) {
    // A second attach would leave the first one open with nothing left to detach it.
    if (connected_) return kResultAlreadyConnected;
    if (!entries_ || !entries_->usable) return kResultClientNotLoaded;
    // Checked before attaching, so a refused connect leaves no attachment behind.
    if (isolation_ != 0 && isolation_ != 1) return kResultBadIsolation;

    ReleaseClient(client_);
    std::memset(ownStatus_, 0, sizeof ownStatus_);
    client_ = NewClientConnection(entries_);
    if (!client_) return kResultClientNoMemory;
    client_->traceCallback = traceCallback_;
    client_->trace.clientData = traceClientData_;
    std::memcpy(client_->role, role_, sizeof role_);

    ResultCode result = Attach(*client_, database, charSet_[0] ? charSet_ : nullptr, user, password);
    if (result != kResultOk) return result;
    connected_ = true;
    applyToDefaultTransaction();

    std::int16_t serverClass = 3;
    result = ReadServerClass(*client_, &serverClass);
    if (result != kResultOk) {
        // Report the failed read, not the detach that follows it.
        ISC_STATUS_ARRAY saved;
        std::memcpy(saved, client_->status, sizeof saved);
        Detach(*client_);
        std::memcpy(client_->status, saved, sizeof saved);
        connected_ = false;
        return result;
    }
    client_->serverClass = serverClass;
    return kResultOk;
}

ResultCode BasaltConnection::applyToDefaultTransaction() {
    TransactionNode* node = client_ ? client_->defaultTransaction : nullptr;
    if (!node) return kResultOk;
    node->tpbIndex = TpbIndex(isolation_, waitOnLocks_);
    return kResultOk;
}

ResultCode BasaltConnection::disconnect() {
    if (!client_ || !connected_) return kResultNoHandle;
    ResultCode result = Detach(*client_);
    if (result == kResultClientError) return result;
    // On success, and also when the client no longer knows the handle: nothing is left to detach.
    // The record stays until the next connect so its status can still be read.
    connected_ = false;
    if (result == kResultOk) {
        ReleaseClient(client_);
        client_ = nullptr;
    }
    return result;
}

ResultCode BasaltConnection::createCommand(SQLCommand** command) {
    if (!command) return kResultMissingPointer;
    ResultCode result = kResultOk;
    auto* created = new (std::nothrow) BasaltCommand(*this, &result);
    *command = created;
    if (!created) return kResultNotCreated;
    created->AddRef();
    return result;
}

ResultCode BasaltConnection::createMetaData(SQLMetaData** metaData) {
    if (!metaData) return kResultMissingPointer;
    auto* created = new (std::nothrow) BasaltMetadata(this);
    *metaData = created;
    if (!created) return kResultNotCreated;
    created->AddRef();
    return kResultOk;
}

ResultCode BasaltConnection::setText(char* field, std::intptr_t value, const char* what) {
    const char* text = reinterpret_cast<const char*>(value);
    std::size_t length = text ? ::strnlen(text, kMaxNameLength + 1) : 0;
    if (length > kMaxNameLength) {
        // Before the first connect there is no attachment record to hold the status.
        if (client_) return DriverError(*client_, "%s longer than %d characters", what, kMaxNameLength);
        return DriverError(ownStatus_, ownMessage_, "%s longer than %d characters", what, kMaxNameLength);
    }
    std::memcpy(field, text ? text : "", length);
    field[length] = '\0';
    return kResultOk;
}

ResultCode BasaltConnection::setOption(std::uint32_t option, std::intptr_t value) {
    TransactionNode* node = connected_ ? client_->defaultTransaction : nullptr;
    switch (option & 0xFF) {
        case kConnOptionBlobSize:
            blobSize_ = static_cast<std::int32_t>(value);
            return kResultOk;
        case kConnOptionRoleName:
            return setText(role_, value, "role name");
        case kConnOptionWaitOnLocks:
            waitOnLocks_ = value != 0;
            if (node && waitOnLocks_ && node->tpbIndex < 2)
                node->tpbIndex = static_cast<std::uint8_t>(node->tpbIndex + 2);
            return kResultOk;
        case kConnOptionCommitRetain:
            commitRetain_ = value != 0;
            return kResultOk;
        case kConnOptionIsolation:
            if (connected_ && value != 0 && value != 1) return kResultBadIsolation;
            isolation_ = static_cast<std::int32_t>(value);
            if (node) node->tpbIndex = TpbIndex(isolation_, waitOnLocks_);
            return kResultOk;
        case kConnOptionServerVersion:
            if (connected_) client_->serverClass = static_cast<std::int16_t>(value);
            return kResultOk;
        case kConnOptionTraceCallback:
            traceCallback_ = reinterpret_cast<SqlTraceCallback>(value);
            if (connected_) client_->traceCallback = traceCallback_;
            return kResultOk;
        case kConnOptionTraceClientData:
            traceClientData_ = static_cast<std::uint32_t>(value);
            if (connected_) client_->trace.clientData = traceClientData_;
            return kResultOk;
        case kConnOptionServerCharSet:
            return setText(charSet_, value, "server character set name");
        case kConnOptionDialect:
            if (value < 1 || value > 3) return kResultInvalidValue;
            dialect_ = static_cast<std::int32_t>(value);
            return kResultOk;
        case kConnOptionRollbackRetain:
            rollbackRetain_ = value != 0;
            return kResultOk;
        default:
            return kResultNotSupported;
    }
}

ResultCode BasaltConnection::getOption(std::uint32_t option, void* value, std::int16_t maxLength,
                                       std::int16_t* length) {
    if (!value) return kResultMissingPointer;
    switch (option & 0xFF) {
        case kConnOptionBlobSize:
            WriteInt32(value, blobSize_);
            return kResultOk;
        case kConnOptionRoleName: {
            auto textLength = static_cast<std::int16_t>(std::strlen(role_));
            if (textLength <= maxLength)
                std::memcpy(value, role_, static_cast<std::size_t>(textLength));
            else if (maxLength > 0)
                static_cast<char*>(value)[0] = '\0';
            if (length) *length = textLength;
            return kResultOk;
        }
        case kConnOptionWaitOnLocks:
            WriteInt32(value, waitOnLocks_ ? 1 : 0);
            return kResultOk;
        case kConnOptionCommitRetain:
            WriteInt32(value, commitRetain_ ? 1 : 0);
            return kResultOk;
        case kConnOptionIsolation:
            WriteInt32(value, isolation_);
            return kResultOk;
        case kConnOptionNativeHandle: {
            if (!connected_) return kResultNoHandle;
            // A pointer does not fit the 4 bytes a 32-bit caller would expect; the full width is written.
            if (maxLength < static_cast<std::int16_t>(sizeof(void*))) return kResultInvalidValue;
            void* address = &client_->database;
            std::memcpy(value, &address, sizeof address);
            if (length) *length = sizeof address;
            return kResultOk;
        }
        case kConnOptionServerVersion: {
            if (!connected_) return kResultNoHandle;
            std::int16_t serverClass = 3;
            ResultCode result = ReadServerClass(*client_, &serverClass);
            if (result != kResultOk) return result;
            WriteInt32(value, serverClass);
            return kResultOk;
        }
        case kConnOptionMaxCommands:
            WriteInt32(value, 0);
            return kResultOk;
        case kConnOptionDialect:
            WriteInt32(value, dialect_);
            return kResultOk;
        case kConnOptionRollbackRetain:
            WriteInt32(value, rollbackRetain_ ? 1 : 0);
            return kResultOk;
        case kConnOptionQuoteChar:
            if (maxLength < 1) return kResultInvalidValue;
            static_cast<char*>(value)[0] = dialect_ == 3 ? '"' : '\0';
            if (length) *length = dialect_ == 3 ? 1 : 0;
            return kResultOk;
        default:
            return kResultNotSupported;
    }
}

ResultCode BasaltConnection::beginTransaction(TransactionDesc* transaction) {
    if (!transaction) return kResultMissingPointer;
    if (transaction->isolation > 1) return kResultBadIsolation;
    if (transaction->id == 0) return kResultNoTransaction;
    if (!connected_) return kResultNoHandle;
    return BeginExplicit(*client_, transaction->id, transaction->isolation);
}

ResultCode BasaltConnection::commit(TransactionDesc* transaction) {
    if (!transaction) return kResultMissingPointer;
    if (transaction->id == 0) return kResultNoTransaction;
    if (!connected_) return kResultNoHandle;
    return EndExplicit(*client_, transaction->id,
                       commitRetain_ ? TransactionEnd::CommitRetaining : TransactionEnd::Commit);
}

ResultCode BasaltConnection::rollback(TransactionDesc* transaction) {
    if (!transaction) return kResultMissingPointer;
    if (transaction->id == 0) return kResultNoTransaction;
    if (!connected_) return kResultNoHandle;
    return EndExplicit(*client_, transaction->id,
                       rollbackRetain_ ? TransactionEnd::RollbackRetaining : TransactionEnd::Rollback);
}

ResultCode BasaltConnection::getErrorLength(std::int16_t* length) {
    if (!length) return kResultMissingPointer;
    if (client_)
        ComposeErrorText(*client_, errorText_, &errorLength_);
    else
        ComposeErrorText(entries_, ownStatus_, errorText_, &errorLength_);
    *length = errorLength_;
    return kResultOk;
}

ResultCode BasaltConnection::getErrorText(char* buffer) {
    if (buffer) std::memcpy(buffer, errorText_, std::strlen(errorText_) + 1);
    errorText_[0] = '\0';
    errorLength_ = 0;
    return kResultOk;
}

}  // namespace basalt
