// Window shapes: eighteen outlines (rectangles, rounded and nosed rectangles, ellipses,
// stars, shields, diamond, octagon, honeycomb cell, half-round, think bubbles), a region
// stored with a bitmap mask, a user region and a polygon of points. A region builds the
// Windows region of its shape for a rectangle, keeps it, and paints the shape's shadow and
// its border along the same geometry.
#pragma once

#include <memory>
#include <vector>

#include "controls/styled/styRegionMask.h"

enum TStyRegionBorderStyle : uint8_t {
    rbNone,
    rbLowered,
    rbRaised,
    rbSingle,
    rbSingleRaised,
    rbSingleLowered,
    rbRaisedpsb,
    rbLoweredpsb
};

enum TStyRegionShape : uint8_t {
    rsRect,
    rsRoundRect,
    rsBitmap,
    rsNoseRect,
    rsRoundNoseRect,
    rsElliptic,
    rsStar,
    rsRoundShield,
    rsSharpShield,
    rsDiamond,
    rsOctagon,
    rsComb,
    rsHalfRound,
    rsUserRegion,
    rsThinkBubble,
    rsRoundThinkBubble,
    rsEllipticThinkBubble,
    rsPointList
};
constexpr int StyRegionShapeCount = 18;

// Where the nose or the bubbles sit.
enum TStyExtPos : uint8_t {
    epLeftTop,
    epTopLeft,
    epTopRight,
    epRightTop,
    epRightBottom,
    epBottomRight,
    epBottomLeft,
    epLeftBottom
};

class TStyRegionBorder : public TStyObject {
public:
    std::string ClassName() const override { return "TStyRegionBorder"; }
    TStyRegionBorderStyle Style() const { return style_; }
    void SetStyle(TStyRegionBorderStyle s) { SetProp(style_, s); }
    TColor LightColor() const { return colors_[0]; }
    TColor ShadowColor() const { return colors_[1]; }
    TColor SingleColor() const { return colors_[2]; }
    void SetColor(int index, TColor c);  // 0 light, 1 shadow, 2 single
    void Assign(const TPersistent* source) override;

private:
    TStyRegionBorderStyle style_ = rbSingle;
    TColor colors_[3] = {clBtnHighlight, clBtnShadow, clBlack};
};

// The geometry a shape's region and its border painter share.
struct TStyNoseGeometry {
    TRect Body;  // the rectangle after giving up the nose's corner
    POINT Tip, Base1, Base2;
};
TStyNoseGeometry StyNoseGeometry(const TRect& r, TStyExtPos pos, int gap);
struct TStyBubble {
    int X, Y, D;  // centre and diameter
};
// The circles 0 .. count + 1 from the corner's tip to the body, and the body.
std::vector<TStyBubble> StyBubbles(const TRect& r, TStyExtPos pos, int count, TRect& body);
// The polygon points of the straight-edged shapes (diamond, octagon, comb, star).
std::vector<POINT> StyShapePoints(TStyRegionShape shape, const TRect& r);

class TStyRegion : public TStyObject {
public:
    TStyRegion();
    ~TStyRegion() override;
    TStyRegion(const TStyRegion&) = delete;
    TStyRegion& operator=(const TStyRegion&) = delete;
    std::string ClassName() const override { return "TStyRegion"; }

    TStyRegionShape Shape() const { return shape_; }
    void SetShape(TStyRegionShape s);
    int RoundX() const { return round_[0]; }
    int RoundY() const { return round_[1]; }
    void SetRound(int index, int value);  // 0 RoundX, 1 RoundY
    TStyExtPos ExtPos() const { return extPos_; }
    void SetExtPos(TStyExtPos p) { SetProp(extPos_, p); }
    int BubbleCount = 4;
    TStyRegionBorder* Border() const { return border_.get(); }
    void SetBorder(const TStyRegionBorder* b) { border_->Assign(b); }
    TStyRegionMask* Mask() const { return mask_.get(); }
    void SetMask(const TStyRegionMask* m) { mask_->Assign(m); }
    TStyRgnShadow* Shadow() const { return shadow_.get(); }
    void SetShadow(const TStyRgnShadow* s) { shadow_->Assign(s); }
    TStyPointList* Points() const { return points_.get(); }
    POINT Offset{0, 0};
    bool NoShadowPaint = false;
    // The component whose state the region consults (being destroyed: nothing is built).
    TComponent* OwnerComponent = nullptr;

    // The region built last (owned; 0 when none).
    HRGN Region() const { return region_; }
    // Builds the region of the shape for the rectangle (moved by Offset, less the shadow).
    virtual void CreateRegion(TRect r);
    void CreateRectRegion(const TRect& r);
    // A new region of the shape for the rectangle as it is (the caller owns it; 0 when the
    // shape has none).
    HRGN MakeShapeRegion(const TRect& r) const;
    // Paints the shadow and the border of the shape for the rectangle.
    virtual void DrawBorder(TCanvas* c, TRect r);
    // Keeps the region's data as the user region.
    void StoreRegion(HRGN rgn);
    const std::vector<uint8_t>& UserRegionData() const { return userRgn_; }

    void Assign(const TPersistent* source) override;
    // "PointList": x and y of each point.
    void DefineProperties(TStyFiler& filer) override;

private:
    void PointsChanged();
    void PaintShadow(TCanvas* c);
    TStyRegionShape shape_ = rsRoundRect;
    std::unique_ptr<TStyRegionBorder> border_;
    std::unique_ptr<TStyRegionMask> mask_;
    std::vector<uint8_t> userRgn_;
    int round_[2] = {20, 20};
    HRGN region_ = nullptr;
    TStyExtPos extPos_ = epLeftTop;
    std::unique_ptr<TStyRgnShadow> shadow_;
    std::unique_ptr<TStyPointList> points_;
};

// The region with its border published.
class TStyBorderRegion : public TStyRegion {
public:
    std::string ClassName() const override { return "TStyBorderRegion"; }
};

// The border painters: the outline of `shape` for the rectangle in the border's style and
// colours (RoundX/RoundY, ExtPos and the bubble count from the region). Changes only the
// canvas's pen; the clipping is given back after the nose and bubble shapes.
void StyPaintRegionBorder(TCanvas* c, const TStyRegion& region, const TRect& r);
