// Bitmap files loaded from bytes: uncompressed files of every depth and row order read by
// the program's own reader, run-length files by the toolkit, foreign bytes refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/vcl/graphics.h"

namespace {

void Put16(std::string& s, unsigned v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
    Put16(s, v & 0xFFFF);
    Put16(s, v >> 16);
}

// A 2x2 file: top row red, green; bottom row blue, white. Palette files index those four.
std::string BmpFile(int bits, bool topDown, uint32_t compression = 0) {
    const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
    const std::vector<std::vector<uint32_t>> top = {{red, green}, {blue, white}};
    std::string table, pixels;
    if (bits <= 8)
        for (uint32_t c : {red, green, blue, white}) Put32(table, c);
    for (int r = 0; r < 2; ++r) {
        const auto& row = top[size_t(topDown ? r : 1 - r)];
        std::string line;
        if (compression == 1) {  // RLE8: each pixel as a run of one, then end of line
            for (int x = 0; x < 2; ++x)
                line += std::string{char(1), char(x + (row == top[0] ? 0 : 2))};
            line += std::string{char(0), char(0)};
        } else if (bits == 24) {
            for (uint32_t c : row)
                line += std::string{char(c & 0xFF), char((c >> 8) & 0xFF), char(c >> 16)};
        } else if (bits == 8) {
            for (int x = 0; x < 2; ++x) line += char(x + (row == top[0] ? 0 : 2));
        } else if (bits == 4) {
            line += char(row == top[0] ? 0x01 : 0x23);
        }
        if (compression == 0) line.resize((line.size() + 3) / 4 * 4, '\0');  // rows end on 4 bytes
        pixels += line;
    }
    if (compression == 1) pixels += std::string{char(0), char(1)};
    std::string f = "BM";
    const uint32_t offset = 14 + 40 + uint32_t(table.size());
    Put32(f, offset + uint32_t(pixels.size()));
    Put32(f, 0);
    Put32(f, offset);
    Put32(f, 40);
    Put32(f, 2);
    Put32(f, topDown ? uint32_t(-2) : 2u);
    Put16(f, 1);
    Put16(f, unsigned(bits));
    Put32(f, compression);
    Put32(f, uint32_t(pixels.size()));
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, bits <= 8 ? 4 : 0);
    Put32(f, 0);
    return f + table + pixels;
}

}  // namespace

TEST(BitmapFile, EveryDepthAndRowOrderShowsItsPixels) {
    struct Case {
        int bits;
        bool topDown;
        uint32_t compression;
    };
    for (Case c : {Case{24, false, 0}, Case{24, true, 0}, Case{8, false, 0}, Case{4, false, 0},
                   Case{8, false, 1}}) {
        TBitmap b;
        b.LoadFromData(BmpFile(c.bits, c.topDown, c.compression));
        const std::string what =
            std::to_string(c.bits) + (c.topDown ? " top-down" : "") + (c.compression ? " rle" : "");
        ASSERT_EQ(b.Width(), 2) << what;
        ASSERT_EQ(b.Height(), 2) << what;
        EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed) << what;
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clLime) << what;
        EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlue) << what;
        EXPECT_EQ(b.Canvas()->Pixels(1, 1), clWhite) << what;
    }
}

TEST(BitmapFile, ForeignOrHeaderOnlyBytesAreRefused) {
    for (const std::string& bytes : {std::string("BM"), BmpFile(24, false).substr(0, 54),
                                     std::string("not a picture at all, long enough to be read")}) {
        TBitmap b;
        EXPECT_ANY_THROW(b.LoadFromData(bytes)) << bytes.size();
    }
}

// Names are bytes: a bitmap saved and read back under a name in GBK, in a folder named in
// GBK, is the file of that name; formats follow the extension whatever its case.
TEST(BitmapFile, NamesThatAreNotUtf8AreWrittenAndReadAsTheirBytes) {
    const std::string dir =
        std::filesystem::temp_directory_path().string() + "/vx bitmap \xb2\xe2/";
    std::filesystem::create_directories(dir);
    for (const std::string name : {"\xb2\xe2\xca\xd4.bmp", "plain.PNG", "\xca\xd4.jpg"}) {
        TBitmap b;
        b.SetSize(4, 3);
        b.Canvas()->SetPixel(1, 1, clRed);
        ASSERT_NO_THROW(b.SaveToFile(dir + name)) << name;
        ASSERT_TRUE(std::filesystem::exists(dir + name)) << name;
        TBitmap back;
        ASSERT_NO_THROW(back.LoadFromFile(dir + name)) << name;
        EXPECT_EQ(back.Width(), 4) << name;
        EXPECT_EQ(back.Height(), 3) << name;
        if (name.find(".jpg") == std::string::npos) {
            EXPECT_EQ(back.Canvas()->Pixels(1, 1), clRed) << name;
        }
    }
    // Without an extension there is no format to write, and a missing file reads as none.
    TBitmap b;
    b.SetSize(2, 2);
    EXPECT_ANY_THROW(b.SaveToFile(dir + "no-extension"));
    EXPECT_ANY_THROW(b.LoadFromFile(dir + "missing.bmp"));
    std::filesystem::remove_all(dir);
}

// Bit-field files whose masks stand inside a longer header (as image editors write 32-bit
// files, with a 124-byte header) read their colours from those masks, not from the bytes
// after the header; masks after a 40-byte header keep working.
TEST(BitmapFile, BitFieldMasksAreReadWhereTheHeaderKeepsThem) {
    struct Row {
        const char* name;
        uint32_t headerSize;
        int bits;
        uint32_t red, green, blue;
    };
    const Row rows[] = {
        {"32 bits, red in the low byte, 124-byte header", 124, 32, 0xFF, 0xFF00, 0xFF0000},
        {"32 bits, 56-byte header", 56, 32, 0xFF000000, 0xFF0000, 0xFF00},
        {"16 bits 5-6-5, 40-byte header", 40, 16, 0xF800, 0x07E0, 0x001F},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto place = [&](uint32_t rgb) {  // 0xRRGGBB into the masks' layout (full channels)
            uint32_t v = 0;
            const uint32_t masks[3] = {r.red, r.green, r.blue};
            for (int k = 0; k < 3; ++k) {
                const uint32_t c = (rgb >> (16 - 8 * k)) & 0xFF;
                if (c) v |= masks[k];
            }
            return v;
        };
        std::string pixels;
        // Bottom row first: blue, white; then red, green (rows of 2 pixels need no padding).
        for (uint32_t rgb : {0x0000FFu, 0xFFFFFFu, 0xFF0000u, 0x00FF00u}) {
            if (r.bits == 32)
                Put32(pixels, place(rgb));
            else
                Put16(pixels, place(rgb));
        }
        std::string masks;
        for (uint32_t m : {r.red, r.green, r.blue}) Put32(masks, m);
        std::string header;
        Put32(header, r.headerSize);
        Put32(header, 2);
        Put32(header, 2);
        Put16(header, 1);
        Put16(header, unsigned(r.bits));
        Put32(header, 3);  // bit fields
        for (int i = 0; i < 5; ++i) Put32(header, 0);
        if (r.headerSize >= 52) header += masks;  // inside the header
        header.resize(r.headerSize, '\0');
        if (r.headerSize < 52) header += masks;  // after it
        std::string f = "BM";
        const uint32_t offset = 14 + uint32_t(header.size());
        Put32(f, offset + uint32_t(pixels.size()));
        Put32(f, 0);
        Put32(f, offset);
        TBitmap b;
        b.LoadFromData(f + header + pixels);
        ASSERT_EQ(b.Width(), 2);
        ASSERT_EQ(b.Height(), 2);
        EXPECT_EQ(b.Canvas()->Pixels(0, 0), clRed);
        EXPECT_EQ(b.Canvas()->Pixels(1, 0), clLime);
        EXPECT_EQ(b.Canvas()->Pixels(0, 1), clBlue);
        EXPECT_EQ(b.Canvas()->Pixels(1, 1), clWhite);
    }
}
