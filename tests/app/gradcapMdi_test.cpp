// The caption painter on MDI forms: a child counts as active before any activation message
// when it is the main form's active child while the main form has the keyboard; a child's
// WM_NCACTIVATE also reaches the form underneath; a frame's reaches its active child; and
// the frame as it shows, with a painted active child beside an inactive one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/gradcap.h"
#include "platform/user/metrics.h"

namespace {

struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct MdiFrame {
    TForm frame{nullptr};
    MdiFrame() {
        frame.FormStyle = fsMDIForm;
        frame.SetBounds(10, 10, 520, 340);
        frame.SetCaption("文档");
        Application->SetMainForm(&frame);
        frame.Show();
        Application->ProcessMessages();
    }
    ~MdiFrame() {
        frame.Hide();
        Application->SetMainForm(nullptr);
    }
    static std::unique_ptr<TForm> Child(int left, int top, const std::string& caption) {
        auto c = std::make_unique<TForm>(nullptr);
        c->FormStyle = fsMDIChild;
        c->SetBounds(left, top, 260, 150);
        c->SetCaption(caption);
        return c;
    }
};

// A painter with an active gradient from red to blue and an inactive one from grey to silver.
TGradientCaption* Paint(TForm& form, const std::string& caption) {
    auto* g = new TGradientCaption(&form);
    g->Enabled = geAlways;
    g->ColorLeftActive = clRed;
    g->ColorRightActive = clBlue;
    g->ColorLeftInActive = clGray;
    g->ColorRightInActive = clSilver;
    g->CaptionText.SetCaption(caption);
    return g;
}

uint32_t Px(TBitmap& b, int x, int y) { return b.Image().pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST(CaptionMdi, AChildIsActiveBeforeAnyMessageOnlyAsTheActiveChildOfTheActiveFrame) {
    struct Row {
        const char* name;
        bool childActive;  // the child is the frame's active MDI child
        bool frameActive;  // the frame is the active window
        bool expected;
    };
    for (Row row :
         {Row{"both", true, true, true}, Row{"other child active", false, true, false},
          Row{"frame inactive", true, false, false}, Row{"neither", false, false, false}}) {
        SCOPED_TRACE(row.name);
        MdiFrame f;
        auto a = MdiFrame::Child(0, 0, "a"), b = MdiFrame::Child(100, 40, "b");
        a->Show();
        b->Show();
        if (row.childActive)
            SendMessageA(f.frame.ClientHandle(), WM_MDIACTIVATE, WPARAM(a->Handle()), 0);
        TForm other(nullptr);
        other.SetBounds(600, 0, 100, 80);
        if (!row.frameActive) other.Show();
        Application->ProcessMessages();
        // Made now, the painter has seen no activation message yet.
        TGradientCaption* g = Paint(*a, "a");
        EXPECT_EQ(g->Active(), row.expected);
        other.Hide();
    }
    // Not a child of the main form's: a plain form shown is active as the active window only.
    MdiFrame f;
    TForm plain(nullptr);
    TGradientCaption* g = Paint(plain, "plain");
    EXPECT_FALSE(g->Active());
    plain.Show();
    Application->ProcessMessages();
    EXPECT_TRUE(g->Active());
    plain.Hide();
}

TEST(CaptionMdi, AChildsActivationMessageReachesTheFormUnderneathToo) {
    // A painted normal form keeps WM_NCACTIVATE to itself; a painted MDI child passes it on,
    // so the form (and the window's own handling) hears its new state as well.
    MdiFrame f;
    auto child = MdiFrame::Child(0, 0, "child");
    child->Show();
    TForm plain(nullptr);
    plain.SetBounds(600, 0, 100, 80);
    plain.HandleNeeded();
    for (TForm* form : {child.get(), &plain}) {
        const bool mdi = form == child.get();
        SCOPED_TRACE(mdi ? "MDI child" : "normal form");
        TGradientCaption* g = Paint(*form, "x");
        for (WPARAM state : {WPARAM(0), WPARAM(1), WPARAM(0)}) {
            const bool before = form->FrameActive();
            EXPECT_EQ(SendMessageA(form->Handle(), WM_NCACTIVATE, state, 0), 1);
            EXPECT_EQ(g->Active(), state != 0);
            EXPECT_EQ(form->FrameActive(), mdi ? state != 0 : before);
        }
    }
}

TEST(CaptionMdi, APaintedFrameTellsItsActiveChild) {
    MdiFrame f;
    TGradientCaption* frameCaption = Paint(f.frame, "frame");
    auto a = MdiFrame::Child(0, 0, "a"), b = MdiFrame::Child(100, 40, "b");
    a->Show();
    b->Show();
    TGradientCaption* gb = Paint(*b, "b");
    EXPECT_TRUE(gb->Active());
    for (WPARAM state : {WPARAM(0), WPARAM(1)}) {
        SendMessageA(f.frame.Handle(), WM_NCACTIVATE, state, 0);
        EXPECT_EQ(frameCaption->Active(), state != 0);
        EXPECT_EQ(gb->Active(), state != 0);
        EXPECT_EQ(b->FrameActive(), state != 0);
        EXPECT_FALSE(a->FrameActive());  // the inactive child hears nothing
    }
    // With no active child the frame tells nobody.
    b->Hide();
    a->Hide();
    EXPECT_EQ(f.frame.ActiveMDIChild(), nullptr);
    EXPECT_EQ(SendMessageA(f.frame.Handle(), WM_NCACTIVATE, 0, 0), 1);
    EXPECT_FALSE(frameCaption->Active());
}

TEST(CaptionMdi, TheFrameShowsItsActiveChildPaintedActiveAndTheOtherInactive) {
    MdiFrame f;
    auto a = MdiFrame::Child(10, 10, "a"), b = MdiFrame::Child(200, 160, "b");
    TGradientCaption* ga = Paint(*a, "报告一");
    TGradientCaption* gb = Paint(*b, "报告二");
    a->Show();
    b->Show();
    SendMessageA(f.frame.ClientHandle(), WM_MDIACTIVATE, WPARAM(a->Handle()), 0);
    Application->ProcessMessages();
    ASSERT_TRUE(ga->Active());
    ASSERT_FALSE(gb->Active());

    const std::string file = testing::TempDir() + "vx_gradcap_mdi_" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() +
                             ".png";  // one file per test: ctest runs them side by side
    ASSERT_TRUE(f.frame.SaveScreenshot(file));
    TBitmap shot;
    shot.LoadFromFile(file);
    std::filesystem::remove(file);
    if (const char* keep = std::getenv("VEXOMAT_SCREENSHOTS"); keep && *keep)
        shot.SaveToFile(std::string(keep) + "/caption-mdi.png");

    // A child's title in the frame's picture: the frame's client origin, the child's place,
    // then the title's left end (the gradient's left colour) a few pixels in.
    const int originX = f.frame.FrameWidth(),
              originY = f.frame.FrameWidth() + f.frame.CaptionHeight();
    auto titleLeft = [&](TForm& child, TGradientCaption& g) {
        const TRect r = g.CaptionRect();
        return Px(shot, originX + child.Left() + r.Left + 1, originY + child.Top() + r.Top + 3);
    };
    EXPECT_EQ(titleLeft(*a, *ga), ColorToRGB(clRed) & 0xFFFFFF);
    EXPECT_EQ(titleLeft(*b, *gb), ColorToRGB(clGray) & 0xFFFFFF);
    // Between the children the client window shows the application workspace.
    EXPECT_EQ(Px(shot, originX + 480, originY + 20), ColorToRGB(clAppWorkSpace) & 0xFFFFFF);
}
