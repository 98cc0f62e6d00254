// The single-instance guard: an exclusive lock on one fixed file per user, whatever the
// executable is called or where it lies. The kernel drops the lock when the process ends.
#pragma once

#include <string>

namespace plx {

// "$XDG_RUNTIME_DIR/plx.exe.lock", or "/tmp/plx.exe-<uid>.lock" without a runtime folder.
std::string InstanceLockPath();

class InstanceLock {
public:
    explicit InstanceLock(const std::string& path = InstanceLockPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another process holds the lock. A lock file that cannot be opened at all does
    // not stop the program: one copy too many is better than none.
    bool HeldElsewhere() const { return heldElsewhere_; }

private:
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

}  // namespace plx
