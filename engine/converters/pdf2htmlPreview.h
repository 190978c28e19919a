#pragma once

// The HTML preview of a PDF: one JPEG thumbnail per page in "images", and the page
// "htmlPreview.html", a table of the thumbnails with a caption under each, every
// thumbnail linking to its single-page PDF in "pdf".

#include <cstdint>
#include <string>
#include <vector>

// A 24-bit picture, rows from the top, each row padded to a multiple of 4 bytes.
struct TRgbImage {
    int width = 0;
    int height = 0;
    size_t stride = 0;
    std::vector<uint8_t> pixels;

    TRgbImage() = default;
    TRgbImage(int w, int h);
    uint8_t* Row(int y) { return pixels.data() + size_t(y) * stride; }
    const uint8_t* Row(int y) const { return pixels.data() + size_t(y) * stride; }
};

class TPdf2htmlPreview {
public:
    // Renders every page of src at 72 dpi into imagesDir as <base>_p0001.jpg, ... and
    // shrinks every JPEG of the folder to its thumbnail size. Returns the number of
    // JPEGs. Failures raise to the caller.
    int MakeThumbnails(const std::string& src, const std::string& imagesDir);

    // Shrinks one JPEG file in place to its thumbnail size. A picture that is not wider
    // than its thumbnail is left as it is.
    static void ShrinkJpeg(const std::string& jpegFile);

    // Thumbnail width 152 for a landscape or square page, else 112; the height keeps the
    // proportion (rounded, halves to even; at least 1).
    static void ThumbnailSize(int width, int height, int& thumbWidth, int& thumbHeight);

    // Box filter from source into target (whose size is set), then a sharpening pass
    // over the inner pixels. The target must not be larger than the source.
    static void Resample(const TRgbImage& source, TRgbImage& target);

    // Writes the page (CR LF line ends); False (logged and listed) when it cannot be
    // written.
    bool WriteHtml(const std::string& htmlFile, const std::string& baseName, int pageCount,
                   int columns, const std::string& title, const std::string& pageText, bool border);
    static std::string HtmlText(const std::string& baseName, int pageCount, int columns,
                                const std::string& title, const std::string& pageText, bool border);

    // Text for an HTML element ("&", "<", ">", quotes as entities).
    static std::string HtmlEscape(const std::string& text);
    // A file name as a relative URL: every byte other than letters, digits and "-._~"
    // percent-encoded.
    static std::string UrlEscape(const std::string& name);
};

// JPEG files through libjpeg. Both raise EReadError / EWriteError-like exceptions.
TRgbImage LoadJpegRgb(const std::string& path);
std::string EncodeJpegRgb(const TRgbImage& image);

class TRun;
// The function pdf2htmlPreview: "htmlPreview.html" with its page PDFs and thumbnails in the
// destination. Named by its row of the function table.
bool RunPdf2htmlPreview(TRun& run);
