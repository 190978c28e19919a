#include "platform/win/dibHeader.h"

#include <bit>

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool KnownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

const char* ReadDibHeader(const uint8_t* data, size_t size, DibHeader& out,
                          const DibReadOptions& options) {
    out = DibHeader{};
    if (!data || size < 4) return "cut short";
    const uint32_t headerSize = Le32(data);
    const bool core = headerSize == kDibCoreHeaderSize;
    if ((core && !options.core) || (!core && headerSize < kDibInfoHeaderSize))
        return "bad info header size";
    if (headerSize > size) return "cut short";
    int64_t width = 0, height = 0;
    uint32_t colorsUsed = 0;
    out.size = headerSize;
    if (core) {
        // The core header's sizes are unsigned 16-bit numbers: no top-down rows.
        width = Le16(data + 4);
        height = Le16(data + 6);
        out.bitCount = Le16(data + 10);
    } else {
        width = int32_t(Le32(data + 4));
        height = int32_t(Le32(data + 8));
        out.bitCount = Le16(data + 14);
        out.compression = Le32(data + 16);
        colorsUsed = Le32(data + 32);
    }
    out.topDown = height < 0;
    if (out.topDown) {
        if (!options.topDown) return "absurd size";
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > options.maxWidth || height > options.maxHeight)
        return "absurd size";
    out.width = int(width);
    out.height = int(height);
    if (!KnownDepth(out.bitCount)) return "unsupported bit count";
    const bool deep = out.bitCount == 16 || out.bitCount == 32;
    if (out.compression == kDibBitfields) {
        if (!deep) return "bit fields need 16 or 32 bits";
    } else if (out.compression != kDibRgb) {
        return "compressed bitmaps are not supported";
    }
    size_t at = headerSize;
    if (deep) {
        const bool wide = out.bitCount == 32;
        out.masks[0] = wide ? 0xFF0000u : 0x7C00u;
        out.masks[1] = wide ? 0x00FF00u : 0x03E0u;
        out.masks[2] = wide ? 0x0000FFu : 0x001Fu;
    }
    if (out.compression == kDibBitfields) {
        // The masks stand inside a header of 52 bytes or more, else they follow it.
        const uint8_t* m = data + (headerSize >= 52 ? 40 : at);
        if (headerSize < 52) {
            if (size - at < 12) return "cut short";
            at += 12;
        }
        for (int i = 0; i < 3; ++i) out.masks[i] = Le32(m + 4 * i);
    }
    const size_t entries =
        colorsUsed ? colorsUsed : (out.bitCount <= 8 ? size_t(1) << out.bitCount : 0);
    if (entries > 256) return "absurd colour count";
    const size_t entryBytes = options.paletteIndices ? 2 : core ? 3 : 4;
    if (entries * entryBytes > size - at) return "cut short";
    out.colors.resize(entries);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* e = data + at + i * entryBytes;
        out.colors[i] = options.paletteIndices
                            ? Le16(e)
                            : uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | uint32_t(e[0]);
    }
    out.end = at + entries * entryBytes;
    return nullptr;
}

uint32_t DibChannel(uint32_t pixel, uint32_t mask) {
    if (!mask) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const uint32_t c = (pixel & mask) >> shift;
    if (bits >= 8) return (c >> (bits - 8)) & 0xFF;
    uint32_t out = 0;
    for (int filled = 0; filled < 8; filled += bits) out = out << bits | c;
    const int total = (8 + bits - 1) / bits * bits;
    return (out >> (total - 8)) & 0xFF;
}
