// Fetch speed of the driver against the client library's own loop, on a race-shaped table of
// 1 000 000 rows and a 40-column mixed table of 200 000 rows built in the same run. Each path reads
// every value of every row; the best of three runs counts. Also counts the allocations made from
// inside the driver library while its rows are read (next and the getters must make none).
// The last line gives the ratio driver/client for both tables.
#include <dlfcn.h>
#include <ibase.h>
#include <link.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "driver/sqldriver.h"

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);
extern "C" void __libc_free(void*);

namespace {

// Address range of the loaded driver; allocations whose caller lies inside it are counted.
std::uintptr_t driverStart = 0, driverEnd = 0;
bool counting = false;
long driverAllocations = 0, allAllocations = 0, openAllocations = 0;

void Count(void* caller) {
    if (!counting) return;
    ++allAllocations;
    auto address = reinterpret_cast<std::uintptr_t>(caller);
    if (address >= driverStart && address < driverEnd) ++driverAllocations;
}

}  // namespace

extern "C" void* malloc(std::size_t size) {
    Count(__builtin_return_address(0));
    return __libc_malloc(size);
}
extern "C" void* calloc(std::size_t n, std::size_t size) {
    Count(__builtin_return_address(0));
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, std::size_t size) {
    Count(__builtin_return_address(0));
    return __libc_realloc(p, size);
}
extern "C" void free(void* p) {
    __libc_free(p);
}
void* operator new(std::size_t size) {
    Count(__builtin_return_address(0));
    if (void* p = __libc_malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    __libc_free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    __libc_free(p);
}

namespace {

constexpr const char* kUser = "SYSDBA";
constexpr const char* kPassword = "benchpass";

struct Table {
    const char* name;
    const char* select;
    int rows;
};

const Table kRace = {"race (7 columns)", "SELECT OPDT, RCOURSECD, RNO, TEINO, KIND, ENTNO, CLOSETM FROM RACE", 1000000};
const Table kMixed = {"mixed (40 columns)", "SELECT * FROM MIXED", 200000};

std::string MixedColumns() {
    // 10 INTEGER, 10 CHAR(10), 8 VARCHAR(20), 4 SMALLINT, 4 DOUBLE PRECISION, 2 DATE, 2 TIMESTAMP.
    std::string columns, values;
    auto add = [&](const std::string& name, const std::string& type, const std::string& value) {
        columns += (columns.empty() ? "" : ", ") + name + " " + type;
        values += (values.empty() ? "" : ", ") + value;
    };
    for (int i = 0; i < 10; ++i) add("I" + std::to_string(i), "INTEGER", ":N + " + std::to_string(i));
    for (int i = 0; i < 10; ++i) add("C" + std::to_string(i), "CHAR(10)", "'C' || MOD(:N, 997)");
    for (int i = 0; i < 8; ++i) add("V" + std::to_string(i), "VARCHAR(20)", "'V' || MOD(:N, 9973)");
    for (int i = 0; i < 4; ++i) add("S" + std::to_string(i), "SMALLINT", "MOD(:N, 1000)");
    for (int i = 0; i < 4; ++i) add("D" + std::to_string(i), "DOUBLE PRECISION", ":N / 7.0");
    for (int i = 0; i < 2; ++i) add("T" + std::to_string(i), "DATE", "DATEADD(MOD(:N, 3000) DAY TO DATE '2006-01-01')");
    for (int i = 0; i < 2; ++i)
        add("P" + std::to_string(i), "TIMESTAMP", "DATEADD(:N SECOND TO TIMESTAMP '2006-04-01 10:30:00')");
    return "CREATE TABLE MIXED (" + columns +
           ");\nSET TERM ^ ;\nEXECUTE BLOCK AS DECLARE N INTEGER = 0; BEGIN WHILE (N < " + std::to_string(kMixed.rows) +
           ") DO BEGIN INSERT INTO MIXED VALUES (" + values + "); N = N + 1; END END^\nSET TERM ; ^\n";
}

void BuildDatabase(const std::string& folder, const std::string& path) {
    std::string script =
        "CREATE DATABASE '" + path + "' USER '" + kUser + "' PASSWORD '" + kPassword +
        "' PAGE_SIZE 16384;\n"
        "CREATE TABLE RACE (OPDT CHAR(8), RCOURSECD CHAR(2), RNO CHAR(2), TEINO SMALLINT, KIND CHAR(2),"
        " ENTNO INTEGER, CLOSETM CHAR(4));\n"
        "SET TERM ^ ;\n"
        "EXECUTE BLOCK AS DECLARE N INTEGER = 0; BEGIN WHILE (N < " +
        std::to_string(kRace.rows) +
        ") DO BEGIN INSERT INTO RACE VALUES ('20060401', LPAD(MOD(:N, 24) + 1, 2, '0'),"
        " LPAD(MOD(:N, 12) + 1, 2, '0'), MOD(:N, 6) + 1, '01', 3000 + MOD(:N, 1000), '1030');"
        " N = N + 1; END END^\nSET TERM ; ^\n" +
        MixedColumns() + "COMMIT;\n";
    std::string scriptPath = folder + "/build.sql";
    FILE* file = std::fopen(scriptPath.c_str(), "w");
    if (!file) throw std::runtime_error("cannot write " + scriptPath);
    std::fputs(script.c_str(), file);
    std::fclose(file);
    std::string command = "isql-fb -q -i '" + scriptPath + "' > '" + folder + "/build.log' 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("isql-fb failed, see " + folder + "/build.log");
}

// The day number a caller of the client library would compute itself (0001-01-01 is day 1).
long DayNumber(const std::tm& t) {
    static constexpr int kBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    long y = t.tm_year + 1900;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    long dayOfYear = kBefore[t.tm_mon] + t.tm_mday + (leap && t.tm_mon > 1 ? 1 : 0);
    return (y - 1) * 365 + (y - 1) / 4 - (y - 1) / 100 + (y - 1) / 400 + dayOfYear;
}

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// The client library's own loop: one XSQLDA bound once, every value read.
double ClientLoop(const std::string& path, const Table& table, long* checksum) {
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    isc_stmt_handle stmt = 0;
    char dpb[64] = {isc_dpb_version1};
    int dpbLength = 1;
    for (auto [item, text] : {std::pair{isc_dpb_user_name, kUser}, std::pair{isc_dpb_password, kPassword}}) {
        dpb[dpbLength++] = static_cast<char>(item);
        dpb[dpbLength++] = static_cast<char>(std::strlen(text));
        std::memcpy(dpb + dpbLength, text, std::strlen(text));
        dpbLength += static_cast<int>(std::strlen(text));
    }
    auto check = [&](ISC_STATUS result, const char* what) {
        if (result) throw std::runtime_error(std::string("client loop: ") + what + " failed");
    };
    check(isc_attach_database(status, 0, path.c_str(), &db, static_cast<short>(dpbLength), dpb), "attach");
    static const char tpb[] = {isc_tpb_version3, isc_tpb_read_committed, isc_tpb_wait, isc_tpb_rec_version};
    check(isc_start_transaction(status, &tr, 1, &db, static_cast<short>(sizeof tpb), tpb), "start");
    check(isc_dsql_allocate_statement(status, &db, &stmt), "allocate");
    std::vector<char> area(XSQLDA_LENGTH(40));
    auto* sqlda = reinterpret_cast<XSQLDA*>(area.data());
    sqlda->version = SQLDA_VERSION1;
    sqlda->sqln = 40;
    check(isc_dsql_prepare(status, &tr, &stmt, 0, table.select, 3, sqlda), "prepare");
    std::vector<std::vector<char>> buffers(static_cast<std::size_t>(sqlda->sqld));
    std::vector<short> indicators(static_cast<std::size_t>(sqlda->sqld));
    for (int i = 0; i < sqlda->sqld; ++i) {
        buffers[i].resize(static_cast<std::size_t>(sqlda->sqlvar[i].sqllen) + 2);
        sqlda->sqlvar[i].sqldata = buffers[i].data();
        sqlda->sqlvar[i].sqlind = &indicators[i];
    }
    auto start = std::chrono::steady_clock::now();
    check(isc_dsql_execute(status, &tr, &stmt, 3, nullptr), "execute");
    char text[64];
    long sum = 0;
    while (isc_dsql_fetch(status, &stmt, 3, sqlda) == 0) {
        for (int i = 0; i < sqlda->sqld; ++i) {
            const XSQLVAR& v = sqlda->sqlvar[i];
            if (*v.sqlind == -1) continue;
            std::tm fields;
            switch (v.sqltype & ~1) {
                case SQL_TEXT:
                    std::memcpy(text, v.sqldata, static_cast<std::size_t>(v.sqllen));
                    text[v.sqllen] = '\0';
                    sum += text[0];
                    break;
                case SQL_VARYING: {
                    unsigned short length;
                    std::memcpy(&length, v.sqldata, 2);
                    std::memcpy(text, v.sqldata + 2, length);
                    text[length] = '\0';
                    sum += text[0];
                    break;
                }
                case SQL_SHORT:
                    sum += *reinterpret_cast<short*>(v.sqldata);
                    break;
                case SQL_LONG:
                    sum += *reinterpret_cast<ISC_LONG*>(v.sqldata);
                    break;
                case SQL_DOUBLE:
                    sum += static_cast<long>(*reinterpret_cast<double*>(v.sqldata));
                    break;
                case SQL_TYPE_DATE:
                    isc_decode_sql_date(reinterpret_cast<ISC_DATE*>(v.sqldata), &fields);
                    sum += DayNumber(fields);
                    break;
                case SQL_TIMESTAMP:
                    isc_decode_timestamp(reinterpret_cast<ISC_TIMESTAMP*>(v.sqldata), &fields);
                    sum += fields.tm_sec;
                    break;
            }
        }
    }
    double seconds = Seconds(std::chrono::steady_clock::now() - start);
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    isc_commit_transaction(status, &tr);
    isc_detach_database(status, &db);
    *checksum = sum;
    return seconds;
}

// The same rows through the driver: next and the matching getter for every column.
double DriverLoop(SQLDriver* driver, const std::string& path, const Table& table, long* checksum) {
    SQLConnection* connection = nullptr;
    driver->createConnection(&connection);
    connection->setOption(kConnOptionDialect, 3);
    connection->setOption(kConnOptionWaitOnLocks, 1);
    if (connection->connect(path.c_str(), kUser, kPassword) != kResultOk) throw std::runtime_error("driver connect");
    SQLCommand* command = nullptr;
    connection->createCommand(&command);
    if (command->prepare(table.select, 0) != kResultOk) throw std::runtime_error("driver prepare");
    auto start = std::chrono::steady_clock::now();
    SQLCursor* cursor = nullptr;
    // Opening the cursor does allocate (its columns and row buffer): proof that the count sees the driver.
    counting = true;
    long before = driverAllocations, beforeAll = allAllocations;
    if (command->execute(&cursor) != kResultOk) throw std::runtime_error("driver execute");
    counting = false;
    openAllocations = driverAllocations - before;
    driverAllocations = before;
    allAllocations = beforeAll;
    std::uint16_t count = 0;
    cursor->getColumnCount(&count);
    std::vector<std::uint16_t> types(count + 1u);
    for (std::uint16_t c = 1; c <= count; ++c) {
        std::uint16_t subType;
        cursor->getColumnType(c, &types[c], &subType);
    }
    char text[64];
    long sum = 0;
    std::int32_t blank;
    counting = true;
    while (cursor->next() == kResultOk) {
        for (std::uint16_t c = 1; c <= count; ++c) {
            switch (types[c]) {
                case kFieldString:
                    cursor->getString(c, text, &blank);
                    sum += text[0];
                    break;
                case kFieldInt16: {
                    std::int16_t value;
                    cursor->getInt16(c, &value, &blank);
                    sum += value;
                    break;
                }
                case kFieldInt32: {
                    std::int32_t value;
                    cursor->getInt32(c, &value, &blank);
                    sum += value;
                    break;
                }
                case kFieldFloat: {
                    double value;
                    cursor->getDouble(c, &value, &blank);
                    sum += static_cast<long>(value);
                    break;
                }
                case kFieldDate: {
                    std::int32_t day;
                    cursor->getDate(c, &day, &blank);
                    sum += day;
                    break;
                }
                case kFieldTimestamp: {
                    TimestampValue stamp;
                    cursor->getTimestamp(c, &stamp, &blank);
                    sum += stamp.second;
                    break;
                }
            }
        }
    }
    counting = false;
    double seconds = Seconds(std::chrono::steady_clock::now() - start);
    cursor->Release();
    command->Release();
    connection->disconnect();
    connection->Release();
    *checksum = sum;
    return seconds;
}

int FindDriverRange(dl_phdr_info* info, std::size_t, void*) {
    if (!std::strstr(info->dlpi_name, "libbasaltdrv")) return 0;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const auto& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || !(header.p_flags & PF_X)) continue;
        driverStart = info->dlpi_addr + header.p_vaddr;
        driverEnd = driverStart + header.p_memsz;
    }
    return 1;
}

}  // namespace

int main() {
    char folderTemplate[] = "/tmp/bench_driver_fetch.XXXXXX";
    if (!::mkdtemp(folderTemplate)) return 1;
    std::string folder = folderTemplate, path = folder + "/bench.fdb";
    try {
        std::printf("building %d + %d rows ...\n", kRace.rows, kMixed.rows);
        std::fflush(stdout);
        auto built = std::chrono::steady_clock::now();
        BuildDatabase(folder, path);
        std::printf("built in %.1f s\n", Seconds(std::chrono::steady_clock::now() - built));

        void* library = ::dlopen(DRIVER_LIBRARY, RTLD_NOW);
        if (!library) throw std::runtime_error(::dlerror());
        auto entry = reinterpret_cast<GetSqlDriverFunction>(::dlsym(library, kSqlDriverEntryName));
        SQLDriver* driver = nullptr;
        if (entry("libfbclient.so.2", "", &driver) != kResultOk) throw std::runtime_error("driver entry");
        dl_iterate_phdr(FindDriverRange, nullptr);

        double ratios[2];
        int index = 0;
        for (const Table* table : {&kRace, &kMixed}) {
            double client = 1e9, viaDriver = 1e9;
            long clientSum = 0, driverSum = 0;
            driverAllocations = allAllocations = 0;
            for (int run = 0; run < 3; ++run) {
                client = std::min(client, ClientLoop(path, *table, &clientSum));
                viaDriver = std::min(viaDriver, DriverLoop(driver, path, *table, &driverSum));
            }
            if (clientSum != driverSum) throw std::runtime_error("the two loops read different values");
            ratios[index++] = client / viaDriver;
            std::printf("%-20s client %10.0f rows/s   driver %10.0f rows/s   b/a %.3f\n", table->name,
                        table->rows / client, table->rows / viaDriver, client / viaDriver);
            std::printf(
                "%-20s allocations by the driver: opening the cursor %ld; next and getters over %d rows x3 %ld"
                " (all callers %ld)\n",
                table->name, openAllocations, table->rows, driverAllocations, allAllocations);
        }
        driver->Release();
        std::printf("ratio b/a (driver / client library): race %.3f, mixed %.3f\n", ratios[0], ratios[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_driver_fetch: %s\n", e.what());
        std::system(("rm -rf '" + folder + "'").c_str());
        return 1;
    }
    std::system(("rm -rf '" + folder + "'").c_str());
    return 0;
}
