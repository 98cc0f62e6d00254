// Shared pieces of the driver tests.
#include "tests/driver/driver_test_support.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "tests/support/firebird_db.h"

namespace drivertest {

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

RealDatabase::RealDatabase(const std::string& script, const std::string& charset) : path_(dir_.File("test.fdb")) {
    plxtest::CreateDatabase(path_, script, charset);
    ResultCode result = DriverEntry()(kRealClient, "", driver_.out());
    if (result != kResultOk) throw std::runtime_error("driver entry failed: " + std::to_string(result));
}

SQLConnection* RealDatabase::connect(bool connectNow) {
    SQLConnection* connection = nullptr;
    driver_->createConnection(&connection);
    if (connectNow) {
        ResultCode result = connection->connect(path_.c_str(), plxtest::kDbUser, plxtest::kDbPassword);
        EXPECT_EQ(result, kResultOk) << ErrorText(connection);
    }
    return connection;
}

}  // namespace drivertest
