#include "platform/win/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/passedErrors.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/cmdline.h"
#include "platform/win/launcher.h"
#include "platform/win/module.h"
#include "platform/win/privateFolder.h"
#include "platform/win/wake.h"

extern char** environ;

namespace {

// ---------------------------------------------------------------- reaping

// Children whose handles are all closed while they still run. The SIGCHLD handler reaps
// exactly these pids (never anybody else's children); slots are lock-free for it.
constexpr int kOrphanSlots = 256;
std::atomic<pid_t> g_orphans[kOrphanSlots];
struct sigaction g_oldChild;
std::atomic<bool> g_handlerInstalled{false};

void reapOrphanSlots() {
    for (auto& slot : g_orphans) {
        pid_t p = slot.load();
        if (p <= 0) continue;
        int st = 0;
        if (ReapChild(p, false, st)) slot.compare_exchange_strong(p, 0);
    }
}

void onChild(int sig, siginfo_t* info, void* ctx) {
    int saved = errno;
    reapOrphanSlots();
    errno = saved;
    if (g_oldChild.sa_flags & SA_SIGINFO) {
        if (g_oldChild.sa_sigaction) g_oldChild.sa_sigaction(sig, info, ctx);
    } else if (g_oldChild.sa_handler != SIG_DFL && g_oldChild.sa_handler != SIG_IGN) {
        g_oldChild.sa_handler(sig);
    }
}

void installChildHandler() {
    if (g_handlerInstalled.exchange(true)) return;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_sigaction = onChild;
    sa.sa_flags = SA_SIGINFO | SA_RESTART | SA_NOCLDSTOP;
    sigemptyset(&sa.sa_mask);
    if (sigaction(SIGCHLD, &sa, &g_oldChild) != 0) {
        // Ended children are then reaped by the waits alone; the next start tries again.
        LogPassedError("process layer",
                       std::string("no handler for ended children: ") + std::strerror(errno));
        g_handlerInstalled = false;
    }
}

std::mutex g_overflowMutex;
std::vector<pid_t> g_overflow;  // orphans beyond the slots, reaped on the next call

void adoptOrphan(pid_t pid) {
    installChildHandler();
    for (auto& slot : g_orphans) {
        pid_t expected = 0;
        if (slot.compare_exchange_strong(expected, pid)) {
            reapOrphanSlots();  // it may have ended before it had a slot
            return;
        }
    }
    std::lock_guard<std::mutex> lock(g_overflowMutex);
    g_overflow.push_back(pid);
}

// ---------------------------------------------------------------- process objects

struct ProcState {
    pid_t pid = 0;
    ScopedFd pidfd;
    bool reaped = false;
    DWORD exitCode = STILL_ACTIVE;
    bool terminated = false;
    DWORD terminateCode = 0;

    ~ProcState() {
        poll();
        release();
        if (!reaped) adoptOrphan(pid);
    }
    void release() {
        if (pidfd.valid()) {
            UnregisterWakeFd(pidfd.get());
            pidfd.reset();
        }
    }
    // Reaps the child when it has ended; true once it has.
    bool poll() {
        if (reaped) return true;
        int st = 0;
        if (!ReapChild(pid, false, st)) return false;
        // st is -1 when somebody else reaped it (SIGCHLD ignored by the program): the code
        // is lost.
        reaped = true;
        // A status that tells no code (none reaped ends with an exit or a signal) is a failure.
        const int code = st == -1 ? 0 : ExitCodeOf(st);
        exitCode = terminated ? terminateCode : code < 0 ? 1 : DWORD(code);
        release();
        return true;
    }
};

std::mutex g_liveMutex;
std::vector<std::weak_ptr<ProcState>> g_live;

void trackLive(const std::shared_ptr<ProcState>& st) {
    std::lock_guard<std::mutex> lock(g_liveMutex);
    std::erase_if(g_live, [](const std::weak_ptr<ProcState>& w) { return w.expired(); });
    g_live.push_back(st);
}

int64_t monotonicMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

class ProcessObject : public KernelObject {
public:
    explicit ProcessObject(std::shared_ptr<ProcState> s) : st(std::move(s)) {}
    DWORD Wait(DWORD ms) override {
        if (st->poll()) return WAIT_OBJECT_0;
        int64_t deadline = ms == INFINITE ? -1 : monotonicMs() + ms;
        for (;;) {
            int timeout = -1;
            if (deadline >= 0) {
                int64_t left = deadline - monotonicMs();
                if (left < 0) left = 0;
                timeout = int(std::min<int64_t>(left, INT_MAX));
            }
            if (st->pidfd.valid()) {
                pollfd p{st->pidfd.get(), POLLIN, 0};
                int r = ::poll(&p, 1, timeout);
                if (r < 0 && errno != EINTR) return WAIT_FAILED;
            } else {
                // No pidfd (old kernel): look again every few milliseconds.
                int step = timeout < 0 ? 5 : std::min(timeout, 5);
                ::usleep(useconds_t(step) * 1000);
            }
            if (st->poll()) return WAIT_OBJECT_0;
            if (deadline >= 0 && monotonicMs() >= deadline) return WAIT_TIMEOUT;
        }
    }
    std::shared_ptr<ProcState> st;
};

class ThreadObject : public ProcessObject {
    using ProcessObject::ProcessObject;
};

// ---------------------------------------------------------------- program search

std::vector<std::string> candidates(const std::string& name) {
    std::vector<std::string> c{name};
    if (name.size() > 4 && SameText(name.substr(name.size() - 4), ".exe"))
        c.push_back(name.substr(0, name.size() - 4));
    return c;
}

std::string resolveProgram(const std::string& name, bool besideUs, int& err) {
    err = ENOENT;
    std::vector<std::string> first;
    if (besideUs && name.find('/') == std::string::npos)
        first.push_back(ExtractFileDir(ModuleFileName()));
    for (auto& c : candidates(name)) {
        int e = ENOENT;
        std::string found = FindProgram(c, e, nullptr, first);
        if (!found.empty()) return c.find('/') != std::string::npos ? ExpandFileName(found) : found;
        if (e == EACCES) err = EACCES;
    }
    return "";
}

// ---------------------------------------------------------------- spawning

int openNull(int flags) { return ::open("/dev/null", flags | O_CLOEXEC); }

BOOL failWith(DWORD err, int posixErr) {
    SetLastError(err);
    errno = posixErr;  // RaiseLastOSError reads errno
    return FALSE_;
}

void sweepOverflow() {
    std::lock_guard<std::mutex> lock(g_overflowMutex);
    std::erase_if(g_overflow, [](pid_t p) {
        int st = 0;
        return ReapChild(p, false, st);
    });
}

}  // namespace

void ReapFinishedProcesses() {
    reapOrphanSlots();
    sweepOverflow();
    std::vector<std::shared_ptr<ProcState>> live;
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        for (auto& w : g_live)
            if (auto s = w.lock()) live.push_back(s);
    }
    for (auto& s : live) s->poll();
}

std::string SearchProgram(const std::string& name) {
    int err = 0;
    return resolveProgram(name, false, err);
}

BOOL CreateProcessA(const char* appName, char* cmdLine, SECURITY_ATTRIBUTES*, SECURITY_ATTRIBUTES*,
                    BOOL, DWORD, void* env, const char* curDir, STARTUPINFOA* startup,
                    PROCESS_INFORMATION* procInfo) {
    ReapFinishedProcesses();
    std::string line = cmdLine ? cmdLine : "";
    std::string app = appName ? appName : "";
    if (line.empty() && app.empty()) return failWith(ERROR_INVALID_PARAMETER, EINVAL);

    ParsedCommand cmd;
    std::string why;
    if (!line.empty() && !ParseCommand(line, cmd, &why))
        return failWith(ERROR_INVALID_PARAMETER, EINVAL);
    if (cmd.argv.empty()) cmd.argv.push_back(app);
    std::string name = app.empty() || cmd.viaInterpreter ? cmd.argv[0] : app;

    int err = 0;
    std::string program = resolveProgram(name, true, err);
    if (program.empty()) return failWith(Win32ErrorOf(err), err);

    std::string cwd = curDir && *curDir ? curDir : "";
    if (!cwd.empty() && !DirectoryExists(cwd)) return failWith(ERROR_DIRECTORY, ENOTDIR);

    // Standard streams: our own, or empty ones when the caller hands over null handles.
    ScopedFd io[3];
    bool ownStd = startup && (startup->dwFlags & STARTF_USESTDHANDLES);
    for (int i = 0; i < 3; ++i) {
        int fd = ownStd ? openNull(i == 0 ? O_RDONLY : O_WRONLY) : ::fcntl(i, F_DUPFD_CLOEXEC, 3);
        if (fd < 0) fd = openNull(i == 0 ? O_RDONLY : O_WRONLY);
        io[i].reset(fd);
    }
    for (auto& r : cmd.redirections) {
        int fd = -1;
        switch (r.kind) {
            // What a program says may quote the files it read: its owner's only.
            case Redirection::Write:
                fd = ::open(r.file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
                break;
            case Redirection::Append:
                fd = ::open(r.file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
                break;
            case Redirection::Read:
                fd = ::open(r.file.c_str(), O_RDONLY | O_CLOEXEC);
                break;
            case Redirection::Duplicate:
                fd = ::fcntl(io[r.sourceFd].get(), F_DUPFD_CLOEXEC, 3);
                break;
        }
        if (fd < 0) {
            int e = errno;
            return failWith(Win32ErrorOfPath(e, r.file), e);
        }
        io[r.fd].reset(fd);
    }

    std::vector<std::string> envList;
    if (env) {
        for (const char* p = static_cast<const char*>(env); *p; p += std::strlen(p) + 1)
            envList.emplace_back(p);
    }

    // Every child runs in a group of its own (TerminateProcess reaches its helpers), ends
    // with this program, is ended with it on the signals that end it, and may not take
    // more memory than a child may.
    LaunchOptions launch;
    launch.argv = cmd.argv;
    launch.argv[0] = program;
    if (env) launch.env = std::move(envList);
    launch.workDir = cwd;
    launch.stdIn = io[0].get();
    launch.stdOut = io[1].get();
    launch.stdErr = io[2].get();
    launch.parentDeathSignal = SIGKILL;
    launch.endWithProgram = true;
    launch.addressSpaceLimit = ChildMemoryLimit();
    pid_t pid = 0;
    int rc = Launch(launch, pid);
    if (rc != 0) return failWith(Win32ErrorOf(rc), rc);

    auto st = std::make_shared<ProcState>();
    st->pid = pid;
    st->pidfd.reset(int(::syscall(SYS_pidfd_open, pid, 0)));
    if (st->pidfd.valid()) RegisterWakeFd(st->pidfd.get());
    trackLive(st);
    if (procInfo) {
        procInfo->hProcess = AddHandle(std::make_shared<ProcessObject>(st));
        procInfo->hThread = AddHandle(std::make_shared<ThreadObject>(st));
        procInfo->dwProcessId = DWORD(pid);
        procInfo->dwThreadId = DWORD(pid);
    }
    // Without procInfo nobody can ask: st goes out of scope and the child is an orphan.
    SetLastError(ERROR_SUCCESS);
    return TRUE_;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
    auto obj = LookupHandleAs<ProcessObject>(process);
    if (!obj || !exitCode) return failWith(ERROR_INVALID_HANDLE, EBADF);
    obj->st->poll();
    *exitCode = obj->st->exitCode;
    return TRUE_;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
    auto obj = LookupHandleAs<ProcessObject>(process);
    if (!obj) return failWith(ERROR_INVALID_HANDLE, EBADF);
    auto& st = *obj->st;
    if (st.poll()) return failWith(ERROR_ACCESS_DENIED, ESRCH);  // already ended
    st.terminated = true;
    st.terminateCode = exitCode;
    // Not reaped yet, so the group id cannot have been reused.
    if (::kill(-st.pid, SIGKILL) != 0) ::kill(st.pid, SIGKILL);
    return TRUE_;
}

DWORD GetProcessId(HANDLE process) {
    auto obj = LookupHandleAs<ProcessObject>(process);
    return obj ? DWORD(obj->st->pid) : 0;
}

int SpawnDetached(const std::vector<std::string>& argv) {
    ReapFinishedProcesses();
    if (argv.empty()) return EINVAL;
    int err = 0;
    std::string program = resolveProgram(argv[0], false, err);
    if (program.empty()) return err;
    // A viewer or opener outlives us: a session of its own, no parent-death signal, and
    // no runtime folder that goes when we end (it makes its own).
    LaunchOptions launch;
    launch.argv = argv;
    launch.argv[0] = program;
    launch.newSession = true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && IsFreshPrivateFolder(runtime)) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0) env.emplace_back(*e);
        launch.env = std::move(env);
    }
    pid_t pid = 0;
    int rc = Launch(launch, pid);
    if (rc != 0) return rc;
    adoptOrphan(pid);
    return 0;
}
