// Device contexts: over a window's backing image, a memory bitmap, or a canvas's image.
#include <algorithm>
#include <functional>

#include "platform/gdi/gdiObjects.h"
#include "platform/rtl/scopeExit.h"

namespace gdi {

HGDIOBJ DefaultBitmap() {
    // A memory DC starts with a 1x1 monochrome bitmap, as on Windows.
    static HGDIOBJ h = [] {
        auto b = std::make_shared<Bitmap>();
        b->own = std::make_unique<gdi::Image>(1, 1);
        b->image = b->own.get();
        b->bpp = 1;
        b->stock = true;
        return AddObject(b);
    }();
    return h;
}

Bitmap* Dc::bitmap() const {
    if (!memory) return nullptr;
    auto b = FindAs<Bitmap>(st.bitmap);
    return b.get();
}

gdi::Image* Dc::image() const {
    if (memory) {
        Bitmap* b = bitmap();
        return b ? b->image : nullptr;
    }
    // The surface of a window goes with the window.
    if (hwnd && !Driver().windowAlive(hwnd)) return nullptr;
    return target;
}

bool Dc::monochrome() const {
    Bitmap* b = bitmap();
    return b && b->monochrome();
}

RegionSet Dc::visible() const {
    gdi::Image* img = image();
    if (!img) return {};
    RegionSet v = RegionSet::FromRect(0, 0, img->width(), img->height());
    if (sysClip) v = RegionSet::Combine(v, *sysClip, RegionSet::And);
    if (st.clip) v = RegionSet::Combine(v, *st.clip, RegionSet::And);
    return v;
}

void Drawn(Dc& dc) {
    if (Bitmap* b = dc.bitmap()) b->afterWrite();
    if (dc.onDrawn) dc.onDrawn();
}

void WithPainter(Dc& dc, const std::function<void(gdi::Painter&)>& draw, const RegionSet* limit) {
    gdi::Image* img = dc.image();
    if (!img || img->width() <= 0 || img->height() <= 0) return;
    if (Bitmap* b = dc.bitmap()) b->beforeUse();
    RegionSet vis = dc.visible();
    if (limit) vis = RegionSet::Combine(vis, *limit, RegionSet::And);
    if (vis.empty()) return;
    gdi::Painter* p = gdi::Painter::ActiveOn(*img);
    std::unique_ptr<gdi::Painter> own;
    if (!p) {
        own = Driver().newPainter(*img);
        p = own.get();
    }
    p->save();
    std::vector<int> ltrb;
    for (const RECT& r : vis.rects())
        ltrb.insert(ltrb.end(), {int(r.left), int(r.top), int(r.right), int(r.bottom)});
    p->setOrigin(dc.dx(0), dc.dy(0));
    p->setClipRects(ltrb.data(), int(ltrb.size() / 4));
    p->setRop2(dc.st.rop2);
    p->recordTo(dc.pathOpen ? dc.path.get() : nullptr);
    {
        ScopeExit finish([&] {
            p->recordTo(nullptr);
            p->restore();
        });
        draw(*p);
    }
    own.reset();
    Drawn(dc);
}

}  // namespace gdi

using namespace gdi;

namespace {

std::shared_ptr<Dc> DcOf(HDC h) {
    auto dc = FindAs<Dc>(h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

HDC NewDc(const std::shared_ptr<Dc>& dc) {
    dc->st.pen = GetStockObject(BLACK_PEN);
    dc->st.brush = GetStockObject(WHITE_BRUSH);
    dc->st.font = GetStockObject(SYSTEM_FONT);
    dc->st.palette = GetStockObject(DEFAULT_PALETTE);
    if (dc->memory) dc->st.bitmap = DefaultBitmap();
    return AddAs<HDC>(dc);
}

HDC WindowDc(HWND hwnd, bool whole) {
    auto dc = std::make_shared<Dc>();
    dc->hwnd = hwnd;
    dc->target = &dc->scratch;
    if (gdi::Image* img = Driver().windowSurface(hwnd, whole)) {
        dc->target = img;
        dc->onDrawn = [hwnd] { Driver().showWindowSurface(hwnd); };
    }
    return NewDc(dc);
}

template <class T>
T Swap(HDC h, T DcState::*field, T value, T fail) {
    auto dc = DcOf(h);
    if (!dc) return fail;
    return std::exchange(dc->st.*field, value);
}

}  // namespace

HDC GetDC(HWND hwnd) { return WindowDc(hwnd, false); }
HDC GetWindowDC(HWND hwnd) { return WindowDc(hwnd, true); }

int ReleaseDC(HWND, HDC dc) {
    auto d = FindAs<Dc>(dc);
    if (!d || d->memory) return 0;
    RemoveObject(dc);
    return 1;
}

HDC CreateCompatibleDC(HDC) {
    auto dc = std::make_shared<Dc>();
    dc->memory = true;
    return NewDc(dc);
}

BOOL DeleteDC(HDC h) {
    if (!FindAs<Dc>(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    RemoveObject(h);
    return TRUE_;
}

HWND WindowFromDC(HDC h) {
    auto dc = FindAs<Dc>(h);
    return dc ? dc->hwnd : nullptr;
}

int SaveDC(HDC h) {
    auto dc = DcOf(h);
    if (!dc) return 0;
    dc->saved.push_back(dc->st);
    return int(dc->saved.size());
}

BOOL RestoreDC(HDC h, int level) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    int n = int(dc->saved.size());
    if (level < 0) level = n + 1 + level;
    if (level < 1 || level > n) return FALSE_;
    dc->st = dc->saved[size_t(level - 1)];
    dc->saved.resize(size_t(level - 1));
    return TRUE_;
}

int SelectClipRgn(HDC h, HRGN rgn);

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj) {
    auto dc = DcOf(h);
    auto o = Find(obj);
    if (!dc || !o) return nullptr;
    switch (o->type()) {
        case OBJ_PEN:
            return std::exchange(dc->st.pen, obj);
        case OBJ_BRUSH:
            return std::exchange(dc->st.brush, obj);
        case OBJ_FONT:
            return std::exchange(dc->st.font, obj);
        case OBJ_PAL:
            return std::exchange(dc->st.palette, obj);
        case OBJ_BITMAP: {
            if (!dc->memory) return nullptr;
            static_cast<Bitmap*>(o.get())->beforeUse();
            return std::exchange(dc->st.bitmap, obj);
        }
        case OBJ_REGION: {
            int kind = SelectClipRgn(h, static_cast<HRGN>(obj));
            return reinterpret_cast<HGDIOBJ>(intptr_t(kind));
        }
        default:
            return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC h, UINT type) {
    auto dc = DcOf(h);
    if (!dc) return nullptr;
    switch (type) {
        case OBJ_PEN:
            return dc->st.pen;
        case OBJ_BRUSH:
            return dc->st.brush;
        case OBJ_FONT:
            return dc->st.font;
        case OBJ_PAL:
            return dc->st.palette;
        case OBJ_BITMAP:
            return dc->memory ? dc->st.bitmap : nullptr;
        default:
            return nullptr;
    }
}

COLORREF SetTextColor(HDC h, COLORREF c) { return Swap(h, &DcState::text, c, CLR_INVALID); }
COLORREF SetBkColor(HDC h, COLORREF c) { return Swap(h, &DcState::bk, c, CLR_INVALID); }
COLORREF SetDCBrushColor(HDC h, COLORREF c) { return Swap(h, &DcState::dcBrush, c, CLR_INVALID); }
COLORREF SetDCPenColor(HDC h, COLORREF c) { return Swap(h, &DcState::dcPen, c, CLR_INVALID); }
COLORREF GetTextColor(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.text : CLR_INVALID;
}
COLORREF GetBkColor(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.bk : CLR_INVALID;
}
int SetBkMode(HDC h, int mode) {
    if (mode != TRANSPARENT && mode != OPAQUE) return 0;
    return Swap(h, &DcState::bkMode, mode, 0);
}
int GetBkMode(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.bkMode : 0;
}
int SetROP2(HDC h, int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    return Swap(h, &DcState::rop2, rop2, 0);
}
int GetROP2(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.rop2 : 0;
}
int SetStretchBltMode(HDC h, int mode) {
    if (mode < BLACKONWHITE || mode > HALFTONE) return 0;
    return Swap(h, &DcState::stretchMode, mode, 0);
}
int GetStretchBltMode(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.stretchMode : 0;
}
int SetPolyFillMode(HDC h, int mode) {
    if (mode != ALTERNATE && mode != WINDING) return 0;
    return Swap(h, &DcState::polyFill, mode, 0);
}
int SetTextCharacterExtra(HDC h, int extra) {
    return Swap(h, &DcState::charExtra, extra, int(0x80000000));
}
int GetTextCharacterExtra(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.charExtra : int(0x80000000);
}

BOOL BeginPath(HDC h) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    dc->path = std::make_shared<gdi::Path>();  // an earlier path is discarded
    dc->pathOpen = true;
    return TRUE_;
}

BOOL EndPath(HDC h) {
    auto dc = DcOf(h);
    if (!dc || !dc->pathOpen) return FALSE_;
    dc->pathOpen = false;
    return TRUE_;
}

BOOL AbortPath(HDC h) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    dc->path.reset();
    dc->pathOpen = false;
    return TRUE_;
}

BOOL StrokePath(HDC h) {
    auto dc = DcOf(h);
    if (!dc || dc->pathOpen || !dc->path) return FALSE_;
    std::shared_ptr<gdi::Path> path = std::move(dc->path);  // stroking uses the path up
    auto pen = CurrentPen(*dc);
    if (pen->style == PS_NULL) return TRUE_;
    const COLORREF color = ResolveColor(*dc, pen->dcPen ? dc->st.dcPen : pen->color);
    WithPainter(*dc, [&](gdi::Painter& p) {
        p.strokePath(*path, dc->monochrome() ? MonoColor(color) : color, pen->width);
    });
    return TRUE_;
}

UINT SetTextAlign(HDC h, UINT align) {
    return Swap(h, &DcState::textAlign, align, UINT(GDI_ERROR));
}
UINT GetTextAlign(HDC h) {
    auto dc = DcOf(h);
    return dc ? dc->st.textAlign : UINT(GDI_ERROR);
}

BOOL SetBrushOrgEx(HDC h, int x, int y, POINT* old) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    if (old) *old = dc->st.brushOrg;
    dc->st.brushOrg = POINT{x, y};
    return TRUE_;
}

COLORREF GetPixel(HDC h, int x, int y) {
    auto dc = DcOf(h);
    if (!dc) return CLR_INVALID;
    gdi::Image* img = dc->image();
    if (Bitmap* b = dc->bitmap()) b->beforeUse();
    int px = dc->dx(x), py = dc->dy(y);
    if (!img || !dc->visible().contains(px, py)) return CLR_INVALID;
    return img->pixel(px, py);
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF c) {
    auto dc = DcOf(h);
    if (!dc) return CLR_INVALID;
    gdi::Image* img = dc->image();
    if (Bitmap* b = dc->bitmap()) b->beforeUse();
    int px = dc->dx(x), py = dc->dy(y);
    if (!img || !dc->visible().contains(px, py)) return CLR_INVALID;
    c = ResolveColor(*dc, c);
    if (dc->monochrome()) c = MonoColor(c);
    img->setPixel(px, py, c);
    Drawn(*dc);
    return c;
}

BOOL SetPixelV(HDC h, int x, int y, COLORREF c) { return SetPixel(h, x, y, c) != CLR_INVALID; }

COLORREF GetNearestColor(HDC h, COLORREF c) {
    auto dc = DcOf(h);
    if (!dc) return CLR_INVALID;
    c = ResolveColor(*dc, c);
    return dc->monochrome() ? MonoColor(c) : c;
}

namespace {
BOOL SetOrg(HDC h, POINT DcState::*field, int x, int y, POINT* old, bool relative) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    POINT& p = dc->st.*field;
    if (old) *old = p;
    p = relative ? POINT{p.x + x, p.y + y} : POINT{x, y};
    return TRUE_;
}
BOOL GetOrg(HDC h, POINT DcState::*field, POINT* out) {
    auto dc = DcOf(h);
    if (!dc || !out) return FALSE_;
    *out = dc->st.*field;
    return TRUE_;
}
}  // namespace

BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* old) {
    return SetOrg(h, &DcState::windowOrg, x, y, old, false);
}
BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* old) {
    return SetOrg(h, &DcState::viewportOrg, x, y, old, false);
}
BOOL OffsetWindowOrgEx(HDC h, int x, int y, POINT* old) {
    return SetOrg(h, &DcState::windowOrg, x, y, old, true);
}
BOOL OffsetViewportOrgEx(HDC h, int x, int y, POINT* old) {
    return SetOrg(h, &DcState::viewportOrg, x, y, old, true);
}
BOOL GetWindowOrgEx(HDC h, POINT* out) { return GetOrg(h, &DcState::windowOrg, out); }
BOOL GetViewportOrgEx(HDC h, POINT* out) { return GetOrg(h, &DcState::viewportOrg, out); }

BOOL LPtoDP(HDC h, POINT* pts, int count) {
    auto dc = DcOf(h);
    if (!dc || !pts) return FALSE_;
    for (int i = 0; i < count; ++i) {
        pts[i].x += dc->st.viewportOrg.x - dc->st.windowOrg.x;
        pts[i].y += dc->st.viewportOrg.y - dc->st.windowOrg.y;
    }
    return TRUE_;
}

BOOL DPtoLP(HDC h, POINT* pts, int count) {
    auto dc = DcOf(h);
    if (!dc || !pts) return FALSE_;
    for (int i = 0; i < count; ++i) {
        pts[i].x -= dc->st.viewportOrg.x - dc->st.windowOrg.x;
        pts[i].y -= dc->st.viewportOrg.y - dc->st.windowOrg.y;
    }
    return TRUE_;
}

int GetDeviceCaps(HDC h, int index) {
    auto dc = DcOf(h);
    if (!dc) return 0;
    gdi::Image* img = dc->image();
    switch (index) {
        case HORZRES:
            return img && img->width() > 1 ? img->width() : 1024;
        case VERTRES:
            return img && img->height() > 1 ? img->height() : 768;
        case BITSPIXEL:
            return dc->monochrome() ? 1 : 32;
        case PLANES:
            return 1;
        case NUMCOLORS:
            return -1;
        case RASTERCAPS:
            return 0;
        case LOGPIXELSX:
        case LOGPIXELSY:
            return 96;
        case SIZEPALETTE:
            return 0;
        default:
            return 0;
    }
}

BOOL GdiFlush() { return TRUE_; }
