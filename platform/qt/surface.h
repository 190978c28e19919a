// The window system's side of the drawing surfaces (platform/gdi/surface.h): its painter, text
// measurement, and the driver table it installs for the GDI.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/gdi/surface.h"

class QFont;

namespace qtbridge {

// The Song face the forms name (宋体) keeps its glyphs within 11 pixels of its 12 (its
// cell, 13 pixels at 12 with the line's descent), so rows and lines of 12 pixels do not
// touch. A face standing in for it whose glyphs fill its whole size is drawn scaled to
// that, each glyph where the face's own advances place it (text keeps its measured width).
constexpr int kSongInk = 11;  // pixels of ink in 12
// The scale its glyphs are drawn at: below 1 for a face standing in for the Song face.
double SongInk(const QFont& f);
// The same face at the size its glyphs are drawn at, for widgets that draw text themselves.
QFont SongInkFace(const QFont& f);

constexpr unsigned DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4,
                   DT_BOTTOM = 8, DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40,
                   DT_NOCLIP = 0x100, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
                   DT_END_ELLIPSIS = 0x8000;

// Drawing on an image through the window system's painter; coordinates in pixels, right and
// bottom edges exclusive. A painter made while another draws on the image draws nothing.
class Painter final : public gdi::Painter {
public:
    explicit Painter(gdi::Image& target);
    ~Painter() override;
    gdi::Image& target() const override { return *target_; }
    void setPen(uint32_t bgr, int width, int style) override;
    void setBrush(uint32_t bgr, int style) override;
    void setFont(const gdi::FontSpec& f) override;
    void setClip(int l, int t, int r, int b) override;
    void clearClip() override;
    void setOrigin(int x, int y) override;
    void fillRect(int l, int t, int r, int b, uint32_t bgr) override;
    void rectangle(int l, int t, int r, int b) override;
    void ellipse(int l, int t, int r, int b) override;
    void line(int x1, int y1, int x2, int y2) override;
    void polygon(const int* xy, int points) override;
    void textOut(int x, int y, const std::string& text, bool opaque, uint32_t backBgr) override;
    int drawText(const std::string& text, int& l, int& t, int& r, int& b, unsigned flags) override;
    void textExtent(const std::string& text, int& w, int& h) override;
    void drawImage(int x, int y, const gdi::Image& img) override;
    void drawImage(int x, int y, const gdi::Image& img, int sx, int sy, int sw, int sh) override;
    void stretchImage(int l, int t, int r, int b, const gdi::Image& img) override;
    void invertRect(int l, int t, int r, int b) override;
    void save() override;
    void restore() override;
    void origin(int& x, int& y) const override;
    bool clipBox(int& l, int& t, int& r, int& b) const override;
    bool clipRects(std::vector<int>& ltrb) const override;
    void setClipRects(const int* ltrb, int count) override;
    void setRop2(int r2) override;
    void setPenEx(uint32_t bgr, int width, int style, bool flatCaps) override;
    void arc(int l, int t, int r, int b, int startAngle16, int spanAngle16, int kind) override;
    void polyline(const int* xy, int points) override;
    void polygonFill(const int* xy, int points, bool winding) override;
    void roundRect(int l, int t, int r, int b, int ew, int eh) override;
    void recordTo(gdi::Path* path) override;
    void strokePath(const gdi::Path& path, uint32_t bgr, int width) override;
    // Stops drawing while the image's pixels are exchanged, keeping the state with every
    // saved level; `resume` goes on over the new pixels (once they have any) with it.
    void suspend();
    void resume();

private:
    gdi::Image* target_;
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Text measurement without an image.
void MeasureText(const gdi::FontSpec& f, const std::string& text, int& w, int& h);
// The advance of a text on one line (no prefix processing), in pixels.
int TextAdvance(const gdi::FontSpec& f, const std::string& text);
gdi::FontInfo FontInfoOf(const gdi::FontSpec& f);
int WrappedTextHeight(const gdi::FontSpec& f, const std::string& text, int width);

// Installs this layer's painters, images and text as the GDI's drawing driver (done before
// main wherever this unit is linked in; programs that only draw call it to be sure).
void InstallDrawing();

}  // namespace qtbridge
