// Raster operations run span by span: patterns that vary per pixel, sources read at an offset,
// and clip regions that split rows into several spans must all line up with the right pixels.
#include "tests/vcl/gdi_support.h"

namespace {

// The truth table applied bit by bit: bit k of the operation is the result for the
// pattern, source and destination bits of k (pattern the highest).
COLORREF ByTruthTable(BYTE rop, COLORREF p, COLORREF s, COLORREF d) {
    COLORREF r = 0;
    for (int bit = 0; bit < 24; ++bit) {
        const int k = int((p >> bit) & 1) << 2 | int((s >> bit) & 1) << 1 | int((d >> bit) & 1);
        r |= COLORREF((rop >> k) & 1) << bit;
    }
    return r;
}

COLORREF Mix(int x, int y, int salt) {
    return COLORREF((x * 0x3A5F1 + y * 0x91E7 + salt * 0x5C3D2B) & 0xFFFFFF);
}

TEST(RasterSpans, EveryRopWithAPatternBitmapAnOffsetSourceAndASplitClip) {
    constexpr int W = 12, H = 4, SX = 3, SY = 2;
    MemDc src(16, 6), dst(W, H), tile(8, 8);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 16; ++x) SetPixel(src.dc, x, y, Mix(x, y, 1));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) SetPixel(tile.dc, x, y, Mix(x, y, 2));
    HBRUSH pattern = CreatePatternBrush(tile.bmp);
    SelectObject(dst.dc, pattern);
    // Two spans on the middle rows: the clip has a hole.
    HRGN clip = CreateRectRgn(1, 0, 11, H);
    HRGN hole = CreateRectRgn(4, 1, 7, 3);
    CombineRgn(clip, clip, hole, RGN_DIFF);
    SelectClipRgn(dst.dc, clip);
    auto inside = [](int x, int y) {
        return x >= 1 && x < 11 && !(x >= 4 && x < 7 && y >= 1 && y < 3);
    };
    for (int rop = 0; rop < 256; ++rop) {
        SelectClipRgn(dst.dc, nullptr);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) SetPixel(dst.dc, x, y, Mix(x, y, 3));
        SelectClipRgn(dst.dc, clip);
        ASSERT_TRUE(BitBlt(dst.dc, 0, 0, W, H, src.dc, SX, SY, MAKEROP3(BYTE(rop))));
        SelectClipRgn(dst.dc, nullptr);  // read every pixel back
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                const COLORREF want = inside(x, y)
                                          ? ByTruthTable(BYTE(rop), Mix(x % 8, y % 8, 2),
                                                         Mix(x + SX, y + SY, 1), Mix(x, y, 3))
                                          : Mix(x, y, 3);
                ASSERT_EQ(dst.at(x, y), want) << "rop " << rop << " at " << x << "," << y;
            }
    }
    SelectClipRgn(dst.dc, nullptr);
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(pattern);
    DeleteObject(clip);
    DeleteObject(hole);
}

// A pattern's rows start at the brush origin, wherever the span begins.
TEST(RasterSpans, HatchRowsFollowTheBrushOrigin) {
    MemDc dst(10, 10);
    dst.fill(RGB(255, 255, 255));
    HBRUSH cross = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
    SelectObject(dst.dc, cross);
    SetBkColor(dst.dc, RGB(255, 255, 255));
    SetBrushOrgEx(dst.dc, 2, 3, nullptr);
    ASSERT_TRUE(PatBlt(dst.dc, 1, 1, 9, 9, PATCOPY));
    for (int y = 1; y < 10; ++y)
        for (int x = 1; x < 10; ++x) {
            const bool line = (x - 2 + 8) % 8 == 4 || (y - 3 + 8) % 8 == 7;
            ASSERT_EQ(dst.at(x, y), line ? 0u : 0xFFFFFFu) << x << "," << y;
        }
    SelectObject(dst.dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(cross);
}

// Where the source lies off its bitmap nothing is drawn, and a mirrored stretch reads its
// rows from the far end, span by span.
TEST(RasterSpans, SourceOffItsBitmapAndMirroredStretchRows) {
    MemDc src(3, 2), dst(5, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) SetPixel(src.dc, x, y, Mix(x, y, 4));
    dst.fill(0);
    BitBlt(dst.dc, 0, 0, 5, 2, src.dc, -1, 0, SRCCOPY);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(dst.at(0, y), 0u);
        for (int x = 1; x < 4; ++x) EXPECT_EQ(dst.at(x, y), Mix(x - 1, y, 4));
        EXPECT_EQ(dst.at(4, y), 0u);
    }
    MemDc mirror(3, 2);
    StretchBlt(mirror.dc, 2, 1, -3, -2, src.dc, 0, 0, 3, 2, SRCCOPY);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(mirror.at(x, y), Mix(2 - x, 1 - y, 4));
}

}  // namespace
