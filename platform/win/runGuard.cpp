#include "platform/win/runGuard.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/rtl/passedErrors.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/launcher.h"
#include "platform/win/mutex.h"
#include "platform/win/privateFolder.h"

const char* const kRunFolderMarker = ".vexomat-run";

namespace {

// ---------------------------------------------------------------- removal by system calls

struct LinuxDirent64 {
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

bool isDots(const char* n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }

bool removeAt(int dirFd, const char* name, int depth);

// Empties an open folder; passes are repeated from its start, since removing entries
// while reading a folder may skip some.
void emptyFolder(int fd, int depth) {
    alignas(8) char buf[4096];
    for (;;) {
        bool removed = false;
        if (::lseek(fd, 0, SEEK_SET) < 0) return;
        for (;;) {
            const long n = ::syscall(SYS_getdents64, fd, buf, sizeof buf);
            if (n <= 0) break;
            for (long off = 0; off < n;) {
                auto* d = reinterpret_cast<LinuxDirent64*>(buf + off);
                off += d->d_reclen;
                if (!isDots(d->d_name) && removeAt(fd, d->d_name, depth + 1)) removed = true;
            }
        }
        if (!removed) return;
    }
}

bool removeAt(int dirFd, const char* name, int depth) {
    if (::unlinkat(dirFd, name, 0) == 0) return true;
    if (errno != EISDIR && errno != EPERM) return false;
    if (depth > 32) return false;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    emptyFolder(fd, depth);
    ::close(fd);
    return ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0;
}

// ---------------------------------------------------------------- claimed folders

constexpr int kSlots = 16;
constexpr size_t kPathMax = 4096;
char g_paths[kSlots][kPathMax];
std::atomic<bool> g_used[kSlots];   // by a claim
std::atomic<bool> g_armed[kSlots];  // its path written: the handler may use it

int claimSlot(const std::string& folder) {
    if (folder.size() >= kPathMax) return -1;
    for (int i = 0; i < kSlots; ++i) {
        bool expected = false;
        if (!g_used[i].load() && g_used[i].compare_exchange_strong(expected, true)) {
            std::memcpy(g_paths[i], folder.c_str(), folder.size() + 1);
            g_armed[i].store(true);
            return i;
        }
    }
    return -1;
}

void releaseSlot(int slot) {
    if (slot < 0) return;
    g_armed[slot].store(false);
    g_used[slot].store(false);
}

// Sockets to remove when a signal ends the program.
constexpr int kSocketSlots = 32;
constexpr size_t kSocketPathMax = 256;
char g_sockets[kSocketSlots][kSocketPathMax];
std::atomic<bool> g_socketTaken[kSocketSlots];  // by a claim
std::atomic<bool> g_socketArmed[kSocketSlots];  // its path written: the handler may use it

// Removes the socket when it is one of this user's; system calls only.
void removeOwnSocket(const char* path) {
    struct stat st;
    if (::lstat(path, &st) == 0 && S_ISSOCK(st.st_mode) && st.st_uid == ::geteuid()) ::unlink(path);
}

// The record of the run folder of the run under way, its folder of records and the run
// folder: a signal that removes the run folder removes its record too.
char g_record[kPathMax], g_recordFolder[kPathMax], g_recordedRun[kPathMax];
std::atomic<bool> g_recordArmed{false};

void onEndingSignal(int sig) {
    EndLaunchedChildren();
    for (int i = 0; i < kSlots; ++i)
        if (g_armed[i].load()) RemoveTreeNow(g_paths[i]);
    // The office is killed by now; what it made in the shared temporary folder goes too.
    for (int i = 0; i < kSocketSlots; ++i)
        if (g_socketArmed[i].load()) removeOwnSocket(g_sockets[i]);
    struct stat st;
    if (g_recordArmed.load() && ::lstat(g_recordedRun, &st) != 0 && errno == ENOENT) {
        ::unlink(g_record);
        ::rmdir(g_recordFolder);
    }
    CloseNamedMutexesNow();
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

bool isRunFolderName(const char* n) {
    int digits = 0;
    for (; n[digits]; ++digits)
        if (n[digits] < '0' || n[digits] > '9') return false;
    return digits == 8;
}

}  // namespace

bool RemoveTreeNow(const char* path) {
    // Removed relative to its parent, so a link named like the folder is only unlinked.
    char parent[kPathMax];
    size_t len = std::strlen(path);
    while (len > 1 && path[len - 1] == '/') --len;
    if (len == 0 || len >= kPathMax) return false;
    std::memcpy(parent, path, len);
    parent[len] = 0;
    char* slash = std::strrchr(parent, '/');
    const char* name = parent;
    int dirFd = AT_FDCWD;
    if (slash) {
        *slash = 0;
        name = slash + 1;
        // Only named in, never listed: a parent we may enter but not read will do.
        dirFd = ::open(slash == parent ? "/" : parent, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (dirFd < 0) return false;
    }
    const bool ok = removeAt(dirFd, name, 0);
    if (dirFd != AT_FDCWD) ::close(dirFd);
    return ok;
}

void InstallRunGuard() {
    static std::atomic<bool> installed{false};
    if (installed.exchange(true)) return;
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onEndingSignal;
    sigfillset(&sa.sa_mask);  // one ending signal at a time
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction old;
        // A signal that the starter of the program ignores (nohup) stays ignored.
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        if (::sigaction(sig, &sa, nullptr) != 0)
            LogPassedError("run guard", "signal " + std::to_string(sig) +
                                            " not caught: " + std::strerror(errno));
    }
}

TRunFolderClaim::TRunFolderClaim(const std::string& folder) {
    std::string dir = folder;
    if (dir.empty() || dir.back() != '/') dir += '/';
    // The marker is locked before it gets its name, so no other run ever sees it unlocked.
    const std::string part = dir + kRunFolderMarker + ".part";
    const int fd = ::open(part.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::rename(part.c_str(), (dir + kRunFolderMarker).c_str()) == 0) {
            lock_ = fd;
        } else {
            ::unlink(part.c_str());
            ::close(fd);
        }
    }
    slot_ = claimSlot(folder);
}

TRunFolderClaim::~TRunFolderClaim() {
    releaseSlot(slot_);
    if (lock_ >= 0) ::close(lock_);
}

int RemoveAbandonedRunFolders(const std::string& parent) {
    return RemoveAbandonedFolders(parent, "");
}

int RemoveAbandonedFolders(const std::string& parent, const std::string& prefix) {
    std::string dir = parent.empty() ? "./" : parent;
    if (dir.back() != '/') dir += '/';
    DIR* d = ::opendir(dir.c_str());
    if (!d) return 0;
    int removed = 0;
    while (dirent* e = ::readdir(d)) {
        if (prefix.empty() ? !isRunFolderName(e->d_name)
                           : std::strncmp(e->d_name, prefix.c_str(), prefix.size()) != 0)
            continue;
        const std::string folder = dir + e->d_name;
        struct stat st;
        if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const int fd =
            ::open((folder + "/" + kRunFolderMarker).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;  // not a run folder of this program
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && RemoveTreeNow(folder.c_str())) ++removed;
        ::close(fd);
    }
    ::closedir(d);
    return removed;
}

TSocketClaim::TSocketClaim(const std::string& path) {
    if (path.size() >= kSocketPathMax) return;
    for (int i = 0; i < kSocketSlots; ++i) {
        bool expected = false;
        if (!g_socketTaken[i].load() && g_socketTaken[i].compare_exchange_strong(expected, true)) {
            std::memcpy(g_sockets[i], path.c_str(), path.size() + 1);
            g_socketArmed[i].store(true);
            slot_ = i;
            return;
        }
    }
}

TSocketClaim::~TSocketClaim() {
    if (slot_ < 0) return;
    g_socketArmed[slot_].store(false);
    g_socketTaken[slot_].store(false);
}

// ---------------------------------------------------------------- recorded run folders

namespace {

constexpr const char* kRecords = "vexomat-runs";

// The private folder of the records, made when make; "" when there is none (to be had).
std::string recordFolder(bool make) {
    const std::string temp = GetTempDir();
    if (make) {
        const std::string dir = PrivateFolder(temp, kRecords);
        return dir.empty() ? dir : IncludeTrailingPathDelimiter(dir);
    }
    const std::string dir = temp + kRecords + "-" + std::to_string(::geteuid());
    return IsPrivateFolder(dir) ? dir + "/" : "";
}

// The record's name: a digest of the folder's path, so that the same folder has one.
std::string recordName(const std::string& folder) {
    uint64_t h = 14695981039346656037ULL;
    for (unsigned char c : folder) h = (h ^ c) * 1099511628211ULL;
    char name[32];
    std::snprintf(name, sizeof name, "run-%016llx", static_cast<unsigned long long>(h));
    return name;
}

}  // namespace

void RecordRunFolder(const std::string& folder) {
    // Twice: another run may remove the folder of records, found empty, meanwhile.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::string records = recordFolder(true);
        if (records.empty()) return;
        const std::string record = records + recordName(folder);
        std::ofstream out(record, std::ios::binary | std::ios::trunc);
        out << folder;
        if (out.flush()) {
            const std::string run = ExcludeTrailingPathDelimiter(folder);
            g_recordArmed.store(false);
            if (record.size() < kPathMax && run.size() < kPathMax) {
                std::memcpy(g_record, record.c_str(), record.size() + 1);
                std::memcpy(g_recordFolder, records.c_str(), records.size() + 1);
                std::memcpy(g_recordedRun, run.c_str(), run.size() + 1);
                g_recordArmed.store(true);
            }
            return;
        }
    }
    LogPassedError("run folder record", "not written for " + folder);
}

void ForgetRunFolder(const std::string& folder) {
    g_recordArmed.store(false);
    const std::string records = recordFolder(false);
    if (records.empty()) return;
    ::unlink((records + recordName(folder)).c_str());
    ::rmdir(records.c_str());  // only when no other record is left
}

int RemoveRecordedRunFolders() {
    const std::string records = recordFolder(false);
    if (records.empty()) return 0;
    DIR* d = ::opendir(records.c_str());
    if (!d) return 0;
    int removed = 0;
    while (dirent* e = ::readdir(d)) {
        if (std::strncmp(e->d_name, "run-", 4) != 0) continue;
        const std::string record = records + e->d_name;
        std::ifstream in(record, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string folder = ExcludeTrailingPathDelimiter(text.str());
        struct stat st;
        if (folder.empty() || ::lstat(folder.c_str(), &st) != 0) {
            // Gone: removed by its run or by another. (A folder we cannot reach now stays
            // recorded.)
            if (folder.empty() || errno == ENOENT) ::unlink(record.c_str());
            continue;
        }
        if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
            ::unlink(record.c_str());  // no run folder of ours stands there any more
            continue;
        }
        const int fd =
            ::open((folder + "/" + kRunFolderMarker).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;  // not (yet) marked as a run folder
        // Held: its run still goes on.
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && RemoveTreeNow(folder.c_str())) {
            ++removed;
            ::unlink(record.c_str());
        }
        ::close(fd);
    }
    ::closedir(d);
    ::rmdir(records.c_str());  // only when no record is left
    return removed;
}
