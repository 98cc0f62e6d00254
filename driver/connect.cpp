// Client layer of a connection: the attachment record, trace, status check, attach and detach.
#include "driver/connect.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace basalt {
namespace {

constexpr char kInfoOdsVersion = 32;
constexpr char kInfoOdsMinorVersion = 33;

// Appends one DPB item when its text is 1 to 31 characters long; longer texts are left out.
void AddDpbItem(ClientConnection& client, char item, const char* text) {
    if (!text) return;
    std::size_t length = ::strnlen(text, kMaxNameLength + 1);
    if (length == 0 || length > kMaxNameLength) return;
    char* end = client.dpb + client.dpbLength;
    end[0] = item;
    end[1] = static_cast<char>(length);
    std::memcpy(end + 2, text, length);
    client.dpbLength = static_cast<std::int16_t>(client.dpbLength + 2 + length);
}

}  // namespace

ClientConnection* NewClientConnection(ClientEntryTable* entries) {
    auto* client = new (std::nothrow) ClientConnection();
    if (!client) return nullptr;
    client->entries = entries;
    RetainClientEntries(entries);
    return client;
}

void RetainClient(ClientConnection* client) {
    if (client) ++client->holders;
}

void ReleaseClient(ClientConnection* client) {
    if (!client || --client->holders > 0) return;
    // Release never calls the client: a record still attached here was never disconnected.
    ExplicitTransaction* node = client->explicitList;
    while (node) {
        ExplicitTransaction* next = node->next;
        delete node;
        node = next;
    }
    delete client->defaultTransaction;
    ReleaseClientEntries(client->entries);
    delete client;
}

void Trace(ClientConnection& client, const char* text) {
    if (!client.traceCallback) return;
    std::memset(client.trace.text, 0, sizeof client.trace.text);
    std::size_t length = ::strnlen(text, sizeof client.trace.text);
    std::memcpy(client.trace.text, text, length);
    client.trace.category = 256;
    client.traceCallback(1, &client.trace);
}

ResultCode Check(const ClientConnection& client, ISC_STATUS result) {
    if (result == 0 && !(client.status[0] == 1 && client.status[1] != 0)) return kResultOk;
    return kResultClientError;
}

namespace {

ResultCode DriverErrorV(ISC_STATUS* status, char* message, const char* format, std::va_list arguments) {
    std::vsnprintf(message, kMaxErrorLength + 1, format, arguments);
    status[0] = isc_arg_gds;
    status[1] = isc_random;
    status[2] = isc_arg_string;
    status[3] = reinterpret_cast<ISC_STATUS>(message);
    status[4] = isc_arg_end;
    return kResultClientError;
}

}  // namespace

ResultCode DriverError(ISC_STATUS* status, char* message, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    ResultCode result = DriverErrorV(status, message, format, arguments);
    va_end(arguments);
    return result;
}

ResultCode DriverError(ClientConnection& client, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    ResultCode result = DriverErrorV(client.status, client.driverMessage, format, arguments);
    va_end(arguments);
    return result;
}

ResultCode Attach(ClientConnection& client, const char* path, const char* charSet, const char* user,
                  const char* password) {
    std::size_t pathLength = path ? ::strnlen(path, kMaxPathLength + 1) : 0;
    if (pathLength == 0 || pathLength > kMaxPathLength) {
        // No client call was made; leave a status that reads as the reason.
        DriverError(client, "database path must be 1 to 128 characters long");
        return kResultAttachFailed;
    }
    std::memcpy(client.path, path, pathLength);
    client.path[pathLength] = '\0';
    if (charSet) std::strncpy(client.charSet, charSet, kMaxNameLength);

    client.dpbLength = 0;
    client.dpb[client.dpbLength++] = isc_dpb_version1;
    AddDpbItem(client, isc_dpb_user_name, user);
    AddDpbItem(client, isc_dpb_password, password);
    AddDpbItem(client, isc_dpb_sql_role_name, client.role);
    AddDpbItem(client, isc_dpb_lc_ctype, client.charSet);

    Trace(client, "BASALT - isc_attach_database");
    ISC_STATUS result = client.entries->attach_database(client.status, static_cast<short>(pathLength), client.path,
                                                        &client.database, client.dpbLength, client.dpb);
    if (Check(client, result) != kResultOk) {
        client.database = 0;
        return kResultAttachFailed;
    }
    client.defaultTransaction = new (std::nothrow) TransactionNode();
    if (!client.defaultTransaction) return kResultClientNoMemory;
    client.defaultTransaction->references = 1;
    return kResultOk;
}

ResultCode ReadServerClass(ClientConnection& client, std::int16_t* serverClass) {
    const char items[] = {kInfoOdsVersion, kInfoOdsMinorVersion};
    char buffer[24] = {};
    Trace(client, "BASALT - isc_database_info");
    ISC_STATUS result =
        client.entries->database_info(client.status, &client.database, sizeof items, items, sizeof buffer, buffer);
    if (Check(client, result) != kResultOk) return kResultClientError;
    bool modern =
        buffer[0] == kInfoOdsVersion && buffer[7] == kInfoOdsMinorVersion && static_cast<unsigned char>(buffer[3]) >= 8;
    *serverClass = modern ? 4 : 3;
    return kResultOk;
}

ResultCode Detach(ClientConnection& client) {
    TransactionNode* node = client.defaultTransaction;
    if (client.currentExplicit == 0 && node && node->handle) {
        Trace(client, "BASALT - isc_commit_transaction");
        if (Check(client, client.entries->commit_transaction(client.status, &node->handle)) != kResultOk) {
            Trace(client, "BASALT - isc_rollback_transaction");
            client.entries->rollback_transaction(client.status, &node->handle);
        }
        node->handle = 0;
    }
    if (client.currentExplicit == 0) FreeExplicitTransactions(client);

    Trace(client, "BASALT - isc_detach_database");
    if (Check(client, client.entries->detach_database(client.status, &client.database)) != kResultOk)
        return client.status[1] == isc_bad_db_handle ? kResultBadDatabaseHandle : kResultClientError;
    client.database = 0;
    return kResultOk;
}

}  // namespace basalt
