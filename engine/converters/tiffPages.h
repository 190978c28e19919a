#pragma once

// The pages of a TIFF file read one after another, each once, as pictures on white paper.
// Every failure raises an Exception whose text names the file and says what is wrong: a
// damaged file, a format or a size beyond the program, or a file that is no TIFF at all.

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "engine/converters/tiffPageOutput.h"

struct tiff;

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
    // The page whole, for a caller that needs it in memory.
    TiffPage Read();
    // The page as a BMP file, written as it is read: the memory it takes follows a band of
    // rows, not the page.
    void SaveAsBmp(const std::string& file);

private:
    [[noreturn]] void Fail(const std::string& what) const;
    void ReadInto(TiffPageSink& sink);
    void ReadBilevel(TiffPageSink& sink, uint32_t width, uint32_t height);
    void ReadRgba(TiffPageSink& sink, uint32_t width, uint32_t height, uint32_t unit);
    void ReadSamples(TiffPageSink& sink, uint32_t width, uint32_t height);
    // Where the directory after the current one lies, read from the file itself (libtiff
    // does not tell); none when it cannot be read.
    std::optional<uint64_t> NextDirectoryOffset() const;
    std::string file_;
    tiff* tif_ = nullptr;
    int page_ = 1;
    std::set<uint64_t> directories_;  // the offsets of the directories read so far
};
