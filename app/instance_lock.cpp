// The single-instance lock over flock().
#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace plx {

std::string InstanceLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') return std::string(runtime) + "/plx.exe.lock";
    std::string folder = PrivateLockFolder("/tmp");
    return folder.empty() ? std::string() : folder + "plx.exe.lock";
}

std::string PrivateLockFolder(const std::string& root) {
    std::string folder = root;
    if (folder.empty() || folder.back() != '/') folder += '/';
    folder += "plx-" + std::to_string(::getuid());
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
    if (info.st_uid != ::getuid() || (info.st_mode & 077) != 0) return {};
    return folder + "/";
}

void ProvideRuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') return;
    std::string folder = PrivateLockFolder("/tmp");
    if (folder.empty()) return;
    folder.pop_back();
    ::setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
}

InstanceLock::InstanceLock(const std::string& path) {
    if (path.empty()) return;
    // O_NOFOLLOW: in a shared /tmp another user could plant a link to a file of ours.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd_ < 0) return;
    // A lock that is not our own file is not followed: whoever made it could hold it for good.
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        ::close(fd_);
        fd_ = -1;
        return;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0 && errno == EWOULDBLOCK) heldElsewhere_ = true;
}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace plx
