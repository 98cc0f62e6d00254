// The single-instance lock: one holder at a time, freed when the holder goes.
#include "app/instance_lock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

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

TEST(InstanceLock, ALockFileOfAnotherUserIsNotFollowed) {
    plxtest::TempDir dir;
    const std::string path = dir.File("plx.exe.lock");
    // Another local user made the file first and holds a lock on it.
    int theirs = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(theirs, 0);
    ASSERT_EQ(::fchown(theirs, 65534, 65534), 0);
    ASSERT_EQ(::flock(theirs, LOCK_EX | LOCK_NB), 0);
    if (::geteuid() != 65534) {
        InstanceLock mine(path);
        EXPECT_FALSE(mine.HeldElsewhere());
    }
    ::close(theirs);
}

TEST(InstanceLock, TheFallbackLockLivesInAFolderOfTheUsersOwn) {
    plxtest::TempDir root;
    const std::string uid = std::to_string(::getuid());
    const std::string folder = root.path() + "plx-" + uid;
    EXPECT_EQ(PrivateLockFolder(root.path()), folder + "/");
    struct stat info {};
    ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(PrivateLockFolder(root.path()), folder + "/");  // made once, then found

    // A folder of that name that another user made, or that others may write into, or a link in
    // its place, is not used: without a lock the program still starts.
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    EXPECT_EQ(PrivateLockFolder(root.path()), "");
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
    if (::getuid() != 65534) {
        EXPECT_EQ(PrivateLockFolder(root.path()), "");
    }
    ASSERT_EQ(::rmdir(folder.c_str()), 0);
    ASSERT_EQ(::mkdir((root.path() + "elsewhere").c_str(), 0700), 0);
    ASSERT_EQ(::symlink((root.path() + "elsewhere").c_str(), folder.c_str()), 0);
    EXPECT_EQ(PrivateLockFolder(root.path()), "");
    InstanceLock none("");
    EXPECT_FALSE(none.HeldElsewhere());

    // Without a runtime folder the lock is in such a folder below /tmp.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string saved = runtime ? runtime : "";
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(InstanceLockPath(), "/tmp/plx-" + uid + "/plx.exe.lock");
    if (runtime) ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
}
