// Client layer of a command: the statement record, prepare with descriptor sizing, statement type,
// execute, close and drop.
#pragma once

#include <ibase.h>

#include <cstdint>

#include "driver/connect.h"
#include "driver/sqlda.h"

namespace basalt {

// Statement types as the client reports them.
inline constexpr std::int16_t kStatementSelect = 1;
inline constexpr std::int16_t kStatementInsert = 2;
inline constexpr std::int16_t kStatementUpdate = 3;
inline constexpr std::int16_t kStatementDelete = 4;
inline constexpr std::int16_t kStatementExecProcedure = 8;

// The most bytes one blob segment call moves: its length is 16 bits.
inline constexpr std::uint32_t kMaxBlobSegment = 65535;

// One parameter of a command: what the caller declared and the command's own copy of the value.
struct ParamDesc {
    std::uint16_t direction = 0;
    std::uint16_t fieldType = 0;
    std::uint16_t internalType = 0;
    std::uint16_t subType = 0;
    std::int32_t precision = 0;
    std::int32_t scale = 0;
    char* value = nullptr;  // sent to or received from the client as is
    std::uint32_t valueLength = 0;
    std::int16_t nullIndicator = 0;  // -1 for NULL; for outputs after execution: the value's length
    short clientIndicator = 0;       // what the client writes for an output
    bool set = false;
    int variable = -1;     // index in the input or output area it is bound to
    ISC_QUAD blobId = {};  // a blob input parameter, created at execution
};

struct ClientStatement {
    static constexpr std::uint32_t kBlobsAsData = 2;

    std::uint32_t flags = 0;
    ClientConnection* client = nullptr;      // held
    TransactionNode* transaction = nullptr;  // the default transaction, held
    isc_stmt_handle handle = 0;
    DescriptorPair output;
    DescriptorPair input;
    std::int16_t statementType = 0;
    std::int32_t rowsAffected = 0;
    std::uint16_t dialect = 1;
    std::uint32_t transactionId = 0;  // an explicit transaction chosen by the command; 0 = the current one
    // Where outputs of a procedure go when nobody bound them.
    char* scratch = nullptr;
    std::size_t scratchSize = 0;
};

// Creates the record and allocates the client statement on the default transaction. *statement is
// set whenever the record exists, also when the allocation failed.
ResultCode AllocateStatement(ClientConnection& client, ClientStatement** statement);
// Drops the client statement and frees the record; never fails.
void DropStatement(ClientStatement* statement);

// The transaction the statement runs in: the chosen or current explicit one, else the default one
// (started on demand).
ResultCode StatementTransaction(ClientStatement& statement, isc_tr_handle** handle);

// Prepares `sql`, sizing the output area to the result columns and describing the input.
ResultCode PrepareStatement(ClientStatement& statement, const char* sql);
ResultCode ExecuteStatement(ClientStatement& statement, ParamDesc* params, int paramCount);
// Commits the default transaction's work (retaining it) and closes the client cursor.
ResultCode CloseStatement(ClientStatement& statement);
// Closes the client cursor only; the status vector is left as it was.
void CloseCursor(ClientStatement& statement);
ResultCode SetCursorName(ClientStatement& statement, const char* name);

}  // namespace basalt
