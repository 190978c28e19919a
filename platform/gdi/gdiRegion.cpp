// Region objects and clipping: shapes become banded rectangle sets, row by row.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/gdiObjects.h"

namespace gdi {
namespace {

std::shared_ptr<Region> RgnOf(HRGN h) {
    auto r = FindAs<Region>(h);
    if (!r) SetLastError(ERROR_INVALID_HANDLE);
    return r;
}

HRGN NewRegion(RegionSet set) {
    auto r = std::make_shared<Region>();
    r->set = std::move(set);
    return AddAs<HRGN>(r);
}

void Order(int& a, int& b) {
    if (a > b) std::swap(a, b);
}

// The spans of an ellipse inscribed in [l, r) x [t, b), sampled at pixel centres.
RegionSet EllipseSet(int l, int t, int r, int b) {
    Order(l, r);
    Order(t, b);
    if (r - l < 1 || b - t < 1) return {};
    const double cx = (l + r) / 2.0, cy = (t + b) / 2.0, rx = (r - l) / 2.0, ry = (b - t) / 2.0;
    std::vector<std::vector<Span>> rows;
    for (int y = t; y < b; ++y) {
        double dy = (y + 0.5 - cy) / ry;
        double half = rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int x0 = int(std::lround(cx - half)), x1 = int(std::lround(cx + half));
        rows.push_back(x1 > x0 ? std::vector<Span>{{x0, x1}} : std::vector<Span>{});
    }
    return RegionSet::FromRows(t, rows);
}

RegionSet RoundRectSet(int l, int t, int r, int b, int ew, int eh) {
    Order(l, r);
    Order(t, b);
    if (r <= l || b <= t) return {};
    ew = std::min(std::abs(ew), r - l);
    eh = std::min(std::abs(eh), b - t);
    if (ew < 2 || eh < 2) return RegionSet::FromRect(l, t, r, b);
    const double rx = ew / 2.0, ry = eh / 2.0;
    std::vector<std::vector<Span>> rows;
    for (int y = t; y < b; ++y) {
        double py = y + 0.5;
        double inset = 0;
        double cy = py < t + ry ? t + ry : py > b - ry ? b - ry : py;
        double dy = (py - cy) / ry;
        if (dy != 0) inset = rx - rx * std::sqrt(std::max(0.0, 1.0 - dy * dy));
        int x0 = int(std::lround(l + inset)), x1 = int(std::lround(r - inset));
        rows.push_back(x1 > x0 ? std::vector<Span>{{x0, x1}} : std::vector<Span>{});
    }
    return RegionSet::FromRows(t, rows);
}

// Scan conversion of polygons at pixel centres, by the even-odd or the winding rule.
RegionSet PolygonSet(const POINT* pts, const int* counts, int polygons, int mode) {
    struct Edge {
        double x0, y0, x1, y1;
        int dir;
    };
    std::vector<Edge> edges;
    int top = INT32_MAX, bottom = INT32_MIN;
    const POINT* p = pts;
    for (int k = 0; k < polygons; ++k) {
        int n = counts[k];
        for (int i = 0; i < n; ++i) {
            POINT a = p[i], b = p[(i + 1) % n];
            top = std::min<int>(top, a.y);
            bottom = std::max<int>(bottom, a.y);
            if (a.y == b.y) continue;
            if (a.y < b.y)
                edges.push_back({double(a.x), double(a.y), double(b.x), double(b.y), 1});
            else
                edges.push_back({double(b.x), double(b.y), double(a.x), double(a.y), -1});
        }
        p += n;
    }
    if (edges.empty() || top >= bottom) return {};
    std::vector<std::vector<Span>> rows;
    std::vector<std::pair<double, int>> xs;
    for (int y = top; y < bottom; ++y) {
        double py = y + 0.5;
        xs.clear();
        for (auto& e : edges)
            if (py >= e.y0 && py < e.y1)
                xs.push_back({e.x0 + (py - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0), e.dir});
        std::sort(xs.begin(), xs.end());
        std::vector<Span> row;
        int wind = 0;
        for (size_t i = 0; i + 1 < xs.size(); ++i) {
            wind += xs[i].second;
            bool inside = mode == WINDING ? wind != 0 : (i % 2) == 0;
            if (!inside) continue;
            // Pixels whose centres lie inside.
            int x0 = int(std::ceil(xs[i].first - 0.5)), x1 = int(std::ceil(xs[i + 1].first - 0.5));
            if (x1 > x0) row.push_back({x0, x1});
        }
        rows.push_back(std::move(row));
    }
    return RegionSet::FromRows(top, rows);
}

std::shared_ptr<Dc> DcOf(HDC h) {
    auto dc = FindAs<Dc>(h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

int ClipKind(const Dc& dc) { return dc.visible().kind(); }

}  // namespace

std::shared_ptr<Region> FindRegion(HRGN h) { return FindAs<Region>(h); }

}  // namespace gdi

using namespace gdi;

HRGN CreateRectRgn(int l, int t, int r, int b) {
    Order(l, r);
    Order(t, b);
    return NewRegion(RegionSet::FromRect(l, t, r, b));
}
HRGN CreateRectRgnIndirect(const RECT* r) {
    return r ? CreateRectRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int ew, int eh) {
    return NewRegion(RoundRectSet(l, t, r, b, ew, eh));
}
HRGN CreateEllipticRgn(int l, int t, int r, int b) { return NewRegion(EllipseSet(l, t, r, b)); }
HRGN CreateEllipticRgnIndirect(const RECT* r) {
    return r ? CreateEllipticRgn(r->left, r->top, r->right, r->bottom) : nullptr;
}

HRGN CreatePolygonRgn(const POINT* pts, int count, int mode) {
    if (!pts || count < 2 || (mode != ALTERNATE && mode != WINDING)) return nullptr;
    return NewRegion(PolygonSet(pts, &count, 1, mode));
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const int* counts, int polygons, int mode) {
    if (!pts || !counts || polygons <= 0 || (mode != ALTERNATE && mode != WINDING)) return nullptr;
    for (int i = 0; i < polygons; ++i)
        if (counts[i] < 2) return nullptr;
    return NewRegion(PolygonSet(pts, counts, polygons, mode));
}

int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
    auto d = RgnOf(dst), ra = RgnOf(a);
    if (!d || !ra) return ERROR_REGION;
    if (mode == RGN_COPY) {
        d->set = ra->set;
        return d->set.kind();
    }
    auto rb = RgnOf(b);
    if (!rb || mode < RGN_AND || mode > RGN_DIFF) return ERROR_REGION;
    static const RegionSet::Op ops[] = {RegionSet::And, RegionSet::Or, RegionSet::Xor,
                                        RegionSet::Diff};
    d->set = RegionSet::Combine(ra->set, rb->set, ops[mode - RGN_AND]);
    return d->set.kind();
}

BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b) {
    auto d = RgnOf(rgn);
    if (!d) return FALSE_;
    Order(l, r);
    Order(t, b);
    d->set = RegionSet::FromRect(l, t, r, b);
    return TRUE_;
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    auto d = RgnOf(rgn);
    if (!d) return ERROR_REGION;
    d->set.offset(dx, dy);
    return d->set.kind();
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    auto d = RgnOf(rgn);
    return d && d->set.contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* r) {
    auto d = RgnOf(rgn);
    if (!d || !r) return FALSE_;
    RECT n{std::min(r->left, r->right), std::min(r->top, r->bottom), std::max(r->left, r->right),
           std::max(r->top, r->bottom)};
    return d->set.intersects(n);
}

int GetRgnBox(HRGN rgn, RECT* out) {
    auto d = RgnOf(rgn);
    if (!d || !out) return ERROR_REGION;
    *out = d->set.box();
    return d->set.kind();
}

BOOL EqualRgn(HRGN a, HRGN b) {
    auto ra = RgnOf(a), rb = RgnOf(b);
    if (!ra || !rb) return BOOL(ERROR_REGION);
    return ra->set == rb->set;
}

DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* out) {
    auto d = RgnOf(rgn);
    if (!d) return 0;
    std::vector<RECT> rects = d->set.rects();
    const DWORD need = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!out) return need;
    if (size < need) return 0;
    RGNDATAHEADER h;
    h.nCount = DWORD(rects.size());
    h.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    h.rcBound = d->set.box();
    std::memcpy(static_cast<void*>(out), &h, sizeof h);
    if (!rects.empty())
        std::memcpy(reinterpret_cast<char*>(out) + sizeof h, rects.data(),
                    rects.size() * sizeof(RECT));
    return need;
}

HRGN ExtCreateRegion(const XFORM* xf, DWORD size, const RGNDATA* data) {
    if (!data || size < sizeof(RGNDATAHEADER)) return nullptr;
    RGNDATAHEADER h;
    std::memcpy(&h, static_cast<const void*>(data), sizeof h);
    if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return nullptr;
    if (h.nCount > (size - sizeof h) / sizeof(RECT)) return nullptr;  // more rectangles than bytes
    if (xf && (xf->eM11 != 1 || xf->eM22 != 1 || xf->eM12 != 0 || xf->eM21 != 0)) return nullptr;
    int dx = xf ? int(std::lround(xf->eDx)) : 0, dy = xf ? int(std::lround(xf->eDy)) : 0;
    RegionSet set;
    const char* p = reinterpret_cast<const char*>(data) + sizeof h;
    for (DWORD i = 0; i < h.nCount; ++i) {
        RECT r;
        std::memcpy(&r, p + i * sizeof(RECT), sizeof r);
        if (r.right <= r.left || r.bottom <= r.top) continue;
        set = RegionSet::Combine(
            set, RegionSet::FromRect(r.left + dx, r.top + dy, r.right + dx, r.bottom + dy),
            RegionSet::Or);
    }
    return NewRegion(std::move(set));
}

// ---------------------------------------------------------------- painting regions

namespace {
// The region in device coordinates of the DC.
RegionSet OnDevice(const Dc& dc, const RegionSet& s) {
    RegionSet d = s;
    d.offset(dc.dx(0), dc.dy(0));
    return d;
}
BOOL PaintSet(HDC h, const RegionSet& set, HBRUSH brush, DWORD rop) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    RegionSet dev = OnDevice(*dc, set);
    std::shared_ptr<Brush> b = brush ? FindAs<Brush>(brush) : CurrentBrush(*dc);
    if (!b) return FALSE_;
    RasterRect(*dc, dev.box(), rop, nullptr, b.get(), &dev);
    return TRUE_;
}
}  // namespace

BOOL FillRgn(HDC h, HRGN rgn, HBRUSH brush) {
    auto r = RgnOf(rgn);
    return r && brush ? PaintSet(h, r->set, brush, PATCOPY) : FALSE_;
}

BOOL PaintRgn(HDC h, HRGN rgn) {
    auto r = RgnOf(rgn);
    auto dc = DcOf(h);
    if (!r || !dc) return FALSE_;
    static const DWORD kRop2ToRop3[17] = {0,    0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A, 0x5F,
                                          0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA, 0xFF};
    return PaintSet(h, r->set, nullptr, kRop2ToRop3[dc->st.rop2] << 16);
}

BOOL InvertRgn(HDC h, HRGN rgn) {
    auto r = RgnOf(rgn);
    return r ? PaintSet(h, r->set, nullptr, DSTINVERT) : FALSE_;
}

BOOL FrameRgn(HDC h, HRGN rgn, HBRUSH brush, int w, int hh) {
    auto r = RgnOf(rgn);
    if (!r || !brush || w <= 0 || hh <= 0) return FALSE_;
    // The frame is the region less the region eroded by w x hh: what lies within w (hh) of
    // its outside horizontally (vertically).
    RegionSet inner = r->set;
    for (int dx = -w; dx <= w; dx += 2 * w) {
        RegionSet s = r->set;
        s.offset(dx, 0);
        inner = RegionSet::Combine(inner, s, RegionSet::And);
    }
    for (int dy = -hh; dy <= hh; dy += 2 * hh) {
        RegionSet s = r->set;
        s.offset(0, dy);
        inner = RegionSet::Combine(inner, s, RegionSet::And);
    }
    return PaintSet(h, RegionSet::Combine(r->set, inner, RegionSet::Diff), brush, PATCOPY);
}

// ---------------------------------------------------------------- clipping

int SelectClipRgn(HDC h, HRGN rgn) {
    auto dc = DcOf(h);
    if (!dc) return ERROR_REGION;
    if (!rgn) {
        dc->st.clip.reset();
        return ClipKind(*dc);
    }
    auto r = RgnOf(rgn);
    if (!r) return ERROR_REGION;
    RegionSet s = r->set;
    s.offset(dc->base.x, dc->base.y);  // a canvas's origin is part of its device
    dc->st.clip = s;
    return ClipKind(*dc);
}

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode) {
    auto dc = DcOf(h);
    if (!dc) return ERROR_REGION;
    if (mode == RGN_COPY) return SelectClipRgn(h, rgn);
    auto r = RgnOf(rgn);
    if (!r || mode < RGN_AND || mode > RGN_DIFF) return ERROR_REGION;
    RegionSet s = r->set;
    s.offset(dc->base.x, dc->base.y);
    gdi::Image* img = dc->image();
    RegionSet cur =
        dc->st.clip ? *dc->st.clip
                    : RegionSet::FromRect(0, 0, img ? img->width() : 0, img ? img->height() : 0);
    static const RegionSet::Op ops[] = {RegionSet::And, RegionSet::Or, RegionSet::Xor,
                                        RegionSet::Diff};
    dc->st.clip = RegionSet::Combine(cur, s, ops[mode - RGN_AND]);
    return ClipKind(*dc);
}

namespace {
int ClipRect(HDC h, int l, int t, int r, int b, RegionSet::Op op) {
    auto dc = DcOf(h);
    if (!dc) return ERROR_REGION;
    Order(l, r);
    Order(t, b);
    RegionSet rect = RegionSet::FromRect(dc->dx(l), dc->dy(t), dc->dx(r), dc->dy(b));
    gdi::Image* img = dc->image();
    RegionSet cur =
        dc->st.clip ? *dc->st.clip
                    : RegionSet::FromRect(0, 0, img ? img->width() : 0, img ? img->height() : 0);
    dc->st.clip = RegionSet::Combine(cur, rect, op);
    return ClipKind(*dc);
}
}  // namespace

int ExcludeClipRect(HDC h, int l, int t, int r, int b) {
    return ClipRect(h, l, t, r, b, RegionSet::Diff);
}
int IntersectClipRect(HDC h, int l, int t, int r, int b) {
    return ClipRect(h, l, t, r, b, RegionSet::And);
}

int OffsetClipRgn(HDC h, int dx, int dy) {
    auto dc = DcOf(h);
    if (!dc) return ERROR_REGION;
    if (dc->st.clip) dc->st.clip->offset(dx, dy);
    return ClipKind(*dc);
}

int GetClipRgn(HDC h, HRGN rgn) {
    auto dc = DcOf(h);
    auto r = RgnOf(rgn);
    if (!dc || !r) return -1;
    if (!dc->st.clip) return 0;
    r->set = *dc->st.clip;
    r->set.offset(-dc->base.x, -dc->base.y);
    return 1;
}

int GetClipBox(HDC h, RECT* out) {
    auto dc = DcOf(h);
    if (!dc || !out) return ERROR_REGION;
    RegionSet v = dc->visible();
    RECT b = v.box();
    // Back to logical coordinates.
    int ox = dc->dx(0), oy = dc->dy(0);
    *out = v.empty() ? RECT{} : RECT{b.left - ox, b.top - oy, b.right - ox, b.bottom - oy};
    return v.kind();
}

BOOL PtVisible(HDC h, int x, int y) {
    auto dc = DcOf(h);
    return dc && dc->visible().contains(dc->dx(x), dc->dy(y));
}

BOOL RectVisible(HDC h, const RECT* r) {
    auto dc = DcOf(h);
    if (!dc || !r) return FALSE_;
    return dc->visible().intersects(
        RECT{dc->dx(r->left), dc->dy(r->top), dc->dx(r->right), dc->dy(r->bottom)});
}
