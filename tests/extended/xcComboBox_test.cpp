// The extended combo box: read-only refuses typing and the drop-down but allows choosing;
// the empty-value text shows only while empty and unfocused; emptying the items keeps the
// text; the pixel limit cuts the text.
#include <gtest/gtest.h>

#include <string>

#include "controls/extended/xcComboBox.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct ComboOnForm {
    TForm form{nullptr};
    TXcComboBox* combo = new TXcComboBox(&form);
    ComboOnForm() {
        form.SetBounds(0, 0, 300, 200);
        combo->SetParent(&form);
        combo->SetBounds(10, 10, 150, 22);
        for (const char* s : {"one", "two", "three"}) combo->Items()->Add(s);
        form.Show();
        Application->ProcessMessages();
    }
};

}  // namespace

TEST(XcComboBox, ReadOnlyRefusesKeysButAllowsChoosing) {
    ComboOnForm f;
    f.combo->SetReadOnly(true);
    f.combo->SetItemIndex(1);
    // Each message that would change the choice or the text ends in the control.
    struct Row {
        UINT msg;
        WPARAM key;
        LRESULT result;
    };
    const Row rows[] = {
        {CN_KEYDOWN, 115, 1}, {CN_SYSKEYDOWN, 38, 1}, {CN_SYSKEYDOWN, 40, 1}, {WM_KEYDOWN, 37, 0},
        {WM_KEYDOWN, 40, 0},  {WM_KEYDOWN, 115, 0},   {WM_SYSKEYDOWN, 40, 0}, {WM_CHAR, 'x', 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(f.combo->Perform(r.msg, r.key, 0), r.result) << r.msg << " " << r.key;
        EXPECT_EQ(f.combo->ItemIndex(), 1);
        EXPECT_EQ(f.combo->Text(), "two");
    }
    // Keys from the keyboard go the same way.
    WORD down = 40;
    TMessage probe{WM_KEYDOWN, down, 0, 0};
    f.combo->Perform(probe.Msg, probe.WParam, 0);
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    // Choosing from code still works.
    f.combo->SetItemIndex(2);
    EXPECT_EQ(f.combo->Text(), "three");
    // Without read-only the keys pass on.
    f.combo->SetReadOnly(false);
    EXPECT_EQ(f.combo->Perform(CN_KEYDOWN, 115, 0), 0);
}

TEST(XcComboBox, EmptyValueShowsOnlyWhileEmptyAndUnfocused) {
    ComboOnForm f;
    const TColor normal = f.combo->Font()->Color();
    f.combo->SetEmptyValue("请选择");
    EXPECT_EQ(f.combo->EmptyValueShown(), !f.combo->Focused());
    f.combo->Perform(CM_EXIT);  // the focus leaves
    EXPECT_TRUE(f.combo->EmptyValueShown());
    EXPECT_EQ(f.combo->Text(), "");  // reads as empty
    EXPECT_EQ(f.combo->Font()->Color(), clGrayText);
    EXPECT_EQ(f.combo->Peer()->text(), "请选择");
    // Focus clears it and gives the colour back.
    f.combo->Perform(CM_ENTER);
    EXPECT_FALSE(f.combo->EmptyValueShown());
    EXPECT_EQ(f.combo->Peer()->text(), "");
    EXPECT_EQ(f.combo->Font()->Color(), normal);
    // With a text of its own it never shows.
    f.combo->SetText("mine");
    f.combo->Perform(CM_EXIT);
    EXPECT_FALSE(f.combo->EmptyValueShown());
    EXPECT_EQ(f.combo->Text(), "mine");
    f.combo->SetText("");
    f.combo->Perform(CM_EXIT);
    EXPECT_TRUE(f.combo->EmptyValueShown());
}

TEST(XcComboBox, ClearingItemsKeepsTheText) {
    ComboOnForm f;
    f.combo->SetText("typed");
    f.combo->Items()->Clear();
    EXPECT_EQ(f.combo->Items()->Count(), 0);
    EXPECT_EQ(f.combo->Text(), "typed");
}

TEST(XcComboBox, MaxPixelCutsTheText) {
    ComboOnForm f;
    f.combo->SetText("abcdefghijklmnopqrstuvwxyz");
    TCanvas c;
    c.Font()->Assign(*f.combo->Font());
    ASSERT_GT(c.TextWidth(f.combo->Text()), 30);
    f.combo->MaxPixel()->SetLength(30);
    const std::string cut = f.combo->Text();
    EXPECT_LE(c.TextWidth(cut), 30);
    EXPECT_GT(c.TextWidth(cut + "x"), 30 - c.TextWidth("x"));
    EXPECT_EQ(std::string("abcdefghijklmnopqrstuvwxyz").compare(0, cut.size(), cut), 0);
    // Whole characters are cut from UTF-8 texts.
    std::string chinese = "中文文本测试中文文本测试";
    TXcMaxPixel limit(nullptr, nullptr);
    limit.SetLength(30);
    TFont font;
    EXPECT_TRUE(limit.Test(chinese, &font));
    EXPECT_EQ(chinese.size() % 3, 0u);
    EXPECT_LE(c.TextWidth(chinese), 30);
    // Length 0: no limit.
    TXcMaxPixel none(nullptr, nullptr);
    std::string t = "anything";
    EXPECT_TRUE(none.Test(t, &font));
    EXPECT_EQ(t, "anything");
}

TEST(XcComboBox, SearchMessagesStartAfterTheIndexAndWrap) {
    ComboOnForm f;
    f.combo->Items()->Add("two more");
    EXPECT_EQ(f.combo->Perform(CB_FINDSTRING, WPARAM(-1), LPARAM("tw")), 1);
    EXPECT_EQ(f.combo->Perform(CB_FINDSTRING, 1, LPARAM("tw")), 3);
    EXPECT_EQ(f.combo->Perform(CB_FINDSTRING, 3, LPARAM("tw")), 1);  // from 0 up to the start
    EXPECT_EQ(f.combo->Perform(CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("TWO")), 1);
    EXPECT_EQ(f.combo->Perform(CB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("none")), -1);
    EXPECT_EQ(f.combo->Perform(CB_SELECTSTRING, WPARAM(-1), LPARAM("thr")), 2);
    EXPECT_EQ(f.combo->ItemIndex(), 2);
}

// A new pixel limit puts the caret after the last character, whether the text was cut or not.
TEST(XcComboBox, ANewPixelLimitPutsTheCaretAtTheEnd) {
    const struct {
        const char* text;
        int before, after;  // the limits
        bool cut;
    } rows[] = {{"中文 short", 0, 500, false},
                {"abcdefghijklmnopqrstuvwxyz", 0, 30, true},
                {"abc", 1000, 0, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        ComboOnForm f;
        f.combo->MaxPixel()->SetLength(row.before);
        f.combo->SetText(row.text);
        f.combo->Perform(CB_SETEDITSEL, 0, 0);  // the caret at the start
        f.combo->MaxPixel()->SetLength(row.after);
        const std::string text = f.combo->Text();
        EXPECT_EQ(text != row.text, row.cut);
        DWORD from = 1, to = 1;
        f.combo->Perform(CB_GETEDITSEL, WPARAM(&from), LPARAM(&to));
        EXPECT_EQ(std::make_pair(from, to), std::make_pair(DWORD(text.size()), DWORD(text.size())));
    }
}
