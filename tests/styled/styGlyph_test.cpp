// Glyph cells: cell counts from the bitmap's shape, the looks made on demand (embossed
// disabled, grey-until-hot), the strips shared by glyphs of one cell size and released with
// the last, and the built-in arrow cells.
#include <gtest/gtest.h>

#include <memory>
#include <set>

#include "controls/styled/styGlyph.h"
#include "platform/gdi/iconDraw.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"

namespace {

// Cells of 16 x 16 on fuchsia, each with a square of its own colour from (4, 4) to (12, 12).
std::unique_ptr<TBitmap> Strip(int cells, int height = 16, TColor ink = clBlack) {
    auto p = std::make_unique<TBitmap>();
    TBitmap& b = *p;
    b.SetSize(16 * cells, height);
    b.Canvas()->Brush()->Color = clFuchsia;
    b.Canvas()->FillRect(Rect(0, 0, 16 * cells, height));
    for (int i = 0; i < cells; ++i) {
        b.Canvas()->Brush()->Color = i == 0 ? ink : i == 1 ? clBlue : clLime;
        b.Canvas()->FillRect(Rect(16 * i + 4, 4, 16 * i + 12, 12));
    }
    return p;
}

std::set<TColor> ImageColors(TStyGlyph& g, int look) {
    TBitmap img;
    EXPECT_TRUE(g.List()->GetImage(g.IndexOf(look), &img));
    std::set<TColor> s;
    for (int y = 0; y < img.Height(); ++y)
        for (int x = 0; x < img.Width(); ++x) s.insert(img.Canvas()->Pixel(x, y));
    return s;
}

}  // namespace

TEST(StyGlyph, CellCountFromShape) {
    struct Row {
        int width, height, cells;
    };
    for (Row row : {Row{48, 16, 3}, Row{96, 16, 1}, Row{80, 16, 5}, Row{16, 16, 1}}) {
        TStyGlyph g;
        TBitmap b;
        b.SetSize(row.width, row.height);
        g.SetGlyph(&b);
        EXPECT_EQ(g.NumGlyphs(), row.cells) << row.width;
    }
    TStyGlyph g;
    g.SetNumGlyphs(2);
    TBitmap odd;
    odd.SetSize(50, 16);
    g.SetGlyph(&odd);  // no multiple of the height: as it was
    EXPECT_EQ(g.NumGlyphs(), 2);
    g.SetNumGlyphs(0);  // ignored
    EXPECT_EQ(g.NumGlyphs(), 2);
}

TEST(StyGlyph, OneCellGivesEveryLookAndAnEmbossedDisabledImage) {
    TStyGlyph g;
    auto b = Strip(1);
    g.SetGlyph(b.get());
    const int normal = g.CreateButtonGlyph(0);
    EXPECT_NE(normal, -1);
    EXPECT_EQ(g.CreateButtonGlyph(2), normal);  // hot and pressed show cell 0
    EXPECT_EQ(g.CreateButtonGlyph(4), normal);
    // The two-colour glyph's disabled look: the square in shadow with a light edge, no black.
    const int disabled = g.CreateButtonGlyph(1);
    ASSERT_NE(disabled, -1);
    EXPECT_EQ(g.CreateButtonGlyph(7), disabled);  // 7 draws as 1
    TBitmap img;
    ASSERT_TRUE(g.List()->GetImage(disabled, &img));
    EXPECT_EQ(img.Canvas()->Pixel(6, 6), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(img.Canvas()->Pixel(12, 12), TColor(ColorToRGB(clBtnHighlight)));
    EXPECT_EQ(img.Canvas()->Pixel(12, 8), TColor(ColorToRGB(clBtnHighlight)));
    for (int y = 4; y < 12; ++y)
        for (int x = 4; x < 12; ++x) EXPECT_NE(img.Canvas()->Pixel(x, y), clBlack) << x << "," << y;
    EXPECT_EQ(g.CreateButtonGlyph(5), normal);  // no cell of its own: the normal look
}

// The disabled look of glyphs with and without black: black parts are etched and the rest
// vanishes; a glyph with no black at all (a red cross) is etched in its whole shape instead of
// vanishing.
TEST(StyGlyph, DisabledLookKeepsAGlyphWithoutBlackVisible) {
    const TColor shadow = TColor(ColorToRGB(clBtnShadow)),
                 light = TColor(ColorToRGB(clBtnHighlight));
    struct Row {
        const char* what;
        TColor bar, dot;  // a horizontal bar from (2, 7) to (14, 9), a dot at (7, 3)
        bool barShown, dotShown;
    };
    for (Row row : {Row{"red cross", clRed, clRed, true, true},
                    Row{"red bar, black dot", clRed, clBlack, false, true},
                    Row{"yellow and white", clYellow, clWhite, true, true}}) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->Color = clFuchsia;
        b.Canvas()->FillRect(Rect(0, 0, 16, 16));
        b.Canvas()->Brush()->Color = row.bar;
        b.Canvas()->FillRect(Rect(2, 7, 14, 9));
        b.Canvas()->SetPixel(7, 3, row.dot);
        TStyGlyph g;
        g.SetGlyph(&b);
        const int disabled = g.CreateButtonGlyph(1);
        TBitmap img;
        ASSERT_TRUE(g.List()->GetImage(disabled, &img)) << row.what;
        auto at = [&](int x, int y) { return img.Canvas()->Pixel(x, y); };
        EXPECT_EQ(at(7, 3) == shadow, row.dotShown) << row.what;
        EXPECT_EQ(at(2, 7) == shadow && at(13, 8) == shadow, row.barShown) << row.what;
        if (row.barShown) {
            EXPECT_EQ(at(14, 9), light) << row.what;  // the light edge below and right
        }
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                EXPECT_NE(at(x, y), row.bar) << row.what << " " << x << "," << y;
    }
}

TEST(StyGlyph, GreyModeShowsColourOnlyWhenHot) {
    TStyGlyph g;
    auto b = Strip(1, 16, clRed);
    g.SetGlyph(b.get());
    g.SetGreyMode(1);
    g.CreateButtonGlyph(0);
    g.CreateButtonGlyph(2);
    EXPECT_EQ(ImageColors(g, 0).count(clRed), 0u);  // grey
    EXPECT_EQ(ImageColors(g, 2).count(clRed), 1u);  // coloured
    const int pressed = g.CreateButtonGlyph(4);
    EXPECT_EQ(pressed, g.IndexOf(2));  // no cell 4: the hot image
    const int six = g.CreateButtonGlyph(6);
    EXPECT_EQ(six, g.IndexOf(4));  // 6 falls back to 4, made from cell 0
    EXPECT_NE(six, -1);
    EXPECT_EQ(ImageColors(g, 4).count(clRed), 1u);
}

TEST(StyGlyph, CellsOfTheSameSizeShareOneStripUntilTheLastGoes) {
    ASSERT_EQ(StyGlyphCache(), nullptr);
    auto a = std::make_unique<TStyGlyph>();
    auto b = std::make_unique<TStyGlyph>();
    auto one = Strip(1), three = Strip(3);
    a->SetGlyph(one.get());
    b->SetGlyph(three.get());
    a->CreateButtonGlyph(0);
    a->CreateButtonGlyph(1);
    b->CreateButtonGlyph(0);
    b->CreateButtonGlyph(2);
    ASSERT_NE(StyGlyphCache(), nullptr);
    EXPECT_EQ(a->List(), b->List());
    EXPECT_EQ(StyGlyphCache()->ListCount(), 1);
    EXPECT_EQ(a->List()->UsedCount(), 4);
    // Another cell size gets a list of its own.
    TStyGlyph c;
    TBitmap small;
    small.SetSize(13, 14);
    c.SetGlyph(&small);
    c.CreateButtonGlyph(0);
    EXPECT_EQ(StyGlyphCache()->ListCount(), 2);
    c.Invalidate();
    EXPECT_EQ(StyGlyphCache()->ListCount(), 1);
    TStyGlyphList* shared = b->List();
    a.reset();  // only its slots are given back
    EXPECT_EQ(shared->UsedCount(), 2);
    EXPECT_EQ(StyGlyphCache()->ListCount(), 1);
    // A freed slot is reused before the strip grows.
    const int strip = shared->Count();
    b->CreateButtonGlyph(1);
    EXPECT_EQ(shared->Count(), strip);
    b.reset();
    // c holds no image: the cache went with the last list, and comes back when c needs it.
    EXPECT_EQ(StyGlyphCache(), nullptr);
    EXPECT_NE(c.CreateButtonGlyph(0), -1);
    EXPECT_NE(StyGlyphCache(), nullptr);
}

TEST(StyGlyph, CacheGoesWithTheLastGlyph) {
    {
        TStyGlyph g;
        auto b = Strip(1);
        g.SetGlyph(b.get());
        g.CreateButtonGlyph(0);
        EXPECT_NE(StyGlyphCache(), nullptr);
    }
    EXPECT_EQ(StyGlyphCache(), nullptr);
}

TEST(StyGlyph, EmptyBitmapDrawsNoImage) {
    TStyGlyph g;
    EXPECT_EQ(g.CreateButtonGlyph(0), -1);
    EXPECT_EQ(g.List(), nullptr);
}

TEST(StyArrowGlyph, CellsOfTheResourceStrip) {
    TBitmap strip;
    strip.SetHandle(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(16546)));
    ASSERT_EQ(strip.Width(), 104);
    ASSERT_EQ(strip.Height(), 14);
    for (int cell : {1, 3, 8}) {
        TBitmap b;
        LoadArrowGlyph(&b, uint8_t(cell));
        ASSERT_EQ(b.Width(), 13);
        ASSERT_EQ(b.Height(), 14);
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(b.Canvas()->Pixel(x, y), strip.Canvas()->Pixel((cell - 1) * 13 + x, y))
                    << cell;
    }
}
