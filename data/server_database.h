// The race database on a Firebird server, on this machine or another: the [DIR] keys MARLO_DB,
// MARLO_USER and MARLO_PSWD of the program's settings file and the login they give.
#pragma once

#include <string>

#include "data/marlo_ini.h"

namespace plx {

class IniFile;
class SqlConnection;

struct ServerDatabase {
    // A Firebird connection text ("host:/path", "host/port:/path" or "inet://host:port//path"),
    // blanks trimmed; empty when the database is the MARLO folder's own file.
    std::string database;
    MarloCredentials credentials;     // MARLO_USER and MARLO_PSWD, with MARLO.INI's defaults
    bool passwordInSettings = false;  // MARLO_PSWD is present in the settings file
};

ServerDatabase ReadServerDatabase(const IniFile& settingsFile);

// The login for the server: MARLO.INI's when `marloFolder` names a folder that exists (the
// MARLO installation serving this machine), else the settings file's own.
MarloCredentials ServerCredentials(const ServerDatabase& server, const std::string& marloFolder);

// Sets Database, User_Name and Password and opens the connection. On failure `error` holds the
// connection text and, below it, the server's reason (CP932); never the password.
bool OpenServerDatabase(SqlConnection& connection, const ServerDatabase& server, const std::string& marloFolder,
                        std::string* error);

}  // namespace plx
