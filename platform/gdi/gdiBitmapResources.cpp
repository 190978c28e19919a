// Bitmaps by resource name: the system's standard bitmaps (drawn here) and the bitmaps
// compiled into the program; LoadImageA over them and over icons and cursors.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/iconDraw.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/byteOrder.h"
#include "platform/win/dibHeader.h"

namespace {

constexpr uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000, kShadow = 0x808080, kDark = 0x404040,
                   kLight = 0xD4D0C8, kFace = 0xD4D0C8;

// The classic 13 x 13 check boxes: columns normal, checked, pushed, pushed and checked;
// rows check box, radio button, three-state box.
HBITMAP CheckBoxes() {
    const int cell = 13, w = 4 * cell, h = 3 * cell;
    std::vector<uint32_t> px(size_t(w) * size_t(h), kFace);
    auto set = [&](int x, int y, uint32_t c) { px[size_t(y) * size_t(w) + size_t(x)] = c; };
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) {
            int ox = col * cell, oy = row * cell;
            bool pushed = col >= 2, checked = col % 2 == 1;
            uint32_t inside = pushed ? kFace : kWhite, mark = row == 2 ? kShadow : kBlack;
            if (row == 1) {
                for (int y = 0; y < cell; ++y)
                    for (int x = 0; x < cell; ++x) {
                        int dx = 2 * x - 12, dy = 2 * y - 12, d = dx * dx + dy * dy;
                        if (d <= 144)
                            set(ox + x, oy + y,
                                d >= 100 ? (dx + dy < 0 ? kShadow : kWhite) : inside);
                        if (checked && d <= 16) set(ox + x, oy + y, kBlack);
                    }
                continue;
            }
            for (int i = 0; i < cell; ++i) {
                set(ox + i, oy, kShadow);
                set(ox, oy + i, kShadow);
                set(ox + i, oy + cell - 1, kWhite);
                set(ox + cell - 1, oy + i, kWhite);
            }
            for (int i = 1; i < cell - 1; ++i) {
                set(ox + i, oy + 1, kDark);
                set(ox + 1, oy + i, kDark);
                set(ox + i, oy + cell - 2, kLight);
                set(ox + cell - 2, oy + i, kLight);
            }
            for (int y = 2; y < cell - 2; ++y)
                for (int x = 2; x < cell - 2; ++x) set(ox + x, oy + y, inside);
            if (checked)
                for (int i = 0; i < 7; ++i) {
                    int x = ox + 3 + i, y = oy + (i < 3 ? 5 + i : 9 - (i - 2));
                    for (int t = 0; t < 3; ++t) set(x, y + t, mark);
                }
        }
    return CreateBitmap(w, h, 1, 32, px.data());
}

HBITMAP CheckMark() {
    const int n = 13;
    std::vector<uint8_t> rows(size_t(2 * n), 0xFF);  // word-aligned monochrome rows, white
    for (int i = 0; i < 7; ++i) {
        int x = 3 + i, y = i < 3 ? 5 + i : 9 - (i - 2);
        for (int t = 0; t < 3; ++t)
            rows[size_t(y + t) * 2 + size_t(x / 8)] &= uint8_t(~(0x80 >> (x % 8)));
    }
    return CreateBitmap(n, n, 1, 1, rows.data());
}

std::string NameOf(LPCSTR name) {
    return IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name))
                                : std::string(name);
}

}  // namespace

HBITMAP LoadBitmapA(HINSTANCE inst, LPCSTR name) {
    if (!name) return nullptr;
    if (!inst) {
        switch (reinterpret_cast<uintptr_t>(name)) {
            case OBM_CHECKBOXES:
                return CheckBoxes();
            case OBM_CHECK:
                return CheckMark();
            default:
                SetLastError(1814);
                return nullptr;  // ERROR_RESOURCE_NAME_NOT_FOUND
        }
    }
    std::string path = "bitmaps/" + NameOf(name) + ".bmp";
    const EmbeddedResource* r = FindEmbeddedResource(path.c_str());
    HBITMAP b = r ? BitmapFromBmpFile(std::string(reinterpret_cast<const char*>(r->data), r->size))
                  : nullptr;
    if (!b) SetLastError(1814);
    return b;
}

HANDLE LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_BITMAP) return LoadIconOrCursorImage(inst, name, type, cx, cy, flags);
    if (flags & LR_LOADFROMFILE) {
        if (!name || IS_INTRESOURCE(name) || !FileExists(name)) {
            SetLastError(ERROR_FILE_NOT_FOUND);
            return nullptr;
        }
        return BitmapFromBmpFile(ReadFileText(name));
    }
    return LoadBitmapA(inst, name);
}

HBITMAP BitmapFromBmpFile(const std::string& bytes) {
    if (bytes.size() < 14 + 40 || bytes.compare(0, 2, "BM") != 0) return nullptr;
    uint32_t offBits = Get32(bytes, 10);
    // The bits follow the file header, the info header and the colour table.
    if (offBits < 14 + 40 || offBits >= bytes.size()) return nullptr;
    // Header and colour table copied so they are aligned for the GDI.
    std::vector<uint8_t> info(bytes.begin() + 14, bytes.begin() + offBits);
    DibHeader header;
    DibReadOptions options;
    options.core = false;
    if (ReadDibHeader(info.data(), info.size(), header, options)) return nullptr;
    if (!header.RowsFit(size_t(header.height), bytes.size() - offBits)) return nullptr;
    const auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
    return CreateDIBitmap(nullptr, &bmi->bmiHeader, CBM_INIT, bytes.data() + offBits, bmi,
                          DIB_RGB_COLORS);
}
