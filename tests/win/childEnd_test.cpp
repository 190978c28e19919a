// How children end: a process group is signalled only while its leader is unreaped, so its
// number cannot have gone to somebody else; what the leader left in its group goes with
// it; and children that outlive the program are not handed a folder it removes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "platform/win/launcher.h"
#include "platform/win/privateFolder.h"
#include "platform/win/process.h"
#include "platform/win/runGuard.h"
#include "tests/win/scratchFolder.h"

namespace {

namespace fs = std::filesystem;

std::string ReadWhenThere(const std::string& file, std::chrono::seconds within) {
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        std::ifstream in(file);
        std::stringstream text;
        if (in && (text << in.rdbuf()) && !text.str().empty() && text.str().back() == '\n')
            return text.str().substr(0, text.str().size() - 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "(never written)";
}

// Running means present and not ended (a zombie that init has not reaped has ended).
bool Running(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return false;
    const size_t close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() && line[close + 2] != 'Z' &&
           line[close + 2] != 'X';
}

}  // namespace

TEST(EndChildGroup, EndsTheGroupBeforeTheLeaderIsReaped) {
    struct Row {
        const char* name;
        const char* script;  // $1 is the file the helper's pid goes to
        int graceMs;
        int code;
    };
    const Row rows[] = {
        {"ended by itself, a helper left behind", "sleep 60 & echo $! > \"$1\"; exit 3", 0, 3},
        {"still running when cut", "sleep 60 & echo $! > \"$1\"; wait", 0, 128 + SIGKILL},
        {"ends within its grace", "sleep 60 & echo $! > \"$1\"; sleep 0.2; exit 5", 10000, 5},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchFolder dir("vx-childend-");
        const std::string pidFile = dir.path + "/helper";
        LaunchOptions launch;
        launch.argv = {"sh", "-c", row.script, "sh", pidFile};
        pid_t leader = 0;
        ASSERT_EQ(Launch(launch, leader), 0);
        const pid_t helper = std::atoi(ReadWhenThere(pidFile, std::chrono::seconds(10)).c_str());
        ASSERT_GT(helper, 0);
        if (row.code == 3) {
            while (!ChildHasEnded(leader))
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }

        bool leaderHeldAtReap = false, helperGoneAtReap = false;
        const int code = EndChildGroup(leader, std::chrono::milliseconds(row.graceMs), {}, [&] {
            // Still ours: ended but unreaped, so its number cannot be anybody else's.
            siginfo_t info{};
            leaderHeldAtReap =
                ::waitid(P_PID, id_t(leader), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                info.si_pid == leader;
            helperGoneAtReap = !Running(helper);
        });
        EXPECT_EQ(code, row.code);
        EXPECT_TRUE(leaderHeldAtReap);
        EXPECT_TRUE(helperGoneAtReap);
        int status = 0;
        EXPECT_EQ(::waitpid(leader, &status, WNOHANG), -1) << "the leader was not reaped";
    }
}

TEST(EndChildGroup, ReapingForgetsTheGroupOnlyOnce) {
    // A child reaped elsewhere (here: already reaped) counts as reaped, code unknown.
    LaunchOptions launch;
    launch.argv = {"true"};
    pid_t pid = 0;
    ASSERT_EQ(Launch(launch, pid), 0);
    int status = 0;
    ASSERT_TRUE(ReapChild(pid, true, status));
    EXPECT_EQ(ExitCodeOf(status), 0);
    EXPECT_TRUE(ChildHasEnded(pid));
    EXPECT_TRUE(ReapChild(pid, false, status));
    EXPECT_EQ(status, -1);
}

TEST(FreshRuntimeFolder, DetachedChildrenGetNoneThatWeRemove) {
    ScratchFolder base("vx-childend-");
    ASSERT_FALSE(base.path.empty());
    // The usual name is taken by a folder others may enter, so a fresh one is made.
    const std::string usual = base.path + "/vx-rt-" + std::to_string(::geteuid());
    ASSERT_EQ(::mkdir(usual.c_str(), 0777), 0);
    ::chmod(usual.c_str(), 0777);
    const std::string fresh = PrivateFolder(base.path, "vx-rt");
    ASSERT_NE(fresh, usual);
    ASSERT_TRUE(IsFreshPrivateFolder(fresh));

    struct Row {
        const char* name;
        std::string runtime;
        std::string seen;
    };
    const Row rows[] = {
        {"a fresh folder of ours: not handed on", fresh, "unset"},
        {"the session's own folder: handed on", usual, usual},
    };
    const char* before = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = before ? before : "";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ::setenv("XDG_RUNTIME_DIR", row.runtime.c_str(), 1);
        const std::string out = base.path + "/seen";
        ::unlink(out.c_str());
        ASSERT_EQ(
            SpawnDetached({"sh", "-c", "echo \"${XDG_RUNTIME_DIR-unset}\" > \"$1\"", "sh", out}),
            0);
        EXPECT_EQ(ReadWhenThere(out, std::chrono::seconds(10)), row.seen);
    }
    if (before)
        ::setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
    else
        ::unsetenv("XDG_RUNTIME_DIR");
    RemoveFreshPrivateFolders();
    EXPECT_FALSE(fs::exists(fresh));
}

TEST(FreshRuntimeFolder, GoesWithAnEndingSignalAndAfterAKillAtTheNextStart) {
    struct Row {
        const char* name;
        int signal;
        bool goneAtOnce;
    };
    const Row rows[] = {
        {"SIGTERM", SIGTERM, true},
        {"SIGINT", SIGINT, true},
        {"SIGHUP", SIGHUP, true},
        {"SIGKILL: the next start removes it", SIGKILL, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScratchFolder base("vx-childend-");
        const std::string usual = base.path + "/vx-rt-" + std::to_string(::geteuid());
        ASSERT_EQ(::mkdir(usual.c_str(), 0700), 0);
        ::chmod(usual.c_str(), 0755);  // not private: a fresh folder is made
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            InstallRunGuard();
            const std::string fresh = PrivateFolder(base.path, "vx-rt") + "\n";
            [[maybe_unused]] ssize_t n = ::write(ready[1], fresh.data(), fresh.size());
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char buf[4096];
        const ssize_t n = ::read(ready[0], buf, sizeof buf);
        ::close(ready[0]);
        ASSERT_GT(n, 1);
        const std::string fresh(buf, size_t(n) - 1);
        ASSERT_TRUE(fs::is_directory(fresh)) << fresh;
        ::kill(child, row.signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_EQ(fs::exists(fresh), !row.goneAtOnce);
        if (!row.goneAtOnce) {
            const std::string next = PrivateFolder(base.path, "vx-rt");
            EXPECT_FALSE(fs::exists(fresh)) << "the killed program's folder is still there";
            EXPECT_TRUE(fs::is_directory(next));
            RemoveFreshPrivateFolders();
        }
    }
}
