// The driver object: creates connections and owns the bound client library.
#pragma once

#include "driver/client_entries.h"
#include "driver/ref_counted.h"

namespace basalt {

class BasaltDriver final : public RefCounted<SQLDriver> {
public:
    BasaltDriver() = default;

    // Takes over one reference to `entries` (may be null while nothing is bound).
    void setClientEntries(ClientEntryTable* entries);

    ResultCode createConnection(SQLConnection** connection) override;
    ResultCode setOption(std::uint32_t option, std::intptr_t value) override;
    ResultCode getOption(std::uint32_t option, void* value, std::int16_t maxLength, std::int16_t* length) override;

private:
    ~BasaltDriver() override;

    std::int32_t blobSize_ = 1024;
    std::intptr_t traceCallback_ = 0;
    std::uint32_t traceClientData_ = 0;
    ClientEntryTable* entries_ = nullptr;
};

}  // namespace basalt
