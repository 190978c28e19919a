// Button glyphs: one bitmap of up to five equal cells, one per look, turned on demand into
// masked images (and derived ones: embossed disabled, grey) kept in shared image strips.
// All glyphs of one cell size share one TStyGlyphList; the process-wide TStyGlyphCache holds
// the lists, and a list goes when its last image is given back. Also the built-in arrow
// glyphs: eight 13x14 cells in one bitmap resource.
#pragma once

#include <memory>
#include <vector>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styImageListItem.h"

class TStyGlyphList : public TStyImageListItem {
public:
    TStyGlyphList(int width, int height) : TStyImageListItem(nullptr, width, height) {}
    std::string ClassName() const override { return "TStyGlyphList"; }
    // The first free slot (a new empty image when none is free), now in use.
    int AllocateIndex();
    int AddMasked(TBitmap* image, TColor transparent);
    // Gives the slot back; the image stays in the strip for the next AllocateIndex.
    void Delete(int index);
    int UsedCount() const { return count_; }

private:
    std::vector<bool> used_;
    int count_ = 0;
};

class TStyGlyphCache : public TObject {
public:
    ~TStyGlyphCache() override;
    std::string ClassName() const override { return "TStyGlyphCache"; }
    // The list of that cell size, made (masked) when there is none.
    TStyGlyphList* GetList(int width, int height);
    // Frees the list when no image of it is in use any more.
    void ReturnList(TStyGlyphList* list);
    bool Empty() const { return lists_.empty(); }
    int ListCount() const { return int(lists_.size()); }

private:
    std::vector<TStyGlyphList*> lists_;
};

// The process-wide cache; null while no glyph exists.
TStyGlyphCache* StyGlyphCache();

// Look numbers: 0 normal, 1 disabled, 2 mouse over, 4 pressed (3, 5..8 for other users; 7
// draws as 1).
class TStyGlyph : public TObject {
public:
    TStyGlyph();
    ~TStyGlyph() override;
    TStyGlyph(const TStyGlyph&) = delete;
    TStyGlyph& operator=(const TStyGlyph&) = delete;
    std::string ClassName() const override { return "TStyGlyph"; }

    TBitmap* Glyph() const { return original_.get(); }
    // Copies the bitmap; its shape gives the number of cells (width / height, one cell for
    // six or more, unchanged when the width is no multiple of the height).
    void SetGlyph(const TBitmap* value);
    uint8_t NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(uint8_t v);
    // 1: the normal look is grey, the hot and pressed looks in colour.
    uint8_t GreyMode() const { return greyMode_; }
    void SetGreyMode(uint8_t v);
    TColor TransparentColor() const { return transparentColor_; }
    TNotifyEvent OnChange;

    // Gives every image back to the list (and the list to the cache when it is the last).
    void Invalidate();
    // The image of a look, made when first asked for; -1 when there is none.
    int CreateButtonGlyph(int look);
    int IndexOf(int look) const { return indexes_[size_t(look)]; }
    TStyGlyphList* List() const { return list_; }
    // Places and draws glyph and caption in `r` (caption only without an image).
    void Draw(TCanvas* c, const std::string& caption, TStyFxCaption* fx, const TRect& r, int look,
              TStyButtonLayout* layout, UINT options, bool multiLine, UINT textFlags);

private:
    void BitmapChanged();
    std::unique_ptr<TBitmap> original_;
    int indexes_[9];
    TStyGlyphList* list_ = nullptr;
    uint8_t numGlyphs_ = 1;
    uint8_t greyMode_ = 0;
    TColor transparentColor_ = clNone;
};

// The transparent colour of a bitmap: its own, or the bottom-left pixel's.
TColor StyBitmapTransparentColor(TBitmap* bmp);
// Cell `number` (1..8) of the built-in arrow glyphs into `bmp`, 13 x 14.
void LoadArrowGlyph(TBitmap* bmp, uint8_t number);
