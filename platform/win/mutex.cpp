#include "platform/win/mutex.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/rtl/sysutils.h"

namespace {

// The lock files live in the user's temporary folder, named by a hash of the mutex name.
std::string LockPath(const std::string& name, const char* kind) {
    return GetTempDir() + "vexomat-mutex-" + std::to_string(getuid()) + "-" +
           IntToHex(std::hash<std::string>{}(name), 16) + kind;
}

// Whether fd is the file that path names now (the last user of a name removes its files).
bool StillNamed(int fd, const std::string& path) {
    struct stat a, b;
    return ::fstat(fd, &a) == 0 && ::lstat(path.c_str(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

// A program that ends without closing its names (a failed unattended run, a signal)
// leaves their two files behind; a name nobody has open any more (its presence file can
// be locked exclusively) has its files removed. Done once per program.
void RemoveAbandonedNames() {
    static bool done = false;
    if (done) return;
    done = true;
    const std::string dir = GetTempDir();
    const std::string prefix = "vexomat-mutex-" + std::to_string(getuid()) + "-";
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    std::vector<std::string> stems;
    while (dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n.compare(0, prefix.size(), prefix) == 0 && n.size() > 5 &&
            n.compare(n.size() - 5, 5, ".open") == 0)
            stems.push_back(dir + n.substr(0, n.size() - 5));
    }
    ::closedir(d);
    for (const std::string& stem : stems) {
        const std::string presence = stem + ".open";
        const int fd = ::open(presence.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, presence)) {
            ::unlink((stem + ".lock").c_str());
            ::unlink(presence.c_str());
        }
        ::close(fd);
    }
}

// The names this process has open, readable by a signal handler: the presence file's
// descriptor and the two paths in fixed storage, each slot taken and given back atomically.
constexpr int kOpenSlots = 32;
constexpr size_t kPathMax = 4096;
struct OpenName {
    std::atomic<bool> used{false};  // the slot is taken
    std::atomic<bool> live{false};  // it is filled in and its name not yet closed
    int presence = -1;
    char presencePath[kPathMax];
    char lockPath[kPathMax];
};
OpenName g_open[kOpenSlots];

// The last one to close a name removes its files: only then is an exclusive lock on the
// presence file granted (everybody else holds a shared one).
void removeFilesIfLast(int presence, const char* presencePath, const char* lockPath) {
    if (presence >= 0 && ::flock(presence, LOCK_EX | LOCK_NB) == 0) {
        ::unlink(lockPath);
        ::unlink(presencePath);
    }
}

int registerOpenName(int presence, const std::string& presencePath, const std::string& lockPath) {
    if (presence < 0 || presencePath.size() >= kPathMax || lockPath.size() >= kPathMax) return -1;
    for (int i = 0; i < kOpenSlots; ++i) {
        bool expected = false;
        if (g_open[i].used.load() || !g_open[i].used.compare_exchange_strong(expected, true))
            continue;
        g_open[i].presence = presence;
        std::memcpy(g_open[i].presencePath, presencePath.c_str(), presencePath.size() + 1);
        std::memcpy(g_open[i].lockPath, lockPath.c_str(), lockPath.size() + 1);
        g_open[i].live.store(true);
        return i;
    }
    return -1;
}

// Takes the slot back; false when CloseNamedMutexesNow has closed it already.
bool unregisterOpenName(int slot) {
    if (slot < 0) return true;
    const bool mine = g_open[slot].live.exchange(false);
    g_open[slot].used.store(false);
    return mine;
}

class NamedMutex : public KernelObject {
public:
    explicit NamedMutex(const std::string& name)
        : presencePath_(LockPath(name, ".open")), lockPath_(LockPath(name, ".lock")) {
        RemoveAbandonedNames();
        // One file tells whether others have the name open (they hold a shared lock on it),
        // the other is the mutex itself. Both are removed by the last one to close the name,
        // so none is left behind in the temporary folder.
        for (int attempt = 0; attempt < 100 && presence_ < 0; ++attempt) {
            const int fd =
                ::open(presencePath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
            if (fd < 0) break;
            existed_ = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
            ::flock(fd, LOCK_SH);
            if (StillNamed(fd, presencePath_))
                presence_ = fd;
            else
                ::close(fd);
        }
        // While the name is held, nobody removes the mutex file.
        lock_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        slot_ = registerOpenName(presence_, presencePath_, lockPath_);
    }
    ~NamedMutex() override {
        if (owned_ > 0 && lock_ >= 0) ::flock(lock_, LOCK_UN);
        if (unregisterOpenName(slot_))
            removeFilesIfLast(presence_, presencePath_.c_str(), lockPath_.c_str());
        if (lock_ >= 0) ::close(lock_);
        if (presence_ >= 0) ::close(presence_);
    }
    bool ok() const { return lock_ >= 0; }
    bool existed() const { return existed_; }

    DWORD Wait(DWORD ms) override {
        if (owned_ > 0 && owner_ == std::this_thread::get_id()) {
            ++owned_;
            return WAIT_OBJECT_0;
        }
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (::flock(lock_, LOCK_EX | LOCK_NB) == 0) {
                owned_ = 1;
                owner_ = std::this_thread::get_id();
                return WAIT_OBJECT_0;
            }
            if (ms != INFINITE && std::chrono::steady_clock::now() >= deadline) return WAIT_TIMEOUT;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    bool Release() {
        if (owned_ == 0 || owner_ != std::this_thread::get_id()) return false;
        if (--owned_ == 0) ::flock(lock_, LOCK_UN);
        return true;
    }

private:
    std::string presencePath_;
    std::string lockPath_;
    int presence_ = -1;
    int lock_ = -1;
    int slot_ = -1;
    bool existed_ = false;
    int owned_ = 0;
    std::thread::id owner_;
};

}  // namespace

void CloseNamedMutexesNow() {
    // The shared locks of all of them go first: a name this process opened twice is
    // removed only when none of its own handles still holds it.
    bool closed[kOpenSlots] = {};
    for (int i = 0; i < kOpenSlots; ++i)
        if (g_open[i].live.exchange(false)) {
            closed[i] = true;
            ::flock(g_open[i].presence, LOCK_UN);
        }
    for (int i = 0; i < kOpenSlots; ++i)
        if (closed[i])
            removeFilesIfLast(g_open[i].presence, g_open[i].presencePath, g_open[i].lockPath);
}

HANDLE CreateMutexA(SECURITY_ATTRIBUTES*, BOOL initialOwner, const char* name) {
    auto m = std::make_shared<NamedMutex>(name ? name : "");
    if (!m->ok()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    const bool existed = m->existed();
    if (initialOwner) m->Wait(INFINITE);
    HANDLE h = AddHandle(m);
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return h;
}

BOOL ReleaseMutex(HANDLE mutex) {
    auto m = LookupHandleAs<NamedMutex>(mutex);
    if (!m || !m->Release()) {
        SetLastError(m ? ERROR_ACCESS_DENIED : ERROR_INVALID_HANDLE);
        return 0;
    }
    return 1;
}
