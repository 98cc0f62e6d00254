// Client layer of a connection: the attachment record, its transactions, the trace and the status check.
#pragma once

#include <ibase.h>

#include <cstdint>

#include "driver/client_entries.h"
#include "driver/sqldriver.h"

namespace basalt {

inline constexpr int kMaxPathLength = 128;
inline constexpr int kMaxNameLength = 31;    // user, password, role, character set
inline constexpr int kMaxErrorLength = 257;  // error texts, without the terminator
inline constexpr int kMaxDpbLength = 1 + 4 * (2 + kMaxNameLength);

// The default transaction that commands share while no explicit transaction is current.
struct TransactionNode {
    std::int16_t references = 0;  // the connection and each statement that uses it
    isc_tr_handle handle = 0;     // 0 until the first statement starts it
    std::uint8_t tpbIndex = 0;
};

// A transaction begun by the caller with its own identifier.
struct ExplicitTransaction {
    std::uint32_t id = 0;
    bool ended = false;
    isc_tr_handle handle = 0;  // still live after a retaining end
    std::uint8_t tpbIndex = 0;
    ExplicitTransaction* next = nullptr;
    ExplicitTransaction* previous = nullptr;
};

// One attachment. Held by its connection object and by every statement made on it, so a command
// released after disconnect still finds its record.
struct ClientConnection {
    ClientEntryTable* entries = nullptr;
    char path[kMaxPathLength + 1] = {};
    char dpb[kMaxDpbLength] = {};
    std::int16_t dpbLength = 0;
    isc_db_handle database = 0;
    TransactionNode* defaultTransaction = nullptr;
    char charSet[kMaxNameLength + 1] = {};
    std::int16_t serverClass = 3;
    char role[kMaxNameLength + 1] = {};
    TraceRecord trace = {};
    SqlTraceCallback traceCallback = nullptr;
    ExplicitTransaction* explicitList = nullptr;
    std::uint32_t currentExplicit = 0;
    ISC_STATUS_ARRAY status = {};
    char driverMessage[kMaxErrorLength + 1] = {};  // the text of a failure the driver found itself
    std::int32_t holders = 1;
};

// Transaction parameter bytes by index: 0 read committed nowait, 1 concurrency nowait,
// 2 read committed wait, 3 concurrency wait.
struct TransactionParameters {
    const char* bytes;
    std::int16_t length;
};
TransactionParameters TransactionParametersFor(std::uint8_t index);

// Null when out of memory.
ClientConnection* NewClientConnection(ClientEntryTable* entries);
void RetainClient(ClientConnection* client);
// The last holder frees the record, its transactions and its reference to the client library.
void ReleaseClient(ClientConnection* client);

// Hands the next client call's text to the trace callback, when one is installed.
void Trace(ClientConnection& client, const char* text);
// The one place a client result becomes a ResultCode: 0, or 0xFFFF with the status vector kept.
// Every client call's result passes through here, fetch and blob calls included (their end-of-data
// results are told apart before).
ResultCode Check(const ClientConnection& client, ISC_STATUS result);

// A failure found by the driver itself: `status` is made to carry the formatted reason (kept in
// `message`, kMaxErrorLength + 1 bytes) so the error text reads as it, and the result is 0xFFFF.
// Every 0xFFFF the driver makes up comes from here.
ResultCode DriverError(ISC_STATUS* status, char* message, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
ResultCode DriverError(ClientConnection& client, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Attaches `path` with the DPB of the given texts. 0xFFFC on a bad path or a client error.
ResultCode Attach(ClientConnection& client, const char* path, const char* charSet, const char* user,
                  const char* password);
// 4 when the on-disk structure is 8 or newer, else 3.
ResultCode ReadServerClass(ClientConnection& client, std::int16_t* serverClass);
// Commits the default transaction (unless an explicit one is current) and detaches.
ResultCode Detach(ClientConnection& client);

// Default transaction.
TransactionNode* AcquireDefaultTransaction(ClientConnection& client);
void ReleaseTransactionNode(ClientConnection& client, TransactionNode* node);
ResultCode EnsureStarted(ClientConnection& client, TransactionNode& node);
ResultCode CommitRetaining(ClientConnection& client, TransactionNode& node);

// Explicit transactions.
enum class TransactionEnd { Commit, CommitRetaining, Rollback, RollbackRetaining };
ResultCode BeginExplicit(ClientConnection& client, std::uint32_t id, std::uint8_t isolation);
ResultCode EndExplicit(ClientConnection& client, std::uint32_t id, TransactionEnd how);
// Frees the explicit list; transactions left open by a retaining end are committed for good.
void FreeExplicitTransactions(ClientConnection& client);
// The live explicit transaction with this identifier, or null.
ExplicitTransaction* FindActiveExplicit(ClientConnection& client, std::uint32_t id);

// Composes the readable text of the status vector: at most 257 characters, each kept line ending
// in "\n", the lines that only repeat the SQL code left out. `entries` may be null or unusable when
// the status holds only a failure the driver found itself.
void ComposeErrorText(const ClientEntryTable* entries, const ISC_STATUS* status, char* text /* kMaxErrorLength + 1 */,
                      std::int16_t* length);
// The same for a connection's status vector, traced as a client call.
void ComposeErrorText(ClientConnection& client, char* text /* kMaxErrorLength + 1 */, std::int16_t* length);

}  // namespace basalt
