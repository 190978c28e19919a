// The bevel's extent and notifications in every mode, its painting, and the control bases
// beneath the meter: bounds changes, the theme switch, the repaint paths, the filled-parent
// test and the image-list link.
#include <gtest/gtest.h>

#include <memory>

#include "controls/styled/styControls.h"
#include "controls/styled/styFormShape.h"
#include "tests/styled/styDrawSupport.h"

namespace {

struct Counted {
    TStyBevel bevel;
    int changes = 0;
    Counted() {
        bevel.OnChange = [this](TObject*) { ++changes; };
    }
};

}  // namespace

TEST(StyBevel, ExtentOfEachMode) {
    Counted c;
    TStyBevel& b = c.bevel;
    EXPECT_EQ(b.Extent(), 0);  // both styles none, although both widths are 1
    TestBitmap t(10, 10);
    EXPECT_EQ(b.PaintBevel(t.C(), Rect(0, 0, 10, 10), false).Left, 0);
    EXPECT_EQ(t.Colors().size(), 1u);  // nothing drawn
    struct Row {
        TStyBevelStyle outer, inner;
        int extent;
    };
    for (Row r : {Row{bvLowered, bvNone, 1}, Row{bvFrameRaised, bvNone, 2},
                  Row{bvFrameRaised, bvRaised, 3}}) {
        b.SetStyleOuter(r.outer);
        b.SetStyleInner(r.inner);
        EXPECT_EQ(b.Extent(), r.extent) << int(r.outer) << "/" << int(r.inner);
    }
    b.SetBorderWidth(2);
    b.SetBorderInnerWidth(1);
    EXPECT_EQ(b.Extent(), 6);
    b.SetMode(bmWindows);
    EXPECT_EQ(b.Extent(), 3);
    b.SetMode(bmEdge);
    EXPECT_EQ(b.Extent(), 3);
    b.SetBorderSides(0);
    EXPECT_EQ(b.Extent(), 1);  // only the inner ring
    b.SetMode(bmStandard);
    EXPECT_EQ(b.Extent(), 1 + 1);  // lsSingleLowered is one pixel
}

TEST(StyBevel, ShadowPairsAndQuietStandardStyle) {
    Counted c;
    TStyBevel& b = c.bevel;
    b.SetStyleInner(bvShadow);
    EXPECT_EQ(b.StyleOuter(), bvShadow);
    EXPECT_EQ(b.Extent(), 1);  // WidthInner + BorderInnerWidth
    b.SetStyleOuter(bvRaised);
    EXPECT_EQ(b.StyleInner(), bvNone);
    const int before = c.changes;
    b.SetStandardStyle(lsRaised);  // not shown in the custom mode: nobody is told
    EXPECT_EQ(c.changes, before);
    b.SetMode(bmStandard);
    EXPECT_EQ(c.changes, before + 1);
    EXPECT_EQ(b.Extent(), 2);
    b.SetMode(bmStandard);  // unchanged
    EXPECT_EQ(c.changes, before + 1);
    b.BeginUpdate();
    b.SetBorderInnerWidth(3);
    EXPECT_EQ(b.Extent(), 5);  // current while locked
    b.EndUpdate(false);
    EXPECT_EQ(c.changes, before + 1);
    EXPECT_EQ(b.GetDescription(), "{标准样式}");
    b.SetMode(bmWindows);
    EXPECT_EQ(b.GetDescription(), "{Windows 样式}");
    TStyBevel copy;
    copy.Assign(&b);
    EXPECT_EQ(copy.Extent(), b.Extent());
    EXPECT_EQ(copy.StandardStyle(), lsRaised);
}

TEST(StyBevel, RingsPaintedOrOnlyReserved) {
    TStyBevel b;
    b.SetStyleOuter(bvLowered);
    b.SetBorderWidth(2);
    b.SetBorderColor(clRed);
    TestBitmap t(12, 12, clWhite);
    TRect in = b.PaintBevel(t.C(), Rect(0, 0, 12, 12), false);
    EXPECT_EQ(in.Left, 3);
    EXPECT_EQ(in.Right, 9);
    EXPECT_EQ(t.At(0, 0), RGBOf(clBtnShadow));
    EXPECT_EQ(t.At(11, 11), RGBOf(clBtnHighlight));
    EXPECT_EQ(t.At(1, 5), RGBOf(clRed));
    EXPECT_EQ(t.At(2, 5), RGBOf(clRed));
    TestBitmap u(12, 12, clWhite);
    in = b.PaintBevel(u.C(), Rect(0, 0, 12, 12), true);  // transparent: the rings take room only
    EXPECT_EQ(in.Left, 3);
    EXPECT_EQ(u.At(1, 5), RGBOf(clWhite));
}

namespace {

struct Probe : TStyGraphicControl {
    using TStyGraphicControl::TStyGraphicControl;
    bool SupportsThemes() const override { return themes; }
    void Invalidate() override {
        ++invalidated;
        TStyGraphicControl::Invalidate();
    }
    void Paint() override {
        ++painted;
        TStyGraphicControl::Paint();
    }
    void MakeOpaque() { SetOpaque(); }
    bool themes = false;
    int invalidated = 0, painted = 0;
};

}  // namespace

TEST(StyControlBases, BoundsChangesAreReportedByKind) {
    Probe p(nullptr);
    std::vector<TStyBoundsChanges> seen;
    p.OnBoundsChange = [&](TObject*, TStyBoundsChanges c) { seen.push_back(c); };
    p.SetBounds(0, 0, 30, 30);  // the same bounds
    p.SetBounds(5, 0, 30, 30);
    p.SetBounds(5, 0, 40, 30);
    p.SetBounds(1, 1, 10, 10);
    EXPECT_EQ(seen, (std::vector<TStyBoundsChanges>{bcsPosition, bcsSize, bcsPosition | bcsSize}));
}

TEST(StyControlBases, ThemeSwitchAndRepaintPaths) {
    Probe p(nullptr);
    p.SetCtlXP(false);
    EXPECT_EQ(p.invalidated, 0);
    p.SetCtlXP(true);  // this class does not follow themes
    EXPECT_EQ(p.invalidated, 0);
    p.themes = true;
    p.SetCtlXP(false);
    EXPECT_EQ(p.invalidated, 1);
    // Transparent: a bevel change only invalidates; held back while updating.
    p.Bevel()->SetStyleOuter(bvRaised);
    EXPECT_EQ(p.invalidated, 2);
    p.BeginUpdate();
    p.Bevel()->SetStyleOuter(bvLowered);
    EXPECT_EQ(p.invalidated, 2);
    p.EndUpdate();
    EXPECT_FALSE(p.HasFilledParent());
}

TEST(StyControlBases, OpaqueControlsPaintAtOnce) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 100, 100);
    auto* p = new Probe(&form);
    p->SetParent(&form);
    p->MakeOpaque();
    form.Show();
    Application->ProcessMessages();
    const int painted = p->painted, invalidated = p->invalidated;
    p->Bevel()->SetStyleOuter(bvRaised);
    EXPECT_EQ(p->painted, painted + 1);
    EXPECT_EQ(p->invalidated, invalidated);
}

TEST(StyControlBases, FilledParentFollowsTheFormShape) {
    TForm form(nullptr);
    auto* p = new Probe(&form);
    p->SetParent(&form);
    EXPECT_FALSE(p->HasFilledParent());  // no shape component
    auto* shape = new TStyFormShape(&form);
    form.HandleNeeded();
    EXPECT_EQ(p->HasFilledParent(), shape->NeedsBackground());
    shape->FillObject()->SetStyle(sfBrush);
    EXPECT_TRUE(p->HasFilledParent());
    const int before = p->invalidated;
    p->Perform(CM_STYPARENTBKCHANGED);
    EXPECT_EQ(p->invalidated, before + 1);
    p->MakeOpaque();
    EXPECT_FALSE(p->HasFilledParent());
}

TEST(StyControlBases, ImageListLinkAndItsRemoval) {
    TForm form(nullptr);
    auto* p = new Probe(&form);
    auto* list = new TStyBitmapList(&form);
    p->SetImageList(list);
    const int before = p->invalidated;
    TBitmap b;
    b.SetSize(4, 4);
    list->AddBitmap(&b);  // a change of the list repaints the control
    EXPECT_GT(p->invalidated, before);
    delete list;
    EXPECT_EQ(p->ImageList(), nullptr);
    p->SetImageList(StyListFromReferenceName("STYBML30"));
    EXPECT_EQ(StyListReferenceName(p->ImageList()), "STYBML30");
    p->SetImageList(nullptr);
}
