// Whole-file writes and the permissions of the file they replace.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/files.h"
#include "tests/support/temp_dir.h"

using namespace plx;

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

}  // namespace

TEST(FileMode, AReplacedFileKeepsItsPermissionsAndANewOneGetsTheDefault) {
    plxtest::TempDir dir;
    const std::string secret = dir.File("plx.INI");
    plxtest::WriteFile(secret, "[DIR]\nMARLO_PSWD=x\n");
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    // A temporary file left over from an earlier write, readable by everyone.
    plxtest::WriteFile(secret + ".tmp", "half");
    ASSERT_EQ(::chmod((secret + ".tmp").c_str(), 0644), 0);
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(secret, "[DIR]\nMARLO_PSWD=y\n", &error)) << error;
    EXPECT_EQ(ModeOf(secret), 0600u);
    EXPECT_EQ(plxtest::ReadFile(secret), "[DIR]\nMARLO_PSWD=y\n");

    const std::string shared = dir.File("PLX_RSS.DAT");
    plxtest::WriteFile(shared, "");
    ASSERT_EQ(::chmod(shared.c_str(), 0664), 0);
    ASSERT_TRUE(WriteFileAtomically(shared, "feed\r\n", &error)) << error;
    EXPECT_EQ(ModeOf(shared), 0664u);

    const mode_t mask = ::umask(022);
    ASSERT_TRUE(WriteFileAtomically(dir.File("new.DAT"), "x", &error)) << error;
    ::umask(mask);
    EXPECT_EQ(ModeOf(dir.File("new.DAT")), 0644u);
}
