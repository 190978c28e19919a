// The one reader of bitmap headers: core and info headers, bit-field masks after the header
// and inside a longer one, colour tables, top-down rows, and cut or absurd headers refused
// with a reason before anything is made from them.
#include "platform/win/dibHeader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/win/byteOrder.h"

namespace {

struct Info {
    uint32_t size = 40;
    int32_t width = 2, height = 2;
    uint16_t bits = 8;
    uint32_t compression = kDibRgb, colorsUsed = 0;
};

// An info header (40 bytes or a longer version) followed by `tail`.
std::string InfoHeader(const Info& i, const std::string& tail = "") {
    std::string s;
    Put32(s, i.size);
    Put32(s, uint32_t(i.width));
    Put32(s, uint32_t(i.height));
    Put16(s, 1);
    Put16(s, i.bits);
    Put32(s, i.compression);
    for (int k = 0; k < 3; ++k) Put32(s, 0);  // image size, resolution
    Put32(s, i.colorsUsed);
    Put32(s, 0);
    s.resize(i.size, '\0');
    return s + tail;
}

std::string Quads(int n) {
    std::string s;
    for (int k = 0; k < n; ++k) Put32(s, uint32_t(k) * 0x010203u);
    return s;
}

const char* Read(const std::string& bytes, DibHeader& h, const DibReadOptions& o = {}) {
    return ReadDibHeader(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), h, o);
}

}  // namespace

TEST(DibHeader, WellFormedHeadersInRows) {
    std::string masks565;
    for (uint32_t m : {0xF800u, 0x07E0u, 0x001Fu}) Put32(masks565, m);
    std::string core;
    Put32(core, 12);
    Put16(core, 3);
    Put16(core, 5);
    Put16(core, 1);
    Put16(core, 4);
    for (int k = 0; k < 16; ++k) core += std::string{char(k), char(k + 1), char(k + 2)};
    std::string v5 = InfoHeader({.size = 124, .bits = 32, .compression = kDibBitfields});
    std::string swapped;  // red in the low byte, as some writers store it
    for (uint32_t m : {0x0000FFu, 0x00FF00u, 0xFF0000u}) Put32(swapped, m);
    v5.replace(40, 12, swapped);
    struct Row {
        const char* name;
        std::string bytes;
        int width, height;
        bool topDown;
        int bits;
        size_t colors, end;
        uint32_t red, green, blue;
    };
    const Row rows[] = {
        {"core, 4 bits, 3-byte entries", core, 3, 5, false, 4, 16, 12 + 48, 0, 0, 0},
        {"info, 8 bits, full table", InfoHeader({}, Quads(256)), 2, 2, false, 8, 256, 40 + 1024, 0,
         0, 0},
        {"info, 4 bits, 3 colours used", InfoHeader({.bits = 4, .colorsUsed = 3}, Quads(3)), 2, 2,
         false, 4, 3, 40 + 12, 0, 0, 0},
        {"info, 24 bits, no table", InfoHeader({.bits = 24}), 2, 2, false, 24, 0, 40, 0, 0, 0},
        {"16 bits, default 5-5-5", InfoHeader({.bits = 16}), 2, 2, false, 16, 0, 40, 0x7C00, 0x03E0,
         0x001F},
        {"16 bits, 5-6-5 masks after the header",
         InfoHeader({.bits = 16, .compression = kDibBitfields}, masks565), 2, 2, false, 16, 0, 52,
         0xF800, 0x07E0, 0x001F},
        {"32 bits, masks inside a 124-byte header", v5, 2, 2, false, 32, 0, 124, 0xFF, 0xFF00,
         0xFF0000},
        {"top-down rows", InfoHeader({.height = -7, .bits = 24}), 2, 7, true, 24, 0, 40, 0, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        DibHeader h;
        ASSERT_EQ(Read(r.bytes, h), nullptr);
        EXPECT_EQ(h.width, r.width);
        EXPECT_EQ(h.height, r.height);
        EXPECT_EQ(h.topDown, r.topDown);
        EXPECT_EQ(h.bitCount, r.bits);
        EXPECT_EQ(h.colors.size(), r.colors);
        EXPECT_EQ(h.end, r.end);
        EXPECT_EQ(h.masks[0], r.red);
        EXPECT_EQ(h.masks[1], r.green);
        EXPECT_EQ(h.masks[2], r.blue);
    }
    DibHeader h;
    ASSERT_EQ(Read(core, h), nullptr);
    EXPECT_TRUE(h.IsCore());
    EXPECT_EQ(h.colors[1], 0x030201u);  // blue, green, red bytes
    ASSERT_EQ(Read(InfoHeader({}, Quads(256)), h), nullptr);
    EXPECT_EQ(h.colors[2], 0x020406u);  // a stored quad is 0x00RRGGBB read little-endian
    EXPECT_EQ(h.Stride(), 4u);
}

TEST(DibHeader, PaletteIndicesAreTwoBytesEach) {
    std::string indices;
    for (int k = 0; k < 16; ++k) Put16(indices, uint16_t(15 - k));
    DibHeader h;
    DibReadOptions o;
    o.paletteIndices = true;
    ASSERT_EQ(Read(InfoHeader({.bits = 4}, indices), h, o), nullptr);
    ASSERT_EQ(h.colors.size(), 16u);
    EXPECT_EQ(h.colors[0], 15u);
    EXPECT_EQ(h.end, 40u + 32u);
}

TEST(DibHeader, CutAbsurdAndForeignHeadersAreRefusedWithAReason) {
    std::string longCore;
    Put32(longCore, 12);
    Put16(longCore, 1);
    Put16(longCore, 1);
    Put16(longCore, 1);
    Put16(longCore, 24);
    struct Row {
        const char* name;
        std::string bytes;
        DibReadOptions options;
        std::string why;
    };
    DibReadOptions noCore, noTopDown, small;
    noCore.core = false;
    noTopDown.topDown = false;
    small.maxWidth = 16;
    const Row rows[] = {
        {"nothing", "", {}, "cut short"},
        {"size field only", std::string("\x28\0\0\0", 4), {}, "cut short"},
        {"header cut", InfoHeader({}).substr(0, 30), {}, "cut short"},
        {"table cut", InfoHeader({}, Quads(255)), {}, "cut short"},
        {"masks cut",
         InfoHeader({.bits = 16, .compression = kDibBitfields}, "12345678"),
         {},
         "cut short"},
        {"header size 20", InfoHeader({.size = 20}), {}, "bad info header size"},
        {"core where none is taken", longCore, noCore, "bad info header size"},
        {"width 0", InfoHeader({.width = 0, .bits = 24}), {}, "absurd size"},
        {"negative width", InfoHeader({.width = -4, .bits = 24}), {}, "absurd size"},
        {"height 0", InfoHeader({.height = 0, .bits = 24}), {}, "absurd size"},
        {"two thousand million rows",
         InfoHeader({.height = 0x7FFFFFFF, .bits = 24}),
         {},
         "absurd size"},
        {"most negative height", InfoHeader({.height = INT32_MIN, .bits = 24}), {}, "absurd size"},
        {"wider than allowed", InfoHeader({.width = 17, .bits = 24}), small, "absurd size"},
        {"top-down where none is taken", InfoHeader({.height = -2, .bits = 24}), noTopDown,
         "absurd size"},
        {"a thousand million colours",
         InfoHeader({.colorsUsed = 1u << 30}),
         {},
         "absurd colour count"},
        {"257 colours", InfoHeader({.colorsUsed = 257}, Quads(257)), {}, "absurd colour count"},
        {"3 bits", InfoHeader({.bits = 3}), {}, "unsupported bit count"},
        {"0 bits", InfoHeader({.bits = 0}), {}, "unsupported bit count"},
        {"run-length compressed",
         InfoHeader({.compression = 1}, Quads(256)),
         {},
         "compressed bitmaps are not supported"},
        {"bit fields at 8 bits",
         InfoHeader({.compression = kDibBitfields}, Quads(256)),
         {},
         "bit fields need 16 or 32 bits"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        DibHeader h;
        const char* why = Read(r.bytes, h, r.options);
        ASSERT_NE(why, nullptr);
        EXPECT_EQ(std::string(why), r.why);
        EXPECT_TRUE(h.colors.empty());
    }
}

TEST(DibHeader, RowsFitWithoutOverflow) {
    DibHeader h;
    ASSERT_EQ(Read(InfoHeader({.width = 32768, .height = 32768, .bits = 32}), h), nullptr);
    EXPECT_EQ(h.Stride(), 131072u);
    EXPECT_TRUE(h.RowsFit(2, 262144));
    EXPECT_FALSE(h.RowsFit(2, 262143));
    EXPECT_FALSE(h.RowsFit(SIZE_MAX / 1000, SIZE_MAX));
    EXPECT_TRUE(h.RowsFit(0, 0));
}

TEST(DibHeader, ChannelsWidenToEightBitsByRepeatingTheirBits) {
    struct Row {
        uint32_t pixel, mask, want;
    };
    const Row rows[] = {
        {0x7C00, 0x7C00, 255},         {0x0000, 0x7C00, 0},    {0x4000, 0x7C00, 0x84},
        {0x07E0, 0x07E0, 255},         {0x0400, 0x07E0, 0x82}, {0x00AB, 0x00FF, 0xAB},
        {0xFFC00000, 0x3FF00000, 255}, {0x12345678, 0, 0},     {0x1, 0x1, 255},
    };
    for (const Row& r : rows)
        EXPECT_EQ(DibChannel(r.pixel, r.mask), r.want) << std::hex << r.pixel << " " << r.mask;
}

TEST(ByteOrder, AFieldBeyondTheDataReadsAsAllOnes) {
    const std::string d("\x01\x02\x03\x04\x05", 5);
    EXPECT_EQ(Get16(d, 0), 0x0201u);
    EXPECT_EQ(Get32(d, 1), 0x05040302u);
    EXPECT_EQ(Get16(d, 4), 0xFFFFu);
    EXPECT_EQ(Get32(d, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Get32(d, 99), 0xFFFFFFFFu);
}
