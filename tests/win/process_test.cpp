#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <set>

#include "platform/win/process.h"
#include "platform/win/wake.h"
#include "platform/win/wakeHooks.h"
#include "tests/win/win_support.h"

using namespace wintest;

namespace {

struct Started {
    BOOL ok = FALSE_;
    DWORD error = 0;
    PROCESS_INFORMATION pi{};
};

// Starts the test program in child mode with the given command line (hidden, with
// empty standard handles, as the Ghostscript runner does).
Started start(const std::string& line, const char* curDir = nullptr) {
    auto env = ChildEnvironment();
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
    si.wShowWindow = SW_HIDE;
    std::string copy = line;
    Started s;
    s.ok = CreateProcessA(nullptr, copy.data(), nullptr, nullptr, TRUE_,
                          CREATE_DEFAULT_ERROR_MODE | CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS,
                          env.data(), curDir, &si, &s.pi);
    s.error = GetLastError();
    return s;
}

DWORD finish(Started& s) {
    EXPECT_EQ(WaitForSingleObject(s.pi.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(s.pi.hProcess, &code));
    EXPECT_TRUE(CloseHandle(s.pi.hThread));
    EXPECT_TRUE(CloseHandle(s.pi.hProcess));
    return code;
}

std::string q(const std::string& s) { return "\"" + s + "\""; }

// Records the wake registrations the event loop would receive.
std::set<int> g_added, g_removed;
void installRecorder() {
    WakeHooks h;
    h.add = [](int fd) { g_added.insert(fd); };
    h.remove = [](int fd) { g_removed.insert(fd); };
    InstallWakeHooks(h);
}

}  // namespace

TEST(CreateProcess, InterpreterFormRedirectsIntoAwkwardPaths) {
    TempDir t;
    std::string dir = t / "a b $HOME `id` 'q' 中文";
    std::filesystem::create_directories(dir);
    std::string out = dir + "/1 out$x.log", err = dir + "/2 err`y`.log";
    std::string line = "cmd /c \"" + q(SelfExe()) +
                       " \"--out=hello $USER\" \"--err=oops 中\" --code=3 1> " + q(out) + " 2> " +
                       q(err) + "\"";
    Started s = start(line);
    ASSERT_TRUE(s.ok) << s.error;
    EXPECT_EQ(finish(s), 3u);
    EXPECT_EQ(ReadAll(out), "hello $USER\n");
    EXPECT_EQ(ReadAll(err), "oops 中\n");
}

TEST(CreateProcess, RedirectionTruncatesAndDuplicates) {
    TempDir t;
    std::string out = t / "both.log";
    WriteAll(out, "an older and much longer content\n");
    Started s = start("cmd /c \"" + q(SelfExe()) + " --out=A --err=B >" + q(out) + " 2>&1\"");
    ASSERT_TRUE(s.ok);
    finish(s);
    std::string text = ReadAll(out);
    EXPECT_NE(text.find("A\n"), std::string::npos);
    EXPECT_NE(text.find("B\n"), std::string::npos);
    EXPECT_EQ(text.find("older"), std::string::npos);
}

TEST(CreateProcess, PlainFormPassesArgumentsUnchanged) {
    TempDir t;
    std::string log = t / "args.log";
    Started s = start(q(SelfExe()) + " " + q("--write-args=" + log) +
                      " \"two words\" \"$(id)\" 'x' \"a\\\"b\" 中文");
    ASSERT_TRUE(s.ok);
    finish(s);
    EXPECT_EQ(Lines(log), (std::vector<std::string>{"--write-args=" + log, "two words", "$(id)",
                                                    "'x'", "a\"b", "中文"}));
}

TEST(CreateProcess, RunsInTheGivenFolder) {
    TempDir t;
    std::string log = t / "cwd.log";
    Started s = start(q(SelfExe()) + " " + q("--cwd=" + log), t.path.c_str());
    ASSERT_TRUE(s.ok);
    finish(s);
    EXPECT_EQ(std::filesystem::canonical(ReadAll(log)), std::filesystem::canonical(t.path));
}

TEST(CreateProcess, ExeNamesFallBackToTheNameWithout) {
    TempDir t;
    MakeExecutable(t / "helper");
    Started beside = start(q(t / "helper.exe") + " x");
    ASSERT_TRUE(beside.ok) << beside.error;
    EXPECT_EQ(finish(beside), 0u);

    EnvOverride env;
    env.Set("PATH", t.path);
    Started onPath = start("helper.exe");
    ASSERT_TRUE(onPath.ok) << onPath.error;
    EXPECT_EQ(finish(onPath), 0u);
}

TEST(CreateProcess, FailuresReportTheirCause) {
    TempDir t;
    Started missing = start(q(t / "nothing.exe") + " a");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error, ERROR_FILE_NOT_FOUND);

    Started missingViaCmd =
        start("cmd /c \"" + q(t / "gs/gswin32c.exe") + " 1> " + q(t / "o") + "\"");
    EXPECT_FALSE(missingViaCmd.ok);
    EXPECT_EQ(missingViaCmd.error, ERROR_FILE_NOT_FOUND);

    Started badTarget =
        start("cmd /c \"" + q(SelfExe()) + " 1> " + q(t / "no/such/folder/o.log") + "\"");
    EXPECT_FALSE(badTarget.ok);
    EXPECT_EQ(badTarget.error, ERROR_PATH_NOT_FOUND);

    Started badDir = start(q(SelfExe()), (t / "absent").c_str());
    EXPECT_FALSE(badDir.ok);
    EXPECT_EQ(badDir.error, ERROR_DIRECTORY);

    WriteAll(t / "plain", "not a program");
    Started notExec = start(q(t / "plain"));
    EXPECT_FALSE(notExec.ok);
    EXPECT_EQ(notExec.error, ERROR_ACCESS_DENIED);

    Started pipe = start("cmd /c \"" + q(SelfExe()) + " | cat\"");
    EXPECT_FALSE(pipe.ok);
    EXPECT_EQ(pipe.error, ERROR_INVALID_PARAMETER);
}

TEST(ProcessLifetime, StillActiveUntilTheChildEndsThenItsCode) {
    TempDir t;
    std::string go = t / "go";
    Started s = start(q(SelfExe()) + " " + q("--wait-for=" + go) + " --code=7");
    ASSERT_TRUE(s.ok);
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(s.pi.hProcess, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(s.pi.hProcess, 0), WAIT_TIMEOUT);
    WriteAll(go, "");
    EXPECT_EQ(WaitForSingleObject(s.pi.hThread, INFINITE), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(s.pi.hProcess, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(finish(s), 7u);  // asking again gives the same code
}

TEST(ProcessLifetime, TerminateGivesTheRequestedCode) {
    TempDir t;
    Started s = start(q(SelfExe()) + " " + q("--wait-for=" + t / "never"));
    ASSERT_TRUE(s.ok);
    EXPECT_TRUE(TerminateProcess(s.pi.hProcess, 42));
    EXPECT_EQ(finish(s), 42u);
}

TEST(ProcessLifetime, ClosedHandlesAreRejected) {
    TempDir t;
    Started s = start(q(SelfExe()));
    ASSERT_TRUE(s.ok);
    finish(s);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeProcess(s.pi.hProcess, &code));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(CloseHandle(s.pi.hProcess));
    EXPECT_EQ(WaitForSingleObject(s.pi.hProcess, 0), WAIT_FAILED);
}

TEST(ProcessLifetime, AChildWhoseHandlesAreClosedLeavesNoZombie) {
    TempDir t;
    std::string go = t / "go";
    Started s = start(q(SelfExe()) + " " + q("--wait-for=" + go));
    ASSERT_TRUE(s.ok);
    pid_t pid = pid_t(s.pi.dwProcessId);
    int watch = int(::syscall(SYS_pidfd_open, pid, 0));
    ASSERT_GE(watch, 0);
    CloseHandle(s.pi.hThread);
    CloseHandle(s.pi.hProcess);
    WriteAll(go, "");
    pollfd p{watch, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, -1), 1);  // it has ended
    ::close(watch);
    ReapFinishedProcesses();
    EXPECT_EQ(::kill(pid, 0), -1);  // reaped, so the pid no longer exists
    EXPECT_EQ(errno, ESRCH);
}

TEST(ProcessWake, TheWakeFdTurnsReadableWhenTheChildEnds) {
    installRecorder();
    g_added.clear();
    g_removed.clear();
    TempDir t;
    std::string go = t / "go";
    Started s = start(q(SelfExe()) + " " + q("--wait-for=" + go));
    ASSERT_TRUE(s.ok);
    ASSERT_EQ(g_added.size(), 1u);
    int fd = *g_added.begin();
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(::poll(&p, 1, 0), 0);  // not while it runs
    WriteAll(go, "");
    EXPECT_EQ(::poll(&p, 1, -1), 1);  // the message wait would end here
    EXPECT_TRUE(g_removed.empty());
    DWORD code = 0;
    GetExitCodeProcess(s.pi.hProcess, &code);  // reaps it
    EXPECT_EQ(g_removed, std::set<int>{fd});   // and no longer wakes anybody
    finish(s);
    InstallWakeHooks(WakeHooks{});
}

TEST(ProcessWake, ClosingARunningProcessUnregistersItsFd) {
    installRecorder();
    g_added.clear();
    g_removed.clear();
    TempDir t;
    std::string go = t / "go";
    Started s = start(q(SelfExe()) + " " + q("--wait-for=" + go));
    ASSERT_TRUE(s.ok);
    ASSERT_EQ(g_added.size(), 1u);
    CloseHandle(s.pi.hProcess);
    EXPECT_TRUE(g_removed.empty());  // the thread handle still refers to it
    CloseHandle(s.pi.hThread);
    EXPECT_EQ(g_removed, g_added);
    WriteAll(go, "");
    InstallWakeHooks(WakeHooks{});
}

TEST(SearchProgram, FindsOnPathAndMapsExeNames) {
    TempDir t;
    MakeExecutable(t / "tool");
    EnvOverride env;
    env.Set("PATH", "/nonexistent:" + t.path);
    EXPECT_EQ(SearchProgram("tool"), t / "tool");
    EXPECT_EQ(SearchProgram("tool.exe"), t / "tool");
    EXPECT_EQ(SearchProgram("TOOL.EXE"), "");  // file names stay case-sensitive
    EXPECT_EQ(SearchProgram("absent"), "");
}
