// Message delivery of the class library: handles that cannot be mistaken, posted messages
// of a destroyed window dropped, timers after posted messages, and exceptions from event
// handlers reaching the application's handler instead of being swallowed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

// A window of its own that records the user messages it receives.
struct Recorder {
    std::vector<UINT> seen;
    HWND hwnd = CreateWindowObject(
        "TRecorder", nullptr,
        [this](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
            if (msg >= WM_USER) seen.push_back(msg);
            return 0;
        },
        nullptr);
};

// Catches what the application's exception handler is given.
struct ExceptionCatcher {
    std::vector<std::string> messages;
    TExceptionEvent saved = Application->OnException;
    ExceptionCatcher() {
        Application->OnException = [this](TObject*, Exception& e) {
            messages.push_back(e.Message);
        };
    }
    ~ExceptionCatcher() { Application->OnException = saved; }
};

// A form whose window-system entry points the test calls as the window system would.
struct InputForm : TForm {
    using TForm::TForm;
    using TWinControl::peerKey;
    using TWinControl::peerMouse;
};

}  // namespace

TEST(Handles, ADestroyedWindowStaysInvalidWhenItsMemoryIsReused) {
    std::vector<HWND> old;
    for (int i = 0; i < 50; ++i) {
        auto r = std::make_unique<Recorder>();
        old.push_back(r->hwnd);
        DestroyWindow(r->hwnd);
    }
    // New windows take the freed memory; none of the old handles may come back to life.
    std::vector<std::unique_ptr<Recorder>> live;
    for (int i = 0; i < 50; ++i) live.push_back(std::make_unique<Recorder>());
    for (HWND h : old) {
        EXPECT_FALSE(IsWindow(h));
        EXPECT_EQ(WindowFromHandle(h), nullptr);
        EXPECT_EQ(SendMessageA(h, WM_USER + 1, 0, 0), 0);
        EXPECT_FALSE(PostMessageA(h, WM_USER + 1, 0, 0));
    }
    Application->ProcessMessages();
    for (auto& r : live) {
        EXPECT_TRUE(IsWindow(r->hwnd));
        EXPECT_TRUE(r->seen.empty());
        DestroyWindow(r->hwnd);
    }
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST(Delivery, MessagesPostedToADestroyedWindowAreDropped) {
    Recorder gone, stays;
    PostMessageA(gone.hwnd, WM_USER + 1, 0, 0);
    PostMessageA(stays.hwnd, WM_USER + 2, 0, 0);
    PostMessageA(gone.hwnd, WM_USER + 3, 0, 0);
    DestroyWindow(gone.hwnd);
    Recorder after;  // a window made later must not inherit them either
    Application->ProcessMessages();
    EXPECT_TRUE(gone.seen.empty());
    EXPECT_TRUE(after.seen.empty());
    EXPECT_EQ(stays.seen, (std::vector<UINT>{WM_USER + 2}));
    DestroyWindow(stays.hwnd);
    DestroyWindow(after.hwnd);
}

TEST(Delivery, ADueTimerWaitsForEveryPostedMessage) {
    Recorder r;
    std::vector<UINT> order;
    auto proc = GetWindowProc(r.hwnd);
    SetWindowProc(r.hwnd,
                  std::make_shared<WNDPROC>([&](HWND h, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
                      if (msg == WM_TIMER || msg >= WM_USER) order.push_back(msg);
                      if (msg == WM_TIMER) KillTimer(h, 7);
                      return CallWindowProcA(proc, h, msg, w, l);
                  }));
    SetTimer(r.hwnd, 7, 1, nullptr);
    // Let the timer fall due before anything is posted.
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 20) {}
    for (UINT m = WM_USER + 1; m <= WM_USER + 3; ++m) PostMessageA(r.hwnd, m, 0, 0);
    for (int i = 0; i < 200 && order.size() < 4; ++i) Application->HandleMessage();
    ASSERT_EQ(order.size(), 4u) << "the timer never fired";
    EXPECT_EQ(order, (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_USER + 3, UINT(WM_TIMER)}));
    DestroyWindow(r.hwnd);
}

TEST(EventExceptions, ReachTheApplicationFromMouseKeyAndPaintHandlers) {
    ExceptionCatcher caught;
    InputForm form(nullptr);
    form.SetBounds(0, 0, 80, 60);
    form.OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) {
        throw Exception("mouse");
    };
    form.OnKeyDown = [](TObject*, WORD&, TShiftState) { throw Exception("key"); };
    struct Throwing : TCustomControl {
        using TCustomControl::TCustomControl;
        void Paint() override { throw Exception("paint"); }
    };
    auto* painted = new Throwing(&form);
    painted->SetParent(&form);
    painted->SetBounds(0, 0, 20, 20);
    form.Show();
    Application->ProcessMessages();
    form.peerMouse(WM_LBUTTONDOWN, 40, 40, 1);
    form.peerMouse(WM_LBUTTONUP, 40, 40, 0);
    form.peerKey(WM_KEYDOWN, 'A', 0);
    // Off screen a window paints when it is grabbed.
    const std::string shot = ::testing::TempDir() + "vx-throwing-paint.png";
    form.SaveScreenshot(shot);
    std::remove(shot.c_str());
    const auto has = [&](const std::string& m) {
        return std::find(caught.messages.begin(), caught.messages.end(), m) !=
               caught.messages.end();
    };
    EXPECT_TRUE(has("mouse"));
    EXPECT_TRUE(has("key"));
    EXPECT_TRUE(has("paint"));
    form.Hide();
}
