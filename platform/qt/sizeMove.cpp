#include "platform/qt/sizeMove.h"

#include <algorithm>

#include "platform/user/capture.h"
#include "platform/user/messages.h"
#include "platform/user/metrics.h"
#include "platform/user/window.h"
#include "platform/vcl/peer.h"

namespace qtbridge {
namespace {

bool DragsLeft(WPARAM edge) {
    return edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
}
bool DragsRight(WPARAM edge) {
    return edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
}
bool DragsTop(WPARAM edge) {
    return edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
}
bool DragsBottom(WPARAM edge) {
    return edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
}

// The rectangle the window had at the press, with the dragged edges moved by the mouse's
// way since; an edge stops where the window would get smaller than the smallest size.
RECT Resized(const RECT& start, WPARAM edge, int dx, int dy) {
    const LONG minW = GetSystemMetrics(SM_CXMINTRACK), minH = GetSystemMetrics(SM_CYMINTRACK);
    RECT r = start;
    if (DragsLeft(edge)) r.left = std::min<LONG>(start.left + dx, start.right - minW);
    if (DragsRight(edge)) r.right = std::max<LONG>(start.right + dx, start.left + minW);
    if (DragsTop(edge)) r.top = std::min<LONG>(start.top + dy, start.bottom - minH);
    if (DragsBottom(edge)) r.bottom = std::max<LONG>(start.bottom + dy, start.top + minH);
    return r;
}

// One mouse position of the tracking: the window may change the proposed rectangle
// (WM_MOVING, WM_SIZING) before it takes it.
void Step(HWND hwnd, WPARAM edge, const RECT& start, int dx, int dy) {
    if (!IsWindow(hwnd)) return;
    RECT r = start;
    if (edge == 0) {
        r = RECT{start.left + dx, start.top + dy, start.right + dx, start.bottom + dy};
        SendMessageA(hwnd, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
        r = Resized(start, edge, dx, dy);
        SendMessageA(hwnd, WM_SIZING, edge, reinterpret_cast<LPARAM>(&r));
    }
    RECT now;
    if (!IsWindow(hwnd) || !GetWindowRect(hwnd, &now)) return;
    if (now.left == r.left && now.top == r.top && now.right == r.right && now.bottom == r.bottom)
        return;
    // A child window (an MDI child) is placed in its parent's client area.
    POINT at{r.left, r.top};
    if (const WindowObject* w = WindowFromHandle(hwnd);
        w && w->parent && !ScreenToClient(w->parent, &at))
        return;
    SetWindowPos(hwnd, nullptr, at.x, at.y, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (edge == 0 ? SWP_NOSIZE : 0));
}

}  // namespace

bool BeginSizeMove(HWND hwnd, int hit, int sx, int sy) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w || !w->peer) return false;
    // The sizing borders in HT order give the WMSZ_ edges in theirs.
    const WPARAM edge =
        hit >= HTLEFT && hit <= HTBOTTOMRIGHT ? WPARAM(hit - HTLEFT) + WMSZ_LEFT : 0;
    RECT start;
    if ((hit != HTCAPTION && edge == 0) || !GetWindowRect(hwnd, &start)) return false;
    // The tracking holds the mouse capture; the window hears WM_CAPTURECHANGED at the release.
    SetCapture(hwnd);
    static_cast<ws::Peer*>(w->peer)->trackMouse(
        [=](int x, int y) { Step(hwnd, edge, start, x - sx, y - sy); },
        [hwnd] {
            if (GetCapture() == hwnd) ReleaseCapture();
        });
    return true;
}

}  // namespace qtbridge
