// Client layer of a command: execution, blob parameters sent as data, and affected-row counts.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "driver/statemnt.h"

namespace basalt {
namespace {

ResultCode WriteBlob(ClientStatement& statement, isc_tr_handle* transaction, ParamDesc& param) {
    ClientConnection& client = *statement.client;
    const ClientEntryTable& e = *client.entries;
    isc_blob_handle blob = 0;
    param.blobId = ISC_QUAD{};
    Trace(client, "BASALT - isc_create_blob2");
    ResultCode result =
        Check(client, e.create_blob2(client.status, &client.database, transaction, &blob, &param.blobId, 0, nullptr));
    for (std::uint32_t done = 0; result == kResultOk && done < param.valueLength;) {
        auto segment = static_cast<unsigned short>(std::min(kMaxBlobSegment, param.valueLength - done));
        Trace(client, "BASALT - isc_put_segment");
        result = Check(client, e.put_segment(client.status, &blob, segment, param.value + done));
        done += segment;
    }
    if (blob) {
        Trace(client, "BASALT - isc_close_blob");
        ResultCode closed = Check(client, e.close_blob(client.status, &blob));
        if (result == kResultOk) result = closed;
    }
    return result;
}

ResultCode SendBlobs(ClientStatement& statement, isc_tr_handle* transaction, ParamDesc* params, int count) {
    XSQLDA* input = statement.input.area;
    for (int i = 0; i < count; ++i) {
        ParamDesc& param = params[i];
        if (param.direction != kParamInput || param.fieldType != kFieldBlob || param.nullIndicator == -1) continue;
        if (!input || param.variable < 0 || param.variable >= input->sqln) continue;
        ResultCode result = WriteBlob(statement, transaction, param);
        if (result != kResultOk) return result;
        input->sqlvar[param.variable].sqldata = reinterpret_cast<ISC_SCHAR*>(&param.blobId);
        input->sqlvar[param.variable].sqllen = sizeof(ISC_QUAD);
    }
    return kResultOk;
}

// Every input the statement reads must point at a value: a variable never bound (or unbound when
// the parameters were replaced) would send whatever its pointer names.
ResultCode CheckInputsBound(ClientStatement& statement) {
    XSQLDA* input = statement.input.area;
    for (int i = 0; input && i < input->sqld; ++i)
        if (!input->sqlvar[i].sqldata || !input->sqlvar[i].sqlind)
            return DriverError(*statement.client, "parameter %d of the statement has no value", i + 1);
    return kResultOk;
}

bool OnScratch(const ClientStatement& statement, const XSQLVAR& variable) {
    auto at = reinterpret_cast<std::uintptr_t>(variable.sqldata);
    auto start = reinterpret_cast<std::uintptr_t>(statement.scratch);
    return statement.scratch && at >= start && at < start + statement.scratchSize;
}

// Outputs of a procedure that no parameter receives still need somewhere to land. Those placed on
// the scratch buffer before are placed again, since the buffer may move.
ResultCode GiveOutputsATarget(ClientStatement& statement) {
    XSQLDA* output = statement.output.area;
    std::size_t needed = 0;
    for (int i = 0; i < output->sqld; ++i) {
        const XSQLVAR& variable = output->sqlvar[i];
        if (!variable.sqldata || OnScratch(statement, variable))
            needed += static_cast<std::size_t>(variable.sqllen) + 2;
    }
    if (needed == 0) return kResultOk;
    if (needed > statement.scratchSize) {
        for (int i = 0; i < output->sqld; ++i)
            if (OnScratch(statement, output->sqlvar[i])) output->sqlvar[i].sqldata = nullptr;
        std::free(statement.scratch);
        statement.scratch = static_cast<char*>(std::malloc(needed));
        statement.scratchSize = statement.scratch ? needed : 0;
        if (!statement.scratch) return kResultClientNoMemory;
    }
    char* next = statement.scratch;
    for (int i = 0; i < output->sqld; ++i) {
        XSQLVAR& variable = output->sqlvar[i];
        if (!variable.sqlind) variable.sqlind = &statement.output.indicators[i];
        if (variable.sqldata && !OnScratch(statement, variable)) continue;
        variable.sqldata = next;
        next += variable.sqllen + 2;
    }
    return kResultOk;
}

void ReceiveOutputs(ClientStatement& statement, ParamDesc* params, int count) {
    XSQLDA* output = statement.output.area;
    for (int i = 0; i < count; ++i) {
        ParamDesc& param = params[i];
        if (param.direction != kParamOutput || param.variable < 0 || param.variable >= output->sqld) continue;
        param.nullIndicator = param.clientIndicator == -1
                                  ? std::int16_t{-1}
                                  : static_cast<std::int16_t>(output->sqlvar[param.variable].sqllen);
    }
}

std::int32_t CountRows(ClientStatement& statement) {
    ClientConnection& client = *statement.client;
    if (client.serverClass < 4) return 1;
    char wanted;
    switch (statement.statementType) {
        case kStatementInsert:
            wanted = isc_info_req_insert_count;
            break;
        case kStatementUpdate:
            wanted = isc_info_req_update_count;
            break;
        case kStatementDelete:
            wanted = isc_info_req_delete_count;
            break;
        default:
            return 0;
    }
    const char item = isc_info_sql_records;
    char buffer[33] = {};
    Trace(client, "BASALT - isc_dsql_sql_info");
    if (Check(client, client.entries->dsql_sql_info(client.status, &statement.handle, 1, &item, sizeof buffer,
                                                    buffer)) != kResultOk)
        return 0;
    if (buffer[0] != isc_info_sql_records) return 0;
    // Clusters of item byte, 2-byte length and value follow the item's own length.
    std::size_t at = 3;
    while (at + 3 <= sizeof buffer && buffer[at] != isc_info_end) {
        char clusterItem = buffer[at];
        auto length = static_cast<std::size_t>(client.entries->vax_integer(buffer + at + 1, 2));
        if (length > 4 || at + 3 + length > sizeof buffer) break;
        if (clusterItem == wanted)
            return static_cast<std::int32_t>(client.entries->vax_integer(buffer + at + 3, static_cast<short>(length)));
        at += 3 + length;
    }
    return 0;
}

}  // namespace

ResultCode ExecuteStatement(ClientStatement& statement, ParamDesc* params, int paramCount) {
    if (!statement.handle) return kResultNoHandle;
    ClientConnection& client = *statement.client;
    statement.rowsAffected = 0;
    ResultCode result = CheckInputsBound(statement);
    if (result != kResultOk) return result;
    isc_tr_handle* transaction = nullptr;
    result = StatementTransaction(statement, &transaction);
    if (result != kResultOk) return result;
    if (statement.flags & ClientStatement::kBlobsAsData) {
        result = SendBlobs(statement, transaction, params, paramCount);
        if (result != kResultOk) return result;
    }

    const ClientEntryTable& e = *client.entries;
    if (statement.statementType == kStatementExecProcedure && statement.output.area) {
        result = GiveOutputsATarget(statement);
        if (result != kResultOk) return result;
        Trace(client, "BASALT - isc_dsql_execute2");
        result = Check(client, e.dsql_execute2(client.status, transaction, &statement.handle, statement.dialect,
                                               statement.input.area, statement.output.area));
        if (result == kResultOk) ReceiveOutputs(statement, params, paramCount);
    } else {
        Trace(client, "BASALT - isc_dsql_execute");
        result = Check(client, e.dsql_execute(client.status, transaction, &statement.handle, statement.dialect,
                                              statement.input.area));
    }
    if (result == kResultOk) statement.rowsAffected = CountRows(statement);
    return result;
}

}  // namespace basalt
