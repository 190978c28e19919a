// Glyph, caption and drop-down arrow arranged inside a control's client rectangle.
#include <algorithm>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styDrawProcs.h"
#include "platform/user/paint.h"

namespace {

void Move(TRect& r, int dx, int dy) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
}

TRect Grown(TRect r, int d) {
    r.Left -= d;
    r.Top -= d;
    r.Right += d;
    r.Bottom += d;
    return r;
}

TRect UnionOf(const TRect& a, const TRect& b) {
    if (RectEmpty(a)) return b;
    if (RectEmpty(b)) return a;
    return Rect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom));
}

UINT AlignmentFormat(TStyAlignment a) {
    static const UINT formats[] = {0,
                                   DT_CENTER,
                                   DT_RIGHT,
                                   DT_VCENTER,
                                   DT_CENTER | DT_VCENTER,
                                   DT_RIGHT | DT_VCENTER,
                                   DT_BOTTOM,
                                   DT_BOTTOM | DT_CENTER,
                                   DT_BOTTOM | DT_RIGHT};
    return a <= agBottomRight ? formats[a] : 0;
}

// A caption wider than the room its glyph leaves it (a "..." beside a folder glyph on a
// narrow button) gives up its spacing, then has its characters drawn up to two pixels
// closer, so that its end is not cut by the control's edge. Narrows `tw` and `sp`; the
// character extra to draw with.
int FitBesideGlyph(const std::string& text, int room, int& tw, int& sp) {
    if (tw + sp <= room) return 0;
    sp = std::max(0, room - tw);
    int gaps = -1;
    for (unsigned char b : text) gaps += (b & 0xC0) != 0x80 && b != '&';
    int extra = 0;
    while (gaps > 0 && tw > room && extra > -2) {
        --extra;
        tw -= gaps;
    }
    return extra;
}

}  // namespace

void DrawGlyphText(TCanvas* c, const std::string& text, TSty3DCaption* caption,
                   TStyGlyphTextRects* out, UINT format, UINT flags, bool transparentGlyph,
                   bool showAccel, bool wordWrap, TStyGlyphTextLayout* layout, TColor transparent,
                   TBitmap* mask, TRect& glyph, TCanvas* glyphCanvas, const TRect& client) {
    if (!c || !layout) return;
    auto* buttonLayout = dynamic_cast<TStyButtonLayout*>(layout);
    const bool arrow = buttonLayout && buttonLayout->Arrow();
    const int s = arrow ? buttonLayout->ArrowSize() : 0;
    const int aw = arrow ? s * 2 - 1 : 0, indent = arrow ? buttonLayout->ArrowIndent() : 0;
    const TStyArrowPosition ap = arrow ? buttonLayout->ArrowPosition() : apRightText;

    // 1-2. Sizes, with the arrow's room added to the glyph or the text.
    TRect text0 = Rect(0, 0, client.Right - client.Left, client.Bottom - client.Top);
    MeasureCaption(text, caption, text0, c->Font(), wordWrap, showAccel, 0, format);
    const int glyphW = glyph.Right - glyph.Left, glyphH = glyph.Bottom - glyph.Top;
    const bool hasGlyph = glyphW > 0 && glyphH > 0;
    int tw = text0.Right - text0.Left, th = text0.Bottom - text0.Top;
    int gw = hasGlyph ? glyphW : 0, gh = hasGlyph ? glyphH : 0;
    int sp = !text.empty() && hasGlyph ? layout->Spacing() : 0;
    if (arrow) {
        if (ap == apRightGlyph || ap == apLeftGlyph)
            gw += aw + indent;
        else
            tw += aw + indent;
    }
    const bool across = layout->AlignText2Glyph() <= taRightTop;
    const int tighter = across && hasGlyph && !(flags & glfNoPlacement)
                            ? FitBesideGlyph(text, client.Right - client.Left - gw, tw, sp)
                            : 0;

    // 3. Arrangement in a box of its own.
    int tx = 0, ty = 0, gx = 0, gy = 0, bw, bh;
    const int hmax = std::max(th, gh), wmax = std::max(tw, gw);
    switch (layout->AlignText2Glyph()) {
        case taLeft:
            tx = 0;
            gx = tw + sp;
            ty = (hmax - th) / 2;
            gy = (hmax - gh) / 2;
            break;
        case taLeftTop:
            tx = 0;
            ty = (hmax - th) / 2;
            gx = tw + sp;
            gy = 0;
            break;
        case taRight:
            gx = 0;
            tx = gw + sp;
            ty = (hmax - th) / 2;
            gy = (hmax - gh) / 2;
            break;
        case taRightTop:
            tx = gw + sp;
            ty = (hmax - th) / 2;
            gx = 0;
            gy = 1;
            break;
        case taTop:
            ty = 0;
            gy = th + sp;
            tx = (wmax - tw) / 2;
            gx = (wmax - gw) / 2;
            break;
        case taTopLeft:
            ty = 0;
            tx = (wmax - tw) / 2;
            gx = 0;
            gy = th + sp;
            break;
        case taBottom:
            gy = 0;
            ty = gh + sp;
            tx = (wmax - tw) / 2;
            gx = (wmax - gw) / 2;
            break;
        case taBottomLeft:
            gx = 0;
            gy = 0;
            ty = gh + sp;
            tx = (wmax - tw) / 2;
            break;
    }
    bw = across ? tw + sp + gw : wmax;
    bh = across ? hmax : th + sp + gh;

    // 4. Placement in the client rectangle.
    TRect textR = Rect(tx, ty, tx + tw, ty + th);
    TRect glyphR = hasGlyph || (arrow && (ap == apRightGlyph || ap == apLeftGlyph))
                       ? Rect(gx, gy, gx + gw, gy + gh)
                       : Rect(gx, gy, gx, gy);
    if (!(flags & glfNoPlacement)) {
        TRect place = AlignRect(layout->Alignment(), Rect(0, 0, bw, bh), client);
        // A box larger than the rectangle starts at its edge instead of before it: what does
        // not fit is cut at the far side, and the glyph in front is not pushed off.
        place.Left = std::max(place.Left, client.Left);
        place.Top = std::max(place.Top, client.Top);
        Move(glyphR, place.Left, place.Top);
        Move(textR, place.Left + 1, place.Top + 1);
    }
    if (arrow && ap == apLeftText) Move(textR, aw + indent, 0);
    Move(textR, layout->OffsetX(), layout->OffsetY());
    Move(glyphR, layout->OffsetX(), layout->OffsetY());
    // The glyph goes right of an arrow placed on its left (drawn first, it would lie under it).
    if (arrow && ap == apLeftGlyph) Move(glyphR, indent + aw, 0);

    // 5. Text format.
    UINT f = format | DT_EXPANDTABS;
    if (wordWrap) f |= DT_WORDBREAK | AlignmentFormat(layout->Alignment());

    // 8. Cut the text to the client rectangle when asked.
    if (flags & glfCutText) {
        textR.Right = std::min(textR.Right, client.Right);
        textR.Bottom = std::min(textR.Bottom, client.Bottom);
    }

    // 6-7. Paint.
    const bool paint = !(flags & glfMeasureOnly);
    if (paint) {
        const int extra = tighter ? SetTextCharacterExtra(c->Handle(), 0) : 0;
        if (tighter) SetTextCharacterExtra(c->Handle(), extra + tighter);
        Draw3DText(c, text, caption, nullptr, flags, f, textR);
        if (tighter) SetTextCharacterExtra(c->Handle(), extra);
        if (hasGlyph && glyphCanvas) {
            const uint16_t placement = !transparentGlyph ? 0 : mask ? bpGivenMask : bpMaskFromColor;
            DrawBitmapInRect(
                c, Rect(glyphR.Left, glyphR.Top, glyphR.Left + glyphW, glyphR.Top + glyphH),
                glyphCanvas, Rect(0, 0, glyphW, glyphH), placement, transparent, nullptr, mask,
                nullptr);
        }
        if (arrow) {
            const bool onGlyph = ap == apRightGlyph || ap == apLeftGlyph;
            const TRect& base = onGlyph ? glyphR : textR;
            const int y = base.Top + (base.Bottom - base.Top) / 2 - s / 2;
            int x = 0;
            switch (ap) {
                case apRightText:
                    x = textR.Right - (wordWrap ? s : aw) - 1;
                    break;
                case apLeftText:
                    x = textR.Left - (indent + aw);
                    break;
                case apRightGlyph:
                    x = glyphR.Right - aw;
                    break;
                case apLeftGlyph:
                    x = glyphR.Left - (indent + aw);
                    break;
            }
            DrawDropArrow(c, x, y, (flags & dtfEnabled) != 0, true, buttonLayout->ArrowColor(), s);
        }
    }

    // 9. Results and the focus rectangle.
    const TRect both = UnionOf(glyphR, textR);
    if (out) *out = TStyGlyphTextRects{both, textR, glyphR};
    TRect focus = client;
    bool applied = false;
    if (flags & glfFocusText) {
        focus = Grown(textR, 1);
        applied = true;
    }
    if ((flags & glfFocusGlyph) && hasGlyph) {
        focus = glyphR;
        applied = true;
    }
    if (flags & (glfFocusUnion | glfMeasureOnly)) {
        focus = Grown(both, 1);
        applied = true;
    }
    if (!applied) focus = Grown(focus, -1);
    if (flags & glfMeasureOnly) focus = Grown(focus, 1);
    glyph = focus;
}
