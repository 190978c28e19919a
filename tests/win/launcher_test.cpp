// The launcher: arguments reach the child exactly, the child gets the streams, folder and
// environment it is given and no other descriptor, runs in a group of its own, and dies
// with its parent when asked to.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "platform/rtl/noProgressLimit.h"
#include "platform/win/launcher.h"
#include "win_support.h"

namespace {

using namespace wintest;

std::vector<std::string> ChildEnv() {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    env.emplace_back("VX_WIN_TEST_CHILD=1");
    return env;
}

int WaitExit(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits (bounded) until the process is gone; false when it still runs after the bound.
bool GoneWithin(pid_t pid, std::chrono::milliseconds bound) {
    const auto end = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < end) {
        if (::kill(pid, 0) != 0) return true;
        // A zombie of another parent counts as ended.
        std::string stat = ReadAll("/proc/" + std::to_string(pid) + "/stat");
        size_t close = stat.rfind(')');
        if (close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z')
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(Launcher, ArgumentsAreDataAndStreamsFolderEnvironmentAsGiven) {
    TempDir dir("vxlaunch");
    const std::string args = dir / "args.txt";
    const std::string cwd = dir / "cwd.txt";
    ScopedFd out(::open((dir / "out.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    LaunchOptions launch;
    launch.argv = {SelfExe(),      "%pipe%touch X", "@evil.ps",
                   "-sDEVICE=x",   "a \"b\" c",     "--write-args=" + args,
                   "--cwd=" + cwd, "--out=hello",   "--code=7"};
    launch.env = ChildEnv();
    launch.workDir = dir.path;
    launch.stdOut = out.get();
    pid_t pid = -1;
    ASSERT_EQ(Launch(launch, pid), 0);
    EXPECT_EQ(WaitExit(pid), 7);
    EXPECT_EQ(Lines(args), std::vector<std::string>(launch.argv.begin() + 1, launch.argv.end()));
    EXPECT_EQ(ReadAll(cwd), dir.path);
    EXPECT_EQ(ReadAll(dir / "out.txt"), "hello\n");
    EXPECT_FALSE(Exists(dir / "X"));
}

TEST(Launcher, MissingProgramOrFolderIsAnErrorNotAChild) {
    LaunchOptions launch;
    pid_t pid = -1;
    launch.argv = {"/nonexistent/program"};
    EXPECT_EQ(Launch(launch, pid), ENOENT);
    launch.argv = {"vx-no-such-program-anywhere"};
    EXPECT_EQ(Launch(launch, pid), ENOENT);
    launch.argv = {"true"};
    launch.workDir = "/nonexistent/folder";
    EXPECT_EQ(Launch(launch, pid), ENOENT);
    EXPECT_EQ(pid, -1);
}

TEST(Launcher, OnlyKeptDescriptorsReachTheChild) {
    TempDir dir("vxlaunch");
    // An inheritable descriptor of ours that the child must not see, and one it keeps.
    const int stray = ::open("/dev/null", O_RDONLY);
    const int kept = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(stray, 3);
    LaunchOptions launch;
    launch.argv = {SelfExe(), "--fds=" + (dir / "fds.txt")};
    launch.env = ChildEnv();
    launch.keepFds = {kept};
    pid_t pid = -1;
    ASSERT_EQ(Launch(launch, pid), 0);
    EXPECT_EQ(WaitExit(pid), 0);
    ::close(stray);
    ::close(kept);
    EXPECT_EQ(Lines(dir / "fds.txt"), std::vector<std::string>{std::to_string(kept)});
}

// The "Max address space" soft limit a child started with the limit reports, in bytes or
// "unlimited".
std::string ChildAddressSpace(uint64_t limit) {
    TempDir dir("vxlaunch");
    ScopedFd out(::open((dir / "limits.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
    LaunchOptions launch;
    launch.argv = {"cat", "/proc/self/limits"};
    launch.stdOut = out.get();
    launch.addressSpaceLimit = limit;
    pid_t pid = -1;
    if (Launch(launch, pid) != 0 || WaitExit(pid) != 0) return "no child";
    for (const std::string& line : Lines(dir / "limits.txt")) {
        if (line.rfind("Max address space", 0) != 0) continue;
        std::istringstream words(line.substr(17));
        std::string soft;
        words >> soft;
        return soft;
    }
    return "no line";
}

TEST(Launcher, TheAddressSpaceLimitIsSetUnlessItIsNone) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "children of a sanitized program start without the limit";
#endif
    rlimit ours{};
    ASSERT_EQ(::getrlimit(RLIMIT_AS, &ours), 0);
    const std::string inherited =
        ours.rlim_cur == RLIM_INFINITY ? "unlimited" : std::to_string(ours.rlim_cur);
    const uint64_t small = uint64_t(512) << 20;
    if (ours.rlim_cur == RLIM_INFINITY || ours.rlim_cur > small) {
        EXPECT_EQ(ChildAddressSpace(small), std::to_string(small));
    }
    EXPECT_EQ(ChildAddressSpace(0), inherited);
    EXPECT_EQ(ChildAddressSpace(kNoChildMemoryLimit), inherited);
}

TEST(Launcher, OwnProcessGroupEndedAsAWhole) {
    LaunchOptions launch;
    launch.argv = {"sleep", "60"};
    launch.endWithProgram = true;
    pid_t pid = -1;
    ASSERT_EQ(Launch(launch, pid), 0);
    EXPECT_EQ(::getpgid(pid), pid);
    EndLaunchedChildren();
    EXPECT_EQ(WaitExit(pid), 128 + SIGKILL);
    ForgetLaunchedChild(pid);
}

TEST(Launcher, ParentDeathSignalEndsTheGrandchildWhenItsParentIsKilled) {
    TempDir dir("vxlaunch");
    const std::string pidFile = dir / "sleeper.pid";
    LaunchOptions launch;
    launch.argv = {SelfExe(), "--sleeper=" + pidFile};
    launch.env = ChildEnv();
    pid_t parent = -1;
    ASSERT_EQ(Launch(launch, parent), 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Exists(pidFile) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(Exists(pidFile)) << "the child did not start its sleeper within 20 s";
    const pid_t sleeper = std::atoi(ReadAll(pidFile).c_str());
    ASSERT_GT(sleeper, 0);
    ::kill(parent, SIGKILL);
    EXPECT_EQ(WaitExit(parent), 128 + SIGKILL);
    EXPECT_TRUE(GoneWithin(sleeper, std::chrono::seconds(1)))
        << "the sleeper outlived its killed parent by more than a second";
    ::kill(sleeper, SIGKILL);
}

TEST(ScopedFd, ClosesOnceAndHandsOver) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    {
        ScopedFd a(fds[0]);
        ScopedFd b(std::move(a));
        // The emptied source is the point here.
        EXPECT_FALSE(a.valid());  // NOLINT(bugprone-use-after-move)
        EXPECT_EQ(b.get(), fds[0]);
        ScopedFd c;
        c = std::move(b);
        EXPECT_EQ(c.get(), fds[0]);
    }
    EXPECT_EQ(::fcntl(fds[0], F_GETFD), -1);  // closed by its last owner
    ScopedFd w(fds[1]);
    const int raw = w.release();
    EXPECT_NE(::fcntl(raw, F_GETFD), -1);  // released, not closed
    ::close(raw);
}

}  // namespace
