// The items of the extended list and combo boxes: Items reaches the window through its
// messages, a change made while a provider shows takes the provider away and lands among
// the own strings; the add and insert events in sorted and unsorted lists; the searches of
// the windows; the background picture following the horizontal scroll; hot tracking.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "controls/extended/xcComboBox.h"
#include "controls/extended/xcListBox.h"
#include "platform/gdi/gdi.h"
#include "platform/user/scrollBars.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct Boxes {
    TForm form{nullptr};
    TXcListBox* list = new TXcListBox(&form);
    TXcComboBox* combo = new TXcComboBox(&form);
    Boxes() {
        form.SetBounds(0, 0, 320, 300);
        list->SetParent(&form);
        list->SetBounds(10, 10, 200, 150);
        combo->SetParent(&form);
        combo->SetBounds(10, 200, 150, 22);
        form.Show();
        Application->ProcessMessages();
    }
};

// A provider with two root items.
struct TwoItems {
    TXcDataProviderBase provider;
    TwoItems() {
        provider.RootItems()->Add("alpha");
        provider.RootItems()->Add("beta");
    }
};

std::vector<std::string> Window(TWinControl* box, UINT count, UINT len, UINT text) {
    std::vector<std::string> r;
    const int n = int(box->Perform(count));
    for (int i = 0; i < n; ++i) {
        std::string s(size_t(box->Perform(len, WPARAM(i))), '\0');
        box->Perform(text, WPARAM(i), LPARAM(s.data()));
        r.push_back(s);
    }
    return r;
}
std::vector<std::string> ListWindow(TXcListBox* l) {
    return Window(l, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}
std::vector<std::string> ComboWindow(TXcComboBox* c) {
    return Window(c, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}
using Texts = std::vector<std::string>;

}  // namespace

TEST(XcItemStrings, ItemsGoThroughTheWindowsMessages) {
    Boxes b;
    std::vector<UINT> seen;
    auto spy = [&seen](TWinControl* box) {
        TWndMethod old = box->WindowProc;
        box->WindowProc = [&seen, old](TMessage& m) {
            for (UINT item : std::initializer_list<UINT>{
                     LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT,
                     LB_FINDSTRINGEXACT, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING})
                if (m.Msg == item) seen.push_back(m.Msg);
            old(m);
        };
    };
    spy(b.list);
    b.list->Items()->Add("one");
    b.list->Items()->Insert(0, "zero");
    b.list->Items()->Delete(1);
    EXPECT_EQ(b.list->Items()->IndexOf("ZERO"), 0);
    b.list->Items()->Clear();
    EXPECT_EQ(seen, (std::vector<UINT>{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
                                       LB_FINDSTRINGEXACT, LB_RESETCONTENT}));
    seen.clear();
    spy(b.combo);
    b.combo->Items()->Add("one");
    b.combo->Items()->Insert(0, "zero");
    b.combo->Items()->Delete(0);
    EXPECT_EQ(seen, (std::vector<UINT>{CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING}));
    // Objects travel as the items' data.
    TObject marker;
    b.list->Items()->Add("with data", &marker);
    EXPECT_EQ(b.list->Perform(LB_GETITEMDATA, 0), LRESULT(&marker));
    EXPECT_EQ(b.list->Items()->Objects(0), &marker);
    // An index the window refuses is the list error.
    for (int bad : {-1, 1, 7}) {
        EXPECT_THROW(b.list->Items()->Get(bad), EListError) << bad;
        EXPECT_THROW(b.combo->Items()->Get(bad), EListError) << bad;
    }
    try {
        b.list->Items()->Delete(5);
        ADD_FAILURE() << "deleting item 5 of 1";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message, "列表索引超过了最大值(5)");
    }
}

TEST(XcItemStrings, NothingAddedWhileAProviderShowsIsLost) {
    struct Row {
        const char* what;
        std::function<void(TStrings*)> change;
        Texts own;  // the own strings after the change, back in the window
    };
    const std::vector<Row> rows = {
        {"add", [](TStrings* s) { s->Add("new"); }, {"own 1", "own 2", "new"}},
        {"insert", [](TStrings* s) { s->Insert(0, "new"); }, {"new", "own 1", "own 2"}},
        {"delete", [](TStrings* s) { s->Delete(0); }, {"own 2"}},
        {"set", [](TStrings* s) { s->SetString(1, "new"); }, {"own 1", "new"}},
        {"clear", [](TStrings* s) { s->Clear(); }, {}},
    };
    for (const Row& row : rows) {
        Boxes b;
        TwoItems p;
        for (TStrings* s : {b.list->Items(), b.combo->Items()}) {
            s->Add("own 1");
            s->Add("own 2");
        }
        b.list->Provider()->SetProvider(&p.provider);
        b.combo->Provider()->SetProvider(&p.provider);
        // The windows show the provider's rows; Items keeps the own strings aside.
        ASSERT_EQ(ListWindow(b.list), (Texts{"alpha", "beta"})) << row.what;
        ASSERT_EQ(ComboWindow(b.combo), (Texts{"alpha", "beta"})) << row.what;
        EXPECT_EQ(b.list->Items()->ToVector(), (Texts{"own 1", "own 2"})) << row.what;
        EXPECT_EQ(b.combo->Items()->Count(), 2) << row.what;
        // A change through Items takes the provider away first.
        row.change(b.list->Items());
        row.change(b.combo->Items());
        EXPECT_FALSE(b.list->ProviderSelected()) << row.what;
        EXPECT_FALSE(b.combo->ProviderSelected()) << row.what;
        EXPECT_EQ(b.list->Provider()->Provider(), nullptr) << row.what;
        EXPECT_EQ(ListWindow(b.list), row.own) << row.what;
        EXPECT_EQ(ComboWindow(b.combo), row.own) << row.what;
        EXPECT_EQ(b.list->Items()->ToVector(), row.own) << row.what;
        // A provider chosen again later finds the strings where they are.
        b.list->Provider()->SetProvider(&p.provider);
        b.list->Provider()->SetProvider(nullptr);
        EXPECT_EQ(b.list->Items()->ToVector(), row.own) << row.what;
    }
}

TEST(XcItemStrings, ComboClearKeepsTheEditText) {
    Boxes b;
    b.combo->Items()->Add("one");
    b.combo->SetText("typed");
    b.combo->Items()->Clear();
    EXPECT_EQ(b.combo->Items()->Count(), 0);
    EXPECT_EQ(b.combo->Text(), "typed");
}

TEST(XcListBoxEvents, AddFiresWhereverTheItemLandsInsertFiresNothing) {
    struct Row {
        bool sorted;
        std::function<void(TXcListBox*)> act;
        Texts events;
        Texts items;
    };
    auto add = [](const char* s) {
        return [s](TXcListBox* l) { l->Perform(LB_ADDSTRING, 0, LPARAM(s)); };
    };
    const std::vector<Row> rows = {
        {false, add("c"), {"+c", "change"}, {"b", "d", "c"}},
        {true, add("c"), {"+c", "change"}, {"b", "c", "d"}},  // lands in the middle
        {true, add("a"), {"+a", "change"}, {"a", "b", "d"}},  // and at the top
        {false, [](TXcListBox* l) { l->Items()->Add("e"); }, {"+e", "change"}, {"b", "d", "e"}},
        {true, [](TXcListBox* l) { l->Items()->Add("a"); }, {"+a", "change"}, {"a", "b", "d"}},
        {false,
         [](TXcListBox* l) { l->Perform(LB_INSERTSTRING, 1, LPARAM("c")); },
         {},
         {"b", "c", "d"}},
        {false,
         [](TXcListBox* l) { l->Perform(LB_INSERTSTRING, WPARAM(-1), LPARAM("c")); },
         {},
         {"b", "d", "c"}},
        {false, [](TXcListBox* l) { l->Items()->Insert(2, "c"); }, {}, {"b", "d", "c"}},
        {false, [](TXcListBox* l) { l->Items()->Delete(0); }, {"-b", "change"}, {"d"}},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        Boxes b;
        b.list->SetSorted(rows[i].sorted);
        b.list->Items()->Add("b");
        b.list->Items()->Add("d");
        Texts events;
        b.list->OnAddString = [&](TObject*, const std::string& s) { events.push_back("+" + s); };
        b.list->OnDeleteString = [&](TObject*, const std::string& s) { events.push_back("-" + s); };
        b.list->OnChange = [&](TObject*) { events.push_back("change"); };
        rows[i].act(b.list);
        EXPECT_EQ(events, rows[i].events) << "row " << i;
        EXPECT_EQ(b.list->Items()->ToVector(), rows[i].items) << "row " << i;
    }
}

TEST(XcListBoxSearch, FindStringsByPrefixAndExactWithAndWithoutProvider) {
    struct Row {
        UINT msg;
        WPARAM start;
        const char* text;
        int own;       // over "Apple", "apricot", "Banana", "apple"
        int provided;  // over "alpha", "beta"
    };
    const std::vector<Row> rows = {
        {LB_FINDSTRING, WPARAM(-1), "ap", 0, -1},
        {LB_FINDSTRING, 0, "AP", 1, -1},  // from the item after the start, without case
        {LB_FINDSTRING, 3, "ap", 0, -1},  // wrapping around
        {LB_FINDSTRING, WPARAM(-1), "be", -1, 1},
        {LB_FINDSTRINGEXACT, WPARAM(-1), "apple", 0, -1},
        {LB_FINDSTRINGEXACT, 0, "APPLE", 3, -1},
        {LB_FINDSTRINGEXACT, WPARAM(-1), "app", -1, -1},  // exact: not a prefix
        {LB_FINDSTRINGEXACT, WPARAM(-1), "", -1, -1},
        {LB_FINDSTRINGEXACT, 1, "ALPHA", -1, 0},
    };
    Boxes b;
    for (const char* s : {"Apple", "apricot", "Banana", "apple"}) {
        b.list->Items()->Add(s);
        b.combo->Items()->Add(s);
    }
    const UINT toCombo = UINT(CB_FINDSTRING) - UINT(LB_FINDSTRING);
    for (const Row& r : rows) {
        EXPECT_EQ(b.list->Perform(r.msg, r.start, LPARAM(r.text)), r.own) << r.text;
        const UINT comboMsg = r.msg == LB_FINDSTRING ? r.msg + toCombo : CB_FINDSTRINGEXACT;
        EXPECT_EQ(b.combo->Perform(comboMsg, r.start, LPARAM(r.text)), r.own) << r.text;
    }
    // The list's own items are the window's to search: an empty prefix begins every item.
    // So are the combo box's, as the class library's combo box searches them.
    EXPECT_EQ(b.list->Perform(LB_FINDSTRING, WPARAM(-1), LPARAM("")), 0);
    EXPECT_EQ(b.combo->Perform(CB_FINDSTRING, WPARAM(-1), LPARAM("")), 0);
    // Selecting by text.
    EXPECT_EQ(b.list->Perform(LB_SELECTSTRING, WPARAM(-1), LPARAM("ban")), 2);
    EXPECT_EQ(b.list->ItemIndex(), 2);
    EXPECT_EQ(b.list->Perform(LB_SELECTSTRING, 0, LPARAM("")), 1);
    EXPECT_EQ(b.combo->Perform(CB_SELECTSTRING, WPARAM(-1), LPARAM("ban")), 2);
    EXPECT_EQ(b.combo->ItemIndex(), 2);
    TwoItems p;
    b.list->Provider()->SetProvider(&p.provider);
    b.combo->Provider()->SetProvider(&p.provider);
    for (const Row& r : rows) {
        EXPECT_EQ(b.list->Perform(r.msg, r.start, LPARAM(r.text)), r.provided) << r.text;
        const UINT comboMsg = r.msg == LB_FINDSTRING ? r.msg + toCombo : CB_FINDSTRINGEXACT;
        EXPECT_EQ(b.combo->Perform(comboMsg, r.start, LPARAM(r.text)), r.provided) << r.text;
    }
    // The provider's rows: an empty prefix finds nothing in the list box; in the combo box
    // it finds the first row that has a text.
    EXPECT_EQ(b.list->Perform(LB_FINDSTRING, WPARAM(-1), LPARAM("")), -1);
    EXPECT_EQ(b.combo->Perform(CB_FINDSTRING, WPARAM(-1), LPARAM("")), 0);
}

TEST(XcListBoxLooks, TheBackgroundFollowsTheHorizontalScroll) {
    Boxes b;
    TBitmap picture;
    picture.SetSize(16, 16);
    picture.Canvas()->Brush()->Color = clYellow;
    picture.Canvas()->FillRect(Rect(0, 0, 16, 16));
    b.list->Background()->SetImage(&picture);
    b.list->Background()->SetVisible(true);
    b.list->Items()->Add(std::string(120, 'W'));
    b.list->Items()->Add("short");
    Application->ProcessMessages();
    ASSERT_GT(b.list->MaxWidth(), b.list->ClientWidth());
    EXPECT_EQ(b.list->BackgroundOffset(), 0);
    auto* peer = b.list->PeerAs<ws::ListPeer>();
    for (int step = 0; step < 3; ++step) {
        peer->sendScroll(true, SB_PAGEDOWN);
        Application->ProcessMessages();
        SCROLLINFO si;
        si.fMask = SIF_ALL;
        ASSERT_TRUE(GetScrollInfo(b.list->Handle(), SB_HORZ, &si));
        ASSERT_GT(si.nPos, 0);
        const int expected =
            int(std::lround(double(b.list->MaxWidth()) / double(si.nMax) * double(si.nPos)));
        EXPECT_EQ(b.list->BackgroundOffset(), expected) << "step " << step;
    }
    EXPECT_GT(b.list->BackgroundOffset(), 0);
    // Without a picture drawn the offset stays 0.
    b.list->Background()->SetVisible(false);
    peer->sendScroll(true, SB_LINEUP);
    EXPECT_EQ(b.list->BackgroundOffset(), 0);
}

TEST(XcListBoxLooks, HotTrackIsFlatUntilTheMouseComesOver) {
    Boxes b;
    EXPECT_TRUE(b.list->Ctl3D());
    gdi::Image sunken;
    ASSERT_TRUE(b.list->Peer()->grab(sunken));
    b.list->SetHotTrack(true);
    EXPECT_FALSE(b.list->Ctl3D());
    Application->ProcessMessages();
    gdi::Image flat;
    ASSERT_TRUE(b.list->Peer()->grab(flat));
    // The border looks different: a flat line against the sunken edges.
    bool differs = false;
    for (int x = 0; x < flat.width() && !differs; ++x)
        for (int y : {0, 1}) differs = differs || flat.pixel(x, y) != sunken.pixel(x, y);
    EXPECT_TRUE(differs);
    b.list->Peer()->sendEnterLeave(true);
    EXPECT_TRUE(b.list->Ctl3D());
    b.list->Peer()->sendEnterLeave(false);
    EXPECT_FALSE(b.list->Ctl3D());
    // Without hot tracking the mouse changes nothing.
    b.list->SetHotTrack(false);
    b.list->Peer()->sendEnterLeave(false);
    EXPECT_TRUE(b.list->Ctl3D());
}
