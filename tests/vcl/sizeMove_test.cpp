// Moving and resizing a top-level window with the mouse as the window system does it: a press
// asks the window's hit test through its window procedure; the caption moves the window, a
// sizing border resizes it, and the window hears where it went.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <ostream>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/metrics.h"
#include "platform/user/window.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/peer.h"
#include "platform/vcl/stdctrls.h"

// Rectangles compare and print by their edges.
static bool operator==(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}
static void PrintTo(const TRect& r, std::ostream* os) {
    *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")";
}

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Takes over a window's procedure and notes every message that reaches it.
struct Spy {
    HWND hwnd;
    std::shared_ptr<WNDPROC> previous;
    std::vector<UINT> seen;
    std::vector<std::pair<UINT, LPARAM>> moves;  // WM_MOVE and WM_SIZE with their lParam
    std::function<void(UINT, WPARAM, LPARAM)> before;
    explicit Spy(HWND h) : hwnd(h) {
        previous = SetWindowProc(
            h, std::make_shared<WNDPROC>([this](HWND w, UINT m, WPARAM wp, LPARAM lp) {
                seen.push_back(m);
                if (m == WM_MOVE || m == WM_SIZE) moves.emplace_back(m, lp);
                if (before) before(m, wp, lp);
                return CallWindowProcA(previous, w, m, wp, lp);
            }));
    }
    ~Spy() {
        if (IsWindow(hwnd)) SetWindowProc(hwnd, previous);
    }
    bool Saw(UINT m) const { return std::find(seen.begin(), seen.end(), m) != seen.end(); }
};

// A form the window system reports to as a window manager would after moving it.
struct ReportedForm : TForm {
    using TForm::TForm;
    void PlacedFromOutside(int l, int t, int w, int h) {
        static_cast<ws::PeerHost&>(*this).peerPlaced(l, t, w, h);
    }
};

struct ShownForm {
    ReportedForm form{nullptr};
    int downs = 0;
    explicit ShownForm(TFormBorderStyle style) {
        form.SetBorderStyle(style);
        form.SetBounds(100, 80, 300, 200);
        form.OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++downs; };
        form.Show();
    }
    ~ShownForm() { form.Hide(); }
    // A left-button drag from a screen point, in two steps.
    void Drag(int x, int y, int dx, int dy) {
        ws::Peer* p = form.Peer();
        p->sendMouse(WM_LBUTTONDOWN, x, y);
        p->sendMouse(WM_MOUSEMOVE, x + dx / 2, y + dy / 2);
        p->sendMouse(WM_MOUSEMOVE, x + dx, y + dy);
        p->sendMouse(WM_LBUTTONUP, x + dx, y + dy);
    }
    RECT Rect() {
        RECT r{};
        EXPECT_TRUE(GetWindowRect(form.Handle(), &r));
        return r;
    }
    TRect Bounds() const { return form.BoundsRect(); }
};

bool Same(const RECT& a, const TRect& b) {
    return a.left == b.Left && a.top == b.Top && a.right == b.Right && a.bottom == b.Bottom;
}

}  // namespace

TEST(SizeMove, DraggingTheCaptionMovesTheWindowAndTellsIt) {
    ShownForm f(bsSizeable);
    Spy spy(f.form.Handle());
    f.Drag(150, 90, 40, 25);  // in the caption, below the top border
    EXPECT_EQ(f.Bounds(), Rect(140, 105, 440, 305));
    EXPECT_TRUE(Same(f.Rect(), f.Bounds()));
    for (UINT m : {UINT(WM_NCHITTEST), UINT(WM_NCLBUTTONDOWN), UINT(WM_MOVING),
                   UINT(WM_WINDOWPOSCHANGED), UINT(WM_MOVE), UINT(WM_CAPTURECHANGED)})
        EXPECT_TRUE(spy.Saw(m)) << std::hex << m;
    EXPECT_FALSE(spy.Saw(WM_SIZE));       // moved, not sized
    EXPECT_FALSE(spy.Saw(WM_LBUTTONUP));  // the tracking took the release
    EXPECT_EQ(f.downs, 0);
    // WM_MOVE gives the client area's new origin.
    ASSERT_FALSE(spy.moves.empty());
    const TPoint origin = f.form.ClientOrigin();
    EXPECT_EQ(spy.moves.back().second, MAKELPARAM_XY(origin.X, origin.Y));
    EXPECT_EQ(origin.X, 140 + GetSystemMetrics(SM_CXFRAME));
}

TEST(SizeMove, DraggingASizingBorderResizesTheWindow) {
    const int minW = GetSystemMetrics(SM_CXMINTRACK), minH = GetSystemMetrics(SM_CYMINTRACK);
    struct Row {
        const char* what;
        int x, y, dx, dy;
        TRect expected;
    };
    // The form lies at 100, 80 and is 300 by 200; its sizing frame is 4 pixels wide.
    const Row rows[] = {
        {"right", 399, 180, 30, 5, Rect(100, 80, 430, 280)},
        {"left", 101, 180, -20, 9, Rect(80, 80, 400, 280)},
        {"top", 250, 81, 7, -10, Rect(100, 70, 400, 280)},
        {"bottom", 250, 278, 0, 15, Rect(100, 80, 400, 295)},
        {"bottom-right", 399, 279, 10, 20, Rect(100, 80, 410, 300)},
        {"top-left corner along the top", 110, 80, 5, 6, Rect(105, 86, 400, 280)},
        {"top-right", 398, 81, -50, 40, Rect(100, 120, 350, 280)},
        {"bottom-left", 102, 278, 25, -30, Rect(125, 80, 400, 250)},
        {"right, no smaller than the smallest width", 399, 180, -280, 0,
         Rect(100, 80, 100 + minW, 280)},
        {"left, no smaller than the smallest width", 100, 180, 290, 0,
         Rect(400 - minW, 80, 400, 280)},
        {"bottom, no smaller than the smallest height", 250, 279, 0, -250,
         Rect(100, 80, 400, 80 + minH)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ShownForm f(bsSizeable);
        Spy spy(f.form.Handle());
        f.Drag(row.x, row.y, row.dx, row.dy);
        EXPECT_EQ(f.Bounds(), row.expected);
        EXPECT_TRUE(Same(f.Rect(), row.expected));
        EXPECT_TRUE(spy.Saw(WM_SIZING));
        // The window hears its new client size.
        ASSERT_FALSE(spy.moves.empty());
        bool sized = false;
        for (const auto& [m, lp] : spy.moves)
            if (m == WM_SIZE)
                sized = lp == MAKELPARAM_XY(f.form.ClientWidth(), f.form.ClientHeight());
        EXPECT_TRUE(sized);
        EXPECT_EQ(f.downs, 0);
    }
}

TEST(SizeMove, AFixedBorderAndTheClientAreaDoNotMoveTheWindow) {
    ShownForm f(bsSingle);
    f.Drag(100, 180, -30, 0);  // the fixed border: nothing happens
    EXPECT_EQ(f.Bounds(), Rect(100, 80, 400, 280));
    f.Drag(250, 200, 30, 30);  // the client area: a press of the form's own
    EXPECT_EQ(f.Bounds(), Rect(100, 80, 400, 280));
    EXPECT_EQ(f.downs, 1);
    f.Drag(250, 88, 30, 30);  // its caption moves it
    EXPECT_EQ(f.Bounds(), Rect(130, 110, 430, 310));
}

TEST(SizeMove, TheWindowMayChangeTheProposedRectangle) {
    ShownForm f(bsSizeable);
    Spy spy(f.form.Handle());
    // Widths in steps of 50, and no moving above y 60.
    spy.before = [](UINT m, WPARAM, LPARAM l) {
        auto* r = reinterpret_cast<RECT*>(l);
        if (m == WM_SIZING) r->right = r->left + (r->right - r->left) / 50 * 50;
        if (m == WM_MOVING && r->top < 60) {
            r->bottom += 60 - r->top;
            r->top = 60;
        }
    };
    f.Drag(399, 180, 37, 0);
    EXPECT_EQ(f.Bounds(), Rect(100, 80, 400, 280));  // 337 wide is 300 in steps of 50
    f.Drag(399, 180, 60, 0);
    EXPECT_EQ(f.Bounds(), Rect(100, 80, 450, 280));
    f.Drag(150, 90, 10, -50);
    EXPECT_EQ(f.Bounds(), Rect(110, 60, 460, 260));
}

TEST(SizeMove, FormsReportTheirPlaceAndSetWindowPosMovesThem) {
    ShownForm f(bsSizeable);
    RECT r{};
    ASSERT_TRUE(GetWindowRect(f.form.Handle(), &r));
    EXPECT_TRUE(Same(r, Rect(100, 80, 400, 280)));
    ASSERT_TRUE(GetClientRect(f.form.Handle(), &r));
    EXPECT_EQ(r.right, f.form.ClientWidth());
    EXPECT_EQ(r.bottom, f.form.ClientHeight());

    auto* button = new TButton(&f.form);  // a child window lies in its parent's client area
    button->SetParent(&f.form);
    button->SetBounds(10, 20, 75, 25);
    const TPoint origin = f.form.ClientOrigin();
    ASSERT_TRUE(GetWindowRect(button->Handle(), &r));
    EXPECT_TRUE(Same(r, Rect(origin.X + 10, origin.Y + 20, origin.X + 85, origin.Y + 45)));

    ASSERT_TRUE(SetWindowPos(f.form.Handle(), nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    EXPECT_EQ(f.Bounds(), Rect(20, 30, 320, 230));
    ASSERT_TRUE(SetWindowPos(f.form.Handle(), nullptr, 0, 0, 250, 150, SWP_NOMOVE | SWP_NOZORDER));
    EXPECT_EQ(f.Bounds(), Rect(20, 30, 270, 180));
    ASSERT_TRUE(GetWindowRect(f.form.Handle(), &r));
    EXPECT_TRUE(Same(r, Rect(20, 30, 270, 180)));
    EXPECT_FALSE(GetWindowRect(reinterpret_cast<HWND>(uintptr_t(0x7)), &r));
}

// Moved from outside the program (a window manager, another program), the window hears it as
// it hears its own moves, and its caption drags it from where it is now.
TEST(SizeMove, AWindowMovedFromOutsideFollowsAndDragsFromThere) {
    struct Row {
        const char* what;
        TFormBorderStyle style;
        int captionY;  // a caption row, from the window's top
    };
    const Row rows[] = {{"a sizing frame", bsSizeable, 10}, {"a dialog frame", bsDialog, 8}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ShownForm f(row.style);
        Spy spy(f.form.Handle());
        f.form.PlacedFromOutside(100, 80, 300, 200);  // where it is already: no news
        EXPECT_TRUE(spy.seen.empty());
        f.form.PlacedFromOutside(420, 330, 300, 200);
        EXPECT_EQ(f.Bounds(), Rect(420, 330, 720, 530));
        EXPECT_TRUE(Same(f.Rect(), f.Bounds()));
        EXPECT_TRUE(spy.Saw(WM_WINDOWPOSCHANGED));
        ASSERT_FALSE(spy.moves.empty());
        const TPoint origin = f.form.ClientOrigin();
        EXPECT_EQ(spy.moves.back(),
                  std::make_pair(UINT(WM_MOVE), MAKELPARAM_XY(origin.X, origin.Y)));
        EXPECT_FALSE(spy.Saw(WM_SIZE));
        // The caption at the new place, not the old one, takes the press.
        f.Drag(150, 80 + row.captionY, 40, 25);
        EXPECT_EQ(f.Bounds(), Rect(420, 330, 720, 530));
        f.Drag(470, 330 + row.captionY, 40, 25);
        EXPECT_EQ(f.Bounds(), Rect(460, 355, 760, 555));
        // The program's own move goes back to the window system.
        f.form.SetBounds(100, 80, 300, 200);
        EXPECT_TRUE(Same(f.Rect(), Rect(100, 80, 400, 280)));
        EXPECT_EQ(f.downs, 0);
    }
}

// Sized from outside, a sizeable window takes the new size and hears WM_SIZE.
TEST(SizeMove, AWindowSizedFromOutsideHearsItsNewSize) {
    ShownForm f(bsSizeable);
    Spy spy(f.form.Handle());
    f.form.PlacedFromOutside(100, 80, 360, 250);
    EXPECT_EQ(f.Bounds(), Rect(100, 80, 460, 330));
    EXPECT_TRUE(Same(f.Rect(), f.Bounds()));
    ASSERT_FALSE(spy.moves.empty());
    EXPECT_EQ(
        spy.moves.back(),
        std::make_pair(UINT(WM_SIZE), MAKELPARAM_XY(f.form.ClientWidth(), f.form.ClientHeight())));
    for (const auto& m : spy.moves) EXPECT_NE(m.first, UINT(WM_MOVE));  // not moved
}
