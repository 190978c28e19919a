// Bevels, borders, drop shadows, drop-down arrows and push-button frames.
#include <cwchar>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styThemeLoader.h"

bool StyNewStyleControls = true;

namespace {

constexpr COLORREF kBlack = 0x000000, kGrey = 0x808080, kWhite = 0xFFFFFF;

void Edge(HDC dc, TRect& r, UINT edge, UINT flags) {
    RECT rc = ToRECT(r);
    DrawEdge(dc, &rc, edge, flags & 0xFFFF);
    r = FromRECT(rc);
}

void Shrink(TRect& r, int d) {
    r.Left += d;
    r.Top += d;
    r.Right -= d;
    r.Bottom -= d;
}

void Fill(HDC dc, const TRect& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT rc = ToRECT(r);
    FillRect(dc, &rc, b);
    DeleteObject(b);
}

void Frame(HDC dc, const TRect& r, COLORREF c) {
    HBRUSH b = CreateSolidBrush(c);
    RECT rc = ToRECT(r);
    FrameRect(dc, &rc, b);
    DeleteObject(b);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF c) {
    TStyDcScope s(dc);
    s.SolidPen(c);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

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
            Frame(dc, Rect(L + i + 1, T + i + 1, R, B), bottomRight);
            Frame(dc, Rect(L, T, R - i - 1, B - i - 1), topLeft);
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
        POINT br[] = {{L, B}, {L + w, B - 1 - w}, {R - w, B - 1 - w}, {R - w, T + w}, {R, T}, {R, B}};
        Polygon(dc, br, 6);
        s.SolidBrush(topLeft);
        POINT tl[] = {{L, B - 1}, {L + w, B - 1 - w}, {L + w, T + w}, {R - w - 1, T + w}, {R - 1, T}, {L, T}};
        Polygon(dc, tl, 6);
    }
    Shrink(r, w);
    return true;
}

bool DrawShadowFrame(TCanvas* c, TRect& r, TColor frameColor, bool transparent, int frameWidth, int depth,
                     TColor background, TColor shadowColor) {
    if (!c) return false;
    HDC dc = c->Handle();
    const int d = depth;
    COLORREF shadow = ColorToRGB(shadowColor);
    Fill(dc, Rect(r.Right - d, r.Top + d, r.Right, r.Bottom), shadow);
    Fill(dc, Rect(r.Left + d, r.Bottom - d, r.Right, r.Bottom), shadow);
    if (!transparent) {
        COLORREF back = ColorToRGB(background);
        Fill(dc, Rect(r.Right - d, r.Top, r.Right, r.Top + d), back);
        Fill(dc, Rect(r.Left, r.Bottom - d, r.Left + d, r.Bottom), back);
    }
    r = Rect(r.Left, r.Top, r.Right - d, r.Bottom - d);
    COLORREF frame = ColorToRGB(frameColor);
    for (int i = 0; i < frameWidth; ++i) {
        Frame(dc, r, frame);
        Shrink(r, 1);
    }
    return true;
}

int BorderWidthOf(TStyBorderStyle style) {
    switch (style) {
    case lsNone: return 0;
    case lsSingle: case lsSingleRaised: case lsSingleLowered: return 1;
    default: return 2;
    }
}

bool DrawBorder(TCanvas* c, TRect& r, TStyBorderStyle style, UINT x) {
    if (!c) return false;
    HDC dc = c->Handle();
    x &= 0xFFFF;
    switch (style) {
    case lsNone: break;
    case lsSingle:
        Edge(dc, r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST | BF_SOFT | x);
        Edge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        break;
    case lsLowered: Edge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_SOFT | x); break;
    case lsRaised: Edge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_SOFT | x); break;
    case lsRaisedspb:
    case lsRaisedExt:
        Edge(dc, r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_SOFT | x);
        Edge(dc, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        if (style == lsRaisedExt) { ++r.Left; ++r.Top; }
        break;
    case lsLoweredspb:
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
        Edge(dc, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST | x);
        break;
    case lsLoweredExt:
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
        Edge(dc, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST);
        --r.Right;
        --r.Bottom;
        break;
    case lsFrameInset: Edge(dc, r, EDGE_ETCHED, BF_RECT | BF_ADJUST | x); break;
    case lsFrameOffset:
        Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
        break;
    case lsWindowBorder:
        Edge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | x);
        ++r.Left;
        ++r.Top;
        Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
        break;
    case lsSingleRaised: Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x); break;
    case lsSingleLowered: Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x); break;
    case lsDoubleRaised:
        Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
        Edge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
        break;
    case lsDoubleLowered:
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
        Edge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
        break;
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

bool IsTrueTypeFont(TFont* font) {
    if (!font) return false;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font->Handle());
    TEXTMETRICA tm{};
    bool tt = GetTextMetricsA(dc, &tm) && (tm.tmPitchAndFamily & TMPF_TRUETYPE);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return tt;
}

// ---------------------------------------------------------------- button frames

TStyUserButtonStyle ResolveButtonStyle(TStyUserButtonStyle style) {
    const bool themes = StyApp && StyApp->UseThemes();
    if (style == ubsAutoDetect && themes) return ubsWinXP;
    if (!themes) {
        if (style == ubsWinXP) return ubsWin40;
        if (style == ubsWinXPCombo) return ubsIntegrated;
        if (style == ubsWinXPTool) return ubsExplorerColored;
    }
    return style;
}

// The theme API's handle (the same declaration as the platform's theme calls).
struct HTHEME__;

namespace {

using StyTheme = HTHEME__*;
using OpenThemeDataFn = StyTheme (*)(HWND, const wchar_t*);
using CloseThemeDataFn = int32_t (*)(StyTheme);
using DrawThemeBackgroundFn = int32_t (*)(StyTheme, HDC, int, int, const RECT*, const RECT*);

// The themed frame; false when the theme library cannot draw it (then the classic one is).
bool DrawThemedFrame(TWinControl* button, HDC dc, bool hot, TRect& r, TStyUserButtonStyle style, uint8_t state,
                     uint16_t flags) {
    auto open = ThemeCall<OpenThemeDataFn>(teOpenThemeData);
    auto close = ThemeCall<CloseThemeDataFn>(teCloseThemeData);
    auto draw = ThemeCall<DrawThemeBackgroundFn>(teDrawThemeBackground);
    if (!open || !close || !draw) return false;
    const wchar_t* cls = L"BUTTON";
    int part = 1;
    TRect box = r;
    if (style == ubsWinXP) {
        Shrink(box, -1);
    } else if (style == ubsWinXPCombo) {
        cls = L"COMBOBOX";
    } else {
        cls = L"TOOLBAR";
        if (flags & bfHasDropDown) part = (flags & bfDropDownPart) ? 4 : 3;
    }
    int themeState = 1;
    if (style == ubsWinXP && (flags & bfDefault)) themeState = 5;
    if ((flags & bfHot) || hot) themeState = 2;
    if (StyStateDown(state)) themeState = 3;
    if (StyStateDisabled(state)) themeState = 4;
    StyTheme theme = open(button ? button->Handle() : nullptr, cls);
    if (!theme) return false;
    RECT rc = ToRECT(box);
    draw(theme, dc, part, themeState, &rc, &rc);
    Shrink(box, 3);
    if (flags & bfFocused) {
        RECT fr = ToRECT(box);
        DrawFocusRect(dc, &fr);
    }
    close(theme);
    r = box;
    return true;
}

enum Kind { kW31, kW40, kPlain, kDelphi, kFlat, kIntegrated };

}  // namespace

bool DrawButtonFrame(TWinControl* button, TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style, uint8_t state,
                     uint16_t flags, TColor face) {
    if (!c) return false;
    TStyUserButtonStyle s = ResolveButtonStyle(style);
    if (s == ubsWinXP || s == ubsWinXPCombo || s == ubsWinXPTool) {
        if (DrawThemedFrame(button, c->Handle(), hot, r, s, state, flags)) return true;
        // A theme that cannot draw leaves the classic look of the same kind.
        s = ResolveButtonStyle(s == ubsWinXP ? ubsWin40 : s == ubsWinXPCombo ? ubsIntegrated : ubsExplorerColored);
    }
    return DrawClassicButtonFrame(c, hot, r, s, state, flags, face);
}

bool DrawClassicButtonFrame(TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style, uint8_t state,
                            uint16_t flags, TColor face) {
    if (!c) return false;
    if (style == ubsAutoDetect) style = StyNewStyleControls ? ubsWin40 : ubsWin31;
    Kind kind = kFlat;
    switch (style) {
    case ubsWin31: kind = kW31; break;
    case ubsWin40: kind = (flags & bf3D) ? kW40 : kPlain; break;
    case ubsDelphi: kind = kDelphi; break;
    case ubsIntegrated: kind = kIntegrated; break;
    case ubsDelphiFlat: case ubsFlat: case ubsFlatUnColored: case ubsNavigator: case ubsExplorer:
    case ubsExplorerColored: kind = kFlat; break;
    default: return false;  // the themed styles are not drawn here
    }
    HDC dc = c->Handle();
    const bool down = StyStateDown(state);
    const bool explorer = style == ubsExplorer || style == ubsExplorerColored;
    const UINT middle = (flags & bfFillMiddle) ? BF_MIDDLE : 0;
    const COLORREF faceRGB = ColorToRGB(face);

    if (!explorer) {
        RECT rc = ToRECT(r);
        if (state == 3 && !(kind == kFlat && hot) && StyApp) {
            HBRUSH pattern = CreatePatternBrush(StyApp->GetPatternBitmap(face)->Handle());
            FillRect(dc, &rc, pattern);
            DeleteObject(pattern);
        } else {
            Fill(dc, r, faceRGB);
        }
    }

    uint16_t f = flags;
    auto darkFrame = [&](TRect& box) {
        Edge(dc, box, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_SOFT | middle);
        Edge(dc, box, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        if (style == ubsWin31 && (f & bfRoundCorners)) {
            COLORREF bf = ColorToRGB(clBtnFace);
            SetPixel(dc, box.Left, box.Top, bf);
            SetPixel(dc, box.Right - 1, box.Top, bf);
            SetPixel(dc, box.Left, box.Bottom - 1, bf);
            SetPixel(dc, box.Right - 1, box.Bottom - 1, bf);
        }
        Shrink(box, 1);
    };
    if (!down && (f & (bfFocused | bfDefault))) {
        darkFrame(r);
        if (style == ubsWin31) f &= uint16_t(~bfRoundCorners);
    }
    const TRect content = r;
    TRect w = r;

    switch (kind) {
    case kW31:
        darkFrame(w);
        if (!down) {
            Edge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            Edge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        } else {
            Edge(dc, w, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
            Shrink(w, 1);
        }
        break;
    case kW40:
        if (!down) DrawBorder(c, w, lsRaisedspb, 0);
        else if (!(flags & bfExplorerDown)) DrawBorder(c, w, lsLowered, 0);
        else Edge(dc, w, EDGE_SUNKEN, BF_RECT);
        break;
    case kPlain:
        if (down) {
            TStyDcScope s(dc);
            s.SolidPen(kBlack);
            s.SolidBrush(faceRGB);
            Rectangle(dc, w.Left, w.Top, w.Right, w.Bottom);
            s.SolidPen(kGrey);
            Rectangle(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Bottom - 1);
        } else if (flags & bfFocused) {
            Edge(dc, w, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_SOFT);
            Edge(dc, w, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
        } else {
            DrawBorder(c, w, lsRaisedspb, 0);
        }
        break;
    case kFlat:
        if ((style == ubsNavigator || style == ubsDelphiFlat) && (down || hot)) {
            TStyDcScope s(dc);
            s.SolidPen(ColorToRGB(clBtnShadow));
            s.NoBrush();
            Rectangle(dc, w.Left, w.Top, w.Right, w.Bottom);
            Shrink(w, 1);
        }
        if (down) Edge(dc, w, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        else if (hot) Edge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        else if (!explorer) Fill(dc, w, faceRGB);
        break;
    case kDelphi: {
        {
            TStyDcScope s(dc);
            s.SolidPen(kBlack);
            s.NoBrush();
            Rectangle(dc, w.Left, w.Top, w.Right, w.Bottom);
        }
        if (down) {
            Line(dc, w.Left + 1, w.Bottom - 2, w.Left + 1, w.Top + 1, kGrey);
            Line(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Top + 1, kGrey);
        } else {
            TRect in = w;
            Shrink(in, 1);
            Edge(dc, in, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
        }
        break;
    }
    case kIntegrated:
        if (down) {
            Frame(dc, w, kGrey);
        } else {
            Frame(dc, w, kBlack);
            COLORREF bf = ColorToRGB(clBtnFace);
            Line(dc, w.Left + 1, w.Bottom - 2, w.Left + 1, w.Top + 1, bf);
            Line(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Top + 1, bf);
            TRect in = w;
            Shrink(in, 1);
            Frame(dc, in, kWhite);
            Line(dc, in.Right - 2, in.Top + 1, in.Right - 2, in.Bottom - 2, kGrey);
            Line(dc, in.Left + 1, in.Bottom - 2, in.Right - 1, in.Bottom - 2, kGrey);
        }
        break;
    }

    if (flags & bfFocused) {
        TRect fr = content;
        Shrink(fr, down ? 4 : 3);
        RECT rc = ToRECT(fr);
        DrawFocusRect(dc, &rc);
    }
    r = content;
    Shrink(r, 3);
    if (down) {
        ++r.Left; ++r.Right;
        ++r.Top; ++r.Bottom;
    }
    return true;
}
