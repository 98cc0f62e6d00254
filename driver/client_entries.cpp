// Loading the client library and binding its entry points by exact name.
#include "driver/client_entries.h"

#include <dlfcn.h>

#include <new>

#include "driver/sqldriver.h"

namespace basalt {
namespace {

// Binds entries in the fixed order and remembers whether a required one was missing.
class Binder {
public:
    explicit Binder(void* module) : module_(module) {}

    template <class Function>
    void operator()(Function& slot, const char* name) {
        slot = reinterpret_cast<Function>(::dlsym(module_, name));
        if (!slot && index_ < kRequiredClientEntries) missingRequired_ = true;
        ++index_;
    }
    bool missingRequired() const { return missingRequired_; }

private:
    void* module_;
    int index_ = 0;
    bool missingRequired_ = false;
};

// The table order below is the binding order; the first 32 entries are required.
void BindAll(ClientEntryTable& t, Binder& bind) {
    bind(t.attach_database, "isc_attach_database");
    bind(t.blob_default_desc, "isc_blob_default_desc");
    bind(t.blob_gen_bpb, "isc_blob_gen_bpb");
    bind(t.blob_info, "isc_blob_info");
    bind(t.blob_lookup_desc, "isc_blob_lookup_desc");
    bind(t.close_blob, "isc_close_blob");
    bind(t.commit_retaining, "isc_commit_retaining");
    bind(t.commit_transaction, "isc_commit_transaction");
    bind(t.create_blob, "isc_create_blob");
    bind(t.create_blob2, "isc_create_blob2");
    bind(t.database_info, "isc_database_info");
    bind(t.decode_date, "isc_decode_date");
    bind(t.detach_database, "isc_detach_database");
    bind(t.dsql_allocate_statement, "isc_dsql_allocate_statement");
    bind(t.dsql_execute, "isc_dsql_execute");
    bind(t.dsql_execute2, "isc_dsql_execute2");
    bind(t.dsql_fetch, "isc_dsql_fetch");
    bind(t.dsql_free_statement, "isc_dsql_free_statement");
    bind(t.dsql_prepare, "isc_dsql_prepare");
    bind(t.dsql_set_cursor_name, "isc_dsql_set_cursor_name");
    bind(t.dsql_sql_info, "isc_dsql_sql_info");
    bind(t.encode_date, "isc_encode_date");
    bind(t.get_segment, "isc_get_segment");
    bind(t.interprete, "isc_interprete");
    bind(t.open_blob, "isc_open_blob");
    bind(t.open_blob2, "isc_open_blob2");
    bind(t.put_segment, "isc_put_segment");
    bind(t.rollback_transaction, "isc_rollback_transaction");
    bind(t.sqlcode, "isc_sqlcode");
    bind(t.start_transaction, "isc_start_transaction");
    bind(t.vax_integer, "isc_vax_integer");
    bind(t.dsql_describe_bind, "isc_dsql_describe_bind");
    bind(t.decode_timestamp, "isc_decode_timestamp");
    bind(t.decode_sql_date, "isc_decode_sql_date");
    bind(t.decode_sql_time, "isc_decode_sql_time");
    bind(t.encode_timestamp, "isc_encode_timestamp");
    bind(t.encode_sql_date, "isc_encode_sql_date");
    bind(t.encode_sql_time, "isc_encode_sql_time");
    bind(t.rollback_retaining, "isc_rollback_retaining");
}

}  // namespace

std::uint16_t LoadClientLibrary(const char* libraryName, ClientEntryTable** table) {
    *table = new (std::nothrow) ClientEntryTable{};
    if (!*table) return kResultClientNotLoaded;
    if (!libraryName || !*libraryName) return kResultClientNotLoaded;
    void* module = ::dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (!module) return kResultClientNotLoaded;
    (*table)->module = module;
    Binder bind(module);
    BindAll(**table, bind);
    (*table)->usable = !bind.missingRequired();
    return (*table)->usable ? kResultOk : kResultClientNotLoaded;
}

void RetainClientEntries(ClientEntryTable* table) {
    if (table) table->references.fetch_add(1, std::memory_order_relaxed);
}

void ReleaseClientEntries(ClientEntryTable* table) {
    // The last holder must see every other holder's use of the table finished before it unloads.
    if (!table || table->references.fetch_sub(1, std::memory_order_acq_rel) > 1) return;
    if (table->module) ::dlclose(table->module);
    delete table;
}

}  // namespace basalt
