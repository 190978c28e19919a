// Look objects of captions and glyph-and-text layout: 3D text styles, rotated captions,
// the arrangement of a glyph beside its caption and the button's drop-down arrow.
#pragma once

#include <string>

#include "controls/styled/styBase.h"
#include "controls/styled/styGraph.h"
#include "platform/vcl/graphics.h"

enum TStyDisabledStyle : uint8_t { dsAuto, dsStandard, ds3d, dsNone };
enum TStyThreeDStyle : uint8_t {
    tdNone,
    tdSunken,
    tdRaised,
    tdSunkenShadow,
    tdRaisedShadow,
    tdPColorSunken,
    tdPColorRaised,
    tdShadow,
    tdOutline,
    tdExtrude,
    tdExtrudeEnh
};
enum TStyThreeDOrientation : uint8_t { toBottomLeft, toBottomRight, toTopLeft, toTopRight };
enum TStyTextArrange : uint8_t {
    taLeft,
    taLeftTop,
    taRight,
    taRightTop,
    taTop,
    taTopLeft,
    taBottom,
    taBottomLeft
};
enum TStyArrowPosition : uint8_t { apRightText, apLeftText, apRightGlyph, apLeftGlyph };
using TStyAngle = int16_t;
using TStyDDArrowSize = uint8_t;

class TSty3DCaption : public TStyObject {
public:
    std::string ClassName() const override { return "TSty3DCaption"; }
    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;

    TStyDisabledStyle DisabledStyle() const { return disabledStyle_; }
    void SetDisabledStyle(TStyDisabledStyle v) { SetProp(disabledStyle_, v); }
    uint8_t LightDepth() const { return lightDepth_; }
    void SetLightDepth(uint8_t v) { SetProp(lightDepth_, v); }
    uint8_t ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(uint8_t v) { SetProp(shadowDepth_, v); }
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor v) { SetProp(lightColor_, v); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v) { SetProp(shadowColor_, v); }
    TStyThreeDStyle Style() const { return style_; }
    void SetStyle(TStyThreeDStyle v) { SetProp(style_, v); }
    TStyThreeDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TStyThreeDOrientation v) { SetProp(orientation_, v); }
    int Tracing() const { return tracing_; }
    void SetTracing(int v) { SetProp(tracing_, v); }

protected:
    void CopyFrom(const TSty3DCaption& o);

private:
    TStyDisabledStyle disabledStyle_ = dsAuto;
    uint8_t lightDepth_ = 1;
    uint8_t shadowDepth_ = 1;
    TColor lightColor_ = clBtnHighlight;
    TColor shadowColor_ = clBtnShadow;
    TStyThreeDStyle style_ = tdNone;
    TStyThreeDOrientation orientation_ = toTopLeft;
    int tracing_ = 0;
};

class TStyFxCaption : public TSty3DCaption {
public:
    std::string ClassName() const override { return "TStyFxCaption"; }
    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;

    TStyAngle Angle() const { return angle_; }
    // 360 is stored as 0.
    void SetAngle(TStyAngle v) { SetProp(angle_, TStyAngle(v == 360 ? 0 : v)); }
    int16_t PosX() const { return posX_; }
    void SetPosX(int16_t v) { SetProp(posX_, v); }
    int16_t PosY() const { return posY_; }
    void SetPosY(int16_t v) { SetProp(posY_, v); }
    // Both at once, without notification.
    void SetPos(int16_t x, int16_t y);

private:
    TStyAngle angle_ = 0;
    int16_t posX_ = 0;
    int16_t posY_ = 0;
};

class TStyGlyphTextLayout : public TStyObject {
public:
    std::string ClassName() const override { return "TStyGlyphTextLayout"; }
    void Assign(const TPersistent* source) override;

    TStyTextArrange AlignText2Glyph() const { return arrange_; }
    void SetAlignText2Glyph(TStyTextArrange v) { SetProp(arrange_, v); }
    int OffsetX() const { return offsetX_; }
    void SetOffsetX(int v) { SetProp(offsetX_, v); }
    int OffsetY() const { return offsetY_; }
    void SetOffsetY(int v) { SetProp(offsetY_, v); }
    int Spacing() const { return spacing_; }
    void SetSpacing(int v) { SetProp(spacing_, v); }
    TStyAlignment Alignment() const { return alignment_; }
    void SetAlignment(TStyAlignment v) { SetProp(alignment_, v); }

protected:
    TStyAlignment alignment_ = agTopLeft;

private:
    TStyTextArrange arrange_ = taRight;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int spacing_ = 2;
};

class TStyButtonLayout : public TStyGlyphTextLayout {
public:
    TStyButtonLayout() { alignment_ = agCenter; }
    std::string ClassName() const override { return "TStyButtonLayout"; }
    void Assign(const TPersistent* source) override;

    bool Arrow() const { return arrow_; }
    void SetArrow(bool v) { SetProp(arrow_, v); }
    TColor ArrowColor() const { return arrowColor_; }
    void SetArrowColor(TColor v) { SetProp(arrowColor_, v); }
    int ArrowIndent() const { return arrowIndent_; }
    void SetArrowIndent(int v) { SetProp(arrowIndent_, v); }
    TStyArrowPosition ArrowPosition() const { return arrowPosition_; }
    void SetArrowPosition(TStyArrowPosition v) { SetProp(arrowPosition_, v); }
    TStyDDArrowSize ArrowSize() const { return arrowSize_; }
    void SetArrowSize(TStyDDArrowSize v) { SetProp(arrowSize_, v); }

private:
    bool arrow_ = false;
    TColor arrowColor_ = clBlack;
    int arrowIndent_ = 3;
    TStyArrowPosition arrowPosition_ = apRightText;
    TStyDDArrowSize arrowSize_ = 3;
};

// What a 3D style adds to a text's width and height.
int Extra3DSize(TStyThreeDStyle style, uint8_t lightDepth, uint8_t shadowDepth);

// Draw flags of Draw3DText (the low bits of DrawGlyphText's layout flags).
enum : UINT { dtfEnabled = 2, dtfSunkenWhenDisabled = 4, dtfClip = 8 };
// Layout flags of DrawGlyphText.
enum : UINT {
    glfNoPlacement = 32,
    glfFocusText = 64,
    glfFocusGlyph = 128,
    glfFocusUnion = 256,
    glfMeasureOnly = 512,
    glfCutText = 1024
};

// Paints a caption in its 3D style (rotated for a TStyFxCaption with an angle).
void Draw3DText(TCanvas* c, const std::string& text, TSty3DCaption* caption, const TRect* clip,
                UINT drawFlags, UINT format, const TRect& r);
// The rectangle the caption needs, measured on the screen with `font`.
void MeasureCaption(const std::string& text, TSty3DCaption* caption, TRect& r, TFont* font,
                    bool wordWrap, bool showAccel, int margin, UINT format);

struct TStyGlyphTextRects {
    TRect Union, Text, Glyph;
};
// Arranges glyph, caption and arrow in `client` and paints them. `glyph` comes in with the
// glyph's size (empty without a glyph) and goes out as the focus rectangle.
void DrawGlyphText(TCanvas* c, const std::string& text, TSty3DCaption* caption,
                   TStyGlyphTextRects* out, UINT format, UINT flags, bool transparentGlyph,
                   bool showAccel, bool wordWrap, TStyGlyphTextLayout* layout, TColor transparent,
                   TBitmap* mask, TRect& glyph, TCanvas* glyphCanvas, const TRect& client);
