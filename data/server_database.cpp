// The server keys of the settings file and the connection they open.
#include "data/server_database.h"

#include <filesystem>

#include "common/ini_file.h"
#include "common/textutil.h"
#include "data/sql_connection.h"

namespace plx {

ServerDatabase ReadServerDatabase(const IniFile& settingsFile) {
    ServerDatabase server;
    server.database = TrimBlanks(settingsFile.Get("DIR", "MARLO_DB", ""));
    server.credentials.user = settingsFile.Get("DIR", "MARLO_USER", server.credentials.user);
    // A marker no INI value can hold tells an absent key from an empty one.
    const std::string absent(1, '\0');
    const std::string password = settingsFile.Get("DIR", "MARLO_PSWD", absent);
    server.passwordInSettings = password != absent;
    if (server.passwordInSettings) server.credentials.password = password;
    return server;
}

MarloCredentials ServerCredentials(const ServerDatabase& server, const std::string& marloFolder) {
    std::error_code ec;
    if (!marloFolder.empty() && std::filesystem::is_directory(marloFolder, ec))
        return ReadMarloCredentials(marloFolder);
    return server.credentials;
}

bool OpenServerDatabase(SqlConnection& connection, const ServerDatabase& server, const std::string& marloFolder,
                        std::string* error) {
    const MarloCredentials credentials = ServerCredentials(server, marloFolder);
    connection.SetParam("Database", server.database);
    connection.SetParam("User_Name", credentials.user);
    connection.SetParam("Password", credentials.password);
    std::string reason;
    if (connection.Open(&reason)) return true;
    // The server's own text does not always say which server it was (a refused login does not).
    if (error) *error = server.database + "\n" + reason;
    return false;
}

}  // namespace plx
