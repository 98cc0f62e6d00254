// The data folder: beside a copied or self-installed program, in the user's folder for the package.
#include "common/data_folder.h"

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace plx;
using plxtest::TempDir;
using plxtest::WriteFile;

TEST(DataFolder, BesideAWritableProgramUnlessThePackageMarkerIsThere) {
    TempDir exe;
    const std::string exeFolder = exe.path() + "/";
    EXPECT_EQ(DataFolderFor(exeFolder, "", "/home/u"), exeFolder);
    WriteFile(exe.File(kPackageMarker), "");
    // The marker decides even for root, who can write anywhere.
    EXPECT_EQ(DataFolderFor(exeFolder, "", "/home/u"), "/home/u/.config/pilonix/");
    EXPECT_EQ(DataFolderFor(exeFolder, "/cfg/", "/home/u"), "/cfg/pilonix/");
    EXPECT_EQ(DataFolderFor(exeFolder, "relative", "/home/u"), "/home/u/.config/pilonix/");
}

TEST(DataFolder, AFolderNobodyCanWriteSendsTheFilesHome) {
    // A process's own /proc folder cannot be written, not even by root.
    EXPECT_EQ(DataFolderFor("/proc/self/", "", "/home/u"), "/home/u/.config/pilonix/");
    EXPECT_EQ(DataFolderFor("/no/such/folder/", "/x", "/home/u"), "/x/pilonix/");
}
