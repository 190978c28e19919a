#include "platform/win/imageList.h"

#include <functional>
#include <vector>

#include "platform/win/objectTable.h"

namespace {

struct ImageListObject {
    int cx = 16, cy = 16;
    UINT flags = 0;
    int grow = 4;
    COLORREF bk = CLR_NONE;
    bool shared = false;
    std::vector<IconImage> images;
    // Images added to be made when first needed, by index; empty when none waits.
    std::vector<std::function<IconImage()>> makers;
};

ObjectTable<ImageListObject>& Lists() {
    static ObjectTable<ImageListObject> table(HandleKind::ImageList);
    return table;
}

std::shared_ptr<ImageListObject> Find(HIMAGELIST h) {
    auto o = Lists().Find(reinterpret_cast<uintptr_t>(h));
    if (!o) SetLastError(ERROR_INVALID_HANDLE);
    return o;
}

IconImage Blank(const ImageListObject& l) {
    IconImage img;
    img.Resize(l.cx, l.cy);
    return img;
}

IconImage Fit(const ImageListObject& l, const IconImage& src) {
    IconImage img = ScaleIconImage(src, l.cx, l.cy);
    if (!(l.flags & ILC_MASK) && !img.hasAlpha) {
        // A list without masks keeps the colour of every pixel; transparent ones become black.
        for (size_t i = 0; i < img.pixels.size(); ++i) {
            if (img.mask[i]) img.pixels[i] = 0;
            img.pixels[i] |= 0xFF000000u;
            img.mask[i] = 0;
        }
    }
    return img;
}

// Makes image i if it still waits to be made.
void Realize(ImageListObject& l, size_t i) {
    if (i >= l.makers.size() || !l.makers[i]) return;
    const std::function<IconImage()> make = std::move(l.makers[i]);
    l.makers[i] = nullptr;
    const IconImage made = make();
    l.images[i] = made.Empty() ? Blank(l) : Fit(l, made);
}

// Makes every waiting image: before the list changes in any other way than by an addition
// at its end, so indexes and images keep going together.
void RealizeAll(ImageListObject& l) {
    for (size_t i = 0; i < l.makers.size(); ++i) Realize(l, i);
    l.makers.clear();
}

std::shared_ptr<ImageListObject> FindRealized(HIMAGELIST h) {
    auto o = Find(h);
    if (o) RealizeAll(*o);
    return o;
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow) {
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto o = std::make_shared<ImageListObject>();
    o->cx = cx;
    o->cy = cy;
    o->flags = flags;
    o->grow = grow > 0 ? grow : 4;
    o->images.reserve(size_t(std::max(0, std::min(initial, 1024))));
    return reinterpret_cast<HIMAGELIST>(Lists().Add(o));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
    auto o = Find(list);
    if (!o || o->shared) return FALSE_;
    Lists().Remove(reinterpret_cast<uintptr_t>(list));
    return TRUE_;
}

int ImageList_GetImageCount(HIMAGELIST list) {
    auto o = Find(list);
    return o ? int(o->images.size()) : 0;
}

BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count) {
    auto o = FindRealized(list);
    if (!o || count > 100000) return FALSE_;
    o->images.resize(count, Blank(*o));
    return TRUE_;
}

int ImageList_ReplaceIcon(HIMAGELIST list, int i, HICON icon) {
    auto o = FindRealized(list);
    auto img = IconImageOf(icon);
    if (!o || !img) return -1;
    if (i == -1) {
        o->images.push_back(Fit(*o, *img));
        return int(o->images.size()) - 1;
    }
    if (i < 0 || size_t(i) >= o->images.size()) return -1;
    o->images[size_t(i)] = Fit(*o, *img);
    return i;
}

BOOL ImageList_Remove(HIMAGELIST list, int i) {
    auto o = FindRealized(list);
    if (!o) return FALSE_;
    if (i == -1) {
        o->images.clear();
        return TRUE_;
    }
    if (i < 0 || size_t(i) >= o->images.size()) return FALSE_;
    o->images.erase(o->images.begin() + i);
    return TRUE_;
}

HICON ImageList_GetIcon(HIMAGELIST list, int i, UINT) {
    IconImage img;
    if (!ImageListGetImage(list, i, img)) return nullptr;
    return NewIconHandle(img, true);
}

BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy) {
    auto o = Find(list);
    if (!o || !cx || !cy) return FALSE_;
    *cx = o->cx;
    *cy = o->cy;
    return TRUE_;
}

BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy) {
    auto o = FindRealized(list);
    if (!o || cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) return FALSE_;
    o->cx = cx;
    o->cy = cy;
    o->images.clear();
    return TRUE_;
}

COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color) {
    auto o = Find(list);
    if (!o) return CLR_NONE;
    COLORREF old = o->bk;
    o->bk = color;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST list) {
    auto o = Find(list);
    return o ? o->bk : CLR_NONE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST list) {
    auto o = FindRealized(list);
    if (!o) return nullptr;
    auto copy = std::make_shared<ImageListObject>(*o);
    copy->shared = false;
    return reinterpret_cast<HIMAGELIST>(Lists().Add(copy));
}

BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags) {
    constexpr UINT ILCF_SWAP = 1;
    IconImage a, b;
    if (!ImageListGetImage(src, iSrc, a) || !ImageListGetImage(dst, iDst, b)) return FALSE_;
    ImageListReplaceImage(dst, iDst, a);
    if (flags & ILCF_SWAP) ImageListReplaceImage(src, iSrc, b);
    return TRUE_;
}

int ImageListAddImage(HIMAGELIST list, const IconImage& image) {
    auto o = Find(list);
    if (!o || image.Empty()) return -1;
    o->images.push_back(Fit(*o, image));
    return int(o->images.size()) - 1;
}

bool ImageListReplaceImage(HIMAGELIST list, int i, const IconImage& image) {
    auto o = FindRealized(list);
    if (!o || i < 0 || size_t(i) >= o->images.size() || image.Empty()) return false;
    o->images[size_t(i)] = Fit(*o, image);
    return true;
}

int ImageListAddDeferred(HIMAGELIST list, std::function<IconImage()> make) {
    auto o = Find(list);
    if (!o || !make) return -1;
    o->images.push_back(Blank(*o));
    o->makers.resize(o->images.size());
    o->makers.back() = std::move(make);
    return int(o->images.size()) - 1;
}

bool ImageListGetImage(HIMAGELIST list, int i, IconImage& out) {
    auto o = Find(list);
    if (!o || i < 0 || size_t(i) >= o->images.size()) return false;
    Realize(*o, size_t(i));
    out = o->images[size_t(i)];
    return true;
}

UINT ImageListFlags(HIMAGELIST list) {
    auto o = Find(list);
    return o ? o->flags : 0;
}

bool IsImageList(HIMAGELIST list) {
    return Lists().Find(reinterpret_cast<uintptr_t>(list)) != nullptr;
}

void ImageListMarkShared(HIMAGELIST list) {
    if (auto o = Find(list)) o->shared = true;
}
