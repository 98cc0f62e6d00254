// Saving and loading the timetable file.
#include "board/timetable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/files.h"
#include "common/message.h"
#include "common/program_state.h"

namespace plx {
namespace {

// Reads up to `size` bytes; returns how many were read, or -1 on a read error.
ssize_t ReadUpTo(int fd, char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

}  // namespace

int SaveTimetable(const Timetable& table, const std::string& folder) {
    // No fsync: the file is rewritten every second, and a sync each time would keep the disk awake.
    // The rename alone already guarantees that a killed or crashed program leaves a whole file.
    WriteStep failed = WriteStep::None;
    if (WriteFileAtomically(folder + kTimetableFileName, std::string_view(table.bytes(), Timetable::kBytes), nullptr,
                            &failed, false))
        return 0;
    ShowMsg(failed == WriteStep::Write ? "TimeTable File Write Error!" : "TimeTable File Open Error!");
    return -1;
}

int LoadTimetable(Timetable& table, const std::string& folder) {
    const std::string path = folder + kTimetableFileName;
    // Only a regular file is read: a FIFO in its place must not hold up the start.
    int fd = OpenRegularFile(path);
    if (fd < 0 && errno == ENOENT) {
        table.Clear();
        return SaveTimetable(table, folder);
    }
    // A file that is there but cannot be read is a read error, never replaced by a blank one here.
    std::vector<char> image(Timetable::kBytes, ' ');
    ssize_t got = fd < 0 ? -1 : ReadUpTo(fd, image.data(), image.size());
    if (fd >= 0) ::close(fd);
    // What was read replaces the start of the table; the rest is blank rather than left over.
    std::memcpy(table.bytes(), image.data(), image.size());
    if (got != static_cast<ssize_t>(Timetable::kBytes)) {
        ShowMsg("TimeTable File Read Error!");
        return -1;
    }
    return 0;
}

int SaveTimetable() {
    return SaveTimetable(TheTimetable(), Program().exeFolder);
}

int LoadTimetable() {
    return LoadTimetable(TheTimetable(), Program().exeFolder);
}

}  // namespace plx
