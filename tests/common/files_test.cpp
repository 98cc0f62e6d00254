// Whole-file reading: missing and unreadable files told apart, nothing but regular files opened.
#include "common/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>

#include "tests/support/temp_dir.h"

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
