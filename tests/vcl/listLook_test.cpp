// How list rows of Song text look: the face standing in for 宋体 keeps its glyphs within the
// Song face's cell, so rows of its size (12 pixels) keep a blank row of pixels between their
// names, whoever draws them (the window system's list, or the control on its canvas); and a
// selected row shows in the system's highlight colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

namespace {

const char* const kNames[] = {"页面 1",           "警告量算器夏季", "页面 12",
                              "需要密码才能打开", "磁盘空间不足",   "页面 345"};

gdi::Image Picture(TWinControl& w) {
    const std::string path = ::testing::TempDir() + "vx-list-look.png";
    gdi::Image img;
    if (!w.SaveScreenshot(path)) return img;
    const std::string data = ReadFileText(path);
    img.loadFromData(data.data(), data.size());
    return img;
}

// The runs of rows holding ink (dark, or the highlight's text colour on the highlight) in
// the text's columns: their first rows and their lengths.
void InkRuns(const gdi::Image& img, int x0, int x1, std::vector<int>& starts,
             std::vector<int>& lengths) {
    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    const uint32_t highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    bool before = false;
    for (int y = 0; y < img.height(); ++y) {
        bool ink = false;
        for (int x = x0; x < x1 && !ink; ++x) {
            const uint32_t c = img.pixel(x, y) & 0xFFFFFF;
            const bool onHighlight = [&] {
                for (int dx = -3; dx <= 3; ++dx)
                    if (x + dx >= 0 && x + dx < img.width() &&
                        (img.pixel(x + dx, y) & 0xFFFFFF) == highlight)
                        return true;
                return false;
            }();
            ink = onHighlight ? c == highlightText : c != highlight && (c & 0xFF) < 0x80;
        }
        if (ink && !before) starts.push_back(y), lengths.push_back(0);
        if (ink) ++lengths.back();
        before = ink;
    }
}

}  // namespace

TEST(ListLook, SongRowsOfTheirOwnSizeKeepABlankRowBetweenTheirNames) {
    const struct {
        const char* what;
        bool ownerDrawn;
    } rows[] = {{"drawn by the window system", false}, {"drawn on the control's canvas", true}};
    for (const auto& row : rows) {
        TForm form(nullptr);
        form.SetBounds(0, 0, 240, 200);
        auto* list = new TListBox(&form);
        list->SetParent(&form);
        list->SetBounds(0, 0, 200, 150);
        list->Font()->SetName("宋体");
        list->Font()->SetHeight(-12);
        list->Font()->SetStyle(row.ownerDrawn ? TFontStyles{fsBold} : TFontStyles{});
        list->SetMultiSelect(true);
        if (row.ownerDrawn) {
            list->SetStyle(lbOwnerDrawFixed);
            list->SetItemHeight(12);
            list->OnDrawItem = [list](TWinControl*, int i, const TRect& r, TOwnerDrawState) {
                list->Canvas()->FillRect(r);
                list->Canvas()->TextOut(r.Left + 2, r.Top, list->Items()->Strings(i));
            };
        }
        for (const char* s : kNames) list->Items()->Add(s);
        // The focus is elsewhere: no focus rectangle crosses the rows.
        auto* other = new TEdit(&form);
        other->SetParent(&form);
        other->SetBounds(0, 160, 100, 21);
        form.Show();
        other->SetFocus();
        list->SetSelected(1, true);
        list->SetSelected(2, true);
        Application->ProcessMessages();
        const gdi::Image img = Picture(*list);
        ASSERT_GT(img.height(), 0) << row.what;
        std::vector<int> starts, lengths;
        InkRuns(img, 4, 120, starts, lengths);
        ASSERT_GE(starts.size(), std::size(kNames)) << row.what;
        const int pitch = starts[1] - starts[0];
        EXPECT_LE(pitch, 13) << row.what;
        for (size_t i = 0; i < std::size(kNames); ++i)
            EXPECT_LT(lengths[i], pitch) << row.what << ": row " << i << " touches the next";
        // The selected rows: the system's highlight behind white names.
        const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
        for (int r : {1, 2}) {
            const int y = starts[size_t(r)] + lengths[size_t(r)] / 2;
            EXPECT_EQ(img.pixel(150, y) & 0xFFFFFF, highlight) << row.what << ": row " << r;
        }
        EXPECT_NE(img.pixel(150, starts[0] + lengths[0] / 2) & 0xFFFFFF, highlight) << row.what;
        form.Hide();
    }
}
