// Bitmaps as device-independent bitmap file images at a chosen colour depth, and drawing
// of a bitmap with one colour left out.
#pragma once

#include <memory>
#include <string>

#include "controls/extended/xcDib.h"
#include "platform/gdi/gdi.h"
#include "platform/vcl/graphicErrors.h"
#include "platform/vcl/graphics.h"

// Palette size of a pixel format: 2, 16, 256, or 0 for the formats without a palette.
int PaletteSizeOf(TPixelFormat f);
// The info header of a GDI bitmap at the target format: a DIB section's own header, else
// one of its size; the bit count of the target (or of the bitmap for other formats) and the
// image size for it.
void FillBitmapInfoHeader(HBITMAP bmp, BITMAPINFOHEADER& h, TPixelFormat target);
// Reads all rows of the bitmap at the header's format into Bits (the colour table after
// the header), the palette (when given) realized; true when GetDIBits read them.
bool ReadDIBits(HBITMAP bmp, HPALETTE pal, BITMAPINFO& info, TPixelFormat target, void* bits);

// The bitmap as a bitmap file image at the target depth; 8-bit targets are reduced by the
// method. Raises EInvalidGraphic for an empty bitmap, EXCLException for a target other than
// 1, 4, 8 or 24 bits.
std::unique_ptr<TMemoryStream> BitmapToDIBStream(TBitmap& bmp, TPixelFormat target,
                                                 TColorReduction method);
// Up to 2 colours: 1 bit; up to 16: 4 bits; up to 256: 8 bits by DefaultColorReduction;
// more: 24 bits.
std::unique_ptr<TMemoryStream> ReducePixelFormatByColorCount(TBitmap& bmp, int colors);
// The bitmap file image of a GDI bitmap at the target format, read by GetDIBits (which maps
// colours to the standard table of 1 and 4 bits), in a zero-filled block. A handle of 0
// raises EInvalidGraphic.
TZeroedBlock BitmapToPackedDIB(HBITMAP bmp, HPALETTE pal, TPixelFormat target);

// Loads a bitmap file image into the bitmap (see ReadDIB for what is accepted).
void LoadBitmapFromDIB(TBitmap& bmp, const std::string& bytes);

// Palette-relative form of a colour.
COLORREF PaletteRelativeColor(TColor c);

// Stretches the source area onto the destination leaving out the pixels of the transparent
// colour, through a mask made on memory DCs.
void TransparentStretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw,
                           int sh, COLORREF transparent, HPALETTE pal);

// Stretches the source part of the bitmap (all of it when the source width or height is
// below 1) into the destination rectangle (the bitmap's size when below 1), leaving out the
// pixels of the transparent colour: clNone draws everything, clDefault takes the bottom-left
// pixel's colour.
void DrawBitmapTransparent(TCanvas* dest, int x, int y, int w, int h, TBitmap* bmp, int sx, int sy,
                           int sw, int sh, TColor transparent);
void DrawBitmapRectTransparent(TCanvas* dest, int x, int y, int w, int h, const TRect& source,
                               TBitmap* bmp, TColor transparent);

// Makes Dest a pixel copy of Source, in Source's pixel format and colour table.
void CopyBitmap(TBitmap& dest, TBitmap& source);
