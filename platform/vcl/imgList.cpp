#include "platform/vcl/imgList.h"

#include "platform/gdi/iconDraw.h"

namespace {
COLORREF ListColor(TColor c) {
    return c == clNone ? CLR_NONE : c == clDefault ? CLR_DEFAULT : ColorToRGB(c);
}
}  // namespace

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::TCustomImageList(TComponent* owner, int width, int height) : TComponent(owner) {
    width_ = width > 0 ? width : 16;
    height_ = height > 0 ? height : 16;
}

TCustomImageList::~TCustomImageList() {
    if (handle_ && owned_ && !ShareImages) ImageList_Destroy(handle_);
}

void TCustomImageList::Change() {
    if (updateCount_ > 0) {
        changedMeanwhile_ = true;
        return;
    }
    if (OnChange) OnChange(this);
}

void TCustomImageList::BeginUpdate() { ++updateCount_; }

void TCustomImageList::EndUpdate() {
    if (updateCount_ == 0 || --updateCount_ > 0) return;
    const bool changed = changedMeanwhile_;
    changedMeanwhile_ = false;
    if (changed) Change();
}

void TCustomImageList::Recreate() {
    if (handle_ && owned_ && !ShareImages) ImageList_Destroy(handle_);
    handle_ = nullptr;
    owned_ = false;
    Change();
}

HIMAGELIST TCustomImageList::Handle() {
    if (!handle_) {
        handle_ = ImageList_Create(width_, height_, ILC_COLOR32 | (masked_ ? ILC_MASK : 0), AllocBy,
                                   AllocBy);
        owned_ = true;
        ImageList_SetBkColor(handle_, ListColor(bkColor_));
    }
    return handle_;
}

void TCustomImageList::SetHandle(HIMAGELIST h) {
    if (h == handle_) return;
    if (handle_ && owned_ && !ShareImages) ImageList_Destroy(handle_);
    handle_ = h;
    owned_ = h != nullptr;
    if (h) {
        ImageList_GetIconSize(h, &width_, &height_);
        masked_ = (ImageListFlags(h) & ILC_MASK) != 0;
    }
    Change();
}

void TCustomImageList::SetWidth(int w) {
    if (w <= 0 || w == width_) return;
    width_ = w;
    Recreate();
}

void TCustomImageList::SetHeight(int h) {
    if (h <= 0 || h == height_) return;
    height_ = h;
    Recreate();
}

void TCustomImageList::SetMasked(bool m) {
    if (m == masked_) return;
    masked_ = m;
    Recreate();
}

void TCustomImageList::SetBkColor(TColor c) {
    bkColor_ = c;
    if (handle_) ImageList_SetBkColor(handle_, ListColor(c));
    Change();
}

int TCustomImageList::Count() const { return handle_ ? ImageList_GetImageCount(handle_) : 0; }

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
    if (!image) return -1;
    int i = ImageList_Add(Handle(), image->Handle(), mask ? mask->Handle() : nullptr);
    Change();
    return i;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
    if (!image) return -1;
    int i = masked_ && maskColor != clNone
                ? ImageList_AddMasked(Handle(), image->Handle(), ColorToRGB(maskColor))
                : ImageList_Add(Handle(), image->Handle(), nullptr);
    Change();
    return i;
}

int TCustomImageList::AddIcon(TIcon* icon) {
    if (!icon || icon->Empty()) return -1;
    int i = ImageList_AddIcon(Handle(), icon->Handle());
    Change();
    return i;
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
    if (!image ||
        !ImageList_Replace(Handle(), index, image->Handle(), mask ? mask->Handle() : nullptr))
        throw EInvalidOperation("Failed to replace image");
    Change();
}

void TCustomImageList::ReplaceIcon(int index, TIcon* icon) {
    if (!icon || ImageList_ReplaceIcon(Handle(), index, icon->Handle()) < 0)
        throw EInvalidOperation("Failed to replace image");
    Change();
}

void TCustomImageList::Delete(int index) {
    if (index < 0 || index >= Count()) throw EInvalidOperation("Image index out of range");
    ImageList_Remove(Handle(), index);
    Change();
}

void TCustomImageList::Clear() {
    if (handle_) ImageList_Remove(handle_, -1);
    Change();
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
    Draw(canvas, x, y, index, DrawingStyle, ImageType, enabled);
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, TDrawingStyle style,
                            TImageType type, bool enabled) {
    if (!canvas || !handle_ || index < 0 || index >= Count()) return;
    UINT flags = type == itMask ? ILD_MASK : 0;
    switch (style) {
        case dsFocus:
            flags |= ILD_FOCUS;
            break;
        case dsSelected:
            flags |= ILD_SELECTED;
            break;
        case dsTransparent:
            flags |= ILD_TRANSPARENT;
            break;
        case dsNormal:
            break;
    }
    COLORREF fg = ListColor(BlendColor == clNone ? clHighlight : BlendColor);
    if (!enabled) {
        // Greyed: the image blended half with the button face, drawn transparent.
        ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, CLR_NONE,
                         ColorToRGB(clBtnFace), ILD_TRANSPARENT | ILD_BLEND50);
        return;
    }
    ImageList_DrawEx(handle_, index, canvas->Handle(), x, y, 0, 0, ListColor(bkColor_), fg, flags);
}

void TCustomImageList::GetBitmap(int index, TBitmap* into) {
    if (!into || !handle_ || index < 0 || index >= Count()) return;
    into->SetSize(width_, height_);
    TCanvas* c = into->Canvas();
    c->Brush()->Color = bkColor_ == clNone ? clWhite : bkColor_;
    c->FillRect(TRect{0, 0, width_, height_});
    ImageList_Draw(handle_, index, c->Handle(), 0, 0, ILD_TRANSPARENT);
}

void TCustomImageList::GetIcon(int index, TIcon* into) {
    if (!into || !handle_ || index < 0 || index >= Count()) return;
    into->SetHandle(ImageList_GetIcon(handle_, index, ILD_NORMAL));
}
