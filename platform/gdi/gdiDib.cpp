// Packed DIB rows of every depth to and from 32-bit pixels.
#include "platform/gdi/gdiDib.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <unordered_map>

#include "platform/win/dibHeader.h"

namespace gdi {
namespace {

uint32_t FromQuad(const RGBQUAD& q) {
    return 0xFF000000u | uint32_t(q.rgbRed) << 16 | uint32_t(q.rgbGreen) << 8 | q.rgbBlue;
}

uint32_t Place(uint32_t c8, DWORD mask) {
    if (!mask) return 0;
    int shift = std::countr_zero(mask);
    int bits = std::popcount(mask);
    uint32_t c = bits >= 8 ? c8 << (bits - 8) : c8 >> (8 - bits);
    return (c << shift) & mask;
}

void Masks(const DibFormat& f, DWORD& r, DWORD& g, DWORD& b) {
    if (f.masks[0] || f.masks[1] || f.masks[2]) {
        r = f.masks[0];
        g = f.masks[1];
        b = f.masks[2];
        return;
    }
    if (f.bpp == 16) {
        r = 0x7C00;
        g = 0x03E0;
        b = 0x001F;
        return;
    }
    r = 0xFF0000;
    g = 0x00FF00;
    b = 0x0000FF;
}

class Nearest {
public:
    explicit Nearest(const std::vector<RGBQUAD>& c) : colors_(c) {}
    int operator()(uint32_t px) {
        px &= 0xFFFFFF;
        auto it = cache_.find(px);
        if (it != cache_.end()) return it->second;
        int best = 0;
        long bestD = -1;
        int r = int((px >> 16) & 0xFF), g = int((px >> 8) & 0xFF), b = int(px & 0xFF);
        for (size_t i = 0; i < colors_.size(); ++i) {
            long dr = r - colors_[i].rgbRed, dg = g - colors_[i].rgbGreen,
                 db = b - colors_[i].rgbBlue;
            long d = dr * dr + dg * dg + db * db;
            if (bestD < 0 || d < bestD) {
                bestD = d;
                best = int(i);
            }
            if (d == 0) break;
        }
        return cache_[px] = best;
    }

private:
    const std::vector<RGBQUAD>& colors_;
    std::unordered_map<uint32_t, int> cache_;
};

}  // namespace

std::vector<RGBQUAD> DefaultColors(int bpp) {
    auto q = [](COLORREF c) { return RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0}; };
    std::vector<RGBQUAD> t;
    if (bpp == 1) return {q(0), q(0xFFFFFF)};
    static const COLORREF kVga[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                      0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                      0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
    for (COLORREF c : kVga) t.push_back(q(c));
    if (bpp == 4) return t;
    if (bpp != 8) return {};
    // Sixteen VGA colours, a 6x6x6 colour cube, then greys.
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                t.push_back(q(RGB(BYTE(r * 51), BYTE(g * 51), BYTE(b * 51))));
    for (int i = 0; t.size() < 256; ++i) {
        BYTE v = BYTE(8 + i * 10);
        t.push_back(q(RGB(v, v, v)));
    }
    return t;
}

bool FormatOf(const BITMAPINFO* bmi, UINT usage, const Dc* dc, DibFormat& f) {
    if (!bmi) return false;
    // A program's BITMAPINFO is as long as its header says, as Windows takes it.
    DibHeader h;
    DibReadOptions options;
    options.core = false;
    options.paletteIndices = usage == DIB_PAL_COLORS;
    if (ReadDibHeader(reinterpret_cast<const uint8_t*>(bmi), SIZE_MAX, h, options)) return false;
    f.bpp = h.bitCount;
    f.width = h.width;
    f.height = h.height;
    f.topDown = h.topDown;
    f.stride = DibRowBytes(f.width, f.bpp);
    if (h.compression == kDibBitfields) {
        std::copy(std::begin(h.masks), std::end(h.masks), f.masks);
    } else if (f.bpp <= 8) {
        f.colors.resize(std::min(h.colors.size(), size_t(1) << f.bpp));
        for (size_t i = 0; i < f.colors.size(); ++i) {
            COLORREF c = h.colors[i];  // 0x00RRGGBB
            if (usage == DIB_PAL_COLORS) {
                COLORREF r = dc ? ResolveColor(*dc, PALETTEINDEX(WORD(c))) : 0;
                c = COLORREF(GetRValue(r)) << 16 | COLORREF(GetGValue(r)) << 8 | GetBValue(r);
            }
            f.colors[i] = RGBQUAD{BYTE(c), BYTE(c >> 8), BYTE(c >> 16), 0};
        }
    }
    return true;
}

void UnpackRow(const uint8_t* s, const DibFormat& f, uint32_t* d, int count) {
    auto color = [&](size_t i) {
        return i < f.colors.size() ? FromQuad(f.colors[i]) : 0xFF000000u;
    };
    DWORD mr, mg, mb;
    Masks(f, mr, mg, mb);
    for (int x = 0; x < count; ++x) {
        switch (f.bpp) {
            case 1:
                d[x] = color((s[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                d[x] = color((s[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
                break;
            case 8:
                d[x] = color(s[x]);
                break;
            case 16: {
                uint32_t v = uint32_t(s[2 * x]) | uint32_t(s[2 * x + 1]) << 8;
                d[x] = 0xFF000000u | DibChannel(v, mr) << 16 | DibChannel(v, mg) << 8 |
                       DibChannel(v, mb);
                break;
            }
            case 24:
                d[x] = 0xFF000000u | uint32_t(s[3 * x + 2]) << 16 | uint32_t(s[3 * x + 1]) << 8 |
                       s[3 * x];
                break;
            default: {
                uint32_t v = uint32_t(s[4 * x]) | uint32_t(s[4 * x + 1]) << 8 |
                             uint32_t(s[4 * x + 2]) << 16 | uint32_t(s[4 * x + 3]) << 24;
                d[x] = 0xFF000000u | DibChannel(v, mr) << 16 | DibChannel(v, mg) << 8 |
                       DibChannel(v, mb);
                break;
            }
        }
    }
}

void PackRow(const uint32_t* s, const DibFormat& f, uint8_t* d, int count) {
    DWORD mr, mg, mb;
    Masks(f, mr, mg, mb);
    if (f.bpp <= 8) {
        Nearest nearest(f.colors);
        for (int x = 0; x < count; ++x) {
            int i = f.colors.empty() ? 0 : nearest(s[x]);
            if (f.bpp == 1) {
                uint8_t bit = uint8_t(0x80 >> (x & 7));
                d[x >> 3] = uint8_t(i ? (d[x >> 3] | bit) : (d[x >> 3] & ~bit));
            } else if (f.bpp == 4) {
                uint8_t& b = d[x >> 1];
                b = (x & 1) ? uint8_t((b & 0xF0) | i) : uint8_t((b & 0x0F) | (i << 4));
            } else {
                d[x] = uint8_t(i);
            }
        }
        return;
    }
    for (int x = 0; x < count; ++x) {
        uint32_t r = (s[x] >> 16) & 0xFF, g = (s[x] >> 8) & 0xFF, b = s[x] & 0xFF;
        switch (f.bpp) {
            case 16: {
                uint32_t v = Place(r, mr) | Place(g, mg) | Place(b, mb);
                d[2 * x] = uint8_t(v);
                d[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            case 24:
                d[3 * x] = uint8_t(b);
                d[3 * x + 1] = uint8_t(g);
                d[3 * x + 2] = uint8_t(r);
                break;
            default: {
                // The fourth byte (alpha, for those who keep one there) is left as it was.
                uint32_t v = Place(r, mr) | Place(g, mg) | Place(b, mb);
                uint32_t keep = ~(mr | mg | mb);
                uint32_t old = uint32_t(d[4 * x]) | uint32_t(d[4 * x + 1]) << 8 |
                               uint32_t(d[4 * x + 2]) << 16 | uint32_t(d[4 * x + 3]) << 24;
                v |= old & keep;
                for (int k = 0; k < 4; ++k) d[4 * x + k] = uint8_t(v >> (8 * k));
                break;
            }
        }
    }
}

}  // namespace gdi
