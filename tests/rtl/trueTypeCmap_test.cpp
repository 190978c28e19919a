// Reading a face's Unicode character map: small faces built here, a collection of them,
// and damaged copies of each.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/trueTypeCmap.h"

namespace {

void Put16(std::string& s, uint32_t v) {
    s += char(v >> 8);
    s += char(v);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v >> 16);
    Put16(s, v);
}

struct TSegment {
    uint16_t first, last, delta;
    std::vector<uint16_t> glyphs;  // mapped through the glyph array when not empty
};

// A format 4 map; the closing 0xFFFF segment is added.
std::string Format4(std::vector<TSegment> segments) {
    segments.push_back({0xFFFF, 0xFFFF, 1, {}});
    const uint32_t n = uint32_t(segments.size());
    std::string body;
    for (const auto& s : segments) Put16(body, s.last);
    Put16(body, 0);
    for (const auto& s : segments) Put16(body, s.first);
    for (const auto& s : segments) Put16(body, s.delta);
    // Each array segment's offset counts from its own idRangeOffset entry.
    uint32_t arrayAt = 0;
    for (uint32_t i = 0; i < n; ++i) {
        Put16(body, segments[i].glyphs.empty() ? 0 : 2 * (n - i) + arrayAt);
        arrayAt += 2 * uint32_t(segments[i].glyphs.size());
    }
    for (const auto& s : segments)
        for (uint16_t g : s.glyphs) Put16(body, g);
    std::string map;
    Put16(map, 4);
    Put16(map, uint32_t(14 + body.size()));
    Put16(map, 0);
    Put16(map, 2 * n);
    Put16(map, 0), Put16(map, 0), Put16(map, 0);
    return map + body;
}

struct TGroup {
    uint32_t first, last, glyph;
};
std::string Format12(const std::vector<TGroup>& groups) {
    std::string map;
    Put16(map, 12);
    Put16(map, 0);
    Put32(map, uint32_t(16 + 12 * groups.size()));
    Put32(map, 0);
    Put32(map, uint32_t(groups.size()));
    for (const auto& g : groups) Put32(map, g.first), Put32(map, g.last), Put32(map, g.glyph);
    return map;
}

// A cmap table holding the given (platform, encoding, subtable) maps.
std::string Cmap(const std::vector<std::tuple<uint16_t, uint16_t, std::string>>& maps) {
    std::string head, tail;
    Put16(head, 0);
    Put16(head, uint32_t(maps.size()));
    uint32_t at = uint32_t(4 + 8 * maps.size());
    for (const auto& [platform, encoding, sub] : maps) {
        Put16(head, platform), Put16(head, encoding), Put32(head, at);
        at += uint32_t(sub.size());
        tail += sub;
    }
    return head + tail;
}

// A face of the cmap and maxp tables, its table offsets counted from `base` (its place in
// a collection).
std::string Face(const std::string& cmap, uint32_t glyphs, uint32_t base = 0) {
    std::string maxp;
    Put32(maxp, 0x00005000);
    Put16(maxp, glyphs);
    std::string f;
    Put32(f, 0x00010000);
    Put16(f, 2), Put16(f, 0), Put16(f, 0), Put16(f, 0);
    const uint32_t first = base + 12 + 32;
    f += "cmap", Put32(f, 0), Put32(f, first), Put32(f, uint32_t(cmap.size()));
    f += "maxp", Put32(f, 0), Put32(f, first + uint32_t(cmap.size())),
        Put32(f, uint32_t(maxp.size()));
    return f + cmap + maxp;
}

std::string Ranges(const std::vector<TCodeRange>& ranges) {
    std::string s;
    for (const auto& r : ranges) s += std::to_string(r.first) + "-" + std::to_string(r.last) + " ";
    return s;
}

// 'A'..'C' by delta, 0x4E00..0x4E03 through the array (0x4E01 unmapped), 0x520F left out.
const std::string kBmpMap =
    Format4({{0x41, 0x43, 0xFFC0 /* 'A' -> 1 */, {}}, {0x4E00, 0x4E03, 0, {4, 0, 5, 6}}});

TEST(TrueTypeCmap, CharactersWithGlyphsOfEachKindOfFace) {
    const struct {
        const char* name;
        std::string data;
        unsigned face;
        std::string ranges;
    } rows[] = {
        {"format 4 by delta and by array", Face(Cmap({{3, 1, kBmpMap}}), 10), 0,
         "65-67 19968-19968 19970-19971 "},
        {"glyphs beyond the face's count are none", Face(Cmap({{3, 1, kBmpMap}}), 5), 0,
         "65-67 19968-19968 "},
        {"format 12 is preferred, glyph 0 and the count bound it",
         Face(Cmap({{3, 1, kBmpMap}, {3, 10, Format12({{0x20, 0x22, 0}, {0x20000, 0x20009, 7}})}}),
              10),
         0, "33-34 131072-131074 "},
        {"Unicode platform 0 counts", Face(Cmap({{0, 3, kBmpMap}}), 10), 0,
         "65-67 19968-19968 19970-19971 "},
        {"adjacent groups merge",
         Face(Cmap({{3, 10, Format12({{0x30, 0x31, 1}, {0x32, 0x33, 3}})}}), 10), 0, "48-51 "},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Ranges(TrueTypeCharacters(row.data, row.face)), row.ranges) << row.name;
}

TEST(TrueTypeCmap, AFaceOfACollection) {
    const std::string second = Cmap({{3, 10, Format12({{0x520F, 0x520F, 2}})}});
    std::string ttc = "ttcf";
    Put32(ttc, 0x00010000), Put32(ttc, 2);
    const uint32_t firstAt = 20;
    const std::string face0 = Face(Cmap({{3, 1, kBmpMap}}), 10, firstAt);
    Put32(ttc, firstAt), Put32(ttc, firstAt + uint32_t(face0.size()));
    ttc += face0 + Face(second, 3, firstAt + uint32_t(face0.size()));
    EXPECT_EQ(Ranges(TrueTypeCharacters(ttc, 0)), "65-67 19968-19968 19970-19971 ");
    EXPECT_EQ(Ranges(TrueTypeCharacters(ttc, 1)), "21007-21007 ");
    EXPECT_THROW(TrueTypeCharacters(ttc, 2), ETrueTypeError);
    EXPECT_THROW(TrueTypeCharacters(Face(second, 3), 1), ETrueTypeError);
    // Every shorter copy is refused or read within its bytes (the sanitizers watch).
    for (size_t n = 0; n < ttc.size(); ++n) {
        try {
            TrueTypeCharacters(ttc.substr(0, n), 1);
        } catch (const ETrueTypeError&) {}
    }
}

TEST(TrueTypeCmap, DamagedFacesAreRefused) {
    std::string odd = Format4({});
    odd[7] = 3;  // an odd segment count
    std::string overlapping = Format4({{0x41, 0x60, 0, {}}, {0x50, 0x70, 0, {}}});
    std::string manyGroups = Format12({{0x41, 0x41, 1}});
    manyGroups[12] = char(0x7F);  // groups far past the table's end
    std::string tableOutside = Face(Cmap({{3, 1, kBmpMap}}), 10);
    tableOutside[12 + 8] = char(0x7F);  // the cmap table's offset
    const struct {
        const char* name;
        std::string data;
    } rows[] = {
        {"empty", ""},
        {"no font", "%!PS-Adobe-3.0 not a font at all"},
        {"odd segment count", Face(Cmap({{3, 1, odd}}), 10)},
        {"overlapping segments", Face(Cmap({{3, 1, overlapping}}), 10)},
        {"group count past the table", Face(Cmap({{3, 10, manyGroups}}), 10)},
        {"table past the file's end", tableOutside},
        {"no Unicode map", Face(Cmap({{1, 0, kBmpMap}}), 10)},
        {"map offset past the table", Face(Cmap({{3, 1, ""}}), 10)},
    };
    for (const auto& row : rows)
        EXPECT_THROW(TrueTypeCharacters(row.data, 0), ETrueTypeError) << row.name;

    // A glyph array cut short leaves the characters whose entries are missing unmapped.
    const std::string whole = Face(Cmap({{3, 1, kBmpMap}}), 10);
    for (size_t n = 0; n < whole.size(); ++n) {
        try {
            TrueTypeCharacters(whole.substr(0, n), 0);
        } catch (const ETrueTypeError&) {}
    }
    EXPECT_THROW(ReadTrueTypeCharacters("/nonexistent/font.ttc", 0), Exception);
}

}  // namespace
