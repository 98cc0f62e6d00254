// Saving and loading the timetable file.
#include "board/timetable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/message.h"
#include "common/program_state.h"

namespace plx {
namespace {

// One fixed temporary name: a save killed half-way leaves at most this one file behind, and the
// next save reuses it. Only one copy of the program runs, so nothing else writes it.
std::string TempPathOf(const std::string& path) {
    return path + ".tmp";
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

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
    const std::string path = folder + kTimetableFileName;
    const std::string temp = TempPathOf(path);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        ShowMsg("TimeTable File Open Error!");
        return -1;
    }
    // No fsync: the file is rewritten every second, and a sync each time would keep the disk awake.
    // The rename alone already guarantees that a killed or crashed program leaves a whole file.
    bool written = WriteAll(fd, table.bytes(), Timetable::kBytes);
    if (::close(fd) != 0) written = false;
    if (!written) {
        ::unlink(temp.c_str());
        ShowMsg("TimeTable File Write Error!");
        return -1;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        ShowMsg("TimeTable File Open Error!");
        return -1;
    }
    return 0;
}

int LoadTimetable(Timetable& table, const std::string& folder) {
    const std::string path = folder + kTimetableFileName;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        table.Clear();
        return SaveTimetable(table, folder);
    }
    std::vector<char> image(Timetable::kBytes, ' ');
    ssize_t got = ReadUpTo(fd, image.data(), image.size());
    ::close(fd);
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
