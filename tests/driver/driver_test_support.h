// Shared pieces of the driver tests: the driver loaded as the program loads it, reference holders,
// the client-library test double and real embedded databases.
#pragma once

#include <ibase.h>

#include <string>
#include <vector>

#include "driver/sqldriver.h"
#include "tests/support/temp_dir.h"

namespace drivertest {

inline constexpr const char* kRealClient = "libfbclient.so.2";

// The driver's entry, looked up in the built library by name.
GetSqlDriverFunction DriverEntry();

// Holds one reference and releases it at the end of the scope.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* object) : object_(object) {}
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* operator->() const { return object_; }
    T* get() const { return object_; }
    T** out() {
        reset();
        return &object_;
    }
    void reset() {
        if (object_) object_->Release();
        object_ = nullptr;
    }

private:
    T* object_ = nullptr;
};

// The test double, reached through the same loaded image the driver uses.
class FakeClient {
public:
    explicit FakeClient(const char* path = FAKE_CLIENT);
    ~FakeClient();
    void reset();
    void fail(const char* function, std::initializer_list<ISC_STATUS> status);
    void setOds(int major);
    std::string log() const;
    // The logged lines that start with `function`.
    std::string calls(const std::string& function) const;

private:
    void* handle_;
};

// Texts from getErrorLength/getErrorText of any driver object.
template <class T>
std::string ErrorText(T* object) {
    std::int16_t length = 0;
    if (object->getErrorLength(&length) != kResultOk || length <= 0) return "<no length>";
    std::string text(static_cast<std::size_t>(length), '\x7f');
    object->getErrorText(text.data());
    if (text.back() != '\0') return "<unterminated>";
    text.pop_back();
    return text;
}

// A new connection of `driver` in `dialect`, connected to `path` with the test user unless
// `connectNow` is false.
SQLConnection* Connect(SQLDriver* driver, const std::string& path, bool connectNow = true, int dialect = 3);

// Records the texts handed to a connection's trace callback while it lives.
class TraceRecorder {
public:
    explicit TraceRecorder(SQLConnection* connection);
    ~TraceRecorder();
    TraceRecorder(const TraceRecorder&) = delete;
    TraceRecorder& operator=(const TraceRecorder&) = delete;
    // Every traced text, and forget them.
    std::vector<std::string> takeAll();
    // The traced statement texts (the client-call names left out), and forget them.
    std::vector<std::string> takeStatements();

private:
    SQLConnection* connection_;
};

// A driver on the real client library and a fresh database file built from `script`.
class RealDatabase {
public:
    explicit RealDatabase(const std::string& script = "", const std::string& charset = "NONE");
    const std::string& path() const { return path_; }
    SQLDriver* driver() const { return driver_.get(); }
    // A new connection in `dialect`, connected with the test user unless `connectNow` is false.
    SQLConnection* connect(bool connectNow = true, int dialect = 3);

private:
    plxtest::TempDir dir_;
    std::string path_;
    Ref<SQLDriver> driver_;
};

// Runs a statement that returns no rows through a new command.
ResultCode Execute(SQLConnection* connection, const std::string& sql, std::int32_t* rowsAffected = nullptr);

// A SELECT run through a new command, with its cursor.
struct Query {
    Query(SQLConnection* connection, const std::string& sql);
    // Moves to the next row; false at the end (and fails the test on an error).
    bool next();
    std::string text(std::uint16_t column);  // getString; "<NULL>" for NULL

    Ref<SQLCommand> command;
    Ref<SQLCursor> cursor;
    ResultCode result = kResultOk;
};

}  // namespace drivertest
