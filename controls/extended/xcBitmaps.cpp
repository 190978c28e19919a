#include "controls/extended/xcBitmaps.h"

#include <algorithm>
#include <cstring>

int PaletteSizeOf(TPixelFormat f) {
    switch (f) {
    case pf1bit: return 2;
    case pf4bit: return 16;
    case pf8bit: return 256;
    default: return 0;
    }
}

TPixelFormat BitmapPixelFormat(const TBitmap&) { return pf32bit; }

namespace {

// The 16 standard colours of a 4-bit device palette, 0x00RRGGBB.
const uint32_t standard16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0x808080,
                                 0xC0C0C0, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

unsigned Nearest(const uint32_t* pal, unsigned n, uint8_t r, uint8_t g, uint8_t b) {
    unsigned best = 0;
    long bestD = -1;
    for (unsigned i = 0; i < n; ++i) {
        long dr = long((pal[i] >> 16) & 0xFF) - r, dg = long((pal[i] >> 8) & 0xFF) - g, db = long(pal[i] & 0xFF) - b;
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) bestD = d, best = i;
    }
    return best;
}

void CheckBitmap(TBitmap& bmp) {
    if (bmp.Width() < 1 || bmp.Height() < 1) throw EInvalidGraphic("位图无效");
}

}  // namespace

std::string BitmapToPackedDIB(TBitmap& bmp, TPixelFormat target) {
    CheckBitmap(bmp);
    const int bits = target == pf1bit ? 1 : target == pf4bit ? 4 : target == pf32bit ? 32 : 24;
    const int w = bmp.Width(), h = bmp.Height();
    const size_t stride = RowLength(size_t(w), size_t(bits));
    std::vector<uint8_t> px(stride * size_t(h));
    std::vector<uint32_t> pal;
    if (bits == 1) pal = {0x000000, 0xFFFFFF};
    if (bits == 4) pal.assign(standard16, standard16 + 16);
    for (int y = 0; y < h; ++y) {
        const uint8_t* s = bmp.ScanLine(y);
        uint8_t* d = px.data() + stride * size_t(h - 1 - y);
        for (int x = 0; x < w; ++x, s += 4) {
            switch (bits) {
            case 1: d[x / 8] |= uint8_t(Nearest(pal.data(), 2, s[2], s[1], s[0]) << (7 - x % 8)); break;
            case 4: d[x / 2] |= uint8_t(Nearest(pal.data(), 16, s[2], s[1], s[0]) << (x % 2 ? 0 : 4)); break;
            case 24: std::memcpy(d + 3 * x, s, 3); break;
            default: std::memcpy(d + 4 * x, s, 3); d[4 * x + 3] = 0;
            }
        }
    }
    return BuildDIBFile(w, h, bits, pal, pal.size(), px.data(), px.size());
}

std::unique_ptr<TMemoryStream> BitmapToDIBStream(TBitmap& bmp, TPixelFormat target, TColorReduction method) {
    CheckBitmap(bmp);
    auto out = std::make_unique<TMemoryStream>();
    auto put = [&out](const std::string& s) {
        out->WriteBuffer(s.data(), int64_t(s.size()));
        out->SetPosition(0);
        return std::move(out);
    };
    if (target == BitmapPixelFormat(bmp) && method != rdGrayscale) return put(BitmapToPackedDIB(bmp, target));
    if (target != pf1bit && target != pf4bit && target != pf8bit && target != pf24bit)
        throw EXCLException("位图到内存流：尚未执行象素格式");
    if (target != pf8bit) return put(BitmapToPackedDIB(bmp, target));
    std::string dib = BitmapToPackedDIB(bmp, pf24bit);
    auto* p = reinterpret_cast<uint8_t*>(dib.data());
    if (GetLE16(p + DibFileHeaderSize + 14) != 24) throw EXCLException("位图到内存流：尚未执行位统计");
    const int w = bmp.Width(), h = bmp.Height();
    uint8_t* bits = p + GetLE32(p + 10);
    uint8_t palette[256 * 4];
    const uint32_t used = ReduceDib24To8(bits, w, h, method, PaletteSizeOf(target), palette);
    TDibInfoHeader hd;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biBitCount = 8;
    hd.biSizeImage = uint32_t(RowLength(size_t(w), 8) * size_t(h));
    hd.biClrUsed = used;
    const size_t headerBlock = ComputeDIBSizes(hd);
    std::string file(DibFileHeaderSize + headerBlock + hd.biSizeImage, '\0');
    auto* f = reinterpret_cast<uint8_t*>(file.data());
    WriteDibFileHeader(f, uint32_t(file.size()), uint32_t(DibFileHeaderSize + headerBlock));
    WriteDibInfoHeader(f + DibFileHeaderSize, hd);
    std::memcpy(f + DibFileHeaderSize + DibInfoHeaderSize, palette, sizeof palette);
    std::memcpy(f + DibFileHeaderSize + headerBlock, bits, hd.biSizeImage);
    return put(file);
}

std::unique_ptr<TMemoryStream> ReducePixelFormatByColorCount(TBitmap& bmp, int colors) {
    const TPixelFormat f = colors <= 2 ? pf1bit : colors <= 16 ? pf4bit : colors <= 256 ? pf8bit : pf24bit;
    return BitmapToDIBStream(bmp, f, DefaultColorReduction);
}

void LoadBitmapFromDIB(TBitmap& bmp, const std::string& bytes) {
    const TDibImage img = ReadDIB(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    bmp.SetSize(img.Width, img.Height);
    for (int y = 0; y < img.Height; ++y) {
        uint8_t* d = bmp.ScanLine(y);
        const uint32_t* s = img.Pixels.data() + size_t(y) * size_t(img.Width);
        for (int x = 0; x < img.Width; ++x) {
            d[4 * x] = uint8_t(s[x]);
            d[4 * x + 1] = uint8_t(s[x] >> 8);
            d[4 * x + 2] = uint8_t(s[x] >> 16);
            d[4 * x + 3] = 0xFF;
        }
    }
}

COLORREF PaletteRelativeColor(TColor c) { return (ColorToRGB(c) & 0xFFFFFF) | 0x02000000; }

void DrawBitmapTransparent(TCanvas* dest, int x, int y, int w, int h, TBitmap* bmp, int sx, int sy, int sw, int sh,
                           TColor transparent) {
    if (!dest || !bmp || bmp->Empty()) return;
    if (w < 1) w = bmp->Width();
    if (h < 1) h = bmp->Height();
    if (sw < 1 || sh < 1) sx = sy = 0, sw = bmp->Width(), sh = bmp->Height();
    const qtbridge::Image& whole = bmp->Image();
    qtbridge::Image part(sw, sh);
    for (int row = 0; row < sh; ++row) {
        const int from = sy + row;
        if (from < 0 || from >= bmp->Height()) continue;
        for (int col = 0; col < sw; ++col)
            if (sx + col >= 0 && sx + col < bmp->Width()) part.setPixel(col, row, whole.pixel(sx + col, from));
    }
    if (transparent == clNone) {
        dest->DrawImage(Rect(x, y, x + w, y + h), part);
        return;
    }
    const COLORREF key = transparent == clDefault ? whole.pixel(0, bmp->Height() - 1) : ColorToRGB(transparent);
    dest->DrawImage(Rect(x, y, x + w, y + h), part.withColorKey(key & 0xFFFFFF));
}

void DrawBitmapRectTransparent(TCanvas* dest, int x, int y, int w, int h, const TRect& source, TBitmap* bmp,
                               TColor transparent) {
    DrawBitmapTransparent(dest, x, y, w, h, bmp, source.Left, source.Top, source.Width(), source.Height(), transparent);
}

void CopyBitmap(TBitmap& dest, TBitmap& source) {
    if (&dest == &source) return;
    dest.SetSize(source.Width(), source.Height());
    for (int y = 0; y < source.Height(); ++y) std::memcpy(dest.ScanLine(y), source.ScanLine(y), size_t(source.Width()) * 4);
    dest.TransparentColor = source.TransparentColor;
}
