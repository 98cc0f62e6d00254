// A connection: one attachment to one database.
#include "driver/basaltconn.h"

namespace basalt {

BasaltConnection::BasaltConnection(ClientEntryTable* entries) : entries_(entries) {
    RetainClientEntries(entries_);
}
BasaltConnection::~BasaltConnection() {
    ReleaseClientEntries(entries_);
}

ResultCode BasaltConnection::connect(const char*, const char*, const char*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::disconnect() {
    return kResultNotSupported;
}
ResultCode BasaltConnection::createCommand(SQLCommand**) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::createMetaData(SQLMetaData**) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::setOption(std::uint32_t, std::intptr_t) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::getOption(std::uint32_t, void*, std::int16_t, std::int16_t*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::beginTransaction(TransactionDesc*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::commit(TransactionDesc*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::rollback(TransactionDesc*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::getErrorText(char*) {
    return kResultNotSupported;
}
ResultCode BasaltConnection::getErrorLength(std::int16_t*) {
    return kResultNotSupported;
}

}  // namespace basalt
