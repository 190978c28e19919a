// Gradient descriptions, fill objects drawn into small bitmaps, and the alpha, bitmap-effect
// and shadow objects: defaults, descriptions, notifications and the image-list link.
#include <gtest/gtest.h>

#include "controls/styled/styEffects.h"
#include "controls/styled/styFiler.h"
#include "controls/styled/styImageLists.h"
#include "platform/vcl/formreader.h"
#include "tests/styled/styDrawSupport.h"
#include "tests/styled/styStreamSupport.h"

namespace {

struct Counter {
    int n = 0;
    TNotifyEvent Event() {
        return [this](TObject*) { ++n; };
    }
};

TEST(StyGradient, DefaultsTableAndDescription) {
    TStyGradient g;
    ASSERT_EQ(g.Colors().size(), 16u);
    EXPECT_EQ(ColorToRGB(g.Colors().front()), RGB(0, 0, 255));
    EXPECT_EQ(ColorToRGB(g.Colors().back()), RGB(0, 0, 0));
    EXPECT_EQ(g.GetDescription(), "vertical, Col: 16, 2 col mode");
    EXPECT_EQ(g.Palette(), nullptr);

    Counter c;
    g.OnChange = c.Event();
    g.SetTwoColors(false);
    g.ColorList() = {clRed, clLime, clBlue};
    g.Change();
    EXPECT_EQ(g.Colors().size(), 9u);  // 5 + 4
    EXPECT_EQ(g.GetDescription(), "vertical, Col: 16, mult. col mode");
    g.SetPaletteRealize(true);
    ASSERT_NE(g.Palette(), nullptr);
    PALETTEENTRY e[16];
    EXPECT_EQ(GetPaletteEntries(g.Palette(), 0, 16, e), 9u);
    g.SetPaletteRealize(false);
    EXPECT_EQ(g.Palette(), nullptr);
    g.SetStyle(gstVertical);  // unchanged: nothing
    EXPECT_EQ(c.n, 4);

    g.ColorList().clear();
    g.Change();
    EXPECT_TRUE(g.Colors().empty());  // fewer than two colours
    g.SetColorCount(0);
    g.SetTwoColors(true);
    EXPECT_TRUE(g.Colors().empty());
}

TEST(StyGradient, ColorListIsStoredAndReadingAppends) {
    TStyGradient g;
    TStyPropertyWriter none;
    g.DefineProperties(none);
    EXPECT_TRUE(none.Values.empty());
    g.ColorList() = {clRed, clBlue};
    TStyPropertyWriter w;
    g.DefineProperties(w);
    ASSERT_NE(w.Find("ColorList"), nullptr);
    TStyGradient h;
    h.ColorList() = {clLime};
    StyReadStoredProperty(&h, "ColorList", *w.Find("ColorList"));
    EXPECT_EQ(h.ColorList(), (TStyColorList{clLime, clRed, clBlue}));
    EXPECT_THROW(StyReadStoredProperty(&h, "ColorList", ParseDfmValue("'text'")), EReadError);
    EXPECT_THROW(StyReadStoredProperty(&h, "Nothing", ParseDfmValue("1")), EReadError);

    TStyGradient copy;
    copy.Assign(&h);
    EXPECT_EQ(copy.ColorList().size(), 3u);
    EXPECT_EQ(copy.Colors(), h.Colors());
}

TEST(StyFillObject, StylesPaintOrNot) {
    TStyFillObject f;
    EXPECT_EQ(f.Style(), sfNone);
    TestBitmap t(8, 6, clWhite);
    EXPECT_FALSE(f.Fill(t.C(), Rect(0, 0, 8, 6), clBlack));
    EXPECT_EQ(t.Colors().size(), 1u);

    f.SetStyle(sfBrush);
    f.Brush()->Color = clRed;
    EXPECT_TRUE(f.Fill(t.C(), Rect(2, 1, 6, 5), clBlack));
    EXPECT_EQ(t.At(2, 1), RGB(255, 0, 0));
    EXPECT_EQ(t.At(6, 1), RGB(255, 255, 255));

    f.SetStyle(sfBitmap);
    EXPECT_FALSE(f.Fill(t.C(), Rect(0, 0, 8, 6), clBlack));  // no bitmap
    TBitmap tile;
    PaintPattern(tile, 3, 3);
    f.SetBitmap(&tile);
    TestBitmap tiled(8, 6, clWhite);
    EXPECT_TRUE(f.Fill(tiled.C(), Rect(0, 0, 7, 5), clBlack));
    EXPECT_EQ(tiled.At(4, 4), ColorToRGB(tile.Canvas()->Pixel(1, 1)));
    EXPECT_EQ(tiled.At(7, 5), RGB(255, 255, 255));  // tiles end at the rectangle

    f.SetTileMode(tmNone);
    f.SetAlignment(agBottomRight);
    TestBitmap placed(8, 6, clWhite);
    EXPECT_TRUE(f.Fill(placed.C(), Rect(0, 0, 8, 6), clBlue));
    EXPECT_EQ(placed.At(0, 0), RGB(0, 0, 255));  // the inner fill
    EXPECT_EQ(placed.At(5, 3), ColorToRGB(tile.Canvas()->Pixel(0, 0)));

    f.SetStyle(sfGradient);
    f.Gradient()->SetColor(clRed);
    f.Gradient()->SetEndColor(clBlue);
    TestBitmap grad(4, 16, clWhite);
    EXPECT_TRUE(f.Fill(grad.C(), Rect(0, 0, 4, 16), clBlack));
    EXPECT_EQ(grad.At(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(grad.At(3, 15), RGB(0, 0, 255));
    EXPECT_EQ(f.GetDescription(), "{Gradient}");
}

TEST(StyFillObject, BrushChangesNotifyTheOwner) {
    TStyFillObject f;
    Counter c;
    f.OnChange = c.Event();
    struct Row {
        const char* what;
        std::function<void()> change;
        int told;
    };
    TBrush red;
    red.Color = clRed;
    red.Style = bsCross;
    const Row rows[] = {
        {"colour", [&] { f.Brush()->Color = clRed; }, 1},
        {"same colour", [&] { f.Brush()->Color = clRed; }, 0},
        {"style", [&] { f.Brush()->Style = bsDiagCross; }, 1},
        {"setter", [&] { f.SetBrush(&red); }, 1},
        {"setter, same brush", [&] { f.SetBrush(&red); }, 0},
        {"while updating",
         [&] {
             f.BeginUpdate();
             f.Brush()->Color = clBlue;
             f.EndUpdate(false);
         },
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        c.n = 0;
        row.change();
        EXPECT_EQ(c.n, row.told);
    }
}

TEST(StyFillObject, BrushHatchShowsOnTheColour) {
    TStyFillObject f;
    f.SetStyle(sfBrush);
    f.Brush()->Color = clRed;
    f.Brush()->Style = bsCross;
    TestBitmap t(16, 16, clWhite);
    EXPECT_TRUE(f.Fill(t.C(), Rect(0, 0, 16, 16), clYellow));
    int wrong = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const bool line = x % 8 == 4 || y % 8 == 7;
            wrong += t.At(x, y) != (line ? RGB(255, 0, 0) : RGB(255, 255, 0));
        }
    EXPECT_EQ(wrong, 0);
    // The canvas keeps the fill's brush; the next solid fill paints behind text again.
    EXPECT_EQ(TBrushStyle(t.C()->Brush()->Style), bsCross);
}

TEST(StyFillObject, OffsetsNotifyOnlyWhereTheyShow) {
    TStyFillObject f;
    Counter c;
    f.OnChange = c.Event();
    f.SetStyle(sfBitmap);  // tiled by default
    EXPECT_EQ(c.n, 1);
    f.SetOffset(0, 5);
    f.SetAlignment(agCenter);
    EXPECT_EQ(c.n, 1);
    EXPECT_EQ(f.OffsetX(), 5);
    f.SetTileMode(tmNone);
    f.SetOffset(1, 3);
    EXPECT_EQ(c.n, 3);
    f.Gradient()->SetColor(clLime);  // sub-objects pass their changes on
    EXPECT_EQ(c.n, 4);
    const char* names[] = {"{Disabled}", "{}", "{Brush}", "{Bitmap}", "{BitmapList}", "{Gradient}"};
    for (int s = sfNone; s <= sfGradient; ++s) {
        f.SetStyle(TStyFillStyle(s));
        EXPECT_EQ(f.GetDescription(), names[s]);
    }
}

TEST(StyAlphaObject, DescriptionAndTheListImage) {
    TStyAlphaObject a;
    EXPECT_EQ(a.GetDescription(), "{Disabled}");
    a.FillObject()->SetStyle(sfGradient);
    EXPECT_EQ(a.GetDescription(), "{Enabled (grad), strength: 0.600}");
    EXPECT_FALSE(a.StrengthStored());
    a.SetStrength(0.25f);
    EXPECT_TRUE(a.StrengthStored());

    auto* list = new TStyBitmapList(nullptr);
    TBitmap b;
    PaintPattern(b, 5, 4);
    list->AddBitmap(&b);
    Counter c;
    a.OnChange = c.Event();
    a.SetImageList(list);
    EXPECT_TRUE(SamePixels(*a.FillObject()->ListBitmap(), b));
    EXPECT_TRUE(a.ImageListStored());
    a.SetIndex(1, 3);  // no such item: the list bitmap is cleared
    EXPECT_TRUE(a.FillObject()->ListBitmap()->Empty());
    a.SetIndex(1, 0);
    EXPECT_FALSE(a.FillObject()->ListBitmap()->Empty());
    list->Bitmaps(0)->SetBitmap(nullptr);  // the link hears the change
    EXPECT_TRUE(a.FillObject()->ListBitmap()->Empty());
    EXPECT_GT(c.n, 0);
    delete list;  // freed first: the object forgets it
    EXPECT_EQ(a.ImageList(), nullptr);

    a.SetImageList(StyGlobalContainer()->ImageList());
    EXPECT_FALSE(a.ImageListStored());
    TStyPropertyWriter w;
    a.DefineProperties(w);
    ASSERT_NE(w.Find("Internal"), nullptr);
    EXPECT_EQ(w.Find("Internal")->s, "STYIML30");
    TStyAlphaObject read;
    StyReadStoredProperty(&read, "Internal", *w.Find("Internal"));
    EXPECT_EQ(read.ImageList(), StyGlobalContainer()->ImageList());
    a.SetImageList(nullptr);
}

TEST(StyEffectObjects, DescriptionsAndTheBuffer) {
    TStyBitmapEffectObject e;
    EXPECT_EQ(e.GetDescription(), "{Disabled}");
    e.SetEffect(TStyBitmapEffectObject::beGrayScale, true);
    e.SetEffect(TStyBitmapEffectObject::beInvert, true);
    EXPECT_EQ(e.GetDescription(), "{GS,INV}");
    e.SetBrightness(-20);
    e.AlphaBlend()->FillObject()->SetStyle(sfBrush);
    EXPECT_EQ(e.GetDescription(), "{alpha,GS,INV,B}");
    e.SetEffect(TStyBitmapEffectObject::beBuffered, true);
    ASSERT_NE(e.Buffer(), nullptr);
    e.SetValid(true);
    e.AlphaBlend()->SetStrength(0.9f);
    EXPECT_FALSE(e.Valid());
    e.SetEffect(TStyBitmapEffectObject::beBuffered, false);
    EXPECT_EQ(e.Buffer(), nullptr);

    TStyShadow s;
    EXPECT_EQ(s.GetDescription(), "{solid, 6}");
    s.SetStyle(hssTracing);
    s.SetDepth(3);
    EXPECT_EQ(s.GetDescription(), "{tracing, 3}");
    s.SetStyle(hssNone);
    EXPECT_EQ(s.GetDescription(), "{Disabled}");
}

}  // namespace
