// TIFF pages made the BMP files of the office step: every page or none, transparency laid
// on white, the formats libtiff's RGBA reader leaves out, bilevel scans larger than a
// colour page may be, and true reasons for what cannot be converted.
#include <tiffio.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "engine/converters/tiff2ps.h"
#include "engine/converters/tiffPageOutput.h"
#include "platform/vcl/graphics.h"
#include "tests/engine/fixture.h"

namespace {

struct PageSpec {
    uint32_t width = 4;
    uint32_t height = 4;
    uint16_t photometric = PHOTOMETRIC_RGB;
    uint16_t samples = 3;
    uint16_t bits = 8;
    uint16_t format = SAMPLEFORMAT_UINT;
    int extra = -1;  // the meaning of the one extra sample, -1 for none
    uint16_t compression = COMPRESSION_NONE;
    uint32_t tile = 0;          // the side of square tiles; 0: strips
    uint32_t rowsPerStrip = 0;  // 0: libtiff's choice
    bool separate = false;      // 8-bit samples in planes of their own, in strips
    uint16_t orientation = ORIENTATION_TOPLEFT;
    // A palette page's colours: red, then green, then blue values, each 1 << bits of them.
    std::vector<uint16_t> colourMap;
    // Fills the bytes of row y; none: the page is a stub of ten bytes of data.
    std::function<void(uint32_t y, uint8_t* row)> fill;
};

void WriteTiff(const std::string& path, const std::vector<PageSpec>& pages) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(t, nullptr);
    for (const PageSpec& p : pages) {
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p.width);
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, p.height);
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, p.format);
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(t, TIFFTAG_PLANARCONFIG,
                     p.separate ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
        TIFFSetField(t, TIFFTAG_COMPRESSION, p.compression);
        TIFFSetField(t, TIFFTAG_ORIENTATION, p.orientation);
        if (!p.colourMap.empty()) {
            const size_t n = p.colourMap.size() / 3;
            TIFFSetField(t, TIFFTAG_COLORMAP, &p.colourMap[0], &p.colourMap[n],
                         &p.colourMap[2 * n]);
        }
        if (p.extra >= 0) {
            const uint16_t extra = uint16_t(p.extra);
            TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (!p.fill) {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, p.height);
            char stub[10] = {};
            TIFFWriteRawStrip(t, 0, stub, sizeof stub);
        } else if (p.separate) {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, p.rowsPerStrip);
            std::vector<uint8_t> row(size_t(p.width) * p.samples), plane(p.width);
            for (uint16_t s = 0; s < p.samples; ++s)
                for (uint32_t y = 0; y < p.height; ++y) {
                    std::fill(row.begin(), row.end(), 0);
                    p.fill(y, row.data());
                    for (uint32_t x = 0; x < p.width; ++x) plane[x] = row[x * p.samples + s];
                    ASSERT_EQ(TIFFWriteScanline(t, plane.data(), y, s), 1);
                }
        } else if (p.tile == 0) {
            TIFFSetField(t, TIFFTAG_ROWSPERSTRIP,
                         p.rowsPerStrip ? p.rowsPerStrip : TIFFDefaultStripSize(t, 0));
            std::vector<uint8_t> row(size_t(TIFFScanlineSize64(t)));
            for (uint32_t y = 0; y < p.height; ++y) {
                std::fill(row.begin(), row.end(), 0);
                p.fill(y, row.data());
                ASSERT_EQ(TIFFWriteScanline(t, row.data(), y, 0), 1);
            }
        } else {
            TIFFSetField(t, TIFFTAG_TILEWIDTH, p.tile);
            TIFFSetField(t, TIFFTAG_TILELENGTH, p.tile);
            const size_t rowBytes = size_t(TIFFScanlineSize64(t));
            const size_t tileRow = size_t(TIFFTileRowSize64(t));
            std::vector<uint8_t> image(rowBytes * p.height), tile(size_t(TIFFTileSize64(t)));
            for (uint32_t y = 0; y < p.height; ++y) p.fill(y, &image[y * rowBytes]);
            for (uint32_t y0 = 0; y0 < p.height; y0 += p.tile)
                for (size_t x0 = 0; x0 * tileRow < rowBytes * p.tile; x0 += p.tile) {
                    std::fill(tile.begin(), tile.end(), 0);
                    const size_t from = x0 / p.tile * tileRow;
                    for (uint32_t r = 0; r < p.tile && y0 + r < p.height; ++r)
                        std::memcpy(&tile[r * tileRow], &image[(y0 + r) * rowBytes + from],
                                    std::min(tileRow, rowBytes - from));
                    ASSERT_GE(TIFFWriteTile(t, tile.data(), uint32_t(x0), y0, 0, 0), 0);
                }
        }
        TIFFWriteDirectory(t);
    }
    TIFFClose(t);
}

uint32_t U32(const std::string& t, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | uint8_t(t[at + size_t(i)]);
    return v;
}

// Points the directory chain of a little-endian TIFF from page - 1 past the end of the file.
void BreakChainBefore(const std::string& path, int page) {
    std::string t = vxtest::ReadFile(path);
    const auto next = [&](uint32_t dir) { return dir + 2 + 12 * (U32(t, dir) & 0xFFFF); };
    uint32_t dir = U32(t, 4);
    for (int i = 1; i < page - 1; ++i) dir = U32(t, next(dir));
    const uint32_t past = uint32_t(t.size()) + 4096;
    for (int i = 0; i < 4; ++i) t[next(dir) + uint32_t(i)] = char(past >> (8 * i) & 0xFF);
    vxtest::WriteFile(path, t);
}

// Points the directory chain of a little-endian TIFF from page `from` to page `to`.
void LoopChain(const std::string& path, int from, int to) {
    std::string t = vxtest::ReadFile(path);
    const auto next = [&](uint32_t dir) { return dir + 2 + 12 * (U32(t, dir) & 0xFFFF); };
    std::vector<uint32_t> dirs{U32(t, 4)};
    while (U32(t, next(dirs.back())) != 0) dirs.push_back(U32(t, next(dirs.back())));
    const uint32_t target = dirs[size_t(to - 1)];
    for (int i = 0; i < 4; ++i)
        t[next(dirs[size_t(from - 1)]) + uint32_t(i)] = char(target >> (8 * i));
    vxtest::WriteFile(path, t);
}

// The red, green and blue of a pixel of a BMP file, as the program's own bitmap reads it.
std::array<int, 3> BmpPixel(const std::string& file, int x, int y) {
    TBitmap bmp;
    bmp.LoadFromFile(file);
    const TColor c = bmp.Canvas()->Pixels(x, y);
    return {int(c & 0xFF), int(c >> 8 & 0xFF), int(c >> 16 & 0xFF)};
}

class TiffPagesTest : public vxtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        dir = vxtest::MakeTempFolder("vx tiff ");
    }
    void TearDown() override {
        SetTiffBandBytes(bandBytes);
        vxtest::RemoveTree(dir);
        EngineTest::TearDown();
    }
    // The text the conversion of the file fails with; empty when it does not fail.
    std::string Refusal(const std::string& file) {
        try {
            TTiff2ps().SavePages(file, dir);
        } catch (const Exception& e) {
            return e.what();
        }
        return "";
    }
    std::string dir;
    const uint64_t bandBytes = TiffBandBytes();
};

PageSpec Rgb(uint32_t colour) {
    PageSpec p;
    p.fill = [colour](uint32_t, uint8_t* row) {
        for (int x = 0; x < 4; ++x)
            row[x * 3] = uint8_t(colour >> 16), row[x * 3 + 1] = uint8_t(colour >> 8),
                    row[x * 3 + 2] = uint8_t(colour);
    };
    return p;
}

}  // namespace

TEST_F(TiffPagesTest, ABrokenDirectoryChainIsADamagedFileNotFewerPages) {
    const std::string tif = dir + "三页 scan.tif";
    WriteTiff(tif, {Rgb(0xFF0000), Rgb(0x00FF00), Rgb(0x0000FF)});
    ASSERT_EQ(TTiff2ps().SavePages(tif, dir), 3);
    EXPECT_EQ(BmpPixel(TTiff2ps::BitmapName(dir, 3), 1, 1), (std::array<int, 3>{0, 0, 255}));
    for (int broken : {2, 3}) {
        WriteTiff(tif, {Rgb(0xFF0000), Rgb(0x00FF00), Rgb(0x0000FF)});
        BreakChainBefore(tif, broken);
        const std::string reason =
            "TIFF 文件已损坏, 无法读取第 " + std::to_string(broken) + " 页: \"" + tif + "\"";
        EXPECT_EQ(Refusal(tif), reason) << broken;
        try {
            TTiff2ps().TiffPageCount(tif);
            ADD_FAILURE() << "counted the pages of a broken chain " << broken;
        } catch (const Exception& e) {
            EXPECT_EQ(e.what(), reason);
        }
    }
}

TEST_F(TiffPagesTest, TransparencyIsLaidOnWhitePaper) {
    // A disc of the colour on a background that is not there (all samples 0).
    const auto disc = [](int bytesPerPixel, const std::vector<uint8_t>& inside) {
        return [=](uint32_t y, uint8_t* row) {
            for (int x = 0; x < 32; ++x)
                if (std::hypot(x - 16, int(y) - 16) < 10)
                    std::copy(inside.begin(), inside.end(), row + x * bytesPerPixel);
        };
    };
    struct Row {
        const char* what;
        uint16_t photometric, samples, bits;
        int extra;
        std::function<void(uint32_t, uint8_t*)> fill;
        std::array<int, 3> centre;
    } rows[] = {
        {"red disc, unassociated alpha",
         PHOTOMETRIC_RGB,
         4,
         8,
         EXTRASAMPLE_UNASSALPHA,
         disc(4, {255, 0, 0, 255}),
         {255, 0, 0}},
        {"red at 60 %, unassociated alpha",
         PHOTOMETRIC_RGB,
         4,
         8,
         EXTRASAMPLE_UNASSALPHA,
         disc(4, {255, 0, 0, 153}),
         {255, 102, 102}},
        {"red at 60 %, associated alpha",
         PHOTOMETRIC_RGB,
         4,
         8,
         EXTRASAMPLE_ASSOCALPHA,
         disc(4, {153, 0, 0, 153}),
         {255, 102, 102}},
        {"black at 60 %, grey with unassociated alpha",
         PHOTOMETRIC_MINISBLACK,
         2,
         8,
         EXTRASAMPLE_UNASSALPHA,
         disc(2, {0, 153}),
         {102, 102, 102}},
        {"black at 60 %, 16-bit grey with unassociated alpha",
         PHOTOMETRIC_MINISBLACK,
         2,
         16,
         EXTRASAMPLE_UNASSALPHA,
         disc(4, {0, 0, 0x99, 0x99}),
         {102, 102, 102}},
        {"grey at 60 %, grey with associated alpha",
         PHOTOMETRIC_MINISBLACK,
         2,
         8,
         EXTRASAMPLE_ASSOCALPHA,
         disc(2, {51, 153}),
         {153, 153, 153}},
        {"grey disc, 4-bit grey with alpha",
         PHOTOMETRIC_MINISBLACK,
         2,
         4,
         EXTRASAMPLE_UNASSALPHA,
         disc(1, {0x5F}),
         {85, 85, 85}},
    };
    for (const Row& row : rows) {
        PageSpec p;
        p.width = p.height = 32;
        p.photometric = row.photometric;
        p.samples = row.samples;
        p.bits = row.bits;
        p.extra = row.extra;
        p.fill = row.fill;
        WriteTiff(dir + "a.tif", {p});
        ASSERT_EQ(Refusal(dir + "a.tif"), "") << row.what;
        const std::string bmp = TTiff2ps::BitmapName(dir, 1);
        const auto centre = BmpPixel(bmp, 16, 16);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(centre[size_t(c)], row.centre[size_t(c)], 1) << row.what;
        EXPECT_EQ(BmpPixel(bmp, 1, 1), (std::array<int, 3>{255, 255, 255})) << row.what;
        EXPECT_EQ(BmpPixel(bmp, 30, 30), (std::array<int, 3>{255, 255, 255})) << row.what;
    }
}

TEST_F(TiffPagesTest, FloatingPointSamplesAreReadAndClampedToTheirRange) {
    struct Row {
        const char* what;
        uint16_t photometric, samples, bits;
        std::vector<double> pixels;  // four of them
        std::vector<std::array<int, 3>> expected;
        uint32_t tile;
    } rows[] = {
        {"RGB, 32 bits",
         PHOTOMETRIC_RGB,
         3,
         32,
         {1, 0.5, 0, 2, -1, 0.25, 0, 0, 0, 1, 1, 1},
         {{255, 128, 0}, {255, 0, 64}, {0, 0, 0}, {255, 255, 255}},
         0},
        {"RGB, 32 bits, in tiles",
         PHOTOMETRIC_RGB,
         3,
         32,
         {1, 0.5, 0, 2, -1, 0.25, 0, 0, 0, 1, 1, 1},
         {{255, 128, 0}, {255, 0, 64}, {0, 0, 0}, {255, 255, 255}},
         16},
        {"grey, 64 bits",
         PHOTOMETRIC_MINISBLACK,
         1,
         64,
         {0.2, 7, -3, 1},
         {{51, 51, 51}, {255, 255, 255}, {0, 0, 0}, {255, 255, 255}},
         0},
    };
    for (const Row& row : rows) {
        PageSpec p;
        p.width = 4;
        p.height = 1;
        p.photometric = row.photometric;
        p.samples = row.samples;
        p.bits = row.bits;
        p.format = SAMPLEFORMAT_IEEEFP;
        p.tile = row.tile;
        p.fill = [&](uint32_t, uint8_t* out) {
            for (size_t i = 0; i < row.pixels.size(); ++i) {
                if (row.bits == 32) {
                    const float f = float(row.pixels[i]);
                    std::memcpy(out + i * 4, &f, 4);
                } else {
                    std::memcpy(out + i * 8, &row.pixels[i], 8);
                }
            }
        };
        WriteTiff(dir + "f.tif", {p});
        ASSERT_EQ(Refusal(dir + "f.tif"), "") << row.what;
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(BmpPixel(TTiff2ps::BitmapName(dir, 1), x, 0), row.expected[size_t(x)])
                << row.what << " pixel " << x;
    }
}

TEST_F(TiffPagesTest, ABilevelScanLargerThanAColourPageMayBeKeepsOneBitAPixel) {
    // An A0 drawing at 600 dpi has more pixels than a colour page may have (2^28).
    struct Row {
        uint32_t width, height;
        uint16_t photometric, compression;
        uint32_t tile;
    } rows[] = {
        {20000, 15000, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, 0},
        {40, 30, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 0},
        {40, 30, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 16},
    };
    for (const Row& row : rows) {
        // Black: a bar from (8, 3) to (23, 5) and the last pixel of the page.
        const auto black = [&](uint32_t x, uint32_t y) {
            return (x >= 8 && x < 24 && y >= 3 && y < 6) ||
                   (x == row.width - 1 && y == row.height - 1);
        };
        PageSpec p;
        p.width = row.width;
        p.height = row.height;
        p.photometric = row.photometric;
        p.samples = 1;
        p.bits = 1;
        p.compression = row.compression;
        p.tile = row.tile;
        const bool setIsBlack = row.photometric == PHOTOMETRIC_MINISWHITE;
        p.fill = [&](uint32_t y, uint8_t* out) {
            for (uint32_t x = 0; x < row.width; ++x)
                if (black(x, y) == setIsBlack) out[x / 8] |= uint8_t(0x80 >> (x % 8));
        };
        WriteTiff(dir + "scan.tif", {p});
        ASSERT_EQ(Refusal(dir + "scan.tif"), "") << row.width;
        const std::string bmp = vxtest::ReadFile(TTiff2ps::BitmapName(dir, 1));
        const size_t stride = (row.width + 31) / 32 * 4;
        ASSERT_EQ(bmp.size(), 62 + stride * row.height) << row.width;
        EXPECT_EQ(bmp[28], 1) << "bits a pixel";
        // Palette entry 0 black, 1 white; rows from the bottom.
        const auto white = [&](uint32_t x, uint32_t y) {
            return (uint8_t(bmp[62 + (row.height - 1 - y) * stride + x / 8]) & (0x80 >> (x % 8))) !=
                   0;
        };
        for (auto [x, y] : {std::pair<uint32_t, uint32_t>{0, 0},
                            {8, 3},
                            {23, 5},
                            {24, 5},
                            {8, 6},
                            {row.width - 1, row.height - 1},
                            {row.width - 2, row.height - 1}})
            EXPECT_EQ(white(x, y), !black(x, y)) << row.width << ": " << x << ", " << y;
    }
}

TEST_F(TiffPagesTest, WhatCannotBeConvertedIsRefusedWithTheTrueReason) {
    PageSpec half = Rgb(0);
    half.bits = 16;
    half.format = SAMPLEFORMAT_IEEEFP;
    // Large pages are bounded by what their rows need, not by their pixels: a large page
    // whose strip is a stub is damaged, one whose bitmap file no BMP header can state is
    // too large.
    PageSpec large;
    large.width = 20000;
    large.height = 15000;
    large.compression = COMPRESSION_DEFLATE;
    PageSpec huge = large;
    huge.width = 40000;
    huge.height = 40000;
    PageSpec jpeg2000;
    jpeg2000.compression = 34712;  // a compression libtiff is not built with
    struct Row {
        const char* name;
        std::function<void(const std::string&)> make;
        std::string reason;  // the file's quoted name follows
    } rows[] = {
        {"text.tif", [](const std::string& f) { vxtest::WriteFile(f, "plain text, no image\n"); },
         "文件 \"*\" 不是 TIFF 文件"},
        {"missing.tif", [](const std::string&) {}, "无法打开 TIFF 文件 \"*\": "},
        {"half.tif",
         [&](const std::string& f) {
             WriteTiff(f, {Rgb(0), half});
         },
         "不支持的 TIFF 格式, 无法读取第 2 页 (3 个样本, 每个样本 16 位, 浮点数): \"*\""},
        {"jpeg2000.tif", [&](const std::string& f) { WriteTiff(f, {jpeg2000}); },
         "不支持的 TIFF 格式, 无法读取第 1 页 (压缩方式 34712): \"*\""},
        {"large.tif", [&](const std::string& f) { WriteTiff(f, {large}); },
         "TIFF 文件已损坏, 无法读取第 1 页: \"*\""},
        {"huge.tif", [&](const std::string& f) { WriteTiff(f, {huge}); },
         "页面太大, 无法转换第 1 页 (40000 × 40000 像素, 位图文件超过 4 GB): \"*\""},
    };
    for (const Row& row : rows) {
        const std::string file = dir + row.name;
        row.make(file);
        std::string expected = row.reason;
        expected.replace(expected.find('*'), 1, file);
        const std::string reason = Refusal(file);
        EXPECT_EQ(reason.substr(0, expected.size()), expected) << row.name;
        EXPECT_EQ(reason.find("TIFF file"), std::string::npos) << reason;
    }
    // libtiff's own words are kept for the day log.
    bool logged = false;
    for (const std::string& line : LogLines())
        logged = logged || line.find("Not a TIFF") != std::string::npos;
    EXPECT_TRUE(logged);
}

TEST_F(TiffPagesTest, EveryOrientationIsHonouredOnEveryReadingPath) {
    // A page 3 pixels wide and 2 high, stored with one black pixel (the others white) at
    // row 0 column 0, row 0 column 1 or row 1 column 0. Where each is seen, for each
    // Orientation: 1-4 upright or mirrored (3 x 2), 5-8 with rows and columns exchanged.
    struct Seen {
        uint16_t orientation;
        std::array<std::pair<int, int>, 3> at;  // (x, y) from the top left
    } seen[] = {
        {1, {{{0, 0}, {1, 0}, {0, 1}}}}, {2, {{{2, 0}, {1, 0}, {2, 1}}}},
        {3, {{{2, 1}, {1, 1}, {2, 0}}}}, {4, {{{0, 1}, {1, 1}, {0, 0}}}},
        {5, {{{0, 0}, {0, 1}, {1, 0}}}}, {6, {{{1, 0}, {1, 1}, {0, 0}}}},
        {7, {{{1, 2}, {1, 1}, {0, 2}}}}, {8, {{{0, 2}, {0, 1}, {1, 2}}}},
    };
    const std::pair<uint32_t, uint32_t> stored[] = {{0, 0}, {0, 1}, {1, 0}};  // row, column
    // One way of reading a page each; `dot` writes the black pixel of column x, or white.
    struct Path {
        const char* what;
        uint16_t photometric, samples, bits, format;
        int extra;
        std::function<void(uint8_t* row, uint32_t x, bool black)> dot;
    } paths[] = {
        {"8-bit grey", PHOTOMETRIC_MINISBLACK, 1, 8, SAMPLEFORMAT_UINT, -1,
         [](uint8_t* r, uint32_t x, bool b) { r[x] = b ? 0 : 255; }},
        {"8-bit RGB", PHOTOMETRIC_RGB, 3, 8, SAMPLEFORMAT_UINT, -1,
         [](uint8_t* r, uint32_t x, bool b) { std::fill_n(r + x * 3, 3, b ? 0 : 255); }},
        {"bilevel", PHOTOMETRIC_MINISBLACK, 1, 1, SAMPLEFORMAT_UINT, -1,
         [](uint8_t* r, uint32_t x, bool b) {
             if (!b) r[x / 8] |= uint8_t(0x80 >> (x % 8));
         }},
        {"grey with alpha", PHOTOMETRIC_MINISBLACK, 2, 8, SAMPLEFORMAT_UINT, EXTRASAMPLE_UNASSALPHA,
         [](uint8_t* r, uint32_t x, bool b) { r[x * 2] = b ? 0 : 255, r[x * 2 + 1] = 255; }},
        {"floating-point grey", PHOTOMETRIC_MINISBLACK, 1, 32, SAMPLEFORMAT_IEEEFP, -1,
         [](uint8_t* r, uint32_t x, bool b) {
             const float f = b ? 0.0f : 1.0f;
             std::memcpy(r + x * 4, &f, 4);
         }},
        {"16-bit CMYK", PHOTOMETRIC_SEPARATED, 4, 16, SAMPLEFORMAT_UINT, -1,
         [](uint8_t* r, uint32_t x, bool b) {
             if (b) std::fill_n(r + x * 8 + 6, 2, 0xFF);  // K only
         }},
    };
    for (const Path& path : paths)
        for (const Seen& s : seen)
            for (size_t anchor = 0; anchor < 3; ++anchor) {
                PageSpec p;
                p.width = 3;
                p.height = 2;
                p.photometric = path.photometric;
                p.samples = path.samples;
                p.bits = path.bits;
                p.format = path.format;
                p.extra = path.extra;
                p.orientation = s.orientation;
                p.fill = [&](uint32_t y, uint8_t* row) {
                    for (uint32_t x = 0; x < 3; ++x)
                        path.dot(row, x, stored[anchor] == std::pair<uint32_t, uint32_t>{y, x});
                };
                const std::string what = std::string(path.what) + ", orientation " +
                                         std::to_string(s.orientation) + ", pixel " +
                                         std::to_string(anchor);
                WriteTiff(dir + "o.tif", {p});
                ASSERT_EQ(Refusal(dir + "o.tif"), "") << what;
                TBitmap bmp;
                bmp.LoadFromFile(TTiff2ps::BitmapName(dir, 1));
                const bool across = s.orientation <= 4;
                ASSERT_EQ(bmp.Width(), across ? 3 : 2) << what;
                ASSERT_EQ(bmp.Height(), across ? 2 : 3) << what;
                for (int y = 0; y < bmp.Height(); ++y)
                    for (int x = 0; x < bmp.Width(); ++x) {
                        const bool black = std::make_pair(x, y) == s.at[anchor];
                        EXPECT_EQ(bmp.Canvas()->Pixels(x, y) & 0xFFFFFF, black ? 0u : 0xFFFFFFu)
                            << what << " at " << x << ", " << y;
                    }
            }
}

TEST_F(TiffPagesTest, SixteenBitCmykAndPalettesWithAlphaOrOfSixteenBitsAreRead) {
    struct Row {
        const char* what;
        PageSpec page;
        std::array<int, 3> pixel;
    };
    const auto cmyk16 = [](uint16_t c, uint16_t m, uint16_t y, uint16_t k) {
        PageSpec p;
        p.photometric = PHOTOMETRIC_SEPARATED;
        p.samples = 4;
        p.bits = 16;
        p.fill = [=](uint32_t, uint8_t* row) {
            for (int x = 0; x < 4; ++x) {
                const uint16_t v[4] = {c, m, y, k};
                std::memcpy(row + x * 8, v, 8);
            }
        };
        return p;
    };
    // Index 1 is red; the pixels are red at the coverage given.
    const auto paletteAlpha = [](uint8_t alpha, int extra) {
        PageSpec p;
        p.photometric = PHOTOMETRIC_PALETTE;
        p.samples = 2;
        p.bits = 8;
        p.extra = extra;
        p.colourMap.assign(3 * 256, 0);
        p.colourMap[1] = 0xFFFF;
        p.fill = [=](uint32_t, uint8_t* row) {
            for (int x = 0; x < 4; ++x) row[x * 2] = 1, row[x * 2 + 1] = alpha;
        };
        return p;
    };
    PageSpec palette16;
    palette16.photometric = PHOTOMETRIC_PALETTE;
    palette16.samples = 1;
    palette16.bits = 16;
    palette16.colourMap.assign(3 * 65536, 0);
    palette16.colourMap[65536 + 40000] = 0xFFFF;  // index 40000 is green
    palette16.fill = [](uint32_t, uint8_t* row) {
        for (int x = 0; x < 4; ++x) {
            const uint16_t index = 40000;
            std::memcpy(row + x * 2, &index, 2);
        }
    };
    const Row rows[] = {
        {"16-bit palette", palette16, {0, 255, 0}},
        {"cyan", cmyk16(0xFFFF, 0, 0, 0), {0, 255, 255}},
        {"half black", cmyk16(0, 0, 0, 0x8080), {127, 127, 127}},
        {"yellow and a quarter black", cmyk16(0, 0, 0xFFFF, 0x4040), {191, 191, 0}},
        {"palette red at half, unassociated",
         paletteAlpha(128, EXTRASAMPLE_UNASSALPHA),
         {255, 127, 127}},
        {"palette red, opaque", paletteAlpha(255, EXTRASAMPLE_UNASSALPHA), {255, 0, 0}},
        {"palette red, transparent", paletteAlpha(0, EXTRASAMPLE_UNASSALPHA), {255, 255, 255}},
    };
    for (const Row& row : rows) {
        WriteTiff(dir + "c.tif", {row.page});
        ASSERT_EQ(Refusal(dir + "c.tif"), "") << row.what;
        const auto got = BmpPixel(TTiff2ps::BitmapName(dir, 1), 2, 1);
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(got[size_t(c)], row.pixel[size_t(c)], 1) << row.what;
    }
}

TEST_F(TiffPagesTest, AChainThatLoopsBackEndsAfterItsIntactPages) {
    const std::string tif = dir + "loop.tif";
    struct Row {
        int from, to;
        std::array<int, 3> last;  // the colour of the last page
    } rows[] = {{3, 1, {0, 0, 255}}, {3, 2, {0, 0, 255}}, {3, 3, {0, 0, 255}}, {2, 1, {0, 255, 0}}};
    for (const Row& row : rows) {
        WriteTiff(tif, {Rgb(0xFF0000), Rgb(0x00FF00), Rgb(0x0000FF)});
        LoopChain(tif, row.from, row.to);
        const std::string what = std::to_string(row.from) + " to " + std::to_string(row.to);
        EXPECT_EQ(TTiff2ps().TiffPageCount(tif), row.from) << what;
        ASSERT_EQ(Refusal(tif), "") << what;
        EXPECT_EQ(BmpPixel(TTiff2ps::BitmapName(dir, row.from), 1, 1), row.last) << what;
    }
    bool logged = false;
    for (const std::string& line : LogLines())
        logged = logged || (line.find("TiffChain") != std::string::npos &&
                            line.find("循环") != std::string::npos);
    EXPECT_TRUE(logged);
}

TEST_F(TiffPagesTest, PagesReadBandByBandKeepEveryRowAndColumnInPlaceInEveryOrientation) {
    // 37 × 53 pixels, neither side a multiple of 8: the bands of a turned bilevel page end
    // inside a byte of the bitmap's rows unless they are laid from the right edge.
    constexpr uint32_t kWidth = 37, kHeight = 53;
    // Every stored pixel tells its row and column: red the row, green the column.
    const auto colour = [](uint32_t r, uint32_t c) {
        return uint32_t(r * 4) | uint32_t(c * 6) << 8 | uint32_t((r * 37 + c) % 251) << 16;
    };
    const auto grey = [](uint32_t r, uint32_t c) { return uint8_t((r * 37 + c) % 251); };
    const auto white = [](uint32_t r, uint32_t c) { return (r * 3 + c * 5) % 7 < 3; };
    // The stored row and column of the pixel seen at (x, y), by Orientation.
    const auto stored = [](uint16_t o, uint32_t x, uint32_t y, uint32_t w, uint32_t h) {
        switch (o) {
            case 2:
                return std::pair{y, w - 1 - x};
            case 3:
                return std::pair{h - 1 - y, w - 1 - x};
            case 4:
                return std::pair{h - 1 - y, x};
            case 5:
                return std::pair{x, y};
            case 6:
                return std::pair{w - 1 - x, y};
            case 7:
                return std::pair{w - 1 - x, h - 1 - y};
            case 8:
                return std::pair{x, h - 1 - y};
            default:
                return std::pair{y, x};
        }
    };
    enum Kind { kRgb, kGrey, kBilevel };
    struct Layout {
        const char* what;
        Kind kind;
        uint16_t photometric, compression;
        uint32_t rowsPerStrip, tile;
        bool separate;
    } layouts[] = {
        {"RGB, a row a strip", kRgb, PHOTOMETRIC_RGB, COMPRESSION_NONE, 1, 0, false},
        {"RGB, 5 rows a strip, deflate", kRgb, PHOTOMETRIC_RGB, COMPRESSION_DEFLATE, 5, 0, false},
        {"RGB, one strip, LZW", kRgb, PHOTOMETRIC_RGB, COMPRESSION_LZW, kHeight, 0, false},
        {"RGB, 16-pixel tiles", kRgb, PHOTOMETRIC_RGB, COMPRESSION_NONE, 0, 16, false},
        {"RGB planes, 5 rows a strip", kRgb, PHOTOMETRIC_RGB, COMPRESSION_NONE, 5, 0, true},
        {"RGB planes, one strip, deflate", kRgb, PHOTOMETRIC_RGB, COMPRESSION_DEFLATE, kHeight, 0,
         true},
        {"grey, 3 rows a strip", kGrey, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 3, 0, false},
        {"grey, one strip", kGrey, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, kHeight, 0, false},
        {"bilevel, 7 rows a strip", kBilevel, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, 7, 0,
         false},
        {"bilevel, one strip, fax", kBilevel, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4,
         kHeight, 0, false},
        {"bilevel, 16-pixel tiles", kBilevel, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, 0, 16,
         false},
    };
    // The least band: 8 rows of every kind, each page read row by row; bands of 8 colour
    // rows: libtiff's reader gets whole strips of up to 8 rows, larger ones are read row by
    // row; bands of 40 colour rows: it also gets rows of tiles.
    for (const uint64_t band : {uint64_t(1), uint64_t(kWidth) * 4 * 8, uint64_t(kWidth) * 4 * 40})
        for (const Layout& layout : layouts)
            for (uint16_t o = 1; o <= 8; ++o) {
                PageSpec p;
                p.width = kWidth;
                p.height = kHeight;
                p.photometric = layout.photometric;
                p.samples = layout.kind == kRgb ? 3 : 1;
                p.bits = layout.kind == kBilevel ? 1 : 8;
                p.compression = layout.compression;
                p.rowsPerStrip = layout.rowsPerStrip;
                p.tile = layout.tile;
                p.separate = layout.separate;
                p.orientation = o;
                const bool setIsWhite = layout.photometric == PHOTOMETRIC_MINISBLACK;
                p.fill = [&](uint32_t y, uint8_t* row) {
                    for (uint32_t x = 0; x < kWidth; ++x) {
                        if (layout.kind == kBilevel) {
                            if (white(y, x) == setIsWhite) row[x / 8] |= uint8_t(0x80 >> (x % 8));
                        } else if (layout.kind == kGrey) {
                            row[x] = grey(y, x);
                        } else {
                            for (int s = 0; s < 3; ++s)
                                row[x * 3 + s] = uint8_t(colour(y, x) >> 8 * s);
                        }
                    }
                };
                const std::string what = std::string(layout.what) + ", orientation " +
                                         std::to_string(o) + ", band " + std::to_string(band);
                WriteTiff(dir + "band.tif", {p});
                SetTiffBandBytes(band);
                ASSERT_EQ(Refusal(dir + "band.tif"), "") << what;
                TBitmap bmp;
                bmp.LoadFromFile(TTiff2ps::BitmapName(dir, 1));
                const uint32_t w = o <= 4 ? kWidth : kHeight, h = o <= 4 ? kHeight : kWidth;
                ASSERT_EQ(uint32_t(bmp.Width()), w) << what;
                ASSERT_EQ(uint32_t(bmp.Height()), h) << what;
                int wrong = 0;
                for (uint32_t y = 0; y < h; ++y)
                    for (uint32_t x = 0; x < w; ++x) {
                        const auto [r, c] = stored(o, x, y, w, h);
                        uint32_t expected = colour(r, c);
                        if (layout.kind == kGrey) expected = grey(r, c) * 0x010101u;
                        if (layout.kind == kBilevel) expected = white(r, c) ? 0xFFFFFFu : 0;
                        const uint32_t seen = bmp.Canvas()->Pixels(int(x), int(y)) & 0xFFFFFFu;
                        if (seen != expected && wrong++ < 3)
                            ADD_FAILURE() << what << " at " << x << ", " << y << ": " << std::hex
                                          << seen << " instead of " << expected;
                    }
                EXPECT_EQ(wrong, 0) << what;
            }
}
