#include "platform/vcl/graphics.h"

#include <cmath>
#include <map>

namespace {

// Windows classic scheme colours, 0x00BBGGRR.
const COLORREF kSysColors[] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4, 0x808080, 0x808080, 0x000000, 0xC8D0D4,
    0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000, 0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0,
};

}  // namespace

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= int(sizeof kSysColors / sizeof kSysColors[0])) return 0;
    return kSysColors[index];
}

COLORREF ColorToRGB(TColor c) {
    if (uint32_t(c) & 0x80000000u) return GetSysColor(int(uint32_t(c) & 0xFF));
    return COLORREF(c) & 0x00FFFFFF;
}

bool IdentToColor(const std::string& ident, TColor& out) {
    static const std::map<std::string, TColor> names = {
        {"clblack", clBlack}, {"clmaroon", clMaroon}, {"clgreen", clGreen}, {"clolive", clOlive},
        {"clnavy", clNavy}, {"clpurple", clPurple}, {"clteal", clTeal}, {"clgray", clGray},
        {"clsilver", clSilver}, {"clred", clRed}, {"cllime", clLime}, {"clyellow", clYellow},
        {"clblue", clBlue}, {"clfuchsia", clFuchsia}, {"claqua", clAqua}, {"clwhite", clWhite},
        {"clnone", clNone}, {"cldefault", clDefault}, {"clbtnface", clBtnFace}, {"clwindow", clWindow},
        {"clwindowtext", clWindowText}, {"clbtntext", clBtnText}, {"clhighlight", clHighlight},
        {"clhighlighttext", clHighlightText}, {"clbtnshadow", clBtnShadow}, {"clbtnhighlight", clBtnHighlight},
        {"clgraytext", clGrayText}, {"clactivecaption", clActiveCaption}, {"clinactivecaption", clInactiveCaption},
        {"clcaptiontext", clCaptionText}, {"clinfobk", clInfoBk}, {"clinfotext", clInfoText},
        {"cl3ddkshadow", cl3DDkShadow}, {"cl3dlight", cl3DLight}, {"clwindowframe", clWindowFrame},
        {"clinactivecaptiontext", clInactiveCaptionText}, {"clscrollbar", clScrollBar}, {"clbackground", clBackground},
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

qtbridge::FontSpec TFont::AsFontSpec() const {
    qtbridge::FontSpec s;
    s.name = name_;
    s.pixelHeight = height_ < 0 ? -height_ : std::max(1, height_ * 4 / 5);
    s.bold = style_.count(fsBold) > 0;
    s.italic = style_.count(fsItalic) > 0;
    s.underline = style_.count(fsUnderline) > 0;
    s.strikeOut = style_.count(fsStrikeOut) > 0;
    s.color = ColorToRGB(color_);
    return s;
}

// ---------------------------------------------------------------- canvas

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::Bind(qtbridge::Painter* painter) { painter_ = painter; }
void TCanvas::Unbind() { painter_ = nullptr; }

void TCanvas::applyPen() { if (painter_) painter_->setPen(ColorToRGB(pen_.Color), pen_.Width, pen_.Style == psClear ? 5 : int(pen_.Style)); }
void TCanvas::applyBrush() { if (painter_) painter_->setBrush(ColorToRGB(brush_.Color), brush_.Style == bsClear ? 1 : 0); }
void TCanvas::applyFont() { if (painter_) painter_->setFont(font_.AsFontSpec()); }

void TCanvas::FillRect(const TRect& r) {
    if (painter_ && brush_.Style != bsClear) painter_->fillRect(r.Left, r.Top, r.Right, r.Bottom, ColorToRGB(brush_.Color));
}
void TCanvas::FrameRect(const TRect& r) {
    if (!painter_) return;
    COLORREF c = ColorToRGB(brush_.Color);
    painter_->fillRect(r.Left, r.Top, r.Right, r.Top + 1, c);
    painter_->fillRect(r.Left, r.Bottom - 1, r.Right, r.Bottom, c);
    painter_->fillRect(r.Left, r.Top, r.Left + 1, r.Bottom, c);
    painter_->fillRect(r.Right - 1, r.Top, r.Right, r.Bottom, c);
}
void TCanvas::Rectangle(int l, int t, int r, int b) { applyPen(); applyBrush(); if (painter_) painter_->rectangle(l, t, r, b); }
void TCanvas::Ellipse(int l, int t, int r, int b) { applyPen(); applyBrush(); if (painter_) painter_->ellipse(l, t, r, b); }
void TCanvas::MoveTo(int x, int y) { PenPos = Point(x, y); }
void TCanvas::LineTo(int x, int y) {
    applyPen();
    if (painter_) painter_->line(PenPos.X, PenPos.Y, x, y);
    PenPos = Point(x, y);
}
void TCanvas::Polygon(const std::vector<TPoint>& pts) {
    applyPen();
    applyBrush();
    std::vector<int> xy;
    for (auto& p : pts) { xy.push_back(p.X); xy.push_back(p.Y); }
    if (painter_) painter_->polygon(xy.data(), int(pts.size()));
}
void TCanvas::TextOut(int x, int y, const std::string& text) {
    applyFont();
    if (painter_) painter_->textOut(x, y, text, brush_.Style != bsClear, ColorToRGB(brush_.Color));
    PenPos = Point(x + TextWidth(text), y);
}
void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
    if (!painter_) return;
    FillRect(r);
    painter_->setClip(r.Left, r.Top, r.Right, r.Bottom);
    applyFont();
    painter_->textOut(x, y, text, false, 0);
    painter_->clearClip();
}
int TCanvas::DrawText(const std::string& text, TRect& r, unsigned flags) {
    applyFont();
    if (painter_) return painter_->drawText(text, r.Left, r.Top, r.Right, r.Bottom, flags);
    qtbridge::FontSpec f = font_.AsFontSpec();
    if (flags & qtbridge::DT_CALCRECT) {
        int w, h;
        if (flags & qtbridge::DT_WORDBREAK) {
            h = qtbridge::WrappedTextHeight(f, text, r.Width());
        } else {
            qtbridge::MeasureText(f, text, w, h);
            r.Right = r.Left + w;
        }
        r.Bottom = r.Top + h;
        return h;
    }
    return 0;
}
int TCanvas::TextWidth(const std::string& text) {
    int w, h;
    qtbridge::MeasureText(font_.AsFontSpec(), text, w, h);
    return w;
}
int TCanvas::TextHeight(const std::string& text) {
    int w, h;
    qtbridge::MeasureText(font_.AsFontSpec(), text.empty() ? "Wg" : text, w, h);
    return h;
}
void TCanvas::Draw(int x, int y, TGraphic* g) {
    if (g && !g->Empty()) g->Draw(this, Rect(x, y, x + g->Width(), y + g->Height()));
}
void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
    if (g && !g->Empty()) g->Draw(this, r);
}
void TCanvas::CopyRect(const TRect& dest, TCanvas* src, const TRect& source) {
    if (!painter_ || !src || !src->image_) return;
    qtbridge::Image part(source.Width(), source.Height());
    {
        qtbridge::Painter p(part);
        p.drawImage(-source.Left, -source.Top, *src->image_);
    }
    painter_->stretchImage(dest.Left, dest.Top, dest.Right, dest.Bottom, part);
}
void TCanvas::DrawImage(const TRect& dest, const qtbridge::Image& img) {
    if (!painter_) return;
    if (dest.Width() == img.width() && dest.Height() == img.height()) painter_->drawImage(dest.Left, dest.Top, img);
    else painter_->stretchImage(dest.Left, dest.Top, dest.Right, dest.Bottom, img);
}
TColor TCanvas::Pixel(int x, int y) const { return image_ ? TColor(image_->pixel(x, y)) : clNone; }
void TCanvas::SetPixel(int x, int y, TColor c) { if (image_) image_->setPixel(x, y, ColorToRGB(c)); }

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

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() {
    if (canvas_) canvas_->Unbind();
}

void TBitmap::SetSize(int w, int h) {
    if (canvas_) canvas_->Unbind();
    painter_.reset();
    image_.resize(w, h);
    if (canvas_) {
        painter_ = std::make_unique<qtbridge::Painter>(image_);
        canvas_->Bind(painter_.get());
        canvas_->SetImage(&image_);
    }
    if (OnChange) OnChange();
}

TCanvas* TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        painter_ = std::make_unique<qtbridge::Painter>(image_);
        canvas_->Bind(painter_.get());
        canvas_->SetImage(&image_);
    }
    return canvas_.get();
}

void TBitmap::Draw(TCanvas* c, const TRect& r) {
    if (!c->Bound() || Empty()) return;
    // The bitmap's own painter must finish before its pixels are read.
    TCanvas* own = canvas_.get();
    if (own) { own->Unbind(); painter_.reset(); }
    if (Transparent && !image_.hasAlpha()) {
        // Pixels of the transparent colour (the bottom-left pixel by default) are left out.
        COLORREF key = TransparentColor == clNone ? image_.pixel(0, Height() - 1) : ColorToRGB(TransparentColor);
        c->DrawImage(r, image_.withColorKey(key));
    } else {
        c->DrawImage(r, image_);
    }
    if (own) {
        painter_ = std::make_unique<qtbridge::Painter>(image_);
        own->Bind(painter_.get());
    }
}

void TBitmap::LoadFromFile(const std::string& name) {
    if (canvas_) canvas_->Unbind();
    painter_.reset();
    if (!image_.load(name)) throw EInvalidOperation("Bitmap image is not valid: " + name);
    if (canvas_) { painter_ = std::make_unique<qtbridge::Painter>(image_); canvas_->Bind(painter_.get()); }
    if (OnChange) OnChange();
}

void TBitmap::LoadFromData(const std::string& bytes) {
    if (canvas_) canvas_->Unbind();
    painter_.reset();
    if (!image_.loadFromData(bytes.data(), bytes.size())) throw EInvalidOperation("Bitmap image is not valid");
    if (canvas_) { painter_ = std::make_unique<qtbridge::Painter>(image_); canvas_->Bind(painter_.get()); }
    if (OnChange) OnChange();
}

void TBitmap::SaveToFile(const std::string& name) {
    if (canvas_) canvas_->Unbind();
    painter_.reset();
    bool ok = image_.save(name);
    if (canvas_) { painter_ = std::make_unique<qtbridge::Painter>(image_); canvas_->Bind(painter_.get()); }
    if (!ok) throw EFCreateError("Cannot create file \"" + name + "\"");
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= Height()) throw EInvalidOperation("Scan line index out of range");
    return image_.scanLine(y);
}

// ---------------------------------------------------------------- picture

namespace {
std::map<std::string, std::function<std::unique_ptr<TGraphic>()>>& Formats() {
    static std::map<std::string, std::function<std::unique_ptr<TGraphic>()>> f = {
        {"bmp", [] { return std::make_unique<TBitmap>(); }},
        {"png", [] { return std::make_unique<TBitmap>(); }},
        {"jpg", [] { return std::make_unique<TBitmap>(); }},
        {"jpeg", [] { return std::make_unique<TBitmap>(); }},
        {"gif", [] { return std::make_unique<TBitmap>(); }},
    };
    return f;
}
}  // namespace

void TPicture::RegisterFileFormat(const std::string& ext, std::function<std::unique_ptr<TGraphic>()> make) {
    Formats()[LowerCase(ext)] = std::move(make);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> g) {
    graphic_ = std::move(g);
    if (graphic_) graphic_->OnChange = [this] { if (OnChange) OnChange(); };
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
    if (it == Formats().end()) throw EInvalidOperation("Unknown picture file extension (." + ext + ")");
    auto g = it->second();
    g->LoadFromData(bytes);
    SetGraphic(std::move(g));
}
