// The single-instance guard: an exclusive lock on one fixed file per user, whatever the
// executable is called or where it lies. The kernel drops the lock when the process ends.
#pragma once

#include <string>

namespace plx {

// "$XDG_RUNTIME_DIR/plx.exe.lock", or without a runtime folder "plx.exe.lock" in the folder of
// PrivateLockFolder("/tmp"); empty when there is no such folder to be had.
std::string InstanceLockPath();

// "<root>/plx-<uid>/", made 0700 when missing. Empty unless it is a real folder (no link) owned by
// this user that no one else may write into: in a shared folder another user could otherwise
// make it first and so keep the program from ever starting.
std::string PrivateLockFolder(const std::string& root);

// Without a usable $XDG_RUNTIME_DIR, points it at PrivateLockFolder("/tmp") for this process, so that
// the lock and the libraries that keep run-time files (Qt among them) share one private folder.
void ProvideRuntimeFolder();

class InstanceLock {
public:
    explicit InstanceLock(const std::string& path = InstanceLockPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another process holds the lock. A lock file that cannot be opened at all, or that
    // is not a file of this user's own, does not stop the program: one copy too many is better
    // than none.
    bool HeldElsewhere() const { return heldElsewhere_; }

private:
    int fd_ = -1;
    bool heldElsewhere_ = false;
};

}  // namespace plx
