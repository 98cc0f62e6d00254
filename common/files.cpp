// Whole-file reading and writing.
#include "common/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/textutil.h"

namespace plx {

int OpenRegularFile(const std::string& path) {
    // Non-blocking, so that a FIFO in the file's place cannot hold the open; the flag is harmless
    // for the regular file that is then read.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

FileRead ReadFileBytes(const std::string& path, std::string* bytes, std::size_t limit) {
    int fd = OpenRegularFile(path);
    if (fd < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Unreadable;
    std::string out;
    char buffer[65536];
    bool failed = false;
    while (out.size() < limit) {
        ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, limit - out.size()));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        out.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (failed) return FileRead::Unreadable;
    *bytes = std::move(out);
    return FileRead::Ok;
}

namespace {

// The file a write to `path` replaces: `path` itself or, for a symbolic link, the file at the end
// of its chain of links (which need not exist yet). False for a loop or an overlong chain.
bool ResolveLinks(const std::string& path, std::string* target) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            *target = current;
            return true;
        }
        std::string link(static_cast<size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<size_t>(n) >= link.size()) return false;
        link.resize(static_cast<size_t>(n));
        if (link[0] != '/') {
            size_t slash = current.rfind('/');
            link = (slash == std::string::npos ? std::string() : current.substr(0, slash + 1)) + link;
        }
        current = std::move(link);
    }
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error, WriteStep* failed,
                         bool sync, unsigned newFileMode) {
    auto fail = [&](WriteStep step, const char* what, int code) {
        if (failed) *failed = step;
        if (error) *error = path + ": " + what + " (" + std::strerror(code) + ")";
        return false;
    };
    if (failed) *failed = WriteStep::None;
    std::string target;
    if (!ResolveLinks(path, &target)) return fail(WriteStep::Create, "cannot create the file", ELOOP);
    const std::string temp = target + ".tmp";
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return fail(WriteStep::Create, "cannot create the file", errno);
    // The owner first: a change of owner clears the set-id bits that the mode then puts back.
    if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid)) {
        // Only root may give a file away; anyone else keeps their own file with the old mode.
    }
    int code = ::fchmod(fd, replacing ? (old.st_mode & 07777) : static_cast<mode_t>(newFileMode)) == 0 ? 0 : errno;
    size_t done = 0;
    while (done < bytes.size() && code == 0) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            code = (n < 0 && errno) ? errno : ENOSPC;
        else
            done += static_cast<size_t>(n);
    }
    if (code == 0 && sync && ::fsync(fd) != 0 && errno != EINVAL) code = errno;
    if (::close(fd) != 0 && code == 0) code = errno;
    if (code != 0) {
        ::unlink(temp.c_str());
        return fail(WriteStep::Write, "cannot write the file", code);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        code = errno;
        ::unlink(temp.c_str());
        return fail(WriteStep::Replace, "cannot replace the file", code);
    }
    return true;
}

bool WriteFileLines(const std::string& path, const std::vector<std::string>& lines, std::string* error) {
    return WriteFileAtomically(path, JoinLines(lines), error);
}

FileRead ReadFileLines(const std::string& path, std::vector<std::string>* lines) {
    std::string bytes;
    FileRead result = ReadFileBytes(path, &bytes);
    if (result == FileRead::Ok) *lines = SplitLines(bytes);
    return result;
}

bool MakeFolders(const std::string& folder, unsigned lastMode, std::string* error) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const bool last = slash == std::string::npos;
        const std::string part = last ? path : path.substr(0, slash);
        if (::mkdir(part.c_str(), last ? lastMode : 0755) != 0 && errno != EEXIST) {
            if (error) *error = part + ": " + std::strerror(errno);
            return false;
        }
        if (last) return true;
    }
}

}  // namespace plx
