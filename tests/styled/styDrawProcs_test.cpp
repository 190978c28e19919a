// Drawing routines pixel by pixel on small bitmaps: bevels, borders, shadows, the drop
// arrow, bitmap placement, disabled and embossed glyphs, alignment and button frames.
#include <gtest/gtest.h>

#include "controls/styled/styDrawProcs.h"
#include "tests/styled/styDrawSupport.h"

namespace {

constexpr TColor L = clYellow, S = clNavy;  // light and shadow colours of the bevel tests

TEST(StyDrawBevel, WidthOneRaisedLowered) {
    struct Row {
        TStyBevelStyle style;
        TColor topLeft, bottomRight;
    };
    for (Row row : {Row{bvRaised, L, S}, Row{bvLowered, S, L}, Row{bvNormal, clBlack, clBlack}}) {
        TestBitmap t(6, 5);
        TRect r = Rect(0, 0, 6, 5);
        ASSERT_TRUE(DrawBevel(t.C(), r, row.style, L, S, 1));
        EXPECT_EQ(r.Left, 1);
        EXPECT_EQ(r.Top, 1);
        EXPECT_EQ(r.Right, 5);
        EXPECT_EQ(r.Bottom, 4);
        const std::string legend = "tbw";
        const std::vector<TColor> colors{row.topLeft, row.bottomRight, clWhite};
        if (row.style == bvNormal) {
            EXPECT_EQ(t.Row(0, "kw", {clBlack, clWhite}), "kkkkkk");
            EXPECT_EQ(t.Row(2, "kw", {clBlack, clWhite}), "kwwwwk");
            continue;
        }
        EXPECT_EQ(t.Row(0, legend, colors), "tttttb") << row.style;
        EXPECT_EQ(t.Row(1, legend, colors), "twwwwb");
        EXPECT_EQ(t.Row(3, legend, colors), "twwwwb");
        EXPECT_EQ(t.Row(4, legend, colors), "tbbbbb");  // the corner closes the first line
    }
}

TEST(StyDrawBevel, NothingForNoneShadowAndWidthZero) {
    for (auto [style, width] :
         {std::pair{bvNone, 2}, std::pair{bvShadow, 2}, std::pair{bvRaised, 0}}) {
        TestBitmap t(4, 4);
        TRect r = Rect(0, 0, 4, 4);
        EXPECT_FALSE(DrawBevel(t.C(), r, style, L, S, width));
        EXPECT_EQ(r.Right, 4);
        EXPECT_EQ(t.Colors().size(), 1u);
    }
}

TEST(StyDrawBevel, WideBevelOuterAndInnerPixels) {
    TestBitmap t(10, 10);
    TRect r = Rect(0, 0, 10, 10);
    ASSERT_TRUE(DrawBevel(t.C(), r, bvRaised, L, S, 2));
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Right, 8);
    EXPECT_EQ(t.At(0, 0), RGBOf(L));
    EXPECT_EQ(t.At(1, 1), RGBOf(L));
    EXPECT_EQ(t.At(5, 0), RGBOf(L));
    EXPECT_EQ(t.At(0, 5), RGBOf(L));
    EXPECT_EQ(t.At(9, 9), RGBOf(S));
    EXPECT_EQ(t.At(8, 8), RGBOf(S));
    EXPECT_EQ(t.At(9, 5), RGBOf(S));
    EXPECT_EQ(t.At(5, 9), RGBOf(S));
    EXPECT_EQ(t.At(2, 2), RGBOf(clWhite));  // inside untouched
    EXPECT_EQ(t.At(7, 6), RGBOf(clWhite));
    EXPECT_EQ(t.At(7, 7), RGBOf(S));  // the lower polygon starts one row higher (B - 1 - w)
}

TEST(StyDrawBevel, FrameStyleDrawsTwoOffsetFrames) {
    TestBitmap t(6, 6);
    TRect r = Rect(0, 0, 6, 6);
    ASSERT_TRUE(DrawBevel(t.C(), r, bvFrameLowered, L, S, 1));
    EXPECT_EQ(r.Left, 2);
    EXPECT_EQ(r.Right, 4);
    const std::vector<TColor> colors{S, L, clWhite};
    // The shadow frame (0,0)-(5,5) lies over the light frame (1,1)-(6,6).
    EXPECT_EQ(t.Row(0, "slw", colors), "sssssw");
    EXPECT_EQ(t.Row(1, "slw", colors), "slllsl");
    EXPECT_EQ(t.Row(2, "slw", colors), "slwwsl");
    EXPECT_EQ(t.Row(5, "slw", colors), "wlllll");
}

TEST(StyDrawShadowFrame, ShadowCornersAndFrame) {
    TestBitmap t(8, 8);
    TRect r = Rect(0, 0, 8, 8);
    ASSERT_TRUE(DrawShadowFrame(t.C(), r, clBlack, false, 1, 2, clAqua, clGray));
    EXPECT_EQ(r.Left, 1);
    EXPECT_EQ(r.Right, 5);
    EXPECT_EQ(r.Bottom, 5);
    const std::vector<TColor> colors{clBlack, clGray, clAqua, clWhite};
    EXPECT_EQ(t.Row(0, "kgaw", colors), "kkkkkkaa");
    EXPECT_EQ(t.Row(1, "kgaw", colors), "kwwwwkaa");
    EXPECT_EQ(t.Row(2, "kgaw", colors), "kwwwwkgg");
    EXPECT_EQ(t.Row(5, "kgaw", colors), "kkkkkkgg");
    EXPECT_EQ(t.Row(6, "kgaw", colors), "aagggggg");
    EXPECT_EQ(t.Row(7, "kgaw", colors), "aagggggg");

    TestBitmap seeThrough(8, 8);
    TRect r2 = Rect(0, 0, 8, 8);
    DrawShadowFrame(seeThrough.C(), r2, clBlack, true, 1, 2, clAqua, clGray);
    EXPECT_EQ(seeThrough.At(7, 0), RGBOf(clWhite));  // transparent: corners keep the background
    EXPECT_EQ(seeThrough.At(0, 7), RGBOf(clWhite));
}

TEST(StyDrawDropArrow, RowsOfBothDirectionsAndTheDisabledLook) {
    const std::vector<TColor> colors{clRed, clWhite};
    TestBitmap down(7, 4);
    DrawDropArrow(down.C(), 0, 0, true, true, clRed, 3);
    EXPECT_EQ(down.Row(0, "rw", colors), "rrrrrww");
    EXPECT_EQ(down.Row(1, "rw", colors), "wrrrwww");
    EXPECT_EQ(down.Row(2, "rw", colors), "wwrwwww");
    EXPECT_EQ(down.Row(3, "rw", colors), "wwwwwww");

    TestBitmap up(7, 4);
    DrawDropArrow(up.C(), 2, 0, true, false, clRed, 3);
    EXPECT_EQ(up.Row(0, "rw", colors), "wwwrwww");
    EXPECT_EQ(up.Row(1, "rw", colors), "wwrrrww");
    EXPECT_EQ(up.Row(2, "rw", colors), "wrrrrrw");

    TestBitmap off(8, 4, clBlack);
    DrawDropArrow(off.C(), 0, 0, false, true, clRed, 3);
    const std::vector<TColor> grey{clGrayText, clHighlightText, clBlack};
    EXPECT_EQ(off.Row(0, "ghk", grey), "gggggkkk");
    EXPECT_EQ(off.Row(1, "ghk", grey), "kggghhkk");
    EXPECT_EQ(off.Row(2, "ghk", grey), "kkghhkkk");
    EXPECT_EQ(off.Row(3, "ghk", grey), "kkkhkkkk");

    for (int size : {1, 16}) {
        TestBitmap none(40, 20);
        DrawDropArrow(none.C(), 0, 0, true, true, clRed, size);
        EXPECT_EQ(none.Colors().size(), 1u) << size;
    }
}

TEST(StyAlignRect, EveryAlignment) {
    const TRect inner = Rect(0, 0, 4, 2), outer = Rect(10, 20, 21, 27);  // 11 x 7: differences 7, 5
    const int xs[] = {10, 13, 17}, ys[] = {20, 22, 25};
    for (int a = agTopLeft; a <= agBottomRight; ++a) {
        TRect r = AlignRect(TStyAlignment(a), inner, outer);
        EXPECT_EQ(r.Left, xs[a % 3]) << a;
        EXPECT_EQ(r.Top, ys[a / 3]) << a;
        EXPECT_EQ(r.Right - r.Left, 4);
        EXPECT_EQ(r.Bottom - r.Top, 2);
    }
}

// ---------------------------------------------------------------- bitmaps

// A 4 x 2 source: red with a blue marker pixel at its top-left.
void MakeSource(TestBitmap& s) {
    s.Fill(Rect(0, 0, 4, 2), clRed);
    s.Fill(Rect(0, 0, 1, 1), clBlue);
}

TEST(StyDrawBitmap, PlacementByFlags) {
    struct Row {
        const char* name;
        uint16_t flags;
        TRect expect;
    };
    for (Row row : {Row{"own size", 0, Rect(1, 1, 5, 3)}, Row{"centre", bpCenter, Rect(4, 5, 8, 7)},
                    Row{"stretch", bpStretch, Rect(1, 1, 11, 11)}}) {
        TestBitmap src(4, 2);
        MakeSource(src);
        TestBitmap dst(12, 12);
        TRect drawn;
        DrawBitmapInRect(dst.C(), Rect(1, 1, 11, 11), src.C(), Rect(0, 0, 4, 2), row.flags, clNone,
                         nullptr, nullptr, &drawn);
        EXPECT_EQ(drawn.Left, row.expect.Left) << row.name;
        EXPECT_EQ(drawn.Top, row.expect.Top) << row.name;
        EXPECT_EQ(drawn.Right, row.expect.Right) << row.name;
        EXPECT_EQ(drawn.Bottom, row.expect.Bottom) << row.name;
        EXPECT_EQ(dst.At(drawn.Left, drawn.Top), RGBOf(clBlue)) << row.name;
        EXPECT_EQ(dst.At(drawn.Right - 1, drawn.Bottom - 1), RGBOf(clRed)) << row.name;
        EXPECT_EQ(dst.At(drawn.Left - 1, drawn.Top), RGBOf(clWhite)) << row.name;
        EXPECT_EQ(dst.At(drawn.Right, drawn.Bottom - 1), RGBOf(clWhite)) << row.name;
    }
}

TEST(StyDrawBitmap, ProportionalStretch) {
    TestBitmap src(100, 50, clRed);
    struct Row {
        uint16_t flags;
        int w, h;
    };
    for (Row row : {Row{bpStretch | bpPropWidth, 40, 20}, Row{bpStretch | bpPropHeight, 80, 40},
                    Row{bpStretch | bpPropFit, 40, 20}}) {
        TestBitmap dst(100, 100);
        TRect drawn;
        DrawBitmapInRect(dst.C(), Rect(0, 0, 40, 40), src.C(), Rect(0, 0, 100, 50), row.flags,
                         clNone, nullptr, nullptr, &drawn);
        EXPECT_EQ(drawn.Right - drawn.Left, row.w) << row.flags;
        EXPECT_EQ(drawn.Bottom - drawn.Top, row.h) << row.flags;
        EXPECT_EQ(dst.At(row.w - 1, row.h - 1), RGBOf(clRed));
        EXPECT_EQ(dst.At(row.w, row.h), RGBOf(clWhite));
    }
}

TEST(StyDrawBitmap, TilingThreeByThreeClippedOnlyWithFlagOne) {
    TBitmap tile;
    tile.SetSize(16, 16);
    {
        TestBitmap t(16, 16, clRed);
        t.Fill(Rect(0, 0, 1, 1), clBlue);
        tile.Assign(t.bmp);
    }
    TestBitmap loose(48, 48);
    DrawBitmapClipped(loose.C(), Rect(0, 0, 40, 40), &tile, clNone, 0, bpTile);
    int markers = 0;
    for (int y = 0; y < 48; y += 16)
        for (int x = 0; x < 48; x += 16) markers += loose.At(x, y) == RGBOf(clBlue);
    EXPECT_EQ(markers, 9);
    EXPECT_EQ(loose.At(47, 47), RGBOf(clRed));  // the last tiles reach beyond the rectangle

    TestBitmap clipped(48, 48);
    DrawBitmapClipped(clipped.C(), Rect(0, 0, 40, 40), &tile, clNone, 0, bpTile | bpClip);
    EXPECT_EQ(clipped.At(39, 39), RGBOf(clRed));
    EXPECT_EQ(clipped.At(40, 39), RGBOf(clWhite));
    EXPECT_EQ(clipped.At(32, 32), RGBOf(clBlue));

    // The clip rectangle moves by the offset (x low word, y high word).
    TestBitmap moved(48, 48);
    DrawBitmapClipped(moved.C(), Rect(0, 0, 40, 40), &tile, clNone, (4u << 16) | 2u,
                      bpTile | bpClip);
    EXPECT_EQ(moved.At(1, 10), RGBOf(clWhite));
    EXPECT_EQ(moved.At(2, 10), RGBOf(clRed));
    EXPECT_EQ(moved.At(10, 3), RGBOf(clWhite));
    EXPECT_EQ(moved.At(41, 43), RGBOf(clRed));
}

// A 4 x 4 two-colour glyph: a black 2 x 2 square at (1, 1) on olive.
void MakeGlyph(TestBitmap& g) {
    g.Fill(Rect(0, 0, 4, 4), clOlive);
    g.Fill(Rect(1, 1, 3, 3), clBlack);
    g.bmp.TransparentColor = clOlive;
}

TEST(StyDrawBitmap, TransparentByColourMaskAndBrushCopy) {
    TestBitmap glyph(4, 4);
    MakeGlyph(glyph);
    TestBitmap byColor(4, 4, clAqua);
    DrawBitmapInRect(byColor.C(), Rect(0, 0, 4, 4), glyph.C(), Rect(0, 0, 4, 4), bpMaskFromColor,
                     clOlive, nullptr, nullptr, nullptr);
    const std::vector<TColor> colors{clBlack, clAqua, clOlive, clLime};
    EXPECT_EQ(byColor.Row(0, "kaol", colors), "aaaa");
    EXPECT_EQ(byColor.Row(1, "kaol", colors), "akka");

    TBitmap mask, image;
    MakeMask(&glyph.bmp, &mask, &image, clOlive);
    TestBitmap byMask(4, 4, clAqua);
    // The mask goes with the image that MakeMask blackened where transparent.
    DrawBitmapInRect(byMask.C(), Rect(0, 0, 4, 4), image.Canvas(), Rect(0, 0, 4, 4), bpGivenMask,
                     clNone, nullptr, &mask, nullptr);
    EXPECT_EQ(byMask.Row(0, "kaol", colors), "aaaa");
    EXPECT_EQ(byMask.Row(2, "kaol", colors), "akka");

    TestBitmap byBrush(4, 4, clAqua);
    DrawBitmapToRect(byBrush.C(), Rect(0, 0, 4, 4), &glyph.bmp, nullptr, clLime,
                     bpTransparentColor);
    EXPECT_EQ(byBrush.Row(0, "kaol", colors), "llll");
    EXPECT_EQ(byBrush.Row(1, "kaol", colors), "lkkl");
}

TEST(StyDrawBitmap, DisabledGlyphIsEtched) {
    TestBitmap glyph(4, 4);
    MakeGlyph(glyph);
    TBitmap dest;
    dest.SetSize(5, 5);
    DrawDisabledBitmap(&dest, &glyph.bmp, 0, 0);
    TCanvas* c = dest.Canvas();
    auto at = [&](int x, int y) { return GetPixel(c->Handle(), x, y); };
    const COLORREF hi = RGBOf(clBtnHighlight), sh = RGBOf(clBtnShadow), ol = RGBOf(clOlive);
    EXPECT_EQ(at(0, 0), ol);
    EXPECT_EQ(at(1, 1), sh);
    EXPECT_EQ(at(2, 2), sh);
    EXPECT_EQ(at(3, 3), hi);
    EXPECT_EQ(at(3, 2), hi);
    EXPECT_EQ(at(2, 3), hi);
    EXPECT_EQ(at(4, 4), ol);
    EXPECT_EQ(at(3, 1), ol);
}

TEST(StyDrawBitmap, EmbossedTwoColourGlyph) {
    TestBitmap glyph(4, 4, clWhite);
    glyph.Fill(Rect(1, 1, 3, 3), clBlack);  // average brightness 0: threshold -200
    TBitmap out;
    MakeEmbossedBitmap(&out, &glyph.bmp);
    auto at = [&](int x, int y) { return GetPixel(out.Canvas()->Handle(), x, y); };
    EXPECT_EQ(at(0, 0), RGBOf(clWhite));
    EXPECT_EQ(at(1, 1), RGBOf(clBtnShadow));

    // Bright and dark parts on grey: average 382.5, threshold 182 (the half rounds to even).
    TestBitmap mixed(3, 1, clGray);
    mixed.Fill(Rect(1, 0, 2, 1), clWhite);
    mixed.Fill(Rect(2, 0, 3, 1), clBlack);
    MakeEmbossedBitmap(&out, &mixed.bmp);
    EXPECT_EQ(at(0, 0), RGBOf(clGray));
    EXPECT_EQ(at(1, 0), RGBOf(clWhite));
    EXPECT_EQ(at(2, 0), RGBOf(clBlack));
}

TEST(StyDrawBitmap, PrepareBitmapSizesAndFills) {
    TBitmap b;
    PrepareBitmap(&b, Rect(5, 5, 12, 9), clTeal);
    EXPECT_EQ(b.Width(), 7);
    EXPECT_EQ(b.Height(), 4);
    EXPECT_EQ(GetPixel(b.Canvas()->Handle(), 6, 3), RGBOf(clTeal));
    PrepareBitmap(&b, Rect(5, 5, 5, 9), clRed);  // empty: unchanged
    EXPECT_EQ(b.Width(), 7);
}

}  // namespace
