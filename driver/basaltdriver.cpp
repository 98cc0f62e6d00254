// The driver object and the library's exported entry.
#include "driver/basaltdriver.h"

#include <new>

#include "driver/basaltconn.h"

namespace basalt {

BasaltDriver::~BasaltDriver() {
    ReleaseClientEntries(entries_);
}

void BasaltDriver::setClientEntries(ClientEntryTable* entries) {
    ReleaseClientEntries(entries_);
    entries_ = entries;
}

ResultCode BasaltDriver::createConnection(SQLConnection** connection) {
    auto* created = new (std::nothrow) BasaltConnection(entries_);
    if (!created) return kResultNotCreated;
    created->AddRef();
    created->setOption(kConnOptionBlobSize, blobSize_);
    if (connection) {
        *connection = created;
    } else {
        // Nobody would ever release it.
        created->Release();
    }
    return kResultOk;
}

ResultCode BasaltDriver::setOption(std::uint32_t option, std::intptr_t value) {
    switch (option & 0xFF) {
        case kDriverOptionBlobSize:
            blobSize_ = static_cast<std::int32_t>(value);
            return kResultOk;
        case kDriverOptionTraceCallback:
            traceCallback_ = value;
            return kResultOk;
        case kDriverOptionTraceClientData:
            traceClientData_ = static_cast<std::uint32_t>(value);
            return kResultOk;
        case kDriverOptionIgnored:
            return kResultOk;
        default:
            return kResultNotSupported;
    }
}

ResultCode BasaltDriver::getOption(std::uint32_t option, void* value, std::int16_t, std::int16_t*) {
    if (option != kDriverOptionBlobSize) return kResultNotSupported;
    if (!value) return kResultMissingPointer;
    *static_cast<std::int32_t*>(value) = blobSize_;
    return kResultOk;
}

}  // namespace basalt

extern "C" ResultCode getSQLDriverBASALT(const char* vendorLib, const char*, SQLDriver** driver) {
    if (!driver) return kResultNotCreated;
    auto* created = new (std::nothrow) basalt::BasaltDriver();
    *driver = created;
    if (!created) return kResultNotCreated;
    created->AddRef();
    basalt::ClientEntryTable* entries = nullptr;
    ResultCode result = basalt::LoadClientLibrary(vendorLib, &entries);
    created->setClientEntries(entries);
    return result;
}
