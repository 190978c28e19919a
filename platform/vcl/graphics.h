// Colours, fonts, pens, brushes, canvases and pictures.
#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <type_traits>

#include "platform/gdi/gdi.h"
#include "platform/gdi/surface.h"
#include "platform/vcl/component.h"
#include "platform/vcl/graphicErrors.h"
#include "platform/win/wintypes.h"

using TColor = int32_t;  // 0x00BBGGRR, or 0x80000000 | system colour index
enum : TColor {
    clBlack = 0x000000,
    clMaroon = 0x000080,
    clGreen = 0x008000,
    clOlive = 0x008080,
    clNavy = 0x800000,
    clPurple = 0x800080,
    clTeal = 0x808000,
    clGray = 0x808080,
    clSilver = 0xC0C0C0,
    clRed = 0x0000FF,
    clLime = 0x00FF00,
    clYellow = 0x00FFFF,
    clBlue = 0xFF0000,
    clFuchsia = 0xFF00FF,
    clAqua = 0xFFFF00,
    clWhite = 0xFFFFFF,
    clNone = 0x1FFFFFFF,
    clDefault = 0x20000000,
};
constexpr TColor clScrollBar = TColor(0x80000000), clBackground = TColor(0x80000001),
                 clActiveCaption = TColor(0x80000002), clInactiveCaption = TColor(0x80000003),
                 clWindow = TColor(0x80000005), clWindowFrame = TColor(0x80000006),
                 clWindowText = TColor(0x80000008), clCaptionText = TColor(0x80000009),
                 clAppWorkSpace = TColor(0x8000000C), clHighlight = TColor(0x8000000D),
                 clHighlightText = TColor(0x8000000E), clBtnFace = TColor(0x8000000F),
                 clBtnShadow = TColor(0x80000010), clGrayText = TColor(0x80000011),
                 clBtnText = TColor(0x80000012), clInactiveCaptionText = TColor(0x80000013),
                 clBtnHighlight = TColor(0x80000014), cl3DDkShadow = TColor(0x80000015),
                 cl3DLight = TColor(0x80000016), clInfoText = TColor(0x80000017),
                 clInfoBk = TColor(0x80000018);

bool IdentToColor(const std::string& ident, TColor& out);
// A system colour resolved to its RGB value.
COLORREF ColorToRGB(TColor c);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = std::set<TFontStyle>;
using TFontCharset = BYTE;  // ANSI_CHARSET, DEFAULT_CHARSET, GB2312_CHARSET ...

// Look objects notify their owner through OnChange.
class TGraphicsObject : public TPersistent {
public:
    std::function<void()> OnChange;

protected:
    template <class T>
    friend class TChangingField;
    void Changed() {
        if (OnChange) OnChange();
    }
};

// A field of a graphics object, read and assigned as its value (`brush->Color = clRed`);
// assigning another value than it holds tells the object's OnChange.
template <class T>
class TChangingField {
public:
    TChangingField(TGraphicsObject& owner, T value) : owner_(owner), value_(value) {}
    TChangingField(const TChangingField&) = delete;
    TChangingField& operator=(const TChangingField& other) { return *this = other.value_; }
    TChangingField& operator=(T value) {
        if (value == value_) return *this;
        value_ = value;
        owner_.Changed();
        return *this;
    }
    operator T() const { return value_; }
    T operator->() const requires std::is_pointer_v<T> { return value_; }

private:
    TGraphicsObject& owner_;
    T value_;
};

class TFont : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TFont"; }
    std::string Name() const { return name_; }
    void SetName(const std::string& n) {
        if (n != name_) {
            name_ = n;
            Changed();
        }
    }
    // Height in pixels: negative = character height, positive = cell height (as stored).
    int Height() const { return height_; }
    void SetHeight(int h) {
        if (h != height_) {
            height_ = h;
            Changed();
        }
    }
    int Size() const;  // points at 96 dpi
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor c) {
        if (c != color_) {
            color_ = c;
            Changed();
        }
    }
    TFontStyles Style() const { return style_; }
    void SetStyle(const TFontStyles& s) {
        if (s != style_) {
            style_ = s;
            Changed();
        }
    }
    TFontCharset Charset = DEFAULT_CHARSET;
    void Assign(const TFont& f);
    gdi::FontSpec AsFontSpec() const;
    // The font as a GDI object, made anew when the font has changed; owned by the font.
    HFONT Handle();
    ~TFont() override;

private:
    HFONT handle_ = nullptr;
    LOGFONTA handleOf_;
    std::string name_ = "宋体";
    int height_ = -12;
    TColor color_ = clWindowText;
    TFontStyles style_;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
class TPen : public TGraphicsObject {
public:
    std::string ClassName() const override { return "TPen"; }
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
    HPEN Handle();  // owned by the pen
    ~TPen() override;

private:
    HPEN handle_ = nullptr;
    LOGPEN handleOf_;
};

// The hatches draw their lines in the brush's colour; between them shows the background
// colour, or what is there when the background mode is transparent.
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
class TBitmap;
class TBrush : public TGraphicsObject {
public:
    TBrush() = default;
    TBrush(const TBrush&) = delete;
    TBrush& operator=(const TBrush&) = delete;
    std::string ClassName() const override { return "TBrush"; }
    // Each tells OnChange when given another value.
    TChangingField<TColor> Color{*this, clWhite};
    TChangingField<TBrushStyle> Style{*this, bsSolid};
    // A bitmap whose pixels repeat as the brush's pattern, in place of colour and style;
    // not owned, and read when the brush's handle is made.
    TChangingField<TBitmap*> Bitmap{*this, nullptr};
    // Colour, style and bitmap in one change.
    void Assign(const TBrush& other);
    // A hatch or a bitmap: drawn through the GDI's pattern brushes.
    bool Patterned() const;
    HBRUSH Handle();  // owned by the brush
    ~TBrush() override;

private:
    HBRUSH handle_ = nullptr;
    LOGBRUSH handleOf_;
};

// Drawing on a surface. A canvas is bound to an image (a bitmap's pixels, or the backing
// image of a window) and paints with its pen, brush and font.
class TCanvas : public TPersistent {
public:
    TCanvas();
    ~TCanvas() override;
    std::string ClassName() const override { return "TCanvas"; }
    TFont* Font() { return &font_; }
    TPen* Pen() { return &pen_; }
    TBrush* Brush() { return &brush_; }
    TPoint PenPos;

    // Binds the canvas to an image; with an origin and clip for graphic controls.
    void Bind(gdi::Painter* painter);
    void Unbind();
    bool Bound() const { return painter_ != nullptr; }

    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void Rectangle(int l, int t, int r, int b);
    void Ellipse(int l, int t, int r, int b);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polygon(const std::vector<TPoint>& pts);
    void RoundRect(int l, int t, int r, int b, int ew, int eh);
    void TextOut(int x, int y, const std::string& text);
    void TextRect(const TRect& r, int x, int y, const std::string& text);
    int DrawText(const std::string& text, TRect& r, unsigned flags);  // DT_* flags
    int TextWidth(const std::string& text);
    int TextHeight(const std::string& text);
    void Draw(int x, int y, class TGraphic* g);
    void StretchDraw(const TRect& r, class TGraphic* g);
    // Copies with CopyMode (a raster operation), stretching when the sizes differ.
    void CopyRect(const TRect& dest, TCanvas* src, const TRect& source);
    DWORD CopyMode = SRCCOPY;
    // Copies the bitmap with the pixels of `color` replaced by the brush.
    void BrushCopy(const TRect& dest, class TBitmap* bmp, const TRect& source, TColor color);
    // A device context over the canvas's pixels with its pen, brush and font selected, for
    // the GDI calls; valid while the canvas stays bound.
    HDC Handle();
    // Binds the canvas to the surface of a device context it does not own (a draw-item
    // request's) and draws on its pixels; null unbinds it again.
    void SetHandle(HDC dc);
    void DrawFocusRect(const TRect& r);
    // Called before every drawing (a bitmap brings its pixels up to date).
    std::function<void()> OnChanging;
    void DrawImage(const TRect& dest, const gdi::Image& img);
    TColor Pixel(int x, int y);
    void SetPixel(int x, int y, TColor c);
    TColor Pixels(int x, int y) { return Pixel(x, y); }
    void SetPixels(int x, int y, TColor c) { SetPixel(x, y, c); }
    gdi::Image* Image() const { return image_; }
    void SetImage(gdi::Image* img) { image_ = img; }

private:
    friend class TBitmap;
    void Changing() {
        if (OnChanging) OnChanging();
    }
    void applyPen();
    void applyBrush();
    void applyFont();
    void applyBrushTo(HDC dc);
    // A hatched or bitmap brush fills through the GDI's pattern brushes: runs `draw` on
    // the canvas's device context and answers true; false for other brushes.
    bool fillThroughDC(const std::function<void(HDC)>& draw);
    bool brushDirty_ = true;
    void releaseHandle();
    HDC handle_ = nullptr;
    HDC external_ = nullptr;
    HBITMAP bitmapHandle_ = nullptr;  // the bitmap a bitmap's canvas DC holds
    TFont font_;
    TPen pen_;
    TBrush brush_;
    gdi::Painter* painter_ = nullptr;
    gdi::Image* image_ = nullptr;
    std::unique_ptr<gdi::Painter> own_;
};

// A canvas bound to a painter for one scope: unbound when the scope is left, by return or
// by exception, so a canvas never keeps a painter that is gone.
//
//   TCanvasBinding bound(canvas_, p);
//   Paint();
class TCanvasBinding {
public:
    TCanvasBinding(TCanvas& canvas, gdi::Painter& painter) : canvas_(canvas) {
        canvas_.Bind(&painter);
    }
    TCanvasBinding(const TCanvasBinding&) = delete;
    TCanvasBinding& operator=(const TCanvasBinding&) = delete;
    ~TCanvasBinding() { canvas_.Unbind(); }

private:
    TCanvas& canvas_;
};

// A one-pixel 3D frame: top and left edges in one colour, bottom and right in the other.
void Frame3D(TCanvas& c, const TRect& r, TColor topLeft, TColor bottomRight);

class TGraphic : public TPersistent {
public:
    std::string ClassName() const override { return "TGraphic"; }
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void Draw(TCanvas* c, const TRect& r) = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual void LoadFromFile(const std::string& name) = 0;
    virtual void SaveToFile(const std::string& name) = 0;
    virtual void LoadFromData(const std::string& bytes) = 0;
    // The picture from clipboard data of a format (the data stays the clipboard's); raises
    // EInvalidGraphic for a format the class does not read.
    virtual void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);
    // The picture as clipboard data: its format, a new handle for the clipboard to take, and
    // a palette (or null). Raises EInvalidGraphic when the class has no clipboard form.
    virtual void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette);
    bool Transparent = false;
    std::function<void()> OnChange;
};

enum TPixelFormat {
    pfDevice,
    pf1bit,
    pf4bit,
    pf8bit,
    pf15bit,
    pf16bit,
    pf24bit,
    pf32bit,
    pfCustom
};

// Bits a pixel of the format takes (15-bit pixels take 16); 32 for the device format.
int PixelFormatBits(TPixelFormat pf);
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };
namespace gdi {
struct Bitmap;
}

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    std::string ClassName() const override { return "TBitmap"; }
    int Width() const override { return image_.width(); }
    int Height() const override { return image_.height(); }
    void SetSize(int w, int h);
    void SetWidth(int w) { SetSize(w, Height()); }
    void SetHeight(int h) { SetSize(Width(), h); }
    TCanvas* Canvas();
    void Draw(TCanvas* c, const TRect& r) override;
    void LoadFromFile(const std::string& name) override;
    void SaveToFile(const std::string& name) override;
    void LoadFromData(const std::string& bytes) override;
    // CF_BITMAP: a copy of the clipboard's bitmap / a new bitmap of the pixels.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
    void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;
    // Row y (0 = the top) in the pixel format's layout; 32 bits (and pfDevice): B G R A.
    uint8_t* ScanLine(int y);
    gdi::Image& Image();
    const gdi::Image& Image() const { return image_; }
    TColor TransparentColor = clNone;  // clNone: the bottom-left pixel's colour
    TTransparentMode TransparentMode = tmAuto;
    TPixelFormat PixelFormat() const { return pixelFormat_; }
    void SetPixelFormat(TPixelFormat pf);
    bool Monochrome() const { return pixelFormat_ == pf1bit; }
    void SetMonochrome(bool m) { SetPixelFormat(m ? pf1bit : pfDevice); }
    TBitmapHandleType HandleType() const { return pixelFormat_ == pfDevice ? bmDDB : bmDIB; }
    void SetHandleType(TBitmapHandleType t);
    // The colour table of 1, 4 and 8-bit formats as a palette (owned by the bitmap).
    HPALETTE Palette();
    void SetPalette(HPALETTE pal);  // copied
    // The bitmap as a GDI bitmap (owned by the bitmap); drawing through it changes the bitmap.
    HBITMAP Handle();
    // Takes over a GDI bitmap: its pixels become this bitmap's and the handle now refers to it.
    void SetHandle(HBITMAP h);
    void Assign(const TBitmap& other);

private:
    // Reads an uncompressed or bit-field bitmap file through the GDI, so a file shows the
    // same colours however it is loaded; false for other data (run-length compressed files
    // and other formats are the toolkit's).
    bool LoadBitFieldBmp(const std::string& bytes);
    void bindCanvas();
    void unbindCanvas();
    std::shared_ptr<gdi::Bitmap> gdiBitmap();
    gdi::Image image_;
    TPixelFormat pixelFormat_ = pfDevice;
    std::shared_ptr<gdi::Bitmap> bm_;
    HBITMAP handle_ = nullptr;
    HPALETTE palette_ = nullptr;
    std::unique_ptr<TCanvas> canvas_;
    std::unique_ptr<gdi::Painter> painter_;
};

// A picture of any registered format (by file extension).
class TPicture : public TPersistent {
public:
    std::string ClassName() const override { return "TPicture"; }
    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> g);
    TBitmap* Bitmap();  // makes the picture a bitmap when it is something else
    void LoadFromFile(const std::string& name);
    void LoadFromData(const std::string& ext, const std::string& bytes);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    std::function<void()> OnChange;
    static void RegisterFileFormat(const std::string& ext,
                                   std::function<std::unique_ptr<TGraphic>()> make);
    // A picture class of its own for an extension, with the text that names the format
    // (a file dialog's filter shows it).
    static void RegisterFileFormat(const std::string& ext, const std::string& description,
                                   const std::string& className,
                                   std::function<std::unique_ptr<TGraphic>()> make);
    // The text registered for an extension ("" when none); whether it is registered.
    static std::string FileFormatDescription(const std::string& ext);
    static bool SupportsFileFormat(const std::string& ext);
    // Takes out every extension and clipboard format registered for the class.
    static void UnregisterGraphicClass(const std::string& className);
    // Picture classes by clipboard format (CF_BITMAP is a bitmap from the start).
    static void RegisterClipboardFormat(UINT format,
                                        std::function<std::unique_ptr<TGraphic>()> make,
                                        const std::string& className = "");
    static void UnregisterClipboardFormat(UINT format);
    static bool SupportsClipboardFormat(UINT format);
    // A picture of the class registered for the format, loaded from the clipboard's data.
    void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette);

private:
    std::unique_ptr<TGraphic> graphic_;
};
