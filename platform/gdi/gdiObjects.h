// Inside the GDI only: the objects behind GDI handles, and how a device context reaches the
// pixels it draws on.
#pragma once

#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/gdiRegionSet.h"
#include "platform/gdi/surface.h"

namespace gdi {

struct Object {
    virtual ~Object() = default;
    virtual DWORD type() const = 0;
    bool stock = false;
};

struct Pen : Object {
    DWORD type() const override { return OBJ_PEN; }
    int style = PS_SOLID;
    int width = 1;
    COLORREF color = 0;
    bool dcPen = false;  // DC_PEN: the colour comes from the DC
};

struct Bitmap;
struct Brush : Object {
    DWORD type() const override { return OBJ_BRUSH; }
    UINT style = BS_SOLID;
    COLORREF color = 0;
    int hatch = 0;
    std::shared_ptr<Bitmap> pattern;
    bool dcBrush = false;  // DC_BRUSH: the colour comes from the DC
};

struct Font : Object {
    DWORD type() const override { return OBJ_FONT; }
    LOGFONTA lf;
};

struct Palette : Object {
    DWORD type() const override { return OBJ_PAL; }
    std::vector<PALETTEENTRY> entries;
};

struct Region : Object {
    DWORD type() const override { return OBJ_REGION; }
    RegionSet set;
};

// How the rows of a DIB are laid out.
struct DibFormat {
    int bpp = 32;
    int width = 0, height = 0;  // height positive
    bool topDown = false;
    int stride = 0;
    std::vector<RGBQUAD> colors;
    DWORD masks[3] = {0, 0, 0};  // zero: the default 5-5-5 or 8-8-8 layout
};

// Packed DIB rows mirroring a bitmap's image: what a DIB section's caller writes into, or the
// scan lines of a TBitmap with a pixel format other than 32 bits.
struct PackedRows {
    DibFormat fmt;
    std::vector<uint8_t> store;
    uint8_t* bits() { return store.data(); }
};

// A bitmap's pixels live in a 32-bit image (its own, or a TBitmap's). The nominal depth decides
// how blits convert colours (1 bit: monochrome by text and background colour) and how packed
// rows are quantised.
struct Bitmap : Object {
    DWORD type() const override { return OBJ_BITMAP; }
    std::unique_ptr<gdi::Image> own;
    gdi::Image* image = nullptr;
    int bpp = 32;
    bool dibSection = false;
    std::unique_ptr<PackedRows> packed;
    // The packed rows may have been written by their owner since the image was last filled
    // (always so for DIB sections), or the image drawn on since the rows were last filled.
    bool packedNewer = false;
    bool imageNewer = false;
    int width() const { return image ? image->width() : 0; }
    int height() const { return image ? image->height() : 0; }
    // Before reading or drawing: brings the image up to date with the packed rows.
    void beforeUse();
    // After drawing: brings the packed rows up to date with the image.
    void afterWrite();
    bool monochrome() const { return bpp == 1; }
    // The packed rows brought up to date with the image, for their owner to read and write.
    PackedRows* rowsForWriting();
};

struct DcState {
    HGDIOBJ pen = nullptr, brush = nullptr, font = nullptr, bitmap = nullptr, palette = nullptr;
    COLORREF text = 0, bk = 0xFFFFFF, dcBrush = 0xFFFFFF, dcPen = 0;
    int bkMode = OPAQUE, rop2 = R2_COPYPEN, stretchMode = BLACKONWHITE, polyFill = ALTERNATE;
    UINT textAlign = 0;
    int charExtra = 0;  // SetTextCharacterExtra
    POINT pos, windowOrg, viewportOrg, brushOrg;
    std::optional<RegionSet> clip;  // device coordinates
};

struct Dc : Object {
    DWORD type() const override { return memory ? OBJ_MEMDC : OBJ_DC; }
    DcState st;
    std::vector<DcState> saved;
    bool memory = false;
    HWND hwnd = nullptr;
    gdi::Image* target = nullptr;      // window DCs and canvas DCs
    gdi::Image scratch;                // what a DC draws on when it has nothing else
    POINT base;                        // device offset of the surface (a canvas's origin)
    std::optional<RegionSet> sysClip;  // device coordinates: the window's or canvas's limits
    std::function<void()> onDrawn;     // shows the new pixels (window DCs)
    // The path bracket: open between BeginPath and EndPath, then ready to be stroked.
    std::shared_ptr<gdi::Path> path;
    bool pathOpen = false;

    Bitmap* bitmap() const;
    gdi::Image* image() const;
    // Logical to device coordinates.
    int dx(int x) const { return x - st.windowOrg.x + st.viewportOrg.x + base.x; }
    int dy(int y) const { return y - st.windowOrg.y + st.viewportOrg.y + base.y; }
    // Where drawing may go: the surface, the system clip and the clip region, in device
    // coordinates.
    RegionSet visible() const;
    bool monochrome() const;
};

// ---------------------------------------------------------------- the handle table
HGDIOBJ AddObject(std::shared_ptr<Object> obj);
std::shared_ptr<Object> Find(HGDIOBJ h);
template <class T>
std::shared_ptr<T> FindAs(HGDIOBJ h) {
    return std::dynamic_pointer_cast<T>(Find(h));
}
template <class H, class T>
H AddAs(std::shared_ptr<T> obj) {
    return static_cast<H>(AddObject(std::move(obj)));
}
void RemoveObject(HGDIOBJ h);

// The DC's current objects (the stock defaults when the selected one has gone).
std::shared_ptr<Pen> CurrentPen(const Dc& dc);
std::shared_ptr<Brush> CurrentBrush(const Dc& dc);
std::shared_ptr<Font> CurrentFont(const Dc& dc);
std::shared_ptr<Palette> CurrentPalette(const Dc& dc);

// ---------------------------------------------------------------- pixels
inline uint32_t ToPixel(COLORREF c) {
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
inline COLORREF ToColor(uint32_t px) {
    return ((px >> 16) & 0xFF) | (px & 0xFF00) | ((px & 0xFF) << 16);
}
// A colour as stored in a monochrome bitmap: white when bright, else black.
COLORREF MonoColor(COLORREF c);
// Palette indices and PALETTERGB resolved against the DC's palette.
COLORREF ResolveColor(const Dc& dc, COLORREF c);
// Pixel `x, y` of the brush pattern, in device coordinates.
class PatternSource {
public:
    PatternSource(const Dc& dc, const Brush* brush);
    bool solid() const { return solid_; }
    uint32_t at(int x, int y) const;
    // Pixels l..r-1 of device row y (not for a solid pattern).
    void row(int y, int l, int r, uint32_t* out) const;
    uint32_t color() const { return color_; }
    // A hatch on a transparent background: only the pixels of its lines are drawn.
    bool transparentBack() const { return transparentBack_; }
    bool lineAt(int x, int y) const;  // device coordinates

private:
    bool transparentBack_ = false;
    bool solid_ = true;
    uint32_t color_ = 0xFFFFFFFF;
    uint32_t fore_ = 0, back_ = 0;
    int hatch_ = -1;
    std::vector<uint32_t> tile_;
    int tw_ = 0, th_ = 0, ox_ = 0, oy_ = 0;
};

// A ternary raster operation as masks made once per call: the result is the exclusive-or
// of the products of pattern, source and destination whose mask is all ones.
struct RopMasks {
    uint32_t one, p, s, d, ps, pd, sd, psd;
    static RopMasks Of(uint8_t index);
    uint32_t apply(uint32_t pv, uint32_t sv, uint32_t dv) const {
        return one ^ (p & pv) ^ (s & sv) ^ (d & dv) ^ (ps & pv & sv) ^ (pd & pv & dv) ^
               (sd & sv & dv) ^ (psd & pv & sv & dv);
    }
};
// Applies the operation to `n` destination pixels; `p` null means the solid pattern colour,
// `s` null no source. `keepAlpha`: a plain copy keeps the source's alpha.
void RopSpan32(const RopMasks& m, uint8_t index, uint32_t* d, const uint32_t* p, uint32_t solid,
               const uint32_t* s, int n, bool keepAlpha);

// The source pixels of a raster operation, one destination span at a time, already
// converted to the destination's colour kind.
class SourceRows {
public:
    virtual ~SourceRows() = default;
    // Source values for destination pixels l..r-1 of device row y.
    virtual const uint32_t* span(int y, int l, int r) = 0;
};

// Applies `rop` to every visible pixel of the device rectangle, with the pattern of the DC's
// brush (or the one given) and, when given, the source.
void RasterRect(Dc& dc, RECT devRect, DWORD rop, SourceRows* source, const Brush* brush = nullptr,
                const RegionSet* limit = nullptr);

// Runs `draw` with a painter on the DC's surface set to its origin, clip and ROP2, and shows
// the result afterwards. The painter already active on the image (a canvas's) is reused.
void WithPainter(Dc& dc, const std::function<void(gdi::Painter&)>& draw,
                 const RegionSet* limit = nullptr);
void Drawn(Dc& dc);

gdi::FontSpec SpecOf(const LOGFONTA& lf);
// The DC's font, coloured with its text colour.
gdi::FontSpec DcFontSpec(const Dc& dc);
DWORD Rop2AsRop3(int rop2);

}  // namespace gdi
