// The GDI handle table, stock objects, pens, brushes, fonts and GetObjectA.
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/gdi/gdiObjects.h"
#include "platform/win/handleTable.h"

namespace gdi {
namespace {

// GDI objects in the one handle table (never destroyed: fonts and bitmaps of static lifetime
// delete their handles at exit).
TypedHandles<Object>& Table() {
    static auto* t = new TypedHandles<Object>(HandleKind::Gdi);
    return *t;
}

std::shared_ptr<Object> MakeStock(int which) {
    auto brush = [](COLORREF c, UINT style = BS_SOLID) {
        auto b = std::make_shared<Brush>();
        b->color = c;
        b->style = style;
        return b;
    };
    auto pen = [](COLORREF c, int style = PS_SOLID) {
        auto p = std::make_shared<Pen>();
        p->color = c;
        p->style = style;
        return p;
    };
    auto font = [](const char* face, int height, bool fixed) {
        auto f = std::make_shared<Font>();
        std::strncpy(f->lf.lfFaceName, face, LF_FACESIZE - 1);
        f->lf.lfHeight = height;
        f->lf.lfWeight = FW_NORMAL;
        f->lf.lfPitchAndFamily = fixed ? FIXED_PITCH : VARIABLE_PITCH;
        return f;
    };
    switch (which) {
        case WHITE_BRUSH:
            return brush(0xFFFFFF);
        case LTGRAY_BRUSH:
            return brush(0xC0C0C0);
        case GRAY_BRUSH:
            return brush(0x808080);
        case DKGRAY_BRUSH:
            return brush(0x404040);
        case BLACK_BRUSH:
            return brush(0);
        case NULL_BRUSH:
            return brush(0, BS_NULL);
        case WHITE_PEN:
            return pen(0xFFFFFF);
        case BLACK_PEN:
            return pen(0);
        case NULL_PEN:
            return pen(0, PS_NULL);
        case OEM_FIXED_FONT:
        case ANSI_FIXED_FONT:
        case SYSTEM_FIXED_FONT:
            return font("Courier New", -13, true);
        case ANSI_VAR_FONT:
        case SYSTEM_FONT:
        case DEVICE_DEFAULT_FONT:
            return font("宋体", -12, false);
        case DEFAULT_GUI_FONT:
            return font("宋体", -12, false);
        case DEFAULT_PALETTE: {
            auto p = std::make_shared<Palette>();
            // The twenty static colours of the system palette.
            static const COLORREF kStatic[20] = {
                0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                0xC0C0C0, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x808080, 0x0000FF,
                0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF,
            };
            for (COLORREF c : kStatic)
                p->entries.push_back(PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0});
            return p;
        }
        case DC_BRUSH: {
            auto b = brush(0xFFFFFF);
            b->dcBrush = true;
            return b;
        }
        case DC_PEN: {
            auto p = pen(0);
            p->dcPen = true;
            return p;
        }
        default:
            return nullptr;
    }
}

}  // namespace

HGDIOBJ AddObject(std::shared_ptr<Object> obj) {
    if (!obj) return nullptr;
    return reinterpret_cast<HGDIOBJ>(Table().Add(std::move(obj)));
}

std::shared_ptr<Object> Find(HGDIOBJ h) { return Table().Find(reinterpret_cast<uintptr_t>(h)); }

void RemoveObject(HGDIOBJ h) { Table().Remove(reinterpret_cast<uintptr_t>(h)); }

std::shared_ptr<Pen> CurrentPen(const Dc& dc) {
    auto p = FindAs<Pen>(dc.st.pen);
    return p ? p : FindAs<Pen>(GetStockObject(BLACK_PEN));
}
std::shared_ptr<Brush> CurrentBrush(const Dc& dc) {
    auto b = FindAs<Brush>(dc.st.brush);
    return b ? b : FindAs<Brush>(GetStockObject(WHITE_BRUSH));
}
std::shared_ptr<Font> CurrentFont(const Dc& dc) {
    auto f = FindAs<Font>(dc.st.font);
    return f ? f : FindAs<Font>(GetStockObject(SYSTEM_FONT));
}
std::shared_ptr<Palette> CurrentPalette(const Dc& dc) {
    auto p = FindAs<Palette>(dc.st.palette);
    return p ? p : FindAs<Palette>(GetStockObject(DEFAULT_PALETTE));
}

COLORREF MonoColor(COLORREF c) {
    // Bright colours become white, as Windows maps pens and brushes on monochrome bitmaps.
    return GetRValue(c) + GetGValue(c) + GetBValue(c) >= 0x180 ? 0xFFFFFF : 0;
}

COLORREF ResolveColor(const Dc& dc, COLORREF c) {
    if ((c & 0xFF000000u) == 0x01000000u) {
        auto pal = CurrentPalette(dc);
        size_t i = c & 0xFFFF;
        if (i >= pal->entries.size()) i = 0;
        const auto& e = pal->entries[i];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return c & 0x00FFFFFF;
}

}  // namespace gdi

using namespace gdi;

HGDIOBJ GetStockObject(int which) {
    static std::unordered_map<int, HGDIOBJ> stock;
    auto it = stock.find(which);
    if (it != stock.end()) return it->second;
    auto obj = MakeStock(which);
    if (!obj) return nullptr;
    obj->stock = true;
    return stock[which] = AddObject(std::move(obj));
}

BOOL DeleteObject(HGDIOBJ h) {
    auto obj = Find(h);
    if (!obj) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    if (obj->stock) return TRUE_;
    if (obj->type() == OBJ_DC || obj->type() == OBJ_MEMDC) return FALSE_;  // DeleteDC's work
    RemoveObject(h);
    return TRUE_;
}

DWORD GetObjectType(HGDIOBJ h) {
    auto obj = Find(h);
    return obj ? obj->type() : 0;
}

int GetObjectA(HGDIOBJ h, int size, void* out) {
    auto obj = Find(h);
    if (!obj) return 0;
    auto give = [&](const auto& value) {
        int n = int(sizeof value);
        if (!out) return n;
        n = std::min(n, size);
        if (n <= 0) return 0;
        std::memcpy(out, &value, size_t(n));
        return n;
    };
    if (auto p = std::dynamic_pointer_cast<Pen>(obj)) {
        LOGPEN lp;
        lp.lopnStyle = UINT(p->style);
        lp.lopnWidth.x = p->width;
        lp.lopnColor = p->color;
        return give(lp);
    }
    if (auto b = std::dynamic_pointer_cast<Brush>(obj)) {
        LOGBRUSH lb;
        lb.lbStyle = b->style;
        lb.lbColor = b->color;
        lb.lbHatch = uintptr_t(b->hatch);
        return give(lb);
    }
    if (auto f = std::dynamic_pointer_cast<Font>(obj)) return give(f->lf);
    if (auto p = std::dynamic_pointer_cast<Palette>(obj)) {
        WORD n = WORD(p->entries.size());
        return give(n);
    }
    if (auto b = std::dynamic_pointer_cast<Bitmap>(obj)) {
        b->beforeUse();
        DIBSECTION ds;
        ds.dsBm.bmWidth = b->width();
        ds.dsBm.bmHeight = b->height();
        ds.dsBm.bmPlanes = 1;
        ds.dsBm.bmBitsPixel = WORD(b->bpp);
        if (b->dibSection && b->packed) {
            ds.dsBm.bmWidthBytes = b->packed->fmt.stride;
            ds.dsBm.bmBits = b->packed->bits();
            ds.dsBmih.biWidth = b->width();
            ds.dsBmih.biHeight = b->packed->fmt.topDown ? -b->height() : b->height();
            ds.dsBmih.biBitCount = WORD(b->bpp);
            ds.dsBmih.biSizeImage = DWORD(b->packed->fmt.stride * b->height());
            ds.dsBmih.biClrUsed = DWORD(b->packed->fmt.colors.size());
            for (int i = 0; i < 3; ++i) ds.dsBitfields[i] = b->packed->fmt.masks[i];
            if (b->packed->fmt.masks[0]) ds.dsBmih.biCompression = BI_BITFIELDS;
            if (size >= int(sizeof(DIBSECTION)) || !out) return give(ds);
        } else {
            // Device-dependent bitmaps report word-aligned rows.
            ds.dsBm.bmWidthBytes = ((b->width() * b->bpp + 15) / 16) * 2;
        }
        return give(ds.dsBm);
    }
    return 0;
}

HPEN CreatePen(int style, int width, COLORREF color) {
    auto p = std::make_shared<Pen>();
    p->style = style;
    p->width = width;
    p->color = color;
    return AddAs<HPEN>(p);
}

int PenDrawnStyle(int style, int width) {
    const int line = style & PS_STYLE_MASK;
    if (line == PS_INSIDEFRAME) return PS_SOLID;
    if (!(style & PS_GEOMETRIC) && width > 1 && line >= PS_DASH && line <= PS_DASHDOTDOT)
        return PS_SOLID;
    return line;
}

HPEN CreatePenIndirect(const LOGPEN* lp) {
    return lp ? CreatePen(int(lp->lopnStyle), lp->lopnWidth.x, lp->lopnColor) : nullptr;
}

HBRUSH CreateSolidBrush(COLORREF color) {
    auto b = std::make_shared<Brush>();
    b->color = color;
    return AddAs<HBRUSH>(b);
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS) return nullptr;
    auto b = std::make_shared<Brush>();
    b->style = BS_HATCHED;
    b->hatch = hatch;
    b->color = color;
    return AddAs<HBRUSH>(b);
}

HBRUSH CreatePatternBrush(HBITMAP bmp) {
    auto src = FindAs<Bitmap>(bmp);
    if (!src) return nullptr;
    src->beforeUse();
    // The brush keeps a copy: the bitmap may be deleted or changed afterwards.
    auto copy = std::make_shared<Bitmap>();
    copy->own = std::make_unique<gdi::Image>(*src->image);
    copy->image = copy->own.get();
    copy->bpp = src->bpp;
    auto b = std::make_shared<Brush>();
    b->style = BS_PATTERN;
    b->pattern = copy;
    return AddAs<HBRUSH>(b);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb) return nullptr;
    switch (lb->lbStyle) {
        case BS_SOLID:
            return CreateSolidBrush(lb->lbColor);
        case BS_NULL:
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        case BS_HATCHED:
            return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
        case BS_PATTERN:
            return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
        default:
            return nullptr;
    }
}

namespace {

// Windows classic scheme colours, 0x00BBGGRR.
const COLORREF kSysColors[] = {
    0xC8D0D4, 0xA56E3A, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0,
};

}  // namespace

COLORREF GetSysColor(int index) {
    if (index < 0 || index >= int(sizeof kSysColors / sizeof kSysColors[0])) return 0;
    return kSysColors[index];
}

HBRUSH GetSysColorBrush(int index) {
    static std::unordered_map<int, HGDIOBJ> brushes;
    auto it = brushes.find(index);
    if (it != brushes.end()) return static_cast<HBRUSH>(it->second);
    auto b = std::make_shared<Brush>();
    b->color = GetSysColor(index);
    b->stock = true;
    return static_cast<HBRUSH>(brushes[index] = AddObject(b));
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic);
    lf.lfUnderline = BYTE(underline);
    lf.lfStrikeOut = BYTE(strikeOut);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face) std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* lf) {
    if (!lf) return nullptr;
    auto f = std::make_shared<Font>();
    f->lf = *lf;
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    return AddAs<HFONT>(f);
}

// ---------------------------------------------------------------- rectangles

BOOL SetRect(RECT* r, int l, int t, int rr, int b) {
    if (!r) return FALSE_;
    *r = RECT{l, t, rr, b};
    return TRUE_;
}
BOOL SetRectEmpty(RECT* r) { return SetRect(r, 0, 0, 0, 0); }
BOOL IsRectEmpty(const RECT* r) { return !r || r->right <= r->left || r->bottom <= r->top; }
BOOL OffsetRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE_;
    r->left += dx;
    r->right += dx;
    r->top += dy;
    r->bottom += dy;
    return TRUE_;
}
BOOL InflateRect(RECT* r, int dx, int dy) {
    if (!r) return FALSE_;
    r->left -= dx;
    r->right += dx;
    r->top -= dy;
    r->bottom += dy;
    return TRUE_;
}
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE_;
    RECT r{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
           std::min(a->bottom, b->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(out);
        return FALSE_;
    }
    *out = r;
    return TRUE_;
}
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE_;
    if (IsRectEmpty(a)) {
        *out = *b;
        return !IsRectEmpty(b);
    }
    if (IsRectEmpty(b)) {
        *out = *a;
        return TRUE_;
    }
    *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                std::max(a->bottom, b->bottom)};
    return TRUE_;
}
BOOL PtInRect(const RECT* r, POINT p) {
    return r && p.x >= r->left && p.x < r->right && p.y >= r->top && p.y < r->bottom;
}
BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
           a->bottom == b->bottom;
}
BOOL CopyRect(RECT* dst, const RECT* src) {
    if (!dst || !src) return FALSE_;
    *dst = *src;
    return TRUE_;
}

namespace gdi {
// Makes an existing handle refer to another object (a TBitmap taking over a bitmap handle).
void Rebind(HGDIOBJ h, std::shared_ptr<Object> obj) {
    Table().Replace(reinterpret_cast<uintptr_t>(h), std::move(obj));
}
}  // namespace gdi
