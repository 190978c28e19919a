// Bitmap file images and colour reduction: the byte layout, each method's colour count, the
// pictures kept exactly, and bitmap files that are cut short or absurd.
#include <gtest/gtest.h>

#include <set>

#include "controls/extended/xcBitmaps.h"

namespace {

std::string Bytes(TMemoryStream& s) { return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.Size())); }

TDibImage Read(const std::string& file) { return ReadDIB(reinterpret_cast<const uint8_t*>(file.data()), file.size()); }

void Fill(TBitmap& b, int w, int h, uint32_t (*colour)(int, int)) {
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.Image().setPixel(x, y, colour(x, y));
}

// 0x00BBGGRR from the bitmap, 0x00RRGGBB from the file image.
uint32_t Swap(uint32_t c) { return (c & 0xFF) << 16 | (c & 0xFF00) | ((c >> 16) & 0xFF); }

const TColorReduction methods[] = {rdQuantize, rdMedianCut, rdFixed224, rdFixed216, rdChannelSplit, rdGrayscale};

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
    Fill(b, 97, 61, [](int x, int y) { return uint32_t((x * 37) ^ (y * 91) << 8 ^ (x * y) << 16) & 0xFFFFFF; });
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
            for (int x = 0; x < 33; ++x) ASSERT_EQ(img.Pixels[size_t(y * 33 + x)], Swap(bw.Image().pixel(x, y))) << x << "," << y;
    }
    // The quantizer keeps any two colours, and any picture of at most 256.
    TBitmap many;
    Fill(many, 40, 40, [](int x, int y) { return uint32_t(((x / 4) * 10 + y / 4) * 0x010203) & 0xFFFFFF; });
    TDibImage img = Read(Bytes(*BitmapToDIBStream(many, pf8bit, rdQuantize)));
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(img.Pixels[size_t(y * 40 + x)], Swap(many.Image().pixel(x, y)));
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
    for (size_t cut = 0; cut < f.size(); ++cut) EXPECT_THROW(Read(f.substr(0, cut)), EXCLException) << cut;
    EXPECT_NO_THROW(Read(f));
    std::string huge = f;
    PutLE32(reinterpret_cast<uint8_t*>(huge.data()) + 18, 0x7FFFFFFF);
    EXPECT_THROW(Read(huge), EXCLException);
    std::string colours = f;
    PutLE32(reinterpret_cast<uint8_t*>(colours.data()) + 46, 0xFFFFFF);
    EXPECT_THROW(Read(colours), EXCLException);
    // A round trip through a bitmap keeps the pixels.
    TBitmap back;
    LoadBitmapFromDIB(back, BitmapToPackedDIB(b.Handle(), nullptr, pf24bit));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(back.Image().pixel(x, y) & 0xFFFFFF, b.Image().pixel(x, y) & 0xFFFFFF);
}
