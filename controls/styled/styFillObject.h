// How an area is filled: not at all, with a brush, a pattern bitmap, a bitmap (placed,
// centred, stretched or tiled), a bitmap from an image list, or a gradient.
#pragma once

#include <memory>

#include "controls/styled/styGradient.h"

enum TStyFillStyle : uint8_t { sfNone, sfBrushBitmap, sfBrush, sfBitmap, sfBitmapList, sfGradient };
enum TStyTileMode : uint8_t { tmNone, tmCenter, tmStretch, tmTile };
enum TStyFillOption : uint8_t { foFillInner = 1, foQuickDraw = 2, foGrUseBitmap = 4 };
using TStyFillOptions = uint8_t;

class TStyShapeFill : public TStyObject {
public:
    TStyShapeFill();
    TStyShapeFill(const TStyShapeFill&) = delete;
    TStyShapeFill& operator=(const TStyShapeFill&) = delete;
    std::string ClassName() const override { return "TStyShapeFill"; }

    TBitmap* Bitmap() const { return bitmap_.get(); }
    void SetBitmap(const TBitmap* b);
    TStyGradient* Gradient() const { return gradient_.get(); }
    void SetGradient(const TStyGradient* g) { gradient_->Assign(g); }
    TStyFillStyle Style() const { return style_; }
    void SetStyle(TStyFillStyle s) { SetProp(style_, s); }
    TStyTileMode TileMode() const { return tileMode_; }
    void SetTileMode(TStyTileMode m) { SetProp(tileMode_, m); }
    // The image of sfBitmapList, put here by the owner; null clears it.
    TBitmap* ListBitmap() const { return listBitmap_.get(); }
    void SetListBitmap(const TBitmap* b);

    void Assign(const TPersistent* source) override;

protected:
    void SetStyleQuietly(TStyFillStyle s) { style_ = s; }

private:
    std::unique_ptr<TBitmap> bitmap_;
    std::unique_ptr<TStyGradient> gradient_;
    TStyFillStyle style_ = sfBrush;
    TStyTileMode tileMode_ = tmTile;
    std::unique_ptr<TBitmap> listBitmap_;
};

class TStyFillObject : public TStyShapeFill {
public:
    TStyFillObject();
    std::string ClassName() const override { return "TStyFillObject"; }

    TStyAlignment Alignment() const { return alignment_; }
    void SetAlignment(TStyAlignment a);
    int OffsetX() const { return offsetX_; }
    int OffsetY() const { return offsetY_; }
    void SetOffset(int index, int value);  // 0 OffsetX, 1 OffsetY
    TBrush* Brush() const { return brush_.get(); }
    void SetBrush(const TBrush* b);
    TStyFillOptions Options() const { return options_; }
    void SetOptions(TStyFillOptions o) { SetProp(options_, o); }

    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;
    // Paints the rectangle; `color` is the background under hatches and beside untiled
    // bitmaps. True when something was painted.
    bool Fill(TCanvas* c, const TRect& r, TColor color);

private:
    // Alignment and offsets show only for an untiled bitmap.
    bool PlacementShows() const;
    TStyAlignment alignment_ = agTopLeft;
    int offsetX_ = 0, offsetY_ = 0;
    std::unique_ptr<TBrush> brush_;
    TStyFillOptions options_ = foFillInner | foGrUseBitmap;
};
