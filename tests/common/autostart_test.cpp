// The login entry: where it goes, how the program's path is written into it, and writing and
// removing it on real files.
#include "common/autostart.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::ReadFile;

TEST(Autostart, TheEntryGoesUnderTheConfigurationHomeOrElseTheHomesConfigFolder) {
    EXPECT_EQ(AutostartFileFor("/x/conf/", "/home/u"), "/x/conf/autostart/pilonix.desktop");
    EXPECT_EQ(AutostartFileFor("", "/home/u"), "/home/u/.config/autostart/pilonix.desktop");
    // A relative XDG_CONFIG_HOME is to be ignored.
    EXPECT_EQ(AutostartFileFor("conf", "/home/u"), "/home/u/.config/autostart/pilonix.desktop");
}

TEST(Autostart, TheProgramPathIsQuotedAndEscapedOnlyAsTheEntryFormatAsks) {
    EXPECT_EQ(ExecArgument("/opt/pilonix/plx"), "/opt/pilonix/plx");
    EXPECT_EQ(ExecArgument("/home/u/my build/plx"), "\"/home/u/my build/plx\"");
    // Inside quotes `"`, `` ` ``, `$` and `\` take a backslash; the value level then doubles each
    // backslash.
    EXPECT_EQ(ExecArgument("/a$b/c\"d/e`f/g\\h"), "\"/a\\\\$b/c\\\\\"d/e\\\\`f/g\\\\\\\\h\"");
    EXPECT_EQ(ExecArgument("/tmp/%u/plx"), "\"/tmp/%%u/plx\"");  // not a field code
    // A line break would end the key: it is written as the value escape.
    EXPECT_EQ(ExecArgument("/a\nb"), "\"/a\\nb\"");
    // Non-ASCII path bytes are kept as they are (the entry is UTF-8).
    EXPECT_EQ(ExecArgument("/home/u/ボート/plx"), "/home/u/ボート/plx");

    std::string entry = AutostartEntry("/home/u/my build/plx");
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(entry.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(entry.find("\nExec=\"/home/u/my build/plx\"\n"), std::string::npos);
}

TEST(Autostart, OnWritesTheEntryWithItsFoldersOffRemovesItAndBothRepeatQuietly) {
    plxtest::TempDir home;
    const std::string file = home.File("cfg/autostart/pilonix.desktop");
    std::string error;
    ASSERT_TRUE(SetAutostart(file, true, "/opt/pilonix/plx", &error)) << error;
    EXPECT_EQ(ReadFile(file), AutostartEntry("/opt/pilonix/plx"));
    ASSERT_TRUE(SetAutostart(file, true, "/usr/local/plx", &error)) << error;  // moved program: rewritten
    EXPECT_EQ(ReadFile(file), AutostartEntry("/usr/local/plx"));
    ASSERT_TRUE(SetAutostart(file, false, "/usr/local/plx", &error)) << error;
    struct stat info {};
    EXPECT_NE(::stat(file.c_str(), &info), 0);
    EXPECT_TRUE(SetAutostart(file, false, "/usr/local/plx", &error)) << "already off";
}

TEST(Autostart, AFolderThatCannotBeWrittenIsAFailureWithItsReason) {
    plxtest::TempDir home;
    std::string error;
    // "autostart" taken by a plain file: the folder cannot be made.
    plxtest::WriteFile(home.File("autostart"), "");
    EXPECT_FALSE(SetAutostart(home.File("autostart/pilonix.desktop"), true, "/opt/pilonix/plx", &error));
    EXPECT_NE(error.find("autostart"), std::string::npos) << error;
}
