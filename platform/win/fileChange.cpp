#include "platform/win/fileChange.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>

#include "platform/win/handles.h"
#include "platform/win/wake.h"

namespace {

uint32_t InotifyMask(DWORD filter) {
    uint32_t mask = 0;
    if (filter & FILE_NOTIFY_CHANGE_FILE_NAME)
        mask |= IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
    if (filter & FILE_NOTIFY_CHANGE_SIZE) mask |= IN_MODIFY;
    if (filter & FILE_NOTIFY_CHANGE_LAST_WRITE) mask |= IN_CLOSE_WRITE | IN_MOVED_TO;
    return mask;
}

// An inotify instance watching one folder; readable while a change is pending.
class ChangeObject : public KernelObject {
public:
    explicit ChangeObject(int fd) : fd_(fd) { RegisterWakeFd(fd_); }
    ~ChangeObject() override {
        UnregisterWakeFd(fd_);
        ::close(fd_);
    }
    DWORD Wait(DWORD ms) override {
        pollfd p{fd_, POLLIN, 0};
        const int timeout = ms == INFINITE ? -1 : int(ms > INT_MAX ? INT_MAX : ms);
        for (;;) {
            const int r = ::poll(&p, 1, timeout);
            if (r > 0) return WAIT_OBJECT_0;
            if (r == 0) return WAIT_TIMEOUT;
            if (errno != EINTR) return WAIT_FAILED;
        }
    }
    // Reads every pending event, so that the handle waits for the next change. The
    // message wait takes a registered descriptor's readiness once; registering it anew
    // lets the next change wake it again.
    void Reset() {
        char buf[4096];
        while (::read(fd_, buf, sizeof buf) > 0) {}
        UnregisterWakeFd(fd_);
        RegisterWakeFd(fd_);
    }

private:
    int fd_;
};

// An open file; only its descriptor is kept.
class FileObject : public KernelObject {
public:
    explicit FileObject(int fd) : fd_(fd) {}
    ~FileObject() override { ::close(fd_); }

private:
    int fd_;
};

}  // namespace

HANDLE FindFirstChangeNotificationA(const char* path, BOOL watchSubtree, DWORD filter) {
    const uint32_t mask = InotifyMask(filter);
    if (path == nullptr || watchSubtree || mask == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    if (::inotify_add_watch(fd, path, mask | IN_ONLYDIR) < 0) {
        const int err = errno;
        ::close(fd);
        // The folder watched is the path: when it is missing, the path is not found.
        SetLastError(Win32ErrorOfPath(err, std::string(path) + "/"));
        return INVALID_HANDLE_VALUE;
    }
    return AddHandle(std::make_shared<ChangeObject>(fd));
}

BOOL FindNextChangeNotification(HANDLE h) {
    auto change = LookupHandleAs<ChangeObject>(h);
    if (!change) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    change->Reset();
    return TRUE_;
}

BOOL FindCloseChangeNotification(HANDLE h) {
    if (!LookupHandleAs<ChangeObject>(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    return CloseHandle(h);
}

HANDLE CreateFileA(const char* name, DWORD access, DWORD shareMode, void*, DWORD disposition, DWORD,
                   HANDLE) {
    if (name == nullptr || access != GENERIC_READ || disposition != OPEN_EXISTING) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        SetLastError(Win32ErrorOfPath(errno, name));
        return INVALID_HANDLE_VALUE;
    }
    if (!(shareMode & FILE_SHARE_WRITE)) {
        // A read lease is refused while any descriptor of the file is open for writing.
        // Where leases are not available (a file of another owner, a network file
        // system) nothing can be told, and the file counts as not being written.
        if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
            ::fcntl(fd, F_SETLEASE, F_UNLCK);
        } else if (errno == EAGAIN || errno == EBUSY) {
            ::close(fd);
            SetLastError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
    }
    return AddHandle(std::make_shared<FileObject>(fd));
}
