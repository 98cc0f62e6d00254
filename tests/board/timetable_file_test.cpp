// The timetable file: its exact image, the three failure messages, and whole files under kills.
#include "board/timetable_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "tests/support/recording_messages.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable.h"

using namespace plx;
using plxtest::ReadFile;
using plxtest::RecordingMessages;
using plxtest::TempDir;
using plxtest::WriteFile;

namespace {

std::string TableBytes(const Timetable& table) {
    return std::string(table.bytes(), Timetable::kBytes);
}

std::string Pattern(std::size_t size) {
    std::string bytes(size, ' ');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('0' + i % 43);
    return bytes;
}

}  // namespace

TEST(TimetableFile, FirstStartInAnEmptyFolderCreatesABlankFileSilently) {
    TempDir dir;
    RecordingMessages messages;
    Timetable table;
    std::memset(table.bytes(), 'x', Timetable::kBytes);
    EXPECT_EQ(LoadTimetable(table, dir.path()), 0);
    EXPECT_TRUE(messages.shown.empty());
    const std::string file = ReadFile(dir.File(kTimetableFileName));
    EXPECT_TRUE(file == std::string(37152, ' '));
    EXPECT_TRUE(TableBytes(table) == file);
    EXPECT_FALSE(plxtest::FileExists(dir.File("PLX_POSTTM.DAT.tmp")));
}

TEST(TimetableFile, ArmedRaceLandsAtItsByteOffsetsAndLoadsBack) {
    TempDir dir;
    RecordingMessages messages;
    Timetable table;
    RaceSlot& slot = table.Slot(2, 5);
    PutField(slot.OPDT, "20061001");
    PutField(slot.RCOURSECD, "02");
    PutField(slot.RNO, "05");
    PutField(slot.DIST, "1800");
    PutField(slot.CLOSETM, "1234");
    slot.AlarmFlag = '1';
    slot.CloseWarnFlag = '1';
    ASSERT_EQ(SaveTimetable(table, dir.path()), 0);

    const std::string file = ReadFile(dir.File(kTimetableFileName));
    ASSERT_EQ(file.size(), 37152u);
    const std::size_t record = (1 * 12 + 4) * 129;
    EXPECT_EQ(file[2161], '1');
    EXPECT_EQ(file[2162], '1');
    EXPECT_EQ(file.substr(record, 8), "20061001");
    EXPECT_EQ(file.substr(record + 8, 4), "02  ");
    EXPECT_EQ(file.substr(record + 87, 6), "1800  ");
    EXPECT_EQ(file.substr(record + 93, 4), "1234");
    EXPECT_EQ(file.find_first_not_of(' ', record + 129), std::string::npos);  // nothing after the record
    EXPECT_EQ(file.find_first_not_of(' '), record);                           // nothing before it

    Timetable loaded;
    EXPECT_EQ(LoadTimetable(loaded, dir.path()), 0);
    EXPECT_TRUE(TableBytes(loaded) == file);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(TimetableFile, LongerFileLoadsItsFirstImageAndTheNextSaveIsExact) {
    TempDir dir;
    RecordingMessages messages;
    const std::string longer = Pattern(37153);
    WriteFile(dir.File(kTimetableFileName), longer);
    Timetable table;
    EXPECT_EQ(LoadTimetable(table, dir.path()), 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(TableBytes(table) == longer.substr(0, 37152));
    EXPECT_EQ(SaveTimetable(table, dir.path()), 0);
    EXPECT_TRUE(ReadFile(dir.File(kTimetableFileName)) == longer.substr(0, 37152));
}

TEST(TimetableFile, ShortFileGivesOneReadErrorAndBlanksTheRest) {
    TempDir dir;
    RecordingMessages messages;
    WriteFile(dir.File(kTimetableFileName), Pattern(100));
    Timetable table;
    std::memset(table.bytes(), 'x', Timetable::kBytes);
    EXPECT_EQ(LoadTimetable(table, dir.path()), -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "TimeTable File Read Error!");
    EXPECT_FALSE(messages.shown[0].question);
    EXPECT_TRUE(TableBytes(table) == Pattern(100) + std::string(37052, ' '));
    EXPECT_EQ(ReadFile(dir.File(kTimetableFileName)), Pattern(100));  // left for the user, not overwritten
}

TEST(TimetableFile, UnwritablePlacesGiveTheOpenError) {
    TempDir dir;
    RecordingMessages messages;
    Timetable table;
    // A folder that does not exist: nothing can be created there.
    EXPECT_EQ(SaveTimetable(table, dir.File("missing/")), -1);
    // A missing file that cannot be created: the load reports the failed save.
    EXPECT_EQ(LoadTimetable(table, dir.File("missing/")), -1);
    // A folder standing where the file should be: the temporary file is written, the replace fails.
    std::filesystem::create_directory(dir.File(kTimetableFileName));
    EXPECT_EQ(SaveTimetable(table, dir.path()), -1);
    EXPECT_FALSE(plxtest::FileExists(dir.File("PLX_POSTTM.DAT.tmp")));
    ASSERT_EQ(messages.shown.size(), 3u);
    for (const auto& m : messages.shown) EXPECT_EQ(m.text, "TimeTable File Open Error!");
    // Reading that folder is a read error.
    EXPECT_EQ(LoadTimetable(table, dir.path()), -1);
    EXPECT_EQ(messages.shown.back().text, "TimeTable File Read Error!");
}

TEST(TimetableFile, ShortWriteGivesTheWriteErrorAndKeepsTheOldFile) {
    TempDir dir;
    RecordingMessages messages;
    Timetable table;
    table.Slot(1, 1).AlarmFlag = '1';
    ASSERT_EQ(SaveTimetable(table, dir.path()), 0);
    const std::string before = ReadFile(dir.File(kTimetableFileName));
    // A file-size limit below the image cuts the write short, as a full disk would.
    struct sigaction ignore {
    }, saved{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &saved);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    table.Slot(1, 1).AlarmFlag = '0';
    int result = SaveTimetable(table, dir.path());
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::sigaction(SIGXFSZ, &saved, nullptr);
    EXPECT_EQ(result, -1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "TimeTable File Write Error!");
    EXPECT_TRUE(ReadFile(dir.File(kTimetableFileName)) == before);
}

// A child process saves as fast as it can and is killed at a random moment once it is saving;
// whatever the kill interrupts, the file must be one whole image written by one save.
TEST(TimetableFile, KilledSaverAlwaysLeavesAWholeFile) {
    TempDir dir;
    RecordingMessages messages;
    const std::string path = dir.File(kTimetableFileName);
    std::mt19937 random(20061001);
    int interrupted = 0;
    constexpr int kKills = 200;
    for (int kill = 0; kill < kKills; ++kill) {
        const char firstLetter = static_cast<char>('A' + random() % 26);
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            Timetable table;
            for (char letter = firstLetter;; letter = static_cast<char>(letter == 'Z' ? 'A' : letter + 1)) {
                std::memset(table.bytes(), letter, Timetable::kBytes);
                if (SaveTimetable(table, dir.path()) != 0) ::_exit(1);
                if (letter == firstLetter && ready[1] >= 0) {
                    char one = 1;
                    if (::write(ready[1], &one, 1) != 1) ::_exit(1);
                    ::close(ready[1]);
                    ready[1] = -1;
                }
            }
        }
        ::close(ready[1]);
        char one = 0;
        ASSERT_EQ(::read(ready[0], &one, 1), 1) << "the saver failed before its first save";
        ::close(ready[0]);
        ::usleep(random() % 3000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saver stopped by itself at kill " << kill;

        const std::string file = ReadFile(path);
        ASSERT_EQ(file.size(), 37152u) << "kill " << kill;
        ASSERT_EQ(file.find_first_not_of(file[0]), std::string::npos) << "mixed images at kill " << kill;
        Timetable loaded;
        ASSERT_EQ(LoadTimetable(loaded, dir.path()), 0);
        if (file[0] != firstLetter) ++interrupted;
    }
    EXPECT_TRUE(messages.shown.empty());
    // Most kills fell after further saves, so they hit the saving loop at work.
    EXPECT_GT(interrupted, kKills / 2);
}

TEST(TimetableFile, AFifoOrAnUnreadableFileInItsPlaceIsAReadErrorAtOnce) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File(kTimetableFileName).c_str(), 0600), 0);
    // In a child process, so that a load that blocks fails the test instead of hanging it.
    int status = plxtest::ExitStatusWithin(
        [&] {
            RecordingMessages messages;
            Timetable table;
            int result = LoadTimetable(table, dir.path());
            bool reported = messages.shown.size() == 1 && messages.shown[0].text == "TimeTable File Read Error!";
            return result == -1 && reported && TableBytes(table) == std::string(Timetable::kBytes, ' ') ? 0 : 1;
        },
        3000);
    EXPECT_EQ(status, 0);

    // A file that is there but cannot be read is reported, never replaced by a blank one.
    std::filesystem::remove(dir.File(kTimetableFileName));
    plxtest::MakeUnreadableFile(dir.File(kTimetableFileName), Pattern(Timetable::kBytes));
    RecordingMessages messages;
    Timetable table;
    {
        plxtest::OtherUser other;
        EXPECT_EQ(LoadTimetable(table, dir.path()), -1);
    }
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown.back().text, "TimeTable File Read Error!");
    EXPECT_EQ(ReadFile(dir.File(kTimetableFileName)), Pattern(Timetable::kBytes));
}
