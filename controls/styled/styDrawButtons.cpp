// Borders drawn with the platform's 3D edges, push-button frames (classic and themed) and
// the outline-font test.
#include <cwchar>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styThemeLoader.h"
#include "platform/rtl/scopeExit.h"
#include "platform/user/paint.h"
#include "platform/win/theme.h"

namespace {

constexpr COLORREF kBlack = 0x000000, kGrey = 0x808080, kWhite = 0xFFFFFF;

}  // namespace

// ---------------------------------------------------------------- borders

int BorderWidthOf(TStyBorderStyle style) {
    switch (style) {
        case lsNone:
            return 0;
        case lsSingle:
        case lsSingleRaised:
        case lsSingleLowered:
            return 1;
        default:
            return 2;
    }
}

bool DrawBorder(TCanvas* c, TRect& r, TStyBorderStyle style, UINT x) {
    if (!c) return false;
    HDC dc = c->Handle();
    x &= 0xFFFF;
    switch (style) {
        case lsNone:
            break;
        case lsSingle:
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_ADJUST | BF_SOFT | x);
            StyEdge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
            break;
        case lsLowered:
            StyEdge(dc, r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_SOFT | x);
            break;
        case lsRaised:
            StyEdge(dc, r, EDGE_RAISED, BF_RECT | BF_ADJUST | BF_SOFT | x);
            break;
        case lsRaisedspb:
        case lsRaisedExt:
            StyEdge(dc, r, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_SOFT | x);
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
            if (style == lsRaisedExt) {
                ++r.Left;
                ++r.Top;
            }
            break;
        case lsLoweredspb:
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            StyEdge(dc, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST | x);
            break;
        case lsLoweredExt:
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            StyEdge(dc, r, BDR_SUNKENINNER, BF_LEFT | BF_TOP | BF_ADJUST);
            --r.Right;
            --r.Bottom;
            break;
        case lsFrameInset:
            StyEdge(dc, r, EDGE_ETCHED, BF_RECT | BF_ADJUST | x);
            break;
        case lsFrameOffset:
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            break;
        case lsWindowBorder:
            StyEdge(dc, r, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST | x);
            ++r.Left;
            ++r.Top;
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
            break;
        case lsSingleRaised:
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
            break;
        case lsSingleLowered:
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            break;
        case lsDoubleRaised:
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
            StyEdge(dc, r, BDR_RAISEDINNER, BF_RECT | BF_ADJUST | x);
            break;
        case lsDoubleLowered:
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            StyEdge(dc, r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST | x);
            break;
    }
    return true;
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

namespace {

// The entries as the theme library declares them, looked up by name at start-up.
using OpenThemeDataFn = decltype(&OpenThemeData);
using CloseThemeDataFn = decltype(&CloseThemeData);
using DrawThemeBackgroundFn = decltype(&DrawThemeBackground);

// The themed frame; false when the theme library cannot draw it (then the classic one is).
bool DrawThemedFrame(TWinControl* button, HDC dc, bool hot, TRect& r, TStyUserButtonStyle style,
                     uint8_t state, uint16_t flags) {
    auto open = ThemeCall<OpenThemeDataFn>(teOpenThemeData);
    auto close = ThemeCall<CloseThemeDataFn>(teCloseThemeData);
    auto draw = ThemeCall<DrawThemeBackgroundFn>(teDrawThemeBackground);
    if (!open || !close || !draw) return false;
    const wchar_t* cls = L"BUTTON";
    int part = 1;
    TRect box = r;
    if (style == ubsWinXP) {
        StyShrink(box, -1);
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
    HTHEME theme = open(button ? button->Handle() : nullptr, cls);
    if (!theme) return false;
    RECT rc = ToRECT(box);
    draw(theme, dc, part, themeState, &rc, &rc);
    StyShrink(box, 3);
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

bool DrawButtonFrame(TWinControl* button, TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style,
                     uint8_t state, uint16_t flags, TColor face) {
    if (!c) return false;
    TStyUserButtonStyle s = ResolveButtonStyle(style);
    if (s == ubsWinXP || s == ubsWinXPCombo || s == ubsWinXPTool) {
        if (DrawThemedFrame(button, c->Handle(), hot, r, s, state, flags)) return true;
        // A theme that cannot draw leaves the classic look of the same kind.
        s = ResolveButtonStyle(s == ubsWinXP        ? ubsWin40
                               : s == ubsWinXPCombo ? ubsIntegrated
                                                    : ubsExplorerColored);
    }
    return DrawClassicButtonFrame(c, hot, r, s, state, flags, face);
}

bool DrawClassicButtonFrame(TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style,
                            uint8_t state, uint16_t flags, TColor face) {
    if (!c) return false;
    if (style == ubsAutoDetect) style = StyNewStyleControls ? ubsWin40 : ubsWin31;
    Kind kind = kFlat;
    switch (style) {
        case ubsWin31:
            kind = kW31;
            break;
        case ubsWin40:
            kind = (flags & bf3D) ? kW40 : kPlain;
            break;
        case ubsDelphi:
            kind = kDelphi;
            break;
        case ubsIntegrated:
            kind = kIntegrated;
            break;
        case ubsDelphiFlat:
        case ubsFlat:
        case ubsFlatUnColored:
        case ubsNavigator:
        case ubsExplorer:
        case ubsExplorerColored:
            kind = kFlat;
            break;
        default:
            return false;  // the themed styles are not drawn here
    }
    HDC dc = c->Handle();
    const bool down = StyStateDown(state);
    const bool explorer = style == ubsExplorer || style == ubsExplorerColored;
    const UINT middle = (flags & bfFillMiddle) ? BF_MIDDLE : 0;
    const COLORREF faceRGB = ColorToRGB(face);

    // The background brush: a latched button's checker pattern, else the face colour. The
    // plain pressed look fills its two rectangles with it too.
    const bool latched = state == 3 && !(kind == kFlat && hot) && StyApp;
    HBRUSH background = latched ? CreatePatternBrush(StyApp->GetPatternBitmap(face)->Handle())
                                : CreateSolidBrush(faceRGB);
    ScopeExit freeBackground([background] { DeleteObject(background); });
    if (!explorer) {
        RECT rc = ToRECT(r);
        FillRect(dc, &rc, background);
    }

    uint16_t f = flags;
    auto darkFrame = [&](TRect& box) {
        StyEdge(dc, box, BDR_SUNKENOUTER, BF_LEFT | BF_TOP | BF_SOFT | middle);
        StyEdge(dc, box, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
        if (style == ubsWin31 && (f & bfRoundCorners)) {
            COLORREF bf = ColorToRGB(clBtnFace);
            SetPixel(dc, box.Left, box.Top, bf);
            SetPixel(dc, box.Right - 1, box.Top, bf);
            SetPixel(dc, box.Left, box.Bottom - 1, bf);
            SetPixel(dc, box.Right - 1, box.Bottom - 1, bf);
        }
        StyShrink(box, 1);
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
                StyEdge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
                StyEdge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            } else {
                StyEdge(dc, w, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
                StyShrink(w, 1);
            }
            break;
        case kW40:
            if (!down)
                DrawBorder(c, w, lsRaisedspb, 0);
            else if (!(flags & bfExplorerDown))
                DrawBorder(c, w, lsLowered, 0);
            else
                StyEdge(dc, w, EDGE_SUNKEN, BF_RECT);
            break;
        case kPlain:
            if (down) {
                TStyDcScope s(dc);
                s.SolidPen(kBlack);
                const HGDIOBJ oldBrush = SelectObject(dc, background);
                Rectangle(dc, w.Left, w.Top, w.Right, w.Bottom);
                s.SolidPen(kGrey);
                Rectangle(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Bottom - 1);
                SelectObject(dc, oldBrush);
            } else if (flags & bfFocused) {
                StyEdge(dc, w, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST | BF_SOFT);
                StyEdge(dc, w, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
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
                StyShrink(w, 1);
            }
            if (down)
                StyEdge(dc, w, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
            else if (hot)
                StyEdge(dc, w, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            else if (!explorer)
                StyFill(dc, w, faceRGB);
            break;
        case kDelphi: {
            {
                TStyDcScope s(dc);
                s.SolidPen(kBlack);
                s.NoBrush();
                Rectangle(dc, w.Left, w.Top, w.Right, w.Bottom);
            }
            if (down) {
                StyLine(dc, w.Left + 1, w.Bottom - 2, w.Left + 1, w.Top + 1, kGrey);
                StyLine(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Top + 1, kGrey);
            } else {
                TRect in = w;
                StyShrink(in, 1);
                StyEdge(dc, in, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
            }
            break;
        }
        case kIntegrated:
            if (down) {
                StyFrame(dc, w, kGrey);
            } else {
                StyFrame(dc, w, kBlack);
                COLORREF bf = ColorToRGB(clBtnFace);
                StyLine(dc, w.Left + 1, w.Bottom - 2, w.Left + 1, w.Top + 1, bf);
                StyLine(dc, w.Left + 1, w.Top + 1, w.Right - 1, w.Top + 1, bf);
                TRect in = w;
                StyShrink(in, 1);
                StyFrame(dc, in, kWhite);
                StyLine(dc, in.Right - 2, in.Top + 1, in.Right - 2, in.Bottom - 2, kGrey);
                StyLine(dc, in.Left + 1, in.Bottom - 2, in.Right - 1, in.Bottom - 2, kGrey);
            }
            break;
    }

    if (flags & bfFocused) {
        TRect fr = content;
        StyShrink(fr, down ? 4 : 3);
        RECT rc = ToRECT(fr);
        DrawFocusRect(dc, &rc);
    }
    r = content;
    StyShrink(r, 3);
    if (down) {
        ++r.Left;
        ++r.Right;
        ++r.Top;
        ++r.Bottom;
    }
    return true;
}
