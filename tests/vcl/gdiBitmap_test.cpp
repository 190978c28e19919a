// DIB transfers at every depth (odd widths, both row orders) and the class library's bitmap.
#include <cstring>
#include <vector>

#include "platform/vcl/graphics.h"
#include "tests/vcl/gdi_support.h"

namespace {

struct Info {
    std::vector<uint8_t> mem =
        std::vector<uint8_t>(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFO* bmi() { return reinterpret_cast<BITMAPINFO*>(mem.data()); }
    Info(int w, int h, int bpp) {
        BITMAPINFOHEADER hd;
        hd.biWidth = w;
        hd.biHeight = h;
        hd.biBitCount = WORD(bpp);
        std::memcpy(mem.data(), &hd, sizeof hd);
        auto* colors = reinterpret_cast<RGBQUAD*>(mem.data() + sizeof hd);
        for (int i = 0; i < 256; ++i)
            colors[i] = RGBQUAD{BYTE(i * 7), BYTE(255 - i), BYTE(i * 3), 0};
    }
};

// Bits whose every row is full of distinct values, padding bytes left zero.
std::vector<uint8_t> Pattern(int w, int h, int bpp) {
    LONG stride = DibRowBytes(w, bpp);
    std::vector<uint8_t> bits(size_t(stride * h), 0);
    int used = (w * bpp + 7) / 8;
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < used; ++i)
            bits[size_t(y) * size_t(stride) + size_t(i)] = uint8_t(y * 31 + i * 13 + 1);
    // Bits past the last pixel of a row are not pixels: keep them zero.
    if ((w * bpp) % 8)
        for (int y = 0; y < h; ++y)
            bits[size_t(y * stride + used - 1)] &= uint8_t(0xFF << (8 - (w * bpp) % 8));
    if (bpp == 16)  // the top bit of a 5-5-5 pixel is unused
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                bits[size_t(y) * size_t(stride) + size_t(2 * x + 1)] &= 0x7F;
    if (bpp == 32)  // the fourth byte is not colour and comes back as zero
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) bits[size_t(y) * size_t(stride) + size_t(4 * x + 3)] = 0;
    return bits;
}

TEST(Dibs, SectionRoundTripsAtEveryDepthAndRowOrder) {
    for (int bpp : {1, 4, 8, 16, 24, 32})
        for (int w : {1, 5, 7, 13})
            for (int h : {3, -3}) {
                Info info(w, h, bpp);
                void* bits = nullptr;
                HBITMAP dib =
                    CreateDIBSection(nullptr, info.bmi(), DIB_RGB_COLORS, &bits, nullptr, 0);
                ASSERT_NE(dib, nullptr);
                std::vector<uint8_t> want = Pattern(w, 3, bpp);
                std::memcpy(bits, want.data(), want.size());
                Info out(w, h, bpp);
                std::vector<uint8_t> got(want.size(), 0xEE);
                ASSERT_EQ(GetDIBits(nullptr, dib, 0, 3, got.data(), out.bmi(), DIB_RGB_COLORS), 3);
                EXPECT_EQ(got, want) << bpp << " bits, " << w << " x " << h;
                DeleteObject(dib);
            }
}

TEST(Dibs, SetThenGetThroughACompatibleBitmap) {
    for (int bpp : {16, 24, 32})
        for (int h : {4, -4}) {
            Info info(5, h, bpp);
            std::vector<uint8_t> want = Pattern(5, 4, bpp);
            HBITMAP b = CreateBitmap(5, 4, 1, 32, nullptr);
            ASSERT_EQ(SetDIBits(nullptr, b, 0, 4, want.data(), info.bmi(), DIB_RGB_COLORS), 4);
            std::vector<uint8_t> got(want.size());
            GetDIBits(nullptr, b, 0, 4, got.data(), info.bmi(), DIB_RGB_COLORS);
            EXPECT_EQ(got, want) << bpp << " " << h;
            DeleteObject(b);
        }
}

TEST(Dibs, BottomUpRowsAndDrawingIntoASection) {
    Info info(3, 2, 24);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, info.bmi(), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    SetPixel(dc, 0, 0, RGB(1, 2, 3));  // the top row is the last in memory
    auto* b = static_cast<uint8_t*>(bits);
    EXPECT_EQ(b[12], 3);
    EXPECT_EQ(b[13], 2);
    EXPECT_EQ(b[14], 1);
    b[0] = 0x40;  // bottom-left blue, written by hand
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0x40));
    DIBSECTION ds;
    EXPECT_EQ(GetObjectA(dib, sizeof ds, &ds), int(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 12);
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST(Dibs, GetDIBitsDescribesTheBitmap) {
    HBITMAP b = CreateBitmap(7, 3, 1, 1, nullptr);
    BITMAPINFO bi;
    bi.bmiHeader.biBitCount = 0;
    EXPECT_EQ(GetDIBits(nullptr, b, 0, 0, nullptr, &bi, DIB_RGB_COLORS), 3);
    EXPECT_EQ(bi.bmiHeader.biWidth, 7);
    EXPECT_EQ(bi.bmiHeader.biBitCount, 1);
    EXPECT_EQ(bi.bmiHeader.biSizeImage, 12u);
    DeleteObject(b);
}

TEST(Palettes, NearestIndexAndEntries) {
    std::vector<uint8_t> mem(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(mem.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 3;
    lp->palPalEntry[0] = {0, 0, 0, 0};
    lp->palPalEntry[1] = {255, 0, 0, 0};
    lp->palPalEntry[2] = {0, 0, 255, 0};
    HPALETTE pal = CreatePalette(lp);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(200, 10, 10)), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(0, 0, 180)), 2u);
    PALETTEENTRY e[3];
    EXPECT_EQ(GetPaletteEntries(pal, 1, 5, e), 2u);
    EXPECT_EQ(e[0].peRed, 255);
    MemDc m(1, 1);
    SelectPalette(m.dc, pal, FALSE_);
    EXPECT_EQ(RealizePalette(m.dc), 3u);
    SetPixel(m.dc, 0, 0, PALETTEINDEX(2));
    EXPECT_EQ(m.at(0, 0), RGB(0, 0, 255));
    SelectPalette(m.dc, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE_);
    DeleteObject(pal);
}

TEST(BitmapClass, PixelFormatsScanLinesAndTheCanvasAgree) {
    TBitmap bmp;
    bmp.SetSize(5, 2);
    bmp.SetPixelFormat(pf24bit);
    uint8_t* row = bmp.ScanLine(1);
    row[3] = 0x11;  // pixel 1: blue, green, red
    row[4] = 0x22;
    row[5] = 0x33;
    EXPECT_EQ(bmp.Canvas()->Pixels(1, 1), TColor(RGB(0x33, 0x22, 0x11)));
    bmp.Canvas()->Brush()->Color = clRed;
    bmp.Canvas()->FillRect(Rect(0, 0, 1, 1));
    EXPECT_EQ(bmp.ScanLine(0)[2], 0xFF);
    bmp.SetPixelFormat(pf1bit);
    EXPECT_TRUE(bmp.Monochrome());
    EXPECT_EQ(bmp.HandleType(), bmDIB);
    BITMAP bm;
    GetObjectA(bmp.Handle(), sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    bmp.SetPixelFormat(pf8bit);
    EXPECT_NE(bmp.Palette(), nullptr);
    EXPECT_EQ(GetPaletteEntries(bmp.Palette(), 0, 0, nullptr), 256u);
}

TEST(BitmapClass, CanvasHandleDrawsOnTheBitmap) {
    TBitmap bmp;
    bmp.SetSize(4, 4);
    TCanvas* c = bmp.Canvas();
    c->Brush()->Color = clBlue;
    RECT r{1, 1, 3, 3};
    FillRect(c->Handle(), &r, c->Brush()->Handle());
    EXPECT_EQ(c->Pixels(1, 1), clBlue);
    EXPECT_EQ(c->Pixels(3, 3), clWhite);
    // A copy with a raster operation through CopyMode.
    TBitmap other;
    other.SetSize(4, 4);
    other.Canvas()->CopyMode = NOTSRCCOPY;
    other.Canvas()->CopyRect(Rect(0, 0, 4, 4), c, Rect(0, 0, 4, 4));
    EXPECT_EQ(other.Canvas()->Pixels(1, 1), TColor(0x00FFFF));
    EXPECT_EQ(other.Canvas()->Pixels(0, 0), clBlack);
}

TEST(Painting, LinesAndRectanglesFollowGdiConventions) {
    MemDc m(8, 8);
    m.fill(0xFFFFFF);
    MoveToEx(m.dc, 1, 1, nullptr);
    LineTo(m.dc, 5, 1);
    EXPECT_EQ(m.at(1, 1), 0u);
    EXPECT_EQ(m.at(4, 1), 0u);
    EXPECT_EQ(m.at(5, 1), 0xFFFFFFu);  // the end point is left out
    m.fill(0xFFFFFF);
    SelectObject(m.dc, GetStockObject(GRAY_BRUSH));
    Rectangle(m.dc, 1, 1, 5, 4);
    EXPECT_EQ(m.at(1, 1), 0u);
    EXPECT_EQ(m.at(4, 3), 0u);
    EXPECT_EQ(m.at(2, 2), 0x808080u);
    EXPECT_EQ(m.at(5, 1), 0xFFFFFFu);
    EXPECT_EQ(m.at(1, 4), 0xFFFFFFu);
    m.fill(0xFFFFFF);
    RECT fr{2, 2, 6, 5};
    FrameRect(m.dc, &fr, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(m.at(5, 4), 0u);
    EXPECT_EQ(m.at(3, 3), 0xFFFFFFu);
    EXPECT_EQ(m.at(6, 5), 0xFFFFFFu);
    RECT inverted{5, 5, 2, 2};
    m.fill(0xFFFFFF);
    FillRect(m.dc, &inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(m.at(3, 3), 0xFFFFFFu);  // an inverted rectangle fills nothing
    DrawFocusRect(m.dc, &fr);
    EXPECT_EQ(m.at(2, 2), 0u);
    EXPECT_EQ(m.at(3, 2), 0xFFFFFFu);
    DrawFocusRect(m.dc, &fr);
    EXPECT_EQ(m.at(2, 2), 0xFFFFFFu);  // twice restores
    SetROP2(m.dc, R2_NOT);
    MoveToEx(m.dc, 0, 7, nullptr);
    LineTo(m.dc, 3, 7);
    EXPECT_EQ(m.at(0, 7), 0u);
    SelectObject(m.dc, GetStockObject(WHITE_BRUSH));
}

}  // namespace
