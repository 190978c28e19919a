// Pixel surfaces, painters and text, as the GDI and the class library see them. The pixels,
// shapes and glyphs themselves come from a back end that installs its driver table at
// start-up (InstallSurfaceDriver); nothing here knows the window system.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

namespace gdi {

struct FontSpec {
    std::string name = "宋体";
    int pixelHeight = 12;  // character height in pixels
    bool bold = false, italic = false, underline = false, strikeOut = false;
    uint32_t color = 0;   // 0x00BBGGRR
    int orientation = 0;  // tenths of a degree, counter-clockwise
    int charExtra = 0;    // pixels added after every character
};

struct FontInfo {
    int height = 0, ascent = 0, descent = 0, leading = 0;  // leading: external
    int averageWidth = 0, maxWidth = 0, weight = 400;
    bool fixedPitch = false, scalable = true;
    std::string family;  // the face actually used
};

// The pixels behind an Image, kept by the back end.
class ImageData {
public:
    virtual ~ImageData() = default;
    virtual std::unique_ptr<ImageData> clone() const = 0;
    virtual void copyFrom(const ImageData& other) = 0;  // in place: a painter may be drawing here
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void resize(int w, int h) = 0;  // new pixels white
    virtual uint32_t pixel(int x, int y) const = 0;
    virtual void setPixel(int x, int y, uint32_t bgr) = 0;
    virtual uint8_t* scanLine(int y) = 0;
    virtual bool save(const std::string& path) const = 0;
    virtual bool load(const std::string& path) = 0;
    virtual bool loadFromData(const void* data, size_t size) = 0;
    virtual std::unique_ptr<ImageData> withColorKey(uint32_t bgr) const = 0;
    virtual bool hasAlpha() const = 0;
};

class Painter;

// A 32-bit image.
class Image {
public:
    Image();
    Image(int w, int h);
    ~Image();
    Image(const Image&);
    Image& operator=(const Image&);
    int width() const { return d_->width(); }
    int height() const { return d_->height(); }
    void resize(int w, int h);                                      // keeps the overlapping pixels
    uint32_t pixel(int x, int y) const { return d_->pixel(x, y); }  // 0x00BBGGRR
    void setPixel(int x, int y, uint32_t bgr) { d_->setPixel(x, y, bgr); }
    uint8_t* scanLine(int y) { return d_->scanLine(y); }  // 4 bytes per pixel, B G R A
    bool save(const std::string& path) const {
        return d_->save(path);
    }  // format from the extension
    bool load(const std::string& path) { return d_->load(path); }
    bool loadFromData(const void* data, size_t size) { return d_->loadFromData(data, size); }
    // A copy in which every pixel of the colour is transparent.
    Image withColorKey(uint32_t bgr) const;
    bool hasAlpha() const { return d_->hasAlpha(); }
    ImageData& data() const { return *d_; }
    // The painter drawing on the image now, or null; kept by the painters themselves.
    Painter* painter = nullptr;

private:
    explicit Image(std::unique_ptr<ImageData> d);
    std::unique_ptr<ImageData> d_;
};

// Outlines recorded by a device context between BeginPath and EndPath (the glyphs of text
// drawn meanwhile), in device coordinates.
class PathData {
public:
    virtual ~PathData() = default;
    virtual bool empty() const = 0;
};
class Path {
public:
    Path();
    bool empty() const { return d_->empty(); }
    PathData& data() const { return *d_; }

private:
    std::unique_ptr<PathData> d_;
};

// Drawing on an image; coordinates in pixels, right and bottom edges exclusive.
class Painter {
public:
    virtual ~Painter() = default;
    // The painter drawing on the image now, or null.
    static Painter* ActiveOn(Image& img) { return img.painter; }
    virtual Image& target() const = 0;
    virtual void setPen(uint32_t bgr, int width, int style) = 0;  // style 0 solid, 5 none
    virtual void setBrush(uint32_t bgr, int style) = 0;           // style 0 solid, 1 clear
    virtual void setFont(const FontSpec& f) = 0;
    virtual void setClip(int l, int t, int r, int b) = 0;
    virtual void clearClip() = 0;
    virtual void setOrigin(int x, int y) = 0;  // translation of later drawing
    virtual void fillRect(int l, int t, int r, int b, uint32_t bgr) = 0;
    virtual void rectangle(int l, int t, int r, int b) = 0;  // pen outline, brush inside
    virtual void ellipse(int l, int t, int r, int b) = 0;
    virtual void line(int x1, int y1, int x2, int y2) = 0;  // the last pixel is not drawn
    virtual void polygon(const int* xy, int points) = 0;
    virtual void textOut(int x, int y, const std::string& text, bool opaque, uint32_t backBgr) = 0;
    // Returns the height of the text; with DT_CALCRECT only measures (r and b updated).
    virtual int drawText(const std::string& text, int& l, int& t, int& r, int& b,
                         unsigned flags) = 0;
    virtual void textExtent(const std::string& text, int& w, int& h) = 0;
    virtual void drawImage(int x, int y, const Image& img) = 0;
    virtual void drawImage(int x, int y, const Image& img, int sx, int sy, int sw, int sh) = 0;
    virtual void stretchImage(int l, int t, int r, int b, const Image& img) = 0;
    virtual void invertRect(int l, int t, int r, int b) = 0;
    virtual void save() = 0;
    virtual void restore() = 0;
    virtual void origin(int& x, int& y) const = 0;
    virtual bool clipBox(int& l, int& t, int& r, int& b) const = 0;  // false when nothing clips
    // The clip region as rectangles (l, t, r, b) in device coordinates; false when nothing
    // clips. True with no rectangle: everything is clipped away.
    virtual bool clipRects(std::vector<int>& ltrb) const = 0;
    virtual void setClipRects(const int* ltrb, int count) = 0;  // device coordinates
    virtual void setRop2(int r2) = 0;                           // the R2_ mix of pens and brushes
    virtual void setPenEx(uint32_t bgr, int width, int style, bool flatCaps) = 0;
    virtual void arc(int l, int t, int r, int b, int startAngle16, int spanAngle16,
                     int kind) = 0;  // 0 arc, 1 pie, 2 chord
    virtual void polyline(const int* xy, int points) = 0;
    virtual void polygonFill(const int* xy, int points, bool winding) = 0;
    virtual void roundRect(int l, int t, int r, int b, int ew, int eh) = 0;
    // While a path is given, text adds its glyph outlines to it instead of being drawn.
    virtual void recordTo(Path* path) = 0;
    // Strokes the outlines with a solid pen of the colour and width; the inside stays as it is.
    virtual void strokePath(const Path& path, uint32_t bgr, int width) = 0;
};

// What the back end supplies: pixel stores, painters, path recorders, text measurement, and
// the surfaces of windows (their backing images, shown again after drawing).
struct SurfaceDriver {
    std::unique_ptr<ImageData> (*newImage)(int w, int h) = nullptr;
    std::unique_ptr<Painter> (*newPainter)(Image& target) = nullptr;
    std::unique_ptr<PathData> (*newPath)() = nullptr;
    void (*measureText)(const FontSpec& f, const std::string& text, int& w, int& h) = nullptr;
    int (*textAdvance)(const FontSpec& f,
                       const std::string& text) = nullptr;  // one line, no prefixes
    FontInfo (*fontInfo)(const FontSpec& f) = nullptr;
    int (*wrappedTextHeight)(const FontSpec& f, const std::string& text, int width) = nullptr;
    // Whether the window still exists; its backing image (`whole`: with its frame), or null
    // when it has none; and showing that image again after drawing.
    bool (*windowAlive)(HWND hwnd) = nullptr;
    Image* (*windowSurface)(HWND hwnd, bool whole) = nullptr;
    void (*showWindowSurface)(HWND hwnd) = nullptr;
};
void InstallSurfaceDriver(const SurfaceDriver& driver);
// The installed table; throws std::logic_error when no back end has installed one.
const SurfaceDriver& Driver();

// A painter of the back end drawing on the image (one made while another draws there draws
// nothing).
inline std::unique_ptr<Painter> NewPainter(Image& target) { return Driver().newPainter(target); }

// Text measurement without an image.
inline void MeasureText(const FontSpec& f, const std::string& text, int& w, int& h) {
    Driver().measureText(f, text, w, h);
}
inline int TextAdvance(const FontSpec& f, const std::string& text) {
    return Driver().textAdvance(f, text);
}
inline FontInfo FontInfoOf(const FontSpec& f) { return Driver().fontInfo(f); }
inline int WrappedTextHeight(const FontSpec& f, const std::string& text, int width) {
    return Driver().wrappedTextHeight(f, text, width);
}

}  // namespace gdi
