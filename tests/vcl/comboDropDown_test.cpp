// Where a combo box's list opens and how wide it is, and the colour it selects in: below its
// field (above it where the screen has no room), as wide as the field or as the control asks,
// the current item in the system's highlight colour.
#include <gtest/gtest.h>

#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/listMessages.h"
#include "platform/user/window.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/peerKinds.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

namespace {

struct Placed {
    RECT field{}, list{};
    bool open = false;
};

Placed OpenList(TComboBox& box) {
    Placed p;
    SendMessageA(box.Handle(), CB_SHOWDROPDOWN, 1, 0);
    Application->ProcessMessages();
    p.open = SendMessageA(box.Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
    GetWindowRect(box.Handle(), &p.field);
    SendMessageA(box.Handle(), CB_GETDROPPEDCONTROLRECT, 0, LPARAM(&p.list));
    return p;
}

void CloseList(TComboBox& box) {
    SendMessageA(box.Handle(), CB_SHOWDROPDOWN, 0, 0);
    Application->ProcessMessages();
}

}  // namespace

TEST(ComboDropDown, OpensBelowItsFieldAsWideAsTheFieldOrAsAsked) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 400, 300);
    auto* box = new TComboBoxEx(&form);
    box->SetParent(&form);
    box->SetBounds(20, 60, 184, 21);
    for (int i = 0; i < 20; ++i)
        box->AddItem("第 " + IntToStr(i) + " 项 with a long, long text", -1, -1, -1, 3, nullptr);
    box->SetDropDownCount(8);
    box->SetItemIndex(12);  // the current item must not pull the list over the field
    form.Show();
    Application->ProcessMessages();

    const struct {
        const char* what;
        int asked;     // CB_SETDROPPEDWIDTH; 0: not asked
        int expected;  // the list's width
    } rows[] = {
        {"the field's width", 0, 184},
        {"a narrower width asked", 100, 184},
        {"a wider width asked", 320, 320},
    };
    for (const auto& row : rows) {
        if (row.asked) {
            EXPECT_EQ(SendMessageA(box->Handle(), CB_SETDROPPEDWIDTH, WPARAM(row.asked), 0),
                      row.expected)
                << row.what;
        }
        EXPECT_EQ(SendMessageA(box->Handle(), CB_GETDROPPEDWIDTH, 0, 0), row.expected) << row.what;
        const Placed p = OpenList(*box);
        ASSERT_TRUE(p.open) << row.what;
        EXPECT_EQ(p.list.top, p.field.bottom) << row.what << ": the list starts below the field";
        EXPECT_EQ(p.list.left, p.field.left) << row.what;
        EXPECT_EQ(p.list.right - p.list.left, row.expected) << row.what;
        EXPECT_GT(p.list.bottom - p.list.top, 8 * 10) << row.what << ": eight rows show";
        CloseList(*box);
        EXPECT_EQ(SendMessageA(box->Handle(), CB_GETDROPPEDSTATE, 0, 0), 0) << row.what;
    }
    form.Hide();
}

TEST(ComboDropDown, OpensAboveItsFieldWhereTheScreenHasNoRoomBelow) {
    TForm form(nullptr);
    const int screen = ws::ScreenHeight();
    form.SetBounds(40, screen - 120, 300, 100);
    auto* box = new TComboBox(&form);
    box->SetParent(&form);
    box->Style = csDropDownList;
    box->SetBounds(10, 50, 150, 21);
    for (int i = 0; i < 12; ++i) box->Items()->Add("item " + IntToStr(i));
    box->SetItemIndex(0);
    form.Show();
    Application->ProcessMessages();
    const Placed p = OpenList(*box);
    ASSERT_TRUE(p.open);
    if (p.field.bottom + 8 * 10 <= screen) GTEST_SKIP() << "the window was not placed low enough";
    EXPECT_EQ(p.list.bottom, p.field.top);
    EXPECT_EQ(p.list.left, p.field.left);
    EXPECT_EQ(p.list.right - p.list.left, 150);
    CloseList(*box);
    form.Hide();
}

// The current item of an open list shows in clHighlight (GetSysColor(COLOR_HIGHLIGHT)), as
// the lists that draw their own items select; never in the toolkit's own blue.
TEST(ComboDropDown, SelectsInTheSystemHighlightColour) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 300, 300);
    auto* box = new TComboBoxEx(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 200, 21);
    for (const char* s : {"doc2pdf", "xls2pdf", "ppt2pdf", "pdfMerge"})
        box->AddItem(s, -1, -1, -1, 3, nullptr);
    box->SetItemIndex(2);
    form.Show();
    Application->ProcessMessages();
    ASSERT_TRUE(OpenList(*box).open);
    gdi::Image img;
    ASSERT_TRUE(dynamic_cast<ws::ComboPeer*>(box->Peer())->grabDropDown(img));
    img.save(::testing::TempDir() + "vx-combo-dropdown.png");
    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    int highlighted = 0, toolkitBlue = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const uint32_t c = img.pixel(x, y) & 0xFFFFFF;
            highlighted += c == highlight;
            toolkitBlue += c == 0xC68C30 || c == 0xC88D30;  // #308CC6, #308DC8
        }
    EXPECT_GT(highlighted, 100) << "the current item is not in clHighlight";
    EXPECT_EQ(toolkitBlue, 0);
    CloseList(*box);
    form.Hide();
}

// The dotted focus rectangle of the current row surrounds the row inside its cell, as the
// lists that draw their own items mark it: no glyph of the 宋体 text lies on its lines.
TEST(ComboDropDown, FocusRectangleSurroundsTheCurrentRowInsideItsCell) {
    TForm form(nullptr);
    form.SetBounds(40, 40, 300, 300);
    auto* box = new TComboBoxEx(&form);
    box->SetParent(&form);
    box->Font()->SetName("宋体");
    box->Font()->SetHeight(-12);
    box->SetBounds(10, 10, 260, 22);
    for (const char* s :
         {"doc2pdf (Word转为PDF)", "xls2pdf (Excel Sheet转为PDF)", "ppt2pdf (PowerPoint转为PDF)",
          "pdfMerge (合并 PDF)", "pdf2jpg (PDF转为JPEG)"})
        box->AddItem(s, -1, -1, -1, 3, nullptr);
    box->SetItemIndex(1);
    form.Show();
    box->SetFocus();
    Application->ProcessMessages();
    ASSERT_TRUE(OpenList(*box).open);
    gdi::Image img;
    ASSERT_TRUE(dynamic_cast<ws::ComboPeer*>(box->Peer())->grabDropDown(img));
    img.save(::testing::TempDir() + "vx-combo-focus.png");
    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT),
                   text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    const uint32_t dotted = highlight ^ 0xFFFFFF, textUnderDot = text ^ 0xFFFFFF;
    auto at = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    // The current row's cell: the rows whose right end (past the text) is highlighted or dotted.
    const int probe = img.width() - 4;
    int top = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        if (at(probe, y) == highlight || at(probe, y) == dotted) {
            if (top < 0) top = y;
            bottom = y;
        }
    ASSERT_GE(top, 0) << "no highlighted row";
    auto dots = [&](int y) {
        int n = 0;
        for (int x = 2; x < img.width() - 2; ++x)
            n += at(x, y) == dotted || at(x, y) == textUnderDot;
        return n;
    };
    EXPECT_GT(dots(top), img.width() / 4) << "no dotted line on the cell's first row";
    EXPECT_GT(dots(bottom), img.width() / 4) << "no dotted line on the cell's last row";
    int inkTop = img.height(), inkBottom = -1, crossed = 0;
    for (int y = top; y <= bottom; ++y)
        for (int x = 2; x < img.width() - 2; ++x) {
            if (at(x, y) == text) inkTop = std::min(inkTop, y), inkBottom = std::max(inkBottom, y);
            crossed += at(x, y) == textUnderDot;
        }
    ASSERT_GE(inkBottom, 0) << "no text in the current row";
    EXPECT_GT(inkTop, top) << "the text's first row lies on the rectangle";
    EXPECT_LT(inkBottom, bottom) << "the text's bottom row lies on the rectangle";
    EXPECT_EQ(crossed, 0) << "the rectangle crosses glyphs";
    CloseList(*box);
    form.Hide();
}
