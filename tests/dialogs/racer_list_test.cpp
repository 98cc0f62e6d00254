// Registration-number keys and the list file.
#include "dialogs/racer_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/files.h"
#include "common/sjis.h"
#include "tests/support/temp_dir.h"

using namespace plx;

TEST(RacerList, KeyOfTypedNumber) {
    EXPECT_EQ(RacerKeyOf("3159"), "03159");
    EXPECT_EQ(RacerKeyOf("1"), "00001");
    EXPECT_EQ(RacerKeyOf("03159"), "03159");
    EXPECT_EQ(RacerKeyOf("123456"), "123456");
    EXPECT_EQ(RacerKeyOf("2147483647"), "2147483647");
    for (const char* typed : {"", "0", "-5", "abc", "12a", " 12", "2147483648"})
        EXPECT_EQ(RacerKeyOf(typed), std::nullopt) << typed;
}

TEST(RacerList, ListFileIsWrittenWholeOrNotAtAll) {
    plxtest::TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileLines(dir.File("list"), {"03159:a", "04320:"}, &error)) << error;
    EXPECT_EQ(plxtest::ReadFile(dir.File("list")), "03159:a\r\n04320:\r\n");
    ASSERT_TRUE(WriteFileLines(dir.File("list"), {}, &error));
    EXPECT_EQ(plxtest::ReadFile(dir.File("list")), "");

    std::filesystem::create_directory(dir.File("folder"));
    EXPECT_FALSE(WriteFileLines(dir.File("folder"), {"03159:a"}, &error));
    EXPECT_NE(error.find(dir.File("folder")), std::string::npos);
    EXPECT_FALSE(WriteFileLines(dir.File("missing/list"), {"03159:a"}, &error));
    // No temporary file is left behind by the refused writes.
    auto entries = std::filesystem::directory_iterator(dir.path());
    EXPECT_EQ(std::distance(begin(entries), end(entries)), 2);
}
