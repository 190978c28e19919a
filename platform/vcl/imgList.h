// TCustomImageList and TImageList: the class library's image lists over the layer's
// ImageList_* calls. A list either owns its images or, with ShareImages, is attached to a
// list someone else owns (the shell's system image list) and never destroys it.
#pragma once

#include <functional>

#include "platform/vcl/component.h"
#include "platform/vcl/graphics.h"
#include "platform/vcl/icon.h"
#include "platform/win/imageList.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList : public TComponent {
public:
    explicit TCustomImageList(TComponent* owner);
    TCustomImageList(TComponent* owner, int width, int height);  // CreateSize
    ~TCustomImageList() override;
    std::string ClassName() const override { return "TCustomImageList"; }

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetWidth(int w);
    void SetHeight(int h);
    int Count() const;
    bool Masked() const { return masked_; }
    void SetMasked(bool m);
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor c);
    TColor BlendColor = clNone;
    TDrawingStyle DrawingStyle = dsNormal;
    TImageType ImageType = itImage;
    int AllocBy = 4;
    bool ShareImages = false;

    // The list handle, made on first use. Setting it attaches the list to another one
    // (with ShareImages it stays the other owner's); the size follows the new list.
    HIMAGELIST Handle();
    void SetHandle(HIMAGELIST h);
    bool HandleAllocated() const { return handle_ != nullptr; }

    // Each returns the index of the (first) new image, or -1.
    int Add(TBitmap* image, TBitmap* mask);
    int AddMasked(TBitmap* image, TColor maskColor);
    int AddIcon(TIcon* icon);
    void Replace(int index, TBitmap* image, TBitmap* mask);
    void ReplaceIcon(int index, TIcon* icon);
    void Delete(int index);
    void Clear();
    // Draws with DrawingStyle and ImageType; a disabled image is drawn greyed.
    void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);
    void Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
              bool enabled = true);
    // Copies image `index` into the bitmap (resized to the list's size, on the background
    // colour or white) / into the icon.
    void GetBitmap(int index, TBitmap* into);
    void GetIcon(int index, TIcon* into);

    std::function<void(TObject*)> OnChange;
    // Changes made between these come out as one OnChange when the count returns to 0.
    void BeginUpdate();
    void EndUpdate();

protected:
    void Change();

private:
    void Recreate();
    int width_ = 16, height_ = 16;
    bool masked_ = true;
    TColor bkColor_ = clNone;
    HIMAGELIST handle_ = nullptr;
    bool owned_ = false;
    int updateCount_ = 0;
    bool changedMeanwhile_ = false;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    std::string ClassName() const override { return "TImageList"; }
};
