// Inside the GDI only: packed DIB rows <-> 32-bit images.
#pragma once

#include <cstring>
#include <vector>

#include "platform/gdi/gdiObjects.h"

namespace gdi {

// The format a BITMAPINFO describes (DIB_PAL_COLORS tables resolved against `dc`'s palette);
// false for what the layer does not read (compressed rows, bad depths, absurd sizes).
bool FormatOf(const BITMAPINFO* bmi, UINT usage, const Dc* dc, DibFormat& out);
// The colour table Windows gives a bitmap of this depth when nobody says otherwise.
std::vector<RGBQUAD> DefaultColors(int bpp);
// Row `row` (0 = the top) of the DIB.
inline const uint8_t* DibRow(const uint8_t* bits, const DibFormat& f, int row) {
    return bits + size_t(f.topDown ? row : f.height - 1 - row) * size_t(f.stride);
}
inline uint8_t* DibRow(uint8_t* bits, const DibFormat& f, int row) {
    return bits + size_t(f.topDown ? row : f.height - 1 - row) * size_t(f.stride);
}
// Converts one row between the DIB's layout and 32-bit pixels (0xFFRRGGBB).
void UnpackRow(const uint8_t* src, const DibFormat& f, uint32_t* dst, int count);
void PackRow(const uint32_t* src, const DibFormat& f, uint8_t* dst, int count);

}  // namespace gdi
