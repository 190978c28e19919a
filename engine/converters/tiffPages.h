#pragma once

// The pages of a TIFF file read one after another, each once, as pictures on white paper.
// Every failure raises an Exception whose text names the file and says what is wrong: a
// damaged file, a format or a size beyond the program, or a file that is no TIFF at all.

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct tiff;

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

class TiffPages {
public:
    explicit TiffPages(const std::string& file);
    ~TiffPages();
    TiffPages(const TiffPages&) = delete;
    TiffPages& operator=(const TiffPages&) = delete;
    // The page the file stands at, from 1.
    int Page() const { return page_; }
    // On to the next page; false after the last one. A directory the chain points to that
    // cannot be read makes the whole file damaged; a chain that points back to a page
    // already read ends there (written to the day log).
    bool Next();
    TiffPage Read();

private:
    [[noreturn]] void Fail(const std::string& what) const;
    TiffPage ReadBilevel(uint32_t width, uint32_t height, uint16_t orientation);
    TiffPage ReadRgba(uint32_t width, uint32_t height, uint16_t orientation);
    TiffPage ReadSamples(uint32_t width, uint32_t height, uint16_t orientation);
    // Where the directory after the current one lies, read from the file itself (libtiff
    // does not tell); none when it cannot be read.
    std::optional<uint64_t> NextDirectoryOffset() const;
    std::string file_;
    tiff* tif_ = nullptr;
    int page_ = 1;
    std::set<uint64_t> directories_;  // the offsets of the directories read so far
};

// The page as a BMP file: one bit a pixel for a bilevel page, 24 bits otherwise.
void SaveTiffPageAsBmp(const TiffPage& page, const std::string& file);
