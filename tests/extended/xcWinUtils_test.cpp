// Module and item-list release, icon sizes, text height, object-bound window procedures and
// the drag cursors.
#include <gtest/gtest.h>

#include "controls/extended/xcExControls.h"
#include "controls/extended/xcWinUtils.h"
#include "platform/gdi/iconDraw.h"
#include "platform/user/metrics.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override {
        Application->Initialize();
        RegisterXcExControls();
    }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);
}  // namespace

TEST(XcWinUtils, ReleaseModuleAndItemIdLists) {
    HMODULE none = nullptr;
    ReleaseModule(none);
    EXPECT_EQ(none, nullptr);

    LPITEMIDLIST list = nullptr;
    EXPECT_TRUE(FreeItemIdList(list));
    list = ILCreateFromPathA("/");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(FreeItemIdList(list));
    EXPECT_EQ(list, nullptr);
    // A block the shell's allocator did not hand out stays.
    alignas(4) uint8_t foreign[8] = {};
    LPITEMIDLIST other = reinterpret_cast<LPITEMIDLIST>(foreign);
    EXPECT_FALSE(FreeItemIdList(other));
    EXPECT_EQ(other, reinterpret_cast<LPITEMIDLIST>(foreign));
}

TEST(XcWinUtils, IconSizeFromItsBitmaps) {
    int w = 0, h = 0;
    GetIconSize(nullptr, w, h);
    EXPECT_EQ(w, kLargeIconSize);
    EXPECT_EQ(h, kLargeIconSize);
    // No icon to measure: the system's icon size.
    EXPECT_EQ(w, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(h, GetSystemMetrics(SM_CYICON));
    HICON app = LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_APPLICATION));
    ASSERT_NE(app, nullptr);
    GetIconSize(app, w, h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);
}

TEST(XcWinUtils, TextHeightAndObjectInstance) {
    TBitmap bmp;
    bmp.SetSize(10, 10);
    bmp.Canvas()->Font()->SetHeight(-20);
    const int tall = CanvasTextHeight(*bmp.Canvas());
    bmp.Canvas()->Font()->SetHeight(-10);
    EXPECT_GT(tall, CanvasTextHeight(*bmp.Canvas()));

    std::vector<UINT> seen;
    auto stub = MakeObjectInstance([&](TMessage& m) {
        seen.push_back(m.Msg);
        m.Result = LRESULT(m.WParam + m.LParam);
    });
    EXPECT_EQ(CallWindowProcA(stub, nullptr, WM_USER + 3, 2, 5), 7);
    EXPECT_EQ(seen, std::vector<UINT>{WM_USER + 3});
    FreeObjectInstance(stub);
    EXPECT_EQ(stub, nullptr);
    FreeObjectInstance(stub);  // freeing nothing does nothing
}

TEST(XcWinUtils, TextHeightIsTheFontsMetric) {
    TBitmap bmp;
    bmp.SetSize(10, 10);
    bmp.Canvas()->Font()->SetHeight(-16);
    TEXTMETRICA tm{};
    ASSERT_TRUE(GetTextMetricsA(bmp.Canvas()->Handle(), &tm));
    EXPECT_EQ(CanvasTextHeight(*bmp.Canvas()), tm.tmHeight);
}

// The string form never writes the shortened text back, whatever the flags ask.
TEST(XcWinUtils, DrawTextStringFormLeavesTheTextAlone) {
    TBitmap bmp;
    bmp.SetSize(60, 20);
    HDC dc = bmp.Canvas()->Handle();
    const std::string path = "/a/rather/long/folder/name/and/a/file.txt";
    std::string text;  // a writable string, which DT_MODIFYSTRING would change
    text = path;
    const UINT flags = DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX | DT_PATH_ELLIPSIS;
    RECT asked{0, 0, 60, 20}, plain{0, 0, 60, 20};
    const int h = DrawTextA(dc, text, asked, flags | DT_MODIFYSTRING);
    EXPECT_EQ(text, path);
    EXPECT_EQ(h, DrawTextA(dc, text, plain, flags));
    EXPECT_EQ(asked.right, plain.right);
    EXPECT_GT(h, 0);
}

TEST(XcWinUtils, DragCursorsAreInTheScreensList) {
    ASSERT_NE(Screen, nullptr);
    EXPECT_EQ(Screen->Cursors(crXcDrag0), Screen->Cursors(crMultiDrag));
    EXPECT_EQ(Screen->Cursors(crXcDrag1), Screen->Cursors(crDrag));
    EXPECT_EQ(Screen->Cursors(crXcDrag2), Screen->Cursors(crMultiDrag));
    EXPECT_EQ(Screen->Cursors(crXcDrag3), Screen->Cursors(crMultiDrag));
    EXPECT_NE(Screen->Cursors(crXcDrag1), Screen->Cursors(crXcDrag0));
}
