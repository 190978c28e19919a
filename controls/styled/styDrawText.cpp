// Captions in 3D styles and rotated, their measuring, and the arrangement of glyph,
// caption and drop-down arrow inside a control.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/stySystem.h"
#include "platform/user/paint.h"

namespace {

int CaptionKind(const TSty3DCaption* caption) {
    auto* fx = dynamic_cast<const TStyFxCaption*>(caption);
    if (!fx) return 0;
    return fx->Angle() != 0 ? 2 : 1;
}

void DrawTextIn(HDC dc, const std::string& text, TRect r, UINT format) {
    std::vector<char> buf(text.begin(), text.end());
    buf.push_back(0);
    RECT rc = ToRECT(r);
    DrawTextExA(dc, buf.data(), int(text.size()), &rc, format, nullptr);
}

// The outline style: the text recorded as a path and its glyph outlines stroked with a pen of
// the colour and width; the inside is not filled.
void StrokeOutline(HDC dc, const std::string& text, const TRect& r, UINT format, bool point,
                   int width, COLORREF color) {
    BeginPath(dc);
    if (point)
        ExtTextOutA(dc, r.Left, r.Top, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
    else
        DrawTextIn(dc, text, r, format);
    EndPath(dc);
    HPEN pen = CreatePen(PS_SOLID, width, color);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    StrokePath(dc);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

}  // namespace

void Draw3DText(TCanvas* c, const std::string& text, TSty3DCaption* caption, const TRect* clip,
                UINT drawFlags, UINT format, const TRect& r) {
    if (!c || text.empty() || RectEmpty(r)) return;
    HDC dc = c->Handle();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor = GetTextColor(dc);
    if (!caption) {
        SetTextColor(dc, ColorToRGB(c->Font()->Color()));
        DrawTextIn(dc, text, r, format);
        SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
        return;
    }
    const int kind = CaptionKind(caption);
    auto* fx = dynamic_cast<TStyFxCaption*>(caption);
    std::unique_ptr<TStyClipScope> clipScope;
    if (drawFlags & dtfClip)
        clipScope = std::make_unique<TStyClipScope>(dc, ToRECT(clip ? *clip : r));

    TStyThreeDStyle style = caption->Style();
    COLORREF main;
    if ((drawFlags & dtfEnabled) || caption->DisabledStyle() == dsNone) {
        main = ColorToRGB(style == tdPColorSunken || style == tdPColorRaised ? c->Brush()->Color
                                                                             : c->Font()->Color());
    } else {
        main = ColorToRGB(clGrayText);
        if (caption->DisabledStyle() == ds3d ||
            (caption->DisabledStyle() == dsAuto && (drawFlags & dtfSunkenWhenDisabled)))
            style = tdSunken;
    }

    HFONT rotated = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (kind == 2) {
        LOGFONTA lf{};
        GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof lf, &lf);
        lf.lfEscapement = fx->Angle() * 10;
        rotated = CreateFontIndirectA(&lf);
        oldFont = SelectObject(dc, rotated);
    }
    TRect w = r;
    if (kind >= 1) {
        w.Left += fx->PosX();
        w.Right += fx->PosX();
        w.Top += fx->PosY();
        w.Bottom += fx->PosY();
    }
    const int tracing = caption->Tracing();
    if (tracing != 0) SetTextCharacterExtra(dc, tracing);

    auto pass = [&](int dx, int dy, COLORREF color) {
        w.Left += dx;
        w.Right += dx;
        w.Top += dy;
        w.Bottom += dy;
        SetTextColor(dc, color);
        if (kind == 2)
            ExtTextOutA(dc, w.Left, w.Top, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
        else
            DrawTextIn(dc, text, w, format);
    };
    const int l = caption->LightDepth(), s = caption->ShadowDepth();
    const COLORREF light = ColorToRGB(caption->LightColor()),
                   shadow = ColorToRGB(caption->ShadowColor());
    switch (style) {
        case tdSunken:
            w.Right -= l;
            pass(l, l, light);
            pass(-l, -l, main);
            break;
        case tdRaised:
            w.Right -= l;
            pass(0, 0, light);
            pass(l, l, main);
            break;
        case tdSunkenShadow:
        case tdPColorSunken:
            w.Right -= s + l;
            pass(0, 0, shadow);
            pass(l + s, l + s, light);
            pass(-l, -l, main);
            break;
        case tdRaisedShadow:
        case tdPColorRaised:
            w.Right -= s + l;
            pass(l + s, l + s, shadow);
            pass(-(l + s), -(l + s), light);
            pass(l, l, main);
            break;
        case tdShadow:
            w.Right -= s;
            pass(s, s, shadow);
            pass(-s, -s, main);
            break;
        case tdOutline: {
            w.Left += s / 2;
            w.Right += s / 2;
            w.Top += s / 2;
            w.Bottom += s / 2;
            StrokeOutline(dc, text, w, format, kind == 2, std::max(1, s), main);
            break;
        }
        case tdExtrude:
        case tdExtrudeEnh: {
            static const int start[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};  // in units of s + 1
            static const int step[4][2] = {{1, -1}, {-1, -1}, {1, 1}, {-1, 1}};
            const int o = caption->Orientation() & 3;
            w.Left += start[o][0] * (s + 1);
            w.Right += start[o][0] * (s + 1);
            w.Top += start[o][1] * (s + 1);
            w.Bottom += start[o][1] * (s + 1);
            for (int k = s; k >= 1; --k) {
                COLORREF col = style == tdExtrude
                                   ? shadow
                                   : ColorToRGB(BlendColor(caption->ShadowColor(),
                                                           caption->LightColor(), k - 1, s));
                pass(step[o][0], step[o][1], col);
            }
            pass(0, 0, main);
            break;
        }
        default:
            pass(0, 0, main);
            break;
    }

    if (rotated) {
        SelectObject(dc, oldFont);
        DeleteObject(rotated);
    }
    if (tracing != 0) SetTextCharacterExtra(dc, 0);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

void MeasureCaption(const std::string& text, TSty3DCaption* caption, TRect& r, TFont* font,
                    bool wordWrap, bool showAccel, int margin, UINT format) {
    const int kind = CaptionKind(caption);
    auto* fx = dynamic_cast<TStyFxCaption*>(caption);
    HDC dc = GetDC(nullptr);
    HGDIOBJ oldFont = font ? SelectObject(dc, font->Handle()) : nullptr;
    const int extra =
        caption ? Extra3DSize(caption->Style(), caption->LightDepth(), caption->ShadowDepth()) : 0;
    if (caption && caption->Tracing() != 0) SetTextCharacterExtra(dc, caption->Tracing());
    if (kind < 2) {
        if (kind == 1) fx->SetPos(0, 0);
        UINT f = format | DT_CALCRECT | DT_EXPANDTABS;
        if (wordWrap) f |= DT_WORDBREAK;
        if (!showAccel) f |= DT_NOPREFIX;
        const std::string measured = text.empty() || (text == "&" && showAccel) ? " " : text;
        std::vector<char> buf(measured.begin(), measured.end());
        buf.push_back(0);
        RECT rc = ToRECT(r);
        DrawTextExA(dc, buf.data(), int(measured.size()), &rc, f, nullptr);
        r = FromRECT(rc);
        r.Right += extra;
        r.Bottom += extra;
    } else {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
        const int w = size.cx, h = size.cy;
        r = RotatedBounds(Rect(0, 0, w + extra, h + extra), fx->Angle());
        const double a = fx->Angle() * std::numbers::pi / 180.0;
        const int cx = r.Right / 2, cy = r.Bottom / 2;
        int d = 0;
        switch (caption->Style()) {
            case tdSunken:
            case tdRaised:
                d = caption->LightDepth() / 2 - 1;
                break;
            case tdSunkenShadow:
            case tdRaisedShadow:
            case tdPColorSunken:
            case tdPColorRaised:
                d = (caption->LightDepth() + caption->ShadowDepth()) / 2 - 1;
                break;
            case tdShadow:
            case tdExtrude:
            case tdExtrudeEnh:
                d = caption->ShadowDepth() / 2 - 1;
                break;
            default:
                break;
        }
        d = std::max(d, 0);
        const int halfW = w / 2, halfH = h / 2;  // whole halves, as the centre's
        fx->SetPosX(int16_t(StyRound(cx - halfW * std::cos(a) - halfH * std::sin(a)) - d));
        fx->SetPosY(int16_t(StyRound(cy + halfW * std::sin(a) - halfH * std::cos(a)) - d));
    }
    if (oldFont) SelectObject(dc, oldFont);
    SetTextCharacterExtra(dc, 0);
    ReleaseDC(nullptr, dc);
    r.Right += (margin + 1) * 2;
    r.Bottom += (margin + 1) * 2;
}
