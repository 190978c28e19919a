// Lines and shapes. Thin solid lines, rectangles and polygons are rasterised here, pixel for
// pixel as GDI does (right and bottom edges exclusive, LineTo leaves out its end point, the
// ROP2 mix applied exactly); curves and wide or styled pens go through the painter.
#include <algorithm>
#include <cmath>

#include "platform/gdi/gdiObjects.h"

namespace gdi {

// R2_* as the ternary raster operation with the pen (or brush) as pattern.
DWORD Rop2AsRop3(int rop2) {
    static const BYTE k[17] = {0xAA, 0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A, 0x5F,
                               0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA, 0xFF};
    return DWORD(k[rop2 >= 1 && rop2 <= 16 ? rop2 : 13]) << 16;
}

namespace {

std::shared_ptr<Dc> DcOf(HDC h) {
    auto dc = FindAs<Dc>(h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

COLORREF PenColor(const Dc& dc, const Pen& p) {
    COLORREF c = ResolveColor(dc, p.dcPen ? dc.st.dcPen : p.color);
    return dc.monochrome() ? MonoColor(c) : c;
}

bool ThinSolid(const Pen& p) {
    return (p.style == PS_SOLID || p.style == PS_INSIDEFRAME) && p.width <= 1;
}

// The pixels of a line from a to b (device coordinates), the end point left out.
void LinePixels(int x0, int y0, int x1, int y1, std::vector<std::pair<int, int>>& out) {
    int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int steps = std::max(dx, dy);
    if (dx >= dy) {
        int err = dx / 2;
        int y = y0;
        for (int i = 0, x = x0; i < steps; ++i, x += sx) {
            out.push_back({x, y});
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        }
    } else {
        int err = dy / 2;
        int x = x0;
        for (int i = 0, y = y0; i < steps; ++i, y += sy) {
            out.push_back({x, y});
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        }
    }
}

RegionSet PixelSet(std::vector<std::pair<int, int>>& px) {
    if (px.empty()) return {};
    std::sort(px.begin(), px.end(), [](auto& a, auto& b) {
        return a.second != b.second ? a.second < b.second : a.first < b.first;
    });
    int top = px.front().second, bottom = px.back().second;
    std::vector<std::vector<Span>> rows(size_t(bottom - top + 1));
    for (auto& p : px) rows[size_t(p.second - top)].push_back({p.first, p.first + 1});
    return RegionSet::FromRows(top, rows);
}

// Paints a device-coordinate pixel set with the pen's colour under the ROP2 mix.
void PaintWithPen(Dc& dc, const Pen& pen, const RegionSet& set) {
    if (set.empty()) return;
    Brush b;
    b.color = PenColor(dc, pen);
    RasterRect(dc, set.box(), Rop2AsRop3(dc.st.rop2), nullptr, &b, &set);
}

void PaintWithBrush(Dc& dc, const RegionSet& set) {
    auto brush = CurrentBrush(dc);
    if (set.empty() || brush->style == BS_NULL) return;
    RasterRect(dc, set.box(), Rop2AsRop3(dc.st.rop2), nullptr, brush.get(), &set);
}

void ApplyPenBrush(Dc& dc, gdi::Painter& p, bool fill) {
    auto pen = CurrentPen(dc);
    p.setPenEx(PenColor(dc, *pen), pen->width, PenDrawnStyle(pen->style, pen->width), false);
    auto brush = CurrentBrush(dc);
    COLORREF bc = ResolveColor(dc, brush->dcBrush ? dc.st.dcBrush : brush->color);
    if (dc.monochrome()) bc = MonoColor(bc);
    p.setBrush(bc, !fill || brush->style == BS_NULL ? 1 : 0);
}

BOOL DrawPolyline(HDC h, const POINT* pts, int count, bool closed) {
    auto dc = DcOf(h);
    if (!dc || !pts || count < 2) return FALSE_;
    auto pen = CurrentPen(*dc);
    if (pen->style == PS_NULL) return TRUE_;
    if (ThinSolid(*pen)) {
        std::vector<std::pair<int, int>> px;
        int n = closed ? count + 1 : count;
        for (int i = 0; i + 1 < n; ++i) {
            const POINT& a = pts[i % count];
            const POINT& b = pts[(i + 1) % count];
            LinePixels(dc->dx(a.x), dc->dy(a.y), dc->dx(b.x), dc->dy(b.y), px);
        }
        std::sort(px.begin(), px.end());
        px.erase(std::unique(px.begin(), px.end()), px.end());
        PaintWithPen(*dc, *pen, PixelSet(px));
        return TRUE_;
    }
    std::vector<int> xy;
    for (int i = 0; i < count; ++i) xy.insert(xy.end(), {int(pts[i].x), int(pts[i].y)});
    if (closed) xy.insert(xy.end(), {int(pts[0].x), int(pts[0].y)});
    WithPainter(*dc, [&](gdi::Painter& p) {
        ApplyPenBrush(*dc, p, false);
        p.polyline(xy.data(), int(xy.size() / 2));
    });
    return TRUE_;
}

// Angle of a radial point, counter-clockwise from 3 o'clock, in 1/16 degree.
int Angle16(double cx, double cy, int x, int y) {
    double a = std::atan2(-(y - cy), x - cx) * 180.0 / M_PI;
    if (a < 0) a += 360;
    return int(std::lround(a * 16));
}

BOOL ArcShape(HDC h, int l, int t, int r, int b, int x1, int y1, int x2, int y2, int kind) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
    int a1 = Angle16(cx, cy, x1, y1), a2 = Angle16(cx, cy, x2, y2);
    int span = a2 - a1;
    if (span <= 0) span += 360 * 16;
    WithPainter(*dc, [&](gdi::Painter& p) {
        ApplyPenBrush(*dc, p, kind != 0);
        p.arc(l, t, r, b, a1, span, kind);
    });
    return TRUE_;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL MoveToEx(HDC h, int x, int y, POINT* old) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    if (old) *old = dc->st.pos;
    dc->st.pos = POINT{x, y};
    return TRUE_;
}

BOOL GetCurrentPositionEx(HDC h, POINT* out) {
    auto dc = DcOf(h);
    if (!dc || !out) return FALSE_;
    *out = dc->st.pos;
    return TRUE_;
}

BOOL LineTo(HDC h, int x, int y) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    POINT pts[2] = {dc->st.pos, POINT{x, y}};
    dc->st.pos = pts[1];
    return DrawPolyline(h, pts, 2, false);
}

BOOL Polyline(HDC h, const POINT* pts, int count) { return DrawPolyline(h, pts, count, false); }

BOOL PolylineTo(HDC h, const POINT* pts, DWORD count) {
    auto dc = DcOf(h);
    if (!dc || !pts || count == 0) return FALSE_;
    std::vector<POINT> all{dc->st.pos};
    all.insert(all.end(), pts, pts + count);
    dc->st.pos = pts[count - 1];
    return DrawPolyline(h, all.data(), int(all.size()), false);
}

BOOL PolyPolygon(HDC h, const POINT* pts, const int* counts, int polygons) {
    auto dc = DcOf(h);
    if (!dc || !pts || !counts || polygons <= 0) return FALSE_;
    // The inside, by the DC's fill mode, then every outline.
    HRGN rgn = CreatePolyPolygonRgn(pts, counts, polygons, dc->st.polyFill);
    if (auto r = FindAs<Region>(rgn)) {
        RegionSet s = r->set;
        s.offset(dc->dx(0), dc->dy(0));
        PaintWithBrush(*dc, s);
    }
    DeleteObject(rgn);
    const POINT* p = pts;
    for (int i = 0; i < polygons; ++i) {
        DrawPolyline(h, p, counts[i], true);
        p += counts[i];
    }
    return TRUE_;
}

BOOL Polygon(HDC h, const POINT* pts, int count) { return PolyPolygon(h, pts, &count, 1); }

BOOL Rectangle(HDC h, int l, int t, int r, int b) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    if (r - l < 2 || b - t < 2) return TRUE_;
    auto pen = CurrentPen(*dc);
    int L = dc->dx(l), T = dc->dy(t), R = dc->dx(r), B = dc->dy(b);
    if (ThinSolid(*pen) || pen->style == PS_NULL) {
        // With a null pen the brush fills one pixel less to the right and bottom, as in GDI.
        bool outline = pen->style != PS_NULL;
        RegionSet inside = outline ? RegionSet::FromRect(L + 1, T + 1, R - 1, B - 1)
                                   : RegionSet::FromRect(L, T, R - 1, B - 1);
        PaintWithBrush(*dc, inside);
        if (outline)
            PaintWithPen(
                *dc, *pen,
                RegionSet::Combine(RegionSet::FromRect(L, T, R, B), inside, RegionSet::Diff));
        return TRUE_;
    }
    WithPainter(*dc, [&](gdi::Painter& p) {
        ApplyPenBrush(*dc, p, true);
        p.rectangle(l, t, r, b);
    });
    return TRUE_;
}

BOOL RoundRect(HDC h, int l, int t, int r, int b, int ew, int eh) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    WithPainter(*dc, [&](gdi::Painter& p) {
        ApplyPenBrush(*dc, p, true);
        p.roundRect(l, t, r, b, ew, eh);
    });
    return TRUE_;
}

BOOL Ellipse(HDC h, int l, int t, int r, int b) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    WithPainter(*dc, [&](gdi::Painter& p) {
        ApplyPenBrush(*dc, p, true);
        p.ellipse(l, t, r, b);
    });
    return TRUE_;
}

BOOL Arc(HDC h, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ArcShape(h, l, t, r, b, x1, y1, x2, y2, 0);
}
BOOL Pie(HDC h, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ArcShape(h, l, t, r, b, x1, y1, x2, y2, 1);
}
BOOL Chord(HDC h, int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ArcShape(h, l, t, r, b, x1, y1, x2, y2, 2);
}
