// Raster operations against their truth tables, and monochrome <-> colour conversion.
#include "tests/vcl/gdi_support.h"

namespace {

// With pattern F0, source CC and destination AA in every byte, each result byte equals the
// truth table of the operation: bit k of the table is the result for P, S, D = the bits of k.
TEST(RasterOps, EveryTernaryRopFollowsItsTruthTable) {
    MemDc src(3, 2), dst(3, 2);
    src.fill(0xCCCCCC);
    HBRUSH pat = CreateSolidBrush(0xF0F0F0);
    SelectObject(dst.dc, pat);
    for (int index = 0; index < 256; ++index) {
        dst.fill(0xAAAAAA);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 3, 2, src.dc, 0, 0, MAKEROP3(BYTE(index))));
        const COLORREF want = COLORREF(index) * 0x010101;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                ASSERT_EQ(dst.at(x, y), want) << "rop " << index << " at " << x << "," << y;
    }
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pat);
}

TEST(RasterOps, NamedRopsAreTheirTruthTables) {
    struct Row {
        DWORD rop;
        BYTE index;
    } rows[] = {
        {SRCCOPY, 0xCC},    {SRCPAINT, 0xEE},   {SRCAND, 0x88},      {SRCINVERT, 0x66},
        {SRCERASE, 0x44},   {NOTSRCCOPY, 0x33}, {NOTSRCERASE, 0x11}, {MERGECOPY, 0xC0},
        {MERGEPAINT, 0xBB}, {PATCOPY, 0xF0},    {PATPAINT, 0xFB},    {PATINVERT, 0x5A},
        {DSTINVERT, 0x55},  {BLACKNESS, 0x00},  {WHITENESS, 0xFF},
    };
    MemDc src(1, 1), dst(1, 1);
    src.fill(0xCCCCCC);
    HBRUSH pat = CreateSolidBrush(0xF0F0F0);
    SelectObject(dst.dc, pat);
    for (const Row& r : rows) {
        dst.fill(0xAAAAAA);
        BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, r.rop);
        EXPECT_EQ(dst.at(0, 0), COLORREF(r.index) * 0x010101) << std::hex << r.rop;
    }
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pat);
}

TEST(RasterOps, PatBltUsesNoSourceAndRejectsRopsThatDo) {
    MemDc dst(4, 4);
    dst.fill(0x123456);
    EXPECT_TRUE(PatBlt(dst.dc, 1, 1, 2, 2, DSTINVERT));
    EXPECT_EQ(dst.at(1, 1), COLORREF(~0x123456u & 0xFFFFFF));
    EXPECT_EQ(dst.at(0, 0), COLORREF(0x123456));
    EXPECT_EQ(dst.at(3, 3), COLORREF(0x123456));  // right and bottom exclusive
    EXPECT_FALSE(PatBlt(dst.dc, 0, 0, 4, 4, SRCCOPY));
}

TEST(RasterOps, MonochromeSourceTakesTextAndBackgroundColours) {
    // Rows of 1 bits are white; a word per row.
    const uint8_t bits[4] = {0xA0, 0, 0x50, 0};
    HBITMAP mono = CreateBitmap(4, 2, 1, 1, bits);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, mono);
    MemDc dst(4, 2);
    SetTextColor(dst.dc, RGB(255, 0, 0));
    SetBkColor(dst.dc, RGB(0, 0, 255));
    BitBlt(dst.dc, 0, 0, 4, 2, src, 0, 0, SRCCOPY);
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
    COLORREF want[2][4] = {{blue, red, blue, red}, {red, blue, red, blue}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.at(x, y), want[y][x]) << x << "," << y;
    DeleteDC(src);
    DeleteObject(mono);
}

TEST(RasterOps, ColourToMonochromeByTheSourceBackground) {
    MemDc src(3, 1);
    SetPixel(src.dc, 0, 0, RGB(0, 255, 0));
    SetPixel(src.dc, 1, 0, RGB(0, 254, 0));
    SetPixel(src.dc, 2, 0, RGB(255, 255, 255));
    SetBkColor(src.dc, RGB(0, 255, 0));
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(mdc, 3, 1);  // a fresh memory DC is monochrome
    BITMAP bm;
    GetObjectA(mono, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    SelectObject(mdc, mono);
    BitBlt(mdc, 0, 0, 3, 1, src.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mdc, 0, 0), 0xFFFFFFu);  // the background colour becomes 1 (white)
    EXPECT_EQ(GetPixel(mdc, 1, 0), 0u);
    EXPECT_EQ(GetPixel(mdc, 2, 0), 0u);  // even white: only the background colour is 1
    DeleteDC(mdc);
    DeleteObject(mono);
}

// The transparent blit built from a mask: SRCINVERT, SRCAND with the mask, SRCINVERT again.
TEST(RasterOps, MaskedTransparencyFromThreeBlits) {
    MemDc img(2, 1), back(2, 1);
    SetPixel(img.dc, 0, 0, RGB(255, 0, 255));  // the transparent colour
    SetPixel(img.dc, 1, 0, RGB(10, 20, 30));
    back.fill(RGB(1, 2, 3));
    HDC mdc = CreateCompatibleDC(nullptr);
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    SelectObject(mdc, mask);
    SetBkColor(img.dc, RGB(255, 0, 255));
    BitBlt(mdc, 0, 0, 2, 1, img.dc, 0, 0, SRCCOPY);
    SetTextColor(back.dc, 0);
    SetBkColor(back.dc, 0xFFFFFF);
    BitBlt(back.dc, 0, 0, 2, 1, img.dc, 0, 0, SRCINVERT);
    BitBlt(back.dc, 0, 0, 2, 1, mdc, 0, 0, SRCAND);
    BitBlt(back.dc, 0, 0, 2, 1, img.dc, 0, 0, SRCINVERT);
    EXPECT_EQ(back.at(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(back.at(1, 0), RGB(10, 20, 30));
    DeleteDC(mdc);
    DeleteObject(mask);
}

TEST(RasterOps, StretchMirrorsAndShrinksByMode) {
    MemDc src(4, 1), dst(4, 1);
    const COLORREF c[4] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), RGB(4, 0, 0)};
    for (int x = 0; x < 4; ++x) SetPixel(src.dc, x, 0, c[x]);
    StretchBlt(dst.dc, 3, 0, -4, 1, src.dc, 0, 0, 4, 1, SRCCOPY);  // mirrored
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.at(x, 0), c[3 - x]);
    MemDc wide(8, 1);
    StretchBlt(wide.dc, 0, 0, 8, 1, src.dc, 0, 0, 4, 1, SRCCOPY);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(wide.at(x, 0), c[x / 2]);
    // Shrinking with BLACKONWHITE keeps black pixels.
    MemDc bw(4, 1), one(2, 1);
    bw.fill(0xFFFFFF);
    SetPixel(bw.dc, 1, 0, 0);
    SetStretchBltMode(one.dc, BLACKONWHITE);
    StretchBlt(one.dc, 0, 0, 2, 1, bw.dc, 0, 0, 4, 1, SRCCOPY);
    EXPECT_EQ(one.at(0, 0), 0u);
    EXPECT_EQ(one.at(1, 0), 0xFFFFFFu);
}

TEST(RasterOps, OverlappingBlitWithinOneBitmapReadsTheOriginal) {
    MemDc m(4, 1);
    for (int x = 0; x < 4; ++x) SetPixel(m.dc, x, 0, RGB(BYTE(x + 1), 0, 0));
    BitBlt(m.dc, 1, 0, 3, 1, m.dc, 0, 0, SRCCOPY);
    EXPECT_EQ(m.at(1, 0), RGB(1, 0, 0));
    EXPECT_EQ(m.at(2, 0), RGB(2, 0, 0));
    EXPECT_EQ(m.at(3, 0), RGB(3, 0, 0));
}

TEST(RasterOps, MaskBltPicksForegroundOrBackgroundRopByMask) {
    MemDc src(2, 1), dst(2, 1);
    src.fill(RGB(9, 9, 9));
    dst.fill(RGB(5, 5, 5));
    const uint8_t bits[2] = {0x80, 0};  // first pixel 1
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, bits);
    MaskBlt(dst.dc, 0, 0, 2, 1, src.dc, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
    EXPECT_EQ(dst.at(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(dst.at(1, 0), RGB(5, 5, 5));
    DeleteObject(mask);
}

TEST(GdiHandles, StaleHandlesAreDetected) {
    HBRUSH b = CreateSolidBrush(0);
    EXPECT_EQ(GetObjectType(b), DWORD(OBJ_BRUSH));
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(GetObjectType(b), 0u);
    MemDc m(1, 1);
    EXPECT_EQ(SelectObject(m.dc, b), nullptr);
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects stay
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), DWORD(OBJ_PEN));
}

TEST(GdiHandles, SaveAndRestoreDc) {
    MemDc m(1, 1);
    SetTextColor(m.dc, 1);
    int level = SaveDC(m.dc);
    SetTextColor(m.dc, 2);
    SaveDC(m.dc);
    SetTextColor(m.dc, 3);
    EXPECT_TRUE(RestoreDC(m.dc, -1));
    EXPECT_EQ(GetTextColor(m.dc), 2u);
    EXPECT_TRUE(RestoreDC(m.dc, level));
    EXPECT_EQ(GetTextColor(m.dc), 1u);
    EXPECT_FALSE(RestoreDC(m.dc, 5));
}

}  // namespace
