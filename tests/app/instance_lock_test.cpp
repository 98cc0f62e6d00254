// The single-instance lock: one holder at a time, freed when the holder goes.
#include "app/instance_lock.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace plx;

TEST(InstanceLock, OneHolderAtATime) {
    plxtest::TempDir dir;
    const std::string path = dir.File("plx.exe.lock");
    {
        InstanceLock first(path);
        EXPECT_FALSE(first.HeldElsewhere());
        InstanceLock second(path);  // a separate open file, as another process would have
        EXPECT_TRUE(second.HeldElsewhere());
    }
    InstanceLock after(path);
    EXPECT_FALSE(after.HeldElsewhere());
}

TEST(InstanceLock, PathFollowsTheRuntimeFolder) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    std::string keep = saved ? saved : "";
    ::setenv("XDG_RUNTIME_DIR", "/run/user/1234", 1);
    EXPECT_EQ(InstanceLockPath(), "/run/user/1234/plx.exe.lock");
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLockPath(), "/tmp/plx.exe-" + std::to_string(::getuid()) + ".lock");
    if (saved) ::setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
}
