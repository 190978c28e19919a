// Controls: click semantics set from code, messages through WindowProc, timers and waits.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/win/wake.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
// Set up once, after every global of the program exists.
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);
}  // namespace

TEST(Buttons, RadioFromCodeActsLikeAClickCheckBoxBothWays) {
    TForm form(nullptr);
    auto* a = new TRadioButton(&form);
    auto* b = new TRadioButton(&form);
    auto* c = new TCheckBox(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    c->SetParent(&form);
    int aClicks = 0, bClicks = 0, cClicks = 0;
    a->OnClick = [&](TObject*) { ++aClicks; };
    b->OnClick = [&](TObject*) { ++bClicks; };
    c->OnClick = [&](TObject*) { ++cClicks; };
    a->SetChecked(true);
    EXPECT_EQ(aClicks, 1);
    b->SetChecked(true);
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(bClicks, 1);
    EXPECT_EQ(aClicks, 1);  // turning off runs nothing
    b->SetChecked(false);
    EXPECT_EQ(bClicks, 1);
    c->SetChecked(true);
    c->SetChecked(false);
    c->SetChecked(false);  // unchanged: nothing
    EXPECT_EQ(cClicks, 2);
}

TEST(Messages, WindowProcCanBeTakenOverAndGivenBack) {
    TForm form(nullptr);
    std::vector<UINT> seen;
    TWndMethod old = form.WindowProc;
    form.WindowProc = [&](TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == WM_USER + 1) {
            m.Result = 42;
            return;
        }
        old(m);
    };
    EXPECT_EQ(form.Perform(WM_USER + 1), 42);
    form.Perform(WM_USER + 2);
    form.WindowProc = old;
    form.Perform(WM_USER + 3);
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    // Messages sent to the window handle reach the same chain.
    EXPECT_EQ(SendMessageA(form.Handle(), WM_USER + 4, 0, 0), 0);
}

TEST(Messages, PostedInOrderBeforeTimers) {
    TForm form(nullptr);
    HWND h = form.Handle();
    std::vector<UINT> seen;
    TWndMethod old = form.WindowProc;
    form.WindowProc = [&](TMessage& m) {
        if (m.Msg >= WM_USER) seen.push_back(m.Msg);
        old(m);
    };
    PostMessageA(h, WM_USER + 1, 0, 0);
    PostMessageA(h, WM_USER + 2, 0, 0);
    Application->ProcessMessages();
    EXPECT_EQ(seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    form.WindowProc = old;
}

TEST(Timers, FireThroughTheMessageLoopAndStop) {
    TTimer timer(nullptr);
    int ticks = 0;
    timer.SetInterval(20);
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) timer.SetEnabled(false);
    };
    timer.SetEnabled(true);
    while (ticks < 3) Application->HandleMessage();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.Enabled());
}

TEST(Waits, AWakeFdEndsTheWaitForTheNextMessage) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    RegisterWakeFd(fds[0]);
    // Without the fd this wait would idle until some other message arrived.
    ASSERT_EQ(write(fds[1], "x", 1), 1);
    Application->HandleMessage();
    UnregisterWakeFd(fds[0]);
    close(fds[0]);
    close(fds[1]);
    SUCCEED();
}

TEST(Drawing, LabelAutoSizeFollowsWrappedText) {
    TForm form(nullptr);
    auto* l = new TLabel(&form);
    l->SetParent(&form);
    l->WordWrap = true;
    l->SetCaption("一行");
    l->SetWidth(291);
    l->SetAutoSize(true);
    int one = l->Height();
    l->SetCaption("一行\n两行\n三行");
    EXPECT_GT(l->Height(), 2 * one);
    EXPECT_EQ(l->Width(), 291);
}

TEST(Drawing, ScreenshotShowsPaintedColours) {
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(0, 0, 60, 40);
    form.SetColor(clBlack);
    auto* p = new TPanel(&form);
    p->SetParent(&form);
    p->SetBounds(10, 10, 20, 20);
    p->BevelOuter = TBevelCut::bvNone;
    p->SetColor(clRed);
    form.Show();
    Application->ProcessMessages();
    std::string png = "/tmp/vx-shot-" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(form.SaveScreenshot(png));
    TBitmap bmp;
    bmp.LoadFromFile(png);
    EXPECT_EQ(bmp.Width(), 60);
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixel(2, 2)), COLORREF(clBlack));
    EXPECT_EQ(ColorToRGB(bmp.Canvas()->Pixel(20, 20)), COLORREF(clRed));
    unlink(png.c_str());
    form.Hide();
}
