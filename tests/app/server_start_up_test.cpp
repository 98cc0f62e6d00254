// Start-up on a race database behind a real Firebird server: whose login is used, the server's
// reason for a refused login, and the settings file that holds a password.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/module_wiring.h"
#include "common/program_state.h"
#include "data/data_module.h"
#include "tests/app/app_fixture.h"
#include "tests/support/marlo_server.h"

using namespace plx;
using plxtest::AppFixture;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
}

}  // namespace

TEST(ServerStartUp, MarloIniGivesTheLoginWhereTheFolderExistsElseTheSettingsWhoseWrongPasswordTheServerRefuses) {
    const std::string wrong = "not-the-password";
    AppFixture f;
    std::string marlo = f.BuildMarlo();
    plxtest::MarloServer server(marlo);
    const std::string serverKeys = "MARLO_DB=" + server.database() + "\nMARLO_USER=SYSDBA\nMARLO_PSWD=" + wrong + "\n";

    {
        // The MARLO folder serving this machine is reachable: its MARLO.INI holds the right login.
        f.WriteSettings("[DIR]\nMARLO=" + marlo + "\n" + serverKeys);
        auto window = f.StartWindow();
        EXPECT_TRUE(f.messages.shown.empty());
        EXPECT_TRUE(dm.sc_main.Connected());
        EXPECT_EQ(dm.sc_main.Param("Database"), server.database());
        window.reset();
        dm.sc_main.Close();
    }

    ResetProgram();
    f.WriteSettings("[DIR]\n" + serverKeys);
    ASSERT_EQ(::chmod(f.settingsPath().c_str(), 0644), 0);
    const std::string before = plxtest::ReadFile(f.settingsPath());
    auto window = f.MakeWindow();
    WireModules(*window);
    EXPECT_FALSE(window->FormCreate());
    EXPECT_EQ(Program().runState, RunState::Closing);
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const std::string text = f.messages.Utf8Texts()[0];
    EXPECT_EQ(text.rfind(server.database() + "\n", 0), 0u) << text;
    EXPECT_NE(text.find("Your user name and password are not defined"), std::string::npos) << text;
    EXPECT_EQ(text.find(wrong), std::string::npos) << "the password was shown";
    // Nothing is written, but the file that holds a password is made private to its owner.
    EXPECT_EQ(plxtest::ReadFile(f.settingsPath()), before);
    EXPECT_EQ(ModeOf(f.settingsPath()), 0600u);
}
