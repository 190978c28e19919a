// The containers the controls take their images from: a list of bitmaps and a list of image
// strips behind one interface (TStyCustomImageList), a list of string lists, a list of
// waves, and TStyContainer holding one of each. One global container's bitmap list and
// image list are the layer's shared default lists; a control's reference to them is stored
// by name ("STYBML30", "STYIML30").
#pragma once

#include <functional>

#include "controls/styled/styCustomContainer.h"
#include "controls/styled/styImageListItem.h"

class TStyFiler;

class TStyCustomImageList : public TStyCustomContainer {
public:
    using TStyCustomContainer::TStyCustomContainer;
    std::string ClassName() const override { return "TStyCustomImageList"; }
    TStySavePixelFormat DefaultPixelFormat = spfDefault;

    // i: the item, k: the image within an image strip. Outside the list the answers are
    // neutral (0, false, -1, white) and nothing is drawn.
    virtual TCanvas* GetCanvas(int i) = 0;
    virtual bool GetImageRect(int i, int k, TRect& r) = 0;
    virtual int GetSize(int i, int which) = 0;  // 0 width, 1 height
    virtual int ImageCount(int i) = 0;
    virtual bool HasImages(int i) = 0;
    virtual bool GetBitmap(int i, int k, TBitmap* bmp) = 0;
    virtual bool IsMasked(int i) = 0;
    virtual bool IsTransparent(int i) = 0;
    virtual TColor TransparentColorOf(int i, int k) = 0;
    virtual TColor PixelOf(int i, int k, TPoint p) = 0;
    virtual void Draw(TCanvas* c, int x, int y, int i, int k) = 0;
    virtual void DrawInRect(TCanvas* c, const TRect& r, int i, int k, TRect* drawn,
                            uint16_t flags) = 0;
    virtual void DrawClipped(TCanvas* c, const TRect& r, int i, int k, TColor color, DWORD offset,
                             uint16_t flags) = 0;

    // True when item i holds image k.
    bool HasImage(int i, int k) { return k >= 0 && HasImages(i) && k < ImageCount(i); }
    void Assign(const TPersistent* source) override;
};

class TStyBitmapList : public TStyCustomImageList {
public:
    explicit TStyBitmapList(TComponent* owner);
    std::string ClassName() const override { return "TStyBitmapList"; }
    TStyBitmapListItem* Bitmaps(int i) const { return dynamic_cast<TStyBitmapListItem*>(Item(i)); }
    // A new item holding a copy of the bitmap.
    TStyBitmapListItem* AddBitmap(const TBitmap* bmp);

    TCanvas* GetCanvas(int i) override;
    bool GetImageRect(int i, int k, TRect& r) override;
    int GetSize(int i, int which) override;
    int ImageCount(int i) override;
    bool HasImages(int i) override;
    bool GetBitmap(int i, int k, TBitmap* bmp) override;
    bool IsMasked(int) override { return false; }
    bool IsTransparent(int i) override;
    TColor TransparentColorOf(int i, int k) override;
    TColor PixelOf(int i, int k, TPoint p) override;
    void Draw(TCanvas* c, int x, int y, int i, int k) override;
    void DrawInRect(TCanvas* c, const TRect& r, int i, int k, TRect* drawn,
                    uint16_t flags) override;
    void DrawClipped(TCanvas* c, const TRect& r, int i, int k, TColor color, DWORD offset,
                     uint16_t flags) override;
};

class TStyImageList : public TStyCustomImageList {
public:
    explicit TStyImageList(TComponent* owner);
    std::string ClassName() const override { return "TStyImageList"; }
    TStyImageListItem* Strips(int i) const { return dynamic_cast<TStyImageListItem*>(Item(i)); }

    TCanvas* GetCanvas(int i) override;
    bool GetImageRect(int i, int k, TRect& r) override;
    int GetSize(int i, int which) override;
    int ImageCount(int i) override;
    bool HasImages(int i) override;
    bool GetBitmap(int i, int k, TBitmap* bmp) override;
    bool IsMasked(int i) override;
    bool IsTransparent(int i) override;
    TColor TransparentColorOf(int i, int k) override;
    TColor PixelOf(int i, int k, TPoint p) override;
    void Draw(TCanvas* c, int x, int y, int i, int k) override;
    void DrawInRect(TCanvas* c, const TRect& r, int i, int k, TRect* drawn,
                    uint16_t flags) override;
    void DrawClipped(TCanvas* c, const TRect& r, int i, int k, TColor color, DWORD offset,
                     uint16_t flags) override;
};

class TStyStringList : public TStyCustomContainer {
public:
    explicit TStyStringList(TComponent* owner);
    std::string ClassName() const override { return "TStyStringList"; }
    TStyStringListItem* Lists(int i) const { return dynamic_cast<TStyStringListItem*>(Item(i)); }
};

class TStyWaveList : public TStyCustomContainer {
public:
    explicit TStyWaveList(TComponent* owner);
    std::string ClassName() const override { return "TStyWaveList"; }
    TStyWaveListItem* Waves(int i) const { return dynamic_cast<TStyWaveListItem*>(Item(i)); }
};

// One list of each kind, created in the order bitmaps, image strips, waves, strings.
class TStyContainer : public TStyBaseContainer {
public:
    explicit TStyContainer(TComponent* owner);
    ~TStyContainer() override;
    std::string ClassName() const override { return "TStyContainer"; }
    TStyBitmapList* BitmapList() const { return bitmaps_; }
    TStyImageList* ImageList() const { return images_; }
    TStyWaveList* WaveList() const { return waves_; }
    TStyStringList* StringList() const { return strings_; }

private:
    void ListChanged(TObject* sender);
    TStyBitmapList* bitmaps_;
    TStyImageList* images_;
    TStyWaveList* waves_;
    TStyStringList* strings_;
};

// The layer's global container (made on first use, freed at the end of the program).
TStyContainer* StyGlobalContainer();
void StyFreeGlobalContainer();
// The text a reference to one of the two shared lists is stored as ("" for any other list),
// and the list a stored text stands for (null for any other text).
std::string StyListReferenceName(const TStyCustomImageList* list);
TStyCustomImageList* StyListFromReferenceName(const std::string& name);
// Registers the lists and their items for form files: items nested in a list join it,
// their records stored as "Internal".
void RegisterStyContainers();
// True for the global container's bitmap list and image list.
bool StyIsSharedList(const TStyCustomImageList* list);
// What reading back a name that is neither shared list does: the look objects and the
// button keep the list they have; the control bases let it go.
enum class TStyUnknownListName { Ignored, Unlinks };
// Stores an object's image list as "Internal" when it is one of the shared lists, and
// links a shared list named there when read back.
void StyDefineSharedListReference(TStyFiler& filer,
                                  const std::function<TStyCustomImageList*()>& get,
                                  const std::function<void(TStyCustomImageList*)>& set,
                                  TStyUnknownListName unknown = TStyUnknownListName::Ignored);
