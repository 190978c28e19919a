// Device contexts and bitmaps over the images the class library keeps.
#include "platform/gdi/gdiDib.h"

namespace gdi {

std::shared_ptr<Bitmap> MakePackedBitmap(const DibFormat& f, bool dibSection);
void Rebind(HGDIOBJ h, std::shared_ptr<Object> obj);

HDC CreateCanvasDC() {
    auto dc = std::make_shared<Dc>();
    dc->st.palette = GetStockObject(DEFAULT_PALETTE);
    return AddAs<HDC>(dc);
}

void SetCanvasDCBitmap(HDC h, HBITMAP bitmap) {
    auto dc = FindAs<Dc>(h);
    if (!dc) return;
    dc->memory = true;
    dc->st.bitmap = bitmap;
}

void SetCanvasDCImage(HDC h, Image* image, POINT origin, const std::vector<int>* clip) {
    auto dc = FindAs<Dc>(h);
    if (!dc) return;
    dc->target = image ? image : &dc->scratch;
    dc->base = origin;
    dc->sysClip.reset();
    if (!clip) return;
    RegionSet area;
    for (size_t i = 0; i + 3 < clip->size(); i += 4)
        area = RegionSet::Combine(
            area, RegionSet::FromRect((*clip)[i], (*clip)[i + 1], (*clip)[i + 2], (*clip)[i + 3]),
            RegionSet::Or);
    dc->sysClip = std::move(area);
}

Image* DCImage(HDC h, POINT* origin) {
    auto dc = FindAs<Dc>(h);
    Image* img = dc ? dc->image() : nullptr;
    if (img && origin) *origin = dc->base;
    return img;
}

std::shared_ptr<Bitmap> BitmapOver(Image& image) {
    auto b = std::make_shared<Bitmap>();
    b->image = &image;
    b->bpp = 32;
    return b;
}

HBITMAP AddBitmapHandle(const std::shared_ptr<Bitmap>& bitmap) { return AddAs<HBITMAP>(bitmap); }

void RebindBitmapHandle(HBITMAP h, const std::shared_ptr<Bitmap>& bitmap) { Rebind(h, bitmap); }

Image* BitmapImage(HBITMAP h, int* bpp) {
    auto b = FindAs<Bitmap>(h);
    if (bpp) *bpp = b ? b->bpp : 0;
    if (!b) return nullptr;
    b->beforeUse();
    return b->image;
}

void UpdateBitmapImage(Bitmap& bitmap) { bitmap.beforeUse(); }

void BitmapImageChanging(Bitmap& bitmap) {
    bitmap.beforeUse();
    bitmap.imageNewer = bitmap.packed != nullptr;
}

void SetBitmapFormat(Bitmap& b, int bpp, int rowBits, bool bitFields, HPALETTE palette) {
    b.beforeUse();
    b.bpp = bpp;
    b.packed.reset();
    b.packedNewer = b.imageNewer = false;
    if (rowBits == 0 || !b.image) return;
    DibFormat f;
    f.bpp = rowBits;
    f.width = b.image->width();
    f.height = b.image->height();
    f.stride = DibRowBytes(f.width, rowBits);
    if (bitFields) {
        f.masks[0] = 0xF800;
        f.masks[1] = 0x07E0;
        f.masks[2] = 0x001F;
    }
    if (rowBits <= 8) {
        f.colors = DefaultColors(rowBits);
        if (auto pal = FindAs<Palette>(palette); pal && rowBits > 1) {
            f.colors.clear();
            for (size_t i = 0; i < pal->entries.size() && i < (size_t(1) << rowBits); ++i)
                f.colors.push_back(RGBQUAD{pal->entries[i].peBlue, pal->entries[i].peGreen,
                                           pal->entries[i].peRed, 0});
        }
    }
    // The pixels drawn so far, in the new format.
    auto packed = MakePackedBitmap(f, false);
    b.packed = std::move(packed->packed);
    b.imageNewer = true;
    b.rowsForWriting();
    b.beforeUse();
}

bool HasBitmapRows(const Bitmap& bitmap) { return bitmap.packed != nullptr; }

void DropBitmapRows(Bitmap& bitmap) { bitmap.packed.reset(); }

uint8_t* BitmapRow(Bitmap& bitmap, int y) {
    PackedRows* rows = bitmap.rowsForWriting();
    return rows ? DibRow(rows->bits(), rows->fmt, y) : nullptr;
}

std::vector<RGBQUAD> BitmapColors(const Bitmap& bitmap) {
    return bitmap.packed ? bitmap.packed->fmt.colors : std::vector<RGBQUAD>{};
}

}  // namespace gdi
