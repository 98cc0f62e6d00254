// The single-instance lock over flock().
#include "app/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace plx {

std::string InstanceLockPath() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') return std::string(runtime) + "/plx.exe.lock";
    return "/tmp/plx.exe-" + std::to_string(::getuid()) + ".lock";
}

InstanceLock::InstanceLock(const std::string& path) {
    // O_NOFOLLOW: in a shared /tmp another user could plant a link to a file of ours.
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) return;
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
