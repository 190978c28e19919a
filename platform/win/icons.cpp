#include "platform/win/icons.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

#include "platform/rtl/resources.h"
#include "platform/win/builtinIcons.h"
#include "platform/win/byteOrder.h"
#include "platform/win/objectTable.h"

namespace {

struct IconObject {
    std::shared_ptr<const IconImage> image;
    bool isIcon = true;
    bool shared = false;  // loaded from resources: DestroyIcon leaves it alive
};

ObjectTable<IconObject>& Icons() {
    static ObjectTable<IconObject> table(HandleKind::Icon);
    return table;
}

std::map<std::string, HICON>& SharedIcons() {
    static std::map<std::string, HICON> cache;
    return cache;
}

HCURSOR g_cursor = nullptr;
void (*g_cursorHook)(HCURSOR) = nullptr;

HICON ToHandle(uintptr_t id) { return reinterpret_cast<HICON>(id); }
uintptr_t ToId(HANDLE h) { return reinterpret_cast<uintptr_t>(h); }

HICON AddIcon(const IconImage& image, bool isIcon, bool shared) {
    auto o = std::make_shared<IconObject>();
    o->image = std::make_shared<IconImage>(image);
    o->isIcon = isIcon;
    o->shared = shared;
    return ToHandle(Icons().Add(o));
}

// Text form of a resource name: numbers in decimal.
std::string ResourceKey(LPCSTR name) {
    if (!name) return "";
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name))
                                : std::string(name);
}

const BuiltinIcon* StandardIcon(uintptr_t id) {
    static const std::map<uintptr_t, BuiltinIcon> table = {
        {IDI_APPLICATION, BuiltinIcon::Application}, {IDI_HAND, BuiltinIcon::Error},
        {IDI_QUESTION, BuiltinIcon::Question},       {IDI_EXCLAMATION, BuiltinIcon::Warning},
        {IDI_ASTERISK, BuiltinIcon::Information},    {IDI_WINLOGO, BuiltinIcon::WinLogo},
    };
    auto it = table.find(id);
    return it == table.end() ? nullptr : &it->second;
}

// An icon or cursor from the program's resources or the standard set; shared handles.
HICON LoadShared(HINSTANCE inst, LPCSTR name, bool cursor, int size) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string key = std::string(cursor ? "c:" : "i:") + (inst ? "p:" : "s:") + ResourceKey(name) +
                      ":" + std::to_string(size);
    auto hit = SharedIcons().find(key);
    if (hit != SharedIcons().end()) return hit->second;
    IconImage img;
    bool ok = false;
    if (!inst && IS_INTRESOURCE(name)) {
        uintptr_t id = reinterpret_cast<uintptr_t>(name);
        if (cursor) {
            ok = DrawBuiltinCursor(unsigned(id), img);
        } else if (const BuiltinIcon* b = StandardIcon(id)) {
            img = DrawBuiltinIcon(*b, size ? size : kLargeIconSize);
            ok = true;
        }
    } else {
        std::string path = std::string(cursor ? "cursors/" : "icons/") + ResourceKey(name) +
                           (cursor ? ".cur" : ".ico");
        if (const EmbeddedResource* r = FindEmbeddedResource(path.c_str())) {
            IconFile f;
            std::string bytes(reinterpret_cast<const char*>(r->data), r->size);
            if (ReadIconFile(bytes, f)) {
                int i =
                    ChooseIconFileEntry(f, size ? size : (cursor ? kCursorSize : kLargeIconSize));
                ok = DecodeIconEntry(f.entries[size_t(i)], img);
                if (ok && f.type == kIconFileCursor) {
                    img.hotX = f.entries[size_t(i)].planes;
                    img.hotY = f.entries[size_t(i)].bitCount;
                }
            }
        }
    }
    if (!ok) {
        SetLastError(1813);  // ERROR_RESOURCE_TYPE_NOT_FOUND
        return nullptr;
    }
    HICON h = AddIcon(img, !cursor, true);
    SharedIcons()[key] = h;
    return h;
}

}  // namespace

HICON NewIconHandle(const IconImage& image, bool isIcon) { return AddIcon(image, isIcon, false); }

std::shared_ptr<const IconImage> IconImageOf(HICON icon) {
    auto o = Icons().Find(ToId(icon));
    return o ? o->image : nullptr;
}

bool IconIsCursor(HICON icon) {
    auto o = Icons().Find(ToId(icon));
    return o && !o->isIcon;
}

IconImage ScaleIconImage(const IconImage& src, int w, int h) {
    if (w == src.width && h == src.height) return src;
    IconImage out;
    out.Resize(w, h);
    out.bitCount = src.bitCount;
    out.hasAlpha = src.hasAlpha;
    if (src.Empty()) return out;
    out.hotX = src.hotX * w / src.width;
    out.hotY = src.hotY * h / src.height;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            size_t s = size_t(y * src.height / h) * size_t(src.width) + size_t(x * src.width / w);
            out.pixels[size_t(y) * size_t(w) + size_t(x)] = src.pixels[s];
            out.mask[size_t(y) * size_t(w) + size_t(x)] = src.mask[s];
        }
    return out;
}

namespace {

// The colour depth of a stored image as the image itself says it: the bitmap header's bit
// count, or a PNG's depth and colour type. Directories often leave their own count at 0
// (and a cursor's holds the hot spot there), so it is not asked.
int StoredImageDepth(const IconFileEntry& e) {
    if (e.IsPng()) {
        if (e.data.size() < 26) return 0;
        const int depth = uint8_t(e.data[24]);
        switch (uint8_t(e.data[25])) {
            case 2:
                return 3 * depth;  // RGB
            case 4:
                return 2 * depth;  // grey with alpha
            case 6:
                return 4 * depth;  // RGBA
            default:
                return depth;  // grey or palette
        }
    }
    return e.data.size() >= 16 ? Get16(e.data, 14) : 0;
}

}  // namespace

int ChooseIconFileEntry(const IconFile& file, int size) {
    if (file.entries.empty() || size <= 0) return 0;
    int best = 0, bestDiff = 1 << 30, bestBits = -1;
    for (size_t i = 0; i < file.entries.size(); ++i) {
        const IconFileEntry& e = file.entries[i];
        int w = e.width ? e.width : 256;
        int bits = StoredImageDepth(e);
        int diff = std::abs(w - size);
        if (diff < bestDiff || (diff == bestDiff && bits > bestBits)) {
            best = int(i);
            bestDiff = diff;
            bestBits = bits;
        }
    }
    return best;
}

HICON CreateIcon(HINSTANCE, int width, int height, BYTE planes, BYTE bitsPixel, const BYTE* andBits,
                 const BYTE* xorBits) {
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || !andBits || !xorBits ||
        planes != 1 || (bitsPixel != 1 && bitsPixel != 24 && bitsPixel != 32)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    IconImage img;
    img.Resize(width, height);
    img.bitCount = bitsPixel;
    const int andStride = ((width + 15) / 16) * 2, xorStride = ((width * bitsPixel + 15) / 16) * 2;
    bool alpha = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            size_t i = size_t(y) * size_t(width) + size_t(x);
            img.mask[i] = (andBits[y * andStride + x / 8] >> (7 - x % 8)) & 1;
            const BYTE* row = xorBits + y * xorStride;
            uint32_t c;
            if (bitsPixel == 1) {
                c = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFFFF : 0;
            } else {
                const BYTE* q = row + x * (bitsPixel / 8);
                c = uint32_t(q[2]) << 16 | uint32_t(q[1]) << 8 | q[0];
                if (bitsPixel == 32) {
                    c |= uint32_t(q[3]) << 24;
                    alpha = alpha || q[3] != 0;
                }
            }
            img.pixels[i] = c;
        }
    img.hasAlpha = alpha;
    if (!alpha)
        for (size_t i = 0; i < img.pixels.size(); ++i)
            img.pixels[i] = (img.pixels[i] & 0xFFFFFF) | (img.mask[i] ? 0u : 0xFF000000u);
    return AddIcon(img, true, false);
}

HCURSOR CreateCursor(HINSTANCE inst, int xHot, int yHot, int width, int height, const void* andBits,
                     const void* xorBits) {
    HICON h = CreateIcon(inst, width, height, 1, 1, static_cast<const BYTE*>(andBits),
                         static_cast<const BYTE*>(xorBits));
    if (!h) return nullptr;
    auto o = Icons().Find(ToId(h));
    auto img = std::make_shared<IconImage>(*o->image);
    img->hotX = xHot;
    img->hotY = yHot;
    o->image = img;
    o->isIcon = false;
    return h;
}

HICON CopyIcon(HICON icon) {
    auto o = Icons().Find(ToId(icon));
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return AddIcon(*o->image, o->isIcon, false);
}

HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags) {
    auto o = Icons().Find(ToId(image));
    if (!o || (type != IMAGE_ICON && type != IMAGE_CURSOR)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const IconImage& src = *o->image;
    HICON copy = AddIcon(ScaleIconImage(src, cx > 0 ? cx : src.width, cy > 0 ? cy : src.height),
                         type == IMAGE_ICON, false);
    if (flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(image));
    return copy;
}

BOOL DestroyIcon(HICON icon) {
    auto o = Icons().Find(ToId(icon));
    if (!o) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    if (!o->shared) Icons().Remove(ToId(icon));
    return TRUE_;
}

BOOL DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

HICON LoadIconA(HINSTANCE inst, LPCSTR name) { return LoadShared(inst, name, false, 0); }
HCURSOR LoadCursorA(HINSTANCE inst, LPCSTR name) { return LoadShared(inst, name, true, 0); }

HICON CreateIconFromFileBytes(const std::string& bytes, int size, bool* isIcon) {
    IconFile f;
    IconImage img;
    if (!ReadIconFile(bytes, f)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const IconFileEntry& e = f.entries[size_t(ChooseIconFileEntry(f, size))];
    if (!DecodeIconEntry(e, img)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    bool icon = f.type == kIconFileIcon;
    if (!icon) {
        img.hotX = e.planes;
        img.hotY = e.bitCount;
    }
    if (isIcon) *isIcon = icon;
    return AddIcon(img, icon, false);
}

HANDLE LoadIconOrCursorImage(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool cursor = type == IMAGE_CURSOR;
    int size =
        cx > 0 ? cx : ((flags & LR_DEFAULTSIZE) ? (cursor ? kCursorSize : kLargeIconSize) : 0);
    if (flags & LR_LOADFROMFILE) {
        if (!name || IS_INTRESOURCE(name)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        HICON h = CreateIconFromFileBytes(bytes, size);
        if (h && (cx > 0 || cy > 0)) {
            auto img = IconImageOf(h);
            HANDLE scaled = CopyImage(h, type, cx > 0 ? cx : img->width, cy > 0 ? cy : img->height,
                                      LR_COPYDELETEORG);
            return scaled;
        }
        return h;
    }
    HICON h = LoadShared(inst, name, cursor, size);
    if (h && !(flags & LR_SHARED) && cx > 0 && cy > 0) return CopyImage(h, type, cx, cy, 0);
    return h;
}

HCURSOR SetCursor(HCURSOR cursor) {
    HCURSOR old = g_cursor;
    g_cursor = cursor;
    if (g_cursorHook && cursor != old) g_cursorHook(cursor);
    return old;
}

HCURSOR GetCursor() { return g_cursor; }

void InstallCursorHook(void (*show)(HCURSOR)) { g_cursorHook = show; }
