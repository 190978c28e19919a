// An image strip: images of Width x Height side by side in one bitmap, with a monochrome
// mask strip beside it when the item is masked. The strip grows by AllocBy images and may
// be at most 32768 pixels wide.
#pragma once

#include <memory>
#include <vector>

#include "controls/styled/styListItems.h"

class TStyImageListItem : public TStyListItem {
public:
    explicit TStyImageListItem(TComponent* owner);
    // Width or height below 1 raises EInvalidGraphicOperation "无效的图像大小".
    TStyImageListItem(TComponent* owner, int width, int height);
    std::string ClassName() const override { return "TStyImageListItem"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Values below 1 and the current value are ignored; a change empties the item.
    void SetWidth(int w);
    void SetHeight(int h);
    int AllocBy = 4;
    bool Masked() const { return masked_; }
    // Keeps the images; switching on gives an all-opaque mask.
    void SetMasked(bool m);
    TStySavePixelFormat PixelFormat = spfDefault;

    int Count() const { return int(entries_.size()); }
    // Adds the images of a strip (width a multiple of Width, height Height) and their mask;
    // both null adds one empty slot. Returns the index of the first image added.
    int Add(TBitmap* image, TBitmap* mask);
    // The mask is made from the pixels of the transparent colour.
    int AddMasked(TBitmap* image, TColor transparent);
    // Image k replaced by `image` (Width x Height), its mask made the same way.
    void ReplaceMasked(int k, TBitmap* image, TColor transparent);
    // X offset of image k in the strip, -1 outside the list.
    int OffsetOf(int k) const;
    TBitmap* ImageStrip() const { return image_.get(); }
    TBitmap* MaskStrip() const { return mask_.get(); }
    // Image k copied into `out` (Width x Height); false outside the list.
    bool GetImage(int k, TBitmap* out) const;
    bool GetMask(int k, TBitmap* out) const;

    // Drawing settings: clNone = no colour.
    TColor BackColor = clNone;
    TColor PatternColor = clNone;
    uint8_t DrawMode = 2;  // 0..3
    bool ShowMask = false;
    void DrawImage(TCanvas* c, int x, int y, int k);
    void MaskedCopy(TCanvas* c, TBitmap* source, int x, int y, int k);
    void FillPattern(TBitmap* bmp, bool checkerboard) const;

    void ClearContent() override;
    bool IsEmpty() const override { return entries_.empty(); }
    void ReadData(TStream& s) override;
    void WriteData(TStream& s) override;
    uint8_t GetFlags() const override;
    void Assign(const TPersistent* source) override;
    // Also "Bitmap": image data of an older form, read and never written.
    void DefineProperties(TStyFiler& filer) override;

private:
    struct Entry {
        uint16_t x;
        uint8_t masked;
    };
    void Empty();
    // Room for `more` images; raises "图像太多" beyond 32768 pixels.
    void Grow(int more);
    int width_ = 16, height_ = 16;
    bool masked_ = true;
    std::unique_ptr<TBitmap> image_, mask_;
    int used_ = 0;  // strip width in use
    std::vector<Entry> entries_;
};
