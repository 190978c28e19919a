// The widget of a combo box holds the items of its list, in order and with the selection
// of the list, however the list changes: items added one at a time (only the new one goes
// into the widget), inserted, deleted, replaced or cleared (the widget's list is rebuilt).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/forms.h"
#include "platform/vcl/peerKinds.h"
#include "platform/vcl/stdctrls.h"

namespace {

ws::ComboPeer& Widget(TComboBox& box) { return *dynamic_cast<ws::ComboPeer*>(box.Peer()); }

// The widget's items as it shows them one by one (and none past the list's), its
// selection put back afterwards.
std::vector<std::string> WidgetItems(TComboBox& box) {
    std::vector<std::string> shown;
    const int keep = box.ItemIndex();
    for (int i = 0; i < box.Items()->Count(); ++i) {
        Widget(box).setItemIndex(i);
        shown.push_back(Widget(box).itemIndex() == i ? box.Peer()->text() : "(missing)");
    }
    Widget(box).setItemIndex(box.Items()->Count());
    if (Widget(box).itemIndex() >= 0) shown.push_back("(one too many)");
    box.SetItemIndex(keep);
    return shown;
}

}  // namespace

TEST(ComboItems, TheWidgetFollowsEveryChangeOfTheList) {
    for (TComboBoxStyle style : {csDropDownList, csDropDown, csOwnerDrawFixed}) {
        SCOPED_TRACE(int(style));
        TForm form(nullptr);
        form.SetBounds(0, 0, 300, 200);
        auto* box = new TComboBox(&form);
        box->SetParent(&form);
        box->SetStyle(style);
        box->SetBounds(10, 10, 200, 24);
        box->HandleNeeded();
        TStrings* items = box->Items();
        for (const char* s : {"one", "two", "three"}) items->Add(s);
        EXPECT_EQ(box->ItemIndex(), -1);
        EXPECT_EQ(Widget(*box).itemIndex(), -1);
        box->SetItemIndex(1);
        items->Add("four");  // added while an item is selected: the selection stays
        EXPECT_EQ(box->ItemIndex(), 1);
        EXPECT_EQ(Widget(*box).itemIndex(), 1);
        EXPECT_EQ(WidgetItems(*box), (std::vector<std::string>{"one", "two", "three", "four"}));
        items->Insert(0, "zero");
        items->Delete(2);
        items->SetString(1, "ONE");
        items->Add("five");
        EXPECT_EQ(WidgetItems(*box),
                  (std::vector<std::string>{"zero", "ONE", "three", "four", "five"}));
        items->Clear();
        EXPECT_EQ(WidgetItems(*box), std::vector<std::string>{});
        items->Add("again");
        items->Add("and again");
        EXPECT_EQ(WidgetItems(*box), (std::vector<std::string>{"again", "and again"}));
    }
}

TEST(ComboItems, ItemsOfAnExtendedBoxKeepTheirIndent) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* box = new TComboBoxEx(&form);
    box->SetParent(&form);
    box->SetBounds(10, 10, 200, 24);
    box->HandleNeeded();
    box->AddItem("top", -1, -1, -1, 0, nullptr);
    box->AddItem("inner", -1, -1, -1, 1, nullptr);
    box->AddItem("deeper", -1, -1, -1, 2, nullptr);
    EXPECT_EQ(WidgetItems(*box), (std::vector<std::string>{"top", "  inner", "    deeper"}));
}

TEST(ComboItems, SearchesFoldTheLettersOfEveryScriptAndAnEmptyPrefixBeginsAll) {
    TForm form(nullptr);
    auto* combo = new TComboBox(&form);
    auto* list = new TListBox(&form);
    for (TWinControl* c : {static_cast<TWinControl*>(combo), static_cast<TWinControl*>(list)})
        c->SetParent(&form);
    for (const char* s : {"Äpfel", "жук", "Zebra"}) {
        combo->Items()->Add(s);
        list->Items()->Add(s);
    }
    form.Show();
    const struct {
        bool exact;
        const char* text;
        int found;
    } rows[] = {
        {false, "äP", 0},   {false, "Ж", 1},  {false, "z", 2},  {false, "", 0},
        {true, "ÄPFEL", 0}, {true, "ЖУК", 1}, {true, "жу", -1},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(combo->Perform(r.exact ? CB_FINDSTRINGEXACT : CB_FINDSTRING, WPARAM(-1),
                                 LPARAM(r.text)),
                  r.found)
            << r.text;
        EXPECT_EQ(
            list->Perform(r.exact ? LB_FINDSTRINGEXACT : LB_FINDSTRING, WPARAM(-1), LPARAM(r.text)),
            r.found)
            << r.text;
    }
    form.Hide();
}
