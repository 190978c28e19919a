// Bitmaps, DIB sections, DIB transfers and palettes.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdiDib.h"

namespace gdi {

HGDIOBJ DefaultBitmap();

namespace {

void UnpackAll(PackedRows& p, gdi::Image& img) {
    const int w = std::min(p.fmt.width, img.width()), h = std::min(p.fmt.height, img.height());
    for (int y = 0; y < h; ++y)
        UnpackRow(DibRow(p.bits(), p.fmt, y), p.fmt, reinterpret_cast<uint32_t*>(img.scanLine(y)),
                  w);
}

void PackAll(gdi::Image& img, PackedRows& p) {
    const int w = std::min(p.fmt.width, img.width()), h = std::min(p.fmt.height, img.height());
    for (int y = 0; y < h; ++y)
        PackRow(reinterpret_cast<const uint32_t*>(img.scanLine(y)), p.fmt,
                DibRow(p.bits(), p.fmt, y), w);
}

std::shared_ptr<Bitmap> NewBitmap(int w, int h, int bpp) {
    auto b = std::make_shared<Bitmap>();
    b->own = std::make_unique<gdi::Image>(w, h);
    b->image = b->own.get();
    b->bpp = bpp;
    return b;
}

std::shared_ptr<Dc> DcOf(HDC h) { return FindAs<Dc>(h); }

}  // namespace

void Bitmap::beforeUse() {
    if (!packed || !packedNewer || !image) return;
    UnpackAll(*packed, *image);
    if (!dibSection) packedNewer = false;
}

void Bitmap::afterWrite() {
    if (monochrome() && image) {
        // Whatever was drawn, a monochrome bitmap holds black and white only.
        for (int y = 0; y < image->height(); ++y) {
            auto* row = reinterpret_cast<uint32_t*>(image->scanLine(y));
            for (int x = 0; x < image->width(); ++x) row[x] = ToPixel(MonoColor(ToColor(row[x])));
        }
    }
    if (!packed || !image) return;
    if (dibSection)
        PackAll(*image, *packed);
    else
        imageNewer = true;
}

PackedRows* Bitmap::rowsForWriting() {
    if (!packed) return nullptr;
    if (imageNewer && image) PackAll(*image, *packed);
    imageNewer = false;
    packedNewer = true;
    return packed.get();
}

std::shared_ptr<Bitmap> MakePackedBitmap(const DibFormat& f, bool dibSection) {
    auto b = NewBitmap(f.width, f.height, f.bpp);
    b->dibSection = dibSection;
    b->packed = std::make_unique<PackedRows>();
    b->packed->fmt = f;
    b->packed->store.assign(size_t(f.stride) * size_t(f.height), 0);
    b->packedNewer = true;
    b->beforeUse();
    return b;
}

}  // namespace gdi

using namespace gdi;

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitCount, const void* bits) {
    if (planes != 1 && planes != 0) return nullptr;
    if (w <= 0 || h <= 0) return static_cast<HBITMAP>(DefaultBitmap());
    if (w > 32768 || h > 32768) return nullptr;
    int bpp = bitCount <= 1    ? 1
              : bitCount <= 4  ? 4
              : bitCount <= 8  ? 8
              : bitCount <= 16 ? 16
              : bitCount <= 24 ? 24
                               : 32;
    auto b = NewBitmap(w, h, bpp == 1 ? 1 : 32);
    if (bits) {
        // Device-dependent bits: word-aligned rows from the top; 1 bits are white.
        DibFormat f;
        f.bpp = bpp;
        f.width = w;
        f.height = h;
        f.topDown = true;
        f.stride = ((w * bpp + 15) / 16) * 2;
        f.colors = DefaultColors(bpp);
        for (int y = 0; y < h; ++y)
            UnpackRow(DibRow(static_cast<const uint8_t*>(bits), f, y), f,
                      reinterpret_cast<uint32_t*>(b->image->scanLine(y)), w);
    } else if (bpp == 1) {
        for (int y = 0; y < h; ++y)
            std::fill_n(reinterpret_cast<uint32_t*>(b->image->scanLine(y)), w, 0xFF000000u);
    }
    return AddAs<HBITMAP>(b);
}

HBITMAP CreateBitmapIndirect(const BITMAP* bm) {
    return bm ? CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits)
              : nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC h, int w, int hh) {
    auto dc = DcOf(h);
    if (!dc) return nullptr;
    // Compatible with a fresh memory DC means monochrome, as on Windows.
    return CreateBitmap(w, hh, 1, dc->monochrome() ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC h, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE, DWORD) {
    if (bits) *bits = nullptr;
    DibFormat f;
    if (!FormatOf(bmi, usage, DcOf(h).get(), f)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto b = MakePackedBitmap(f, true);
    if (bits) *bits = b->packed->bits();
    return AddAs<HBITMAP>(b);
}

int SetDIBits(HDC h, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi,
              UINT usage) {
    auto b = FindAs<Bitmap>(bmp);
    DibFormat f;
    if (!b || !bits || !FormatOf(bmi, usage, DcOf(h).get(), f)) return 0;
    b->beforeUse();
    // Scan line 0 is the bottom row of a bottom-up DIB and the top row of a top-down one.
    int done = 0;
    std::vector<uint32_t> row(size_t(f.width));
    for (UINT k = 0; k < lines; ++k) {
        int scan = int(start + k);
        if (scan >= f.height) break;
        int y = f.topDown ? scan : f.height - 1 - scan;
        if (y < 0 || y >= b->height()) continue;
        UnpackRow(static_cast<const uint8_t*>(bits) + size_t(k) * size_t(f.stride), f, row.data(),
                  f.width);
        auto* dst = reinterpret_cast<uint32_t*>(b->image->scanLine(y));
        std::copy_n(row.data(), std::min(f.width, b->width()), dst);
        ++done;
    }
    b->afterWrite();
    return done;
}

HBITMAP CreateDIBitmap(HDC h, const BITMAPINFOHEADER* bih, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage) {
    if (!bih || bih->biWidth <= 0 || bih->biHeight == 0) return nullptr;
    auto dc = DcOf(h);
    HBITMAP bmp = CreateBitmap(bih->biWidth, std::abs(bih->biHeight), 1,
                               dc && dc->monochrome() ? 1 : 32, nullptr);
    if ((init & CBM_INIT) && bits && bmi)
        SetDIBits(h, bmp, 0, UINT(std::abs(bih->biHeight)), bits, bmi, usage);
    return bmp;
}

int GetDIBits(HDC h, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage) {
    auto b = FindAs<Bitmap>(bmp);
    if (!b || !bmi) return 0;
    BITMAPINFOHEADER& hd = bmi->bmiHeader;
    if (hd.biSize < 40) return 0;
    b->beforeUse();
    if (hd.biBitCount == 0) {
        // Describe the bitmap only.
        hd.biWidth = b->width();
        hd.biHeight = b->height();
        hd.biPlanes = 1;
        hd.biBitCount = WORD(b->bpp);
        hd.biCompression = BI_RGB;
        hd.biSizeImage = DWORD(DibRowBytes(b->width(), b->bpp) * b->height());
        hd.biClrUsed = 0;
        return b->height();
    }
    if (hd.biWidth <= 0) hd.biWidth = b->width();
    if (hd.biHeight == 0) hd.biHeight = b->height();
    int bpp = hd.biBitCount;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return 0;
    // The colour table: the bitmap's own for a DIB section of this depth, else the default one.
    std::vector<RGBQUAD> colors;
    if (bpp <= 8) {
        colors = b->packed && b->packed->fmt.bpp == bpp && !b->packed->fmt.colors.empty()
                     ? b->packed->fmt.colors
                     : DefaultColors(bpp);
        colors.resize(size_t(1) << bpp);
        hd.biClrUsed = 0;
        if (usage == DIB_PAL_COLORS) {
            auto* idx = reinterpret_cast<WORD*>(reinterpret_cast<uint8_t*>(bmi) + hd.biSize);
            for (size_t i = 0; i < colors.size(); ++i) idx[i] = WORD(i);
        } else {
            std::memcpy(reinterpret_cast<uint8_t*>(bmi) + hd.biSize, colors.data(),
                        colors.size() * sizeof(RGBQUAD));
        }
    }
    hd.biSizeImage = DWORD(DibRowBytes(hd.biWidth, bpp) * std::abs(hd.biHeight));
    if (!bits) return b->height();
    DibFormat f;
    f.bpp = bpp;
    f.width = hd.biWidth;
    f.height = std::abs(hd.biHeight);
    f.topDown = hd.biHeight < 0;
    f.stride = DibRowBytes(f.width, bpp);
    f.colors = colors;
    if (hd.biCompression == BI_BITFIELDS && (bpp == 16 || bpp == 32))
        std::memcpy(f.masks, reinterpret_cast<uint8_t*>(bmi) + hd.biSize, sizeof f.masks);
    else
        hd.biCompression = BI_RGB;
    std::vector<uint32_t> row(size_t(f.width), 0xFF000000u);
    int done = 0;
    for (UINT k = 0; k < lines; ++k) {
        int scan = int(start + k);
        if (scan >= f.height) break;
        int y = f.topDown ? scan : f.height - 1 - scan;
        std::fill(row.begin(), row.end(), 0xFF000000u);
        if (y >= 0 && y < b->height())
            std::copy_n(reinterpret_cast<const uint32_t*>(b->image->scanLine(y)),
                        std::min(f.width, b->width()), row.begin());
        uint8_t* out = static_cast<uint8_t*>(bits) + size_t(k) * size_t(f.stride);
        std::memset(out, 0, size_t(f.stride));
        PackRow(row.data(), f, out, f.width);
        ++done;
    }
    (void)h;
    return done;
}

namespace {
// A DIB as a temporary memory DC holding it (rows from the top), for the blits.
struct TempDib {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    int height = 0;
    bool ok = false;
    TempDib(HDC like, const void* bits, const BITMAPINFO* bmi, UINT usage, UINT start = 0,
            UINT lines = 0x7FFFFFFF) {
        DibFormat f;
        if (!bits || !FormatOf(bmi, usage, DcOf(like).get(), f)) return;
        auto b = NewBitmap(f.width, f.height, 32);
        std::vector<uint32_t> row(size_t(f.width));
        for (UINT k = 0; k < lines && int(start + k) < f.height; ++k) {
            int scan = int(start + k);
            int y = f.topDown ? scan : f.height - 1 - scan;
            UnpackRow(static_cast<const uint8_t*>(bits) + size_t(k) * size_t(f.stride), f,
                      row.data(), f.width);
            std::copy_n(row.data(), f.width, reinterpret_cast<uint32_t*>(b->image->scanLine(y)));
        }
        height = f.height;
        bmp = AddAs<HBITMAP>(b);
        dc = CreateCompatibleDC(like);
        SelectObject(dc, bmp);
        ok = true;
    }
    ~TempDib() {
        if (dc) DeleteDC(dc);
        if (bmp) DeleteObject(bmp);
    }
};
}  // namespace

int StretchDIBits(HDC h, int x, int y, int w, int hh, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop) {
    TempDib t(h, bits, bmi, usage);
    if (!t.ok) return 0;
    // The source origin of a bottom-up DIB is its bottom-left corner.
    int top = bmi->bmiHeader.biHeight < 0 ? sy : t.height - sy - sh;
    return StretchBlt(h, x, y, w, hh, t.dc, sx, top, sw, sh, rop) ? std::abs(hh) : 0;
}

int SetDIBitsToDevice(HDC h, int x, int y, DWORD w, DWORD hh, int sx, int sy, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage) {
    TempDib t(h, bits, bmi, usage, start, lines);
    if (!t.ok) return 0;
    int top = bmi->bmiHeader.biHeight < 0 ? sy : t.height - sy - int(hh);
    return BitBlt(h, x, y, int(w), int(hh), t.dc, sx, top, SRCCOPY) ? int(lines) : 0;
}

LONG GetBitmapBits(HBITMAP bmp, LONG size, void* out) {
    auto b = FindAs<Bitmap>(bmp);
    if (!b || !out || size <= 0) return 0;
    b->beforeUse();
    DibFormat f;
    f.bpp = b->bpp == 1 ? 1 : 32;
    f.width = b->width();
    f.height = b->height();
    f.topDown = true;
    f.stride = ((f.width * f.bpp + 15) / 16) * 2;
    f.colors = DefaultColors(f.bpp);
    std::vector<uint8_t> row(size_t(f.stride));
    LONG done = 0;
    for (int y = 0; y < f.height && done < size; ++y) {
        std::fill(row.begin(), row.end(), 0);
        PackRow(reinterpret_cast<const uint32_t*>(b->image->scanLine(y)), f, row.data(), f.width);
        LONG n = std::min<LONG>(f.stride, size - done);
        std::memcpy(static_cast<uint8_t*>(out) + done, row.data(), size_t(n));
        done += n;
    }
    return done;
}

LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* in) {
    auto b = FindAs<Bitmap>(bmp);
    if (!b || !in) return 0;
    b->beforeUse();
    DibFormat f;
    f.bpp = b->bpp == 1 ? 1 : 32;
    f.width = b->width();
    f.height = b->height();
    f.topDown = true;
    f.stride = ((f.width * f.bpp + 15) / 16) * 2;
    f.colors = DefaultColors(f.bpp);
    LONG done = 0;
    for (int y = 0; y < f.height && DWORD(done + f.stride) <= size; ++y) {
        UnpackRow(static_cast<const uint8_t*>(in) + done, f,
                  reinterpret_cast<uint32_t*>(b->image->scanLine(y)), f.width);
        done += f.stride;
    }
    b->afterWrite();
    return done;
}

BOOL GetBitmapDimensionEx(HBITMAP bmp, SIZE* out) {
    if (!FindAs<Bitmap>(bmp) || !out) return FALSE_;
    *out = SIZE{0, 0};  // nobody sets a physical size
    return TRUE_;
}

namespace {
PackedRows* SelectedDibTable(HDC h) {
    auto dc = DcOf(h);
    Bitmap* b = dc ? dc->bitmap() : nullptr;
    return b && b->dibSection && b->packed && b->packed->fmt.bpp <= 8 ? b->packed.get() : nullptr;
}
}  // namespace

UINT GetDIBColorTable(HDC h, UINT start, UINT count, RGBQUAD* out) {
    PackedRows* p = SelectedDibTable(h);
    if (!p || !out) return 0;
    UINT n = 0;
    for (; n < count && start + n < p->fmt.colors.size(); ++n) out[n] = p->fmt.colors[start + n];
    return n;
}

UINT SetDIBColorTable(HDC h, UINT start, UINT count, const RGBQUAD* in) {
    PackedRows* p = SelectedDibTable(h);
    if (!p || !in) return 0;
    UINT n = 0;
    for (; n < count && start + n < p->fmt.colors.size(); ++n) p->fmt.colors[start + n] = in[n];
    return n;
}

// ---------------------------------------------------------------- palettes

HPALETTE CreatePalette(const LOGPALETTE* lp) {
    if (!lp || lp->palNumEntries == 0) return nullptr;
    auto p = std::make_shared<Palette>();
    p->entries.assign(lp->palPalEntry, lp->palPalEntry + lp->palNumEntries);
    return AddAs<HPALETTE>(p);
}

HPALETTE SelectPalette(HDC h, HPALETTE pal, BOOL) {
    auto dc = DcOf(h);
    if (!dc || !FindAs<Palette>(pal)) return nullptr;
    return static_cast<HPALETTE>(std::exchange(dc->st.palette, pal));
}

UINT RealizePalette(HDC h) {
    auto dc = DcOf(h);
    if (!dc) return UINT(GDI_ERROR);
    // A true-colour surface shows every entry as it is: nothing to map.
    return UINT(CurrentPalette(*dc)->entries.size());
}

UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* out) {
    auto p = FindAs<Palette>(pal);
    if (!p) return 0;
    if (!out) return UINT(p->entries.size());
    UINT n = 0;
    for (; n < count && start + n < p->entries.size(); ++n) out[n] = p->entries[start + n];
    return n;
}

UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in) {
    auto p = FindAs<Palette>(pal);
    if (!p || !in || p->stock) return 0;
    UINT n = 0;
    for (; n < count && start + n < p->entries.size(); ++n) p->entries[start + n] = in[n];
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF c) {
    auto p = FindAs<Palette>(pal);
    if (!p || p->entries.empty()) return CLR_INVALID;
    UINT best = 0;
    long bestD = -1;
    for (size_t i = 0; i < p->entries.size(); ++i) {
        long dr = long(GetRValue(c)) - p->entries[i].peRed,
             dg = long(GetGValue(c)) - p->entries[i].peGreen,
             db = long(GetBValue(c)) - p->entries[i].peBlue;
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = UINT(i);
        }
    }
    return best;
}
