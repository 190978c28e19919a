#pragma once

// Where the rows of a TIFF page go as they are read, one after another from the top, and
// how they are turned there by the page's Orientation: into a page held in memory, or into
// a BMP file that never holds more than a band of rows, however large the page.

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

struct TiffPage {
    uint32_t width = 0;
    uint32_t height = 0;
    // A bilevel page keeps one bit a pixel: rows from the top, RowBytes() each, the first
    // pixel in the high bit, a set bit white.
    bool bilevel = false;
    std::vector<uint8_t> bits;
    // Any other page: pixels R | G << 8 | B << 16 | 0xFF << 24 (opaque, transparency
    // already laid on white), rows from the bottom as libtiff's raster has them.
    std::vector<uint32_t> rgba;
    size_t RowBytes() const { return (size_t(width) + 7) / 8; }
};

// How a page as stored is turned to be seen, by its Orientation tag (1 to 8): stored rows
// become columns when transposed, then the page is mirrored across and/or down.
struct TiffTurn {
    bool transpose = false, mirrorX = false, mirrorY = false;
    uint32_t width = 0, height = 0;  // the page as seen
    bool None() const { return !transpose && !mirrorX && !mirrorY; }
    // Where the stored pixel of row r, column c is seen, from the top left.
    std::pair<uint32_t, uint32_t> At(uint32_t r, uint32_t c) const {
        uint32_t x = transpose ? r : c, y = transpose ? c : r;
        if (mirrorX) x = width - 1 - x;
        if (mirrorY) y = height - 1 - y;
        return {x, y};
    }
    // A value outside the tag's range is upright.
    static TiffTurn Of(uint16_t orientation, uint32_t width, uint32_t height);
};

// The memory the rows of a page held at once (a band) may take: 32 MiB. Tests set a small
// one, so that small pages cross band boundaries.
uint64_t TiffBandBytes();
void SetTiffBandBytes(uint64_t bytes);

class TiffPageSink {
public:
    virtual ~TiffPageSink() = default;
    // The page as stored and its Orientation; false when this output cannot hold a page of
    // that size at all.
    virtual bool Begin(uint32_t width, uint32_t height, bool bilevel, uint16_t orientation) = 0;
    // Stored row y; rows come in order from the top. A bilevel row as TiffPage keeps one.
    virtual void Row(uint32_t y, const uint8_t* bits) = 0;
    // Any other row: pixels as TiffPage keeps them.
    virtual void Row(uint32_t y, const uint32_t* pixels) = 0;
    // After the last row.
    virtual void End() = 0;
};

class TiffPageInMemory final : public TiffPageSink {
public:
    bool Begin(uint32_t width, uint32_t height, bool bilevel, uint16_t orientation) override;
    void Row(uint32_t y, const uint8_t* bits) override;
    void Row(uint32_t y, const uint32_t* pixels) override;
    void End() override {}
    TiffPage Take() { return std::move(page_); }

private:
    TiffPage page_;
    TiffTurn turn_;
    uint32_t storedWidth_ = 0;
};

// One bit a pixel for a bilevel page, 24 bits otherwise. Upright or mirrored rows are
// written as they come; the rows of a transposed page are held a band at a time and
// written as a run of columns in every row of the file.
class TiffPageBmpFile final : public TiffPageSink {
public:
    explicit TiffPageBmpFile(std::string file) : file_(std::move(file)) {}
    ~TiffPageBmpFile() override;
    TiffPageBmpFile(const TiffPageBmpFile&) = delete;
    TiffPageBmpFile& operator=(const TiffPageBmpFile&) = delete;
    // False when the file would be larger than a BMP file can say (4 GiB).
    bool Begin(uint32_t width, uint32_t height, bool bilevel, uint16_t orientation) override;
    void Row(uint32_t y, const uint8_t* bits) override;
    void Row(uint32_t y, const uint32_t* pixels) override;
    void End() override;
    // The rows of a transposed page held at once: at least 8 and a multiple of 8, so that
    // every band but the last fills whole bytes of a bilevel row.
    static uint32_t BandRows(uint64_t rowBytes);

private:
    void Hold(uint32_t y, const void* row);
    void WriteBand();
    void WriteAt(uint64_t at, const uint8_t* data, size_t n);
    [[noreturn]] void WriteFailed(int err) const;
    std::string file_;
    std::FILE* f_ = nullptr;
    TiffTurn turn_;
    bool bilevel_ = false;
    uint32_t storedWidth_ = 0, storedHeight_ = 0;
    uint64_t offset_ = 0, stride_ = 0;
    size_t heldRowBytes_ = 0;
    uint32_t bandTop_ = 0, bandEnd_ = 0;
    std::vector<uint8_t> band_, out_;
};
