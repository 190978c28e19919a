#include "platform/rtl/trueTypeCmap.h"

#include <algorithm>
#include <cstdint>

#include "platform/rtl/mappedFile.h"

namespace {

// Big-endian reads of a window of the file; any read past the window's end is damage.
class TWindow {
public:
    TWindow(std::string_view data, uint64_t offset, uint64_t length) {
        if (offset > data.size() || length > data.size() - offset)
            throw ETrueTypeError("font table lies beyond the end of the file");
        data_ = data.substr(size_t(offset), size_t(length));
    }
    size_t Size() const { return data_.size(); }
    TWindow Sub(uint64_t offset, uint64_t length) const { return TWindow(data_, offset, length); }
    TWindow From(uint64_t offset) const {
        if (offset > data_.size())
            throw ETrueTypeError("font table lies beyond the end of the file");
        return TWindow(data_, offset, data_.size() - offset);
    }
    uint32_t U16(uint64_t at) const { return uint32_t(Byte(at) << 8 | Byte(at + 1)); }
    uint32_t U32(uint64_t at) const { return U16(at) << 16 | U16(at + 2); }

private:
    uint32_t Byte(uint64_t at) const {
        if (at >= data_.size()) throw ETrueTypeError("font table is cut short");
        return static_cast<unsigned char>(data_[size_t(at)]);
    }
    std::string_view data_;
};

constexpr uint32_t Tag(const char (&t)[5]) {
    return uint32_t(uint8_t(t[0])) << 24 | uint32_t(uint8_t(t[1])) << 16 |
           uint32_t(uint8_t(t[2])) << 8 | uint32_t(uint8_t(t[3]));
}

// The table of the face's directory with the tag, or none.
bool FindTable(const TWindow& file, uint32_t directory, uint32_t tag, TWindow& table) {
    const uint32_t count = file.U16(uint64_t(directory) + 4);
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t record = uint64_t(directory) + 12 + 16 * uint64_t(i);
        if (file.U32(record) != tag) continue;
        table = file.Sub(file.U32(record + 8), file.U32(record + 12));
        return true;
    }
    return false;
}

void AddGlyphRun(std::vector<TCodeRange>& out, uint64_t first, uint64_t last) {
    if (first > last || first > 0x10FFFF) return;
    out.push_back({char32_t(first), char32_t(std::min<uint64_t>(last, 0x10FFFF))});
}

// Format 4: segments of 16-bit characters, each mapped by a delta or through an array.
void ReadFormat4(const TWindow& sub, uint32_t glyphs, std::vector<TCodeRange>& out) {
    const uint32_t segX2 = sub.U16(6);
    if (segX2 % 2) throw ETrueTypeError("character map segment count is odd");
    const uint64_t ends = 14, starts = ends + segX2 + 2, deltas = starts + segX2,
                   ranges = deltas + segX2;
    int64_t previousLast = -1;
    for (uint64_t s = 0; s < segX2; s += 2) {
        const uint32_t first = sub.U16(starts + s), last = sub.U16(ends + s);
        // Segments come in order and apart; overlapping ones would also let a damaged map
        // cost billions of steps.
        if (first > last) continue;
        if (int64_t(first) <= previousLast) throw ETrueTypeError("character map segments overlap");
        previousLast = last;
        const uint32_t delta = sub.U16(deltas + s), rangeOffset = sub.U16(ranges + s);
        for (uint32_t c = first; c <= last && c < 0xFFFF; ++c) {
            uint32_t glyph;
            if (rangeOffset == 0) {
                glyph = (c + delta) & 0xFFFF;
            } else {
                const uint64_t at = ranges + s + rangeOffset + 2 * uint64_t(c - first);
                if (at + 2 > sub.Size()) break;  // the rest of the segment points past the map
                glyph = sub.U16(at);
                if (glyph) glyph = (glyph + delta) & 0xFFFF;
            }
            if (glyph != 0 && glyph < glyphs) AddGlyphRun(out, c, c);
        }
    }
}

// Format 12: groups of characters mapped to consecutive glyphs.
void ReadFormat12(const TWindow& sub, uint32_t glyphs, std::vector<TCodeRange>& out) {
    const uint32_t groups = sub.U32(12);
    if (uint64_t(groups) * 12 > sub.Size() - std::min<size_t>(sub.Size(), 16))
        throw ETrueTypeError("character map groups run past the map");
    for (uint64_t g = 0; g < groups; ++g) {
        const uint64_t at = 16 + 12 * g;
        uint64_t first = sub.U32(at), last = sub.U32(at + 4), glyph = sub.U32(at + 8);
        if (first > last) continue;
        if (glyph == 0) ++first, ++glyph;  // the first character leads to the missing glyph
        if (glyph >= glyphs) continue;
        AddGlyphRun(out, first, std::min(last, first + (glyphs - 1 - glyph)));
    }
}

}  // namespace

std::vector<TCodeRange> TrueTypeCharacters(std::string_view data, unsigned face) {
    const TWindow file(data, 0, data.size());
    uint32_t directory = 0;
    if (file.U32(0) == Tag("ttcf")) {
        if (face >= file.U32(8))
            throw ETrueTypeError("the collection has no face " + std::to_string(face));
        directory = file.U32(12 + 4 * uint64_t(face));
    } else if (face != 0) {
        throw ETrueTypeError("a single font has no face " + std::to_string(face));
    }
    TWindow cmap(data, 0, 0), maxp(data, 0, 0);
    if (!FindTable(file, directory, Tag("cmap"), cmap))
        throw ETrueTypeError("the face has no character map");
    if (!FindTable(file, directory, Tag("maxp"), maxp))
        throw ETrueTypeError("the face has no glyph count");
    const uint32_t glyphs = maxp.U16(4);

    // The Unicode map: the full-range one where there is one, else the 16-bit one.
    int best = 0;
    uint32_t bestOffset = 0;
    const uint32_t maps = cmap.U16(2);
    for (uint32_t i = 0; i < maps; ++i) {
        const uint64_t record = 4 + 8 * uint64_t(i);
        const uint32_t platform = cmap.U16(record), encoding = cmap.U16(record + 2);
        const uint32_t offset = cmap.U32(record + 4);
        const bool unicode = platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10));
        if (!unicode) continue;
        const uint32_t format = cmap.From(offset).U16(0);
        const int rank = format == 12 ? 2 : format == 4 ? 1 : 0;
        if (rank > best) best = rank, bestOffset = offset;
    }
    if (best == 0) throw ETrueTypeError("the face has no Unicode character map");

    std::vector<TCodeRange> found;
    const TWindow at = cmap.From(bestOffset);
    if (best == 2)
        ReadFormat12(at.Sub(0, std::min<uint64_t>(at.U32(4), at.Size())), glyphs, found);
    else
        ReadFormat4(at, glyphs,
                    found);  // its 16-bit length overflows in large faces: the table bounds it

    std::sort(found.begin(), found.end(),
              [](const TCodeRange& a, const TCodeRange& b) { return a.first < b.first; });
    std::vector<TCodeRange> merged;
    for (const TCodeRange& r : found) {
        if (!merged.empty() && uint64_t(r.first) <= uint64_t(merged.back().last) + 1)
            merged.back().last = std::max(merged.back().last, r.last);
        else
            merged.push_back(r);
    }
    return merged;
}

std::vector<TCodeRange> ReadTrueTypeCharacters(const std::string& fileName, unsigned face) {
    const TMappedFile file(fileName);
    return TrueTypeCharacters(file.Data(), face);
}
