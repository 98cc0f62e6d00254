// The program as its own process on a race database behind a real Firebird server (the demo
// tool's --serve on 127.0.0.1): the one-shot run against the local file, a day read while another
// connection holds a write on RACEMST, and a server that is not there.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/e2e/program_process.h"
#include "tests/support/marlo_server.h"
#include "tests/support/server_process.h"

using namespace plxtest;
namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr const char* kPassword = "fjordlamp";
constexpr std::size_t kSlotBytes = 129;
constexpr std::size_t kCloseTimeOffset = 93;

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

// An isql-fb session through the server that has updated rows and keeps its transaction open
// until the object goes, when it rolls back and ends.
class HeldWrite {
public:
    HeldWrite(const std::string& database, const std::string& update, const std::string& outputFile) {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
        input_ = pipeFds[1];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
        posix_spawn_file_actions_addclose(&actions, pipeFds[1]);
        posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::string program = "isql-fb", q = "-q", user = "-user", userName = "SYSDBA", pw = "-password",
                    password = kPassword, db = database;
        char* argv[] = {program.data(), q.data(),        user.data(), userName.data(),
                        pw.data(),      password.data(), db.data(),   nullptr};
        int rc = posix_spawnp(&pid_, "isql-fb", &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipeFds[0]);
        if (rc != 0) throw std::runtime_error("cannot start isql-fb");
        Send(update + "\nSELECT 'WRITE' || 'HELD' FROM RDB$DATABASE;\n");
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!Holds(ReadFile(outputFile), "WRITEHELD") && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        held_ = Holds(ReadFile(outputFile), "WRITEHELD");
    }
    ~HeldWrite() {
        Send("ROLLBACK;\nQUIT;\n");
        ::close(input_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    bool held() const { return held_; }

private:
    void Send(const std::string& text) {
        if (::write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            ADD_FAILURE() << "cannot write to isql-fb";
    }
    int input_ = -1;
    pid_t pid_ = -1;
    bool held_ = false;
};

std::string Today() {
    std::time_t now = std::time(nullptr);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", std::localtime(&now));
    return text;
}

}  // namespace

TEST(ServerProgram, OneTickThroughTheServerWritesTheSameTimetableAsTheLocalFile) {
    TempDir runtime, data;
    std::string marlo = MakeDemoMarlo(data.File("marlo"));

    ProgramFolder local(runtime.path());
    WriteFile(local.settingsPath(), "[DIR]\nMARLO=" + marlo + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    ASSERT_EQ(WaitForExit(local.Start(), 20000), 0) << local.Output();
    std::string fromFile = ReadFile(local.File("PLX_POSTTM.DAT"));

    MarloServer server(marlo);
    ProgramFolder remote(runtime.path());
    // No MARLO folder on this machine: the login comes from the settings file, which the program
    // then keeps private, also across its own save at the end.
    WriteFile(remote.settingsPath(), "[DIR]\nMARLO_DB=" + server.database() + "\nMARLO_USER=SYSDBA\nMARLO_PSWD=" +
                                         kPassword + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    ::chmod(remote.settingsPath().c_str(), 0644);
    ASSERT_EQ(WaitForExit(remote.Start(), 20000), 0) << remote.Output();
    std::string fromServer = ReadFile(remote.File("PLX_POSTTM.DAT"));
    EXPECT_EQ(fromServer.size(), 37152u);
    EXPECT_TRUE(fromServer == fromFile) << "the timetables differ";
    EXPECT_EQ(ModeOf(remote.settingsPath()), 0600u);
    EXPECT_TRUE(Holds(ReadFile(remote.settingsPath()), "LEFT=0"));  // the end-of-run save happened
    EXPECT_FALSE(Holds(remote.Output(), kPassword)) << "the password reached the program's output";
}

TEST(ServerProgram, TheDayLoadsWhileAnotherConnectionHoldsAWriteOnRacemst) {
    TempDir runtime, data;
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    MarloServer server(marlo);
    const std::string today = Today();
    HeldWrite write(server.database(), "UPDATE RACEMST SET CLOSETM='0001' WHERE OPDT='" + today + "';",
                    data.File("isql.txt"));
    ASSERT_TRUE(write.held()) << ReadFile(data.File("isql.txt"));

    ProgramFolder program(runtime.path());
    // The MARLO folder is there as well: its MARLO.INI gives the login.
    WriteFile(program.settingsPath(),
              "[DIR]\nMARLO=" + marlo + "\nMARLO_DB=" + server.database() + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(WaitForExit(program.Start(), 20000), 0) << program.Output();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    std::string table = ReadFile(program.File("PLX_POSTTM.DAT"));
    ASSERT_EQ(table.size(), 37152u);
    int races = 0;
    for (std::size_t slot = 0; slot < 288; ++slot) {
        const std::string record = table.substr(slot * kSlotBytes, kSlotBytes);
        if (record.compare(0, 8, today) != 0) continue;
        ++races;
        EXPECT_NE(record.substr(kCloseTimeOffset, 4), "0001") << "an uncommitted close time was read";
    }
    EXPECT_GT(races, 100);
}

TEST(ServerProgram, AServerThatIsDownEndsTheProgramWithItsHostAndReasonAndWritesNothing) {
    TempDir runtime;
    ProgramFolder program(runtime.path());
    const std::string database = "127.0.0.1/" + std::to_string(UnusedPort()) + ":/srv/marlo/DB/MLDB.FDB";
    WriteFile(program.settingsPath(), "[DIR]\nMARLO_DB=" + database + "\nMARLO_PSWD=" + kPassword + "\n");
    ::chmod(program.settingsPath().c_str(), 0600);
    const std::string before = ReadFile(program.settingsPath());
    const auto stamp = fs::last_write_time(program.settingsPath());

    EXPECT_EQ(WaitForExit(program.Start(), 20000), 1) << program.Output();
    const std::string output = program.Output();
    EXPECT_TRUE(Holds(output, database)) << output;
    EXPECT_TRUE(Holds(output, "Unable to complete network request to host \"127.0.0.1\"")) << output;
    EXPECT_TRUE(Holds(output, "Failed to establish a connection")) << output;
    EXPECT_FALSE(Holds(output, "MARLOはインストールされていますか")) << "the local folder was looked for";
    EXPECT_FALSE(Holds(output, kPassword)) << "the password reached the program's output";
    EXPECT_EQ(ReadFile(program.settingsPath()), before);
    EXPECT_EQ(fs::last_write_time(program.settingsPath()), stamp);
    EXPECT_FALSE(fs::exists(program.File("PLX_POSTTM.DAT")));
}
