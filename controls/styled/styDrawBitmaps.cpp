// Bitmap placement (centred, stretched, tiled, transparent by colour or mask), embossed and
// disabled images.
#include <vector>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDcTools.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/stySystem.h"

namespace {

constexpr DWORD ROP_DSPDxax = 0x00E20746;

// Selects and realises a palette for one drawing when flag 4096 asks for it and the
// display is deep enough (or the application allows palettes on shallow ones).
class TPaletteScope {
public:
    TPaletteScope(HDC dc, HPALETTE pal, uint16_t flags) : dc_(dc) {
        if (!pal || !(flags & bpPalette)) return;
        if (StyApp && (StyApp->PaletteOption & 1) && GetColorDepth() < 9) return;
        old_ = SelectPalette(dc_, pal, FALSE_);
        RealizePalette(dc_);
        active_ = true;
    }
    TPaletteScope(const TPaletteScope&) = delete;
    TPaletteScope& operator=(const TPaletteScope&) = delete;
    ~TPaletteScope() {
        if (active_) SelectPalette(dc_, old_, FALSE_);
    }
    bool Active() const { return active_; }

private:
    HDC dc_;
    HPALETTE old_ = nullptr;
    bool active_ = false;
};

TColor TransparentColorOf(TBitmap* bmp) {
    if (bmp->TransparentColor != clNone) return bmp->TransparentColor;
    return bmp->Canvas()->Pixel(0, bmp->Height() - 1);
}

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

// Copies `source` (a bitmap of w x h) into a new monochrome bitmap whose 1 bits are the
// pixels of colour `white`.
void MonochromeOf(TCanvas* source, const TRect& sr, COLORREF white, TBitmap* mono) {
    const int w = sr.Right - sr.Left, h = sr.Bottom - sr.Top;
    mono->SetSize(w, h);
    mono->SetMonochrome(true);
    HDC from = source->Handle();
    COLORREF oldBk = SetBkColor(from, white);
    BitBlt(mono->Canvas()->Handle(), 0, 0, w, h, from, sr.Left, sr.Top, SRCCOPY);
    SetBkColor(from, oldBk);
}

// Whether a monochrome bitmap has any 1 (white) bit.
bool AnyPixelSet(TBitmap* mono) {
    for (int y = 0; y < mono->Height(); ++y)
        for (int x = 0; x < mono->Width(); ++x)
            if (mono->Canvas()->Pixel(x, y) != clBlack) return true;
    return false;
}

// The canvas's brush copy: the bitmap's part copied with the pixels of `key` replaced by the
// brush colour, done as the platform does it (the pixels of the key become a mask through
// which the brush is painted).
void BrushCopyRect(HDC dc, const TRect& to, TBitmap* bmp, const TRect& from, COLORREF key,
                   COLORREF brush) {
    const int w = to.Right - to.Left, h = to.Bottom - to.Top;
    const int fw = from.Right - from.Left, fh = from.Bottom - from.Top;
    StretchBlt(dc, to.Left, to.Top, w, h, bmp->Canvas()->Handle(), from.Left, from.Top, fw, fh,
               SRCCOPY);
    TBitmap mono;
    MonochromeOf(bmp->Canvas(), from, key, &mono);
    COLORREF oldText = SetTextColor(dc, 0), oldBk = SetBkColor(dc, 0xFFFFFF);
    {
        TStyDcScope s(dc);
        s.SolidBrush(brush);
        StretchBlt(dc, to.Left, to.Top, w, h, mono.Canvas()->Handle(), 0, 0, fw, fh, ROP_DSPDxax);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}

}  // namespace

void PrepareBitmap(TBitmap* bmp, const TRect& r, TColor color) {
    if (!bmp || RectEmpty(r)) return;
    bmp->SetSize(r.Right - r.Left, r.Bottom - r.Top);
    HBRUSH b = CreateSolidBrush(ColorToRGB(color));
    RECT rc{0, 0, r.Right - r.Left, r.Bottom - r.Top};
    FillRect(bmp->Canvas()->Handle(), &rc, b);
    DeleteObject(b);
}

void MakeEmbossedBitmap(TBitmap* dest, TBitmap* source) {
    if (!dest || !source || source->Empty()) return;
    dest->Assign(*source);
    TCanvas* s = source->Canvas();
    TCanvas* d = dest->Canvas();
    const int w = source->Width(), h = source->Height();
    const TColor background = s->Pixel(0, 0);
    long long sum = 0, count = 0;
    for (int x = 0; x < w; ++x)
        for (int y = 0; y < h; ++y)
            if (TColor p = s->Pixel(x, y); p != background) {
                sum += Brightness(COLORREF(p));
                ++count;
            }
    const int t = count ? -StyRound(200.0 - double(sum) / double(count)) : 0;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            TColor p = s->Pixel(x, y);
            if (p == background) continue;
            int b = Brightness(COLORREF(p));
            TColor tone = b > t + 550   ? clWhite
                          : b > t + 250 ? clBtnHighlight
                          : b > t + 50  ? clBtnShadow
                                        : clBlack;
            d->SetPixel(x, y, tone);
        }
    }
}

void BuildMaskedImage(TCanvas* source, const TRect& sr, TBitmap* mask, TColor transparent,
                      TBitmap* image) {
    if (!source || !mask || !image || RectEmpty(sr)) return;
    const int w = sr.Right - sr.Left, h = sr.Bottom - sr.Top;
    image->SetSize(w, h);
    BitBlt(image->Canvas()->Handle(), 0, 0, w, h, source->Handle(), sr.Left, sr.Top, SRCCOPY);
    MonochromeOf(source, sr, ColorToRGB(transparent), mask);
    // Black where transparent: white mask bits become the background colour (black).
    HDC dc = image->Canvas()->Handle();
    COLORREF oldBk = SetBkColor(dc, 0), oldText = SetTextColor(dc, 0xFFFFFF);
    BitBlt(dc, 0, 0, w, h, mask->Canvas()->Handle(), 0, 0, SRCAND);
    SetBkColor(dc, oldBk);
    SetTextColor(dc, oldText);
}

void MakeMask(TBitmap* source, TBitmap* mask, TBitmap* image, TColor transparent) {
    if (!source || source->Empty()) return;
    BuildMaskedImage(source->Canvas(), Rect(0, 0, source->Width(), source->Height()), mask,
                     transparent, image);
}

void DrawBitmapInRect(TCanvas* dest, const TRect& dr, TCanvas* source, const TRect& sr,
                      uint16_t flags, TColor color, HPALETTE palette, TBitmap* extra,
                      TRect* drawn) {
    if (!dest || RectEmpty(dr)) return;
    const int sw = sr.Right - sr.Left, sh = sr.Bottom - sr.Top;
    const int dw = dr.Right - dr.Left, dh = dr.Bottom - dr.Top;
    HDC dc = dest->Handle();
    TRect place = Rect(dr.Left, dr.Top, dr.Left + sw, dr.Top + sh);
    std::vector<TRect> tiles;
    int oldStretch = 0;
    bool stretched = false;
    if (flags & bpCenter) {
        const int x = dr.Left + (dw - sw) / 2, y = dr.Top + (dh - sh) / 2;
        place = Rect(x, y, x + sw, y + sh);
    } else if (flags & bpStretch) {
        oldStretch = SetStretchBltMode(dc, COLORONCOLOR);
        stretched = true;
        place = dr;
        if ((flags & bpPropFit) == bpPropFit) {
            TRect fit = FitRect(Rect(0, 0, sw, sh), Rect(0, 0, dw, dh));
            place = Rect(dr.Left, dr.Top, dr.Left + fit.Right, dr.Top + fit.Bottom);
        } else if ((flags & bpPropWidth) && sw > 0) {
            place.Bottom = dr.Top + StyRound(double(dw) / sw * sh);
        } else if ((flags & bpPropHeight) && sh > 0) {
            place.Right = dr.Left + StyRound(double(dh) / sh * sw);
        }
    } else if ((flags & bpTile) && sw > 0 && sh > 0) {
        place = dr;
        for (int row = 0; row <= dh / sh; ++row)
            for (int col = 0; col <= dw / sw; ++col) {
                const int x = dr.Left + col * sw, y = dr.Top + row * sh;
                tiles.push_back(Rect(x, y, x + sw, y + sh));
            }
    }
    if (drawn) *drawn = RectEmpty(place) ? dr : place;
    if (tiles.empty()) tiles.push_back(place);

    if (sw > 0 && sh > 0) {
        TPaletteScope pal(dc, palette, flags);
        if ((flags & bpTransparentColor) && extra) {
            dest->Brush()->Color = color;
            const COLORREF key = ColorToRGB(TransparentColorOf(extra)), brush = ColorToRGB(color);
            for (const TRect& t : tiles)
                BrushCopyRect(dc, t, extra, tiles.size() > 1 ? Rect(0, 0, sw, sh) : sr, key, brush);
        } else if (source) {
            auto blit = [&](TCanvas* from, const TRect& fromRect, DWORD rop) {
                for (const TRect& t : tiles)
                    StretchBlt(dc, t.Left, t.Top, t.Right - t.Left, t.Bottom - t.Top,
                               from->Handle(), fromRect.Left, fromRect.Top,
                               fromRect.Right - fromRect.Left, fromRect.Bottom - fromRect.Top, rop);
            };
            auto masked = [&](TCanvas* maskCanvas, const TRect& maskRect, TCanvas* imageCanvas,
                              const TRect& imageRect) {
                COLORREF oldBk = SetBkColor(dc, 0xFFFFFF), oldText = SetTextColor(dc, 0);
                blit(maskCanvas, maskRect, SRCAND);
                blit(imageCanvas, imageRect, SRCPAINT);
                SetBkColor(dc, oldBk);
                SetTextColor(dc, oldText);
            };
            if ((flags & bpGivenMask) && extra) {
                masked(extra->Canvas(), Rect(0, 0, sw, sh), source, sr);
            } else if (flags & bpMaskFromColor) {
                TBitmap mask, image;
                if (palette) image.SetPalette(palette);
                BuildMaskedImage(source, sr, &mask, color, &image);
                masked(mask.Canvas(), Rect(0, 0, sw, sh), image.Canvas(), Rect(0, 0, sw, sh));
            } else {
                blit(source, sr, dest->CopyMode);
            }
        }
    }
    if (stretched) SetStretchBltMode(dc, oldStretch);
}

void DrawBitmapClipped(TCanvas* c, const TRect& r, TBitmap* bmp, TColor transparent, DWORD offset,
                       uint16_t flags) {
    if (!c || !bmp || bmp->Empty()) return;
    HDC dc = c->Handle();
    TPaletteScope pal(dc, (flags & bpPalette) ? bmp->Palette() : nullptr, flags);
    TRect clip = r;
    POINT o = UnpackOffset(offset);
    clip = Rect(clip.Left + o.x, clip.Top + o.y, clip.Right + o.x, clip.Bottom + o.y);
    auto draw = [&] {
        DrawBitmapInRect(c, r, bmp->Canvas(), Rect(0, 0, bmp->Width(), bmp->Height()), flags,
                         transparent, nullptr, (flags & bpTransparentColor) ? bmp : nullptr,
                         nullptr);
    };
    if (flags & bpClip) {
        TStyClipScope scope(dc, ToRECT(clip));
        draw();
    } else {
        draw();
    }
}

void DrawBitmapToRect(TCanvas* c, const TRect& r, TBitmap* bmp, TRect* drawn, TColor transparent,
                      uint16_t flags) {
    if (drawn) *drawn = Rect(0, 0, 0, 0);
    if (!c || !bmp || bmp->Empty()) return;
    HPALETTE palette = (flags & bpPalette) ? bmp->Palette() : nullptr;
    TPaletteScope pal(c->Handle(), palette, flags);
    DrawBitmapInRect(c, r, bmp->Canvas(), Rect(0, 0, bmp->Width(), bmp->Height()), flags,
                     transparent, palette, (flags & bpTransparentColor) ? bmp : nullptr, drawn);
}

void DrawDisabledBitmap(TBitmap* dest, TBitmap* source, int x, int y) {
    if (!dest || !source || source->Empty()) return;
    const int w = source->Width(), h = source->Height();
    if (dest->Empty()) dest->SetSize(w, h);
    // The glyph's black pixels become the 1 bits that the etching paints. A glyph without
    // black (a red cross) would vanish: its whole shape, all but the transparent colour, is
    // etched instead.
    TBitmap mono;
    MonochromeOf(source->Canvas(), Rect(0, 0, w, h), 0x000000, &mono);
    if (!AnyPixelSet(&mono)) {
        MonochromeOf(source->Canvas(), Rect(0, 0, w, h), ColorToRGB(TransparentColorOf(source)),
                     &mono);
        PatBlt(mono.Canvas()->Handle(), 0, 0, w, h, DSTINVERT);
    }
    HDC dc = dest->Canvas()->Handle();
    {
        HBRUSH fill = CreateSolidBrush(ColorToRGB(TransparentColorOf(source)));
        RECT all{0, 0, dest->Width(), dest->Height()};
        FillRect(dc, &all, fill);
        DeleteObject(fill);
    }
    COLORREF oldText = SetTextColor(dc, 0), oldBk = SetBkColor(dc, 0xFFFFFF);
    HDC monoDc = mono.Canvas()->Handle();
    {
        TStyDcScope s(dc);
        s.SolidBrush(ColorToRGB(clBtnHighlight));
        BitBlt(dc, x + 1, y + 1, w, h, monoDc, 0, 0, ROP_DSPDxax);
        s.SolidBrush(ColorToRGB(clBtnShadow));
        BitBlt(dc, x, y, w, h, monoDc, 0, 0, ROP_DSPDxax);
    }
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
}
