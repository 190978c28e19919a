// File and folder utilities on real temporary folders, names with awkward characters.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <set>

#include "engine/util.h"
#include "tests/engine/fixture.h"

namespace {

using vxtest::EngineTest;
using vxtest::Exists;
using vxtest::ReadFile;
using vxtest::WriteFile;

// Names that a shell or a quoting mistake would mangle.
const char* const kAwkward[] = {"plain",     "with blank",  "dollar $HOME",     "quote \" and '",
                                "中文 文件", "back\\slash", "semi;colon & amp", "star*?"};

class Files : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        work_ = vxtest::MakeTempFolder("vx files $ \"q\" 文件 ");
    }
    void TearDown() override {
        vxtest::RemoveTree(work_);
        EngineTest::TearDown();
    }
    std::string Dir(const std::string& name) {
        std::string d = work_ + name + "/";
        EXPECT_TRUE(ForceDirectories(d)) << d;
        return d;
    }
    std::string work_;
};

// Runs fn in a child process; when we are root the child drops to an unprivileged user
// first, so that permission checks apply. Returns the child's exit code; 77 means the
// privileges could not be dropped.
int RunUnprivileged(const std::function<int()>& fn) {
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(77);
        }
        _exit(fn());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// ---------------------------------------------------------------- sizes

TEST_F(Files, FileSizeOfExactNames) {
    const std::string d = Dir("sizes");
    WriteFile(d + "a*b.txt", "12345");
    WriteFile(d + "aXb.txt", "1");
    WriteFile(d + "empty", "");
    EXPECT_EQ(FileSizeOf(d + "a*b.txt"), 5);  // a wildcard in a name is part of the name
    EXPECT_EQ(FileSizeOf(d + "aXb.txt"), 1);
    EXPECT_EQ(FileSizeOf(d + "a?b.txt"), -1);
    EXPECT_EQ(FileSizeOf(d + "empty"), 0);
    EXPECT_EQ(FileSizeOf(d + "missing"), -1);
    EXPECT_EQ(FileSizeOf(""), -1);
    EXPECT_EQ(FileSizeOf(d), 0);  // a folder is found, with no size
}

TEST_F(Files, FileSizeExpandedResolvesRelativeParts) {
    const std::string d = Dir("sub 目录");
    WriteFile(d + "f.log", std::string(300, 'x'));
    EXPECT_EQ(FileSizeExpanded(d + "../sub 目录/./f.log"), 300);
    EXPECT_EQ(FileSizeExpanded(d + "../f.log"), -1);
}

// ---------------------------------------------------------------- MoveFileReplacing

TEST_F(Files, MoveFileReplacingToNewAndOverOlderTargets) {
    const std::string src = Dir("src"), dst = Dir("dst");
    for (const char* name : kAwkward) {
        WriteFile(src + name, std::string("new ") + name);
        WriteFile(dst + name, "older");
        EXPECT_TRUE(MoveFileReplacing(src + name, dst + name)) << name;
        EXPECT_FALSE(Exists(src + name)) << name;
        EXPECT_EQ(ReadFile(dst + name), std::string("new ") + name);
    }
    WriteFile(src + "fresh.pdf", "pdf");
    EXPECT_TRUE(MoveFileReplacing(src + "fresh.pdf", dst + "fresh.pdf"));
    EXPECT_EQ(ReadFile(dst + "fresh.pdf"), "pdf");
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(Files, MoveFileReplacingKeepsTheOlderTargetWhenTheSourceIsMissing) {
    const std::string dst = Dir("dst");
    WriteFile(dst + "result.pdf", "older result");
    EXPECT_FALSE(MoveFileReplacing(work_ + "missing.pdf", dst + "result.pdf"));
    EXPECT_EQ(ReadFile(dst + "result.pdf"), "older result");
    // The failed move names the file and the cause.
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], MoveMessage(dst + "result.pdf", ENOENT));
    EXPECT_EQ(Errors()[0], "无法移动文件到 \"" + dst + "result.pdf" + "\"。系统找不到指定的文件。");
}

TEST_F(Files, MoveFileReplacingOntoAFolderGivesTheMoveMessage) {
    const std::string d = Dir("d");
    WriteFile(d + "src.pdf", "x");
    const std::string target = Dir("d/taken.pdf");
    EXPECT_FALSE(MoveFileReplacing(d + "src.pdf", target.substr(0, target.size() - 1)));
    EXPECT_TRUE(Exists(d + "src.pdf"));
    // The message names the file and the cause; the log keeps the system's own words.
    const std::string msg =
        "无法移动文件到 \"" + d + "taken.pdf" + "\"。这是一个文件夹，不是文件。";
    EXPECT_EQ(Errors(), std::vector<std::string>{msg});
    ASSERT_EQ(LogLines().size(), 1u);
    EXPECT_EQ(LogLines()[0].substr(12), " | ErrorMessage | " + msg + " [Is a directory]");
}

TEST_F(Files, MoveFileReplacingIntoAReadOnlyFolder) {
    int code = RunUnprivileged([] {
        int fails = 0;
        vxtest::TestMainState state("vx ro ");
        SetMainState(&state);
        const std::string base = state.FAppPath;
        const std::string ro = base + "read only $\"/";
        if (!CreateDir(ro)) return 90;
        WriteFile(ro + "old.pdf", "older");
        WriteFile(base + "new.pdf", "newer");
        WriteFile(base + "other.pdf", "other");
        chmod(ro.c_str(), 0555);
        // An existing target that cannot be deleted: the move message, nothing lost.
        if (MoveFileReplacing(base + "new.pdf", ro + "old.pdf")) fails |= 1;
        if (ReadFile(ro + "old.pdf") != "older") fails |= 2;
        if (ReadFile(base + "new.pdf") != "newer") fails |= 4;
        if (state.FErrors->Count() != 1 ||
            (*state.FErrors)[0] != MoveMessage(ro + "old.pdf", EACCES) ||
            (*state.FErrors)[0].find("拒绝访问。") == std::string::npos)
            fails |= 8;
        // A new name in the same folder: the rename fails, and says why.
        if (MoveFileReplacing(base + "other.pdf", ro + "other.pdf")) fails |= 16;
        if (state.FErrors->Count() != 2) fails |= 32;
        if (!FileExists(base + "other.pdf")) fails |= 64;
        SetMainState(nullptr);
        return fails;
    });
    if (code == 77) GTEST_SKIP() << "cannot drop root privileges";
    EXPECT_EQ(code, 0) << "failed checks (bits)";
}

TEST_F(Files, MoveFileReplacingOverAReadOnlyFile) {
    // A target that is read-only to us is not deleted (as a read-only file never was).
    int code = RunUnprivileged([] {
        vxtest::TestMainState state("vx ro file ");
        SetMainState(&state);
        const std::string base = state.FAppPath;
        WriteFile(base + "old.pdf", "older");
        WriteFile(base + "new.pdf", "newer");
        chmod((base + "old.pdf").c_str(), 0444);
        int fails = 0;
        if (MoveFileReplacing(base + "new.pdf", base + "old.pdf")) fails |= 1;
        if (ReadFile(base + "old.pdf") != "older") fails |= 2;
        if (state.FErrors->Count() != 1) fails |= 4;
        SetMainState(nullptr);
        return fails;
    });
    if (code == 77) GTEST_SKIP() << "cannot drop root privileges";
    EXPECT_EQ(code, 0) << "failed checks (bits)";
}

TEST_F(Files, MoveFileReplacingAcrossFileSystems) {
    struct stat a, b;
    const std::string other = "/dev/shm/";
    if (stat(other.c_str(), &b) != 0 || stat(work_.c_str(), &a) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system at hand";
    const std::string dir = vxtest::MakeTempFolder("vx shm ");
    const std::string dir2 = other + ExtractFileName(ExcludeTrailingPathDelimiter(dir)) + "/";
    ASSERT_TRUE(CreateDir(dir2));
    WriteFile(dir + "a b.pdf", "across");
    WriteFile(dir2 + "a b.pdf", "older");
    EXPECT_TRUE(MoveFileReplacing(dir + "a b.pdf", dir2 + "a b.pdf"));
    EXPECT_EQ(ReadFile(dir2 + "a b.pdf"), "across");
    EXPECT_FALSE(Exists(dir + "a b.pdf"));
    // Nothing of the copy is left beside the target.
    int entries = 0;
    TSearchRec rec;
    for (int r = FindFirst(dir2 + "*", faAnyFile, rec); r == 0; r = FindNext(rec)) ++entries;
    FindClose(rec);
    EXPECT_EQ(entries, 1);
    vxtest::RemoveTree(dir);
    vxtest::RemoveTree(dir2);
}

// ---------------------------------------------------------------- MoveMatchingFiles

TEST_F(Files, MoveMatchingFilesWithNothingMatching) {
    const std::string src = Dir("src"), dst = Dir("dst");
    WriteFile(src + "page.png", "x");
    std::string first = "stale";
    MoveMatchingFiles(src + "*.jpg", dst, first);
    EXPECT_EQ(first, "");
    EXPECT_TRUE(Exists(src + "page.png"));
    EXPECT_TRUE(Errors().empty());
    MoveMatchingFiles(work_ + "no such folder/*.jpg", dst, first);
    EXPECT_EQ(first, "");
}

TEST_F(Files, MoveMatchingFilesMovesEveryMatchReplacingOlderOnes) {
    const std::string src = Dir("tmp 00001234"), dst = Dir("dest $x \"y\"");
    const std::set<std::string> pages = {"a b_p0001.jpg", "a b_p0002.jpg", "中文_p0003.JPG"};
    for (const auto& p : pages) WriteFile(src + p, "page " + p);
    WriteFile(src + "a b.pdf", "not a page");
    WriteFile(dst + "a b_p0002.jpg", "older");
    std::string first;
    MoveMatchingFiles(src + "*.jpg", dst, first);
    EXPECT_TRUE(pages.count(ExtractFileName(first))) << first;
    EXPECT_EQ(ExtractFilePath(first), dst);
    for (const auto& p : pages) {
        EXPECT_FALSE(Exists(src + p)) << p;
        EXPECT_EQ(ReadFile(dst + p), "page " + p);
    }
    EXPECT_TRUE(Exists(src + "a b.pdf"));
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Files, MoveMatchingFilesStopsAtATargetThatCannotBeReplaced) {
    const std::string src = Dir("src"), dst = Dir("dst");
    WriteFile(src + "only.eps", "eps");
    Dir("dst/only.eps");  // a folder holds the name
    std::string first = "stale";
    MoveMatchingFiles(src + "*.eps", dst, first);
    // The old entry is not the result: nothing was moved.
    EXPECT_EQ(first, "");
    EXPECT_TRUE(Exists(src + "only.eps"));
    EXPECT_EQ(Errors(), std::vector<std::string>{MoveMessage(dst + "only.eps", EISDIR)});
}

TEST_F(Files, MoveMatchingFilesIntoAMissingFolderClearsTheResult) {
    const std::string src = Dir("src");
    WriteFile(src + "p_0001.bmp", "1");
    WriteFile(src + "p_0002.bmp", "2");
    std::string first = "stale";
    MoveMatchingFiles(src + "*.bmp", work_ + "missing/", first);
    EXPECT_EQ(first, "");
    // A page that cannot arrive fails the moves, and says why; nothing was moved.
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("系统找不到指定的文件。"), std::string::npos) << Errors()[0];
    EXPECT_TRUE(Exists(src + "p_0001.bmp") && Exists(src + "p_0002.bmp"));
}

// ---------------------------------------------------------------- DeleteFolder, ShellMove

TEST_F(Files, DeleteFolderWithAndWithoutTrailingSlash) {
    for (const char* name : kAwkward) {
        // The shell reads "*" and "?" in the last part as a mask; our folders never have them.
        if (std::string(name).find_first_of("*?") != std::string::npos) continue;
        const std::string d = Dir(std::string("del ") + name);
        WriteFile(d + name, "x");
        Dir(std::string("del ") + name + "/images");
        WriteFile(d + "images/" + name, "y");
        EXPECT_TRUE(DeleteFolder(d)) << name;
        EXPECT_FALSE(Exists(d)) << name;
        const std::string e = Dir(std::string("nodel ") + name);
        EXPECT_TRUE(DeleteFolder(e.substr(0, e.size() - 1))) << name;
        EXPECT_FALSE(Exists(e)) << name;
    }
    EXPECT_TRUE(Exists(work_));  // only the named folders went
    EXPECT_TRUE(Errors().empty());
}

TEST_F(Files, DeleteFolderOfAMissingFolderFails) {
    EXPECT_FALSE(DeleteFolder(work_ + "missing/"));
    EXPECT_FALSE(DeleteFolder(""));
    EXPECT_TRUE(Exists(work_));
}

TEST_F(Files, ShellMoveMovesAFolderIntoTheTarget) {
    const std::string t = Dir("12345678"), d = Dir("目的地 $ \"dest\"");
    Dir("12345678/pdf");
    Dir("12345678/images");
    WriteFile(t + "pdf/a b_0001.pdf", "1");
    WriteFile(t + "images/a b_0001.jpg", "2");
    EXPECT_TRUE(ShellMove(t + "pdf", d));
    EXPECT_TRUE(ShellMove(t + "images", d));
    EXPECT_EQ(ReadFile(d + "pdf/a b_0001.pdf"), "1");
    EXPECT_EQ(ReadFile(d + "images/a b_0001.jpg"), "2");
    EXPECT_FALSE(Exists(t + "pdf"));
    EXPECT_FALSE(ShellMove(t + "missing", d));
}

// ---------------------------------------------------------------- MakeRandomFolder

TEST(RandomFolder, GeneratorSequenceFromSeedZero) {
    RandSeed = 0;
    const int expected[] = {0, 3137993, 86104846, 20258096, 27292126};
    for (int e : expected) EXPECT_EQ(Random(100000000), e);
    EXPECT_EQ(RandSeed, 1172187917u);
}

TEST(RandomFolder, NameHasEightDigits) {
    EXPECT_EQ(RandomFolderName("/tmp/a b/", 0), "/tmp/a b/00000000/");
    EXPECT_EQ(RandomFolderName("/tmp/a b/", 3137993), "/tmp/a b/03137993/");
    EXPECT_EQ(RandomFolderName("/x/", 99999999), "/x/99999999/");
}

TEST_F(Files, MakeRandomFolderCreatesTheDrawnFolder) {
    const std::string base = Dir("源 $ \"base\"");
    const std::string folder = MakeRandomFolder(base);
    // The number is the one the generator drew from its new seed.
    const int drawn = int((uint64_t(RandSeed) * 100000000u) >> 32);
    EXPECT_EQ(folder, RandomFolderName(base, drawn));
    EXPECT_TRUE(DirectoryExists(folder));
    EXPECT_EQ(folder.size(), base.size() + 9);
    // A second folder from a new seed is another one.
    const std::string second = MakeRandomFolder(base);
    EXPECT_NE(second, folder);
    EXPECT_TRUE(DirectoryExists(second));
}

TEST_F(Files, MakeRandomFolderRaisesWhenItCannotCreate) {
    EXPECT_THROW(MakeRandomFolder(work_ + "no such base/"), EInOutError);
}

// A place the user may not write (here: one that is no folder, or missing) passes the
// run folder on to the next place; a place named twice is tried once.
TEST_F(Files, ARunFolderGoesToTheFirstPlaceWhereOneCanBeMade) {
    const std::string source = Dir("source"), dest = Dir("dest"), temp = Dir("temp");
    WriteFile(work_ + "a file", "x");
    const std::string notAFolder = work_ + "a file/", missing = work_ + "missing/";
    const struct {
        std::vector<std::string> places;
        std::string expected;
    } rows[] = {
        {{source, dest, temp}, source},
        {{notAFolder, dest, temp}, dest},
        {{missing, missing, temp}, temp},
        {{notAFolder, notAFolder, temp}, temp},
    };
    for (const auto& r : rows) {
        const std::string folder = MakeRunFolder(r.places);
        EXPECT_EQ(ExtractFilePath(ExcludeTrailingPathDelimiter(folder)), r.expected) << folder;
        EXPECT_TRUE(DirectoryExists(folder)) << folder;
        EXPECT_TRUE(RemoveDir(folder)) << folder;
    }
    EXPECT_FALSE(DirectoryExists(missing));
    EXPECT_EQ(ReadFile(work_ + "a file"), "x");
}

TEST_F(Files, ARunFolderThatCanBeMadeNowhereRaisesTheLastPlacesReason) {
    WriteFile(work_ + "a file", "x");
    try {
        MakeRunFolder({work_ + "missing/", work_ + "a file/"});
        ADD_FAILURE() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_NE(e.Message.find(work_ + "a file/"), std::string::npos) << e.Message;
    }
}

// A folder the user may enter but not write: the run folder goes to the next place.
TEST_F(Files, ARunFolderSkipsAFolderTheUserMayNotWrite) {
    const std::string locked = Dir("locked"), open = Dir("open");
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    ASSERT_EQ(chmod(open.c_str(), 0777), 0);
    ASSERT_EQ(chmod(work_.c_str(), 0755), 0);
    const int code = RunUnprivileged([&] {
        try {
            const std::string folder = MakeRunFolder({locked, open});
            return StartsStr(open, folder) && DirectoryExists(folder) ? 0 : 1;
        } catch (...) {
            return 2;
        }
    });
    chmod(locked.c_str(), 0755);
    if (code == 77) GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

}  // namespace
