#include "platform/win/launcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/passedErrors.h"
#include "platform/rtl/startTrace.h"

extern char** environ;

int ScopedFd::reset(int fd) {
    int rc = 0;
    if (fd_ >= 0 && fd_ != fd) rc = ::close(fd_);
    fd_ = fd;
    return rc;
}

bool MakePipe(ScopedFd& readEnd, ScopedFd& writeEnd) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return false;
    readEnd.reset(fds[0]);
    writeEnd.reset(fds[1]);
    return true;
}

namespace {

// ---------------------------------------------------------------- children to end

// Process groups of running children started with endWithProgram. Lock-free slots, so a
// signal handler can read them.
constexpr int kGroupSlots = 128;
std::atomic<pid_t> g_groups[kGroupSlots];

void rememberGroup(pid_t pid) {
    // A program that ends by exit (an unattended run ends from a message's timer) takes
    // its children with it.
    static const bool hooked = std::atexit(EndLaunchedChildren) == 0;
    (void)hooked;
    for (auto& slot : g_groups) {
        pid_t expected = 0;
        if (slot.compare_exchange_strong(expected, pid)) return;
    }
}

// ---------------------------------------------------------------- program search

bool isExecutableFile(const std::string& path, int& err) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        err = ENOENT;
        return false;
    }
    if (::access(path.c_str(), X_OK) != 0) {
        err = EACCES;
        return false;
    }
    return true;
}

std::string pathVariable(const std::vector<std::string>* env) {
    if (env) {
        for (const auto& e : *env)
            if (e.compare(0, 5, "PATH=") == 0) return e.substr(5);
    }
    const char* p = std::getenv("PATH");
    return p ? p : "/usr/local/bin:/usr/bin:/bin";
}

// ---------------------------------------------------------------- the child side

// Everything the child needs, prepared before the fork: the child only makes system calls.
struct ChildPlan {
    const char* program;
    char* const* argv;
    char* const* envp;
    const char* workDir;
    int streams[3];  // >= 3: duplicate onto the stream; kInherit: leave it
    const int* keep;
    size_t keepCount;
    bool newGroup;
    bool newSession;
    int deathSignal;
    rlim_t addressSpace;  // 0: as ours
    pid_t parent;
    int errorPipe;  // the errno of a failed start is written here; exec closes it
};

[[noreturn]] void childFail(const ChildPlan* plan, int err) {
    [[maybe_unused]] ssize_t n = ::write(plan->errorPipe, &err, sizeof err);
    ::_exit(127);
}

[[noreturn]] void runChild(const ChildPlan* plan) {
    // Signals caught by this program are reset; the child starts with nothing blocked.
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof dfl);
    dfl.sa_handler = SIG_DFL;
    for (int sig = 1; sig < NSIG; ++sig) {
        if (sig == SIGKILL || sig == SIGSTOP) continue;
        // The signals the C library keeps for itself answer EINVAL; they are not ours.
        if (::sigaction(sig, &dfl, nullptr) != 0 && errno != EINVAL) childFail(plan, errno);
    }
    if (plan->newSession) {
        if (::setsid() < 0) childFail(plan, errno);
    } else if (plan->newGroup) {
        if (::setpgid(0, 0) != 0) childFail(plan, errno);
    }
    if (plan->deathSignal) {
        ::prctl(PR_SET_PDEATHSIG, plan->deathSignal);
        // The parent may have ended before the signal was armed.
        if (::getppid() != plan->parent) ::_exit(127);
    }
    for (int i = 0; i < 3; ++i) {
        if (plan->streams[i] >= 0 && ::dup2(plan->streams[i], i) < 0) childFail(plan, errno);
    }
#ifdef SYS_close_range
    // Everything above the standard streams closes on exec, except what is kept.
    ::syscall(SYS_close_range, 3u, ~0u, 4u /* CLOSE_RANGE_CLOEXEC */);
#endif
    for (size_t k = 0; k < plan->keepCount; ++k) ::fcntl(plan->keep[k], F_SETFD, 0);
    if (plan->addressSpace) {
        const rlimit limit{plan->addressSpace, plan->addressSpace};
        if (::setrlimit(RLIMIT_AS, &limit) != 0) childFail(plan, errno);
    }
    if (plan->workDir && ::chdir(plan->workDir) != 0) childFail(plan, errno);
    sigset_t none;
    sigemptyset(&none);
    if (::sigprocmask(SIG_SETMASK, &none, nullptr) != 0) childFail(plan, errno);
    ::execve(plan->program, plan->argv, plan->envp);
    childFail(plan, errno);
}

// The address-space limit to give a child: the one asked for, unless ours is as low (then
// ours, which the child inherits; the hard limit is never below the soft one).
rlim_t addressSpaceFor(uint64_t asked) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    (void)asked;
    return 0;
#else
    rlimit ours{};
    if (asked == 0 || asked == kNoChildMemoryLimit || ::getrlimit(RLIMIT_AS, &ours) != 0) return 0;
    if (ours.rlim_cur != RLIM_INFINITY && ours.rlim_cur <= asked) return 0;
    return rlim_t(asked);
#endif
}

std::vector<char*> pointers(const std::vector<std::string>& strings) {
    std::vector<char*> out;
    out.reserve(strings.size() + 1);
    for (const auto& s : strings) out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

}  // namespace

std::string FindProgram(const std::string& name, int& err, const std::vector<std::string>* env,
                        const std::vector<std::string>& first) {
    err = ENOENT;
    if (name.empty()) return "";
    int e = ENOENT;
    if (name.find('/') != std::string::npos) {
        if (isExecutableFile(name, e)) return name;
        err = e;
        return "";
    }
    std::vector<std::string> dirs = first;
    const std::string path = pathVariable(env);
    for (size_t i = 0; i <= path.size();) {
        size_t j = path.find(':', i);
        if (j == std::string::npos) j = path.size();
        if (j > i) dirs.push_back(path.substr(i, j - i));
        i = j + 1;
    }
    for (std::string dir : dirs) {
        if (dir.empty()) continue;
        if (dir.back() != '/') dir += '/';
        if (isExecutableFile(dir + name, e)) return dir + name;
        if (e == EACCES) err = EACCES;
    }
    return "";
}

int Launch(const LaunchOptions& options, pid_t& pid) {
    pid = -1;
    if (options.argv.empty()) return EINVAL;
    int err = 0;
    const std::string program =
        FindProgram(options.argv[0], err, options.env ? &*options.env : nullptr);
    if (program.empty()) return err;

    // Stream descriptors are moved above 2 first, so one dup2 never overwrites the
    // source of another.
    ScopedFd streams[3];
    const int given[3] = {options.stdIn, options.stdOut, options.stdErr};
    for (int i = 0; i < 3; ++i) {
        if (given[i] == LaunchOptions::kInherit) continue;
        int fd = given[i] >= 0 ? ::fcntl(given[i], F_DUPFD_CLOEXEC, 3)
                               : ::open("/dev/null", (i == 0 ? O_RDONLY : O_WRONLY) | O_CLOEXEC);
        if (fd < 0) return errno;
        if (fd < 3) {  // our own standard streams were closed: lift it
            int high = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
            ::close(fd);
            if (high < 0) return errno;
            fd = high;
        }
        streams[i].reset(fd);
    }

    std::vector<char*> argv = pointers(options.argv);
    std::vector<char*> envp = options.env ? pointers(*options.env) : std::vector<char*>{};
    ScopedFd errorRead, errorWrite;
    if (!MakePipe(errorRead, errorWrite)) return errno;
    ChildPlan plan{};
    plan.program = program.c_str();
    plan.argv = argv.data();
    plan.envp = options.env ? envp.data() : environ;
    plan.workDir = options.workDir.empty() ? nullptr : options.workDir.c_str();
    for (int i = 0; i < 3; ++i) plan.streams[i] = streams[i].valid() ? streams[i].get() : -1;
    plan.keep = options.keepFds.data();
    plan.keepCount = options.keepFds.size();
    plan.newGroup = options.newProcessGroup;
    plan.newSession = options.newSession;
    plan.deathSignal = options.parentDeathSignal;
    plan.addressSpace = addressSpaceFor(options.addressSpaceLimit);
    plan.parent = ::getpid();
    plan.errorPipe = errorWrite.get();

    // No handler of ours may run in the child between the fork and the exec.
    sigset_t all, old;
    sigfillset(&all);
    if (const int err = ::pthread_sigmask(SIG_SETMASK, &all, &old); err != 0) return err;
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    // The sanitizers' run-time does not follow a child that shares our memory.
    const pid_t child = ::fork();
#else
    const pid_t child = ::vfork();
#endif
    if (child == 0) runChild(&plan);
    const int forkErr = errno;
    if (const int err = ::pthread_sigmask(SIG_SETMASK, &old, nullptr); err != 0)
        LogPassedError("launcher", std::string("signals not restored: ") + std::strerror(err));
    if (child < 0) return forkErr;

    // The pipe ends empty when exec succeeded (it closed the child's end).
    errorWrite.reset();
    int childError = 0;
    ssize_t got;
    while ((got = ::read(errorRead.get(), &childError, sizeof childError)) < 0 && errno == EINTR) {}
    if (got == ssize_t(sizeof childError)) {
        int status = 0;
        ReapChild(child, true, status);
        return childError;
    }
    pid = child;
    StartTrace("child-started");
    // The group exists once the child has called setpgid; set it from here as well, so a
    // signal sent to the group right after Launch returns cannot miss it.
    if (options.newProcessGroup && !options.newSession) ::setpgid(child, child);
    if (options.endWithProgram && (options.newProcessGroup || options.newSession))
        rememberGroup(child);
    return 0;
}

void EndLaunchedChildren() {
    for (auto& slot : g_groups) {
        const pid_t g = slot.load();
        if (g > 0) ::kill(-g, SIGKILL);
    }
}

void ForgetLaunchedChild(pid_t pid) {
    if (pid <= 0) return;
    for (auto& slot : g_groups) {
        pid_t expected = pid;
        slot.compare_exchange_strong(expected, 0);
    }
}

// ---------------------------------------------------------------- ends of children

bool ChildHasEnded(pid_t pid) {
    siginfo_t info;
    for (;;) {
        std::memset(&info, 0, sizeof info);
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
            return info.si_pid == pid;
        if (errno != EINTR) return true;  // not ours (any more)
    }
}

bool ReapChild(pid_t pid, bool wait, int& status) {
    status = -1;
    if (pid <= 0) return true;
    if (!wait && !ChildHasEnded(pid)) return false;
    // Its group is no longer ended at exit from the moment its number may be reused.
    ForgetLaunchedChild(pid);
    for (;;) {
        int st = 0;
        const pid_t r = ::waitpid(pid, &st, wait ? 0 : WNOHANG);
        if (r == pid) {
            status = st;
            return true;
        }
        if (r < 0 && errno == EINTR) continue;
        return r < 0;  // ECHILD: somebody else reaped it
    }
}

int ExitCodeOf(int status) {
    if (status == -1) return -1;
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

bool ForEachProcessStatLine(const std::function<bool(const char* line)>& visit) {
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    while (dirent* e = ::readdir(proc)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        char path[300];
        std::snprintf(path, sizeof path, "/proc/%s/stat", e->d_name);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;  // ended meanwhile
        char line[1024];
        const ssize_t n = ::read(fd, line, sizeof line - 1);
        ::close(fd);
        if (n <= 0) continue;
        line[n] = 0;
        if (!visit(line)) break;
    }
    ::closedir(proc);
    return true;
}

bool ReadProcessStatLine(const char* line, ProcessStat& out) {
    // The name may hold blanks and parentheses: the fields start after the last ")".
    const char* p = line ? std::strrchr(line, ')') : nullptr;
    if (!p) return false;
    ++p;
    // Fields from 3 on: state, ppid, pgrp, session, tty, tpgid, flags, minflt, cminflt,
    // majflt, cmajflt, utime (14), stime (15), ..., vsize (23), which may be missing.
    long long fields[24] = {};
    for (int field = 3; field <= 23; ++field) {
        while (*p == ' ') ++p;
        if (!*p) {
            if (field <= 15) return false;
            break;
        }
        if (field == 3) {
            out.state = *p++;
            continue;
        }
        char* end = nullptr;
        errno = 0;
        fields[field] = std::strtoll(p, &end, 10);
        if (end == p || errno != 0) {
            if (field <= 15) return false;
            fields[field] = 0;
            break;
        }
        p = end;
    }
    out.ppid = fields[4];
    out.group = fields[5];
    out.userTicks = static_cast<unsigned long long>(fields[14]);
    out.systemTicks = static_cast<unsigned long long>(fields[15]);
    out.addressSpace = static_cast<unsigned long long>(fields[23]);
    return true;
}

bool GroupIsGone(pid_t group) {
    bool gone = true;
    const bool read = ForEachProcessStatLine([&](const char* line) {
        ProcessStat stat;
        if (ReadProcessStatLine(line, stat) && stat.group == group && stat.state != 'Z' &&
            stat.state != 'X')
            gone = false;
        return gone;
    });
    return read ? gone : ::kill(-group, 0) != 0;
}

int EndChildGroup(pid_t leader, std::chrono::milliseconds grace, const std::function<void()>& idle,
                  const std::function<void()>& beforeReap) {
    using Clock = std::chrono::steady_clock;
    if (leader <= 0) return -1;
    auto pause = [&] {
        if (idle) idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    };
    const auto graceEnd = Clock::now() + grace;
    while (!ChildHasEnded(leader) && Clock::now() < graceEnd) pause();
    // The leader is not reaped, so the group's number is still ours to signal. It is
    // signalled again until nothing else is left: a helper may be starting meanwhile.
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    bool ended = false;
    for (;;) {
        ::kill(-leader, SIGKILL);
        ended = ChildHasEnded(leader);
        if ((ended && GroupIsGone(leader)) || Clock::now() >= giveUp) break;
        pause();
    }
    if (!ended) {
        LogPassedError("launcher", "process " + std::to_string(leader) + " did not end");
        return -1;
    }
    if (beforeReap) beforeReap();
    int status = -1;
    ReapChild(leader, true, status);
    return ExitCodeOf(status);
}
