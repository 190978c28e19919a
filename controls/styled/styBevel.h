// The frame of a styled graphic control: a custom pair of bevels with a border ring between
// them, a standard border style, a Windows edge or the fixed Windows border, plus an inner
// border ring in every mode. It knows how many pixels it takes on each side (its extent).
#pragma once

#include <algorithm>
#include <string>

#include "controls/styled/styBase.h"
#include "controls/styled/styGraph.h"
#include "platform/vcl/graphics.h"

enum TStyBevelMode : uint8_t { bmCustom, bmStandard, bmEdge, bmWindows };
enum TStyEdgeStyle : uint8_t {
    etRaisedInner,
    etRaisedOuter,
    etSunkenInner,
    etSunkenOuter,
    etBump,
    etEtched,
    etRaised,
    etSunken
};
enum TStyFrameSide : uint8_t { fsBottom, fsLeft, fsRight, fsTop };
// A set of TStyFrameSide: bit i stands for side i.
using TStyFrameSides = uint8_t;
constexpr TStyFrameSides fsAllSides = 0x0F;

class TStyBevel : public TStyObject {
public:
    TStyBevel() = default;
    std::string ClassName() const override { return "TStyBevel"; }

    // Keeps the extent current before anyone is told (also while locked).
    void Change() override;
    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;

    int CalcExtent() const;
    int Extent() const { return extent_; }
    // Paints the frame into `r` and answers the rectangle inside it; with `transparent`
    // the border rings take their space but draw nothing.
    TRect PaintBevel(TCanvas* c, const TRect& r, bool transparent) const;

    TStyBevelStyle StyleInner() const { return styleInner_; }
    void SetStyleInner(TStyBevelStyle v) { SetStyle(styleInner_, styleOuter_, v); }
    TStyBevelStyle StyleOuter() const { return styleOuter_; }
    void SetStyleOuter(TStyBevelStyle v) { SetStyle(styleOuter_, styleInner_, v); }
    uint8_t WidthInner() const { return widthInner_; }
    void SetWidthInner(uint8_t v) { SetProp(widthInner_, std::min<uint8_t>(v, 50)); }
    uint8_t WidthOuter() const { return widthOuter_; }
    void SetWidthOuter(uint8_t v) { SetProp(widthOuter_, std::min<uint8_t>(v, 50)); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor v) { SetProp(borderColor_, v); }
    TColor LightColor() const { return lightColor_; }
    void SetLightColor(TColor v) { SetProp(lightColor_, v); }
    TColor ShadowColor() const { return shadowColor_; }
    void SetShadowColor(TColor v) { SetProp(shadowColor_, v); }
    uint8_t BorderInnerWidth() const { return borderInnerWidth_; }
    void SetBorderInnerWidth(uint8_t v) { SetProp(borderInnerWidth_, v); }
    uint8_t BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(uint8_t v) { SetProp(borderWidth_, v); }
    TStyFrameSides BorderSides() const { return borderSides_; }
    void SetBorderSides(TStyFrameSides v) { SetProp(borderSides_, TStyFrameSides(v & fsAllSides)); }
    TStyEdgeStyle EdgeStyle() const { return edgeStyle_; }
    void SetEdgeStyle(TStyEdgeStyle v) { SetProp(edgeStyle_, v); }
    TStyBevelMode Mode() const { return mode_; }
    void SetMode(TStyBevelMode v) { SetProp(mode_, v); }
    TStyBorderStyle StandardStyle() const { return standardStyle_; }
    // Notifies only in the standard mode, where the style shows.
    void SetStandardStyle(TStyBorderStyle v);

private:
    // The two custom styles are mirror images: the shadow look is always set on both.
    void SetStyle(TStyBevelStyle& own, TStyBevelStyle& other, TStyBevelStyle v);

    TStyBevelStyle styleInner_ = bvNone;
    TStyBevelStyle styleOuter_ = bvNone;
    uint8_t widthInner_ = 1;
    uint8_t widthOuter_ = 1;
    TColor borderColor_ = clBtnFace;
    uint8_t borderInnerWidth_ = 0;
    uint8_t borderWidth_ = 0;
    TStyFrameSides borderSides_ = fsAllSides;
    TStyEdgeStyle edgeStyle_ = etEtched;
    int extent_ = 0;
    TColor lightColor_ = clBtnHighlight;
    TStyBevelMode mode_ = bmCustom;
    TColor shadowColor_ = clBtnShadow;
    TStyBorderStyle standardStyle_ = lsSingleLowered;
};
