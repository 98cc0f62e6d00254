// Shared pieces of the driver tests.
#include "tests/driver/driver_test_support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <stdexcept>

#include "tests/support/firebird_db.h"

// The client library unloads its engine plugin (which has thread-local storage) after the last
// detach. LeakSanitizer keeps a record of that plugin's dynamic TLS block and, at exit, reads the
// stale block and crashes its own tracer. Not tracking dynamic TLS avoids that; it can only add leak
// reports, never hide one. Harmless in builds without the sanitizers.
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}

namespace drivertest {
namespace {

std::vector<std::string> Traced;
std::int32_t RecordTrace(std::int32_t, TraceRecord* record) {
    Traced.emplace_back(record->text, ::strnlen(record->text, sizeof record->text));
    return 0;
}

}  // namespace

GetSqlDriverFunction DriverEntry() {
    // Loaded once and kept for the whole run, as the program does.
    static void* library = ::dlopen(DRIVER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!library) throw std::runtime_error(std::string("cannot load the driver: ") + ::dlerror());
    return reinterpret_cast<GetSqlDriverFunction>(::dlsym(library, kSqlDriverEntryName));
}

FakeClient::FakeClient(const char* path) : handle_(::dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_) throw std::runtime_error(std::string("cannot load the fake client: ") + ::dlerror());
    reset();
}

FakeClient::~FakeClient() {
    ::dlclose(handle_);
}

void FakeClient::reset() {
    reinterpret_cast<void (*)()>(::dlsym(handle_, "fake_reset"))();
}

void FakeClient::fail(const char* function, std::initializer_list<ISC_STATUS> status) {
    auto failCall = reinterpret_cast<void (*)(const char*, const ISC_STATUS*, int)>(::dlsym(handle_, "fake_fail"));
    failCall(function, status.begin(), static_cast<int>(status.size()));
}

void FakeClient::setOds(int major) {
    reinterpret_cast<void (*)(int)>(::dlsym(handle_, "fake_set_ods"))(major);
}

std::string FakeClient::log() const {
    return reinterpret_cast<const char* (*)()>(::dlsym(handle_, "fake_log"))();
}

std::string FakeClient::calls(const std::string& function) const {
    std::istringstream lines(log());
    std::string line, found;
    while (std::getline(lines, line))
        if (line.rfind(function, 0) == 0) found += line + "\n";
    return found;
}

SQLConnection* Connect(SQLDriver* driver, const std::string& path, bool connectNow, int dialect) {
    SQLConnection* connection = nullptr;
    driver->createConnection(&connection);
    connection->setOption(kConnOptionDialect, dialect);
    if (connectNow) {
        ResultCode result = connection->connect(path.c_str(), plxtest::kDbUser, plxtest::kDbPassword);
        EXPECT_EQ(result, kResultOk) << ErrorText(connection);
    }
    return connection;
}

RealDatabase::RealDatabase(const std::string& script, const std::string& charset) : path_(dir_.File("test.fdb")) {
    plxtest::CreateDatabase(path_, script, charset);
    ResultCode result = DriverEntry()(kRealClient, "", driver_.out());
    if (result != kResultOk) throw std::runtime_error("driver entry failed: " + std::to_string(result));
}

SQLConnection* RealDatabase::connect(bool connectNow, int dialect) {
    return Connect(driver_.get(), path_, connectNow, dialect);
}

TraceRecorder::TraceRecorder(SQLConnection* connection) : connection_(connection) {
    Traced.clear();
    connection_->setOption(kConnOptionTraceCallback, reinterpret_cast<std::intptr_t>(&RecordTrace));
}

TraceRecorder::~TraceRecorder() {
    connection_->setOption(kConnOptionTraceCallback, 0);
}

std::vector<std::string> TraceRecorder::takeAll() {
    std::vector<std::string> texts;
    texts.swap(Traced);
    return texts;
}

std::vector<std::string> TraceRecorder::takeStatements() {
    std::vector<std::string> statements;
    for (const std::string& text : takeAll())
        if (text.rfind("BASALT - ", 0) != 0) statements.push_back(text);
    return statements;
}

ResultCode Execute(SQLConnection* connection, const std::string& sql, std::int32_t* rowsAffected) {
    Ref<SQLCommand> command;
    ResultCode result = connection->createCommand(command.out());
    if (result != kResultOk) return result;
    Ref<SQLCursor> cursor;
    result = command->executeDirect(sql.c_str(), cursor.out());
    EXPECT_EQ(result, kResultOk) << sql << "\n" << ErrorText(command.get());
    EXPECT_EQ(cursor.get(), nullptr) << sql;
    if (rowsAffected) command->getRowsAffected(rowsAffected);
    command->close();
    return result;
}

Query::Query(SQLConnection* connection, const std::string& sql) {
    result = connection->createCommand(command.out());
    if (result == kResultOk) result = command->prepare(sql.c_str(), 0);
    if (result == kResultOk) result = command->execute(cursor.out());
    EXPECT_EQ(result, kResultOk) << sql << "\n" << ErrorText(command.get());
    EXPECT_NE(cursor.get(), nullptr) << sql;
}

bool Query::next() {
    if (!cursor.get()) return false;
    ResultCode r = cursor->next();
    EXPECT_TRUE(r == kResultOk || r == kResultEndOfData) << r << " " << ErrorText(cursor.get());
    return r == kResultOk;
}

std::string Query::text(std::uint16_t column) {
    std::uint32_t length = 0;
    EXPECT_EQ(cursor->getColumnLength(column, &length), kResultOk);
    std::string value(length + 1, '\x7f');
    std::int32_t blank = -1;
    ResultCode r = cursor->getString(column, value.data(), &blank);
    EXPECT_EQ(r, kResultOk) << "column " << column;
    if (blank == 1) return "<NULL>";
    value.resize(std::strlen(value.c_str()));
    return value;
}

}  // namespace drivertest
