// Pixel surfaces and drawing on them, without the window system's types: the device
// contexts and bitmaps of the class library sit on these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace qtbridge {

struct FontSpec {
    std::string name = "宋体";
    int pixelHeight = 12;  // character height in pixels
    bool bold = false, italic = false, underline = false, strikeOut = false;
    uint32_t color = 0;    // 0x00BBGGRR
    int orientation = 0;   // tenths of a degree, counter-clockwise
    int charExtra = 0;     // pixels added after every character
};

// A 32-bit image.
class Image {
public:
    Image();
    Image(int w, int h);
    ~Image();
    Image(const Image&);
    Image& operator=(const Image&);
    int width() const;
    int height() const;
    void resize(int w, int h);  // keeps the overlapping pixels
    uint32_t pixel(int x, int y) const;  // 0x00BBGGRR
    void setPixel(int x, int y, uint32_t bgr);
    uint8_t* scanLine(int y);  // 4 bytes per pixel, B G R A
    bool save(const std::string& path) const;  // format from the extension (png, bmp, jpg)
    bool load(const std::string& path);
    bool loadFromData(const void* data, size_t size);
    // A copy in which every pixel of the colour is transparent.
    Image withColorKey(uint32_t bgr) const;
    bool hasAlpha() const;
    struct Impl;
    Impl* impl() const { return d_.get(); }

private:
    std::unique_ptr<Impl> d_;
};

constexpr unsigned DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8,
                   DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_NOCLIP = 0x100,
                   DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_END_ELLIPSIS = 0x8000;

// Drawing on an image; coordinates in pixels, right and bottom edges exclusive.
// Outlines recorded by a device context between BeginPath and EndPath (the glyphs of text
// drawn meanwhile), in device coordinates.
class Path {
public:
    Path();
    ~Path();
    bool empty() const;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

class Painter {
public:
    explicit Painter(Image& target);
    ~Painter();
    void setPen(uint32_t bgr, int width, int style);  // style 0 solid, 5 none
    void setBrush(uint32_t bgr, int style);           // style 0 solid, 1 clear
    void setFont(const FontSpec& f);
    void setClip(int l, int t, int r, int b);
    void clearClip();
    void setOrigin(int x, int y);  // translation of later drawing
    void fillRect(int l, int t, int r, int b, uint32_t bgr);
    void rectangle(int l, int t, int r, int b);  // pen outline, brush inside
    void ellipse(int l, int t, int r, int b);
    void line(int x1, int y1, int x2, int y2);  // the last pixel is not drawn
    void polygon(const int* xy, int points);
    void textOut(int x, int y, const std::string& text, bool opaque, uint32_t backBgr);
    // Returns the height of the text; with DT_CALCRECT only measures (r and b updated).
    int drawText(const std::string& text, int& l, int& t, int& r, int& b, unsigned flags);
    void textExtent(const std::string& text, int& w, int& h);
    void drawImage(int x, int y, const Image& img);
    void drawImage(int x, int y, const Image& img, int sx, int sy, int sw, int sh);
    void stretchImage(int l, int t, int r, int b, const Image& img);
    void invertRect(int l, int t, int r, int b);

    // For the device contexts drawing through this painter.
    static Painter* ActiveOn(Image& img);  // the painter drawing on the image now, or null
    Image& target() const { return *target_; }
    void save();
    void restore();
    void origin(int& x, int& y) const;
    bool clipBox(int& l, int& t, int& r, int& b) const;   // false when nothing clips
    void setClipRects(const int* ltrb, int count);        // device coordinates
    void setRop2(int r2);                                  // the R2_ mix of pens and brushes
    void setPenEx(uint32_t bgr, int width, int style, bool flatCaps);
    void arc(int l, int t, int r, int b, int startAngle16, int spanAngle16, int kind);  // 0 arc, 1 pie, 2 chord
    void polyline(const int* xy, int points);
    void polygonFill(const int* xy, int points, bool winding);
    void roundRect(int l, int t, int r, int b, int ew, int eh);
    // While a path is given, text adds its glyph outlines to it instead of being drawn.
    void recordTo(Path* path);
    // Strokes the outlines with a solid pen of the colour and width; the inside stays as it is.
    void strokePath(const Path& path, uint32_t bgr, int width);

private:
    Image* target_;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Text measurement without an image.
void MeasureText(const FontSpec& f, const std::string& text, int& w, int& h);
// The advance of a text on one line (no prefix processing), in pixels.
int TextAdvance(const FontSpec& f, const std::string& text);
struct FontInfo {
    int height = 0, ascent = 0, descent = 0, leading = 0;  // leading: external
    int averageWidth = 0, maxWidth = 0, weight = 400;
    bool fixedPitch = false, scalable = true;
    std::string family;  // the face actually used
};
FontInfo FontInfoOf(const FontSpec& f);
int WrappedTextHeight(const FontSpec& f, const std::string& text, int width);

}  // namespace qtbridge
