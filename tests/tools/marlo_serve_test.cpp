// marlo-demo --serve and --stop: a private server on a free port of 127.0.0.1 that only its own
// folder's --stop ends, and a folder that is not rebuilt while served.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/firebird_db.h"
#include "tests/support/marlo_server.h"
#include "tests/support/temp_dir.h"

using namespace plxtest;

namespace {

bool Listening(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

int PortOf(const std::string& database) {
    return std::stoi(database.substr(database.find('/') + 1));
}

}  // namespace

TEST(MarloServe, ServesTheFolderPrivatelyRefusesASecondStartAndARebuildAndStops) {
    TempDir dir;
    const std::string folder = dir.File("marlo");
    const std::string systemConf = ReadFile("/etc/firebird/3.0/firebird.conf");
    MarloServer server(folder, "20261208");  // no database yet: built first

    const std::string prefix = "127.0.0.1/";
    ASSERT_EQ(server.database().rfind(prefix, 0), 0u) << server.database();
    EXPECT_EQ(server.database().substr(server.database().find(':') + 1), folder + "/DB/MLDB.FDB");
    const int port = PortOf(server.database());
    EXPECT_TRUE(Listening(port));
    std::string count = RunIsql(server.database(), "SELECT 'N=' || COUNT(*) FROM RACEMST WHERE OPDT='20261208';");
    EXPECT_NE(count.find("N="), std::string::npos) << count;
    EXPECT_EQ(count.find("N=0"), std::string::npos) << count;
    // The server opens its own folder's databases and nothing else.
    EXPECT_NE(RunIsql(prefix + std::to_string(port) + ":/tmp/elsewhere.fdb", "SELECT 1 FROM RDB$DATABASE;", false)
                  .find("not allowed"),
              std::string::npos);

    int status = 0;
    std::string again = RunMarloDemo("'" + folder + "' --serve", &status);
    EXPECT_EQ(status, 1) << again;
    std::string rebuild = RunMarloDemo("'" + folder + "' --date 20261209", &status);
    EXPECT_EQ(status, 1) << rebuild;
    EXPECT_TRUE(Listening(port));

    EXPECT_TRUE(server.Stop());
    EXPECT_FALSE(Listening(port));
    EXPECT_FALSE(std::filesystem::exists(folder + "/server/firebird.pid"));
    EXPECT_EQ(ReadFile("/etc/firebird/3.0/firebird.conf"), systemConf);
    std::string stopAgain = RunMarloDemo("'" + folder + "' --stop", &status);
    EXPECT_EQ(status, 0) << stopAgain;
}
