// Bevels, drop shadows, drop-down arrows and rectangle alignment.
#include <cwchar>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styThemeLoader.h"

bool StyNewStyleControls = true;

namespace {

constexpr COLORREF kBlack = 0x000000;

}  // namespace

// ---------------------------------------------------------------- bevels and borders

bool DrawBevel(TCanvas* c, TRect& r, TStyBevelStyle style, TColor light, TColor shadow, int width) {
    if (!c || width <= 0 || style == bvNone || style == bvShadow || style > bvShadow) return false;
    COLORREF topLeft = kBlack, bottomRight = kBlack;
    if (style == bvLowered || style == bvFrameLowered) {
        topLeft = ColorToRGB(shadow);
        bottomRight = ColorToRGB(light);
    } else if (style == bvRaised || style == bvFrameRaised) {
        topLeft = ColorToRGB(light);
        bottomRight = ColorToRGB(shadow);
    }
    HDC dc = c->Handle();
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom, w = width;
    if (style == bvFrameLowered || style == bvFrameRaised) {
        for (int i = 0; i < w; ++i) {
            StyFrame(dc, Rect(L + i + 1, T + i + 1, R, B), bottomRight);
            StyFrame(dc, Rect(L, T, R - i - 1, B - i - 1), topLeft);
        }
        r = Rect(L + w + 1, T + w + 1, R - w - 1, B - w - 1);
        return true;
    }
    TStyDcScope s(dc);
    if (w == 1) {
        s.SolidPen(topLeft);
        MoveToEx(dc, L, B - 1, nullptr);
        LineTo(dc, L, T);
        LineTo(dc, R - 1, T);
        s.SolidPen(bottomRight);
        LineTo(dc, R - 1, B - 1);
        LineTo(dc, L, B - 1);
    } else {
        s.NoPen();
        s.SolidBrush(bottomRight);
        POINT br[] = {{L, B}, {L + w, B - 1 - w}, {R - w, B - 1 - w}, {R - w, T + w}, {R, T},
                      {R, B}};
        Polygon(dc, br, 6);
        s.SolidBrush(topLeft);
        POINT tl[] = {{L, B - 1},         {L + w, B - 1 - w}, {L + w, T + w},
                      {R - w - 1, T + w}, {R - 1, T},         {L, T}};
        Polygon(dc, tl, 6);
    }
    StyShrink(r, w);
    return true;
}

bool DrawShadowFrame(TCanvas* c, TRect& r, TColor frameColor, bool transparent, int frameWidth,
                     int depth, TColor background, TColor shadowColor) {
    if (!c) return false;
    HDC dc = c->Handle();
    const int d = depth;
    COLORREF shadow = ColorToRGB(shadowColor);
    StyFill(dc, Rect(r.Right - d, r.Top + d, r.Right, r.Bottom), shadow);
    StyFill(dc, Rect(r.Left + d, r.Bottom - d, r.Right, r.Bottom), shadow);
    if (!transparent) {
        COLORREF back = ColorToRGB(background);
        StyFill(dc, Rect(r.Right - d, r.Top, r.Right, r.Top + d), back);
        StyFill(dc, Rect(r.Left, r.Bottom - d, r.Left + d, r.Bottom), back);
    }
    r = Rect(r.Left, r.Top, r.Right - d, r.Bottom - d);
    COLORREF frame = ColorToRGB(frameColor);
    for (int i = 0; i < frameWidth; ++i) {
        StyFrame(dc, r, frame);
        StyShrink(r, 1);
    }
    return true;
}

void DrawDropArrow(TCanvas* c, int x, int y, bool enabled, bool down, TColor color, int size) {
    if (!c || size < 2 || size >= 16) return;
    HDC dc = c->Handle();
    const int s = size;
    auto draw = [&](int ox, int oy, COLORREF col) {
        TStyDcScope scope(dc);
        scope.SolidPen(col);
        auto line = [&](int x1, int y1, int x2, int y2) {
            MoveToEx(dc, ox + x1, oy + y1, nullptr);
            LineTo(dc, ox + x2, oy + y2);
        };
        if (down) {
            for (int i = 0; i <= s - 2; ++i) line(i, i, 2 * s - i - 1, i);
            line(s - 1, s - 1, s - 1, s - 2);
        } else {
            for (int i = 0; i <= s - 1; ++i) line(s / 2 - i, i, s / 2 + i + 1, i);
        }
    };
    if (enabled) {
        draw(x, y, ColorToRGB(color));
    } else {
        draw(x + 1, y + 1, ColorToRGB(clHighlightText));
        draw(x, y, ColorToRGB(clGrayText));
    }
}

TRect AlignRect(TStyAlignment align, const TRect& inner, const TRect& outer) {
    const int w = inner.Right - inner.Left, h = inner.Bottom - inner.Top;
    const int dw = (outer.Right - outer.Left) - w, dh = (outer.Bottom - outer.Top) - h;
    const int col = int(align) % 3, row = int(align) / 3;
    const int x = outer.Left + (col == 0 ? 0 : col == 1 ? dw / 2 : dw);
    const int y = outer.Top + (row == 0 ? 0 : row == 1 ? dh / 2 : dh);
    return Rect(x, y, x + w, y + h);
}
