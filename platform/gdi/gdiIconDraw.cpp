#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/gdi/iconDraw.h"

namespace {

constexpr uint32_t kRgb = 0x00FFFFFF;

// A device context with a top-down 32-bit DIB section of w x h.
struct Scratch {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
    Scratch(int w, int h) {
        BITMAPINFO bi;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biBitCount = 32;
        void* p = nullptr;
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        if (bmp) old = SelectObject(dc, bmp);
    }
    ~Scratch() {
        if (old) SelectObject(dc, old);
        if (bmp) DeleteObject(bmp);
        if (dc) DeleteDC(dc);
    }
    bool ok() const { return bits != nullptr; }
};

uint32_t Mix(uint32_t dst, uint32_t src, unsigned alpha) {
    uint32_t out = 0;
    for (int s = 0; s < 24; s += 8) {
        unsigned d = (dst >> s) & 0xFF, c = (src >> s) & 0xFF;
        out |= ((c * alpha + d * (255 - alpha) + 127) / 255) << s;
    }
    return out;
}

enum class Paint { Normal, MaskOnly, MaskCopy, ImageOnly, Opaque };

// Composes the picture onto the DC at (x, y) through a copy of the destination.
bool Compose(HDC dc, int x, int y, const IconImage& img, Paint paint, COLORREF bk, COLORREF blend,
             unsigned blendAlpha) {
    if (img.Empty()) return false;
    Scratch s(img.width, img.height);
    if (!s.ok()) return false;
    if (!BitBlt(s.dc, 0, 0, img.width, img.height, dc, x, y, SRCCOPY)) return false;
    GdiFlush();
    const uint32_t bkPixel = (bk & 0xFF) << 16 | (bk & 0xFF00) | ((bk >> 16) & 0xFF);
    const uint32_t fgPixel = (blend & 0xFF) << 16 | (blend & 0xFF00) | ((blend >> 16) & 0xFF);
    for (size_t i = 0; i < img.pixels.size(); ++i) {
        uint32_t d = s.bits[i] & kRgb, c = img.pixels[i] & kRgb;
        bool clear = img.mask[i] != 0;
        if (blendAlpha && !clear) c = Mix(c, fgPixel, blendAlpha);
        switch (paint) {
            case Paint::MaskOnly:
                d = clear ? d : 0;
                break;  // ANDed with the mask
            case Paint::MaskCopy:
                d = clear ? kRgb : 0;
                break;
            case Paint::ImageOnly:
                d = c;
                break;
            case Paint::Opaque:
                if (img.hasAlpha)
                    d = Mix(bkPixel, c, img.pixels[i] >> 24);
                else
                    d = clear ? bkPixel : c;
                break;
            case Paint::Normal:
                if (img.hasAlpha)
                    d = Mix(d, c, img.pixels[i] >> 24);
                else
                    d = clear ? d ^ c : c;  // AND with the mask, then XOR with the colours
                break;
        }
        s.bits[i] = d;
    }
    return BitBlt(dc, x, y, img.width, img.height, s.dc, 0, 0, SRCCOPY) != 0;
}

// Top-down 32-bit pixels of a bitmap.
bool ReadPixels(HBITMAP bmp, int& w, int& h, std::vector<uint32_t>& px) {
    BITMAP bm;
    if (!bmp || !GetObjectA(bmp, sizeof bm, &bm)) return false;
    w = bm.bmWidth;
    h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (w <= 0 || h <= 0) return false;
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biBitCount = 32;
    px.assign(size_t(w) * size_t(h), 0);
    HDC dc = CreateCompatibleDC(nullptr);
    int lines = GetDIBits(dc, bmp, 0, UINT(h), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    return lines == h;
}

HBITMAP MakeBitmap(int w, int h, int bits, const void* data) {
    return CreateBitmap(w, h, 1, UINT(bits), data);
}

// Rows of a monochrome bitmap, word-aligned, 1 = white.
std::vector<uint8_t> MonoRows(int w, int h, const std::function<bool(int, int)>& white) {
    int stride = ((w + 15) / 16) * 2;
    std::vector<uint8_t> rows(size_t(stride) * size_t(h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (white(x, y))
                rows[size_t(y) * size_t(stride) + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
    return rows;
}

COLORREF Highlight() { return GetSysColor(COLOR_HIGHLIGHT); }

}  // namespace

bool IconImageFromBitmap(HBITMAP bmp, IconImage& out) {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    if (!ReadPixels(bmp, w, h, px)) return false;
    out = IconImage{};
    out.Resize(w, h);
    out.bitCount = 24;
    for (size_t i = 0; i < px.size(); ++i) {
        out.pixels[i] = 0xFF000000u | (px[i] & kRgb);
        out.mask[i] = 0;
    }
    return true;
}

HBITMAP BitmapFromIconImage(const IconImage& img) {
    std::vector<uint32_t> px(img.pixels.size());
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = img.hasAlpha ? img.pixels[i] : (img.pixels[i] & kRgb);
    return MakeBitmap(img.width, img.height, 32, px.data());
}

BOOL GetIconInfo(HICON icon, ICONINFO* info) {
    auto img = IconImageOf(icon);
    if (!img || !info) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    *info = ICONINFO{};
    info->fIcon = IconIsCursor(icon) ? FALSE_ : TRUE_;
    info->xHotspot = DWORD(IconIsCursor(icon) ? img->hotX : img->width / 2);
    info->yHotspot = DWORD(IconIsCursor(icon) ? img->hotY : img->height / 2);
    const int w = img->width, h = img->height;
    auto at = [&](int x, int y) { return size_t(y) * size_t(w) + size_t(x); };
    if (img->bitCount == 1) {
        // Monochrome: the AND mask above the XOR bits in one bitmap twice as high.
        auto rows = MonoRows(w, 2 * h, [&](int x, int y) {
            return y < h ? img->mask[at(x, y)] != 0 : (img->pixels[at(x, y - h)] & kRgb) != 0;
        });
        info->hbmMask = MakeBitmap(w, 2 * h, 1, rows.data());
        return info->hbmMask ? TRUE_ : FALSE_;
    }
    auto rows = MonoRows(w, h, [&](int x, int y) { return img->mask[at(x, y)] != 0; });
    info->hbmMask = MakeBitmap(w, h, 1, rows.data());
    info->hbmColor = BitmapFromIconImage(*img);
    return info->hbmMask && info->hbmColor ? TRUE_ : FALSE_;
}

HICON CreateIconIndirect(const ICONINFO* info) {
    int mw = 0, mh = 0;
    std::vector<uint32_t> mask;
    if (!info || !ReadPixels(info->hbmMask, mw, mh, mask)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    IconImage img;
    if (!info->hbmColor) {
        int h = mh / 2;
        if (h <= 0) return nullptr;
        img.Resize(mw, h);
        img.bitCount = 1;
        for (size_t i = 0; i < img.pixels.size(); ++i) {
            img.mask[i] = (mask[i] & kRgb) != 0;
            img.pixels[i] = (mask[i + img.pixels.size()] & kRgb) | (img.mask[i] ? 0u : 0xFF000000u);
        }
    } else {
        int w = 0, h = 0;
        std::vector<uint32_t> color;
        if (!ReadPixels(info->hbmColor, w, h, color) || w != mw || h != mh) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        img.Resize(w, h);
        img.bitCount = 32;
        img.hasAlpha =
            std::any_of(color.begin(), color.end(), [](uint32_t c) { return (c >> 24) != 0; });
        for (size_t i = 0; i < color.size(); ++i) {
            img.mask[i] = (mask[i] & kRgb) != 0;
            img.pixels[i] =
                img.hasAlpha ? color[i] : (color[i] & kRgb) | (img.mask[i] ? 0u : 0xFF000000u);
        }
    }
    img.hotX = int(info->xHotspot);
    img.hotY = int(info->yHotspot);
    return NewIconHandle(img, info->fIcon != 0);
}

BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT, HBRUSH flickerFree,
                UINT flags) {
    auto img = IconImageOf(icon);
    if (!img) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    int size = IconIsCursor(icon) ? kCursorSize : kLargeIconSize;
    int w = cx > 0 ? cx : (flags & DI_DEFAULTSIZE) ? size : img->width;
    int h = cy > 0 ? cy : (flags & DI_DEFAULTSIZE) ? size : img->height;
    if (flickerFree) {
        RECT r{x, y, x + w, y + h};
        FillRect(dc, &r, flickerFree);
    }
    UINT part = flags & DI_NORMAL;
    Paint paint = part == DI_MASK    ? Paint::MaskOnly
                  : part == DI_IMAGE ? Paint::ImageOnly
                                     : Paint::Normal;
    if (part == 0) return TRUE_;
    return Compose(dc, x, y, ScaleIconImage(*img, w, h), paint, 0, 0, 0) ? TRUE_ : FALSE_;
}

BOOL DrawIcon(HDC dc, int x, int y, HICON icon) {
    return DrawIconEx(dc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
    int cx = 0, cy = 0;
    IconImage all;
    if (!ImageList_GetIconSize(list, &cx, &cy) || !IconImageFromBitmap(image, all)) return -1;
    std::vector<uint32_t> maskPx;
    int mw = 0, mh = 0;
    bool useMask = (ImageListFlags(list) & ILC_MASK) && mask && ReadPixels(mask, mw, mh, maskPx);
    int first = -1;
    for (int left = 0; left + cx <= all.width; left += cx) {
        IconImage one;
        one.Resize(cx, cy);
        one.bitCount = 24;
        for (int y = 0; y < cy; ++y)
            for (int x = 0; x < cx; ++x) {
                size_t o = size_t(y) * size_t(cx) + size_t(x);
                if (y < all.height)
                    one.pixels[o] = all.pixels[size_t(y) * size_t(all.width) + size_t(left + x)];
                bool clear = useMask && left + x < mw && y < mh &&
                             (maskPx[size_t(y) * size_t(mw) + size_t(left + x)] & kRgb) != 0;
                one.mask[o] = clear ? 1 : 0;
                if (clear) one.pixels[o] &= kRgb;
            }
        int i = ImageListAddImage(list, one);
        if (first < 0) first = i;
    }
    return first;
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor) {
    int cx = 0, cy = 0;
    IconImage all;
    if (!ImageList_GetIconSize(list, &cx, &cy) || !IconImageFromBitmap(image, all)) return -1;
    const uint32_t key =
        (maskColor & 0xFF) << 16 | (maskColor & 0xFF00) | ((maskColor >> 16) & 0xFF);
    const bool masked = (ImageListFlags(list) & ILC_MASK) != 0;
    int first = -1;
    for (int left = 0; left + cx <= all.width; left += cx) {
        IconImage one;
        one.Resize(cx, cy);
        one.bitCount = 24;
        for (int y = 0; y < std::min(cy, all.height); ++y)
            for (int x = 0; x < cx; ++x) {
                uint32_t c = all.pixels[size_t(y) * size_t(all.width) + size_t(left + x)];
                bool clear = masked && (c & kRgb) == key;
                size_t o = size_t(y) * size_t(cx) + size_t(x);
                one.mask[o] = clear ? 1 : 0;
                one.pixels[o] = clear ? 0 : c;  // black under the mask, as the XOR drawing needs
            }
        int i = ImageListAddImage(list, one);
        if (first < 0) first = i;
    }
    return first;
}

BOOL ImageList_Replace(HIMAGELIST list, int i, HBITMAP image, HBITMAP mask) {
    HIMAGELIST tmp = ImageList_Duplicate(list);
    ImageList_Remove(tmp, -1);
    bool ok = ImageList_Add(tmp, image, mask) == 0;
    IconImage one;
    ok = ok && ImageListGetImage(tmp, 0, one) && ImageListReplaceImage(list, i, one);
    ImageList_Destroy(tmp);
    return ok ? TRUE_ : FALSE_;
}

BOOL ImageList_DrawEx(HIMAGELIST list, int i, HDC dc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style) {
    IconImage img;
    if (!ImageListGetImage(list, i, img)) return FALSE_;
    if (dx > 0 || dy > 0) {
        // Only the top-left part of dx x dy is drawn.
        IconImage part;
        int w = dx > 0 ? std::min(dx, img.width) : img.width,
            h = dy > 0 ? std::min(dy, img.height) : img.height;
        part.Resize(w, h);
        part.bitCount = img.bitCount;
        part.hasAlpha = img.hasAlpha;
        for (int yy = 0; yy < h; ++yy)
            for (int xx = 0; xx < w; ++xx) {
                part.pixels[size_t(yy) * size_t(w) + size_t(xx)] =
                    img.pixels[size_t(yy) * size_t(img.width) + size_t(xx)];
                part.mask[size_t(yy) * size_t(w) + size_t(xx)] =
                    img.mask[size_t(yy) * size_t(img.width) + size_t(xx)];
            }
        img = part;
    }
    if (bk == CLR_DEFAULT) bk = ImageList_GetBkColor(list);
    unsigned blendAlpha = (style & ILD_BLEND50) ? 128 : (style & ILD_BLEND25) ? 64 : 0;
    if (fg == CLR_NONE) blendAlpha = 0;
    COLORREF blend = fg == CLR_DEFAULT ? Highlight() : fg;
    Paint paint = Paint::Normal;
    if (style & ILD_MASK)
        paint = Paint::MaskCopy;
    else if (style & ILD_IMAGE)
        paint = Paint::ImageOnly;
    else if (!(style & ILD_TRANSPARENT) && bk != CLR_NONE)
        paint = Paint::Opaque;
    return Compose(dc, x, y, img, paint, bk, blend, blendAlpha) ? TRUE_ : FALSE_;
}

BOOL ImageList_Draw(HIMAGELIST list, int i, HDC dc, int x, int y, UINT style) {
    return ImageList_DrawEx(list, i, dc, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, style);
}

BOOL ImageList_GetImageInfo(HIMAGELIST list, int i, IMAGEINFO* info) {
    IconImage img;
    if (!info || !ImageListGetImage(list, i, img)) return FALSE_;
    // Each call hands out the image's own pair of bitmaps, kept until the next call.
    static HBITMAP lastImage = nullptr, lastMask = nullptr;
    if (lastImage) DeleteObject(lastImage);
    if (lastMask) DeleteObject(lastMask);
    lastImage = BitmapFromIconImage(img);
    auto rows = MonoRows(img.width, img.height, [&](int x, int y) {
        return img.mask[size_t(y) * size_t(img.width) + size_t(x)] != 0;
    });
    lastMask = MakeBitmap(img.width, img.height, 1, rows.data());
    *info = IMAGEINFO{};
    info->hbmImage = lastImage;
    info->hbmMask = (ImageListFlags(list) & ILC_MASK) ? lastMask : nullptr;
    info->rcImage = RECT{0, 0, img.width, img.height};
    return TRUE_;
}
