// The mouse capture: who holds it, who is told when it is lost, WM_CANCELMODE letting it go,
// and a control holding it getting the mouse input of other windows.
#include <gtest/gtest.h>

#include <vector>

#include "platform/user/capture.h"
#include "platform/user/messages.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Records the WM_CAPTURECHANGED messages a control gets (their LPARAM: the new holder).
struct Recorder {
    explicit Recorder(TControl* c) : control(c), inner(c->WindowProc) {
        c->WindowProc = [this](TMessage& m) {
            if (m.Msg == WM_CAPTURECHANGED) lost.push_back(HWND(m.LParam));
            inner(m);
        };
    }
    ~Recorder() { control->WindowProc = inner; }
    TControl* control;
    TWndMethod inner;
    std::vector<HWND> lost;
};

// A windowless control that keeps the mouse messages it gets.
struct Spot : TGraphicControl {
    using TGraphicControl::TGraphicControl;
    void Dispatch(TMessage& m) override {
        if (m.Msg >= WM_MOUSEMOVE && m.Msg <= WM_MOUSEWHEEL)
            got.push_back({m.Msg, GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
        TGraphicControl::Dispatch(m);
    }
    struct Got {
        UINT msg;
        int x, y;
    };
    std::vector<Got> got;
};

struct TwoPanels {
    TwoPanels() : form(new TForm(nullptr)) {
        form->SetBounds(0, 0, 300, 200);
        a = new TPanel(form.get());
        a->SetParent(form.get());
        a->SetBounds(10, 10, 100, 100);
        b = new TPanel(form.get());
        b->SetParent(form.get());
        b->SetBounds(150, 20, 100, 100);
        form->Show();
        Application->ProcessMessages();
    }
    ~TwoPanels() { ReleaseCapture(); }
    std::unique_ptr<TForm> form;
    TPanel* a;
    TPanel* b;
};

}  // namespace

TEST(MouseCapture, HolderChangesAndTheLoserIsTold) {
    TwoPanels w;
    Recorder ra(w.a), rb(w.b);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(SetCapture(w.a->Handle()), nullptr);
    EXPECT_EQ(GetCapture(), w.a->Handle());
    EXPECT_TRUE(w.a->MouseCapture());
    EXPECT_TRUE(ra.lost.empty());

    // Taking it again changes nothing and tells nobody.
    EXPECT_EQ(SetCapture(w.a->Handle()), w.a->Handle());
    EXPECT_TRUE(ra.lost.empty());

    EXPECT_EQ(SetCapture(w.b->Handle()), w.a->Handle());
    ASSERT_EQ(ra.lost.size(), 1u);
    EXPECT_EQ(ra.lost[0], w.b->Handle());  // told who has it now
    EXPECT_FALSE(w.a->MouseCapture());

    // A handle that is no window takes nothing.
    EXPECT_EQ(SetCapture(HWND(uintptr_t(0x7))), w.b->Handle());
    EXPECT_EQ(GetCapture(), w.b->Handle());

    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(rb.lost.size(), 1u);
    EXPECT_EQ(rb.lost[0], nullptr);
    ReleaseCapture();  // nobody holds it: nobody is told
    EXPECT_EQ(rb.lost.size(), 1u);
}

TEST(MouseCapture, CancelModeLetsOnlyTheHolderGo) {
    TwoPanels w;
    w.a->SetMouseCapture(true);
    SendMessageA(w.b->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), w.a->Handle());  // b held nothing
    SendMessageA(w.a->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(w.a->MouseCapture());
}

TEST(MouseCapture, ADestroyedHolderHoldsNothing) {
    TwoPanels w;
    w.b->SetMouseCapture(true);
    delete w.b;
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(MouseCapture, AGraphicControlHoldsItThroughItsParentAndGetsOtherWindowsInput) {
    TwoPanels w;
    auto* spot = new Spot(w.form.get());
    spot->SetParent(w.a);
    spot->SetBounds(5, 6, 20, 20);
    spot->SetMouseCapture(true);
    EXPECT_EQ(GetCapture(), w.a->Handle());
    EXPECT_EQ(GetCaptureControl(), spot);
    EXPECT_TRUE(spot->MouseCapture());
    EXPECT_FALSE(w.a->MouseCapture());

    // A click on the other panel comes to the spot, at the spot's own coordinates.
    int bDowns = 0;
    w.b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++bDowns; };
    w.b->Peer()->click(30, 40);
    EXPECT_EQ(bDowns, 0);
    ASSERT_GE(spot->got.size(), 2u);
    bool down = false, up = false;
    for (const Spot::Got& g : spot->got) {
        if (g.msg != WM_LBUTTONDOWN && g.msg != WM_LBUTTONUP) continue;
        (g.msg == WM_LBUTTONDOWN ? down : up) = true;
        EXPECT_EQ(g.x, 150 + 30 - (10 + 5));
        EXPECT_EQ(g.y, 20 + 40 - (10 + 6));
    }
    EXPECT_TRUE(down && up);

    // Released, the other panel has its clicks again; a freed holder lets go by itself.
    spot->SetMouseCapture(false);
    EXPECT_EQ(GetCapture(), nullptr);
    w.b->Peer()->click(30, 40);
    EXPECT_EQ(bDowns, 1);
    spot->SetMouseCapture(true);
    delete spot;
    EXPECT_EQ(GetCapture(), nullptr);
}
