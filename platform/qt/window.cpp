#include "platform/win/window.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "platform/gdi/gdi.h"
#include "platform/qt/peer.h"
#include "platform/win/capture.h"
#include "platform/win/messages.h"

namespace {
// Live windows by handle value. Values grow and are never reused.
std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>>& Live() {
    static std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>> live;
    return live;
}
uintptr_t g_nextHandle = 0x10010;
}  // namespace

HWND CreateWindowObject(const std::string& className, HWND parent, WNDPROC proc, void* control) {
    auto w = std::make_unique<WindowObject>();
    w->className = className;
    w->parent = parent;
    w->proc = std::make_shared<WNDPROC>(std::move(proc));
    w->control = control;
    const uintptr_t value = g_nextHandle;
    g_nextHandle += 4;
    Live().emplace(value, std::move(w));
    return reinterpret_cast<HWND>(value);
}

WindowObject* WindowFromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = Live().find(reinterpret_cast<uintptr_t>(hwnd));
    return it == Live().end() ? nullptr : it->second.get();
}

BOOL IsWindow(HWND hwnd) { return WindowFromHandle(hwnd) ? 1 : 0; }

std::vector<HWND> TopLevelWindows() {
    std::vector<uintptr_t> values;
    for (const auto& [value, window] : Live())
        if (!window->parent) values.push_back(value);
    std::sort(values.begin(), values.end());
    std::vector<HWND> out;
    for (uintptr_t v : values) out.push_back(reinterpret_cast<HWND>(v));
    return out;
}

BOOL DestroyWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return 0;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    DiscardTimersAndPostedMessages(hwnd);  // its timers and posted messages die with it
    Live().erase(reinterpret_cast<uintptr_t>(hwnd));
    return 1;
}

std::shared_ptr<WNDPROC> SetWindowProc(HWND hwnd, std::shared_ptr<WNDPROC> proc) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w) return nullptr;
    std::swap(w->proc, proc);
    return proc;
}

std::shared_ptr<WNDPROC> GetWindowProc(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    return w ? w->proc : nullptr;
}

LRESULT CallWindowProcA(const std::shared_ptr<WNDPROC>& proc, HWND hwnd, UINT msg, WPARAM w,
                        LPARAM l) {
    if (!proc || !*proc) return DefWindowProcA(hwnd, msg, w, l);
    return (*proc)(hwnd, msg, w, l);
}

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM w, LPARAM) {
    // A window told to leave its mode lets the mouse go.
    if (msg == WM_CANCELMODE && GetCapture() == hwnd) ReleaseCapture();
    if (msg == WM_SETREDRAW) {
        if (WindowObject* win = WindowFromHandle(hwnd); win && win->peer)
            static_cast<qtbridge::Peer*>(win->peer)->setRedraw(w != 0);
    }
    return 0;
}

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    const WindowObject* w = WindowFromHandle(hwnd);
    // A window the layer does not place has no size here: no rectangle rather than a wrong one.
    if (!w || !r || (w->width == 0 && w->height == 0)) return 0;
    int x = w->left, y = w->top;
    for (const WindowObject* p = WindowFromHandle(w->parent); p; p = WindowFromHandle(p->parent))
        x += p->left, y += p->top;
    *r = RECT{x, y, x + w->width, y + w->height};
    return 1;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    const WindowObject* w = WindowFromHandle(hwnd);
    if (!w || !r || (w->width == 0 && w->height == 0)) return 0;
    *r = RECT{0, 0, w->clientWidth, w->clientHeight};
    return 1;
}

BOOL SetWindowPos(HWND hwnd, HWND, int x, int y, int cx, int cy, UINT flags) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w) return 0;
    if (!(flags & SWP_NOMOVE)) w->left = x, w->top = y;
    if (!(flags & SWP_NOSIZE)) {
        // The frame stays as thick as it was.
        w->clientWidth += cx - w->width, w->clientHeight += cy - w->height;
        w->width = cx, w->height = cy;
    }
    return 1;
}

HWND GetDlgItem(HWND dialog, int id) {
    if (!dialog) return nullptr;
    for (const auto& [value, window] : Live())
        if (window->parent == dialog && window->controlId == id)
            return reinterpret_cast<HWND>(value);
    return nullptr;
}
