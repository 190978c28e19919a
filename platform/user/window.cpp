#include "platform/user/window.h"

#include "platform/win/handleTable.h"

#include <strings.h>
#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/capture.h"
#include "platform/user/messages.h"
#include "platform/user/windowDriver.h"

namespace {
// Live windows by handle value. Values grow and are never reused.
std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>>& Live() {
    static std::unordered_map<uintptr_t, std::unique_ptr<WindowObject>> live;
    return live;
}
}  // namespace

HWND CreateWindowObject(const std::string& className, HWND parent, WNDPROC proc, void* control) {
    auto w = std::make_unique<WindowObject>();
    w->className = className;
    w->parent = parent;
    w->proc = std::make_shared<WNDPROC>(std::move(proc));
    w->control = control;
    // The id comes from the one handle table, so it is never any other kind's.
    const uintptr_t value = handles::Add(HandleKind::Window, nullptr);
    Live().emplace(value, std::move(w));
    return reinterpret_cast<HWND>(value);
}

WindowObject* WindowFromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = Live().find(reinterpret_cast<uintptr_t>(hwnd));
    return it == Live().end() ? nullptr : it->second.get();
}

BOOL IsWindow(HWND hwnd) { return WindowFromHandle(hwnd) ? 1 : 0; }

namespace {
// The children of a window, oldest first.
std::vector<HWND> ChildrenOf(HWND parent) {
    std::vector<uintptr_t> values;
    for (const auto& [value, window] : Live())
        if (window->parent == parent) values.push_back(value);
    std::sort(values.begin(), values.end());
    std::vector<HWND> out;
    for (uintptr_t v : values) out.push_back(reinterpret_cast<HWND>(v));
    return out;
}

// WM_DESTROY goes to a window before its children hear it (they still exist then)...
void SendDestroy(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w || w->destroyed) return;
    w->destroyed = true;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    for (HWND child : ChildrenOf(hwnd)) SendDestroy(child);
}

// ... and WM_NCDESTROY after they are gone; then the handle is invalid.
void Free(HWND hwnd) {
    if (!IsWindow(hwnd)) return;
    for (HWND child : ChildrenOf(hwnd)) Free(child);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    DiscardTimersAndPostedMessages(hwnd);  // its timers and posted messages die with it
    if (Live().erase(reinterpret_cast<uintptr_t>(hwnd)))
        handles::Remove(reinterpret_cast<uintptr_t>(hwnd), HandleKind::Window);
}
}  // namespace

std::vector<HWND> TopLevelWindows() { return ChildrenOf(nullptr); }

BOOL DestroyWindow(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w) return 0;
    // Asked again while it is being destroyed (from a handler of its WM_DESTROY): the
    // destruction under way finishes it.
    if (w->destroyed) return 1;
    SendDestroy(hwnd);
    Free(hwnd);
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

namespace {
// The window system's rectangle of a window shown by it (its client area's with `client`).
bool ScreenRect(const WindowObject* w, bool client, RECT& r) {
    return w && w->peer && WindowSystem().screenRect(w->peer, client, &r);
}

// A window's place in its parent's client area (on the screen for a top-level window), and
// the origin of its own client area there, as the window system shows it.
bool PlaceInParent(const WindowObject* w, RECT& window, POINT& client) {
    RECT c;
    if (!ScreenRect(w, false, window) || !ScreenRect(w, true, c)) return false;
    client = POINT{c.left, c.top};
    RECT parent;
    if (ScreenRect(WindowFromHandle(w->parent), true, parent)) {
        window = RECT{window.left - parent.left, window.top - parent.top,
                      window.right - parent.left, window.bottom - parent.top};
        client = POINT{client.x - parent.left, client.y - parent.top};
    }
    return true;
}
}  // namespace

LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_CANCELMODE:
            // A window told to leave its mode lets the mouse go.
            if (GetCapture() == hwnd) ReleaseCapture();
            return 0;
        case WM_SETREDRAW:
            if (const WindowObject* win = WindowFromHandle(hwnd); win && win->peer)
                WindowSystem().setRedraw(win->peer, w != 0);
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_NCLBUTTONDOWN:
            // The caption moves the window, a sizing border resizes it, until the release.
            WindowSystem().beginSizeMove(hwnd, int(w), GET_X_LPARAM(l), GET_Y_LPARAM(l));
            return 0;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(l);
            RECT window;
            POINT client;
            if (pos && !(pos->flags & SWP_NOMOVE) &&
                PlaceInParent(WindowFromHandle(hwnd), window, client))
                SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM_XY(client.x, client.y));
            return 0;
        }
        default:
            return 0;
    }
}

BOOL GetWindowRect(HWND hwnd, RECT* r) {
    const WindowObject* w = WindowFromHandle(hwnd);
    if (!w || !r) return 0;
    if (w->peer) return ScreenRect(w, false, *r) ? 1 : 0;
    // A window the layer does not place has no size here: no rectangle rather than a wrong one.
    if (w->width == 0 && w->height == 0) return 0;
    int x = w->left, y = w->top;
    // A child lies in its parent's client area: inside the frame, as wide on each side and
    // along the bottom.
    for (const WindowObject* p = WindowFromHandle(w->parent); p; p = WindowFromHandle(p->parent)) {
        const int side = (p->width - p->clientWidth) / 2;
        x += p->left + side, y += p->top + (p->height - p->clientHeight) - side;
    }
    *r = RECT{x, y, x + w->width, y + w->height};
    return 1;
}

BOOL GetClientRect(HWND hwnd, RECT* r) {
    const WindowObject* w = WindowFromHandle(hwnd);
    if (!w || !r) return 0;
    if (w->peer) {
        RECT c;
        if (!ScreenRect(w, true, c)) return 0;
        *r = RECT{0, 0, c.right - c.left, c.bottom - c.top};
        return 1;
    }
    if (w->width == 0 && w->height == 0) return 0;
    *r = RECT{0, 0, w->clientWidth, w->clientHeight};
    return 1;
}

BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w) return 0;
    RECT now;
    POINT client;
    if (PlaceInParent(w, now, client)) {
        // A window of the window system moves there and hears where it is now.
        WINDOWPOS pos{hwnd,    insertAfter,          now.left,
                      now.top, now.right - now.left, now.bottom - now.top,
                      flags};
        if (!(flags & SWP_NOMOVE)) pos.x = x, pos.y = y;
        if (!(flags & SWP_NOSIZE)) pos.cx = std::max(0, cx), pos.cy = std::max(0, cy);
        if (pos.x == now.left && pos.y == now.top) pos.flags |= SWP_NOMOVE;
        if (pos.cx == now.right - now.left && pos.cy == now.bottom - now.top)
            pos.flags |= SWP_NOSIZE;
        WindowSystem().setGeometry(w->peer, pos.x, pos.y, pos.cx, pos.cy);
        SendMessageA(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
        return 1;
    }
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

HWND CreateWindowExA(DWORD, const char* className, const char* windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE, void*) {
    if (!className || (parent && !IsWindow(parent))) return nullptr;
    const HWND hwnd = CreateWindowObject(className, parent, nullptr, nullptr);
    WindowObject* w = WindowFromHandle(hwnd);
    w->text = windowName ? windowName : "";
    w->style = style;
    w->left = x, w->top = y, w->width = w->clientWidth = std::max(0, width),
    w->height = w->clientHeight = std::max(0, height);
    if (style & WS_CHILD) w->controlId = int(reinterpret_cast<intptr_t>(menu));
    if (parent)
        SendMessageA(parent, WM_PARENTNOTIFY,
                     WPARAM(WM_CREATE | (uint32_t(uint16_t(w->controlId)) << 16)),
                     reinterpret_cast<LPARAM>(hwnd));
    return hwnd;
}

HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName) {
    std::vector<uintptr_t> children;
    for (const auto& [value, window] : Live()) {
        if (window->parent != parent || value <= reinterpret_cast<uintptr_t>(after)) continue;
        if (className && strcasecmp(window->className.c_str(), className) != 0) continue;
        if (windowName && window->text != windowName) continue;
        children.push_back(value);
    }
    if (children.empty()) return nullptr;
    return reinterpret_cast<HWND>(*std::min_element(children.begin(), children.end()));
}

BOOL ScreenToClient(HWND hwnd, POINT* p) {
    RECT window, client;
    if (!p || !GetWindowRect(hwnd, &window) || !GetClientRect(hwnd, &client)) return 0;
    // The client area lies inside the frame: as wide on each side and along the bottom.
    const LONG side = ((window.right - window.left) - client.right) / 2;
    const LONG top = (window.bottom - window.top) - client.bottom - side;
    if (const WindowObject* w = WindowFromHandle(hwnd); w && w->peer) {
        RECT c;
        if (!ScreenRect(w, true, c)) return 0;
        p->x -= c.left, p->y -= c.top;
        return 1;
    }
    p->x -= window.left + side, p->y -= window.top + top;
    return 1;
}
