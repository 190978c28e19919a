#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/win/shell.h"
#include "tests/win/win_support.h"

using namespace wintest;
namespace fs = std::filesystem;

namespace {

int run(UINT func, const std::vector<std::string>& from, const std::string& to, WORD flags) {
    std::string list;
    for (auto& f : from) list += f + '\0';
    list += '\0';
    SHFILEOPSTRUCTA op;
    op.wFunc = func;
    op.pFrom = list.c_str();
    op.pTo = to.empty() ? nullptr : to.c_str();
    op.fFlags = flags;
    return SHFileOperationA(&op);
}

constexpr WORD kDeleteFlags = FOF_SILENT | FOF_NOCONFIRMATION;                // 0x0014
constexpr WORD kMoveFlags = FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_SILENT;  // 0x0094

void makeTree(const std::string& root) {
    fs::create_directories(root + "/sub/deeper");
    WriteAll(root + "/a.pdf", "A");
    WriteAll(root + "/sub/b.txt", "B");
    WriteAll(root + "/sub/deeper/c 中.txt", "C");
    ::chmod((root + "/sub/b.txt").c_str(), 0444);
}

}  // namespace

TEST(ShellDelete, RemovesAFolderWithEverythingInIt) {
    TempDir t;
    makeTree(t / "tmp 123");
    EXPECT_EQ(run(FO_DELETE, {t / "tmp 123"}, "", kDeleteFlags), 0);
    EXPECT_FALSE(Exists(t / "tmp 123"));
}

TEST(ShellDelete, TrailingSlashActsOnTheSameFolder) {
    TempDir t;
    makeTree(t / "x");
    EXPECT_EQ(run(FO_DELETE, {t / "x/"}, "", kDeleteFlags), 0);
    EXPECT_FALSE(Exists(t / "x"));
}

TEST(ShellDelete, NeverFollowsLinksOutOfTheTree) {
    TempDir t;
    fs::create_directories(t / "keep");
    WriteAll(t / "keep/precious.txt", "P");
    makeTree(t / "victim");
    fs::create_directory_symlink(t / "keep", t / "victim/link-to-dir");
    fs::create_symlink(t / "keep/precious.txt", t / "victim/link-to-file");
    EXPECT_EQ(run(FO_DELETE, {t / "victim"}, "", kDeleteFlags), 0);
    EXPECT_FALSE(Exists(t / "victim"));
    EXPECT_EQ(ReadAll(t / "keep/precious.txt"), "P");
}

TEST(ShellDelete, ALinkGivenAsSourceIsRemovedItself) {
    TempDir t;
    fs::create_directories(t / "keep");
    WriteAll(t / "keep/f", "F");
    fs::create_directory_symlink(t / "keep", t / "link");
    EXPECT_EQ(run(FO_DELETE, {t / "link/"}, "", kDeleteFlags), 0);
    EXPECT_FALSE(Exists(t / "link"));
    EXPECT_EQ(ReadAll(t / "keep/f"), "F");
}

TEST(ShellDelete, SeveralSourcesMasksAndMissingOnes) {
    TempDir t;
    WriteAll(t / "1.log", "");
    WriteAll(t / "2.log", "");
    WriteAll(t / "3.txt", "");
    fs::create_directories(t / "d.log");
    EXPECT_EQ(run(FO_DELETE, {t / "*.log"}, "", kDeleteFlags | FOF_FILESONLY), 0);
    EXPECT_FALSE(Exists(t / "1.log"));
    EXPECT_FALSE(Exists(t / "2.log"));
    EXPECT_TRUE(Exists(t / "3.txt"));
    EXPECT_TRUE(Exists(t / "d.log"));  // a folder, left alone with FOF_FILESONLY
    EXPECT_NE(run(FO_DELETE, {t / "absent"}, "", kDeleteFlags), 0);
    EXPECT_TRUE(Exists(t / "3.txt"));
}

TEST(ShellDelete, RefusesTheRootAndAnEmptyList) {
    EXPECT_NE(run(FO_DELETE, {"/"}, "", kDeleteFlags), 0);
    EXPECT_NE(run(FO_DELETE, {}, "", kDeleteFlags), 0);
    EXPECT_NE(SHFileOperationA(nullptr), 0);
}

TEST(ShellMove, FileIntoAFolderAndOntoAName) {
    TempDir t;
    fs::create_directories(t / "dest dir");
    WriteAll(t / "r.pdf", "R");
    EXPECT_EQ(run(FO_MOVE, {t / "r.pdf"}, t / "dest dir/", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "dest dir/r.pdf"), "R");
    EXPECT_FALSE(Exists(t / "r.pdf"));
    EXPECT_EQ(run(FO_MOVE, {t / "dest dir/r.pdf"}, t / "new/sub/s.pdf", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "new/sub/s.pdf"), "R");
}

TEST(ShellMove, ReplacesAnOlderFile) {
    TempDir t;
    WriteAll(t / "new.pdf", "new");
    WriteAll(t / "old.pdf", "older content");
    EXPECT_EQ(run(FO_MOVE, {t / "new.pdf"}, t / "old.pdf", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "old.pdf"), "new");
}

TEST(ShellMove, FolderToANewNameAndIntoAnExistingFolder) {
    TempDir t;
    makeTree(t / "src");
    EXPECT_EQ(run(FO_MOVE, {t / "src/"}, t / "renamed", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "renamed/sub/deeper/c 中.txt"), "C");
    fs::create_directories(t / "box");
    EXPECT_EQ(run(FO_MOVE, {t / "renamed"}, t / "box", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "box/renamed/a.pdf"), "A");
    EXPECT_FALSE(Exists(t / "renamed"));
}

TEST(ShellMove, MergesIntoAnExistingFolderOfTheSameName) {
    TempDir t;
    fs::create_directories(t / "a/p");
    fs::create_directories(t / "box/p");
    WriteAll(t / "a/p/1", "new1");
    WriteAll(t / "box/p/1", "old1");
    WriteAll(t / "box/p/2", "old2");
    EXPECT_EQ(run(FO_MOVE, {t / "a/p"}, t / "box", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "box/p/1"), "new1");
    EXPECT_EQ(ReadAll(t / "box/p/2"), "old2");
    EXPECT_FALSE(Exists(t / "a/p"));
}

TEST(ShellMove, MaskMovesMatchingFilesOnly) {
    TempDir t;
    WriteAll(t / "x_p0001.jpg", "1");
    WriteAll(t / "x_p0002.jpg", "2");
    fs::create_directories(t / "y.jpg");
    EXPECT_EQ(run(FO_MOVE, {t / "*.jpg"}, t / "out", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "out/x_p0001.jpg"), "1");
    EXPECT_EQ(ReadAll(t / "out/x_p0002.jpg"), "2");
    EXPECT_TRUE(Exists(t / "y.jpg"));
}

TEST(ShellMove, FailsForMissingSourcesAndFolderOntoFile) {
    TempDir t;
    EXPECT_NE(run(FO_MOVE, {t / "absent"}, t / "x", kMoveFlags), 0);
    fs::create_directories(t / "d");
    fs::create_directories(t / "box");
    WriteAll(t / "box/d", "a file in the way");
    EXPECT_NE(run(FO_MOVE, {t / "d"}, t / "box", kMoveFlags), 0);
    EXPECT_TRUE(Exists(t / "d"));
    EXPECT_EQ(run(FO_MOVE, {t / "d"}, t / "d", kMoveFlags), 0);  // onto itself: nothing to do
    EXPECT_TRUE(Exists(t / "d"));
}

TEST(ShellMove, CopiesAcrossFileSystems) {
    TempDir t;
    if (!fs::is_directory("/dev/shm")) GTEST_SKIP() << "no /dev/shm";
    struct stat a, b;
    ::stat(t.path.c_str(), &a);
    ::stat("/dev/shm", &b);
    if (a.st_dev == b.st_dev) GTEST_SKIP() << "/dev/shm is on the same file system";
    char tmpl[] = "/dev/shm/vxwin-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    std::string other = tmpl;
    makeTree(other + "/tree");
    fs::create_symlink("a.pdf", other + "/tree/rel-link");
    EXPECT_EQ(run(FO_MOVE, {other + "/tree"}, t / "moved", kMoveFlags), 0);
    EXPECT_EQ(ReadAll(t / "moved/sub/deeper/c 中.txt"), "C");
    EXPECT_EQ(fs::read_symlink(t / "moved/rel-link"), "a.pdf");
    EXPECT_FALSE(Exists(other + "/tree"));
    struct stat ro;
    ASSERT_EQ(::stat((t / "moved/sub/b.txt").c_str(), &ro), 0);
    EXPECT_EQ(ro.st_mode & 0777, 0444u);
    fs::remove_all(other);
}
