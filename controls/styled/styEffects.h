// Appearance objects a control may own: a fill blended over it with a strength (the alpha
// object), flip, grey-scale, invert and brightness effects with an alpha blend (the
// bitmap-effect object), and a shadow's colour, depth and style.
#pragma once

#include <memory>

#include "controls/styled/styChangeLink.h"
#include "controls/styled/styFillObject.h"

class TStyCustomImageList;

class TStyAlphaObject : public TStyObject {
public:
    TStyAlphaObject();
    ~TStyAlphaObject() override;
    TStyAlphaObject(const TStyAlphaObject&) = delete;
    TStyAlphaObject& operator=(const TStyAlphaObject&) = delete;
    std::string ClassName() const override { return "TStyAlphaObject"; }

    TStyCustomImageList* ImageList() const;
    void SetImageList(TStyCustomImageList* list);
    float Strength() const { return strength_; }
    void SetStrength(float s);
    int ImageIndex() const { return imageIndex_; }
    int ListIndex() const { return listIndex_; }
    void SetIndex(int index, int value);  // 0 ImageIndex, 1 ListIndex
    TStyFillObject* FillObject() const { return fill_.get(); }
    void SetFillObject(const TStyFillObject* f) { fill_->Assign(f); }

    // Copies the list's image (ListIndex, ImageIndex) into the fill object's list bitmap,
    // or clears that when the list does not hold it.
    void LoadListImage();
    // Stored only when not one of the layer's shared lists (those are stored by name).
    bool ImageListStored() const;
    bool StrengthStored() const;

    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;
    // "Internal": the name of a shared list ("STYBML30", "STYIML30").
    void DefineProperties(TStyFiler& filer) override;

private:
    TStyCustomImageList* imageList_ = nullptr;
    float strength_ = 0.6f;
    int imageIndex_ = 0, listIndex_ = 0;
    bool flag_ = false;
    std::unique_ptr<TStyFillObject> fill_;
    std::unique_ptr<TStyChangeLink> link_;
};

class TStyBitmapEffectObject : public TStyObject {
public:
    TStyBitmapEffectObject();
    TStyBitmapEffectObject(const TStyBitmapEffectObject&) = delete;
    TStyBitmapEffectObject& operator=(const TStyBitmapEffectObject&) = delete;
    std::string ClassName() const override { return "TStyBitmapEffectObject"; }

    enum : int { beFlipVertical, beFlipHorizontal, beGrayScale, beInvert, beBuffered, beSpare };
    bool Effect(int index) const { return flags_[index]; }
    void SetEffect(int index, bool value);
    bool FlipVertical() const { return flags_[beFlipVertical]; }
    bool FlipHorizontal() const { return flags_[beFlipHorizontal]; }
    bool GrayScale() const { return flags_[beGrayScale]; }
    bool Invert() const { return flags_[beInvert]; }
    bool Buffered() const { return flags_[beBuffered]; }
    int16_t Brightness() const { return brightness_; }
    void SetBrightness(int16_t b);
    TStyAlphaObject* AlphaBlend() const { return alpha_.get(); }
    void SetAlphaBlend(const TStyAlphaObject* a) { alpha_->Assign(a); }
    // The buffer bitmap, present while Buffered; Valid until anything changes.
    TBitmap* Buffer() const { return buffer_.get(); }
    bool Valid() const { return valid_; }
    void SetValid(bool v) { valid_ = v; }

    void SubObjectChanged(TObject* sender) override;
    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;

private:
    std::unique_ptr<TStyAlphaObject> alpha_;
    bool valid_ = false;
    bool flags_[6] = {};
    std::unique_ptr<TBitmap> buffer_;
    int16_t brightness_ = 0;
};

enum TStyShadowStyle : uint8_t { hssNone, hssSolid, hssTracing };

class TStyShadow : public TStyObject {
public:
    TStyShadow() = default;
    std::string ClassName() const override { return "TStyShadow"; }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { SetProp(color_, c); }
    uint8_t Depth() const { return depth_; }
    void SetDepth(uint8_t d) { SetProp(depth_, d); }
    TStyShadowStyle Style() const { return style_; }
    void SetStyle(TStyShadowStyle s) { SetProp(style_, s); }

    void Assign(const TPersistent* source) override;
    std::string GetDescription() const override;

protected:
    void SetStyleQuietly(TStyShadowStyle s) { style_ = s; }

private:
    TColor color_ = clBtnShadow;
    uint8_t depth_ = 6;
    TStyShadowStyle style_ = hssSolid;
};
