// How clicks select in a list box of several selected items: with extended selection a
// click selects the one item clicked; without it each click toggles one item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

std::string SelectedItems(TListBox& list) {
    std::string s;
    for (int i = 0; i < list.Items()->Count(); ++i)
        if (list.Selected(i)) s += list.Items()->Strings(i);
    return s;
}

}  // namespace

TEST(ListBoxSelection, ClicksToggleWithoutExtendedSelection) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 150, 150);
    for (const char* s : {"a", "b", "c", "d"}) list->Items()->Add(s);
    list->SetMultiSelect(true);
    form.Show();
    Application->ProcessMessages();
    // Where each row starts: a click selects the row under it (extended selection).
    std::vector<int> rowY;
    for (int y = 1; y < 150 && rowY.size() < 4; ++y) {
        list->Peer()->click(20, y);
        if (list->ItemIndex() == int(rowY.size())) rowY.push_back(y + 1);
    }
    ASSERT_EQ(rowY.size(), 4u);

    struct Row {
        bool extended;
        std::vector<int> clicks;
        std::string selected;
    } rows[] = {
        {true, {0, 2}, "c"},      // a click replaces the selection
        {false, {0, 2}, "ac"},    // each click adds one
        {false, {0, 2, 0}, "c"},  // and a second click on it takes it away again
        {false, {1, 3, 1, 3}, ""}, {false, {3, 2, 1}, "bcd"},
    };
    for (const Row& r : rows) {
        list->SetExtendedSelect(r.extended);
        for (int i = 0; i < 4; ++i) list->SetSelected(i, false);
        for (int row : r.clicks) list->Peer()->click(20, rowY[size_t(row)]);
        Application->ProcessMessages();
        EXPECT_EQ(SelectedItems(*list), r.selected)
            << (r.extended ? "extended" : "toggling") << " " << r.clicks.size();
    }
    form.Hide();
}

TEST(ListBoxRows, RowsOfTheFormsHeightKeepChineseNamesAPixelApart) {
    // 12-pixel Song text in rows of 13 (the file list's): a blank row of pixels between
    // the names, and the rows 13 pixels apart.
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(0, 0, 150, 150);
    list->Font()->SetName("宋体");
    list->Font()->SetHeight(-12);
    list->SetItemHeight(13);
    for (const char* s :
         {"警告量算器夏季.pdf", "分辨率超出范围.pdf", "需要密码才能打开.pdf", "磁盘空间不足.pdf"})
        list->Items()->Add(s);
    // The focus is elsewhere: no dotted focus rectangle crosses the rows.
    auto* other = new TEdit(&form);
    other->SetParent(&form);
    other->SetBounds(0, 160, 100, 21);
    form.Show();
    other->SetFocus();
    Application->ProcessMessages();
    const std::string path = ::testing::TempDir() + "vx-list-rows.png";
    ASSERT_TRUE(list->SaveScreenshot(path));
    gdi::Image img;
    const std::string data = ReadFileText(path);
    ASSERT_TRUE(img.loadFromData(data.data(), data.size()));
    // Rows of ink (dark pixels) in the text's columns: runs of at most 12, ending 13 apart
    // (the names stand on their rows' baselines; some glyphs reach higher than others).
    std::vector<int> starts, lengths;
    bool before = false;
    for (int y = 0; y < img.height(); ++y) {
        bool ink = false;
        for (int x = 2; x < 140 && !ink; ++x) ink = (img.pixel(x, y) & 0xFF) < 0x80;
        if (ink && !before) starts.push_back(y), lengths.push_back(0);
        if (ink) ++lengths.back();
        before = ink;
    }
    ASSERT_GE(starts.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_LE(lengths[i], 12) << i;
    for (size_t i = 1; i < 4; ++i)
        EXPECT_EQ(starts[i] + lengths[i] - starts[i - 1] - lengths[i - 1], 13) << i;
    form.Hide();
}
