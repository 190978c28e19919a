// Run folders: removed without following links, and an abandoned one (its marker held by
// no process) removed by the next run while a held one and a stranger's folder stay.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/win/runGuard.h"
#include "win_support.h"

namespace {

using namespace wintest;

TEST(RunGuard, TreeRemovalUnlinksLinksAndNeverFollowsThem) {
    TempDir dir("vxguard");
    TempDir outside("vxguard-outside");
    WriteAll(outside / "keep", "keep");
    std::filesystem::create_directories(dir / "tree/a/b");
    WriteAll(dir / "tree/a/b/f", "x");
    std::filesystem::create_symlink(outside.path, dir / "tree/a/link");
    EXPECT_TRUE(RemoveTreeNow((dir / "tree/").c_str()));
    EXPECT_FALSE(Exists(dir / "tree"));
    EXPECT_EQ(ReadAll(outside / "keep"), "keep");
}

TEST(RunGuard, OnlyAbandonedRunFoldersOfThisProgramAreRemoved) {
    TempDir dir("vxguard");
    for (const char* n : {"00000001", "00000002", "00000003", "1234567"})
        std::filesystem::create_directory(dir / n);
    { TRunFolderClaim ended(dir / "00000001"); }  // its run ended without removing it
    TRunFolderClaim held(dir / "00000002");       // its run goes on
    // 00000003 has no marker: a folder of the user's with a number for a name.
    EXPECT_EQ(RemoveAbandonedRunFolders(dir.path), 1);
    EXPECT_FALSE(Exists(dir / "00000001"));
    EXPECT_TRUE(Exists(dir / "00000002"));
    EXPECT_TRUE(Exists(dir / "00000003"));
    EXPECT_TRUE(Exists(dir / "1234567"));
}

}  // namespace
