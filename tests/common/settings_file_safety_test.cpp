// The settings file is never lost or spoiled: a file that could not be read, or not read whole, is
// never rewritten; a value is always one value; line ends, mode bits and links stay as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/ini_file.h"
#include "common/settings_store.h"
#include "common/sjis.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::TempDir;
using plxtest::WriteFile;

namespace {

const std::string kHandMade =
    "[DIR]\r\nMARLO=/opt/orvent/MARLO/\r\n[SITE]\r\nNEWS_HOST=127.0.0.1:8080\r\n[SETTING]\r\n"
    "SMTP_HOST=mail.example:2525\r\nMAIL_ADRS1=me@example.com\r\nALARM_MODE=2\r\n[WINDOW]\r\nWIDTH=500\r\n";

bool SaveBoth(const SettingsStore& store, std::string* endError, std::string* dialogError) {
    bool end = store.SaveProgramEnd(5, 6, "/m/", "20260101000000", {1, 2, 3}, endError);
    bool dialog = store.SaveDialog(Settings{}, dialogError);
    return end || dialog;
}

}  // namespace

TEST(SettingsFileSafety, AFileThatCannotBeReadIsNeitherSavedOverByTheDialogNorByTheProgramEnd) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    plxtest::MakeUnreadableFile(path, kHandMade);
    SettingsStore store(path);
    std::string endError, dialogError;
    bool saved;
    {
        plxtest::OtherUser other;
        saved = SaveBoth(store, &endError, &dialogError);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile(path), kHandMade);
    EXPECT_NE(endError.find(path), std::string::npos) << endError;
    EXPECT_NE(dialogError.find(path), std::string::npos) << dialogError;
    EXPECT_NE(Cp932ToUtf8(endError).find("読み込めなかった"), std::string::npos) << Cp932ToUtf8(endError);

    // A folder in the file's place is refused the same way, and stays a folder.
    ASSERT_EQ(::mkdir(dir.File("folder.INI").c_str(), 0700), 0);
    EXPECT_FALSE(SaveBoth(SettingsStore(dir.File("folder.INI")), &endError, &dialogError));
    EXPECT_FALSE(plxtest::FileExists(dir.File("folder.INI.tmp")));
}

TEST(SettingsFileSafety, AFileNotReadWholeIsNeverRewrittenFromWhatWasRead) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    const std::string cases[] = {
        // Everything after a NUL byte would be gone.
        std::string("[SETTING]\nALARM_MIN=7\n", 22) + std::string(1, '\0') + "\n[WINDOW]\nWIDTH=500\nHEIGHT=400\n",
        // Lines the reader does not take in would be dropped by the next write.
        "[SETTING]\nALARM_MIN=7\nthis line is no key\n",
        "[SETTING]\nALARM_MIN=7\nALARM_MIN=8\n",
        "[SETTING] ; the main section\nALARM_MIN=7\n",
        "[SETTING]\nALARM_MIN=7\n; a closing note\n",
        "\xEF\xBB\xBF[SETTING]\nALARM_MIN=7\n",
    };
    for (const std::string& text : cases) {
        WriteFile(path, text);
        std::string endError, dialogError;
        EXPECT_FALSE(SaveBoth(SettingsStore(path), &endError, &dialogError)) << text;
        EXPECT_EQ(ReadFile(path), text);
        EXPECT_NE(endError.find(path), std::string::npos) << endError;
    }
    // What was read before the NUL byte is still used.
    WriteFile(path, cases[0]);
    EXPECT_EQ(SettingsStore(path).Load("/").ALARM_MIN, 7);
}

TEST(SettingsFileSafety, AHandMadeFileKeepsItsLineEndsItsKeysAndItsModeThroughTwoSaves) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    WriteFile(path, kHandMade);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    SettingsStore store(path);
    for (int round = 0; round < 2; ++round) {
        std::string endError, dialogError;
        ASSERT_TRUE(store.SaveProgramEnd(5, 6, "/opt/orvent/MARLO/", "20260101000000", {1, 2, 3}, &endError))
            << endError;
        ASSERT_TRUE(store.SaveDialog(Settings{}, &dialogError)) << dialogError;
    }
    std::string text = ReadFile(path);
    EXPECT_EQ(plxtest::ModeBits(path), 0600);
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "bare LF at " << at << " in\n" << text;
    for (const char* line : {"NEWS_HOST=127.0.0.1:8080\r\n", "SMTP_HOST=mail.example:2525\r\n",
                             "MAIL_ADRS1=me@example.com\r\n", "WIDTH=500\r\n", "LEFT=5\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;

    // A new settings file holds mail addresses once edited: it is made for its owner alone.
    TempDir fresh;
    std::string error;
    ASSERT_TRUE(SettingsStore(fresh.File("plx.INI")).SaveDialog(Settings{}, &error)) << error;
    EXPECT_EQ(plxtest::ModeBits(fresh.File("plx.INI")), 0600);
    EXPECT_EQ(ReadFile(fresh.File("plx.INI")).find('\r'), std::string::npos);  // a new file has LF ends
}

TEST(SettingsFileSafety, ASettingsFileThatIsALinkStaysOneThroughTwoSaves) {
    TempDir dir;
    ASSERT_EQ(::mkdir(dir.File("dotfiles").c_str(), 0700), 0);
    const std::string target = dir.File("dotfiles/plx.INI");
    WriteFile(target, kHandMade);
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(target.c_str(), dir.File("plx.INI").c_str()), 0);
    SettingsStore store(dir.File("plx.INI"));
    for (int left : {11, 12}) {
        std::string error;
        ASSERT_TRUE(store.SaveProgramEnd(left, 6, "/m/", "20260101000000", {1, 2, 3}, &error)) << error;
    }
    struct stat info {};
    ASSERT_EQ(::lstat(dir.File("plx.INI").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(plxtest::ModeBits(target), 0600);
    EXPECT_EQ(store.Load("/").LEFT, 12);
    EXPECT_NE(ReadFile(target).find("MAIL_ADRS1=me@example.com"), std::string::npos);
}

TEST(SettingsFileSafety, EveryValueWrittenStaysOneValue) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    WriteFile(path, "[SETTING]\nALARM_MODE=1\n[WINDOW]\nWIDTH=500\n");
    SettingsStore store(path);
    std::string error;
    // Line breaks and NUL bytes are taken out of every value before it is written.
    const std::string hostile = std::string("z\nALARM_MODE=0\r\n[Q]\r9") + std::string(1, '\0') + "!";
    ASSERT_TRUE(store.SaveProgramEnd(1, 2, "/m/\n[Q]\n", hostile, {1, 2, 3}, &error)) << error;
    Settings dialog;
    dialog.ALARM_SND_FNM = "/snd/a\nALARM_MODE=0.wav";
    ASSERT_TRUE(store.SaveDialog(dialog, &error)) << error;
    std::string text = ReadFile(path);
    EXPECT_EQ(text.find("\n[Q]"), std::string::npos) << text;
    EXPECT_NE(text.find("MARLO=/m/[Q]\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\nALARM_MODE=0"), std::string::npos) << text;
    EXPECT_NE(text.find("NEWS_LAST_RLSDTTM=zALARM_MODE=0[Q]9!\n"), std::string::npos) << text;
    EXPECT_NE(text.find("ALARM_SND_FNM=/snd/aALARM_MODE=0.wav\n"), std::string::npos) << text;
    Settings again = store.Load("/");
    EXPECT_EQ(again.ALARM_MODE, 1);
    EXPECT_EQ(again.WIDTH, 500);
}

TEST(SettingsFileSafety, ReadingMendsAFolderWithoutItsSlashAndASpoiledNewsMark) {
    TempDir dir;
    const std::string path = dir.File("plx.INI");
    WriteFile(path, "[DIR]\nMARLO=/opt/orvent/MARLO\n[SETTING]\nNEWS_LAST_RLSDTTM=zALARM_MODE=0\n");
    Settings s = SettingsStore(path).Load("/");
    EXPECT_EQ(s.MARLO, "/opt/orvent/MARLO/");
    EXPECT_EQ(s.NEWS_LAST_RLSDTTM, "000000000000");
    for (const char* good : {"000000000000", "20260101120000", "202601011200"}) {
        WriteFile(path, std::string("[DIR]\nMARLO=/m/\n[SETTING]\nNEWS_LAST_RLSDTTM=") + good + "\n");
        s = SettingsStore(path).Load("/");
        EXPECT_EQ(s.NEWS_LAST_RLSDTTM, good);
        EXPECT_EQ(s.MARLO, "/m/");
    }
    for (const char* spoiled : {"9", "2026010112000", "2026010112000A", "202601011200000"}) {
        WriteFile(path, std::string("[SETTING]\nNEWS_LAST_RLSDTTM=") + spoiled + "\n");
        EXPECT_EQ(SettingsStore(path).Load("/").NEWS_LAST_RLSDTTM, "000000000000") << spoiled;
    }
}
