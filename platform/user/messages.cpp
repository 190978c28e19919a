// The message queue: posted messages in order, then due timers; waiting idles in the
// window system until an event, a timer, a wake fd or a cross-thread wake arrives.
#include "platform/user/messages.h"

#include <algorithm>
#include <chrono>
#include <deque>
#include <iterator>
#include <string>
#include <vector>

#include "platform/rtl/scopeExit.h"
#include "platform/rtl/sysutils.h"
#include "platform/user/window.h"
#include "platform/user/windowDriver.h"
#include "platform/win/mountWatch.h"

namespace {

struct Timer {
    HWND hwnd;
    UINT_PTR id;
    UINT interval;
    TIMERPROC proc;
    int64_t due;
};

std::deque<MSG> g_posted;
std::vector<Timer> g_timers;
UINT_PTR g_nextTimerId = 0x7F00;
bool g_quit = false;
int g_quitCode = 0;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool Matches(const MSG& m, HWND hwnd, UINT lo, UINT hi) {
    if (hwnd && m.hwnd != hwnd) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

bool TakePosted(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove) {
    for (auto it = g_posted.begin(); it != g_posted.end(); ++it) {
        if (!Matches(*it, hwnd, lo, hi)) continue;
        *out = *it;
        if (remove) g_posted.erase(it);
        return true;
    }
    return false;
}

bool TakeTimer(MSG* out, HWND hwnd, UINT lo, UINT hi, bool remove) {
    if (!(lo == 0 && hi == 0) && !(WM_TIMER >= lo && WM_TIMER <= hi)) return false;
    int64_t now = NowMs();
    for (auto& t : g_timers) {
        if (t.due > now || (hwnd && t.hwnd != hwnd)) continue;
        out->hwnd = t.hwnd;
        out->message = WM_TIMER;
        out->wParam = t.id;
        out->lParam = reinterpret_cast<LPARAM>(t.proc);
        out->time = GetTickCount();
        if (remove) t.due = now + t.interval;
        return true;
    }
    return false;
}

// An idle wait still looks at the mount table this often, for the drives that come and go.
constexpr int kDeviceCheckMs = 1000;

int MsUntilNextTimer() {
    if (g_timers.empty()) return kDeviceCheckMs;
    int64_t next = g_timers.front().due;
    for (auto& t : g_timers) next = std::min(next, t.due);
    return int(std::clamp<int64_t>(next - NowMs(), 0, kDeviceCheckMs));
}

void CheckDevices() {
    static MountTableWatch watch;
    static bool busy = false;
    if (busy) return;  // a window that pumps messages while told of the change
    busy = true;
    ScopeExit done([] { busy = false; });
    DeliverDeviceChange(watch);
}

}  // namespace

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (hwnd && !IsWindow(hwnd)) return 0;
    g_posted.push_back(MSG{hwnd, msg, w, l, GetTickCount()});
    return 1;
}

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    WindowObject* window = WindowFromHandle(hwnd);
    if (!window) return 0;
    auto proc = window->proc;  // keep it alive while it runs, even if it is replaced
    return CallWindowProcA(proc, hwnd, msg, w, l);
}

void PostQuitMessage(int exitCode) {
    g_quit = true;
    g_quitCode = exitCode;
}

int DeliverDeviceChange(MountTableWatch& watch, bool compareAlways) {
    std::vector<std::string> before = MountPointsOf(watch.Text());
    if (!watch.Changed(compareAlways)) return 0;
    std::vector<std::string> after = MountPointsOf(watch.Text());
    // Mount points that came and went, a point mounted twice counted twice.
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    std::vector<std::string> arrived, gone;
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(arrived));
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone));
    int told = 0;
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsWindow(hwnd)) continue;  // an earlier window's handling destroyed it
        SendMessageA(hwnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
        // Then each volume that arrived or went, as Windows tells of a volume.
        for (const auto& [event, points] :
             {std::pair{DBT_DEVICEARRIVAL, &arrived}, std::pair{DBT_DEVICEREMOVECOMPLETE, &gone}})
            for (size_t i = 0; i < points->size() && IsWindow(hwnd); ++i) {
                DEV_BROADCAST_VOLUME volume;
                SendMessageA(hwnd, WM_DEVICECHANGE, event, LPARAM(&volume));
            }
        ++told;
    }
    return told;
}

BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi, UINT remove) {
    if (WindowSystem().started()) WindowSystem().processEvents(false, 0);
    CheckDevices();
    if (g_quit && (remove & PM_REMOVE) && !hwnd) {
        g_quit = false;
        *msg = MSG{nullptr, WM_QUIT, WPARAM(g_quitCode), 0, GetTickCount()};
        return 1;
    }
    bool rm = (remove & PM_REMOVE) != 0;
    return TakePosted(msg, hwnd, lo, hi, rm) || TakeTimer(msg, hwnd, lo, hi, rm) ? 1 : 0;
}

void WaitMessage() {
    MSG m;
    if (g_quit || PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE)) return;
    WindowSystem().processEvents(true, MsUntilNextTimer());
}

BOOL GetMessageA(MSG* msg, HWND hwnd, UINT lo, UINT hi) {
    for (;;) {
        if (PeekMessageA(msg, hwnd, lo, hi, PM_REMOVE)) return msg->message == WM_QUIT ? 0 : 1;
        WaitMessage();
    }
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (msg->message == WM_TIMER && msg->lParam) {
        reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    if (elapse < 10) elapse = 10;
    if (!hwnd) id = ++g_nextTimerId;
    for (auto& t : g_timers) {
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = elapse;
            t.proc = proc;
            t.due = NowMs() + elapse;
            return id;
        }
    }
    g_timers.push_back(Timer{hwnd, id, elapse, proc, NowMs() + elapse});
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    auto it = std::find_if(g_timers.begin(), g_timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == g_timers.end()) return 0;
    g_timers.erase(it);
    return 1;
}

void DiscardTimersAndPostedMessages(HWND hwnd) {
    g_timers.erase(std::remove_if(g_timers.begin(), g_timers.end(),
                                  [&](const Timer& t) { return t.hwnd == hwnd; }),
                   g_timers.end());
    g_posted.erase(std::remove_if(g_posted.begin(), g_posted.end(),
                                  [&](const MSG& m) { return m.hwnd == hwnd; }),
                   g_posted.end());
}
