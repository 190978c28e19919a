#include "platform/win/wake.h"

#include <mutex>
#include <set>

// Until a window layer installs its event loop, registrations are only remembered; the
// event loop takes them over when it starts (see wakeHooks).
#include "platform/win/wakeHooks.h"

namespace {
std::mutex g_mutex;
std::set<int> g_fds;
WakeHooks g_hooks;
}  // namespace

void InstallWakeHooks(const WakeHooks& hooks) {
    std::set<int> fds;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_hooks = hooks;
        fds = g_fds;
    }
    if (hooks.add)
        for (int fd : fds) hooks.add(fd);
}

void RegisterWakeFd(int fd) {
    WakeHooks h;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_fds.insert(fd);
        h = g_hooks;
    }
    if (h.add) h.add(fd);
}

void UnregisterWakeFd(int fd) {
    WakeHooks h;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_fds.erase(fd);
        h = g_hooks;
    }
    if (h.remove) h.remove(fd);
}

void WakeMessageQueue() {
    WakeHooks h;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        h = g_hooks;
    }
    if (h.wake) h.wake();
}
