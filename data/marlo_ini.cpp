// MARLO.INI credentials and the database path.
#include "data/marlo_ini.h"

#include "common/ini_file.h"
#include "data/sql_connection.h"

namespace plx {

MarloCredentials ReadMarloCredentials(const std::string& marloFolder) {
    MarloCredentials credentials;
    IniFile ini(marloFolder + "MARLO.INI");
    credentials.user = ini.Get("FB", "USER", credentials.user);
    credentials.password = ini.Get("FB", "PSWD", credentials.password);
    return credentials;
}

std::string MarloDatabasePath(const std::string& marloFolder) {
    return marloFolder + "DB/" + "MLDB.FDB";
}

bool OpenRaceDatabase(SqlConnection& connection, const std::string& marloFolder, std::string* error) {
    const MarloCredentials credentials = ReadMarloCredentials(marloFolder);
    connection.SetParam("Database", MarloDatabasePath(marloFolder));
    connection.SetParam("User_Name", credentials.user);
    connection.SetParam("Password", credentials.password);
    return connection.Open(error);
}

}  // namespace plx
