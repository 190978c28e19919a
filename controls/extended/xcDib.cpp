#include "controls/extended/xcDib.h"

#include <cstring>

#include "platform/win/dibHeader.h"

TColorReduction DefaultColorReduction = rdQuantize;

void PutLE16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void PutLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}
uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t GetLE32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

size_t ComputeDIBSizes(const TDibInfoHeader& h) {
    if (h.biBitCount <= 8) return DibInfoHeaderSize + (size_t(4) << h.biBitCount);
    return DibInfoHeaderSize + ((h.biCompression & 3) ? 12 : 0);
}

void WriteDibInfoHeader(uint8_t* p, const TDibInfoHeader& h) {
    PutLE32(p, h.biSize);
    PutLE32(p + 4, uint32_t(h.biWidth));
    PutLE32(p + 8, uint32_t(h.biHeight));
    PutLE16(p + 12, h.biPlanes);
    PutLE16(p + 14, h.biBitCount);
    PutLE32(p + 16, h.biCompression);
    PutLE32(p + 20, h.biSizeImage);
    PutLE32(p + 24, uint32_t(h.biXPelsPerMeter));
    PutLE32(p + 28, uint32_t(h.biYPelsPerMeter));
    PutLE32(p + 32, h.biClrUsed);
    PutLE32(p + 36, h.biClrImportant);
}

void WriteDibFileHeader(uint8_t* p, uint32_t fileSize, uint32_t dataOffset) {
    PutLE16(p, DibSignature);
    PutLE32(p + 2, fileSize);
    PutLE32(p + 6, 0);
    PutLE32(p + 10, dataOffset);
}

std::string BuildDIBFile(int width, int height, int bitCount, const std::vector<uint32_t>& palette,
                         size_t paletteEntries, const uint8_t* bits, size_t bitsSize) {
    TDibInfoHeader h;
    h.biWidth = width;
    h.biHeight = height;
    h.biBitCount = uint16_t(bitCount);
    h.biSizeImage = uint32_t(RowLength(size_t(width), size_t(bitCount)) * size_t(height));
    const size_t offset = DibFileHeaderSize + DibInfoHeaderSize + 4 * paletteEntries;
    std::string out(offset + bitsSize, '\0');
    auto* p = reinterpret_cast<uint8_t*>(out.data());
    WriteDibFileHeader(p, uint32_t(out.size()), uint32_t(offset));
    WriteDibInfoHeader(p + DibFileHeaderSize, h);
    for (size_t i = 0; i < paletteEntries && i < palette.size(); ++i)
        PutLE32(p + DibFileHeaderSize + DibInfoHeaderSize + 4 * i, palette[i] & 0xFFFFFF);
    if (bitsSize) std::memcpy(p + offset, bits, bitsSize);
    return out;
}

namespace {

[[noreturn]] void BadDib(const std::string& why) { throw EXCLException("位图无效: " + why); }

}  // namespace

TDibImage ReadDIB(const uint8_t* data, size_t size, bool withFileHeader) {
    size_t at = 0, dataOffset = 0;
    if (withFileHeader) {
        if (size < DibFileHeaderSize || GetLE16(data) != DibSignature)
            BadDib("no bitmap file header");
        dataOffset = GetLE32(data + 10);
        at = DibFileHeaderSize;
    }
    DibHeader h;
    DibReadOptions options;
    options.maxWidth = options.maxHeight = 1 << 20;
    if (const char* why = ReadDibHeader(data + at, size - at, h, options)) BadDib(why);
    at += h.end;
    TDibImage img;
    img.Width = h.width;
    img.Height = h.height;
    img.BitCount = h.bitCount;
    img.Palette = h.colors;
    if (!withFileHeader || dataOffset < at || dataOffset > size) dataOffset = at;
    if (!h.RowsFit(size_t(h.height), size - dataOffset)) BadDib("pixel data cut short");
    img.Pixels.resize(size_t(h.width) * size_t(h.height));
    const unsigned bitCount = unsigned(h.bitCount);
    const bool topDown = h.topDown;
    const size_t stride = h.Stride();
    const uint8_t* bits = data + dataOffset;
    for (int y = 0; y < img.Height; ++y) {
        const uint8_t* row = bits + stride * size_t(topDown ? y : img.Height - 1 - y);
        uint32_t* out = img.Pixels.data() + size_t(y) * size_t(img.Width);
        for (int x = 0; x < img.Width; ++x) {
            uint32_t v;
            switch (bitCount) {
                case 1:
                case 4:
                case 8: {
                    unsigned idx = bitCount == 8   ? row[x]
                                   : bitCount == 4 ? (row[x / 2] >> (x % 2 ? 0 : 4)) & 15
                                                   : (row[x / 8] >> (7 - x % 8)) & 1;
                    v = idx < img.Palette.size() ? img.Palette[idx] : 0;
                    break;
                }
                case 24:
                    v = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
                    break;
                default: {
                    uint32_t raw = bitCount == 16 ? GetLE16(row + 2 * x) : GetLE32(row + 4 * x);
                    v = DibChannel(raw, h.masks[0]) << 16 | DibChannel(raw, h.masks[1]) << 8 |
                        DibChannel(raw, h.masks[2]);
                }
            }
            out[x] = v;
        }
    }
    return img;
}
