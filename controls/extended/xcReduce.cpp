// The six reductions of 24-bit pixels to 8-bit palette indices, in place.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/extended/xcDib.h"

namespace {

struct TRows {
    uint8_t* bits;
    int width, height;
    size_t in, out;  // row lengths of the 24-bit source and the 8-bit result
    const uint8_t* Src(int y) const { return bits + size_t(y) * in; }
    uint8_t* Dst(int y) const { return bits + size_t(y) * out; }
};

void SetEntry(uint8_t* pal, int i, int r, int g, int b) {
    pal[4 * i] = uint8_t(b);
    pal[4 * i + 1] = uint8_t(g);
    pal[4 * i + 2] = uint8_t(r);
    pal[4 * i + 3] = 0;
}

// Maps every pixel through Index(b, g, r, x, y), row by row; the write never passes the read.
template <class F>
void MapPixels(const TRows& rows, F index) {
    for (int y = 0; y < rows.height; ++y) {
        const uint8_t* s = rows.Src(y);
        uint8_t* d = rows.Dst(y);
        for (int x = 0; x < rows.width; ++x, s += 3) d[x] = index(s[0], s[1], s[2], x, y);
    }
}

// ---------------------------------------------------------------- fixed palettes

struct TLevels {
    std::array<uint8_t, 256> nearest{};
    explicit TLevels(std::initializer_list<int> levels) {
        std::vector<int> l(levels);
        for (int v = 0; v < 256; ++v) {
            int best = 0;
            for (int i = 1; i < int(l.size()); ++i)
                if (std::abs(l[i] - v) < std::abs(l[best] - v))
                    best = i;  // the lower level wins a tie
            nearest[v] = uint8_t(best);
        }
    }
};

const int levels6[] = {0, 51, 102, 153, 204, 255};
const int levels7[] = {0, 43, 85, 128, 170, 213, 255};
const int levels8[] = {0, 36, 73, 109, 146, 182, 219, 255};
const int levels4[] = {0, 85, 170, 255};

uint32_t Fixed224(const TRows& rows, uint8_t* pal) {
    static const TLevels r7{0, 43, 85, 128, 170, 213, 255}, g8{0, 36, 73, 109, 146, 182, 219, 255},
        b4{0, 85, 170, 255};
    for (int r = 0; r < 7; ++r)
        for (int g = 0; g < 8; ++g)
            for (int b = 0; b < 4; ++b)
                SetEntry(pal, r * 32 + g * 4 + b, levels7[r], levels8[g], levels4[b]);
    MapPixels(rows, [](uint8_t b, uint8_t g, uint8_t r, int, int) {
        return uint8_t(r7.nearest[r] * 32 + g8.nearest[g] * 4 + b4.nearest[b]);
    });
    return 224;
}

uint32_t Fixed216(const TRows& rows, uint8_t* pal) {
    static const TLevels l6{0, 51, 102, 153, 204, 255};
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                SetEntry(pal, r * 36 + g * 6 + b, levels6[r], levels6[g], levels6[b]);
    MapPixels(rows, [](uint8_t b, uint8_t g, uint8_t r, int, int) {
        return uint8_t(l6.nearest[r] * 36 + l6.nearest[g] * 6 + l6.nearest[b]);
    });
    return 216;
}

uint32_t ChannelSplit(const TRows& rows, uint8_t* pal) {
    for (int i = 0; i < 64; ++i) {
        SetEntry(pal, i, 4 * i, 0, 0);
        SetEntry(pal, 64 + i, 0, 4 * i, 0);
        SetEntry(pal, 128 + i, 0, 0, 4 * i);
    }
    MapPixels(rows, [](uint8_t b, uint8_t g, uint8_t r, int x, int y) {
        switch ((x + y) % 3) {
            case 0:
                return uint8_t(r / 4);
            case 1:
                return uint8_t(g / 4 + 64);
            default:
                return uint8_t(b / 4 + 128);
        }
    });
    return 0;
}

uint32_t Grayscale(const TRows& rows, uint8_t* pal) {
    for (int i = 0; i < 256; ++i) SetEntry(pal, i, i, i, i);
    MapPixels(rows, [](uint8_t b, uint8_t g, uint8_t r, int, int) {
        return uint8_t((77 * r + 150 * g + 29 * b) / 256);
    });
    return 0;
}

// ---------------------------------------------------------------- quantizer

constexpr int HashSlots = 5191, MaxColors = 2049;

struct TQuantColor {
    uint8_t b, g, r;
    uint32_t count;
    uint8_t index;
};

class TQuantizer {
public:
    uint8_t mask[3] = {0xFF, 0xFF, 0xFF};  // blue, green, red
    std::vector<TQuantColor> colors;

    // Counts the masked colours; false when there are more than the table holds.
    bool Count(const TRows& rows) {
        colors.clear();
        std::fill(slots_.begin(), slots_.end(), uint16_t(0xFFFF));
        for (int y = 0; y < rows.height; ++y) {
            const uint8_t* s = rows.Src(y);
            for (int x = 0; x < rows.width; ++x, s += 3) {
                uint16_t& slot = Find(s[0] & mask[0], s[1] & mask[1], s[2] & mask[2]);
                if (slot != 0xFFFF) {
                    ++colors[slot].count;
                    continue;
                }
                if (int(colors.size()) >= MaxColors) return false;
                slot = uint16_t(colors.size());
                colors.push_back({uint8_t(s[0] & mask[0]), uint8_t(s[1] & mask[1]),
                                  uint8_t(s[2] & mask[2]), 1, 0});
            }
        }
        return true;
    }
    // Drops one more low bit of one channel: green when red's mask is below green's, else
    // blue when red is at most blue, else red.
    void DropBit() {
        uint8_t& m = mask[2] < mask[1] ? mask[1] : mask[2] <= mask[0] ? mask[0] : mask[2];
        m = uint8_t(m << 1);
    }
    uint16_t& Find(uint8_t b, uint8_t g, uint8_t r) {
        unsigned h = unsigned((r + g) * (g + b) * (b + r)) % HashSlots;
        for (;;) {
            uint16_t& slot = slots_[h];
            if (slot == 0xFFFF) return slot;
            const TQuantColor& c = colors[slot];
            if (c.b == b && c.g == g && c.r == r) return slot;
            h = (h + 1) % HashSlots;
        }
    }

private:
    std::array<uint16_t, HashSlots> slots_{};
};

uint32_t Quantize(const TRows& rows, uint8_t* pal, int entries) {
    TQuantizer q;
    while (!q.Count(rows)) q.DropBit();
    std::vector<uint32_t> remaining(q.colors.size());
    for (size_t i = 0; i < q.colors.size(); ++i) remaining[i] = q.colors[i].count;
    std::vector<bool> chosen(q.colors.size());
    int slot = 0;
    for (; slot < entries; ++slot) {
        int best = -1;
        for (size_t i = 0; i < q.colors.size(); ++i)
            if (!chosen[i] && (best < 0 || remaining[i] > remaining[size_t(best)])) best = int(i);
        if (best < 0) break;
        TQuantColor& c = q.colors[size_t(best)];
        SetEntry(pal, slot, c.r, c.g, c.b);
        c.index = uint8_t(slot);
        chosen[size_t(best)] = true;
        remaining[size_t(best)] = 0;
    }
    for (int i = entries; i < 256; ++i) SetEntry(pal, i, 128, 128, 128);
    for (size_t i = 0; i < q.colors.size(); ++i) {
        if (chosen[i]) continue;
        TQuantColor& c = q.colors[i];
        long best = -1;
        for (int e = 0; e < slot; ++e) {
            long db = pal[4 * e] - c.b, dg = pal[4 * e + 1] - c.g, dr = pal[4 * e + 2] - c.r;
            long d = db * db + dg * dg + dr * dr;
            if (best < 0 || d < best) best = d, c.index = uint8_t(e);
        }
    }
    MapPixels(rows, [&q](uint8_t b, uint8_t g, uint8_t r, int, int) {
        return q.colors[q.Find(b & q.mask[0], g & q.mask[1], r & q.mask[2])].index;
    });
    return 0;
}

// ---------------------------------------------------------------- median cut

struct TCell {
    uint8_t level[3];  // red, green, blue (high nibbles)
    uint8_t index = 0;
    uint32_t count = 0;
};

struct TBox {
    int lower[3] = {0, 0, 0};
    int width[3] = {255, 255, 255};
    std::vector<int> cells;  // cube cell numbers, in list order
    uint64_t total = 0;
};

int CellOf(uint8_t b, uint8_t g, uint8_t r) { return (r >> 4) * 256 + (g >> 4) * 16 + (b >> 4); }

// Orders cells [lo, hi] by their key: a quicksort around the middle element's key, short
// runs by insertion. Cells of equal key do not keep their order (an inserted cell goes
// before the equal ones already placed); which cells end up below the median, and so the
// palette, depends on that order.
template <class Key>
void SortCells(std::vector<int>& cells, int lo, int hi, const Key& key) {
    if (hi - lo + 1 < 8) {
        for (int i = lo + 1; i <= hi; ++i) {
            const int cell = cells[size_t(i)];
            int j = i;
            for (; j > lo && key(cells[size_t(j - 1)]) >= key(cell); --j)
                cells[size_t(j)] = cells[size_t(j - 1)];
            cells[size_t(j)] = cell;
        }
        return;
    }
    const auto pivot = key(cells[size_t((lo + hi) / 2)]);
    int i = lo, j = hi;
    while (i <= j) {
        while (key(cells[size_t(i)]) < pivot) ++i;
        while (key(cells[size_t(j)]) > pivot) --j;
        if (i <= j) std::swap(cells[size_t(i++)], cells[size_t(j--)]);
    }
    if (lo < j) SortCells(cells, lo, j, key);
    if (i < hi) SortCells(cells, i, hi, key);
}

// Splits boxes at the median of their widest channel until Wanted boxes exist or no box of
// two or more cells is left.
void SplitColorBoxMedianCut(std::vector<TBox>& boxes, std::vector<TCell>& cube, size_t wanted) {
    while (boxes.size() < wanted) {
        int pick = -1, channel = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].cells.size() < 2) continue;
            for (int c = 0; c < 3; ++c)
                if (pick < 0 || boxes[b].width[c] > boxes[size_t(pick)].width[channel])
                    pick = int(b), channel = c;
        }
        if (pick < 0) return;
        TBox& box = boxes[size_t(pick)];
        SortCells(box.cells, 0, int(box.cells.size()) - 1,
                  [&](int cell) { return cube[size_t(cell)].level[channel]; });
        size_t lowerCells = 0;
        uint64_t sum = 0;
        while (lowerCells + 1 < box.cells.size() &&
               sum + cube[size_t(box.cells[lowerCells])].count <= box.total / 2)
            sum += cube[size_t(box.cells[lowerCells++])].count;
        if (lowerCells == 0) lowerCells = 1;
        TBox upper;
        upper.cells.assign(box.cells.begin() + ptrdiff_t(lowerCells), box.cells.end());
        box.cells.resize(lowerCells);
        std::copy(box.lower, box.lower + 3, upper.lower);
        std::copy(box.width, box.width + 3, upper.width);
        const int split = 16 * cube[size_t(upper.cells.front())].level[channel];
        upper.lower[channel] = split;
        upper.width[channel] = std::max(0, box.lower[channel] + box.width[channel] - split);
        box.width[channel] =
            std::max(0, 16 * cube[size_t(box.cells.back())].level[channel] - box.lower[channel]);
        box.total = upper.total = 0;
        for (int c : box.cells) box.total += cube[size_t(c)].count;
        for (int c : upper.cells) upper.total += cube[size_t(c)].count;
        boxes.push_back(std::move(upper));
    }
}

uint32_t MedianCut(const TRows& rows, uint8_t* pal) {
    std::vector<TCell> cube(4096);
    for (int i = 0; i < 4096; ++i)
        cube[size_t(i)].level[0] = uint8_t(i >> 8),
        cube[size_t(i)].level[1] = uint8_t((i >> 4) & 15),
        cube[size_t(i)].level[2] = uint8_t(i & 15);
    std::vector<TBox> boxes(1);
    for (int y = 0; y < rows.height; ++y) {
        const uint8_t* s = rows.Src(y);
        for (int x = 0; x < rows.width; ++x, s += 3) ++cube[size_t(CellOf(s[0], s[1], s[2]))].count;
    }
    for (int i = 0; i < 4096; ++i)
        if (cube[size_t(i)].count) boxes[0].cells.push_back(i);
    boxes[0].total = uint64_t(rows.width) * uint64_t(rows.height);
    if (boxes[0].cells.empty()) boxes.clear();
    SplitColorBoxMedianCut(boxes, cube, 256);
    std::memset(pal, 0, 256 * 4);
    for (size_t b = 0; b < boxes.size(); ++b) {
        unsigned sum[3] = {0, 0, 0};
        for (int c : boxes[b].cells) {
            for (int k = 0; k < 3; ++k) sum[k] += cube[size_t(c)].level[k];
            cube[size_t(c)].index = uint8_t(b);
        }
        const unsigned n = unsigned(boxes[b].cells.size());
        int ch[3];
        for (int k = 0; k < 3; ++k) ch[k] = int(std::min(255u, (sum[k] * 16 + 15) / n));
        if (ch[0] <= 16 && ch[1] <= 16 && ch[2] <= 16) ch[0] = ch[1] = ch[2] = 0;
        SetEntry(pal, int(b), ch[0], ch[1], ch[2]);
    }
    MapPixels(rows, [&cube](uint8_t b, uint8_t g, uint8_t r, int, int) {
        return cube[size_t(CellOf(b, g, r))].index;
    });
    return uint32_t(boxes.size());
}

}  // namespace

uint32_t ReduceDib24To8(uint8_t* bits, int width, int height, TColorReduction method,
                        int paletteSize, uint8_t palette[256 * 4]) {
    std::memset(palette, 0, 256 * 4);
    const TRows rows{bits, width, height, RowLength(size_t(width), 24),
                     RowLength(size_t(width), 8)};
    switch (method) {
        case rdQuantize:
            return Quantize(rows, palette, std::clamp(paletteSize, 1, 256));
        case rdMedianCut:
            return MedianCut(rows, palette);
        case rdFixed224:
            return Fixed224(rows, palette);
        case rdFixed216:
            return Fixed216(rows, palette);
        case rdChannelSplit:
            return ChannelSplit(rows, palette);
        case rdGrayscale:
            return Grayscale(rows, palette);
    }
    return 0;
}
