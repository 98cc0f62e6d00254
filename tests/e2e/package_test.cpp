// The Debian package: unpacked into a temporary root, its program keeps its data files in the
// user's configuration folder and writes nothing into its own installed folder; the menu entry and
// the metadata pass their validators.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "tests/e2e/program_process.h"

using namespace plxtest;
namespace fs = std::filesystem;

namespace {

std::string FindPackage() {
    for (const auto& entry : fs::directory_iterator(PLXTEST_BUILD_DIR))
        if (entry.path().extension() == ".deb" && entry.path().filename().string().rfind("pilonix_", 0) == 0)
            return entry.path().string();
    return {};
}

std::set<std::string> FilesBelow(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) files.insert(entry.path().string());
    return files;
}

class PackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        package = FindPackage();
        ASSERT_FALSE(package.empty()) << "no package in the build folder: run `make package` first";
        ASSERT_EQ(std::system(("dpkg-deb -x '" + package + "' '" + root.path() + "'").c_str()), 0);
        program = root.File("opt/pilonix/plx");
        installed = FilesBelow(root.File("opt/pilonix"));
    }
    pid_t Start(const std::string& output) {
        return StartProgram(program, runtime.path(), output, {"HOME=" + home.path(), "XDG_CONFIG_HOME"});
    }

    TempDir root, home, runtime, data;
    std::string package, program;
    std::set<std::string> installed;
};

}  // namespace

TEST_F(PackageTest, OneTickKeepsEveryDataFileInTheUsersConfigurationFolder) {
    const std::string config = home.File(".config/pilonix/");
    fs::create_directories(config);
    std::string marlo = MakeDemoMarlo(data.File("marlo"));
    WriteFile(config + "plx.INI", "[DIR]\nMARLO=" + marlo + "\n[SETTING]\nAUTO_QUIT_F=1\n");
    WriteFile(config + "PLX_RSS.DAT", "");
    EXPECT_EQ(WaitForExit(Start(data.File("output.txt")), 30000), 0) << ReadFile(data.File("output.txt"));
    EXPECT_EQ(fs::file_size(config + "PLX_POSTTM.DAT"), 37152u);
    EXPECT_TRUE(fs::exists(config + "PLX_NEWS.html"));
    EXPECT_NE(ReadFile(config + "plx.INI").find("LEFT=0"), std::string::npos);
    EXPECT_EQ(FilesBelow(root.File("opt/pilonix")), installed) << "nothing may be written beside the program";
}

TEST_F(PackageTest, AFirstStartMakesAPrivateFolderAndNothingElse) {
    // No settings and no MARLO: both questions take their default (Cancel) and the program ends.
    int status = WaitForExit(Start(data.File("output.txt")), 30000);
    if (fs::exists("/opt/orvent/MARLO/DB/MLDB.FDB")) GTEST_SKIP() << "a MARLO is installed on this machine";
    EXPECT_EQ(status, 1) << ReadFile(data.File("output.txt"));
    struct stat info {};
    ASSERT_EQ(::stat(home.File(".config/pilonix").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(FilesBelow(root.File("opt/pilonix")), installed);
}

TEST_F(PackageTest, MenuEntryAndMetadataPassTheirValidators) {
    EXPECT_EQ(
        std::system(("desktop-file-validate '" + root.File("usr/share/applications/pilonix.desktop") + "'").c_str()),
        0);
    EXPECT_EQ(std::system(("appstreamcli validate --no-net --pedantic '" +
                           root.File("usr/share/metainfo/io.github.pilonix.Pilonix.metainfo.xml") + "' >/dev/null")
                              .c_str()),
              0);
    EXPECT_TRUE(fs::is_symlink(root.File("usr/bin/pilonix")));
    EXPECT_EQ(fs::read_symlink(root.File("usr/bin/pilonix")), "/opt/pilonix/plx");
    for (const char* size : {"16x16", "32x32", "48x48", "128x128", "256x256"})
        EXPECT_TRUE(fs::exists(root.File(std::string("usr/share/icons/hicolor/") + size + "/apps/pilonix.png")))
            << size;
    EXPECT_TRUE(fs::exists(root.File("usr/share/icons/hicolor/scalable/apps/pilonix.svg")));
    EXPECT_TRUE(fs::exists(root.File("opt/pilonix/Snd/mw4.wav")));
    EXPECT_TRUE(fs::exists(root.File("opt/pilonix/libbasaltdrv.so")));
}
