// Where the race database lies and how to log in: the MARLO folder's DB/MLDB.FDB and the user
// name and password in its MARLO.INI.
#pragma once

#include <string>

namespace plx {

class SqlConnection;

struct MarloCredentials {
    std::string user = "SYSDBA";
    std::string password = "fjordlamp";
};

// [FB] USER and PSWD of MARLO.INI in `marloFolder` (trailing "/"); a missing file or key gives
// the default, a key present with an empty value gives empty text.
MarloCredentials ReadMarloCredentials(const std::string& marloFolder);

// The database file below the MARLO folder.
std::string MarloDatabasePath(const std::string& marloFolder);

// Sets Database, User_Name and Password of `connection` from the MARLO folder and opens it.
// On failure `error` holds the driver's reason (CP932).
bool OpenRaceDatabase(SqlConnection& connection, const std::string& marloFolder, std::string* error);

}  // namespace plx
