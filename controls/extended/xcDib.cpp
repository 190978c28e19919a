#include "controls/extended/xcDib.h"

#include <cstring>

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

// Shift and width of a contiguous bit-field mask.
struct TField {
    unsigned shift = 0, bits = 0;
    explicit TField(uint32_t mask) {
        if (!mask) return;
        while (!(mask & 1)) {
            mask >>= 1;
            ++shift;
        }
        while (mask & 1) {
            mask >>= 1;
            ++bits;
        }
    }
    uint32_t Take(uint32_t v) const {
        if (!bits) return 0;
        uint32_t x = (v >> shift) & ((bits >= 32 ? 0 : (1u << bits)) - 1);
        if (bits >= 8) return x >> (bits - 8);
        // Narrow channels repeat their bits downwards (5 bits abcde give abcdeabc), as the GDI
        // widens them, so the full value is 255 and a file reads alike on every path.
        uint32_t out = 0;
        for (unsigned filled = 0; filled < 8; filled += bits) out = out << bits | x;
        return (out >> (((8 + bits - 1) / bits) * bits - 8)) & 0xFF;
    }
};

}  // namespace

TDibImage ReadDIB(const uint8_t* data, size_t size, bool withFileHeader) {
    size_t at = 0, dataOffset = 0;
    if (withFileHeader) {
        if (size < DibFileHeaderSize || GetLE16(data) != DibSignature)
            BadDib("no bitmap file header");
        dataOffset = GetLE32(data + 10);
        at = DibFileHeaderSize;
    }
    if (size - at < 4) BadDib("cut short");
    const uint32_t headerSize = GetLE32(data + at);
    if (headerSize != 12 && (headerSize < DibInfoHeaderSize || headerSize > size - at))
        BadDib("bad info header size");
    if (headerSize > size - at) BadDib("cut short");
    const uint8_t* h = data + at;
    int64_t width, height;
    unsigned bitCount;
    uint32_t compression = DibBiRgb, clrUsed = 0;
    if (headerSize == 12) {
        width = GetLE16(h + 4);
        height = int16_t(GetLE16(h + 6));
        bitCount = GetLE16(h + 10);
    } else {
        width = int32_t(GetLE32(h + 4));
        height = int32_t(GetLE32(h + 8));
        bitCount = GetLE16(h + 14);
        compression = GetLE32(h + 16);
        clrUsed = GetLE32(h + 32);
    }
    at += headerSize;
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0 || width > (1 << 20) || height > (1 << 20)) BadDib("absurd size");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        BadDib("unsupported bit count");
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (compression == DibBiBitfields && (bitCount == 16 || bitCount == 32)) {
        // The masks follow a 40-byte header, or stand inside a longer one.
        const uint8_t* m = headerSize >= 52 ? h + 40 : data + at;
        if (headerSize < 52) {
            if (size - at < 12) BadDib("cut short");
            at += 12;
        }
        for (int i = 0; i < 3; ++i) masks[i] = GetLE32(m + 4 * i);
    } else if (compression != DibBiRgb) {
        BadDib("compressed bitmaps are not supported");
    }
    TDibImage img;
    img.Width = int(width);
    img.Height = int(height);
    img.BitCount = int(bitCount);
    const size_t entry = headerSize == 12 ? 3 : 4;
    size_t entries = clrUsed ? clrUsed : (bitCount <= 8 ? size_t(1) << bitCount : 0);
    if (entries > 256) BadDib("absurd colour count");
    if (entries * entry > size - at) BadDib("cut short");
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* e = data + at + i * entry;
        img.Palette.push_back(uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0]);
    }
    at += entries * entry;
    if (!withFileHeader || dataOffset < at || dataOffset > size) dataOffset = at;
    const size_t stride = RowLength(size_t(width), bitCount);
    if (stride * size_t(height) > size - dataOffset) BadDib("pixel data cut short");
    img.Pixels.resize(size_t(width) * size_t(height));
    const TField fr(masks[0]), fg(masks[1]), fb(masks[2]);
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
                    v = fr.Take(raw) << 16 | fg.Take(raw) << 8 | fb.Take(raw);
                }
            }
            out[x] = v;
        }
    }
    return img;
}
