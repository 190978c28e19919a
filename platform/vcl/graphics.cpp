#include "platform/vcl/graphics.h"
#include "platform/vcl/icon.h"

#include <cmath>
#include <cstring>
#include <map>
#include <vector>

#include "platform/gdi/iconDraw.h"
#include "platform/user/clipboard.h"
#include "platform/user/paint.h"

COLORREF ColorToRGB(TColor c) {
    if (uint32_t(c) & 0x80000000u) return GetSysColor(int(uint32_t(c) & 0xFF));
    return COLORREF(c) & 0x00FFFFFF;
}

bool IdentToColor(const std::string& ident, TColor& out) {
    static const std::map<std::string, TColor> names = {
        {"clblack", clBlack},
        {"clmaroon", clMaroon},
        {"clgreen", clGreen},
        {"clolive", clOlive},
        {"clnavy", clNavy},
        {"clpurple", clPurple},
        {"clteal", clTeal},
        {"clgray", clGray},
        {"clsilver", clSilver},
        {"clred", clRed},
        {"cllime", clLime},
        {"clyellow", clYellow},
        {"clblue", clBlue},
        {"clfuchsia", clFuchsia},
        {"claqua", clAqua},
        {"clwhite", clWhite},
        {"clnone", clNone},
        {"cldefault", clDefault},
        {"clbtnface", clBtnFace},
        {"clwindow", clWindow},
        {"clwindowtext", clWindowText},
        {"clbtntext", clBtnText},
        {"clhighlight", clHighlight},
        {"clhighlighttext", clHighlightText},
        {"clbtnshadow", clBtnShadow},
        {"clbtnhighlight", clBtnHighlight},
        {"clgraytext", clGrayText},
        {"clactivecaption", clActiveCaption},
        {"clinactivecaption", clInactiveCaption},
        {"clcaptiontext", clCaptionText},
        {"clinfobk", clInfoBk},
        {"clinfotext", clInfoText},
        {"cl3ddkshadow", cl3DDkShadow},
        {"cl3dlight", cl3DLight},
        {"clwindowframe", clWindowFrame},
        {"clinactivecaptiontext", clInactiveCaptionText},
        {"clscrollbar", clScrollBar},
        {"clbackground", clBackground},
    };
    auto it = names.find(LowerCase(ident));
    if (it == names.end()) return false;
    out = it->second;
    return true;
}

// ---------------------------------------------------------------- font

int TFont::Size() const { return int(std::lround(-height_ * 72.0 / 96.0)); }
void TFont::SetSize(int points) { SetHeight(-int(std::lround(points * 96.0 / 72.0))); }

void TFont::Assign(const TFont& f) {
    name_ = f.name_;
    height_ = f.height_;
    color_ = f.color_;
    style_ = f.style_;
    Charset = f.Charset;
    Changed();
}

gdi::FontSpec TFont::AsFontSpec() const {
    gdi::FontSpec s;
    s.name = name_;
    s.pixelHeight = height_ < 0 ? -height_ : std::max(1, height_ * 4 / 5);
    s.bold = style_.count(fsBold) > 0;
    s.italic = style_.count(fsItalic) > 0;
    s.underline = style_.count(fsUnderline) > 0;
    s.strikeOut = style_.count(fsStrikeOut) > 0;
    s.color = ColorToRGB(color_);
    return s;
}

TFont::~TFont() {
    if (handle_) DeleteObject(handle_);
}

HFONT TFont::Handle() {
    LOGFONTA lf;
    lf.lfHeight = height_;
    lf.lfWeight = style_.count(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.count(fsItalic) ? 1 : 0;
    lf.lfUnderline = style_.count(fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = style_.count(fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = Charset;
    std::strncpy(lf.lfFaceName, name_.c_str(), LF_FACESIZE - 1);
    if (handle_ && GetObjectType(handle_) == OBJ_FONT &&
        std::memcmp(&lf, &handleOf_, sizeof lf) == 0)
        return handle_;
    if (handle_) DeleteObject(handle_);
    handleOf_ = lf;
    return handle_ = CreateFontIndirectA(&lf);
}

// ---------------------------------------------------------------- pen and brush

TPen::~TPen() {
    if (handle_) DeleteObject(handle_);
}

HPEN TPen::Handle() {
    LOGPEN lp;
    lp.lopnStyle = Style == psClear ? PS_NULL : UINT(Style);
    lp.lopnWidth.x = Width;
    lp.lopnColor = ColorToRGB(Color);
    if (handle_ && GetObjectType(handle_) == OBJ_PEN &&
        std::memcmp(&lp, &handleOf_, sizeof lp) == 0)
        return handle_;
    if (handle_) DeleteObject(handle_);
    handleOf_ = lp;
    return handle_ = CreatePenIndirect(&lp);
}

TBrush::~TBrush() {
    if (handle_) DeleteObject(handle_);
}

void TBrush::Assign(const TBrush& other) {
    if (&other == this) return;
    auto notify = std::move(OnChange);
    OnChange = nullptr;
    const bool changed = Color != other.Color || Style != other.Style || Bitmap != other.Bitmap;
    Color = other.Color;
    Style = other.Style;
    Bitmap = other.Bitmap;
    OnChange = std::move(notify);
    if (changed) Changed();
}

bool TBrush::Patterned() const {
    const TBitmap* bmp = Bitmap;
    return (bmp && !bmp->Empty()) || (Style != bsSolid && Style != bsClear);
}

HBRUSH TBrush::Handle() {
    LOGBRUSH lb;
    TBitmap* bmp = Bitmap;
    if (bmp && !bmp->Empty()) {
        lb.lbStyle = BS_PATTERN;
        lb.lbHatch = uintptr_t(bmp->Handle());
    } else if (Style == bsClear) {
        lb.lbStyle = BS_NULL;
    } else if (Style == bsSolid) {
        lb.lbStyle = BS_SOLID;
    } else {
        lb.lbStyle = BS_HATCHED;
        const int hatch = HS_HORIZONTAL + (Style - bsHorizontal);
        lb.lbHatch = static_cast<uintptr_t>(hatch);
    }
    lb.lbColor = ColorToRGB(Color);
    // A pattern brush holds a copy of the bitmap's pixels, which may have changed since.
    if (handle_ && lb.lbStyle != BS_PATTERN && GetObjectType(handle_) == OBJ_BRUSH &&
        std::memcmp(&lb, &handleOf_, sizeof lb) == 0)
        return handle_;
    if (handle_) DeleteObject(handle_);
    handleOf_ = lb;
    return handle_ = CreateBrushIndirect(&lb);
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas() {
    brush_.OnChange = [this] { brushDirty_ = true; };
}
TCanvas::~TCanvas() { releaseHandle(); }

void TCanvas::Bind(gdi::Painter* painter) {
    own_.reset();
    external_ = nullptr;
    painter_ = painter;
}
void TCanvas::Unbind() {
    painter_ = nullptr;
    own_.reset();
    external_ = nullptr;
    releaseHandle();
}

namespace {
bool IsDC(HDC h) {
    const DWORD type = GetObjectType(h);
    return type == OBJ_DC || type == OBJ_MEMDC;
}
}  // namespace

void TCanvas::releaseHandle() {
    if (handle_) DeleteDC(handle_);
    handle_ = nullptr;
}

void TCanvas::SetHandle(HDC h) {
    if (h && h == external_) return;
    painter_ = nullptr;
    own_.reset();
    releaseHandle();
    external_ = nullptr;
    POINT origin{};
    gdi::Image* img = gdi::DCImage(h, &origin);
    if (!img) return;
    external_ = h;
    brushDirty_ = true;
    // The pixels may be held by a painter already (the context's own): draw through it.
    if (gdi::Painter* active = gdi::Painter::ActiveOn(*img)) {
        painter_ = active;
    } else {
        own_ = gdi::NewPainter(*img);
        own_->setOrigin(origin.x, origin.y);
        painter_ = own_.get();
    }
}

void TCanvas::DrawFocusRect(const TRect& r) {
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    ::DrawFocusRect(Handle(), &rc);
}

HDC TCanvas::Handle() {
    Changing();
    if (external_) {
        if (IsDC(external_)) {
            SelectObject(external_, pen_.Handle());
            SelectObject(external_, font_.Handle());
            SetTextColor(external_, ColorToRGB(font_.Color()));
            applyBrushTo(external_);
            return external_;
        }
        external_ = nullptr;
    }
    if (!IsDC(handle_)) {
        handle_ = gdi::CreateCanvasDC();
        brushDirty_ = true;
    }
    if (bitmapHandle_) {
        // A bitmap's canvas: a memory DC holding the bitmap.
        gdi::SetCanvasDCBitmap(handle_, bitmapHandle_);
    } else {
        POINT origin{};
        std::vector<int> clip;
        bool clipped = false;
        if (painter_) {
            // A graphic control's canvas: the painter's origin and clip are the control's. The
            // whole clip region, not its box: a window's background leaves out its opaque
            // children, and so must whatever a hook draws through this context.
            int x = 0, y = 0;
            painter_->origin(x, y);
            origin = POINT{x, y};
            clipped = painter_->clipRects(clip);
        }
        gdi::SetCanvasDCImage(handle_, painter_ ? &painter_->target() : image_, origin,
                              clipped ? &clip : nullptr);
    }
    SelectObject(handle_, pen_.Handle());
    SelectObject(handle_, font_.Handle());
    SetTextColor(handle_, ColorToRGB(font_.Color()));
    applyBrushTo(handle_);
    return handle_;
}

// The brush is selected every time; the background colour and mode only when the brush
// changed (or the context is new), so what a caller set on the context after that stays.
// A solid brush fills behind text and hatches with its colour; any other lets through.
void TCanvas::applyBrushTo(HDC dc) {
    SelectObject(dc, brush_.Handle());
    if (!brushDirty_) return;
    brushDirty_ = false;
    const bool solid = brush_.Style == bsSolid && !brush_.Patterned();
    SetBkColor(dc, solid ? ColorToRGB(brush_.Color) : ~ColorToRGB(brush_.Color) & 0xFFFFFF);
    SetBkMode(dc, solid ? OPAQUE : TRANSPARENT);
}

bool TCanvas::fillThroughDC(const std::function<void(HDC)>& draw) {
    if (!brush_.Patterned()) return false;
    if (painter_ || external_ || image_ || bitmapHandle_) draw(Handle());
    return true;
}

void TCanvas::applyPen() {
    if (painter_)
        painter_->setPen(
            ColorToRGB(pen_.Color), pen_.Width,
            pen_.Style == psClear ? PS_NULL : PenDrawnStyle(int(pen_.Style), pen_.Width));
}
void TCanvas::applyBrush() {
    if (painter_) painter_->setBrush(ColorToRGB(brush_.Color), brush_.Style == bsClear ? 1 : 0);
}
void TCanvas::applyFont() {
    if (painter_) painter_->setFont(font_.AsFontSpec());
}

void TCanvas::FillRect(const TRect& r) {
    Changing();
    if (fillThroughDC([&](HDC dc) {
            RECT rc{r.Left, r.Top, r.Right, r.Bottom};
            ::FillRect(dc, &rc, brush_.Handle());
        }))
        return;
    if (painter_ && brush_.Style != bsClear)
        painter_->fillRect(r.Left, r.Top, r.Right, r.Bottom, ColorToRGB(brush_.Color));
}
void TCanvas::FrameRect(const TRect& r) {
    Changing();
    if (!painter_) return;
    COLORREF c = ColorToRGB(brush_.Color);
    painter_->fillRect(r.Left, r.Top, r.Right, r.Top + 1, c);
    painter_->fillRect(r.Left, r.Bottom - 1, r.Right, r.Bottom, c);
    painter_->fillRect(r.Left, r.Top, r.Left + 1, r.Bottom, c);
    painter_->fillRect(r.Right - 1, r.Top, r.Right, r.Bottom, c);
}
void TCanvas::Rectangle(int l, int t, int r, int b) {
    Changing();
    if (fillThroughDC([&](HDC dc) { ::Rectangle(dc, l, t, r, b); })) return;
    applyPen();
    applyBrush();
    if (painter_) painter_->rectangle(l, t, r, b);
}
void TCanvas::Ellipse(int l, int t, int r, int b) {
    Changing();
    if (fillThroughDC([&](HDC dc) { ::Ellipse(dc, l, t, r, b); })) return;
    applyPen();
    applyBrush();
    if (painter_) painter_->ellipse(l, t, r, b);
}
void TCanvas::MoveTo(int x, int y) { PenPos = Point(x, y); }
void TCanvas::LineTo(int x, int y) {
    Changing();
    applyPen();
    if (painter_) painter_->line(PenPos.X, PenPos.Y, x, y);
    PenPos = Point(x, y);
}
void TCanvas::Polygon(const std::vector<TPoint>& pts) {
    Changing();
    if (fillThroughDC([&](HDC dc) {
            std::vector<POINT> points;
            for (const TPoint& p : pts) points.push_back(POINT{p.X, p.Y});
            ::Polygon(dc, points.data(), int(points.size()));
        }))
        return;
    applyPen();
    applyBrush();
    std::vector<int> xy;
    for (auto& p : pts) {
        xy.push_back(p.X);
        xy.push_back(p.Y);
    }
    if (painter_) painter_->polygon(xy.data(), int(pts.size()));
}
void TCanvas::TextOut(int x, int y, const std::string& text) {
    Changing();
    applyFont();
    // Only a solid brush fills behind the text.
    if (painter_)
        painter_->textOut(x, y, text, brush_.Style == bsSolid && !brush_.Patterned(),
                          ColorToRGB(brush_.Color));
    PenPos = Point(x + TextWidth(text), y);
}
void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    Changing();
    if (!painter_) return;
    FillRect(r);
    painter_->setClip(r.Left, r.Top, r.Right, r.Bottom);
    applyFont();
    painter_->textOut(x, y, text, false, 0);
    painter_->clearClip();
}
int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
    RECT rc{r.Left, r.Top, r.Right, r.Bottom};
    int h = ::DrawTextA(Handle(), text.c_str(), int(text.size()), &rc, flags);
    if (flags & DT_CALCRECT) r = Rect(rc.left, rc.top, rc.right, rc.bottom);
    return h;
}
int TCanvas::TextWidth(const std::string& text) {
    return gdi::TextAdvance(font_.AsFontSpec(), text);
}
int TCanvas::TextHeight(const std::string&) { return gdi::FontInfoOf(font_.AsFontSpec()).height; }
void TCanvas::Draw(int x, int y, TGraphic* g) {
    if (g && !g->Empty()) g->Draw(this, Rect(x, y, x + g->Width(), y + g->Height()));
}
void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
    if (g && !g->Empty()) g->Draw(this, r);
}
void TCanvas::RoundRect(int l, int t, int r, int b, int ew, int eh) {
    ::RoundRect(Handle(), l, t, r, b, ew, eh);
}
void TCanvas::CopyRect(const TRect& dest, TCanvas* src, const TRect& source) {
    if (!src) return;
    HDC from = src->Handle(), to = Handle();
    StretchBlt(to, dest.Left, dest.Top, dest.Width(), dest.Height(), from, source.Left, source.Top,
               source.Width(), source.Height(), CopyMode);
}
void TCanvas::BrushCopy(const TRect& dest, TBitmap* bmp, const TRect& source, TColor color) {
    if (!bmp || bmp->Empty()) return;
    TBitmap part;
    part.SetSize(source.Width(), source.Height());
    part.Canvas()->CopyRect(Rect(0, 0, source.Width(), source.Height()), bmp->Canvas(), source);
    const COLORREF key = ColorToRGB(color), fill = ColorToRGB(brush_.Color);
    gdi::Image& img = part.Image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == key) img.setPixel(x, y, fill);
    DWORD mode = CopyMode;
    CopyMode = SRCCOPY;
    CopyRect(dest, part.Canvas(), Rect(0, 0, source.Width(), source.Height()));
    CopyMode = mode;
}
void TCanvas::DrawImage(const TRect& dest, const gdi::Image& img) {
    if (!painter_) return;
    if (external_ && IsDC(external_)) {
        // A context lent by someone else may have moved its origin or narrowed its clip:
        // the picture goes where its other drawing goes.
        gdi::DrawImageOnDC(external_, RECT{dest.Left, dest.Top, dest.Right, dest.Bottom}, img);
        return;
    }
    if (dest.Width() == img.width() && dest.Height() == img.height())
        painter_->drawImage(dest.Left, dest.Top, img);
    else
        painter_->stretchImage(dest.Left, dest.Top, dest.Right, dest.Bottom, img);
}
TColor TCanvas::Pixel(int x, int y) {
    COLORREF c = GetPixel(Handle(), x, y);
    return c == CLR_INVALID ? clNone : TColor(c);
}
void TCanvas::SetPixel(int x, int y, TColor c) { ::SetPixel(Handle(), x, y, ColorToRGB(c)); }

void Frame3D(TCanvas& c, const TRect& r, TColor topLeft, TColor bottomRight) {
    c.Pen()->Color = topLeft;
    c.MoveTo(r.Left, r.Bottom - 1);
    c.LineTo(r.Left, r.Top);
    c.LineTo(r.Right - 1, r.Top);
    c.Pen()->Color = bottomRight;
    c.LineTo(r.Right - 1, r.Bottom - 1);
    c.LineTo(r.Left - 1, r.Bottom - 1);
}

// ---------------------------------------------------------------- bitmap

int PixelFormatBits(TPixelFormat pf) {
    switch (pf) {
        case pf1bit:
            return 1;
        case pf4bit:
            return 4;
        case pf8bit:
            return 8;
        case pf15bit:
        case pf16bit:
            return 16;
        case pf24bit:
            return 24;
        default:
            return 32;
    }
}

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() {
    unbindCanvas();
    if (handle_) DeleteObject(handle_);
    if (palette_) DeleteObject(palette_);
}

void TBitmap::unbindCanvas() {
    if (canvas_) canvas_->Unbind();
    painter_.reset();
}

void TBitmap::bindCanvas() {
    if (!canvas_) return;
    painter_ = gdi::NewPainter(image_);
    canvas_->Bind(painter_.get());
    canvas_->SetImage(&image_);
}

// The GDI side of the bitmap: its image, nominal depth and, for formats other than 32 bits,
// the packed rows ScanLine hands out.
std::shared_ptr<gdi::Bitmap> TBitmap::gdiBitmap() {
    if (!bm_) bm_ = gdi::BitmapOver(image_);
    return bm_;
}

gdi::Image& TBitmap::Image() {
    if (bm_) gdi::UpdateBitmapImage(*bm_);
    return image_;
}

void TBitmap::SetPixelFormat(TPixelFormat pf) {
    pixelFormat_ = pf;
    const int bits = PixelFormatBits(pf);
    // Formats other than 32 bits keep packed rows of their layout, which ScanLine hands out.
    const bool packed = !(pf == pfDevice || pf == pf32bit || pf == pfCustom);
    gdi::SetBitmapFormat(*gdiBitmap(), pf == pfDevice ? 32 : bits, packed ? bits : 0, pf == pf16bit,
                         palette_);
    if (!packed) return;
    if (OnChange) OnChange();
}

void TBitmap::SetHandleType(TBitmapHandleType t) {
    if (t == bmDDB)
        SetPixelFormat(pfDevice);
    else if (pixelFormat_ == pfDevice)
        SetPixelFormat(pf32bit);
}

HPALETTE TBitmap::Palette() {
    const std::vector<RGBQUAD> colors = bm_ ? gdi::BitmapColors(*bm_) : std::vector<RGBQUAD>{};
    if (!palette_ && !colors.empty()) {
        std::vector<uint8_t> mem(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
        auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = WORD(colors.size());
        for (size_t i = 0; i < colors.size(); ++i)
            lp->palPalEntry[i] =
                PALETTEENTRY{colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue, 0};
        palette_ = CreatePalette(lp);
    }
    return palette_;
}

void TBitmap::SetPalette(HPALETTE pal) {
    // The entries are read first: the palette given may be the bitmap's own.
    const bool valid = GetObjectType(pal) == OBJ_PAL;
    const UINT count = valid ? GetPaletteEntries(pal, 0, 0, nullptr) : 0;
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palNumEntries = WORD(count);
    if (count) GetPaletteEntries(pal, 0, count, lp->palPalEntry);
    if (palette_) DeleteObject(palette_);
    palette_ = nullptr;
    if (!valid) return;
    palette_ = CreatePalette(lp);
    if (pixelFormat_ == pf4bit || pixelFormat_ == pf8bit)
        SetPixelFormat(pixelFormat_);  // new colour table
}

HBITMAP TBitmap::Handle() {
    auto b = gdiBitmap();
    if (!handle_ || !GetObjectType(handle_)) handle_ = gdi::AddBitmapHandle(b);
    return handle_;
}

void TBitmap::SetHandle(HBITMAP h) {
    int bpp = 0;
    gdi::Image* src = gdi::BitmapImage(h, &bpp);
    if (!src) throw EInvalidOperation("Invalid bitmap handle");
    unbindCanvas();
    image_ = *src;
    bindCanvas();
    if (handle_ && handle_ != h) DeleteObject(handle_);
    bm_.reset();
    SetPixelFormat(bpp == 1    ? pf1bit
                   : bpp == 4  ? pf4bit
                   : bpp == 8  ? pf8bit
                   : bpp == 16 ? pf16bit
                   : bpp == 24 ? pf24bit
                               : pfDevice);
    handle_ = h;
    gdi::RebindBitmapHandle(h, gdiBitmap());
    if (OnChange) OnChange();
}

void TBitmap::Assign(const TBitmap& other) {
    const_cast<TBitmap&>(other).Image();  // bring the other's pixels up to date
    unbindCanvas();
    image_ = other.image_;
    bindCanvas();
    Transparent = other.Transparent;
    TransparentColor = other.TransparentColor;
    TransparentMode = other.TransparentMode;
    if (bm_) gdi::DropBitmapRows(*bm_);
    SetPixelFormat(other.pixelFormat_);
    if (OnChange) OnChange();
}

void TBitmap::SetSize(int w, int h) {
    if (bm_) gdi::UpdateBitmapImage(*bm_);
    unbindCanvas();
    image_.resize(w, h);
    bindCanvas();
    if (bm_ && gdi::HasBitmapRows(*bm_)) SetPixelFormat(pixelFormat_);  // rows of the new size
    if (OnChange) OnChange();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        bindCanvas();
        canvas_->OnChanging = [this] {
            if (bm_) gdi::BitmapImageChanging(*bm_);
        };
    }
    canvas_->bitmapHandle_ = Handle();
    return canvas_.get();
}

void TBitmap::Draw(TCanvas* c, const TRect& r) {
    if (!c->Bound() || Empty()) return;
    if (bm_) gdi::UpdateBitmapImage(*bm_);
    if (Monochrome() && !Transparent) {
        // Monochrome bitmaps take the canvas's text and background colours.
        HDC dst = c->Handle();
        HDC src = CreateCompatibleDC(dst);
        SelectObject(src, Handle());
        StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, Width(), Height(),
                   c->CopyMode);
        DeleteDC(src);
        return;
    }
    // The bitmap's own painter must finish before its pixels are read.
    TCanvas* own = canvas_.get();
    if (own) unbindCanvas();
    if (Transparent && !image_.hasAlpha()) {
        // Pixels of the transparent colour (the bottom-left pixel by default) are left out.
        bool fixed = TransparentColor != clNone && TransparentMode == tmFixed;
        COLORREF key = fixed || TransparentColor != clNone ? ColorToRGB(TransparentColor)
                                                           : image_.pixel(0, Height() - 1);
        c->DrawImage(r, image_.withColorKey(key));
    } else {
        c->DrawImage(r, image_);
    }
    if (own) bindCanvas();
}

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    gdi::Image* src =
        format == CF_BITMAP ? gdi::BitmapImage(static_cast<HBITMAP>(data), nullptr) : nullptr;
    if (!src) throw EInvalidGraphic("Unsupported clipboard format");
    // A copy: the bitmap stays the clipboard's.
    unbindCanvas();
    image_ = *src;
    bindCanvas();
    if (bm_) gdi::DropBitmapRows(*bm_);
    SetPixelFormat(pfDevice);
    if (palette) SetPalette(palette);
    if (OnChange) OnChange();
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
    const int w = Width(), h = Height();
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    gdi::Image& img = Image();
    for (int y = 0; y < h; ++y)
        std::memcpy(px.data() + size_t(y) * size_t(w), img.scanLine(y), size_t(w) * 4);
    format = CF_BITMAP;
    data = CreateBitmap(w, h, 1, 32, px.data());
    palette = nullptr;
}

bool TBitmap::LoadBitFieldBmp(const std::string& bytes) {
    HBITMAP h = BitmapFromBmpFile(bytes);
    if (!h) return false;
    const bool keep = bm_ && gdi::HasBitmapRows(*bm_);
    const TPixelFormat format = pixelFormat_;
    SetHandle(h);
    if (keep) SetPixelFormat(format);
    return true;
}

void TBitmap::LoadFromFile(const std::string& name) {
    if (FileExists(name) && LoadBitFieldBmp(ReadFileText(name))) return;
    unbindCanvas();
    bool ok = image_.load(name);
    bindCanvas();
    if (!ok) throw EInvalidOperation("Bitmap image is not valid: " + name);
    if (bm_ && gdi::HasBitmapRows(*bm_)) SetPixelFormat(pixelFormat_);
    if (OnChange) OnChange();
}

void TBitmap::LoadFromData(const std::string& bytes) {
    if (LoadBitFieldBmp(bytes)) return;
    unbindCanvas();
    bool ok = image_.loadFromData(bytes.data(), bytes.size());
    bindCanvas();
    if (!ok) throw EInvalidOperation("Bitmap image is not valid");
    if (bm_ && gdi::HasBitmapRows(*bm_)) SetPixelFormat(pixelFormat_);
    if (OnChange) OnChange();
}

void TBitmap::SaveToFile(const std::string& name) {
    if (bm_) gdi::UpdateBitmapImage(*bm_);
    unbindCanvas();
    bool ok = image_.save(name);
    bindCanvas();
    if (!ok) throw EFCreateError("Cannot create file \"" + name + "\"");
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= Height()) throw EInvalidOperation("Scan line index out of range");
    if (uint8_t* row = bm_ ? gdi::BitmapRow(*bm_, y) : nullptr) return row;
    return image_.scanLine(y);
}

// ---------------------------------------------------------------- picture

namespace {

struct TGraphicFormat {
    std::function<std::unique_ptr<TGraphic>()> make;
    std::string description;
    std::string className;  // of a class registered for itself ("" for the built-in ones)
};

template <class G>
TGraphicFormat BuiltIn() {
    return TGraphicFormat{[] { return std::make_unique<G>(); }, "", ""};
}

// Both tables in one object, made on first use, so whatever registered into either one
// (when the program starts) can still take itself out when the program ends.
struct TGraphicRegistry {
    std::map<std::string, TGraphicFormat> files = {
        {"bmp", BuiltIn<TBitmap>()},  {"png", BuiltIn<TBitmap>()}, {"jpg", BuiltIn<TBitmap>()},
        {"jpeg", BuiltIn<TBitmap>()}, {"gif", BuiltIn<TBitmap>()}, {"ico", BuiltIn<TIcon>()},
        {"cur", BuiltIn<TIcon>()},
    };
    std::map<UINT, TGraphicFormat> clipboard = {{CF_BITMAP, BuiltIn<TBitmap>()}};
};

TGraphicRegistry& Registry() {
    static TGraphicRegistry r;
    return r;
}

std::map<std::string, TGraphicFormat>& Formats() { return Registry().files; }
std::map<UINT, TGraphicFormat>& ClipboardFormats() { return Registry().clipboard; }

}  // namespace

void TPicture::RegisterClipboardFormat(UINT format, std::function<std::unique_ptr<TGraphic>()> make,
                                       const std::string& className) {
    ClipboardFormats()[format] = TGraphicFormat{std::move(make), "", className};
}

void TPicture::UnregisterClipboardFormat(UINT format) {
    if (format != CF_BITMAP) ClipboardFormats().erase(format);
}

bool TPicture::SupportsClipboardFormat(UINT format) { return ClipboardFormats().count(format) > 0; }

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
    auto it = ClipboardFormats().find(format);
    if (it == ClipboardFormats().end()) throw EInvalidGraphic("Unsupported clipboard format");
    auto g = it->second.make();
    g->LoadFromClipboardFormat(format, data, palette);
    SetGraphic(std::move(g));
}

void TPicture::RegisterFileFormat(const std::string& ext,
                                  std::function<std::unique_ptr<TGraphic>()> make) {
    RegisterFileFormat(ext, "", "", std::move(make));
}

void TPicture::RegisterFileFormat(const std::string& ext, const std::string& description,
                                  const std::string& className,
                                  std::function<std::unique_ptr<TGraphic>()> make) {
    Formats()[LowerCase(ext)] = TGraphicFormat{std::move(make), description, className};
}

std::string TPicture::FileFormatDescription(const std::string& ext) {
    auto it = Formats().find(LowerCase(ext));
    return it == Formats().end() ? std::string() : it->second.description;
}

bool TPicture::SupportsFileFormat(const std::string& ext) {
    return Formats().count(LowerCase(ext)) > 0;
}

void TPicture::UnregisterGraphicClass(const std::string& className) {
    if (className.empty()) return;
    std::erase_if(Formats(), [&](const auto& f) { return f.second.className == className; });
    std::erase_if(ClipboardFormats(), [&](const auto& f) {
        return f.first != CF_BITMAP && f.second.className == className;
    });
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
    graphic_ = std::move(g);
    if (graphic_)
        graphic_->OnChange = [this] {
            if (OnChange) OnChange();
        };
    if (OnChange) OnChange();
}

TBitmap* TPicture::Bitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(graphic_.get())) return b;
    SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(graphic_.get());
}

void TPicture::LoadFromFile(const std::string& name) {
    std::string ext = LowerCase(ExtractFileExt(name));
    if (!ext.empty()) ext = ext.substr(1);
    LoadFromData(ext, ReadFileText(name));
}

void TPicture::LoadFromData(const std::string& ext, const std::string& bytes) {
    auto it = Formats().find(LowerCase(ext));
    if (it == Formats().end())
        throw EInvalidOperation("Unknown picture file extension (." + ext + ")");
    auto g = it->second.make();
    g->LoadFromData(bytes);
    SetGraphic(std::move(g));
}
