// Gradient colour tables, their palettes and the banded gradient fills.
#include <algorithm>
#include <vector>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/stySystem.h"
#include "platform/win/muldiv.h"

TColor BlendColor(TColor a, TColor b, int step, int steps) {
    COLORREF ca = ColorToRGB(a), cb = ColorToRGB(b);
    if (steps == 0) return TColor(ca);  // no steps: nothing to blend towards
    auto mix = [&](int x, int y) {
        return BYTE(std::clamp(StyRound(x + double(y - x) * step / steps), 0, 255));
    };
    return TColor(RGB(mix(GetRValue(ca), GetRValue(cb)), mix(GetGValue(ca), GetGValue(cb)),
                      mix(GetBValue(ca), GetBValue(cb))));
}

void MakeGradientColors(TColor start, TColor end, int count, bool clearFirst, TStyColorList* list) {
    if (!list || count <= 0) return;
    if (clearFirst) list->clear();
    const COLORREF s = ColorToRGB(start), e = ColorToRGB(end);
    if (count == 1) {
        // One colour has no steps (the step divisor would be 0): it is the start colour.
        if (clearFirst) list->push_back(TColor(s));
        return;
    }
    auto comp = [&](int from, int to, int i) {
        return BYTE((from + MulDiv(i, to - from, count - 1)) & 0xFF);
    };
    for (int i = clearFirst ? 0 : 1; i < count; ++i)
        list->push_back(
            TColor(RGB(comp(GetRValue(s), GetRValue(e), i), comp(GetGValue(s), GetGValue(e), i),
                       comp(GetBValue(s), GetBValue(e), i))));
}

HPALETTE CreateGradientPalette(const TStyColorList* list) {
    if (!list || list->empty()) return nullptr;
    constexpr BYTE PC_NOCOLLAPSE = 4;
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + list->size() * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = WORD(list->size());
    for (size_t i = 0; i < list->size(); ++i) {
        COLORREF c = ColorToRGB((*list)[i]);
        lp->palPalEntry[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), PC_NOCOLLAPSE};
    }
    return CreatePalette(lp);
}

namespace {

// Paints the bands with origin (ox, oy) on one device context.
void PaintBands(HDC dc, int ox, int oy, int W, int H, TStyGradientStyle style, bool paletteColors,
                const TStyColorList& list) {
    const int n = int(list.size());
    TStyDcScope s(dc);
    s.NoPen();
    auto brush = [&](int i) {
        COLORREF c = ColorToRGB(list[size_t(i)]);
        s.SolidBrush(paletteColors ? PALETTERGB(GetRValue(c), GetGValue(c), GetBValue(c)) : c);
    };
    auto fill = [&](int l, int t, int r, int b) {
        RECT rc{ox + l, oy + t, ox + r, oy + b};
        FillRect(dc, &rc, s.Brush());
    };
    if (style == gstHorizontal) {
        for (int i = 0; i < n; ++i) {
            brush(i);
            fill(MulDiv(i, W, n), 0, MulDiv(i + 1, W, n), H);
        }
        return;
    }
    const int cx = W / 2, cy = H / 2;
    if (style == gstElliptic) {
        // The outermost ellipse (its half-axes divided by 1.4, not by the square root of 2,
        // then rounded) can fall short of the corners; they take the outermost colour.
        brush(n - 1);
        fill(0, 0, W, H);
    }
    for (int i = n - 1; i >= 0; --i) {
        brush(i);
        const int aw = MulDiv(i + 1, W, n), bh = MulDiv(i + 1, H, n);
        switch (style) {
            case gstVertical:
                fill(0, MulDiv(i, H, n), W, MulDiv(i + 1, H, n));
                break;
            case gstSquare: {
                const int a = aw / 2, b = bh / 2;
                Rectangle(dc, ox + cx - a, oy + cy - b, ox + cx + a + 2, oy + cy + b + 2);
                break;
            }
            case gstElliptic: {
                const int a = StyRound(aw / 1.4), b = StyRound(bh / 1.4);
                Ellipse(dc, ox + cx - a, oy + cy - b, ox + cx + a, oy + cy + b);
                break;
            }
            case gstTopLeft:
                Rectangle(dc, ox, oy, ox + aw + 1, oy + bh + 1);
                break;
            case gstTopRight:
                Rectangle(dc, ox + W - aw, oy, ox + W + 1, oy + bh + 1);
                break;
            case gstBottomLeft:
                Rectangle(dc, ox, oy + H - bh, ox + aw + 1, oy + H + 1);
                break;
            case gstBottomRight:
                Rectangle(dc, ox + W - aw, oy + H - bh, ox + W + 1, oy + H + 1);
                break;
            case gstTopLeftDiagonal: {
                const int a = 2 * aw, b = 2 * bh;
                POINT p[] = {{ox, oy}, {ox + a, oy}, {ox, oy + b + 1}, {ox - a, oy + b + 1}};
                Polygon(dc, p, 4);
                break;
            }
            case gstTopRightDiagonal: {
                const int a = 2 * aw, b = 2 * bh;
                POINT p[] = {{ox + W + 1, oy},
                             {ox + W + 1 - a, oy},
                             {ox + W + 1, oy + b},
                             {ox + W + 1 + a, oy + b}};
                Polygon(dc, p, 4);
                break;
            }
            default:
                return;
        }
    }
}

bool PaletteInUse(HPALETTE palette, uint16_t flags) {
    if (!palette || !(flags & bpPalette)) return false;
    return !(StyApp && (StyApp->PaletteOption & 1) && GetColorDepth() < 9);
}

}  // namespace

void FillGradient(TCanvas* c, const TRect& r, TStyGradientStyle style, DWORD offset, uint16_t flags,
                  HPALETTE palette, const TStyColorList* list) {
    if (!c || !list || list->empty() || RectEmpty(r) || style > gstTopRightDiagonal) return;
    const int W = r.Right - r.Left, H = r.Bottom - r.Top;
    const bool usePalette = PaletteInUse(palette, flags);
    HDC target = c->Handle();
    auto withPalette = [&](HDC dc, auto paint) {
        HPALETTE old = nullptr;
        if (usePalette) {
            old = SelectPalette(dc, palette, FALSE_);
            RealizePalette(dc);
        }
        paint();
        if (usePalette) SelectPalette(dc, old, FALSE_);
    };
    if (flags & bpOffScreen) {
        TBitmap off;
        off.SetSize(W, H);
        HDC dc = off.Canvas()->Handle();
        withPalette(dc, [&] { PaintBands(dc, 0, 0, W, H, style, usePalette, *list); });
        withPalette(target, [&] { BitBlt(target, r.Left, r.Top, W, H, dc, 0, 0, SRCCOPY); });
        return;
    }
    auto paint = [&] {
        withPalette(target,
                    [&] { PaintBands(target, r.Left, r.Top, W, H, style, usePalette, *list); });
    };
    if (flags & bpClip) {
        POINT o = UnpackOffset(offset);
        TStyClipScope clip(target, RECT{r.Left + o.x, r.Top + o.y, r.Right + o.x, r.Bottom + o.y});
        paint();
    } else {
        paint();
    }
}
