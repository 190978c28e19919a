#pragma once

// Automatic cropping: the content's edges are found on a 1-bit bitmap of the first page,
// and every page box of an uncompressed PDF is rewritten in the PDF's own text as the
// same fractions of that box plus a margin.

#include <optional>
#include <string>
#include <vector>

// Black pixels (colour value 0) per row (top row first) and per column of a bitmap.
struct TBlackCounts {
    int width = 0;
    int height = 0;
    std::vector<int> rows;
    std::vector<int> columns;
};

// Where the content begins and ends, as fractions of the bitmap's width and height
// (rows counted from the top). A side whose scan met no content stays unset, and that
// side of every box is left as it is.
struct TCropFractions {
    std::optional<double> left, top, right, bottom;
};

// Reads a Windows bitmap file (1, 4, 8, 24 or 32 bits per pixel, uncompressed) and counts
// its black pixels. Raises EReadError when the file is no such bitmap.
TBlackCounts CountBlackPixels(const std::string& bitmapFile);

// The four scans: a line counts as content when it holds more than `noise` black pixels;
// the scans from the left and from the top begin at index `skip`, the scans from the
// right and from the bottom begin at the last line and reach down to `skip`.
TCropFractions FindContent(const TBlackCounts& counts, int noise, int skip);

class TCropManager {
public:
    struct Box {
        size_t start = 0;   // offset of the first character after the "["
        size_t length = 0;  // characters up to the closing "]", not included
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        std::string text[4];  // the four numbers as written
    };

    // Reads the whole file; raises EFOpenError when it cannot be read.
    explicit TCropManager(const std::string& fileName);
    // Works on a PDF text already in memory.
    static TCropManager FromText(std::string pdfText);

    // Finds every "/CropBox [" array, or every "/MediaBox [" array when the text has no
    // crop box at all. Numbers must be separated by single blanks (EConvertError).
    void ParseBoxes();

    // The text with every box rewritten; the classic cross-reference table and
    // "startxref" are moved along with the text, so the file stays intact.
    std::string CroppedText(const TCropFractions& f, int margin) const;
    // Writes CroppedText into dstFile, replacing an older file only once all is written.
    void Apply(const std::string& dstFile, const TCropFractions& f, int margin) const;

    std::vector<Box> boxes;
    std::string text;

private:
    TCropManager() = default;
};

class TPdfAutoCrop {
public:
    // Reads the noise, skip and margin counters, scans bitmapFile (page 1) and writes the
    // cropped copy of srcPdf (uncompressed) to dstPdf. Failures are logged and listed.
    bool AutoCrop(const std::string& bitmapFile, const std::string& srcPdf,
                  const std::string& dstPdf);
};

class TRun;
// The function pdfAutoCrop: the cropped copy, named with "_CROPPED", in the destination.
// Named by its row of the function table.
bool RunPdfAutoCrop(TRun& run);
