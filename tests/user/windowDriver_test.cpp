// The window manager over its driver, without any window system: what it asks of the driver
// and what windows hear, and that nothing breaks before a driver is installed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/user/messages.h"
#include "platform/user/window.h"
#include "platform/user/windowDriver.h"

namespace {

// A pretend window system: widgets are rectangles on a screen.
struct Widget {
    RECT window, client;
};
std::vector<std::string> g_calls;

WindowDriver FakeDriver() {
    WindowDriver d;
    d.screenRect = [](void* p, bool client, RECT* r) {
        *r = client ? static_cast<Widget*>(p)->client : static_cast<Widget*>(p)->window;
        return true;
    };
    d.setGeometry = [](void* p, int x, int y, int w, int h) {
        g_calls.push_back("geometry " + std::to_string(x) + "," + std::to_string(y) + " " +
                          std::to_string(w) + "x" + std::to_string(h));
        auto* wd = static_cast<Widget*>(p);
        wd->window = RECT{x, y, x + w, y + h};
        wd->client = RECT{x + 4, y + 24, x + w - 4, y + h - 4};
    };
    d.setRedraw = [](void*, bool on) { g_calls.push_back(on ? "redraw on" : "redraw off"); };
    d.beginSizeMove = [](HWND, int hit, int sx, int sy) {
        g_calls.push_back("track " + std::to_string(hit) + " at " + std::to_string(sx) + "," +
                          std::to_string(sy));
        return true;
    };
    return d;
}

struct Heard {
    std::vector<UINT> msgs;
    LPARAM moveTo = 0;
};

HWND MakeWindow(Heard& heard, void* peer) {
    HWND h = CreateWindowObject(
        "Test", nullptr,
        [&heard](HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
            heard.msgs.push_back(msg);
            if (msg == WM_MOVE) heard.moveTo = l;
            return DefWindowProcA(hwnd, msg, w, l);
        },
        nullptr);
    WindowFromHandle(h)->peer = peer;
    return h;
}

}  // namespace

TEST(WindowDriver, BeforeOneIsInstalledEveryCallAnswersNoAndNothingBreaks) {
    InstallWindowDriver(WindowDriver{});
    Widget widget{};
    Heard heard;
    HWND h = MakeWindow(heard, &widget);
    RECT r{1, 2, 3, 4};
    EXPECT_FALSE(GetWindowRect(h, &r));
    EXPECT_FALSE(GetClientRect(h, &r));
    EXPECT_EQ(DefWindowProcA(h, WM_SETREDRAW, 0, 0), 0);
    EXPECT_EQ(DefWindowProcA(h, WM_NCLBUTTONDOWN, HTCAPTION, 0), 0);
    EXPECT_FALSE(WindowSystem().started());
    WindowSystem().processEvents(false, 0);
    DestroyWindow(h);
}

TEST(WindowDriver, AWindowOfTheWindowSystemIsPlacedByItAndHearsWhereItIsNow) {
    InstallWindowDriver(FakeDriver());
    g_calls.clear();
    Widget widget{RECT{100, 50, 300, 250}, RECT{104, 74, 296, 246}};
    Heard heard;
    HWND h = MakeWindow(heard, &widget);
    struct Row {
        int x, y, cx, cy;
        UINT flags;
        std::string call;
        bool moved;
        int clientX, clientY;
    };
    const Row rows[] = {
        {10, 20, 0, 0, SWP_NOSIZE, "geometry 10,20 200x200", true, 14, 44},
        {0, 0, 120, 80, SWP_NOMOVE, "geometry 10,20 120x80", false, 0, 0},
        {10, 20, 120, 80, 0, "geometry 10,20 120x80", false, 0, 0},  // the same place: no move
    };
    for (const Row& r : rows) {
        heard = Heard{};
        g_calls.clear();
        ASSERT_TRUE(SetWindowPos(h, nullptr, r.x, r.y, r.cx, r.cy, r.flags));
        ASSERT_EQ(g_calls, std::vector<std::string>{r.call});
        ASSERT_FALSE(heard.msgs.empty());
        EXPECT_EQ(heard.msgs.front(), UINT(WM_WINDOWPOSCHANGED));
        const bool moved =
            std::find(heard.msgs.begin(), heard.msgs.end(), UINT(WM_MOVE)) != heard.msgs.end();
        EXPECT_EQ(moved, r.moved) << r.call;
        if (r.moved) {
            EXPECT_EQ(GET_X_LPARAM(heard.moveTo), r.clientX);
            EXPECT_EQ(GET_Y_LPARAM(heard.moveTo), r.clientY);
        }
    }
    RECT rect;
    ASSERT_TRUE(GetClientRect(h, &rect));
    EXPECT_EQ(rect.right, 112);
    EXPECT_EQ(rect.bottom, 52);
    DestroyWindow(h);
    InstallWindowDriver(WindowDriver{});
}

TEST(WindowDriver, RedrawAndCaptionPressesGoToTheDriverOnlyForWindowsItShows) {
    InstallWindowDriver(FakeDriver());
    g_calls.clear();
    Widget widget{};
    Heard heard;
    HWND shown = MakeWindow(heard, &widget);
    HWND utility = MakeWindow(heard, nullptr);  // no widget: the window system knows nothing of it
    SendMessageA(shown, WM_SETREDRAW, 0, 0);
    SendMessageA(utility, WM_SETREDRAW, 0, 0);
    SendMessageA(shown, WM_SETREDRAW, 1, 0);
    SendMessageA(shown, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM_XY(-5, 7));
    EXPECT_EQ(g_calls, (std::vector<std::string>{"redraw off", "redraw on", "track 2 at -5,7"}));
    DestroyWindow(shown);
    DestroyWindow(utility);
    InstallWindowDriver(WindowDriver{});
}
