// Drives coming and going. The kernel's mount table (/proc/self/mounts) reports a change to
// poll() as an exceptional condition on an open descriptor of it; the watch then reads the
// table again and compares, so a change is reported once, and only a real one.
#pragma once

#include <string>

#include "platform/win/wintypes.h"

#include <vector>

// wParam of WM_DEVICECHANGE: a device was added to or removed from the system; a volume
// arrived; a volume is gone.
constexpr WPARAM DBT_DEVNODES_CHANGED = 0x0007, DBT_DEVICEARRIVAL = 0x8000,
                 DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr DWORD DBT_DEVTYP_VOLUME = 0x0002;

// lParam of a volume's arrival or removal. Mount points have no drive letters, so the unit
// mask stays 0.
struct DEV_BROADCAST_VOLUME {
    DWORD dbcv_size = sizeof(DEV_BROADCAST_VOLUME);
    DWORD dbcv_devicetype = DBT_DEVTYP_VOLUME;
    DWORD dbcv_reserved = 0;
    DWORD dbcv_unitmask = 0;
    WORD dbcv_flags = 0;
};

// The mount points of a mount table's text, in its order (octal escapes such as "\040" for
// a blank undone).
std::vector<std::string> MountPointsOf(const std::string& table);

class MountTableWatch {
public:
    explicit MountTableWatch(const std::string& path = "/proc/self/mounts");
    ~MountTableWatch();
    MountTableWatch(const MountTableWatch&) = delete;
    MountTableWatch& operator=(const MountTableWatch&) = delete;

    // True once for each change of the table's text since the watch began or last answered
    // true. Costs one poll() without waiting while nothing is signalled; `compareAlways`
    // compares the text even then (for files that do not signal, such as a copy in a test).
    bool Changed(bool compareAlways = false);
    bool Open() const { return fd_ >= 0; }
    // The table's text as last read (when the watch began or last saw a change).
    const std::string& Text() const { return text_; }

private:
    std::string ReadAll();
    int fd_ = -1;
    std::string text_;
};
