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
