#pragma once

// TIFF pages to PostScript: each page read into a bitmap and saved as a BMP file, the
// pictures laid out one per page in a new word-processor document, which is printed
// through "Generic Colour PostScript".

#include <cstdint>
#include <memory>
#include <string>

class TBitmap;

class TTiff2ps {
public:
    bool Convert(const std::string& tiffFile, const std::string& psFile,
                 const std::string& tempDir);
    // Pages (directories) of the file; raises when the file cannot be read as TIFF or its
    // chain of directories is broken.
    int TiffPageCount(const std::string& tiffFile);
    // The page (1-based) as a new 32-bit bitmap on white; raises when it cannot be read.
    std::unique_ptr<TBitmap> TiffPageToBitmap(const std::string& tiffFile, int page);
    // Every page saved as the BMP file BitmapName(tempDir, page), read once in page order;
    // the number of pages. Raises naming the file when any page cannot be converted.
    int SavePages(const std::string& tiffFile, const std::string& tempDir);
    static std::string BitmapName(const std::string& tempDir, int page);
    // RGBA pixels into BGRA: bytes 0 and 2 of each 32-bit pixel exchanged.
    void SwapRedBlue(int width, int height, uint8_t* pixels);
};

class TRun;
// The function tiff2pdf: the TIFF pages made PostScript, then a PDF in the destination.
// Named by its row of the function table.
bool RunTiff2pdf(TRun& run);
