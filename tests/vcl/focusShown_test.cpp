// A control with the focus shows it, however the focus came: a list-only combo box draws its
// item on the highlight colour inside a dotted focus rectangle (an owner-drawn one is told
// selected, focused and the edit part), a list without a current row draws the focus on its
// first row, or where that row would be while it is empty; a read-only rich edit shows its
// caret.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/richedit.h"
#include "platform/vcl/stdctrls.h"

namespace {

constexpr unsigned kOdsSelected = 0x1, kOdsFocus = 0x10, kOdsComboBoxEdit = 0x1000;

// A form with a combo box and a button to take the focus away from it.
struct ComboForm {
    TForm form{nullptr};
    TComboBox* box;
    TButton* other;
    ComboForm(bool extended, TComboBoxStyle style)
        : box(extended ? new TComboBoxEx(&form) : new TComboBox(&form)) {
        form.SetBounds(0, 0, 320, 120);
        box->SetParent(&form);
        box->SetStyle(style);
        box->SetBounds(10, 10, 280, 22);
        for (const char* s : {"doc2pdf", "xls2pdf", "ppt2pdf"}) box->Items()->Add(s);
        box->SetItemIndex(1);
        other = new TButton(&form);
        other->SetParent(&form);
        other->SetBounds(10, 60, 80, 24);
    }
    ~ComboForm() { form.Hide(); }
    gdi::Image Shot() {
        Application->ProcessMessages();
        gdi::Image img;
        EXPECT_TRUE(box->Peer()->grab(img));
        return img;
    }
};

// The pixels of the image that have the colour, and their bounding rectangle.
int CountOf(const gdi::Image& img, uint32_t colour, TRect* bounds = nullptr) {
    int n = 0;
    TRect b{img.width(), img.height(), -1, -1};
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == colour) {
                ++n;
                b.Left = std::min(b.Left, x);
                b.Top = std::min(b.Top, y);
                b.Right = std::max(b.Right, x);
                b.Bottom = std::max(b.Bottom, y);
            }
    if (bounds) *bounds = b;
    return n;
}

// Changes of colour along a row between two columns: a dotted line changes at every pixel.
int ChangesAlong(const gdi::Image& img, int y, int from, int to) {
    int n = 0;
    for (int x = from + 1; x <= to; ++x) n += img.pixel(x, y) != img.pixel(x - 1, y);
    return n;
}

}  // namespace

TEST(FocusShown, AFocusedListOnlyComboShowsItsItemHighlightedInAFocusRectangle) {
    const uint32_t highlight = GetSysColor(COLOR_HIGHLIGHT);
    struct Row {
        const char* what;
        bool extended;
        bool focusBeforeShow;
    };
    const Row rows[] = {{"a list-only combo focused by code", false, false},
                        {"an extended combo focused by code", true, false},
                        {"an extended combo given the focus before its window shows", true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ComboForm f(row.extended, csDropDownList);
        constexpr TColor kRed = TColor(0x0000FF);
        f.box->Font()->SetColor(kRed);  // the text's own colour, away from the highlight
        if (row.focusBeforeShow) {
            f.box->SetFocus();
            f.form.Show();
        } else {
            f.form.Show();
            f.box->SetFocus();
        }
        Application->ProcessMessages();
        ASSERT_TRUE(f.box->Peer()->hasFocus());
        gdi::Image shot = f.Shot();
        TRect field;
        const int area = shot.width() * shot.height();
        EXPECT_GT(CountOf(shot, highlight, &field), area / 3);
        // The text in the highlight's text colour on it, and the dotted rectangle on the
        // highlighted field's top edge.
        EXPECT_GT(CountOf(shot, GetSysColor(COLOR_HIGHLIGHTTEXT)), 10);
        EXPECT_EQ(CountOf(shot, uint32_t(kRed)), 0);
        EXPECT_GT(ChangesAlong(shot, field.Top, field.Left, field.Right),
                  (field.Right - field.Left) / 2);
        // Without the focus: no highlight.
        f.other->SetFocus();
        const gdi::Image unfocused = f.Shot();
        EXPECT_EQ(CountOf(unfocused, highlight), 0);
        EXPECT_GT(CountOf(unfocused, uint32_t(kRed)), 10);
        // Back by the keyboard's way as well.
        f.box->SetFocus();
        EXPECT_GT(CountOf(f.Shot(), highlight), area / 3);
    }
}

TEST(FocusShown, AnOwnerDrawnComboIsToldItsEditPartIsFocused) {
    ComboForm f(false, csOwnerDrawFixed);
    std::vector<unsigned> editStates;
    f.box->OnDrawItem = [&](TWinControl*, int, const TRect& r, TOwnerDrawState state) {
        if (state & kOdsComboBoxEdit) editStates.push_back(state);
        TCanvas* c = f.box->Canvas();
        c->FillRect(r);
    };
    f.form.Show();
    struct Row {
        TWinControl* focused;
        unsigned state;
    };
    const Row rows[] = {{f.box, kOdsComboBoxEdit | kOdsSelected | kOdsFocus},
                        {f.other, kOdsComboBoxEdit},
                        {f.box, kOdsComboBoxEdit | kOdsSelected | kOdsFocus}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.focused == f.box ? "focused" : "not focused");
        row.focused->SetFocus();
        editStates.clear();
        f.box->Invalidate();
        f.Shot();
        ASSERT_FALSE(editStates.empty());
        EXPECT_EQ(editStates.back() & (kOdsComboBoxEdit | kOdsSelected | kOdsFocus), row.state);
    }
}

TEST(FocusShown, AListWithoutACurrentRowShowsItsFocusOnTheFirstRow) {
    struct Row {
        const char* what;
        int items;
        bool multi;
        bool ownerDrawn;
    };
    const Row rows[] = {{"pages, several to choose", 3, true, false},
                        {"pages, one to choose", 3, false, false},
                        {"owner-drawn pages", 3, true, true},
                        {"no pages yet", 0, true, false}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TForm form(nullptr);
        form.SetBounds(0, 0, 240, 200);
        auto* list = new TListBox(&form);
        list->SetParent(&form);
        list->SetBounds(10, 10, 100, 150);
        list->SetMultiSelect(row.multi);
        if (row.ownerDrawn) {
            list->SetStyle(lbOwnerDrawFixed);
            list->OnDrawItem = [list](TWinControl*, int i, const TRect& r, TOwnerDrawState) {
                TCanvas* c = list->Canvas();
                c->FillRect(r);
                c->TextOut(r.Left + 2, r.Top + 1, (*list->Items())[i]);
            };
        }
        auto* other = new TButton(&form);
        other->SetParent(&form);
        other->SetBounds(120, 10, 80, 24);
        form.Show();
        list->SetFocus();
        Application->ProcessMessages();
        // Filled after it took the focus, as a list filled by a timer is.
        for (int i = 1; i <= row.items; ++i) list->Items()->Add("页面 " + std::to_string(i));
        ASSERT_EQ(list->ItemIndex(), -1);
        auto dotsOnFirstRowTop = [&] {
            Application->ProcessMessages();
            gdi::Image img;
            EXPECT_TRUE(list->Peer()->grab(img));
            // The first row's top edge, or where it would be in an empty list (inside the
            // frame): the most changes along one such line.
            const TRect r = row.items > 0 ? list->ItemRect(0) : TRect{0, 0, 96, 16};
            const int last = row.items > 0 ? r.Top : 3;
            int most = 0;
            for (int y = row.items > 0 ? r.Top : 0; y <= last; ++y)
                most = std::max(most, ChangesAlong(img, y, r.Left + 4, r.Right - 6));
            return most;
        };
        EXPECT_GT(dotsOnFirstRowTop(), 30);
        EXPECT_EQ(list->ItemIndex(), -1);  // shown, not chosen
        other->SetFocus();
        EXPECT_LT(dotsOnFirstRowTop(), 3);
        form.Hide();
    }
}

TEST(FocusShown, AFocusedReadOnlyRichEditShowsItsCaret) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 320, 200);
    auto* text = new TRichEdit(&form);
    text->SetParent(&form);
    text->SetBounds(10, 10, 220, 150);
    text->SetRtf("{\\rtf1 Vexomat\\par second line\\par}");
    auto* other = new TButton(&form);
    other->SetParent(&form);
    other->SetBounds(240, 10, 70, 24);
    form.Show();
    other->SetFocus();
    Application->ProcessMessages();
    auto grab = [&] {
        Application->ProcessMessages();
        gdi::Image img;
        EXPECT_TRUE(text->Peer()->grab(img));
        return img;
    };
    auto differs = [](const gdi::Image& a, const gdi::Image& b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) n += a.pixel(x, y) != b.pixel(x, y);
        return n;
    };
    const gdi::Image unfocused = grab();
    // The caret blinks: within two of its periods it shows at least once, a thin line.
    text->SetFocus();
    int caret = 0;
    for (uint32_t start = GetTickCount(); caret == 0 && GetTickCount() - start < 2500; Sleep(20))
        caret = differs(grab(), unfocused);
    EXPECT_GT(caret, 5) << "no caret within 2.5 s of taking the focus";
    EXPECT_LT(caret, 60);
    // Gone with the focus.
    other->SetFocus();
    int after = 0;
    for (uint32_t start = GetTickCount(); GetTickCount() - start < 1200; Sleep(50))
        after = std::max(after, differs(grab(), unfocused));
    EXPECT_EQ(after, 0);
    form.Hide();
}
