// Client layer of a connection: the shared default transaction and the caller's explicit transactions.
#include <new>

#include "driver/connect.h"

namespace basalt {
namespace {

constexpr char kReadCommittedNoWait[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_nowait, isc_tpb_rec_version};
constexpr char kConcurrencyNoWait[] = {isc_tpb_version3, isc_tpb_nowait};
constexpr char kReadCommittedWait[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_wait, isc_tpb_rec_version};
constexpr char kConcurrencyWait[] = {isc_tpb_version3, isc_tpb_wait};

ResultCode Start(ClientConnection& client, isc_tr_handle* handle, std::uint8_t tpbIndex) {
    TransactionParameters tpb = TransactionParametersFor(tpbIndex);
    Trace(client, "BASALT - isc_start_transaction");
    return Check(client,
                 client.entries->start_transaction(client.status, handle, 1, &client.database, tpb.length, tpb.bytes));
}

ISC_STATUS CallEnd(ClientConnection& client, isc_tr_handle* handle, TransactionEnd how) {
    const ClientEntryTable& e = *client.entries;
    switch (how) {
        case TransactionEnd::CommitRetaining:
            Trace(client, "BASALT - isc_commit_retaining");
            return e.commit_retaining(client.status, handle);
        case TransactionEnd::RollbackRetaining:
            if (e.rollback_retaining) {
                Trace(client, "BASALT - isc_rollback_retaining");
                return e.rollback_retaining(client.status, handle);
            }
            [[fallthrough]];
        case TransactionEnd::Rollback:
            Trace(client, "BASALT - isc_rollback_transaction");
            return e.rollback_transaction(client.status, handle);
        case TransactionEnd::Commit:
            break;
    }
    Trace(client, "BASALT - isc_commit_transaction");
    return e.commit_transaction(client.status, handle);
}

}  // namespace

TransactionParameters TransactionParametersFor(std::uint8_t index) {
    switch (index) {
        case 1:
            return {kConcurrencyNoWait, sizeof kConcurrencyNoWait};
        case 2:
            return {kReadCommittedWait, sizeof kReadCommittedWait};
        case 3:
            return {kConcurrencyWait, sizeof kConcurrencyWait};
        default:
            return {kReadCommittedNoWait, sizeof kReadCommittedNoWait};
    }
}

TransactionNode* AcquireDefaultTransaction(ClientConnection& client) {
    TransactionNode* node = client.defaultTransaction;
    if (node) ++node->references;
    return node;
}

void ReleaseTransactionNode(ClientConnection& client, TransactionNode* node) {
    if (!node || --node->references > 0) return;
    if (node->handle && client.database) {
        Trace(client, "BASALT - isc_commit_transaction");
        client.entries->commit_transaction(client.status, &node->handle);
    }
    if (client.defaultTransaction == node) client.defaultTransaction = nullptr;
    delete node;
}

ResultCode EnsureStarted(ClientConnection& client, TransactionNode& node) {
    if (node.handle) return kResultOk;
    ResultCode result = Start(client, &node.handle, node.tpbIndex);
    if (result != kResultOk) node.handle = 0;
    return result;
}

ResultCode CommitRetaining(ClientConnection& client, TransactionNode& node) {
    if (!node.handle) return kResultOk;
    return Check(client, CallEnd(client, &node.handle, TransactionEnd::CommitRetaining));
}

void FreeExplicitTransactions(ClientConnection& client) {
    ExplicitTransaction* node = client.explicitList;
    while (node) {
        ExplicitTransaction* next = node->next;
        // A retaining end leaves the server transaction open: end it for good.
        if (node->handle) CallEnd(client, &node->handle, TransactionEnd::Commit);
        delete node;
        node = next;
    }
    client.explicitList = nullptr;
    client.currentExplicit = 0;
}

ExplicitTransaction* FindActiveExplicit(ClientConnection& client, std::uint32_t id) {
    for (ExplicitTransaction* node = client.explicitList; node; node = node->next)
        if (node->id == id && !node->ended) return node;
    return nullptr;
}

ResultCode BeginExplicit(ClientConnection& client, std::uint32_t id, std::uint8_t isolation) {
    if (isolation > 1) return kResultBadIsolation;
    if (id == 0) return kResultNoTransaction;
    if (FindActiveExplicit(client, id)) return kResultTransactionActive;
    auto* node = new (std::nothrow) ExplicitTransaction();
    if (!node) return kResultClientNoMemory;
    node->id = id;
    node->tpbIndex = isolation == 0 ? 2 : 3;
    ResultCode result = Start(client, &node->handle, node->tpbIndex);
    if (result != kResultOk) {
        delete node;
        return result;
    }
    ExplicitTransaction** tail = &client.explicitList;
    while (*tail) {
        node->previous = *tail;
        tail = &(*tail)->next;
    }
    *tail = node;
    client.currentExplicit = id;
    return kResultOk;
}

ResultCode EndExplicit(ClientConnection& client, std::uint32_t id, TransactionEnd how) {
    if (id == 0) return kResultNoTransaction;
    ExplicitTransaction* node = FindActiveExplicit(client, id);
    if (!node) return kResultNoTransaction;
    if (Check(client, CallEnd(client, &node->handle, how)) != kResultOk) return kResultClientError;
    node->ended = true;
    if (id != client.currentExplicit) return kResultOk;
    for (ExplicitTransaction* earlier = node->previous; earlier; earlier = earlier->previous) {
        if (!earlier->ended) {
            client.currentExplicit = earlier->id;
            return kResultOk;
        }
    }
    FreeExplicitTransactions(client);
    return kResultOk;
}

}  // namespace basalt
