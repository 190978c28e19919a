#include "controls/extended/xcBitmaps.h"

#include <algorithm>
#include <cstring>

int PaletteSizeOf(TPixelFormat f) {
    switch (f) {
        case pf1bit:
            return 2;
        case pf4bit:
            return 16;
        case pf8bit:
            return 256;
        default:
            return 0;
    }
}

namespace {

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic("位图无效"); }

void CheckBitmap(TBitmap& bmp) {
    if (bmp.Width() < 1 || bmp.Height() < 1) InvalidBitmap();
}

}  // namespace

void FillBitmapInfoHeader(HBITMAP bmp, BITMAPINFOHEADER& h, TPixelFormat target) {
    DIBSECTION ds{};
    const int got = GetObjectA(bmp, sizeof ds, &ds);
    if (got >= int(sizeof ds) && ds.dsBmih.biSize >= 40) {
        h = ds.dsBmih;
    } else {
        h = BITMAPINFOHEADER();
        h.biWidth = ds.dsBm.bmWidth;
        h.biHeight = ds.dsBm.bmHeight;
    }
    const int bits = target == pf1bit || target == pf4bit || target == pf8bit || target == pf24bit
                         ? PixelFormatBits(target)
                         : ds.dsBm.bmBitsPixel * std::max<int>(1, ds.dsBm.bmPlanes);
    h.biBitCount = WORD(bits);
    h.biPlanes = 1;
    h.biSizeImage =
        DWORD(RowLength(size_t(std::abs(h.biWidth)), size_t(bits)) * size_t(std::abs(h.biHeight)));
}

bool ReadDIBits(HBITMAP bmp, HPALETTE pal, BITMAPINFO& info, TPixelFormat target, void* bits) {
    FillBitmapInfoHeader(bmp, info.bmiHeader, target);
    info.bmiHeader.biHeight = std::abs(info.bmiHeader.biHeight);
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE old = pal ? SelectPalette(dc, pal, false) : nullptr;
    if (pal) RealizePalette(dc);
    const int rows =
        GetDIBits(dc, bmp, 0, UINT(info.bmiHeader.biHeight), bits, &info, DIB_RGB_COLORS);
    if (old) SelectPalette(dc, old, false);
    DeleteDC(dc);
    return rows != 0;
}

TZeroedBlock BitmapToPackedDIB(HBITMAP bmp, HPALETTE pal, TPixelFormat target) {
    if (!bmp) InvalidBitmap();
    BITMAPINFOHEADER h;
    FillBitmapInfoHeader(bmp, h, target);
    const size_t headerBlock = ComputeDIBSizes(
        TDibInfoHeader{.biBitCount = h.biBitCount, .biCompression = h.biCompression});
    TZeroedBlock block(DibFileHeaderSize + headerBlock + h.biSizeImage);
    WriteDibFileHeader(block.Data(), uint32_t(block.Size()),
                       uint32_t(DibFileHeaderSize + headerBlock));
    // The header and colour table are read into an aligned buffer (the file header's 14
    // bytes leave the block's copy unaligned), then copied into place.
    std::vector<uint32_t> info((headerBlock + 3) / 4);
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    if (!ReadDIBits(bmp, pal, *bmi, target, block.At(DibFileHeaderSize + headerBlock)))
        InvalidBitmap();
    CopyMemoryBytes(block.At(DibFileHeaderSize), info.data(), headerBlock);
    return block;
}

std::unique_ptr<TMemoryStream> BitmapToDIBStream(TBitmap& bmp, TPixelFormat target,
                                                 TColorReduction method) {
    CheckBitmap(bmp);
    auto out = std::make_unique<TMemoryStream>();
    auto put = [&out](const TZeroedBlock& b) {
        out->WriteBuffer(b.Data(), int64_t(b.Size()));
        out->SetPosition(0);
        return std::move(out);
    };
    if (target == bmp.PixelFormat() && method != rdGrayscale)
        return put(BitmapToPackedDIB(bmp.Handle(), bmp.Palette(), target));
    if (target != pf1bit && target != pf4bit && target != pf8bit && target != pf24bit)
        throw EXCLException("位图到内存流：尚未执行象素格式");
    if (target != pf8bit) return put(BitmapToPackedDIB(bmp.Handle(), bmp.Palette(), target));
    const TZeroedBlock dib = BitmapToPackedDIB(bmp.Handle(), bmp.Palette(), pf24bit);
    if (GetLE16(dib.At(DibFileHeaderSize + 14)) != 24)
        throw EXCLException("位图到内存流：尚未执行位统计");
    const int w = bmp.Width(), h = bmp.Height();
    // The pixels become 8-bit indices in place.
    uint8_t* bits = dib.At(GetLE32(dib.At(10)));
    uint8_t palette[256 * 4];
    const uint32_t used = ReduceDib24To8(bits, w, h, method, PaletteSizeOf(target), palette);
    TDibInfoHeader hd;
    hd.biWidth = w;
    hd.biHeight = h;
    hd.biBitCount = 8;
    hd.biSizeImage = uint32_t(RowLength(size_t(w), 8) * size_t(h));
    hd.biClrUsed = used;
    const size_t headerBlock = ComputeDIBSizes(hd);
    // A second block holds the new file header, the info header and the palette.
    TZeroedBlock head(DibFileHeaderSize + headerBlock);
    WriteDibFileHeader(head.Data(), uint32_t(head.Size() + hd.biSizeImage),
                       uint32_t(DibFileHeaderSize + headerBlock));
    WriteDibInfoHeader(head.At(DibFileHeaderSize), hd);
    CopyMemoryBytes(head.At(DibFileHeaderSize + DibInfoHeaderSize), palette, sizeof palette);
    out->WriteBuffer(head.Data(), int64_t(head.Size()));
    out->WriteBuffer(bits, int64_t(hd.biSizeImage));
    out->SetPosition(0);
    return out;
}

std::unique_ptr<TMemoryStream> ReducePixelFormatByColorCount(TBitmap& bmp, int colors) {
    const TPixelFormat f = colors <= 2     ? pf1bit
                           : colors <= 16  ? pf4bit
                           : colors <= 256 ? pf8bit
                                           : pf24bit;
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

void TransparentStretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                           int sh, COLORREF transparent, HPALETTE pal) {
    HDC maskDc = CreateCompatibleDC(dst), invDc = CreateCompatibleDC(dst);
    HDC colourDc = CreateCompatibleDC(dst), destDc = CreateCompatibleDC(dst);
    HBITMAP mask = CreateBitmap(sw, sh, 1, 1, nullptr), inv = CreateBitmap(sw, sh, 1, 1, nullptr);
    HBITMAP colour = CreateCompatibleBitmap(dst, sw, sh), dest = CreateCompatibleBitmap(dst, w, h);
    HGDIOBJ oldMask = SelectObject(maskDc, mask), oldInv = SelectObject(invDc, inv);
    HGDIOBJ oldColour = SelectObject(colourDc, colour), oldDest = SelectObject(destDc, dest);
    HPALETTE oldPal[4] = {};
    if (pal) {
        HDC dcs[4] = {dst, colourDc, maskDc, destDc};
        for (int i = 0; i < 4; ++i) {
            oldPal[i] = SelectPalette(dcs[i], pal, i == 0);
            RealizePalette(dcs[i]);
        }
    }
    BitBlt(colourDc, 0, 0, sw, sh, src, sx, sy, SRCCOPY);
    // The mask: 1 where the colour is the transparent one.
    const COLORREF oldBk = SetBkColor(
        colourDc,
        pal ? PALETTERGB(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent))
            : transparent);
    BitBlt(maskDc, 0, 0, sw, sh, colourDc, 0, 0, SRCCOPY);
    SetBkColor(colourDc, oldBk);
    BitBlt(invDc, 0, 0, sw, sh, maskDc, 0, 0, NOTSRCCOPY);
    BitBlt(destDc, 0, 0, w, h, dst, x, y, SRCCOPY);
    StretchBlt(destDc, 0, 0, w, h, maskDc, 0, 0, sw, sh, SRCAND);
    BitBlt(colourDc, 0, 0, sw, sh, invDc, 0, 0, SRCAND);
    StretchBlt(destDc, 0, 0, w, h, colourDc, 0, 0, sw, sh, SRCPAINT);
    BitBlt(dst, x, y, w, h, destDc, 0, 0, SRCCOPY);
    if (pal) {
        HDC dcs[4] = {dst, colourDc, maskDc, destDc};
        for (int i = 0; i < 4; ++i) SelectPalette(dcs[i], oldPal[i], false);
    }
    SelectObject(maskDc, oldMask);
    SelectObject(invDc, oldInv);
    SelectObject(colourDc, oldColour);
    SelectObject(destDc, oldDest);
    for (HGDIOBJ o : {HGDIOBJ(mask), HGDIOBJ(inv), HGDIOBJ(colour), HGDIOBJ(dest)}) DeleteObject(o);
    for (HDC d : {maskDc, invDc, colourDc, destDc}) DeleteDC(d);
}

void DrawBitmapTransparent(TCanvas* dest, int x, int y, int w, int h, TBitmap* bmp, int sx, int sy,
                           int sw, int sh, TColor transparent) {
    if (!dest || !bmp || bmp->Empty()) return;
    if (w < 1) w = bmp->Width();
    if (h < 1) h = bmp->Height();
    if (sw < 1 || sh < 1) sx = sy = 0, sw = bmp->Width(), sh = bmp->Height();
    HDC dst = dest->Handle();
    if (!bmp->Monochrome()) SetStretchBltMode(dst, STRETCH_DELETESCANS);
    HDC src = bmp->Canvas()->Handle();
    if (transparent == clNone) {
        StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, dest->CopyMode);
        return;
    }
    if (transparent == clDefault) transparent = TColor(GetPixel(src, 0, bmp->Height() - 1));
    const COLORREF key = bmp->Monochrome() ? 0xFFFFFF : ColorToRGB(transparent) & 0xFFFFFF;
    TransparentStretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, key, bmp->Palette());
}

void DrawBitmapRectTransparent(TCanvas* dest, int x, int y, int w, int h, const TRect& source,
                               TBitmap* bmp, TColor transparent) {
    DrawBitmapTransparent(dest, x, y, w, h, bmp, source.Left, source.Top, source.Width(),
                          source.Height(), transparent);
}

void CopyBitmap(TBitmap& dest, TBitmap& source) {
    if (&dest == &source) return;
    // The copy takes the source's layout and colour table, so that its rows hold the same
    // bytes: a row is as long as the format makes it, not four bytes a pixel.
    const TPixelFormat format = source.PixelFormat();
    dest.SetSize(source.Width(), source.Height());
    dest.SetPixelFormat(format);
    if (PaletteSizeOf(format)) dest.SetPalette(source.Palette());
    const size_t rowBytes = (size_t(source.Width()) * size_t(PixelFormatBits(format)) + 7) / 8;
    for (int y = 0; y < source.Height(); ++y)
        std::memcpy(dest.ScanLine(y), source.ScanLine(y), rowBytes);
    dest.TransparentColor = source.TransparentColor;
}
