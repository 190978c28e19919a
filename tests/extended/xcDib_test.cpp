// Bitmap file images and colour reduction: the byte layout, each method's colour count, the
// pictures kept exactly, and bitmap files that are cut short or absurd.
#include <gtest/gtest.h>

#include <set>

#include "controls/extended/xcBitmaps.h"

namespace {

std::string Bytes(TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.Size()));
}

TDibImage Read(const std::string& file) {
    return ReadDIB(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

void Fill(TBitmap& b, int w, int h, uint32_t (*colour)(int, int)) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Image().setPixel(x, y, colour(x, y));
}

// 0x00BBGGRR from the bitmap, 0x00RRGGBB from the file image.
uint32_t Swap(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

const TColorReduction methods[] = {rdQuantize, rdMedianCut,    rdFixed224,
                                   rdFixed216, rdChannelSplit, rdGrayscale};

}  // namespace

TEST(XcDib, EightBitFileLayoutIsExact) {
    TBitmap b;
    Fill(b, 5, 3, [](int x, int y) { return uint32_t(x * 40 + y); });
    auto s = BitmapToDIBStream(b, pf8bit, rdGrayscale);
    const std::string f = Bytes(*s);
    const auto* p = reinterpret_cast<const uint8_t*>(f.data());
    EXPECT_EQ(s->Position(), 0);
    EXPECT_EQ(GetLE16(p), 0x4D42);
    EXPECT_EQ(GetLE32(p + 2), f.size());
    EXPECT_EQ(GetLE32(p + 10), 14u + 40 + 1024);
    EXPECT_EQ(GetLE32(p + 14), 40u);
    EXPECT_EQ(GetLE16(p + 28), 8);
    EXPECT_EQ(GetLE32(p + 34), 8u * 3);  // rows of 5 pixels take 8 bytes
    EXPECT_EQ(f.size(), 14u + 40 + 1024 + 24);
    // Grey entry i is (i, i, i); the top-left pixel is in the last row.
    EXPECT_EQ(GetLE32(p + 54 + 4 * 77), 0x4D4D4Du);
    EXPECT_EQ(p[14 + 40 + 1024 + 16], (77 * 0 + 150 * 0 + 29 * 0) / 256);
    EXPECT_EQ(ComputeDIBSizes(TDibInfoHeader{.biBitCount = 24}), 40u);
    EXPECT_EQ(ComputeDIBSizes(TDibInfoHeader{.biBitCount = 32, .biCompression = 3}), 52u);
    EXPECT_EQ(RowLength(5, 24), 16u);
    EXPECT_EQ(AlignedRowBytes(40), 8u);
}

TEST(XcDib, EachReductionKeepsAtMostTheAskedColours) {
    TBitmap b;
    Fill(b, 97, 61, [](int x, int y) {
        return uint32_t((x * 37) ^ (y * 91) << 8 ^ (x * y) << 16) & 0xFFFFFF;
    });
    for (TColorReduction m : methods) {
        SCOPED_TRACE(int(m));
        auto s = BitmapToDIBStream(b, pf8bit, m);
        TDibImage img = Read(Bytes(*s));
        std::set<uint32_t> colours(img.Pixels.begin(), img.Pixels.end());
        EXPECT_LE(colours.size(), 256u);
        EXPECT_EQ(img.BitCount, 8);
    }
    for (int n : {2, 16, 256}) {
        auto s = ReducePixelFormatByColorCount(b, n);
        TDibImage img = Read(Bytes(*s));
        std::set<uint32_t> colours(img.Pixels.begin(), img.Pixels.end());
        EXPECT_LE(colours.size(), size_t(n));
        EXPECT_EQ(img.BitCount, n == 2 ? 1 : n == 16 ? 4 : 8);
    }
    EXPECT_EQ(Read(Bytes(*ReducePixelFormatByColorCount(b, 17))).BitCount, 8);
    EXPECT_EQ(Read(Bytes(*ReducePixelFormatByColorCount(b, 300))).BitCount, 24);
}

TEST(XcDib, TwoColourPicturesAreKeptExactly) {
    TBitmap bw;
    Fill(bw, 33, 9, [](int x, int y) { return (x + y) % 3 ? 0xFFFFFFu : 0u; });
    for (TColorReduction m : methods) {
        if (m == rdChannelSplit) continue;  // shows one channel per pixel by design
        SCOPED_TRACE(int(m));
        TDibImage img = Read(Bytes(*BitmapToDIBStream(bw, pf8bit, m)));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 33; ++x)
                ASSERT_EQ(img.Pixels[size_t(y * 33 + x)], Swap(bw.Image().pixel(x, y)))
                    << x << "," << y;
    }
    // The quantizer keeps any two colours, and any picture of at most 256.
    TBitmap many;
    Fill(many, 40, 40,
         [](int x, int y) { return uint32_t(((x / 4) * 10 + y / 4) * 0x010203) & 0xFFFFFF; });
    TDibImage img = Read(Bytes(*BitmapToDIBStream(many, pf8bit, rdQuantize)));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(img.Pixels[size_t(y * 40 + x)], Swap(many.Image().pixel(x, y)));
    TDibImage one = Read(Bytes(*ReducePixelFormatByColorCount(bw, 2)));
    EXPECT_EQ(one.Pixels[0], Swap(bw.Image().pixel(0, 0)));
}

TEST(XcDib, MedianCutOfOneColourMakesOneEntry) {
    TBitmap b;
    Fill(b, 10, 10, [](int, int) { return 0x30A0F0u; });
    std::string f = Bytes(*BitmapToDIBStream(b, pf8bit, rdMedianCut));
    const auto* p = reinterpret_cast<const uint8_t*>(f.data());
    EXPECT_EQ(GetLE32(p + 14 + 32), 1u);  // used colours
    Fill(b, 10, 10, [](int, int) { return 0x0A0A0Au; });
    f = Bytes(*BitmapToDIBStream(b, pf8bit, rdMedianCut));
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(f.data()) + 54), 0u);  // very dark: black
}

TEST(XcDib, FixedPalettesAndUnsupportedTargets) {
    TBitmap b;
    Fill(b, 4, 4, [](int x, int) { return uint32_t(x * 60); });
    std::string f = Bytes(*BitmapToDIBStream(b, pf8bit, rdFixed224));
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(f.data()) + 14 + 32), 224u);
    f = Bytes(*BitmapToDIBStream(b, pf8bit, rdFixed216));
    EXPECT_EQ(GetLE32(reinterpret_cast<const uint8_t*>(f.data()) + 14 + 32), 216u);
    EXPECT_THROW(BitmapToDIBStream(b, pf16bit, rdQuantize), EXCLException);
    TBitmap empty;
    EXPECT_THROW(BitmapToDIBStream(empty, pf8bit, rdQuantize), EInvalidGraphic);
    EXPECT_EQ(PaletteRelativeColor(clRed), 0x020000FFu);
}

// Cut-short and absurd bitmap files end in a clear error before anything is allocated.
TEST(XcDib, DamagedBitmapFilesAreRefused) {
    TBitmap b;
    Fill(b, 7, 5, [](int x, int y) { return uint32_t(x * 30 + y * 0x1000); });
    const std::string f = Bytes(*BitmapToDIBStream(b, pf8bit, rdQuantize));
    for (size_t cut = 0; cut < f.size(); ++cut)
        EXPECT_THROW(Read(f.substr(0, cut)), EXCLException) << cut;
    EXPECT_NO_THROW(Read(f));
    std::string huge = f;
    PutLE32(reinterpret_cast<uint8_t*>(huge.data()) + 18, 0x7FFFFFFF);
    EXPECT_THROW(Read(huge), EXCLException);
    std::string colours = f;
    PutLE32(reinterpret_cast<uint8_t*>(colours.data()) + 46, 0xFFFFFF);
    EXPECT_THROW(Read(colours), EXCLException);
    // A round trip through a bitmap keeps the pixels.
    TBitmap back;
    LoadBitmapFromDIB(back, BitmapToPackedDIB(b.Handle(), nullptr, pf24bit).Bytes());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(back.Image().pixel(x, y) & 0xFFFFFF, b.Image().pixel(x, y) & 0xFFFFFF);
}

namespace {

// A 16-bit bitmap file of Width x Height whose pixel (x, y) is Pixel(x, y); masks given
// (BI_BITFIELDS) or the default 5-5-5 layout.
std::string SixteenBitFile(int w, int h, uint16_t (*pixel)(int, int), const uint32_t* masks) {
    std::string f;
    auto put16 = [&f](uint32_t v) {
        f.push_back(char(v & 0xFF)), f.push_back(char((v >> 8) & 0xFF));
    };
    auto put32 = [&](uint32_t v) { put16(v & 0xFFFF), put16(v >> 16); };
    const uint32_t row = (uint32_t(w) * 2 + 3) / 4 * 4, offset = 14 + 40 + (masks ? 12 : 0);
    f += "BM";
    put32(offset + row * uint32_t(h)), put32(0), put32(offset);
    put32(40), put32(uint32_t(w)), put32(uint32_t(h)), put16(1), put16(16), put32(masks ? 3 : 0);
    put32(row * uint32_t(h)), put32(0), put32(0), put32(0), put32(0);
    if (masks)
        for (int i = 0; i < 3; ++i) put32(masks[i]);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) put16(pixel(x, y));
        f.append(row - uint32_t(w) * 2, '\0');
    }
    return f;
}

// A narrow channel widened by repeating its bits.
uint32_t Widen(uint32_t v, int bits) { return bits == 5 ? (v << 3 | v >> 2) : (v << 2 | v >> 4); }

}  // namespace

// A 16-bit file reads to the same colours through the picture reader, the bitmap's data and
// file loaders, and the GDI; 5 and 6-bit channels widen by repeating their bits (31 -> 255,
// 16 -> 132, 1 -> 8).
TEST(SixteenBitBitmaps, OneExpansionOnEveryPath) {
    const uint32_t masks565[3] = {0xF800, 0x07E0, 0x001F};
    struct Row {
        const char* name;
        std::string file;
        uint32_t (*expected)(int, int);
    };
    const std::vector<Row> rows = {
        {"555",
         SixteenBitFile(
             32, 3, [](int x, int y) { return uint16_t(x << (10 - 5 * y)); }, nullptr),
         [](int x, int y) { return Widen(uint32_t(x), 5) << (16 - 8 * y); }},
        {"565",
         SixteenBitFile(
             64, 1, [](int x, int) { return uint16_t(x << 5); }, masks565),
         [](int x, int) { return Widen(uint32_t(x), 6) << 8; }},
    };
    const std::string path = ::testing::TempDir() + "/sixteen.bmp";
    for (const Row& r : rows) {
        const TDibImage img = Read(r.file);
        TBitmap fromData, fromFile;
        fromData.LoadFromData(r.file);
        WriteFileText(path, r.file);
        fromFile.LoadFromFile(path);
        ASSERT_EQ(fromData.Width(), img.Width) << r.name;
        ASSERT_EQ(fromFile.Height(), img.Height) << r.name;
        for (int y = 0; y < img.Height; ++y)
            for (int x = 0; x < img.Width; ++x) {
                const uint32_t want = r.expected(x, y);
                EXPECT_EQ(img.Pixels[size_t(y * img.Width + x)], want)
                    << r.name << " " << x << "," << y;
                EXPECT_EQ(Swap(fromData.Image().pixel(x, y) & 0xFFFFFF), want)
                    << r.name << " " << x << "," << y;
                EXPECT_EQ(Swap(fromFile.Image().pixel(x, y) & 0xFFFFFF), want)
                    << r.name << " " << x << "," << y;
            }
    }
    EXPECT_EQ(Widen(31, 5), 255u);
    EXPECT_EQ(Widen(16, 5), 132u);
    EXPECT_EQ(Widen(63, 6), 255u);
}

// Three cells A < B < C in cube order, A and B on the same red level: splitting on red puts
// B (inserted after A) before A, so B alone is the lower half (2 of 4 pixels) and the
// palette reads B, A, C. Keeping A before B would give A, B, C.
TEST(MedianCutOrder, EqualKeysGoBeforeThoseAlreadyPlaced) {
    TBitmap b;
    // 0x00BBGGRR: A = green 0x80, B = green 0xF0 blue 0x80 (two pixels), C = red 0xF0.
    const uint32_t px[4] = {0x008000, 0x80F000, 0x80F000, 0x0000F0};
    b.SetSize(4, 1);
    for (int x = 0; x < 4; ++x) b.Image().setPixel(x, 0, px[x]);
    const std::string f = Bytes(*BitmapToDIBStream(b, pf8bit, rdMedianCut));
    const auto* p = reinterpret_cast<const uint8_t*>(f.data());
    ASSERT_EQ(GetLE32(p + 14 + 32), 3u);  // three boxes
    auto entry = [&](int i) {
        return uint32_t(p[54 + 4 * i + 2]) << 16 | uint32_t(p[54 + 4 * i + 1]) << 8 | p[54 + 4 * i];
    };
    EXPECT_EQ(entry(0), 0x0FFF8Fu);  // B
    EXPECT_EQ(entry(1), 0x0F8F0Fu);  // A
    EXPECT_EQ(entry(2), 0xFF0F0Fu);  // C
    // Each pixel maps to its own cell's entry.
    const uint8_t* pixels = p + GetLE32(p + 10);
    EXPECT_EQ(std::vector<int>(pixels, pixels + 4), (std::vector<int>{1, 0, 0, 2}));
}
