// Pens, brushes and clipping selected into a device context for one drawing, given back
// (and deleted) when the scope ends, on every path.
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/user/paint.h"
#include "platform/vcl/graphics.h"

class TStyDcScope {
public:
    explicit TStyDcScope(HDC dc) : dc_(dc) {}
    TStyDcScope(const TStyDcScope&) = delete;
    TStyDcScope& operator=(const TStyDcScope&) = delete;
    ~TStyDcScope() {
        if (oldPen_) SelectObject(dc_, oldPen_);
        if (oldBrush_) SelectObject(dc_, oldBrush_);
        if (pen_) DeleteObject(pen_);
        if (brush_) DeleteObject(brush_);
    }
    HDC dc() const { return dc_; }

    void SolidPen(COLORREF c, int width = 1) { setPen(CreatePen(PS_SOLID, width, c)); }
    void NoPen() { setPen(nullptr); }
    void SolidBrush(COLORREF c) { setBrush(CreateSolidBrush(c)); }
    void NoBrush() { setBrush(nullptr); }
    HBRUSH Brush() const { return brush_; }

private:
    void setPen(HPEN p) {
        HGDIOBJ old = SelectObject(dc_, p ? HGDIOBJ(p) : GetStockObject(NULL_PEN));
        if (!oldPen_) oldPen_ = old;
        if (pen_) DeleteObject(pen_);
        pen_ = p;
    }
    void setBrush(HBRUSH b) {
        HGDIOBJ old = SelectObject(dc_, b ? HGDIOBJ(b) : GetStockObject(NULL_BRUSH));
        if (!oldBrush_) oldBrush_ = old;
        if (brush_) DeleteObject(brush_);
        brush_ = b;
    }
    HDC dc_;
    HGDIOBJ oldPen_ = nullptr, oldBrush_ = nullptr;
    HPEN pen_ = nullptr;
    HBRUSH brush_ = nullptr;
};

// Clips drawing to a rectangle (logical coordinates) within the clip the DC had, and puts
// that clip back at the end.
class TStyClipScope {
public:
    TStyClipScope(HDC dc, const RECT& r) : dc_(dc), saved_(CreateRectRgn(0, 0, 0, 0)) {
        had_ = GetClipRgn(dc_, saved_) == 1;
        IntersectClipRect(dc_, r.left, r.top, r.right, r.bottom);
    }
    TStyClipScope(const TStyClipScope&) = delete;
    TStyClipScope& operator=(const TStyClipScope&) = delete;
    ~TStyClipScope() {
        SelectClipRgn(dc_, had_ ? saved_ : nullptr);
        DeleteObject(saved_);
    }

private:
    HDC dc_;
    HRGN saved_;
    bool had_ = false;
};

// One-call helpers of the drawing routines.
inline void StyShrink(TRect& r, int d) {
    r.Left += d;
    r.Top += d;
    r.Right -= d;
    r.Bottom -= d;
}

inline void StyEdge(HDC dc, TRect& r, UINT edge, UINT flags) {
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    DrawEdge(dc, &rc, edge, flags & 0xFFFF);
    r = Rect(rc.left, rc.top, rc.right, rc.bottom);
}

inline void StyFill(HDC dc, const TRect& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    FillRect(dc, &rc, b);
    DeleteObject(b);
}

inline void StyFrame(HDC dc, const TRect& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    FrameRect(dc, &rc, b);
    DeleteObject(b);
}

inline void StyLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF c) {
    TStyDcScope s(dc);
    s.SolidPen(c);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

// The x and y packed into a placement offset (low word x, high word y).
inline POINT UnpackOffset(DWORD offset) {
    return POINT{LONG(int16_t(offset & 0xFFFF)), LONG(int16_t(offset >> 16))};
}
