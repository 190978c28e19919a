// The header of a device-independent bitmap as files, resources, icon images and programs
// store it: a 12-byte core header or a 40-byte info header (or one of its longer versions),
// then the channel masks of a bit-field image and the colour table. One reader serves the
// bitmap loaders, the DIB calls of the GDI, the icon decoders and the controls' bitmap files,
// so a header reads alike on every path and every size is checked before anything is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t kDibCoreHeaderSize = 12, kDibInfoHeaderSize = 40;
constexpr uint32_t kDibRgb = 0, kDibBitfields = 3;

struct DibHeader {
    uint32_t size = 0;          // of the header itself: 12, 40 or a longer version's
    int width = 0, height = 0;  // height positive, whatever its stored sign
    bool topDown = false;       // a negative stored height: the first row is the top one
    int bitCount = 0;           // 1, 4, 8, 16, 24 or 32
    uint32_t compression = kDibRgb;
    // Red, green and blue masks of 16 and 32-bit pixels: the stored ones of a bit-field image,
    // else the default layout (5-5-5 or 8-8-8); zero below 16 bits.
    uint32_t masks[3] = {0, 0, 0};
    // The colour table as stored: 0x00RRGGBB entries, or with DibReadOptions::paletteIndices
    // the 16-bit indices into the selected palette.
    std::vector<uint32_t> colors;
    // Bytes from the header's start to the end of the masks and the colour table: where the
    // pixels of a packed DIB (a resource, an icon image, the clipboard's) begin.
    size_t end = 0;

    bool IsCore() const { return size == kDibCoreHeaderSize; }
    // Bytes of one stored row (rows are padded to four bytes).
    size_t Stride() const { return (size_t(width) * size_t(bitCount) + 31) / 32 * 4; }
    // Whether `rows` stored rows fit into `available` bytes.
    bool RowsFit(size_t rows, size_t available) const {
        return Stride() == 0 || rows <= available / Stride();
    }
};

struct DibReadOptions {
    int maxWidth = 32768, maxHeight = 32768;  // larger images are refused as absurd
    bool core = true;                         // 12-byte core headers accepted
    bool topDown = true;                      // negative stored heights accepted
    bool paletteIndices = false;              // 16-bit table entries (DIB_PAL_COLORS)
};

// The header of an icon or cursor image: its height counts the colour rows and the mask rows,
// which go from the bottom; no core header.
constexpr DibReadOptions kIconImageHeader{
    .maxWidth = 4096, .maxHeight = 8192, .core = false, .topDown = false};

// Reads the header at `data`, of which `size` bytes may be read. Null when it is well formed
// and its masks and colour table lie inside `size`; else what is wrong, in a few words
// ("cut short", "absurd size", ...). The colour table is read only after its size is checked
// (at most 256 entries).
const char* ReadDibHeader(const uint8_t* data, size_t size, DibHeader& out,
                          const DibReadOptions& options = {});

// A channel of a pixel taken by its mask and widened to 8 bits. Narrow channels repeat their
// bits downwards (5 bits abcde give abcdeabc), so the full value is 255.
uint32_t DibChannel(uint32_t pixel, uint32_t mask);
