// Gradient colour tables (MulDiv rounding, appended segments, one colour), palettes and
// the banded fills of every style: first and last bands and how many there are.
#include <gtest/gtest.h>

#include "controls/styled/styDrawProcs.h"
#include "platform/win/muldiv.h"
#include "tests/styled/styDrawSupport.h"

namespace {

TEST(StyMulDiv, RoundsHalvesAwayFromZeroAndRefusesZero) {
    EXPECT_EQ(MulDiv(1, 255, 2), 128);
    EXPECT_EQ(MulDiv(1, -255, 2), -128);
    EXPECT_EQ(MulDiv(1, 10, 4), 3);
    EXPECT_EQ(MulDiv(3, 10, 4), 8);
    EXPECT_EQ(MulDiv(5, 5, 0), -1);
    EXPECT_EQ(MulDiv(1 << 30, 8, 2), -1);  // does not fit
    EXPECT_EQ(MulDiv(1 << 30, 8, 16), 1 << 29);
}

TEST(StyGradientColors, RedToBlueAndAppendedSegments) {
    TStyColorList list{clWhite};
    MakeGradientColors(clRed, clBlue, 3, true, &list);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(ColorToRGB(list[0]), RGB(255, 0, 0));
    EXPECT_EQ(ColorToRGB(list[1]), RGB(127, 0, 128));
    EXPECT_EQ(ColorToRGB(list[2]), RGB(0, 0, 255));
    MakeGradientColors(clBlue, clLime, 3, false, &list);  // the shared colour is not repeated
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(ColorToRGB(list[3]), RGB(0, 128, 127));
    EXPECT_EQ(ColorToRGB(list[4]), RGB(0, 255, 0));

    MakeGradientColors(clRed, clBlue, 0, true, &list);  // nothing at all
    EXPECT_EQ(list.size(), 5u);
    MakeGradientColors(clRed, clBlue, 3, true, nullptr);

    // One colour: the start colour, not a step divided by zero.
    MakeGradientColors(clNavy, clYellow, 1, true, &list);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0], clNavy);
    MakeGradientColors(clNavy, clYellow, 1, false, &list);
    EXPECT_EQ(list.size(), 1u);

    MakeGradientColors(clBtnFace, clBlack, 2, true, &list);  // system colours as RGB
    EXPECT_EQ(ColorToRGB(list[0]), ColorToRGB(clBtnFace));
}

TEST(StyGradientColors, BlendSteps) {
    EXPECT_EQ(ColorToRGB(BlendColor(clBlack, clWhite, 1, 2)), RGB(128, 128, 128));
    EXPECT_EQ(ColorToRGB(BlendColor(clBlack, clWhite, 0, 3)), RGB(0, 0, 0));
    EXPECT_EQ(ColorToRGB(BlendColor(clBlack, clWhite, 3, 3)), RGB(255, 255, 255));
    EXPECT_EQ(ColorToRGB(BlendColor(clRed, clWhite, 1, 0)), RGB(255, 0, 0));  // no steps
}

TEST(StyGradientPalette, OneNoCollapseEntryPerColour) {
    EXPECT_EQ(CreateGradientPalette(nullptr), nullptr);
    TStyColorList empty;
    EXPECT_EQ(CreateGradientPalette(&empty), nullptr);
    TStyColorList list{clRed, clLime, clBlue};
    HPALETTE pal = CreateGradientPalette(&list);
    ASSERT_NE(pal, nullptr);
    PALETTEENTRY e[4]{};
    EXPECT_EQ(GetPaletteEntries(pal, 0, 4, e), 3u);
    EXPECT_EQ(e[0].peRed, 255);
    EXPECT_EQ(e[1].peGreen, 255);
    EXPECT_EQ(e[2].peBlue, 255);
    EXPECT_EQ(e[2].peFlags, 4);
    DeleteObject(pal);
}

// Four distinct colours; band i has colour i.
const TStyColorList kBands{clRed, clLime, clBlue, clYellow};

std::string Runs(TestBitmap& t, int y) {
    return t.Row(y, "rlby", {clRed, clLime, clBlue, clYellow});
}

TEST(StyFillGradient, HorizontalAndVerticalBandsFollowMulDiv) {
    TestBitmap h(10, 3);
    FillGradient(h.C(), Rect(0, 0, 10, 3), gstHorizontal, 0, 0, nullptr, &kBands);
    EXPECT_EQ(Runs(h, 0), "rrrllbbbyy");  // edges at MulDiv(i, 10, 4): 0 3 5 8 10
    EXPECT_EQ(Runs(h, 2), "rrrllbbbyy");

    TestBitmap v(3, 10);
    FillGradient(v.C(), Rect(0, 0, 3, 10), gstVertical, 0, 0, nullptr, &kBands);
    std::string column;
    for (int y = 0; y < 10; ++y) column += v.Row(y, "rlby", {clRed, clLime, clBlue, clYellow})[1];
    EXPECT_EQ(column, "rrrllbbbyy");
}

struct StyleCase {
    TStyGradientStyle style;
    TPoint first, last;  // a pixel of band 0 and one of the last band
};

class StyFillGradientStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(StyFillGradientStyles, FirstAndLastBandsAndEveryColourShown) {
    const StyleCase c = GetParam();
    TestBitmap t(20, 16, clWhite);
    FillGradient(t.C(), Rect(0, 0, 20, 16), c.style, 0, 0, nullptr, &kBands);
    EXPECT_EQ(t.At(c.first.X, c.first.Y), ColorToRGB(kBands.front()));
    EXPECT_EQ(t.At(c.last.X, c.last.Y), ColorToRGB(kBands.back()));
    std::set<COLORREF> expect;
    for (TColor col : kBands) expect.insert(ColorToRGB(col));
    EXPECT_EQ(t.Colors(), expect);  // four bands, no background left over

    // Composed off screen the result is the same.
    TestBitmap off(20, 16, clWhite);
    FillGradient(off.C(), Rect(0, 0, 20, 16), c.style, 0, bpOffScreen, nullptr, &kBands);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(off.Row(y, "rlby", {clRed, clLime, clBlue, clYellow}), Runs(t, y));
}

INSTANTIATE_TEST_SUITE_P(
    Styles, StyFillGradientStyles,
    ::testing::Values(StyleCase{gstHorizontal, Point(0, 8), Point(19, 8)},
                      StyleCase{gstVertical, Point(10, 0), Point(10, 15)},
                      StyleCase{gstSquare, Point(10, 8), Point(0, 0)},
                      StyleCase{gstElliptic, Point(10, 8), Point(0, 0)},
                      StyleCase{gstTopLeft, Point(0, 0), Point(19, 15)},
                      StyleCase{gstTopRight, Point(19, 0), Point(0, 15)},
                      StyleCase{gstBottomLeft, Point(0, 15), Point(19, 0)},
                      StyleCase{gstBottomRight, Point(19, 15), Point(0, 0)},
                      StyleCase{gstTopLeftDiagonal, Point(0, 0), Point(19, 15)},
                      StyleCase{gstTopRightDiagonal, Point(19, 0), Point(0, 15)}));

TEST(StyFillGradient, EllipticCornersTakeTheOutermostColour) {
    // 20 x 16: the largest ellipse has half-axes 14 and 11 around (10, 8) and misses (0, 0).
    TestBitmap t(20, 16, clWhite);
    FillGradient(t.C(), Rect(0, 0, 20, 16), gstElliptic, 0, 0, nullptr, &kBands);
    for (TPoint p : {Point(0, 0), Point(19, 0), Point(0, 15), Point(19, 15)})
        EXPECT_EQ(t.At(p.X, p.Y), ColorToRGB(clYellow)) << p.X << "," << p.Y;
    EXPECT_EQ(t.At(10, 8), ColorToRGB(clRed));
    EXPECT_EQ(t.At(10, 0), ColorToRGB(clBlue));  // the outer ellipse's own band reaches the edge
}

TEST(StyFillGradient, OffsetRectangleAndClip) {
    TestBitmap t(20, 10, clWhite);
    FillGradient(t.C(), Rect(5, 2, 15, 8), gstHorizontal, 0, 0, nullptr, &kBands);
    EXPECT_EQ(Runs(t, 1), std::string(20, '?'));
    EXPECT_EQ(Runs(t, 4).substr(5, 10), "rrrllbbbyy");
    EXPECT_EQ(t.At(4, 4), ColorToRGB(clWhite));

    // With flag 1 the clip rectangle is the fill rectangle moved by the offset.
    TestBitmap clipped(20, 10, clWhite);
    FillGradient(clipped.C(), Rect(5, 2, 15, 8), gstHorizontal, 3, bpClip, nullptr, &kBands);
    EXPECT_EQ(clipped.At(7, 4), ColorToRGB(clWhite));
    EXPECT_EQ(clipped.At(8, 4), ColorToRGB(clLime));
    EXPECT_EQ(clipped.At(14, 4), ColorToRGB(clYellow));

    TStyColorList none;
    TestBitmap untouched(4, 4, clWhite);
    FillGradient(untouched.C(), Rect(0, 0, 4, 4), gstVertical, 0, 0, nullptr, &none);
    FillGradient(untouched.C(), Rect(2, 2, 2, 4), gstVertical, 0, 0, nullptr, &kBands);
    EXPECT_EQ(untouched.Colors().size(), 1u);
}

}  // namespace
