// Client layer of a command: allocation, transaction choice, prepare, statement type, close and drop.
#include "driver/statemnt.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace basalt {
namespace {

constexpr int kFirstGuess = 32;

bool ExplicitInUse(const ClientStatement& statement) {
    return statement.transactionId != 0 || statement.client->currentExplicit != 0;
}

// Reads the statement type once per prepare (servers of class 4 only).
ResultCode DetectStatementType(ClientStatement& statement) {
    ClientConnection& client = *statement.client;
    statement.statementType = 0;
    if (client.serverClass < 4) return kResultOk;
    const char item = isc_info_sql_stmt_type;
    char buffer[8] = {};
    Trace(client, "BASALT - isc_dsql_sql_info");
    ResultCode result =
        Check(client, client.entries->dsql_sql_info(client.status, &statement.handle, 1, &item, sizeof buffer, buffer));
    if (result != kResultOk) return result;
    if (buffer[0] != isc_info_sql_stmt_type) return kResultOk;
    Trace(client, "BASALT - isc_vax_integer");
    auto length = static_cast<short>(client.entries->vax_integer(buffer + 1, 2));
    if (length < 1 || length > 4) return kResultOk;
    statement.statementType = static_cast<std::int16_t>(client.entries->vax_integer(buffer + 3, length));
    return kResultOk;
}

ResultCode CallPrepare(ClientStatement& statement, isc_tr_handle* transaction, const char* sql) {
    ClientConnection& client = *statement.client;
    std::size_t length = std::strlen(sql);
    Trace(client, sql);
    Trace(client, "BASALT - isc_dsql_prepare");
    // Length 0 tells the client to read up to the terminator, for texts longer than 16 bits can say.
    auto passedLength = static_cast<unsigned short>(length <= 0xFFFF ? length : 0);
    return Check(client, client.entries->dsql_prepare(client.status, transaction, &statement.handle, passedLength, sql,
                                                      statement.dialect, statement.output.area));
}

ResultCode DescribeInput(ClientStatement& statement) {
    ClientConnection& client = *statement.client;
    int size = kFirstGuess;
    while (true) {
        ResultCode result = AllocateDescriptors(statement.input, size);
        if (result != kResultOk) return result;
        Trace(client, "BASALT - isc_dsql_describe_bind");
        result = Check(client, client.entries->dsql_describe_bind(client.status, &statement.handle, SQLDA_VERSION1,
                                                                  statement.input.area));
        if (result != kResultOk) return result;
        if (statement.input.area->sqld <= statement.input.area->sqln) break;
        size = statement.input.area->sqld;
    }
    if (statement.input.area->sqld == 0) FreeDescriptors(statement.input);
    return kResultOk;
}

}  // namespace

ResultCode AllocateStatement(ClientConnection& client, ClientStatement** statement) {
    auto* created = new (std::nothrow) ClientStatement();
    *statement = created;
    if (!created) return kResultClientNoMemory;
    created->client = &client;
    RetainClient(&client);
    created->transaction = AcquireDefaultTransaction(client);
    Trace(client, "BASALT - isc_dsql_allocate_statement");
    return Check(client, client.entries->dsql_allocate_statement(client.status, &client.database, &created->handle));
}

void DropStatement(ClientStatement* statement) {
    if (!statement) return;
    ClientConnection& client = *statement->client;
    if (statement->handle && client.database) {
        Trace(client, "BASALT - isc_dsql_free_statement");
        client.entries->dsql_free_statement(client.status, &statement->handle, DSQL_drop);
    }
    ReleaseTransactionNode(client, statement->transaction);
    FreeDescriptors(statement->output);
    FreeDescriptors(statement->input);
    std::free(statement->scratch);
    ReleaseClient(&client);
    delete statement;
}

ResultCode StatementTransaction(ClientStatement& statement, isc_tr_handle** handle) {
    ClientConnection& client = *statement.client;
    std::uint32_t id = statement.transactionId ? statement.transactionId : client.currentExplicit;
    if (id != 0) {
        ExplicitTransaction* chosen = FindActiveExplicit(client, id);
        if (!chosen) return kResultNoTransaction;
        *handle = &chosen->handle;
        return kResultOk;
    }
    if (!statement.transaction) return kResultNoHandle;
    ResultCode result = EnsureStarted(client, *statement.transaction);
    if (result != kResultOk) return result;
    *handle = &statement.transaction->handle;
    return kResultOk;
}

ResultCode PrepareStatement(ClientStatement& statement, const char* sql) {
    if (!statement.handle) return kResultNoHandle;
    isc_tr_handle* transaction = nullptr;
    ResultCode result = StatementTransaction(statement, &transaction);
    if (result != kResultOk) return result;
    FreeDescriptors(statement.input);
    statement.flags &= ~ClientStatement::kBlobsAsData;

    int size = kFirstGuess;
    while (true) {
        result = AllocateDescriptors(statement.output, size);
        if (result == kResultOk) result = CallPrepare(statement, transaction, sql);
        if (result != kResultOk) {
            FreeDescriptors(statement.output);
            return result;
        }
        if (statement.output.area->sqld <= statement.output.area->sqln) break;
        size = statement.output.area->sqld;
    }
    // Every prepare learns its own type: a procedure call with outputs also has result columns.
    result = DetectStatementType(statement);
    if (result == kResultOk) result = DescribeInput(statement);
    if (result != kResultOk || statement.output.area->sqld == 0) FreeDescriptors(statement.output);
    return result;
}

ResultCode CloseStatement(ClientStatement& statement) {
    ClientConnection& client = *statement.client;
    ResultCode result = kResultOk;
    if (!ExplicitInUse(statement) && statement.transaction && client.database)
        result = CommitRetaining(client, *statement.transaction);
    CloseCursor(statement);
    return result;
}

void CloseCursor(ClientStatement& statement) {
    ClientConnection& client = *statement.client;
    if (!statement.handle || !client.database) return;
    // Closing a statement that has no open cursor is refused by the client; that is expected.
    ISC_STATUS_ARRAY ignored;
    Trace(client, "BASALT - isc_dsql_free_statement");
    client.entries->dsql_free_statement(ignored, &statement.handle, DSQL_close);
}

ResultCode SetCursorName(ClientStatement& statement, const char* name) {
    ClientConnection& client = *statement.client;
    Trace(client, "BASALT - isc_dsql_set_cursor_name");
    return Check(client, client.entries->dsql_set_cursor_name(client.status, &statement.handle, name, 0));
}

}  // namespace basalt
