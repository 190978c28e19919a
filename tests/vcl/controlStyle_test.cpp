// ControlStyle: the set itself, the caption following the name (csSetCaption), clicks and
// double clicks (csClickEvents, csDoubleClicks), and no background painted under an opaque
// graphic control (csOpaque), whatever window it sits on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>

#include "platform/vcl/formreader.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

// Paints the left half of its rectangle only.
struct HalfPainter : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Paint() override {
        Canvas()->Brush()->Color = clLime;
        Canvas()->FillRect(Rect(0, 0, Width() / 2, Height()));
    }
};

TColor ShotPixel(TWinControl& form, int x, int y) {
    const std::string png = "/tmp/vx-style-" + std::to_string(getpid()) + ".png";
    EXPECT_TRUE(form.SaveScreenshot(png));
    TBitmap bmp;
    bmp.LoadFromFile(png);
    unlink(png.c_str());
    return bmp.Canvas()->Pixel(x, y);
}

}  // namespace

TEST(ControlStyle, SetArithmetic) {
    const TControlStyle base{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    struct Row {
        const char* what;
        TControlStyle got, want;
    };
    const Row rows[] = {
        {"a new control", TControl(nullptr).ControlStyle, base},
        {"minus a member", base - csSetCaption,
         TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks}},
        {"minus one absent", base - csOpaque, base},
        {"plus and minus", base - TControlStyle{csOpaque} + TControlStyle{csReplicatable},
         TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks,
                       csReplicatable}},
        {"plus twice", base + csOpaque + csOpaque, base + TControlStyle{csOpaque}},
        {"empty", TControlStyle{}, TControlStyle{csOpaque} - csOpaque},
    };
    for (const Row& row : rows) EXPECT_EQ(row.got, row.want) << row.what;
    EXPECT_TRUE(base.Contains(csSetCaption));
    EXPECT_FALSE(base.Contains(csOpaque));
}

TEST(ControlStyle, CaptionFollowsTheNameItShowed) {
    TForm form(nullptr);
    struct Row {
        const char* what;
        bool setCaption;            // csSetCaption kept
        const char* captionBefore;  // the caption when the name changes
        const char* nameBefore;
        const char* want;
    };
    const Row rows[] = {
        {"a new control", true, "", "", "Button1"},
        {"the caption showed the old name", true, "Old", "Old", "Button1"},
        {"a caption of its own", true, "Start", "Old", "Start"},
        {"without csSetCaption", false, "", "", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto* b = new TButton(&form);
        if (!row.setCaption) b->ControlStyle = b->ControlStyle - csSetCaption;
        b->Name = row.nameBefore;
        b->SetCaption(row.captionBefore);
        b->SetName("Button1");
        EXPECT_EQ(b->Name, "Button1");
        EXPECT_EQ(b->Caption(), row.want);
        delete b;
    }
    // A control read from a form keeps the caption the form gives (or none).
    TForm read(nullptr);
    ReadForm(&read,
             "object F: TForm\n"
             "  object B1: TButton\n"
             "  end\n"
             "  object B2: TButton\n"
             "    Caption = 'Go'\n"
             "  end\n"
             "end\n");
    EXPECT_EQ(dynamic_cast<TButton*>(read.FindComponent("B1"))->Caption(), "");
    EXPECT_EQ(dynamic_cast<TButton*>(read.FindComponent("B2"))->Caption(), "Go");
    EXPECT_EQ(read.Caption(), "");
}

TEST(ControlStyle, ClickAndDoubleClickFollowTheirMembers) {
    struct Row {
        TControlStyle remove;
        int clicks, doubleClicks;
    };
    const Row rows[] = {
        {TControlStyle{}, 2, 1},
        {TControlStyle{csClickEvents}, 0, 1},
        {TControlStyle{csDoubleClicks}, 2, 0},
    };
    for (const Row& row : rows) {
        TForm form(nullptr);
        auto* c = new HalfPainter(&form);
        c->SetParent(&form);
        c->SetBounds(0, 0, 20, 20);
        c->ControlStyle = c->ControlStyle - row.remove;
        int clicks = 0, doubleClicks = 0;
        c->OnClick = [&](TObject*) { ++clicks; };
        c->OnDblClick = [&](TObject*) { ++doubleClicks; };
        const LPARAM at = MAKELPARAM_XY(5, 5);
        c->Perform(WM_LBUTTONDOWN, 1, at);
        c->Perform(WM_LBUTTONUP, 0, at);
        c->Perform(WM_LBUTTONDBLCLK, 1, at);
        c->Perform(WM_LBUTTONUP, 0, at);
        EXPECT_EQ(clicks, row.clicks);
        EXPECT_EQ(doubleClicks, row.doubleClicks);
    }
}

TEST(ControlStyle, NoBackgroundIsPaintedUnderAnOpaqueGraphicControl) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 60, 40);
    form.SetColor(clRed);
    auto* c = new HalfPainter(&form);
    c->SetParent(&form);
    c->SetBounds(10, 10, 20, 20);
    form.Show();
    Application->ProcessMessages();
    // Not opaque: the parent's background shows in the half it leaves.
    EXPECT_EQ(ShotPixel(form, 12, 15), clLime);
    EXPECT_EQ(ShotPixel(form, 25, 15), clRed);
    // Opaque: the parent paints around it only, so its right half keeps the old pixels.
    c->ControlStyle = c->ControlStyle + csOpaque;
    form.SetColor(clBlue);
    EXPECT_EQ(ShotPixel(form, 5, 5), clBlue);
    EXPECT_EQ(ShotPixel(form, 12, 15), clLime);
    EXPECT_EQ(ShotPixel(form, 25, 15), clRed);
    EXPECT_EQ(ShotPixel(form, 35, 15), clBlue);
    // Hidden, it covers nothing.
    c->Hide();
    EXPECT_EQ(ShotPixel(form, 25, 15), clBlue);
    form.Hide();
}

TEST(ControlStyle, NoParentPaintsUnderAnOpaqueGraphicControl) {
    struct Row {
        const char* what;
        std::function<TWinControl*(TForm&)> make;
    };
    const Row rows[] = {
        {"a panel",
         [](TForm& f) -> TWinControl* {
             auto* p = new TPanel(&f);
             p->BevelOuter = TBevelCut::bvNone;
             return p;
         }},
        {"a group box", [](TForm& f) -> TWinControl* { return new TGroupBox(&f); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TForm form(nullptr);
        form.SetBorderStyle(bsNone);
        form.SetBounds(0, 0, 100, 80);
        TWinControl* parent = row.make(form);
        parent->SetParent(&form);
        parent->SetBounds(0, 0, 80, 60);
        parent->SetColor(clRed);
        auto* c = new HalfPainter(&form);
        c->SetParent(parent);
        c->SetBounds(20, 20, 40, 30);
        form.Show();
        Application->ProcessMessages();
        EXPECT_EQ(ShotPixel(*parent, 25, 30), clLime);
        EXPECT_EQ(ShotPixel(*parent, 50, 30), clRed);
        // Opaque: the new background goes around it; the half it leaves keeps the old pixels.
        c->ControlStyle = c->ControlStyle + csOpaque;
        parent->SetColor(clBlue);
        Application->ProcessMessages();
        EXPECT_EQ(ShotPixel(*parent, 10, 30), clBlue);
        EXPECT_EQ(ShotPixel(*parent, 25, 30), clLime);
        EXPECT_EQ(ShotPixel(*parent, 50, 30), clRed);
        EXPECT_EQ(ShotPixel(*parent, 70, 30), clBlue);
        c->Hide();
        Application->ProcessMessages();
        EXPECT_EQ(ShotPixel(*parent, 50, 30), clBlue);
        form.Hide();
    }
}
