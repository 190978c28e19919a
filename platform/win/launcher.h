// The one way this program starts a child process: an argument vector (never a shell),
// an optional environment and working folder, the three standard streams, a process
// group of its own, a parent-death signal and the descriptors the child keeps. Every
// other descriptor is closed in the child. Depends on the C library only, so the
// Ghostscript console program compiles it into itself.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// A file descriptor that is closed when its owner goes.
class ScopedFd {
public:
    ScopedFd() = default;
    explicit ScopedFd(int fd) : fd_(fd) {}
    ~ScopedFd() { reset(); }
    ScopedFd(ScopedFd&& other) noexcept : fd_(other.release()) {}
    ScopedFd& operator=(ScopedFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the held descriptor (if any) and holds fd. Returns close()'s result (0 when
    // nothing was held), for callers that must know a write-back failed.
    int reset(int fd = -1);

private:
    int fd_ = -1;
};

// Both ends of a pipe, close-on-exec; false (errno set) when no pipe could be made.
bool MakePipe(ScopedFd& readEnd, ScopedFd& writeEnd);

struct LaunchOptions {
    // What a standard stream of the child is: an empty stream, this program's own, or a
    // given descriptor (>= 0, duplicated onto the stream).
    static constexpr int kNull = -1;
    static constexpr int kInherit = -2;

    std::vector<std::string> argv;  // argv[0] names the program; no "/" means PATH search
    std::optional<std::vector<std::string>> env;  // "NAME=value" entries; ours when unset
    std::string workDir;                          // ours when empty
    int stdIn = kNull;
    int stdOut = kInherit;
    int stdErr = kInherit;
    bool newProcessGroup = true;  // so the child and its own children can be ended together
    bool newSession = false;      // a detached program (a viewer) that outlives us
    int parentDeathSignal = 0;    // sent to the child when this program ends (0: none)
    bool endWithProgram = false;  // its group is ended by EndLaunchedChildren
    std::vector<int> keepFds;     // descriptors (>= 3) the child keeps under their numbers
    // The most address space the child (and what it starts) may take, in bytes; 0 or
    // kNoChildMemoryLimit: ours.
    // Never raised above our own limit. Programs built with a sanitizer, whose run-time
    // reserves terabytes of address space, start their children without it.
    uint64_t addressSpaceLimit = 0;
};

// Starts the program. Returns 0 and the child's id, or an errno value: ENOENT when the
// program is not found, EACCES when it may not be run, ENOTDIR/ENOENT for a working
// folder that is missing, or what exec reported.
int Launch(const LaunchOptions& options, pid_t& pid);

// The full path of a program: a name with "/" as it is, else the first executable file
// of that name in the folders `first`, then on PATH (from env when given). An empty entry
// of PATH is skipped: a program is never looked for in whatever folder we happen to be
// in. Empty when none; err says why (ENOENT, or EACCES when one was found but may not run).
std::string FindProgram(const std::string& name, int& err,
                        const std::vector<std::string>* env = nullptr,
                        const std::vector<std::string>& first = {});

// ---------------------------------------------------------------- ends of children
// A child is reaped in one place (ReapChild). Until it is, its process id and the number
// of the process group it leads stay taken, so signalling that group cannot reach anybody
// else's processes.

// Whether the child has ended, without reaping it. True as well when it is no child of
// ours (any more).
bool ChildHasEnded(pid_t pid);
// Reaps the child once it has ended (when `wait`, waits for that). Forgets its group
// (EndLaunchedChildren) before the reap. True once reaped; status is then the wait status,
// or -1 when somebody else had reaped it. Async-signal-safe without `wait`.
bool ReapChild(pid_t pid, bool wait, int& status);
// The exit code of a wait status: its code, 128 + the signal, or -1 (unknown).
int ExitCodeOf(int status);
// Hands each process's line of the process table ("pid (name) state ppid pgrp ...") to visit
// until it returns false. False when the table cannot be read.
bool ForEachProcessStatLine(const std::function<bool(const char* line)>& visit);
// The fields of such a line that the program reads; false when the line cannot be read.
struct ProcessStat {
    char state = 0;
    long long ppid = 0;
    long long group = 0;
    unsigned long long userTicks = 0;     // utime
    unsigned long long systemTicks = 0;   // stime
    unsigned long long addressSpace = 0;  // vsize in bytes; 0 where the line ends before it
};
bool ReadProcessStatLine(const char* line, ProcessStat& out);
// Whether no process of the group is left but ended ones (zombies).
bool GroupIsGone(pid_t group);
// Ends a child that leads a process group of its own, with everything in its group: waits
// up to `grace` for the child to end by itself, then kills the group until nothing of it
// is left but the ended child, calls beforeReap, and reaps the child. `idle` runs between
// looks (handling messages, for one). Returns the child's exit code (ExitCodeOf), or -1
// when it could not be ended within ten seconds (it is then left unreaped).
int EndChildGroup(pid_t leader, std::chrono::milliseconds grace,
                  const std::function<void()>& idle = {},
                  const std::function<void()>& beforeReap = {});

// Ends (SIGKILL) the process groups of the children started with endWithProgram that
// still run. Async-signal-safe: signal handlers call it.
void EndLaunchedChildren();
// The child has been waited for: its group is no longer ended by EndLaunchedChildren.
void ForgetLaunchedChild(pid_t pid);
