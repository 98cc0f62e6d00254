// The database connection: loads the driver library by file name, hands it the parameter list
// and keeps the driver's connection object while open.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class SQLDriver;
class SQLConnection;

namespace plx {

class SqlQuery;

class SqlConnection {
public:
    SqlConnection();
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    std::string DriverName = "Basalt";
    std::string LibraryName = "libbasaltdrv.so";  // looked up in the program folder first, then by name
    std::string GetDriverFunc = "getSQLDriverBASALT";
    std::string VendorLib = "libfbclient.so.2";  // the client library the driver is told to load
    bool LoginPrompt = false;

    // The parameter list (name=value), in its fixed order.
    const std::vector<std::pair<std::string, std::string>>& Params() const { return params_; }
    // Value of a parameter; empty text when absent. Names compare without regard to case.
    std::string Param(const std::string& name) const;
    // Replaces a parameter's value in place; an unknown name is appended.
    void SetParam(const std::string& name, const std::string& value);

    // Loads the driver and connects with the parameters. Returns true when connected (also when
    // it already was); on failure puts the reason (the driver's error text where there is one,
    // CP932) into `error` and leaves everything closed.
    bool Open(std::string* error);
    // Closes every query on this connection, disconnects and unloads the driver.
    void Close();
    bool Connected() const { return connection_ != nullptr; }

    // For the query objects.
    SQLConnection* DriverConnection() const { return connection_; }
    void Attach(SqlQuery* query);
    void Detach(SqlQuery* query);
    // The driver connection's current error text (CP932), empty when none.
    std::string ErrorText() const;

private:
    bool LoadDriver(std::string* error);
    bool ApplyOptions(std::string* error);
    void Unload();

    std::vector<std::pair<std::string, std::string>> params_;
    std::vector<SqlQuery*> queries_;
    void* library_ = nullptr;
    SQLDriver* driver_ = nullptr;
    SQLConnection* connection_ = nullptr;
};

// The driver's error text on a connection, command or cursor (anything with the two error calls).
template <typename DriverObject>
std::string DriverErrorText(DriverObject* object) {
    if (object == nullptr) return {};
    std::int16_t length = 0;
    if (object->getErrorLength(&length) != 0 || length <= 0) return {};
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    object->getErrorText(text.data());
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}

}  // namespace plx
