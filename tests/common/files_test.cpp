// Whole-file reading: missing and unreadable files told apart, nothing but regular files opened.
#include "common/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "tests/support/temp_dir.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::TempDir;
using plxtest::WriteFile;

TEST(ReadFileLines, WholeFileSplitAtEveryKindOfLineBreak) {
    TempDir dir;
    std::vector<std::string> lines{"kept"};
    EXPECT_EQ(ReadFileLines(dir.File("none"), &lines), FileRead::Missing);
    EXPECT_EQ(ReadFileLines(dir.path(), &lines), FileRead::Unreadable);  // a folder is no list
    EXPECT_EQ(lines, std::vector<std::string>{"kept"});
    WriteFile(dir.File("list"), "a\r\nb\nc\rd\r\n\r\ne");
    ASSERT_EQ(ReadFileLines(dir.File("list"), &lines), FileRead::Ok);
    EXPECT_EQ(lines, (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
}

TEST(ReadFileBytes, AFifoInTheFilesPlaceIsRefusedAtOnceAndTheLimitHolds) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::string bytes = "kept";
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadFileBytes(dir.File("fifo"), &bytes), FileRead::Unreadable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(bytes, "kept");
    WriteFile(dir.File("file"), std::string(100000, 'x'));
    ASSERT_EQ(ReadFileBytes(dir.File("file"), &bytes, 70000), FileRead::Ok);
    EXPECT_EQ(bytes.size(), 70000u);
    ASSERT_EQ(ReadFileBytes(dir.File("file"), &bytes), FileRead::Ok);
    EXPECT_EQ(bytes.size(), 100000u);
}

TEST(WriteFileAtomically, KeepsTheModeOfTheFileItReplacesAndGivesNewFilesTheirOwn) {
    TempDir dir;
    const std::string kept = dir.File("plx.INI");
    WriteFile(kept, "old");
    ASSERT_EQ(::chmod(kept.c_str(), 0600), 0);
    for (const char* bytes : {"first", "second"}) {
        ASSERT_TRUE(WriteFileAtomically(kept, bytes, nullptr));
        EXPECT_EQ(plxtest::ModeBits(kept), 0600);
        EXPECT_EQ(plxtest::ReadFile(kept), bytes);
    }
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(kept, "third", nullptr));
    EXPECT_EQ(plxtest::ModeBits(kept), 0640);

    ASSERT_TRUE(WriteFileAtomically(dir.File("PLX_RSS.DAT"), "list", nullptr));
    EXPECT_EQ(plxtest::ModeBits(dir.File("PLX_RSS.DAT")), 0644);
    ASSERT_TRUE(WriteFileAtomically(dir.File("private.INI"), "mail", nullptr, nullptr, true, 0600));
    EXPECT_EQ(plxtest::ModeBits(dir.File("private.INI")), 0600);
    // A temporary file left behind by a killed write does not lend its mode to the next one.
    WriteFile(dir.File("fresh.INI.tmp"), "half");
    ASSERT_EQ(::chmod(dir.File("fresh.INI.tmp").c_str(), 0666), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.File("fresh.INI"), "whole", nullptr, nullptr, true, 0600));
    EXPECT_EQ(plxtest::ModeBits(dir.File("fresh.INI")), 0600);
}

TEST(WriteFileAtomically, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("dotfiles").c_str(), 0700), 0);
    ASSERT_EQ(::mkdir(dir.File("exe").c_str(), 0700), 0);
    const std::string target = dir.File("dotfiles/plx.INI");
    WriteFile(target, "old");
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    // A relative link, then a link to that link: both are followed to the real file.
    ASSERT_EQ(::symlink("../dotfiles/plx.INI", dir.File("exe/middle").c_str()), 0);
    ASSERT_EQ(::symlink("middle", dir.File("exe/plx.INI").c_str()), 0);
    for (const char* bytes : {"first", "second"}) {
        ASSERT_TRUE(WriteFileAtomically(dir.File("exe/plx.INI"), bytes, nullptr));
        struct stat info {};
        ASSERT_EQ(::lstat(dir.File("exe/plx.INI").c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        ASSERT_EQ(::lstat(dir.File("exe/middle").c_str(), &info), 0);
        EXPECT_TRUE(S_ISLNK(info.st_mode));
        EXPECT_EQ(plxtest::ReadFile(target), bytes);
        EXPECT_EQ(plxtest::ModeBits(target), 0600);
    }
    EXPECT_FALSE(plxtest::FileExists(dir.File("exe/plx.INI.tmp")));
    EXPECT_FALSE(plxtest::FileExists(dir.File("dotfiles/plx.INI.tmp")));

    // A link whose target does not exist yet gets it; a loop of links is refused.
    ASSERT_EQ(::symlink("../dotfiles/new.DAT", dir.File("exe/new.DAT").c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(dir.File("exe/new.DAT"), "made", nullptr));
    EXPECT_EQ(plxtest::ReadFile(dir.File("dotfiles/new.DAT")), "made");
    ASSERT_EQ(::symlink("loop.b", dir.File("exe/loop.a").c_str()), 0);
    ASSERT_EQ(::symlink("loop.a", dir.File("exe/loop.b").c_str()), 0);
    std::string error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("exe/loop.a"), "x", &error));
    EXPECT_NE(error.find("loop.a"), std::string::npos) << error;
}

TEST(ReadFileBytes, AFileThatIsThereButCannotBeReadIsNotMissing) {
    TempDir dir;
    plxtest::MakeUnreadableFile(dir.File("list"), "kept\r\n");
    std::vector<std::string> lines;
    {
        plxtest::OtherUser other;
        EXPECT_EQ(ReadFileLines(dir.File("list"), &lines), FileRead::Unreadable);
    }
    ASSERT_EQ(::symlink("loop", dir.File("loop").c_str()), 0);
    EXPECT_EQ(ReadFileLines(dir.File("loop"), &lines), FileRead::Unreadable);
    EXPECT_TRUE(lines.empty());
}
