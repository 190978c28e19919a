// Invalidation and painting of windows through their handles.
#include "platform/user/paint.h"

#include <cstring>
#include <unordered_map>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/user/windowDriver.h"

namespace {

// The window system's widget of a window, null when it has none.
void* PeerOf(HWND hwnd) {
    WindowObject* w = WindowFromHandle(hwnd);
    return w ? w->peer : nullptr;
}

HWND g_locked = nullptr;

// The shapes of windows as the rectangles of their regions, by handle (handles are never
// reused, so a stale entry is harmless).
std::unordered_map<HWND, std::vector<RECT>>& Shapes() {
    static std::unordered_map<HWND, std::vector<RECT>> shapes;
    return shapes;
}

// A region's rectangles; false when `rgn` is no region.
bool RectsOf(HRGN rgn, std::vector<RECT>& rects) {
    const DWORD size = GetRegionData(rgn, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return false;
    std::vector<RECT> buffer(size / sizeof(RECT) + 2);  // RECT-aligned room for the header too
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(rgn, size, data) != size) return false;
    rects.resize(data->rdh.nCount);
    if (!rects.empty())
        std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + sizeof(RGNDATAHEADER),
                    rects.size() * sizeof(RECT));
    return true;
}

// A new region of the given rectangles (they are disjoint, as a region hands them out).
HRGN RegionOf(const std::vector<RECT>& rects) {
    std::vector<RECT> buffer(rects.size() + sizeof(RGNDATAHEADER) / sizeof(RECT) + 1);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh = RGNDATAHEADER{};
    data->rdh.nCount = DWORD(rects.size());
    data->rdh.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    if (!rects.empty())
        std::memcpy(reinterpret_cast<char*>(data) + sizeof(RGNDATAHEADER), rects.data(),
                    rects.size() * sizeof(RECT));
    return ExtCreateRegion(nullptr, DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT)),
                           data);
}

}  // namespace

int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL) {
    void* p = PeerOf(hwnd);
    if (!WindowFromHandle(hwnd)) return 0;
    if (!rgn) {
        Shapes().erase(hwnd);
        if (p) WindowSystem().setShape(p, nullptr, 0, false);
        return 1;
    }
    std::vector<RECT> rects;
    if (!RectsOf(rgn, rects)) return 0;
    DeleteObject(rgn);  // the region belongs to the window now
    std::vector<int> ltrb;
    for (const RECT& x : rects)
        ltrb.insert(ltrb.end(), {int(x.left), int(x.top), int(x.right), int(x.bottom)});
    if (p) WindowSystem().setShape(p, ltrb.data(), int(ltrb.size() / 4), true);
    Shapes()[hwnd] = std::move(rects);
    return 1;
}

int GetWindowRgn(HWND hwnd, HRGN rgn) {
    auto it = Shapes().find(hwnd);
    if (it == Shapes().end() || GetObjectType(rgn) != OBJ_REGION) return ERROR_REGION;
    if (!WindowFromHandle(hwnd)) {
        Shapes().erase(it);
        return ERROR_REGION;
    }
    HRGN shape = RegionOf(it->second);
    const int kind = CombineRgn(rgn, shape, nullptr, RGN_COPY);
    DeleteObject(shape);
    return kind;
}

// The window repaints whole: the image behind it is painted anew by its control.
BOOL InvalidateRect(HWND hwnd, const RECT*, BOOL) {
    void* p = PeerOf(hwnd);
    if (!p) return FALSE_;
    WindowSystem().invalidate(p);
    return TRUE_;
}

BOOL InvalidateRgn(HWND hwnd, HRGN, BOOL erase) { return InvalidateRect(hwnd, nullptr, erase); }

// Nothing is pending per rectangle, so there is nothing to take back.
BOOL ValidateRect(HWND hwnd, const RECT*) { return WindowFromHandle(hwnd) ? TRUE_ : FALSE_; }
BOOL ValidateRgn(HWND hwnd, HRGN) { return ValidateRect(hwnd, nullptr); }

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL) {
    if (r) *r = RECT{};
    (void)hwnd;
    return FALSE_;
}

BOOL UpdateWindow(HWND hwnd) {
    void* p = PeerOf(hwnd);
    if (!p) return FALSE_;
    WindowSystem().repaintNow(p);
    return TRUE_;
}

BOOL RedrawWindow(HWND hwnd, const RECT*, HRGN, UINT flags) {
    void* p = PeerOf(hwnd);
    if (!p) return FALSE_;
    if (flags & (RDW_INVALIDATE | RDW_FRAME | RDW_ERASE)) WindowSystem().invalidate(p);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) WindowSystem().repaintNow(p);
    return TRUE_;
}

BOOL LockWindowUpdate(HWND hwnd) {
    if (hwnd && g_locked && WindowFromHandle(g_locked)) return FALSE_;  // one window at a time
    if (!hwnd) {
        if (void* p = PeerOf(g_locked)) WindowSystem().setRedraw(p, true);
        g_locked = nullptr;
        return TRUE_;
    }
    void* p = PeerOf(hwnd);
    if (!p) return FALSE_;
    WindowSystem().setRedraw(p, false);
    g_locked = hwnd;
    return TRUE_;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
    HDC dc = GetDC(hwnd);
    if (ps) {
        *ps = PAINTSTRUCT{};
        ps->hdc = dc;
        GetClipBox(dc, &ps->rcPaint);
    }
    return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
    if (!ps) return FALSE_;
    ReleaseDC(hwnd, ps->hdc);
    return TRUE_;
}
