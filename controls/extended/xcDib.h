// Device-independent bitmap file images in memory (the BMP file layout) and the reduction
// of true-colour pixels to a palette of at most 256 colours. Everything here works on plain
// byte buffers; the bitmap-level entry points are in xcBitmaps.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/extended/xcUtils.h"

enum TColorReduction {
    rdQuantize,
    rdMedianCut,
    rdFixed224,
    rdFixed216,
    rdChannelSplit,
    rdGrayscale
};

// The method ReducePixelFormatByColorCount uses.
extern TColorReduction DefaultColorReduction;

constexpr size_t DibFileHeaderSize = 14;
constexpr size_t DibInfoHeaderSize = 40;
constexpr uint16_t DibSignature = 0x4D42;  // "BM"
constexpr uint32_t DibBiRgb = 0, DibBiBitfields = 3;

// The 40-byte info header, field by field.
struct TDibInfoHeader {
    uint32_t biSize = DibInfoHeaderSize;
    int32_t biWidth = 0;
    int32_t biHeight = 0;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = DibBiRgb;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};

// Bytes of a row of Pixels at Bits per pixel, aligned to Alignment bits.
constexpr size_t RowLength(size_t pixels, size_t bits, size_t alignment = 32) {
    return (pixels * bits + alignment - 1) / alignment * alignment / 8;
}
constexpr size_t AlignedRowBytes(size_t bits) { return (bits + 31) / 32 * 4; }

// Info header plus palette: 40 + 4 x 2^bits up to 8 bits; 40 above, plus 12 for bit fields.
size_t ComputeDIBSizes(const TDibInfoHeader& h);

// Little-endian stores and loads.
void PutLE16(uint8_t* p, uint16_t v);
void PutLE32(uint8_t* p, uint32_t v);
uint16_t GetLE16(const uint8_t* p);
uint32_t GetLE32(const uint8_t* p);

void WriteDibInfoHeader(uint8_t* p, const TDibInfoHeader& h);
void WriteDibFileHeader(uint8_t* p, uint32_t fileSize, uint32_t dataOffset);

// A decoded bitmap file: Width x Height pixels, top row first, 4 bytes per pixel (blue,
// green, red, 0); the colour table of an indexed image is kept as read.
struct TDibImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;
    std::vector<uint32_t> Palette;  // 0x00RRGGBB
    std::vector<uint32_t> Pixels;   // 0x00RRGGBB, Width x Height
};

// Reads a bitmap file image (with or without the 14-byte file header) of 1, 4, 8, 16, 24 or
// 32 bits per pixel, uncompressed or with bit fields. Sizes are checked against the data
// before anything is allocated: a cut or inconsistent image raises EXCLException.
TDibImage ReadDIB(const uint8_t* data, size_t size, bool withFileHeader = true);

// A whole bitmap file image: file header, info header for Width x Height (bottom-up) at
// BitCount, Palette (0x00RRGGBB entries, PaletteEntries slots, missing ones 0), and Bits
// (the bottom-up rows, row length RowLength(Width, BitCount)).
std::string BuildDIBFile(int width, int height, int bitCount, const std::vector<uint32_t>& palette,
                         size_t paletteEntries, const uint8_t* bits, size_t bitsSize);

// Converts the 24-bit bottom-up rows at Bits (Width x Height, rows of RowLength(Width, 24))
// in place into 8-bit palette indices (rows of RowLength(Width, 8), written from the start of
// the same area). Fills Palette (256 entries of blue, green, red, 0) and returns the used
// colour count the header gets (0 when the method leaves it unset). PaletteSize is the number
// of entries the quantizer may choose (2 to 256).
uint32_t ReduceDib24To8(uint8_t* bits, int width, int height, TColorReduction method,
                        int paletteSize, uint8_t palette[256 * 4]);
