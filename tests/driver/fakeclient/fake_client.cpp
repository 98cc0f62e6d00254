// A stand-in for the database client library: exports the client entry points, records each call
// with the arguments that matter (path, DPB, TPB) and fails a chosen call with a chosen status.
// Built in variants without the optional entries and without isc_dsql_describe_bind.
#include "tests/driver/fakeclient/fake_client.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct State {
    std::string log;
    std::map<std::string, std::vector<ISC_STATUS>> failures;
    int ods = 12;
    int params = 0;  // parameter markers of the last prepared text
    unsigned nextHandle = 1;
};

State& state() {
    static State s;
    return s;
}

std::string Bytes(const char* bytes, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        if (i) text += ',';
        text += std::to_string(static_cast<unsigned char>(bytes[i]));
    }
    return text;
}

// Logs the call and applies a planned failure; returns the call's result.
ISC_STATUS Enter(const char* function, ISC_STATUS* status, const std::string& details = "") {
    State& s = state();
    s.log += function;
    if (!details.empty()) s.log += " " + details;
    s.log += "\n";
    if (status) {
        status[0] = isc_arg_gds;
        status[1] = 0;
        status[2] = isc_arg_end;
    }
    auto planned = s.failures.find(function);
    if (planned == s.failures.end()) return 0;
    std::vector<ISC_STATUS> vector = planned->second;
    s.failures.erase(planned);
    if (status) std::memcpy(status, vector.data(), vector.size() * sizeof(ISC_STATUS));
    return vector.size() > 1 ? vector[1] : 1;
}

ISC_STATUS Ok(const char* function, ISC_STATUS* status) {
    return Enter(function, status);
}

}  // namespace

FAKE_EXPORT void fake_reset() {
    state() = State();
}

FAKE_EXPORT void fake_fail(const char* function, const ISC_STATUS* status, int words) {
    std::vector<ISC_STATUS> vector(ISC_STATUS_LENGTH, 0);
    for (int i = 0; i < words && i < ISC_STATUS_LENGTH; ++i) vector[i] = status[i];
    state().failures[function] = vector;
}

FAKE_EXPORT void fake_set_ods(int major) {
    state().ods = major;
}

FAKE_EXPORT const char* fake_log() {
    return state().log.c_str();
}

FAKE_EXPORT ISC_STATUS isc_attach_database(ISC_STATUS* status, short pathLength, const ISC_SCHAR* path,
                                           isc_db_handle* db, short dpbLength, const ISC_SCHAR* dpb) {
    std::string details =
        "path=" + std::string(path, static_cast<std::size_t>(pathLength)) + " dpb=" + Bytes(dpb, dpbLength);
    ISC_STATUS result = Enter("isc_attach_database", status, details);
    if (result == 0) *db = state().nextHandle++;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_detach_database(ISC_STATUS* status, isc_db_handle* db) {
    ISC_STATUS result = Enter("isc_detach_database", status);
    if (result == 0) *db = 0;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_database_info(ISC_STATUS* status, isc_db_handle*, short, const ISC_SCHAR*, short length,
                                         ISC_SCHAR* buffer) {
    ISC_STATUS result = Enter("isc_database_info", status);
    const char reply[] = {32, 4, 0, static_cast<char>(state().ods), 0, 0, 0, 33, 4, 0, 0, 0, 0, 0, 1};
    if (result == 0 && length >= static_cast<short>(sizeof reply)) std::memcpy(buffer, reply, sizeof reply);
    return result;
}

FAKE_EXPORT ISC_STATUS isc_start_transaction(ISC_STATUS* status, isc_tr_handle* tr, short count, ...) {
    va_list args;
    va_start(args, count);
    (void)va_arg(args, isc_db_handle*);
    int tpbLength = va_arg(args, int);
    const char* tpb = va_arg(args, const char*);
    va_end(args);
    ISC_STATUS result = Enter("isc_start_transaction", status, "tpb=" + Bytes(tpb, tpbLength));
    if (result == 0) *tr = state().nextHandle++;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_commit_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
    ISC_STATUS result = Enter("isc_commit_transaction", status);
    if (result == 0) *tr = 0;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_rollback_transaction(ISC_STATUS* status, isc_tr_handle* tr) {
    ISC_STATUS result = Enter("isc_rollback_transaction", status);
    if (result == 0) *tr = 0;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_commit_retaining(ISC_STATUS* status, isc_tr_handle*) {
    return Ok("isc_commit_retaining", status);
}

// Renders one message per status cluster: the code, then any string argument after it.
FAKE_EXPORT ISC_LONG isc_interprete(ISC_SCHAR* buffer, ISC_STATUS** vector) {
    ISC_STATUS* p = *vector;
    if (p[0] != isc_arg_gds || p[1] == 0) return 0;
    std::string line;
    if (p[1] == 335544569)
        line = "Dynamic SQL Error";
    else if (p[1] == 335544436)
        line = "SQL error code = -104";
    else
        line = "error " + std::to_string(p[1]);
    p += 2;
    while (p[0] == isc_arg_string || p[0] == isc_arg_number) {
        line += p[0] == isc_arg_string ? " " + std::string(reinterpret_cast<const char*>(p[1]))
                                       : " " + std::to_string(p[1]);
        p += 2;
    }
    std::strcpy(buffer, line.c_str());
    *vector = p;
    return static_cast<ISC_LONG>(line.size());
}

FAKE_EXPORT ISC_LONG isc_sqlcode(const ISC_STATUS*) {
    Enter("isc_sqlcode", nullptr);
    return -999;
}

FAKE_EXPORT ISC_LONG isc_vax_integer(const ISC_SCHAR* bytes, short length) {
    ISC_LONG value = 0;
    for (short i = length - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

FAKE_EXPORT ISC_STATUS isc_dsql_allocate_statement(ISC_STATUS* status, isc_db_handle*, isc_stmt_handle* stmt) {
    ISC_STATUS result = Enter("isc_dsql_allocate_statement", status);
    if (result == 0) *stmt = state().nextHandle++;
    return result;
}

FAKE_EXPORT ISC_STATUS isc_dsql_free_statement(ISC_STATUS* status, isc_stmt_handle* stmt, unsigned short option) {
    ISC_STATUS result = Enter("isc_dsql_free_statement", status, "option=" + std::to_string(option));
    if (result == 0 && option == DSQL_drop) *stmt = 0;
    return result;
}

// Every statement describes as having no result columns and one VARCHAR(10) parameter per "?".
FAKE_EXPORT ISC_STATUS isc_dsql_prepare(ISC_STATUS* status, isc_tr_handle*, isc_stmt_handle*, unsigned short length,
                                        const ISC_SCHAR* sql, unsigned short dialect, XSQLDA* out) {
    std::string text(sql, length ? length : std::strlen(sql));
    ISC_STATUS result = Enter("isc_dsql_prepare", status, "dialect=" + std::to_string(dialect) + " sql=" + text);
    if (result == 0 && out) out->sqld = 0;
    state().params = static_cast<int>(std::count(text.begin(), text.end(), '?'));
    return result;
}

#ifndef FAKE_NO_DESCRIBE_BIND
FAKE_EXPORT ISC_STATUS isc_dsql_describe_bind(ISC_STATUS* status, isc_stmt_handle*, unsigned short, XSQLDA* in) {
    ISC_STATUS result = Enter("isc_dsql_describe_bind", status);
    if (result != 0 || !in) return result;
    in->sqld = static_cast<ISC_SHORT>(state().params);
    for (int i = 0; i < in->sqln && i < in->sqld; ++i) {
        in->sqlvar[i].sqltype = SQL_VARYING + 1;
        in->sqlvar[i].sqllen = 10;
    }
    return result;
}
#endif

FAKE_EXPORT ISC_STATUS isc_dsql_sql_info(ISC_STATUS* status, isc_stmt_handle*, short, const ISC_SCHAR*, short length,
                                         ISC_SCHAR* buffer) {
    ISC_STATUS result = Enter("isc_dsql_sql_info", status);
    if (result == 0 && length > 0) buffer[0] = isc_info_end;
    return result;
}

// Logs each input as type/length/null indicator/bytes (a varying value with its length prefix).
FAKE_EXPORT ISC_STATUS isc_dsql_execute(ISC_STATUS* status, isc_tr_handle*, isc_stmt_handle*, unsigned short,
                                        const XSQLDA* in) {
    std::string details;
    for (int i = 0; in && i < in->sqld; ++i) {
        const XSQLVAR& v = in->sqlvar[i];
        int bytes = (v.sqltype & ~1) == SQL_VARYING ? v.sqllen + 2 : v.sqllen;
        details += (i ? " " : "") + std::to_string(v.sqltype) + "/" + std::to_string(v.sqllen) + "/" +
                   std::to_string(v.sqlind ? *v.sqlind : 0) + "/" + (v.sqldata ? Bytes(v.sqldata, bytes) : "null");
    }
    return Enter("isc_dsql_execute", status, details);
}

FAKE_EXPORT ISC_STATUS isc_dsql_execute2(ISC_STATUS* status, isc_tr_handle*, isc_stmt_handle*, unsigned short,
                                         const XSQLDA*, const XSQLDA*) {
    return Ok("isc_dsql_execute2", status);
}

FAKE_EXPORT ISC_STATUS isc_dsql_fetch(ISC_STATUS* status, isc_stmt_handle*, unsigned short, const XSQLDA*) {
    ISC_STATUS result = Enter("isc_dsql_fetch", status);
    return result == 0 ? 100 : result;
}

FAKE_EXPORT ISC_STATUS isc_dsql_set_cursor_name(ISC_STATUS* status, isc_stmt_handle*, const ISC_SCHAR* name,
                                                unsigned short) {
    return Enter("isc_dsql_set_cursor_name", status, std::string("name=") + name);
}

// Blob and date entries: present so the binding succeeds; the fake holds no data.
FAKE_EXPORT void isc_blob_default_desc(ISC_BLOB_DESC*, const ISC_UCHAR*, const ISC_UCHAR*) {}
FAKE_EXPORT ISC_STATUS isc_blob_gen_bpb(ISC_STATUS* status, const ISC_BLOB_DESC*, const ISC_BLOB_DESC*, unsigned short,
                                        ISC_UCHAR*, unsigned short*) {
    return Ok("isc_blob_gen_bpb", status);
}
FAKE_EXPORT ISC_STATUS isc_blob_info(ISC_STATUS* status, isc_blob_handle*, short, const ISC_SCHAR*, short, ISC_SCHAR*) {
    return Ok("isc_blob_info", status);
}
FAKE_EXPORT ISC_STATUS isc_blob_lookup_desc(ISC_STATUS* status, isc_db_handle*, isc_tr_handle*, const ISC_UCHAR*,
                                            const ISC_UCHAR*, ISC_BLOB_DESC*, ISC_UCHAR*) {
    return Ok("isc_blob_lookup_desc", status);
}
FAKE_EXPORT ISC_STATUS isc_close_blob(ISC_STATUS* status, isc_blob_handle*) {
    return Ok("isc_close_blob", status);
}
FAKE_EXPORT ISC_STATUS isc_create_blob(ISC_STATUS* status, isc_db_handle*, isc_tr_handle*, isc_blob_handle*,
                                       ISC_QUAD*) {
    return Ok("isc_create_blob", status);
}
FAKE_EXPORT ISC_STATUS isc_create_blob2(ISC_STATUS* status, isc_db_handle*, isc_tr_handle*, isc_blob_handle*, ISC_QUAD*,
                                        short, const ISC_SCHAR*) {
    return Ok("isc_create_blob2", status);
}
FAKE_EXPORT ISC_STATUS isc_get_segment(ISC_STATUS* status, isc_blob_handle*, unsigned short* got, unsigned short,
                                       ISC_SCHAR*) {
    *got = 0;
    return Ok("isc_get_segment", status);
}
FAKE_EXPORT ISC_STATUS isc_open_blob(ISC_STATUS* status, isc_db_handle*, isc_tr_handle*, isc_blob_handle*, ISC_QUAD*) {
    return Ok("isc_open_blob", status);
}
FAKE_EXPORT ISC_STATUS isc_open_blob2(ISC_STATUS* status, isc_db_handle*, isc_tr_handle*, isc_blob_handle*, ISC_QUAD*,
                                      ISC_USHORT, const ISC_UCHAR*) {
    return Ok("isc_open_blob2", status);
}
FAKE_EXPORT ISC_STATUS isc_put_segment(ISC_STATUS* status, isc_blob_handle*, unsigned short, const ISC_SCHAR*) {
    return Ok("isc_put_segment", status);
}
FAKE_EXPORT void isc_decode_date(const ISC_QUAD*, void*) {}
FAKE_EXPORT void isc_encode_date(const void*, ISC_QUAD*) {}

#ifndef FAKE_NO_OPTIONAL
FAKE_EXPORT void isc_decode_timestamp(const ISC_TIMESTAMP*, void*) {}
FAKE_EXPORT void isc_decode_sql_date(const ISC_DATE*, void*) {}
FAKE_EXPORT void isc_decode_sql_time(const ISC_TIME*, void*) {}
FAKE_EXPORT void isc_encode_timestamp(const void*, ISC_TIMESTAMP*) {}
FAKE_EXPORT void isc_encode_sql_date(const void*, ISC_DATE*) {}
FAKE_EXPORT void isc_encode_sql_time(const void*, ISC_TIME*) {}
FAKE_EXPORT ISC_STATUS isc_rollback_retaining(ISC_STATUS* status, isc_tr_handle*) {
    return Ok("isc_rollback_retaining", status);
}
#endif
