// A connection: one attachment to one database.
#pragma once

#include "driver/client_entries.h"
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

private:
    ~BasaltConnection() override;

    ClientEntryTable* entries_;
};

}  // namespace basalt
