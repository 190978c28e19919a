// Borders drawn with the platform's 3D edges and push-button frames, classic and themed.
#include <gtest/gtest.h>

#include "controls/styled/styApplication.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/styThemeLoader.h"
#include "platform/win/theme.h"
#include "tests/styled/styDrawSupport.h"

namespace {

TEST(StyBorder, WidthsAndShrinking) {
    EXPECT_EQ(BorderWidthOf(lsNone), 0);
    EXPECT_EQ(BorderWidthOf(lsSingle), 1);
    EXPECT_EQ(BorderWidthOf(lsSingleRaised), 1);
    EXPECT_EQ(BorderWidthOf(lsSingleLowered), 1);
    EXPECT_EQ(BorderWidthOf(lsRaised), 2);
    EXPECT_EQ(BorderWidthOf(lsDoubleLowered), 2);
    struct Row {
        TStyBorderStyle style;
        TRect after;
    };
    for (Row row : {Row{lsNone, Rect(0, 0, 10, 10)}, Row{lsLowered, Rect(2, 2, 8, 8)},
                    Row{lsRaisedspb, Rect(1, 1, 8, 8)}, Row{lsRaisedExt, Rect(2, 2, 8, 8)},
                    Row{lsLoweredExt, Rect(2, 2, 8, 8)}, Row{lsWindowBorder, Rect(2, 2, 8, 8)},
                    Row{lsSingleRaised, Rect(1, 1, 9, 9)}, Row{lsDoubleLowered, Rect(2, 2, 8, 8)},
                    Row{lsFrameOffset, Rect(2, 2, 8, 8)}}) {
        TestBitmap t(10, 10);
        TRect r = Rect(0, 0, 10, 10);
        EXPECT_TRUE(DrawBorder(t.C(), r, row.style, 0));
        EXPECT_EQ(r.Left, row.after.Left) << int(row.style);
        EXPECT_EQ(r.Top, row.after.Top) << int(row.style);
        EXPECT_EQ(r.Right, row.after.Right) << int(row.style);
        EXPECT_EQ(r.Bottom, row.after.Bottom) << int(row.style);
    }
}

TEST(StyBorder, SingleRaisedAndLoweredCorners) {
    const std::vector<TColor> colors{clBtnHighlight, clBtnShadow, clWhite};
    TestBitmap up(5, 5, clWhite);
    TRect r = Rect(0, 0, 5, 5);
    DrawBorder(up.C(), r, lsSingleRaised, 0);
    up.Fill(Rect(1, 1, 4, 4), clWhite);
    EXPECT_EQ(up.At(0, 0), RGBOf(clBtnHighlight));
    EXPECT_EQ(up.At(4, 4), RGBOf(clBtnShadow));
    EXPECT_EQ(up.At(2, 0), RGBOf(clBtnHighlight));
    EXPECT_EQ(up.At(4, 2), RGBOf(clBtnShadow));

    TestBitmap down(5, 5, clWhite);
    r = Rect(0, 0, 5, 5);
    DrawBorder(down.C(), r, lsSingleLowered, 0);
    EXPECT_EQ(down.At(0, 0), RGBOf(clBtnShadow));
    EXPECT_EQ(down.At(4, 4), RGBOf(clBtnHighlight));
}

// ---------------------------------------------------------------- button frames

TEST(StyButtonFrame, ClassicContentRectangles) {
    struct Row {
        TStyUserButtonStyle style;
        uint8_t state;
        uint16_t flags;
        TRect content;
    };
    for (Row row :
         {Row{ubsWin40, 0, bf3D, Rect(3, 3, 17, 17)}, Row{ubsWin40, 4, bf3D, Rect(4, 4, 18, 18)},
          Row{ubsWin40, 0, bf3D | bfDefault, Rect(4, 4, 16, 16)},
          Row{ubsFlat, 0, 0, Rect(3, 3, 17, 17)},
          Row{ubsWin31, 3, bfRoundCorners, Rect(4, 4, 18, 18)},
          Row{ubsIntegrated, 0, 0, Rect(3, 3, 17, 17)}, Row{ubsDelphi, 6, 0, Rect(4, 4, 18, 18)}}) {
        TestBitmap t(20, 20);
        TRect r = Rect(0, 0, 20, 20);
        EXPECT_TRUE(
            DrawClassicButtonFrame(t.C(), false, r, row.style, row.state, row.flags, clSilver));
        EXPECT_EQ(r.Left, row.content.Left) << int(row.style) << "/" << int(row.state);
        EXPECT_EQ(r.Top, row.content.Top);
        EXPECT_EQ(r.Right, row.content.Right);
        EXPECT_EQ(r.Bottom, row.content.Bottom);
        EXPECT_EQ(t.At(10, 10), row.state == 3 ? t.At(10, 10) : RGBOf(clSilver));
    }
}

TEST(StyButtonFrame, LatchedButtonsUseThePattern) {
    TestBitmap t(20, 20);
    TRect r = Rect(0, 0, 20, 20);
    DrawClassicButtonFrame(t.C(), false, r, ubsWin40, 3, bf3D, clRed);
    EXPECT_NE(t.At(9, 10), t.At(10, 10));  // alternating pattern pixels
    EXPECT_EQ(t.At(9, 9), t.At(10, 10));
}

TEST(StyButtonFrame, PlainPressedLookKeepsTheLatchedPattern) {
    struct Row {
        uint8_t state;
        bool checkered;
    };
    // The plain look (Win40 without 3D): black and grey rectangles filled with the
    // background brush, the checker pattern for a latched button only.
    for (Row row : {Row{3, true}, Row{4, false}, Row{6, false}, Row{7, false}}) {
        SCOPED_TRACE(int(row.state));
        TestBitmap t(20, 20, clWhite);
        TRect r = Rect(0, 0, 20, 20);
        ASSERT_TRUE(DrawClassicButtonFrame(t.C(), false, r, ubsWin40, row.state, 0, clRed));
        EXPECT_EQ(t.At(0, 10), 0x000000u);
        EXPECT_EQ(t.At(10, 0), 0x000000u);
        EXPECT_EQ(t.At(1, 10), 0x808080u);
        EXPECT_EQ(t.At(18, 10), 0x808080u);
        std::set<COLORREF> inside;
        for (int y = 2; y < 18; ++y)
            for (int x = 2; x < 18; ++x) inside.insert(t.At(x, y));
        EXPECT_TRUE(inside.count(RGBOf(clRed)));
        if (row.checkered) {
            EXPECT_EQ(inside.size(), 2u);
            for (int y = 2; y < 17; ++y)
                for (int x = 2; x < 17; ++x) {
                    ASSERT_NE(t.At(x, y), t.At(x + 1, y)) << x << "," << y;
                    ASSERT_EQ(t.At(x, y), t.At(x + 1, y + 1)) << x << "," << y;
                }
        } else {
            EXPECT_EQ(inside.size(), 1u);
        }
    }
}

TEST(StyButtonFrame, WithoutThemesTheXpStylesResolveToClassic) {
    EXPECT_EQ(ResolveButtonStyle(ubsWinXP), ubsWin40);
    EXPECT_EQ(ResolveButtonStyle(ubsWinXPCombo), ubsIntegrated);
    EXPECT_EQ(ResolveButtonStyle(ubsWinXPTool), ubsExplorerColored);
    EXPECT_EQ(ResolveButtonStyle(ubsAutoDetect), ubsAutoDetect);
    TestBitmap t(20, 20);
    TRect r = Rect(0, 0, 20, 20);
    EXPECT_TRUE(DrawButtonFrame(nullptr, t.C(), false, r, ubsWinXP, 0, bf3D, clSilver));
    EXPECT_EQ(r.Left, 3);
}

// A stand-in theme library that records what it is asked to draw.
struct ThemeLog {
    int opened = 0, closed = 0, part = 0, state = 0;
    std::wstring cls;
    RECT rect{};
} g_theme;
char g_handle;  // the handle the stand-in library gives out
BOOL ThemeActive() { return 1; }
HTHEME OpenTheme(HWND, const wchar_t* cls) {
    ++g_theme.opened;
    g_theme.cls = cls;
    return reinterpret_cast<HTHEME>(&g_handle);
}
HRESULT CloseTheme(HTHEME) {
    ++g_theme.closed;
    return 0;
}
HRESULT DrawBackground(HTHEME, HDC, int part, int state, const RECT* r, const RECT*) {
    g_theme.part = part;
    g_theme.state = state;
    g_theme.rect = *r;
    return 0;
}

TEST(StyButtonFrame, ThemedFrameStatesAndHandles) {
    const char* lib = "sty-test-uxtheme.dll";
    RegisterModuleExport(lib, "IsThemeActive", reinterpret_cast<FARPROC>(&ThemeActive));
    RegisterModuleExport(lib, "OpenThemeData", reinterpret_cast<FARPROC>(&OpenTheme));
    RegisterModuleExport(lib, "CloseThemeData", reinterpret_cast<FARPROC>(&CloseTheme));
    RegisterModuleExport(lib, "DrawThemeBackground", reinterpret_cast<FARPROC>(&DrawBackground));
    FreeThemeLibrary();
    LoadThemeLibrary(lib);
    StyApp->RefreshThemeFlag();
    ASSERT_TRUE(StyApp->UseThemes());
    EXPECT_EQ(ResolveButtonStyle(ubsAutoDetect), ubsWinXP);

    struct Row {
        TStyUserButtonStyle style;
        bool hot;
        uint8_t state;
        uint16_t flags;
        const wchar_t* cls;
        int part, themeState;
    };
    for (Row row :
         {Row{ubsWinXP, false, 0, 0, L"BUTTON", 1, 1},
          Row{ubsWinXP, false, 0, bfDefault, L"BUTTON", 1, 5},
          Row{ubsWinXP, true, 0, 0, L"BUTTON", 1, 2}, Row{ubsWinXP, true, 4, 0, L"BUTTON", 1, 3},
          Row{ubsWinXP, true, 7, bfHot, L"BUTTON", 1, 4},
          Row{ubsWinXP, true, 1, 0, L"BUTTON", 1, 4},
          Row{ubsWinXPCombo, false, 0, 0, L"COMBOBOX", 1, 1},
          Row{ubsWinXPTool, false, 0, bfHasDropDown, L"TOOLBAR", 3, 1},
          Row{ubsWinXPTool, false, 0, bfHasDropDown | bfDropDownPart, L"TOOLBAR", 4, 1}}) {
        g_theme = ThemeLog{};
        TestBitmap t(20, 20);
        TRect r = Rect(2, 2, 18, 18);
        EXPECT_TRUE(
            DrawButtonFrame(nullptr, t.C(), row.hot, r, row.style, row.state, row.flags, clSilver));
        EXPECT_EQ(g_theme.cls, row.cls);
        EXPECT_EQ(g_theme.part, row.part);
        EXPECT_EQ(g_theme.state, row.themeState)
            << int(row.style) << " state byte " << int(row.state);
        EXPECT_EQ(g_theme.opened, 1);
        EXPECT_EQ(g_theme.closed, 1);
        const int grow = row.style == ubsWinXP ? 1 : 0;
        EXPECT_EQ(g_theme.rect.left, 2 - grow);
        EXPECT_EQ(r.Left, 5 - grow);
    }
    FreeThemeLibrary();
    LoadThemeLibrary();
    StyApp->RefreshThemeFlag();
}

}  // namespace
