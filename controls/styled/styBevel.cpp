#include "controls/styled/styBevel.h"

#include "controls/styled/styDrawProcs.h"
#include "platform/user/paint.h"

namespace {

bool IsFrameStyle(TStyBevelStyle s) { return s == bvFrameLowered || s == bvFrameRaised; }

void BorderRing(TCanvas* c, TRect& r, int width, TColor color, bool transparent) {
    if (transparent) {
        r = Rect(r.Left + width, r.Top + width, r.Right - width, r.Bottom - width);
        return;
    }
    c->Brush()->Color = color;
    c->Brush()->Style = bsSolid;
    for (int i = 0; i < width; ++i) {
        c->FrameRect(r);
        r = Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
}

constexpr UINT kEdges[] = {BDR_RAISEDINNER, BDR_RAISEDOUTER, BDR_SUNKENINNER, BDR_SUNKENOUTER,
                           EDGE_BUMP,       EDGE_ETCHED,     EDGE_RAISED,     EDGE_SUNKEN};

}  // namespace

void TStyBevel::Change() {
    extent_ = CalcExtent();
    TStyObject::Change();
}

void TStyBevel::SetStyle(TStyBevelStyle& own, TStyBevelStyle& other, TStyBevelStyle v) {
    if (own == v) return;
    if (own == bvShadow) other = bvNone;
    own = v;
    if (v == bvShadow) other = bvShadow;
    Change();
}

void TStyBevel::SetStandardStyle(TStyBorderStyle v) {
    if (standardStyle_ == v) return;
    standardStyle_ = v;
    if (mode_ == bmStandard) Change();
}

void TStyBevel::Assign(const TPersistent* source) {
    if (source == this) return;
    auto* b = dynamic_cast<const TStyBevel*>(source);
    if (!b) return TStyObject::Assign(source);
    styleInner_ = b->styleInner_;
    styleOuter_ = b->styleOuter_;
    widthInner_ = b->widthInner_;
    widthOuter_ = b->widthOuter_;
    borderSides_ = b->borderSides_;
    borderInnerWidth_ = b->borderInnerWidth_;
    borderWidth_ = b->borderWidth_;
    borderColor_ = b->borderColor_;
    lightColor_ = b->lightColor_;
    shadowColor_ = b->shadowColor_;
    mode_ = b->mode_;
    standardStyle_ = b->standardStyle_;
    edgeStyle_ = b->edgeStyle_;
    Change();
}

std::string TStyBevel::GetDescription() const {
    static const char* const names[] = {"自定义样式", "标准样式", "加边样式", "Windows 样式"};
    return std::string("{") + names[mode_ & 3] + "}";
}

int TStyBevel::CalcExtent() const {
    switch (mode_) {
        case bmCustom: {
            if (styleInner_ == bvShadow) return widthInner_ + borderInnerWidth_;
            int e = borderWidth_ + borderInnerWidth_;
            if (styleOuter_ != bvNone) e += widthOuter_ + (IsFrameStyle(styleOuter_) ? 1 : 0);
            if (styleInner_ != bvNone) e += widthInner_ + (IsFrameStyle(styleInner_) ? 1 : 0);
            return e;
        }
        case bmStandard:
            return BorderWidthOf(standardStyle_) + borderInnerWidth_;
        case bmEdge:
            return (borderSides_ ? 2 : 0) + borderInnerWidth_;
        case bmWindows:
            return borderInnerWidth_ + 2;
    }
    return 0;
}

TRect TStyBevel::PaintBevel(TCanvas* c, const TRect& rect, bool transparent) const {
    TRect r = rect;
    if (extent_ == 0 || !c) return r;
    switch (mode_) {
        case bmCustom:
            if (styleOuter_ == bvShadow) {
                DrawShadowFrame(c, r, lightColor_, transparent, widthInner_, widthOuter_,
                                borderColor_, shadowColor_);
            } else {
                DrawBevel(c, r, styleOuter_, lightColor_, shadowColor_, widthOuter_);
                BorderRing(c, r, borderWidth_, borderColor_, transparent);
                DrawBevel(c, r, styleInner_, lightColor_, shadowColor_, widthInner_);
            }
            break;
        case bmStandard:
            DrawBorder(c, r, standardStyle_, 0);
            break;
        case bmEdge:
            if (borderSides_) {
                UINT sides = 0;
                if (borderSides_ & (1 << fsLeft)) sides |= BF_LEFT;
                if (borderSides_ & (1 << fsTop)) sides |= BF_TOP;
                if (borderSides_ & (1 << fsRight)) sides |= BF_RIGHT;
                if (borderSides_ & (1 << fsBottom)) sides |= BF_BOTTOM;
                RECT rc = ToRECT(r);
                DrawEdge(c->Handle(), &rc, kEdges[edgeStyle_ & 7], sides);
                r = Rect(r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2);
            }
            break;
        case bmWindows:
            DrawBorder(c, r, lsLoweredExt, 0);
            break;
    }
    BorderRing(c, r, borderInnerWidth_, borderColor_, transparent);
    return r;
}
