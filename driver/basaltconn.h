// A connection: one attachment to one database, its options, transactions and error text.
#pragma once

#include "driver/client_entries.h"
#include "driver/connect.h"
#include "driver/ref_counted.h"

namespace basalt {

class BasaltConnection final : public RefCounted<SQLConnection> {
public:
    explicit BasaltConnection(ClientEntryTable* entries);

    ResultCode connect(const char* database, const char* user, const char* password) override;
    ResultCode disconnect() override;
    ResultCode createCommand(SQLCommand** command) override;
    ResultCode createMetaData(SQLMetaData** metaData) override;
    ResultCode setOption(std::uint32_t option, std::intptr_t value) override;
    ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) override;
    ResultCode beginTransaction(TransactionDesc* transaction) override;
    ResultCode commit(TransactionDesc* transaction) override;
    ResultCode rollback(TransactionDesc* transaction) override;
    ResultCode getErrorText(char* buffer) override;
    ResultCode getErrorLength(std::int16_t* length) override;

    // For commands made on this connection: the attachment (null when not connected) and the
    // values every command starts from.
    ClientConnection* client() const { return connected_ ? client_ : nullptr; }
    std::int32_t blobSize() const { return blobSize_; }
    std::int32_t dialect() const { return dialect_; }

private:
    ~BasaltConnection() override;

    ResultCode applyToDefaultTransaction();
    ResultCode setText(char* field, std::intptr_t value, const char* what);

    ClientEntryTable* entries_;
    ClientConnection* client_ = nullptr;
    bool connected_ = false;
    std::int32_t blobSize_ = 0;
    char errorText_[kMaxErrorLength + 1] = {};
    // Failures found while there is no attachment record, and the text they carry.
    ISC_STATUS_ARRAY ownStatus_ = {};
    char ownMessage_[kMaxErrorLength + 1] = {};
    std::int16_t errorLength_ = 0;
    char role_[kMaxNameLength + 1] = {};
    char charSet_[kMaxNameLength + 1] = {};
    bool commitRetain_ = false;
    bool rollbackRetain_ = false;
    bool waitOnLocks_ = true;
    std::int32_t isolation_ = 0;
    SqlTraceCallback traceCallback_ = nullptr;
    std::uint32_t traceClientData_ = 0;
    std::int32_t dialect_ = 1;
};

}  // namespace basalt
