// Drawing routines pixel by pixel on small bitmaps: bevels, borders, shadows, the drop
// arrow, bitmap placement, disabled and embossed glyphs, alignment and button frames.
#include <gtest/gtest.h>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styThemeLoader.h"
#include "tests/styled/styDrawSupport.h"

namespace {

constexpr TColor L = clYellow, S = clNavy;  // light and shadow colours of the bevel tests

TEST(StyDrawBevel, WidthOneRaisedLowered) {
    struct Row { TStyBevelStyle style; TColor topLeft, bottomRight; };
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
    for (auto [style, width] : {std::pair{bvNone, 2}, std::pair{bvShadow, 2}, std::pair{bvRaised, 0}}) {
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

TEST(StyBorder, WidthsAndShrinking) {
    EXPECT_EQ(BorderWidthOf(lsNone), 0);
    EXPECT_EQ(BorderWidthOf(lsSingle), 1);
    EXPECT_EQ(BorderWidthOf(lsSingleRaised), 1);
    EXPECT_EQ(BorderWidthOf(lsSingleLowered), 1);
    EXPECT_EQ(BorderWidthOf(lsRaised), 2);
    EXPECT_EQ(BorderWidthOf(lsDoubleLowered), 2);
    struct Row { TStyBorderStyle style; TRect after; };
    for (Row row : {Row{lsNone, Rect(0, 0, 10, 10)}, Row{lsLowered, Rect(2, 2, 8, 8)},
                    Row{lsRaisedspb, Rect(1, 1, 8, 8)}, Row{lsRaisedExt, Rect(2, 2, 8, 8)},
                    Row{lsLoweredExt, Rect(2, 2, 8, 8)}, Row{lsWindowBorder, Rect(2, 2, 8, 8)},
                    Row{lsSingleRaised, Rect(1, 1, 9, 9)}, Row{lsDoubleLowered, Rect(2, 2, 8, 8)},
                    Row{lsFrameOffset, Rect(2, 2, 8, 8)}}) {
        TestBitmap t(10, 10);
        TRect r = Rect(0, 0, 10, 10);
        EXPECT_TRUE(DrawBorder(t.C(), r, row.style, 0));
        EXPECT_EQ(r.Left, row.after.Left) << int(row.style);
        EXPECT_EQ(r.Top, row.after.Top) << int(row.style);
        EXPECT_EQ(r.Right, row.after.Right) << int(row.style);
        EXPECT_EQ(r.Bottom, row.after.Bottom) << int(row.style);
    }
}

TEST(StyBorder, SingleRaisedAndLoweredCorners) {
    const std::vector<TColor> colors{clBtnHighlight, clBtnShadow, clWhite};
    TestBitmap up(5, 5, clWhite);
    TRect r = Rect(0, 0, 5, 5);
    DrawBorder(up.C(), r, lsSingleRaised, 0);
    up.Fill(Rect(1, 1, 4, 4), clWhite);
    EXPECT_EQ(up.At(0, 0), RGBOf(clBtnHighlight));
    EXPECT_EQ(up.At(4, 4), RGBOf(clBtnShadow));
    EXPECT_EQ(up.At(2, 0), RGBOf(clBtnHighlight));
    EXPECT_EQ(up.At(4, 2), RGBOf(clBtnShadow));

    TestBitmap down(5, 5, clWhite);
    r = Rect(0, 0, 5, 5);
    DrawBorder(down.C(), r, lsSingleLowered, 0);
    EXPECT_EQ(down.At(0, 0), RGBOf(clBtnShadow));
    EXPECT_EQ(down.At(4, 4), RGBOf(clBtnHighlight));
}

// ---------------------------------------------------------------- bitmaps

// A 4 x 2 source: red with a blue marker pixel at its top-left.
void MakeSource(TestBitmap& s) {
    s.Fill(Rect(0, 0, 4, 2), clRed);
    s.Fill(Rect(0, 0, 1, 1), clBlue);
}

TEST(StyDrawBitmap, PlacementByFlags) {
    struct Row { const char* name; uint16_t flags; TRect expect; };
    for (Row row : {Row{"own size", 0, Rect(1, 1, 5, 3)}, Row{"centre", bpCenter, Rect(4, 5, 8, 7)},
                    Row{"stretch", bpStretch, Rect(1, 1, 11, 11)}}) {
        TestBitmap src(4, 2);
        MakeSource(src);
        TestBitmap dst(12, 12);
        TRect drawn;
        DrawBitmapInRect(dst.C(), Rect(1, 1, 11, 11), src.C(), Rect(0, 0, 4, 2), row.flags, clNone, nullptr,
                         nullptr, &drawn);
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
    struct Row { uint16_t flags; int w, h; };
    for (Row row : {Row{bpStretch | bpPropWidth, 40, 20}, Row{bpStretch | bpPropHeight, 80, 40},
                    Row{bpStretch | bpPropFit, 40, 20}}) {
        TestBitmap dst(100, 100);
        TRect drawn;
        DrawBitmapInRect(dst.C(), Rect(0, 0, 40, 40), src.C(), Rect(0, 0, 100, 50), row.flags, clNone, nullptr,
                         nullptr, &drawn);
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
    DrawBitmapClipped(moved.C(), Rect(0, 0, 40, 40), &tile, clNone, (4u << 16) | 2u, bpTile | bpClip);
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
    DrawBitmapInRect(byColor.C(), Rect(0, 0, 4, 4), glyph.C(), Rect(0, 0, 4, 4), bpMaskFromColor, clOlive,
                     nullptr, nullptr, nullptr);
    const std::vector<TColor> colors{clBlack, clAqua, clOlive, clLime};
    EXPECT_EQ(byColor.Row(0, "kaol", colors), "aaaa");
    EXPECT_EQ(byColor.Row(1, "kaol", colors), "akka");

    TBitmap mask, image;
    MakeMask(&glyph.bmp, &mask, &image, clOlive);
    TestBitmap byMask(4, 4, clAqua);
    // The mask goes with the image that MakeMask blackened where transparent.
    DrawBitmapInRect(byMask.C(), Rect(0, 0, 4, 4), image.Canvas(), Rect(0, 0, 4, 4), bpGivenMask, clNone, nullptr,
                     &mask, nullptr);
    EXPECT_EQ(byMask.Row(0, "kaol", colors), "aaaa");
    EXPECT_EQ(byMask.Row(2, "kaol", colors), "akka");

    TestBitmap byBrush(4, 4, clAqua);
    DrawBitmapToRect(byBrush.C(), Rect(0, 0, 4, 4), &glyph.bmp, nullptr, clLime, bpTransparentColor);
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

// ---------------------------------------------------------------- button frames

TEST(StyButtonFrame, ClassicContentRectangles) {
    struct Row { TStyUserButtonStyle style; uint8_t state; uint16_t flags; TRect content; };
    for (Row row : {Row{ubsWin40, 0, bf3D, Rect(3, 3, 17, 17)}, Row{ubsWin40, 4, bf3D, Rect(4, 4, 18, 18)},
                    Row{ubsWin40, 0, bf3D | bfDefault, Rect(4, 4, 16, 16)}, Row{ubsFlat, 0, 0, Rect(3, 3, 17, 17)},
                    Row{ubsWin31, 3, bfRoundCorners, Rect(4, 4, 18, 18)},
                    Row{ubsIntegrated, 0, 0, Rect(3, 3, 17, 17)}, Row{ubsDelphi, 6, 0, Rect(4, 4, 18, 18)}}) {
        TestBitmap t(20, 20);
        TRect r = Rect(0, 0, 20, 20);
        EXPECT_TRUE(DrawClassicButtonFrame(t.C(), false, r, row.style, row.state, row.flags, clSilver));
        EXPECT_EQ(r.Left, row.content.Left) << int(row.style) << "/" << int(row.state);
        EXPECT_EQ(r.Top, row.content.Top);
        EXPECT_EQ(r.Right, row.content.Right);
        EXPECT_EQ(r.Bottom, row.content.Bottom);
        EXPECT_EQ(t.At(10, 10), row.state == 3 ? t.At(10, 10) : RGBOf(clSilver));
    }
}

TEST(StyButtonFrame, LatchedButtonsUseThePattern) {
    TestBitmap t(20, 20);
    TRect r = Rect(0, 0, 20, 20);
    DrawClassicButtonFrame(t.C(), false, r, ubsWin40, 3, bf3D, clRed);
    EXPECT_NE(t.At(9, 10), t.At(10, 10));  // alternating pattern pixels
    EXPECT_EQ(t.At(9, 9), t.At(10, 10));
}

TEST(StyButtonFrame, WithoutThemesTheXpStylesResolveToClassic) {
    EXPECT_EQ(ResolveButtonStyle(ubsWinXP), ubsWin40);
    EXPECT_EQ(ResolveButtonStyle(ubsWinXPCombo), ubsIntegrated);
    EXPECT_EQ(ResolveButtonStyle(ubsWinXPTool), ubsExplorerColored);
    EXPECT_EQ(ResolveButtonStyle(ubsAutoDetect), ubsAutoDetect);
    TestBitmap t(20, 20);
    TRect r = Rect(0, 0, 20, 20);
    EXPECT_TRUE(DrawButtonFrame(nullptr, t.C(), false, r, ubsWinXP, 0, bf3D, clSilver));
    EXPECT_EQ(r.Left, 3);
}

// A stand-in theme library that records what it is asked to draw.
struct ThemeLog {
    int opened = 0, closed = 0, part = 0, state = 0;
    std::wstring cls;
    RECT rect{};
} g_theme;
struct HTHEME__ {};
HTHEME__ g_handle;
BOOL ThemeActive() { return 1; }
HTHEME__* OpenTheme(HWND, const wchar_t* cls) { ++g_theme.opened; g_theme.cls = cls; return &g_handle; }
int32_t CloseTheme(HTHEME__*) { ++g_theme.closed; return 0; }
int32_t DrawBackground(HTHEME__*, HDC, int part, int state, const RECT* r, const RECT*) {
    g_theme.part = part;
    g_theme.state = state;
    g_theme.rect = *r;
    return 0;
}

TEST(StyButtonFrame, ThemedFrameStatesAndHandles) {
    const char* lib = "sty-test-uxtheme.dll";
    RegisterModuleExport(lib, "IsThemeActive", reinterpret_cast<FARPROC>(&ThemeActive));
    RegisterModuleExport(lib, "OpenThemeData", reinterpret_cast<FARPROC>(&OpenTheme));
    RegisterModuleExport(lib, "CloseThemeData", reinterpret_cast<FARPROC>(&CloseTheme));
    RegisterModuleExport(lib, "DrawThemeBackground", reinterpret_cast<FARPROC>(&DrawBackground));
    FreeThemeLibrary();
    LoadThemeLibrary(lib);
    StyApp->RefreshThemeFlag();
    ASSERT_TRUE(StyApp->UseThemes());
    EXPECT_EQ(ResolveButtonStyle(ubsAutoDetect), ubsWinXP);

    struct Row { TStyUserButtonStyle style; bool hot; uint8_t state; uint16_t flags; const wchar_t* cls; int part, themeState; };
    for (Row row : {Row{ubsWinXP, false, 0, 0, L"BUTTON", 1, 1}, Row{ubsWinXP, false, 0, bfDefault, L"BUTTON", 1, 5},
                    Row{ubsWinXP, true, 0, 0, L"BUTTON", 1, 2}, Row{ubsWinXP, true, 4, 0, L"BUTTON", 1, 3},
                    Row{ubsWinXP, true, 7, bfHot, L"BUTTON", 1, 4}, Row{ubsWinXP, true, 1, 0, L"BUTTON", 1, 4},
                    Row{ubsWinXPCombo, false, 0, 0, L"COMBOBOX", 1, 1},
                    Row{ubsWinXPTool, false, 0, bfHasDropDown, L"TOOLBAR", 3, 1},
                    Row{ubsWinXPTool, false, 0, bfHasDropDown | bfDropDownPart, L"TOOLBAR", 4, 1}}) {
        g_theme = ThemeLog{};
        TestBitmap t(20, 20);
        TRect r = Rect(2, 2, 18, 18);
        EXPECT_TRUE(DrawButtonFrame(nullptr, t.C(), row.hot, r, row.style, row.state, row.flags, clSilver));
        EXPECT_EQ(g_theme.cls, row.cls);
        EXPECT_EQ(g_theme.part, row.part);
        EXPECT_EQ(g_theme.state, row.themeState) << int(row.style) << " state byte " << int(row.state);
        EXPECT_EQ(g_theme.opened, 1);
        EXPECT_EQ(g_theme.closed, 1);
        const int grow = row.style == ubsWinXP ? 1 : 0;
        EXPECT_EQ(g_theme.rect.left, 2 - grow);
        EXPECT_EQ(r.Left, 5 - grow);
    }
    FreeThemeLibrary();
    LoadThemeLibrary();
    StyApp->RefreshThemeFlag();
}

}  // namespace
