// A window is destroyed with its children, as on Windows: WM_DESTROY to it first, then to
// its children, WM_NCDESTROY to the children and last to it; no handle of the tree lives on.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/user/messages.h"
#include "platform/user/window.h"

namespace {

std::vector<std::string> g_heard;
std::map<HWND, std::string> g_names;
std::function<void(HWND, UINT)> g_also;  // what a test does on hearing a message

HWND Make(const std::string& name, HWND parent) {
    HWND h = CreateWindowObject(
        "TEST", parent,
        [](HWND h, UINT msg, WPARAM, LPARAM) -> LRESULT {
            if (msg == WM_DESTROY || msg == WM_NCDESTROY) {
                g_heard.push_back(g_names[h] + (msg == WM_DESTROY ? " destroy" : " ncdestroy"));
                if (g_also) g_also(h, msg);
            }
            return 0;
        },
        nullptr);
    g_names[h] = name;
    return h;
}

struct Tree {
    HWND top, a, a1, a2, b;
    Tree() {
        g_heard.clear();
        g_also = nullptr;
        top = Make("top", nullptr);
        a = Make("a", top);
        a1 = Make("a1", a);
        a2 = Make("a2", a);
        b = Make("b", top);
    }
    std::vector<HWND> all() const { return {top, a, a1, a2, b}; }
};

using Heard = std::vector<std::string>;

}  // namespace

TEST(DestroyWindow, ChildrenGoWithTheirParentInWindowsOrder) {
    Tree t;
    EXPECT_EQ(DestroyWindow(t.top), 1);
    EXPECT_EQ(g_heard, (Heard{"top destroy", "a destroy", "a1 destroy", "a2 destroy", "b destroy",
                              "a1 ncdestroy", "a2 ncdestroy", "a ncdestroy", "b ncdestroy",
                              "top ncdestroy"}));
    for (HWND h : t.all()) {
        EXPECT_FALSE(IsWindow(h)) << g_names[h];
        EXPECT_EQ(GetWindowProc(h), nullptr) << g_names[h];
        EXPECT_EQ(DestroyWindow(h), 0) << g_names[h];
    }
}

TEST(DestroyWindow, AChildGoesAloneAndItsParentStays) {
    Tree t;
    EXPECT_EQ(DestroyWindow(t.a), 1);
    EXPECT_EQ(g_heard, (Heard{"a destroy", "a1 destroy", "a2 destroy", "a1 ncdestroy",
                              "a2 ncdestroy", "a ncdestroy"}));
    EXPECT_TRUE(IsWindow(t.top));
    EXPECT_TRUE(IsWindow(t.b));
    EXPECT_EQ(FindWindowExA(t.top, nullptr, nullptr, nullptr), t.b);
    EXPECT_FALSE(IsWindow(t.a1));
    DestroyWindow(t.top);
}

TEST(DestroyWindow, HandlersThatDestroyDuringTheDestruction) {
    struct Row {
        const char* name;
        std::function<void(Tree&, HWND, UINT)> also;
        Heard heard;
    };
    const Row rows[] = {
        {"the window destroys itself again from its WM_DESTROY",
         [](Tree& t, HWND h, UINT msg) {
             if (h == t.top && msg == WM_DESTROY) {
                 EXPECT_EQ(DestroyWindow(t.top), 1);
             }
         },
         {"top destroy", "a destroy", "a1 destroy", "a2 destroy", "b destroy", "a1 ncdestroy",
          "a2 ncdestroy", "a ncdestroy", "b ncdestroy", "top ncdestroy"}},
        {"the parent's WM_DESTROY destroys a child by hand, as older callers do",
         [](Tree& t, HWND h, UINT msg) {
             if (h == t.top && msg == WM_DESTROY) DestroyWindow(t.b);
         },
         {"top destroy", "b destroy", "b ncdestroy", "a destroy", "a1 destroy", "a2 destroy",
          "a1 ncdestroy", "a2 ncdestroy", "a ncdestroy", "top ncdestroy"}},
        {"a child's WM_DESTROY destroys its sibling",
         [](Tree& t, HWND h, UINT msg) {
             if (h == t.a && msg == WM_DESTROY) DestroyWindow(t.b);
         },
         {"top destroy", "a destroy", "b destroy", "b ncdestroy", "a1 destroy", "a2 destroy",
          "a1 ncdestroy", "a2 ncdestroy", "a ncdestroy", "top ncdestroy"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Tree t;
        g_also = [&](HWND h, UINT msg) { row.also(t, h, msg); };
        EXPECT_EQ(DestroyWindow(t.top), 1);
        g_also = nullptr;
        EXPECT_EQ(g_heard, row.heard);
        for (HWND h : t.all()) EXPECT_FALSE(IsWindow(h)) << g_names[h];
    }
}

TEST(DestroyWindow, TimersAndPostedMessagesOfTheChildrenGoToo) {
    Tree t;
    SetTimer(t.a1, 7, 10, nullptr);
    PostMessageA(t.b, WM_USER + 1, 0, 0);
    DestroyWindow(t.top);
    EXPECT_EQ(KillTimer(t.a1, 7), 0);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) EXPECT_NE(m.hwnd, t.b);
}
