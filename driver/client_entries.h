// The client library's entry points, bound by name from a library loaded at run time.
#pragma once

#include <ibase.h>

#include <atomic>
#include <cstdint>

namespace basalt {

// isc_interprete is declared deprecated; its type is spelled out so that binding it raises no warning.
using InterpreteFunction = ISC_LONG (*)(ISC_SCHAR*, ISC_STATUS**);

// One table per driver entry call. The driver and each connection hold a reference, so the library
// stays loaded while anything bound through it is alive, whatever order the caller releases in.
// Connections of one driver may live on different threads, so the count is atomic; the entries
// themselves are written once, before the table is handed out.
struct ClientEntryTable {
    decltype(&isc_attach_database) attach_database;
    decltype(&isc_blob_default_desc) blob_default_desc;
    decltype(&isc_blob_gen_bpb) blob_gen_bpb;
    decltype(&isc_blob_info) blob_info;
    decltype(&isc_blob_lookup_desc) blob_lookup_desc;
    decltype(&isc_close_blob) close_blob;
    decltype(&isc_commit_retaining) commit_retaining;
    decltype(&isc_commit_transaction) commit_transaction;
    decltype(&isc_create_blob) create_blob;
    decltype(&isc_create_blob2) create_blob2;
    decltype(&isc_database_info) database_info;
    decltype(&isc_decode_date) decode_date;
    decltype(&isc_detach_database) detach_database;
    decltype(&isc_dsql_allocate_statement) dsql_allocate_statement;
    decltype(&isc_dsql_execute) dsql_execute;
    decltype(&isc_dsql_execute2) dsql_execute2;
    decltype(&isc_dsql_fetch) dsql_fetch;
    decltype(&isc_dsql_free_statement) dsql_free_statement;
    decltype(&isc_dsql_prepare) dsql_prepare;
    decltype(&isc_dsql_set_cursor_name) dsql_set_cursor_name;
    decltype(&isc_dsql_sql_info) dsql_sql_info;
    decltype(&isc_encode_date) encode_date;
    decltype(&isc_get_segment) get_segment;
    InterpreteFunction interprete;
    decltype(&isc_open_blob) open_blob;
    decltype(&isc_open_blob2) open_blob2;
    decltype(&isc_put_segment) put_segment;
    decltype(&isc_rollback_transaction) rollback_transaction;
    decltype(&isc_sqlcode) sqlcode;
    decltype(&isc_start_transaction) start_transaction;
    decltype(&isc_vax_integer) vax_integer;
    decltype(&isc_dsql_describe_bind) dsql_describe_bind;
    // Optional: checked at the point of use.
    decltype(&isc_decode_timestamp) decode_timestamp;
    decltype(&isc_decode_sql_date) decode_sql_date;
    decltype(&isc_decode_sql_time) decode_sql_time;
    decltype(&isc_encode_timestamp) encode_timestamp;
    decltype(&isc_encode_sql_date) encode_sql_date;
    decltype(&isc_encode_sql_time) encode_sql_time;
    decltype(&isc_rollback_retaining) rollback_retaining;

    void* module = nullptr;
    bool usable = false;  // loaded, with every required entry
    std::atomic<std::int32_t> references{1};
};

inline constexpr int kClientEntryCount = 39;
inline constexpr int kRequiredClientEntries = 32;

// Loads `libraryName` and binds all entries. *table is always set (also on failure, so the caller
// can release it). Returns 0, or 0xFFF9 when the library cannot be loaded or a required entry is missing.
std::uint16_t LoadClientLibrary(const char* libraryName, ClientEntryTable** table);

void RetainClientEntries(ClientEntryTable* table);
// Drops one reference; the last one unloads the library.
void ReleaseClientEntries(ClientEntryTable* table);

}  // namespace basalt
