// The meter: its value model (percent, user value, range, Delta), its arithmetic in the wide
// floating type, the small-bar geometry read from screenshots, and what a form stores (the shared
// lists by name).
#include <gtest/gtest.h>

#include <memory>

#include "controls/styled/styFiler.h"
#include "controls/styled/styProgress.h"
#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

struct Meter {
    Meter() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 240, 120);
        panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(0, 0, 200, 60);
        panel->BevelOuter = TBevelCut::bvNone;
        panel->SetColor(clWhite);
        bar = new TStyProgress(form.get());
        bar->SetParent(panel);
        bar->SetBounds(10, 10, 120, 20);
    }
    // The bar's pixels from a screenshot of its window.
    TBitmap& Shot() {
        form->Show();
        Application->ProcessMessages();
        EXPECT_TRUE(panel->SaveScreenshot(path));
        shot.LoadFromFile(path);
        return shot;
    }
    TColor At(int x, int y) { return shot.Canvas()->Pixel(10 + x, 10 + y); }
    std::unique_ptr<TForm> form;
    TPanel* panel;
    TStyProgress* bar;
    TBitmap shot;
    // One file per test: ctest runs the tests side by side.
    std::string path = ::testing::TempDir() + "styprogress_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
};

}  // namespace

TEST(StyMeterValues, PositionClampsAndDrivesUserValue) {
    Meter m;
    TStyProgress* b = m.bar;
    b->SetPosition(150);
    EXPECT_EQ(b->Position(), 100);
    EXPECT_EQ(b->UserValue(), 100);
    b->SetMaxValue(5);
    b->SetPosition(50);
    EXPECT_EQ(b->UserValue(), 2);  // 2.5 goes to the even neighbour
    b->SetUserValue(3);
    EXPECT_EQ(b->Position(), 60);
    b->SetUserValue(9);  // outside the range: ignored
    b->SetUserValue(-1);
    EXPECT_EQ(b->UserValue(), 3);
    EXPECT_EQ(b->Position(), 60);
}

TEST(StyMeterValues, PositionAboveTheTopStillSetsTheUserValue) {
    struct Row {
        int user;      // set first, in the range 0..1000
        int position;  // then this
        int wantUser;
        int wantPosition;
    };
    for (Row row : {Row{996, 150, 1000, 100},  // 150 differs from the stored 100
                    Row{996, 255, 1000, 100}, Row{996, 101, 1000, 100},
                    Row{996, 100, 996, 100},  // the same value: nothing
                    Row{4, 0, 4, 0}, Row{4, 1, 10, 1}, Row{500, 50, 500, 50}}) {
        Meter m;
        TStyProgress* b = m.bar;
        b->SetMaxValue(1000);
        b->SetUserValue(row.user);
        b->SetPosition(row.position);
        EXPECT_EQ(b->UserValue(), row.wantUser) << row.user << " then " << row.position;
        EXPECT_EQ(b->Position(), row.wantPosition) << row.user << " then " << row.position;
    }
}

TEST(StyMeterValues, RangeSettersKeepMinBelowMax) {
    struct Row {
        int min, max;  // set in this order: MaxValue, then MinValue
        int wantMin, wantMax, wantUser, wantPosition;
    };
    Meter m;
    TStyProgress* b = m.bar;
    b->SetMaxValue(-10);  // below the minimum 0: the roles swap, UserValue 0 stays
    EXPECT_EQ(b->MinValue(), -10);
    EXPECT_EQ(b->MaxValue(), 0);
    EXPECT_EQ(b->UserValue(), 0);
    EXPECT_EQ(b->Position(), 100);
    b->SetMaxValue(b->MinValue());  // equal to the other end: nothing
    b->SetMinValue(b->MaxValue());
    EXPECT_EQ(b->MinValue(), -10);
    EXPECT_EQ(b->MaxValue(), 0);
    b->SetMinValue(5);  // above the maximum: swapped, UserValue 0 lies inside
    EXPECT_EQ(b->MinValue(), 0);
    EXPECT_EQ(b->MaxValue(), 5);
    b->SetUserValue(5);
    b->SetMaxValue(3);  // UserValue 5 now outside: becomes the maximum
    EXPECT_EQ(b->UserValue(), 3);
    EXPECT_EQ(b->Position(), 100);
    b->SetMinValue(1);
    b->SetMaxValue(2);
    b->SetUserValue(1);
    b->SetMinValue(-2);  // 1 stays inside -2..2
    EXPECT_EQ(b->UserValue(), 1);
    EXPECT_EQ(b->Position(), 75);
}

TEST(StyMeterValues, DeltaHoldsBackSmallMoves) {
    Meter m;
    TStyProgress* b = m.bar;
    m.Shot();
    b->SetDelta(0);
    EXPECT_EQ(b->Delta(), 1);
    b->SetPosition(20);
    const int drawn = b->DrawCount();
    b->SetPosition(20);
    EXPECT_EQ(b->DrawCount(), drawn);  // the same value: no drawing
    b->SetDelta(10);
    b->SetPosition(25);
    EXPECT_EQ(b->DrawCount(), drawn);  // moved by less than Delta
    EXPECT_EQ(b->LastPercent(), 20);
    b->SetPosition(0);
    EXPECT_EQ(b->DrawCount(), drawn + 1);  // the ends always show
    b->SetPosition(5);
    b->SetPosition(100);
    EXPECT_EQ(b->DrawCount(), drawn + 2);
    b->SetPosition(100);
    EXPECT_EQ(b->DrawCount(), drawn + 2);
}

TEST(StyMeterValues, StyleSetsDeltaAtRunTimeOnly) {
    Meter m;
    m.bar->SetStyle(pgBar);
    m.bar->SetStyle(pgSmallBarColor);
    EXPECT_EQ(m.bar->Delta(), 5);       // half a bar of ten
    m.bar->SmallBar()->SetBarCount(0);  // at least one bar: no division by zero
    EXPECT_EQ(m.bar->SmallBar()->BarCount(), 1);
    m.bar->SetStyle(pgBar);
    m.bar->SetStyle(pgSmallBar);
    EXPECT_EQ(m.bar->Delta(), 50);
    EXPECT_GE(m.bar->SmallBar()->SegmentSize(mdHorizontal, 100, 10), 0);
}

TEST(StyMeterArithmetic, ExtendedHundredthAndHalvesToEven) {
    EXPECT_EQ(stymeter::BarLength(5, 20), 0);  // the product lies just below 1
    EXPECT_EQ(stymeter::BarLength(100, 453), 453);
    EXPECT_EQ(stymeter::BarLength(50, 453), 226);
    EXPECT_EQ(stymeter::Round(78.5L), 78);
    EXPECT_EQ(stymeter::Round(79.5L), 80);
    EXPECT_EQ(stymeter::Round(-2.5L), -2);
    TStySmallBar sb;
    sb.SetBarCount(157);
    sb.SetHSpace(1);
    EXPECT_EQ(sb.SegmentSize(mdHorizontal, 453, 15), 1);
    sb.SetBarCount(10);
    sb.SetVSpace(3);
    EXPECT_EQ(sb.SegmentSize(mdVertical, 5, 100), 7);
}

TEST(StyMeterDrawing, SmallBarsFromScreenshot) {
    Meter m;
    TStyProgress* b = m.bar;
    b->SetColor(clWhite);
    b->SmallBar()->SetAutoSize(false);
    b->SmallBar()->SetBarCount(10);
    b->SmallBar()->SetHSpace(2);
    b->SmallBar()->SetVSpace(2);
    b->SmallBar()->SetBarColor(clRed);
    b->SetPosition(40);
    m.Shot();
    // Bevel 1 pixel: inner 118 x 18; bars (118 - 20) / 10 = 9 wide, pitch 11.
    EXPECT_EQ(m.At(0, 0), TColor(ColorToRGB(clBtnShadow)));  // the lowered bevel
    EXPECT_EQ(m.At(119, 19), TColor(ColorToRGB(clBtnHighlight)));
    for (int i = 0; i < 10; ++i) {
        const int x = 1 + i * 11 + 2;
        EXPECT_EQ(m.At(x, 10), i < 4 ? clRed : clWhite) << i;
        EXPECT_EQ(m.At(x - 1, 10), clWhite) << i;  // the space before the bar
        EXPECT_EQ(m.At(x + 8, 10), i < 4 ? clRed : clWhite) << i;
    }
    EXPECT_EQ(m.At(4, 2), clWhite);  // the space above the bars
    EXPECT_EQ(m.At(4, 3), clRed);
    // Reversed, the lit bars are the last four.
    b->SetDirection(mdHorizontalReverse);
    m.Shot();
    EXPECT_EQ(m.At(1 + 9 * 11 + 2, 10), clRed);
    EXPECT_EQ(m.At(1 + 2, 10), clWhite);
}

TEST(StyMeterDrawing, SolidBarAndPerBarColours) {
    Meter m;
    TStyProgress* b = m.bar;
    b->SetColor(clWhite);
    b->SetStyle(pgBar);
    b->SetBarColor(clBlue);
    b->SetPosition(50);
    m.Shot();
    EXPECT_EQ(m.At(30, 10), clBlue);
    EXPECT_EQ(m.At(90, 10), clWhite);
    b->OnGetColor = [](TObject*, uint8_t nr, TColor& c) { c = nr % 2 ? clLime : clRed; };
    b->SmallBar()->SetAutoSize(false);
    b->SetStyle(pgSmallBarColor);
    m.Shot();
    // Ten bars of 8 pixels at a pitch of 11 (3 pixels of space) from x 1.
    EXPECT_EQ(m.At(1 + 3 + 4, 10), clRed);
    EXPECT_EQ(m.At(1 + 11 + 3 + 4, 10), clLime);
}

TEST(StyMeterStreaming, FormValuesReadBackAsWritten) {
    RegisterStyProgress();
    TForm form(nullptr);
    form.Name = "F";
    ReadForm(&form,
             "object F: TForm\n"
             "  object P: TStyProgress\n"
             "    Bevel.StyleOuter = bvNone\n"
             "    Delta = 7\n"
             "    MaxValue = -10\n"
             "    MinValue = -50\n"
             "    Style = pgSmallBarColor\n"
             "    Position = 50\n"
             "  end\n"
             "end\n");
    auto* p = dynamic_cast<TStyProgress*>(form.FindComponent("P"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Bevel()->StyleOuter(), bvNone);
    EXPECT_EQ(p->Bevel()->Extent(), 0);
    EXPECT_EQ(p->Delta(), 7);  // the style read from a form leaves Delta as stored
    EXPECT_EQ(p->MinValue(), -50);
    EXPECT_EQ(p->MaxValue(), -10);
    EXPECT_EQ(p->UserValue(), -30);
    // What a form leaves out: the meter's bevel is lowered unless the form says otherwise.
    EXPECT_EQ(FindPropInfo("TStyProgress", "Bevel.StyleOuter")->defaultText, "bvLowered");
    TStyProgress fresh(nullptr);
    EXPECT_EQ(fresh.Bevel()->StyleOuter(), bvLowered);
}

TEST(StyMeterValues, Font3DAndSmallBarSettersCopyIntoTheOwnedObjects) {
    TStyProgress p(nullptr);
    TSty3DCaption* ownCaption = p.Font3D();
    TStySmallBar* ownBars = p.SmallBar();
    TSty3DCaption caption;
    caption.Assign(ownCaption);
    caption.SetShadowDepth(uint8_t(ownCaption->ShadowDepth() + 3));
    TStySmallBar bars;
    bars.SetBarCount(25);
    bars.SetBarColor(clRed);
    bars.SetAutoSize(false);
    p.SetFont3D(&caption);
    p.SetSmallBar(&bars);
    // Copied in, not replaced: the meter keeps its own objects.
    EXPECT_EQ(p.Font3D(), ownCaption);
    EXPECT_EQ(p.SmallBar(), ownBars);
    EXPECT_EQ(p.Font3D()->ShadowDepth(), caption.ShadowDepth());
    EXPECT_EQ(p.SmallBar()->BarCount(), 25);
    EXPECT_EQ(p.SmallBar()->BarColor(), clRed);
    EXPECT_FALSE(p.SmallBar()->AutoSize());
    bars.SetBarCount(3);  // the argument stays the caller's
    EXPECT_EQ(p.SmallBar()->BarCount(), 25);
    // A meter is named without its caption following: the caption is text it may show.
    p.SetName("StyProgress1");
    EXPECT_EQ(p.Caption(), "");
    EXPECT_TRUE(p.ControlStyle.Contains(csOpaque));
    EXPECT_TRUE(p.ControlStyle.Contains(csReplicatable));
    EXPECT_FALSE(p.ControlStyle.Contains(csSetCaption));
}

TEST(StyMeterStreaming, TheRangeReadIsPutInOrderAfterLoading) {
    RegisterStyProgress();
    struct Row {
        const char* props;  // as a form writes them (MaxValue before MinValue)
        int min, max, user, position;
    };
    const Row rows[] = {
        {"MaxValue = 0\n MinValue = -50\n", -50, 0, 0, 100},
        {"MaxValue = 0\n MinValue = -50\n Position = 50\n", -50, 0, -25, 50},
        {"MinValue = 100\n", 100, 101, 100, 0},  // equal ends: one apart
        {"MaxValue = -20\n", -20, 0, 0, 100},    // out of order: swapped
        {"MaxValue = 10\n MinValue = 30\n UserValue = 20\n", 10, 30, 20, 50},
        {"MinValue = 5\n MaxValue = 5\n", 5, 6, 5, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.props);
        TForm form(nullptr);
        form.Name = "F";
        ReadForm(&form, std::string("object F: TForm\n object P: TStyProgress\n") + row.props +
                            " end\nend\n");
        auto* p = dynamic_cast<TStyProgress*>(form.FindComponent("P"));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->MinValue(), row.min);
        EXPECT_EQ(p->MaxValue(), row.max);
        EXPECT_EQ(p->UserValue(), row.user);
        EXPECT_EQ(p->Position(), row.position);
    }
}

TEST(StyMeterStreaming, SharedListsAreStoredByName) {
    TForm form(nullptr);
    TStyBitmapList own(&form);
    TStyContainer* shared = StyGlobalContainer();
    struct Row {
        TStyCustomImageList* list;
        const char* internal;  // null: not written
    };
    const Row rows[] = {{nullptr, nullptr},
                        {&own, nullptr},
                        {shared->BitmapList(), "STYBML30"},
                        {shared->ImageList(), "STYIML30"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.internal ? row.internal : "-");
        TStyProgress p(&form);
        p.SetImageList(row.list);
        TStyPropertyWriter w;
        p.DefineProperties(w);
        const TDfmValue* v = w.Find("Internal");
        ASSERT_EQ(v != nullptr, row.internal != nullptr);
        if (!v) continue;
        EXPECT_EQ(v->s, row.internal);
        TStyProgress read(&form);
        read.SetImageList(&own);
        StyReadStoredProperty(&read, "Internal", *v);
        EXPECT_EQ(read.ImageList(), row.list);
    }
}

TEST(StyMeterStreaming, FormFileLinksTheNamedSharedListOrNone) {
    RegisterStyProgress();
    TForm form(nullptr);
    form.Name = "F";
    ReadForm(&form,
             "object F: TForm\n"
             "  object P: TStyProgress\n"
             "    Internal = 'STYBML30'\n"
             "  end\n"
             "end\n");
    auto* p = dynamic_cast<TStyProgress*>(form.FindComponent("P"));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->ImageList(), StyGlobalContainer()->BitmapList());
    // Any other name leaves the meter without a list.
    TDfmValue unknown;
    unknown.kind = TDfmValue::vString;
    unknown.s = "STYWVL30";
    StyReadStoredProperty(p, "Internal", unknown);
    EXPECT_EQ(p->ImageList(), nullptr);
}
