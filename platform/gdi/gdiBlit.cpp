// Raster operations per scan line: BitBlt, StretchBlt, PatBlt, MaskBlt, TransparentBlt and the
// rectangle fills, exact to the truth tables, with monochrome <-> colour conversion by the
// text and background colours as GDI does it.
#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/gdi/gdiObjects.h"

namespace gdi {

namespace {

// The line pixels of the 8 x 8 hatch cells as Windows draws them, x and y within the cell
// from the brush origin: the horizontal line on the cell's last row, the vertical one on its
// fifth column, the falling diagonal through the cell's top-left corner and the rising one
// through its top-right corner.
bool HatchBit(int hatch, int x, int y) {
    switch (hatch) {
        case HS_HORIZONTAL:
            return y == 7;
        case HS_VERTICAL:
            return x == 4;
        case HS_FDIAGONAL:
            return x == y;
        case HS_BDIAGONAL:
            return x + y == 7;
        case HS_CROSS:
            return x == 4 || y == 7;
        case HS_DIAGCROSS:
            return x == y || x + y == 7;
        default:
            return false;
    }
}

int Mod(int a, int m) { return ((a % m) + m) % m; }

bool UsesPattern(uint8_t i) { return ((i >> 4) & 0x0F) != (i & 0x0F); }
bool UsesSource(uint8_t i) { return ((i >> 2) & 0x33) != (i & 0x33); }

}  // namespace

RopMasks RopMasks::Of(uint8_t index) {
    // The truth table's bit i is the result for P, S, D = bits 2, 1, 0 of i. Its algebraic
    // normal form: coefficient k belongs to the product of the variables whose bits are in k.
    uint8_t a[8];
    for (int i = 0; i < 8; ++i) a[i] = (index >> i) & 1;
    for (int bit = 1; bit < 8; bit <<= 1)
        for (int i = 0; i < 8; ++i)
            if (i & bit) a[i] ^= a[i ^ bit];
    auto m = [&](int k) { return a[k] ? 0xFFFFFFFFu : 0u; };
    return RopMasks{m(0), m(4), m(2), m(1), m(6), m(5), m(3), m(7)};
}

namespace {

// The pattern row, or the solid colour repeated, or nothing; the source row or nothing.
template <bool PatternRow, bool WithSource>
void RopSpan(const RopMasks& m, uint32_t* d, const uint32_t* p, uint32_t solid, const uint32_t* s,
             int n) {
    for (int i = 0; i < n; ++i) {
        const uint32_t pv = PatternRow ? p[i] : solid;
        const uint32_t sv = WithSource ? s[i] : 0;
        d[i] = m.apply(pv, sv, d[i]) | 0xFF000000u;
    }
}

}  // namespace

// Pixels are 32 bits in every image (the nominal depth of a bitmap is kept in its packed
// rows, converted after drawing), and monochrome pixels are all ones or all zeros, on which
// the same masks give all ones or all zeros again; so one routine serves every depth.
void RopSpan32(const RopMasks& m, uint8_t index, uint32_t* d, const uint32_t* p, uint32_t solid,
               const uint32_t* s, int n, bool keepAlpha) {
    if (n <= 0) return;
    if (index == 0xCC && s) {
        if (keepAlpha)
            std::memcpy(d, s, size_t(n) * 4);
        else
            for (int i = 0; i < n; ++i) d[i] = s[i] | 0xFF000000u;
        return;
    }
    if (p)
        s ? RopSpan<true, true>(m, d, p, solid, s, n) : RopSpan<true, false>(m, d, p, solid, s, n);
    else
        s ? RopSpan<false, true>(m, d, p, solid, s, n)
          : RopSpan<false, false>(m, d, p, solid, s, n);
}

PatternSource::PatternSource(const Dc& dc, const Brush* brush) {
    const bool mono = dc.monochrome();
    auto pix = [&](COLORREF c) {
        c = ResolveColor(dc, c);
        return ToPixel(mono ? MonoColor(c) : c);
    };
    ox_ = dc.st.brushOrg.x;
    oy_ = dc.st.brushOrg.y;
    if (!brush || brush->style == BS_NULL) {
        color_ = 0xFFFFFFFF;
        return;
    }
    if (brush->style == BS_SOLID) {
        color_ = pix(brush->dcBrush ? dc.st.dcBrush : brush->color);
        return;
    }
    solid_ = false;
    if (brush->style == BS_HATCHED) {
        hatch_ = brush->hatch;
        fore_ = pix(brush->color);
        back_ = pix(dc.st.bk);
        transparentBack_ = dc.st.bkMode == TRANSPARENT;
        return;
    }
    // A pattern bitmap; monochrome ones take the DC's text (0) and background (1) colours.
    Bitmap& b = *brush->pattern;
    tw_ = std::max(1, b.width());
    th_ = std::max(1, b.height());
    tile_.resize(size_t(tw_) * size_t(th_), 0xFFFFFFFF);
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            COLORREF c = b.image->pixel(x, y);
            if (b.monochrome()) c = c ? dc.st.bk : dc.st.text;
            tile_[size_t(y) * size_t(tw_) + size_t(x)] = pix(c);
        }
}

uint32_t PatternSource::at(int x, int y) const {
    if (solid_) return color_;
    if (hatch_ >= 0) return HatchBit(hatch_, Mod(x - ox_, 8), Mod(y - oy_, 8)) ? fore_ : back_;
    return tile_[size_t(Mod(y - oy_, th_)) * size_t(tw_) + size_t(Mod(x - ox_, tw_))];
}

bool PatternSource::lineAt(int x, int y) const {
    return hatch_ >= 0 && HatchBit(hatch_, Mod(x - ox_, 8), Mod(y - oy_, 8));
}

void PatternSource::row(int y, int l, int r, uint32_t* out) const {
    if (hatch_ >= 0) {
        const int hy = Mod(y - oy_, 8);
        for (int x = l; x < r; ++x)
            out[x - l] = HatchBit(hatch_, Mod(x - ox_, 8), hy) ? fore_ : back_;
        return;
    }
    const uint32_t* line = tile_.data() + size_t(Mod(y - oy_, th_)) * size_t(tw_);
    for (int x = l, tx = Mod(l - ox_, tw_); x < r; ++x) {
        out[x - l] = line[tx];
        if (++tx == tw_) tx = 0;
    }
}

void RasterRect(Dc& dc, RECT r, DWORD rop, SourceRows* source, const Brush* brush,
                const RegionSet* limit) {
    gdi::Image* img = dc.image();
    if (!img || r.right <= r.left || r.bottom <= r.top) return;
    if (Bitmap* b = dc.bitmap()) b->beforeUse();
    RegionSet vis = dc.visible().intersected(r);
    if (limit) vis = RegionSet::Combine(vis, *limit, RegionSet::And);
    if (vis.empty()) return;
    const uint8_t index = uint8_t((rop >> 16) & 0xFF);
    std::shared_ptr<Brush> current;
    if (!brush) {
        current = CurrentBrush(dc);
        brush = current.get();
    }
    const PatternSource pattern(dc, brush);
    const bool useP = UsesPattern(index), useS = UsesSource(index) && source;
    const bool patternRow = useP && !pattern.solid();
    const uint32_t solid = useP ? pattern.color() : 0;
    const RopMasks masks = RopMasks::Of(index);
    // A plain copy keeps the source's alpha where the image has an alpha channel.
    const bool keepAlpha = index == 0xCC && img->hasAlpha();
    std::vector<uint32_t> patternBuf;
    for (const Band& band : vis.bands())
        for (int y = band.top; y < band.bottom; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(img->scanLine(y));
            for (const Span& sp : band.spans) {
                const int n = sp.r - sp.l;
                const uint32_t* p = nullptr;
                if (patternRow) {
                    patternBuf.resize(size_t(n));
                    pattern.row(y, sp.l, sp.r, patternBuf.data());
                    p = patternBuf.data();
                }
                const uint32_t* s = useS ? source->span(y, sp.l, sp.r) : nullptr;
                if (patternRow && pattern.transparentBack()) {
                    // Only the hatch's lines are drawn: each run of them on its own.
                    for (int x = sp.l; x < sp.r;) {
                        if (!pattern.lineAt(x, y)) {
                            ++x;
                            continue;
                        }
                        int e = x + 1;
                        while (e < sp.r && pattern.lineAt(e, y)) ++e;
                        const int o = x - sp.l;
                        RopSpan32(masks, index, row + x, p + o, solid, s ? s + o : nullptr, e - x,
                                  keepAlpha);
                        x = e;
                    }
                    continue;
                }
                RopSpan32(masks, index, row + sp.l, p, solid, s, n, keepAlpha);
            }
        }
    Drawn(dc);
}

namespace {

// The source rectangle of a blit, read before the destination is written (they may be the
// same image), converted to the destination's kind of colour. Placed with its top left at
// (x, y) of the destination, it answers the destination's spans.
struct SourceRect : SourceRows {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    int x = 0, y = 0;
    uint32_t at(int cx, int cy) const { return px[size_t(cy) * size_t(w) + size_t(cx)]; }
    const uint32_t* span(int dy, int l, int) override {
        return px.data() + size_t(dy - y) * size_t(w) + size_t(l - x);
    }
};

SourceRect ReadSource(const Dc& dst, Dc& src, int sx, int sy, int w, int h) {
    SourceRect s;
    s.w = w;
    s.h = h;
    s.px.assign(size_t(w) * size_t(h), 0xFFFFFFFF);
    gdi::Image* img = src.image();
    if (!img) return s;
    if (Bitmap* b = src.bitmap()) b->beforeUse();
    const bool fromMono = src.monochrome(), toMono = dst.monochrome();
    const uint32_t text = ToPixel(ResolveColor(dst, dst.st.text)),
                   back = ToPixel(ResolveColor(dst, dst.st.bk));
    const uint32_t srcBack = ToPixel(ResolveColor(src, src.st.bk)) & 0xFFFFFF;
    // The columns that lie on the source image.
    const int x0 = std::max(0, -sx), x1 = std::min(w, img->width() - sx);
    if (x1 <= x0) return s;
    for (int y = 0; y < h; ++y) {
        const int iy = sy + y;
        if (iy < 0 || iy >= img->height()) continue;
        const auto* in = reinterpret_cast<const uint32_t*>(img->scanLine(iy)) + sx;
        uint32_t* out = s.px.data() + size_t(y) * size_t(w);
        if (fromMono && !toMono)
            for (int x = x0; x < x1; ++x) out[x] = (in[x] & 0xFFFFFF) ? back : text;
        else if (!fromMono && toMono)
            for (int x = x0; x < x1; ++x)
                out[x] = (in[x] & 0xFFFFFF) == srcBack ? 0xFFFFFFFF : 0xFF000000u;
        else
            std::memcpy(out + x0, in + x0, size_t(x1 - x0) * 4);
    }
    return s;
}

// The part of the source rectangle that lies on the source image, as a rectangle.
RECT SourceBounds(Dc& src, int sx, int sy, int w, int h) {
    gdi::Image* img = src.image();
    RECT r{std::max(0, sx), std::max(0, sy), std::min(img ? img->width() : 0, sx + w),
           std::min(img ? img->height() : 0, sy + h)};
    return r;
}

// Maps destination columns [0, dw) onto source columns [0, sw): the range of source columns
// each destination column covers (one at least), mirrored when asked.
struct Axis {
    std::vector<int> from, to;
};
Axis MapAxis(int dw, int sw, bool mirror) {
    Axis a;
    a.from.resize(size_t(dw));
    a.to.resize(size_t(dw));
    for (int i = 0; i < dw; ++i) {
        int k = mirror ? dw - 1 - i : i;
        int f = int(int64_t(k) * sw / dw);
        int t = std::max(f + 1, int(int64_t(k + 1) * sw / dw));
        a.from[size_t(i)] = f;
        a.to[size_t(i)] = std::min(t, sw);
    }
    return a;
}

struct Stretch {
    int x, y, w, h;      // destination, device coordinates, normalised
    int sx, sy, sw, sh;  // source, device coordinates, normalised
    bool flipX, flipY;
};

bool Normalise(Stretch& s) {
    s.flipX = (s.w < 0) != (s.sw < 0);
    s.flipY = (s.h < 0) != (s.sh < 0);
    // A negative extent runs from its origin pixel backwards: x + w + 1 .. x.
    if (s.w < 0) {
        s.x += s.w + 1;
        s.w = -s.w;
    }
    if (s.h < 0) {
        s.y += s.h + 1;
        s.h = -s.h;
    }
    if (s.sw < 0) {
        s.sx += s.sw + 1;
        s.sw = -s.sw;
    }
    if (s.sh < 0) {
        s.sy += s.sh + 1;
        s.sh = -s.sh;
    }
    return s.w > 0 && s.h > 0 && s.sw > 0 && s.sh > 0;
}

uint32_t CombinePixels(const SourceRect& src, int x0, int x1, int y0, int y1, int mode) {
    if (x1 - x0 == 1 && y1 - y0 == 1) return src.at(x0, y0);
    if (mode == COLORONCOLOR) return src.at(x0, y0);
    if (mode == HALFTONE) {
        uint64_t r = 0, g = 0, b = 0, n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                uint32_t v = src.at(x, y);
                r += (v >> 16) & 0xFF;
                g += (v >> 8) & 0xFF;
                b += v & 0xFF;
                ++n;
            }
        return 0xFF000000u | uint32_t(r / n) << 16 | uint32_t(g / n) << 8 | uint32_t(b / n);
    }
    // BLACKONWHITE keeps black pixels (AND), WHITEONBLACK keeps white ones (OR).
    uint32_t v = mode == WHITEONBLACK ? 0 : 0xFFFFFFFF;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            v = mode == WHITEONBLACK ? (v | src.at(x, y)) : (v & src.at(x, y));
    return v;
}

// The stretched source as a function of destination device coordinates, and the part of the
// destination that has source pixels.
struct StretchedSource : SourceRows {
    SourceRect src;
    Axis ax, ay;
    Stretch s;
    int mode;
    RECT valid;
    std::vector<uint32_t> row;
    uint32_t operator()(int x, int y) const {
        size_t i = size_t(x - s.x), j = size_t(y - s.y);
        return CombinePixels(src, ax.from[i], ax.to[i], ay.from[j], ay.to[j], mode);
    }
    const uint32_t* span(int y, int l, int r) override {
        row.resize(size_t(r - l));
        for (int x = l; x < r; ++x) row[size_t(x - l)] = (*this)(x, y);
        return row.data();
    }
};

std::shared_ptr<StretchedSource> MakeStretched(const Dc& dst, Dc& src, Stretch s, int mode) {
    auto st = std::make_shared<StretchedSource>();
    st->s = s;
    st->mode = mode;
    st->src = ReadSource(dst, src, s.sx, s.sy, s.sw, s.sh);
    st->ax = MapAxis(s.w, s.sw, s.flipX);
    st->ay = MapAxis(s.h, s.sh, s.flipY);
    // Destination columns whose source lies on the source image.
    RECT b = SourceBounds(src, s.sx, s.sy, s.sw, s.sh);
    int i0 = s.w, i1 = -1, j0 = s.h, j1 = -1;
    for (int i = 0; i < s.w; ++i) {
        int c = s.sx + st->ax.from[size_t(i)];
        if (c >= b.left && c < b.right) {
            i0 = std::min(i0, i);
            i1 = std::max(i1, i);
        }
    }
    for (int j = 0; j < s.h; ++j) {
        int c = s.sy + st->ay.from[size_t(j)];
        if (c >= b.top && c < b.bottom) {
            j0 = std::min(j0, j);
            j1 = std::max(j1, j);
        }
    }
    st->valid = i1 < 0 || j1 < 0 ? RECT{} : RECT{s.x + i0, s.y + j0, s.x + i1 + 1, s.y + j1 + 1};
    return st;
}

std::shared_ptr<Dc> DcOf(HDC h) {
    auto dc = FindAs<Dc>(h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

// A region of the destination rectangle where `keep(x, y)` holds.
RegionSet RegionWhere(RECT r, const std::function<bool(int, int)>& keep) {
    std::vector<std::vector<Span>> rows;
    for (int y = r.top; y < r.bottom; ++y) {
        std::vector<Span> row;
        for (int x = r.left; x < r.right;) {
            if (!keep(x, y)) {
                ++x;
                continue;
            }
            int x0 = x;
            while (x < r.right && keep(x, y)) ++x;
            row.push_back({x0, x});
        }
        rows.push_back(std::move(row));
    }
    return RegionSet::FromRows(r.top, rows);
}

BOOL DoStretch(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
               DWORD rop, bool plain) {
    auto dst = DcOf(hdst);
    if (!dst) return FALSE_;
    uint8_t index = uint8_t((rop >> 16) & 0xFF);
    Stretch s{dst->dx(x), dst->dy(y), w, h, 0, 0, sw, sh, false, false};
    if (!UsesSource(index)) {
        if (!Normalise(s = Stretch{s.x, s.y, w, h, 0, 0, 1, 1, false, false})) return TRUE_;
        RasterRect(*dst, RECT{s.x, s.y, s.x + s.w, s.y + s.h}, rop, nullptr);
        return TRUE_;
    }
    auto src = DcOf(hsrc);
    if (!src) return FALSE_;
    s.sx = src->dx(sx);
    s.sy = src->dy(sy);
    if (!Normalise(s)) return TRUE_;
    int mode = plain ? COLORONCOLOR : dst->st.stretchMode;
    auto st = MakeStretched(*dst, *src, s, mode);
    RegionSet limit =
        RegionSet::FromRect(st->valid.left, st->valid.top, st->valid.right, st->valid.bottom);
    if (plain) {
        // Unstretched: the source rows are read in place.
        st->src.x = s.x;
        st->src.y = s.y;
        RasterRect(*dst, RECT{s.x, s.y, s.x + s.w, s.y + s.h}, rop, &st->src, nullptr, &limit);
    } else {
        RasterRect(*dst, RECT{s.x, s.y, s.x + s.w, s.y + s.h}, rop, st.get(), nullptr, &limit);
    }
    return TRUE_;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
    if (w <= 0 || h <= 0) return TRUE_;
    return DoStretch(dst, x, y, w, h, src, sx, sy, w, h, rop, true);
}

BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop) {
    return DoStretch(dst, x, y, w, h, src, sx, sy, sw, sh, rop, false);
}

BOOL PatBlt(HDC h, int x, int y, int w, int hh, DWORD rop) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    if (UsesSource(uint8_t((rop >> 16) & 0xFF))) return FALSE_;
    int l = dc->dx(x), t = dc->dy(y), r = l + w, b = t + hh;
    if (l > r) std::swap(l, r);
    if (t > b) std::swap(t, b);
    RasterRect(*dc, RECT{l, t, r, b}, rop, nullptr);
    return TRUE_;
}

BOOL MaskBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, HBITMAP mask, int mx,
             int my, DWORD rop4) {
    auto dst = DcOf(hdst);
    if (!dst || w <= 0 || h <= 0) return FALSE_;
    const DWORD fore = rop4 & 0x00FFFFFF, back = (rop4 >> 8) & 0x00FF0000;
    auto m = FindAs<Bitmap>(mask);
    if (!m) return BitBlt(hdst, x, y, w, h, hsrc, sx, sy, fore);
    if (!m->monochrome()) return FALSE_;
    m->beforeUse();
    auto src = FindAs<Dc>(hsrc);
    const int X = dst->dx(x), Y = dst->dy(y);
    std::optional<SourceRect> sr;
    if (src) {
        sr = ReadSource(*dst, *src, src->dx(sx), src->dy(sy), w, h);
        sr->x = X;
        sr->y = Y;
    }
    RECT r{X, Y, X + w, Y + h};
    RegionSet ones = RegionWhere(r, [&](int px, int py) {
        int u = mx + px - X, v = my + py - Y;
        return u >= 0 && v >= 0 && u < m->width() && v < m->height() &&
               (m->image->pixel(u, v) & 0xFFFFFF) != 0;
    });
    RegionSet zeros = RegionSet::Combine(RegionSet::FromRect(r.left, r.top, r.right, r.bottom),
                                         ones, RegionSet::Diff);
    RasterRect(*dst, r, fore, sr ? &*sr : nullptr, nullptr, &ones);
    RasterRect(*dst, r, back, sr ? &*sr : nullptr, nullptr, &zeros);
    return TRUE_;
}

BOOL TransparentBlt(HDC hdst, int x, int y, int w, int h, HDC hsrc, int sx, int sy, int sw, int sh,
                    UINT transparent) {
    auto dst = DcOf(hdst);
    auto src = DcOf(hsrc);
    if (!dst || !src) return FALSE_;
    Stretch s{dst->dx(x), dst->dy(y), w, h, src->dx(sx), src->dy(sy), sw, sh, false, false};
    if (!Normalise(s)) return FALSE_;
    // The colour key compares the source's own pixels, before any conversion.
    Dc same = *src;
    auto raw = MakeStretched(same, *src, s, COLORONCOLOR);
    auto st = MakeStretched(*dst, *src, s, COLORONCOLOR);
    const uint32_t key = ToPixel(ResolveColor(*src, transparent)) & 0xFFFFFF;
    RegionSet keep =
        RegionWhere(st->valid, [&](int px, int py) { return ((*raw)(px, py) & 0xFFFFFF) != key; });
    RasterRect(*dst, RECT{s.x, s.y, s.x + s.w, s.y + s.h}, SRCCOPY, st.get(), nullptr, &keep);
    return TRUE_;
}

int FillRect(HDC h, const RECT* r, HBRUSH brush) {
    auto dc = DcOf(h);
    if (!dc || !r) return 0;
    auto b = FindAs<Brush>(brush);
    if (!b) {
        // A system colour index plus one stands for that colour's brush.
        uintptr_t v = reinterpret_cast<uintptr_t>(brush);
        if (v == 0 || v > 31) return 0;
        b = FindAs<Brush>(GetSysColorBrush(int(v - 1)));
    }
    RasterRect(*dc, RECT{dc->dx(r->left), dc->dy(r->top), dc->dx(r->right), dc->dy(r->bottom)},
               PATCOPY, nullptr, b.get());
    return 1;
}

int FrameRect(HDC h, const RECT* r, HBRUSH brush) {
    if (!r || r->right <= r->left || r->bottom <= r->top) return 0;
    RECT sides[4] = {{r->left, r->top, r->right, r->top + 1},
                     {r->left, r->bottom - 1, r->right, r->bottom},
                     {r->left, r->top, r->left + 1, r->bottom},
                     {r->right - 1, r->top, r->right, r->bottom}};
    int ok = 1;
    for (const RECT& s : sides) ok &= FillRect(h, &s, brush);
    return ok;
}

BOOL InvertRect(HDC h, const RECT* r) {
    auto dc = DcOf(h);
    if (!dc || !r) return FALSE_;
    RasterRect(*dc, RECT{dc->dx(r->left), dc->dy(r->top), dc->dx(r->right), dc->dy(r->bottom)},
               DSTINVERT, nullptr);
    return TRUE_;
}

BOOL DrawFocusRect(HDC h, const RECT* r) {
    auto dc = DcOf(h);
    if (!dc || !r) return FALSE_;
    // Every other pixel of the outline, inverted: drawing it twice restores the picture.
    int l = dc->dx(r->left), t = dc->dy(r->top), rr = dc->dx(r->right), b = dc->dy(r->bottom);
    if (rr <= l || b <= t) return TRUE_;
    RegionSet dots = RegionWhere(RECT{l, t, rr, b}, [&](int x, int y) {
        bool edge = x == l || x == rr - 1 || y == t || y == b - 1;
        return edge && ((x + y) & 1) == ((l + t) & 1);
    });
    RasterRect(*dc, RECT{l, t, rr, b}, PATINVERT, nullptr,
               FindAs<Brush>(GetStockObject(WHITE_BRUSH)).get(), &dots);
    return TRUE_;
}

namespace gdi {

BOOL DrawImageOnDC(HDC h, const RECT& dest, const Image& img) {
    auto dc = FindAs<Dc>(h);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    if (img.width() <= 0 || img.height() <= 0) return TRUE_;
    WithPainter(*dc, [&](Painter& p) {
        if (dest.right - dest.left == img.width() && dest.bottom - dest.top == img.height())
            p.drawImage(int(dest.left), int(dest.top), img);
        else
            p.stretchImage(int(dest.left), int(dest.top), int(dest.right), int(dest.bottom), img);
    });
    return TRUE_;
}

}  // namespace gdi
