// The extended list box: the horizontal extent follows the widest item, word-wrapped items
// get their heights, dragging re-orders, the selection moves up and down, owner drawing
// uses the selection colours; and the searches over the items.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/extended/xcItemsSearch.h"
#include "controls/extended/xcListBox.h"
#include "platform/user/capture.h"
#include "platform/vcl/forms.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

struct ListOnForm {
    TForm form{nullptr};
    TXcListBox* list = new TXcListBox(&form);
    ListOnForm() {
        form.SetBounds(0, 0, 300, 300);
        list->SetParent(&form);
        list->SetBounds(10, 10, 200, 150);
        form.Show();
        Application->ProcessMessages();
    }
    int Extent() { return int(list->Perform(LB_GETHORIZONTALEXTENT)); }
    int Width(const std::string& s) {
        int w = 0, h = 0;
        list->MeasureText(s, 0, w, h);
        return w;
    }
};

std::vector<std::string> ItemsOf(TListBox* l) { return l->Items()->ToVector(); }

}  // namespace

TEST(XcListBox, ExtentFollowsTheWidestItem) {
    ListOnForm f;
    f.list->Items()->Add("abc");
    EXPECT_EQ(f.Extent(), f.Width("abc"));
    f.list->Items()->Add("abcdef");
    EXPECT_EQ(f.Extent(), f.Width("abcdef"));
    EXPECT_GT(f.Width("abcdef"), f.Width("abc"));
    f.list->Items()->Delete(1);
    EXPECT_EQ(f.Extent(), f.Width("abc"));
    // Emptying drops the extent; a shorter item sets it again.
    f.list->Items()->Clear();
    EXPECT_EQ(f.Extent(), 0);
    f.list->Items()->Add("ab");
    EXPECT_EQ(f.Extent(), f.Width("ab"));
    // Through the window's own messages too.
    f.list->Perform(LB_ADDSTRING, 0, LPARAM("a much longer item"));
    EXPECT_EQ(f.Extent(), f.Width("a much longer item"));
    f.list->Perform(LB_DELETESTRING, 1, 0);
    EXPECT_EQ(f.Extent(), f.Width("ab"));
}

TEST(XcListBox, DeletingTheWidestAfterAFontChangeShrinksTheExtent) {
    ListOnForm f;
    for (const char* s : {"short", "a rather long line", "mid"}) f.list->Items()->Add(s);
    f.list->Font()->SetHeight(-16);  // every width measured anew
    const int wide = f.Extent();
    EXPECT_EQ(wide, f.Width("a rather long line"));
    f.list->Items()->Delete(1);
    EXPECT_LT(f.Extent(), wide);
    EXPECT_EQ(f.Extent(), f.Width("short"));
}

TEST(XcListBox, AddAndDeleteEventsReportTheText) {
    ListOnForm f;
    std::vector<std::string> seen;
    int changes = 0;
    f.list->OnAddString = [&](TObject*, const std::string& s) { seen.push_back("+" + s); };
    f.list->OnDeleteString = [&](TObject*, const std::string& s) { seen.push_back("-" + s); };
    f.list->OnChange = [&](TObject*) { ++changes; };
    f.list->Items()->Add("one");
    f.list->Items()->Add("the widest one");
    f.list->Items()->Delete(1);
    EXPECT_EQ(seen, (std::vector<std::string>{"+one", "+the widest one", "-the widest one"}));
    EXPECT_EQ(changes, 3);
}

TEST(XcListBox, MultiLineMeasuresWrappedHeights) {
    ListOnForm f;
    f.list->SetScrollBars(ssBoth);
    f.list->Items()->Add("short");
    std::string longText;
    for (int i = 0; i < 12; ++i) longText += "word" + std::to_string(i) + " ";
    f.list->Items()->Add(longText);
    std::string huge;
    for (int i = 0; i < 400; ++i) huge += "w" + std::to_string(i) + " ";
    f.list->Items()->Add(huge);
    f.list->SetMultiLine(true);
    EXPECT_EQ(f.list->ScrollBars(), ssVertical);  // wrapping needs no horizontal bar
    EXPECT_EQ(f.list->Style(), lbOwnerDrawVariable);
    EXPECT_EQ(f.Extent(), 0);
    const int one = int(f.list->Perform(LB_GETITEMHEIGHT, 0));
    const int wrapped = int(f.list->Perform(LB_GETITEMHEIGHT, 1));
    EXPECT_GE(one, f.list->ItemHeight());
    EXPECT_GT(wrapped, one);
    EXPECT_EQ(f.list->Perform(LB_GETITEMHEIGHT, 2), 255);  // at most 255
    // ssHorizontal gives way to none.
    ListOnForm g;
    g.list->SetScrollBars(ssHorizontal);
    g.list->SetMultiLine(true);
    EXPECT_EQ(g.list->ScrollBars(), ssNone);
}

// A drag of the list's current item to a client point, through the window that holds the
// mouse while a drag goes on (screen coordinates, as the window system reports them).
void DragCurrentTo(TXcListBox* l, const TPoint& at) {
    const TPoint o = l->ClientOrigin();
    const TRect from = l->ItemRect(l->ItemIndex());
    NoteCursorPos(o.X + from.Left + 5, o.Y + from.Top + 2);
    l->BeginDrag(false);
    const HWND capture = GetCapture();
    ASSERT_NE(capture, nullptr);
    SendMessageA(capture, WM_MOUSEMOVE, 1, MAKELPARAM_XY(o.X + at.X, o.Y + at.Y));
    SendMessageA(capture, WM_LBUTTONUP, 0, MAKELPARAM_XY(o.X + at.X, o.Y + at.Y));
}

TEST(XcListBox, DragReordersWithinTheList) {
    ListOnForm f;
    for (const char* s : {"A", "B", "C", "D", "E"}) f.list->Items()->Add(s);
    std::vector<std::string> events;
    f.list->OnDeleteString = [&](TObject*, const std::string& s) { events.push_back("-" + s); };
    f.list->OnChange = [&](TObject*) { events.push_back("change"); };
    // Item 0 dropped on item 4 goes before it: to index 3.
    f.list->SetItemIndex(0);
    f.list->BeginDrag(false);
    ASSERT_EQ(f.list->DragIndex(), 0);
    ASSERT_NE(f.list->GetDragImages(), nullptr);
    EXPECT_EQ(f.list->GetDragImages()->Width(), f.list->Canvas()->TextWidth("A") + 15);
    f.list->EndDrag(false);
    TRect r4 = f.list->ItemRect(4);
    DragCurrentTo(f.list, Point(r4.Left + 5, r4.Top + 2));
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"B", "C", "D", "A", "E"}));
    EXPECT_EQ(events.front(), "-A");
    EXPECT_NE(std::find(events.begin(), events.end(), "change"), events.end());
    // The third item dropped on the first goes to the top.
    f.list->SetItemIndex(2);
    TRect r0 = f.list->ItemRect(0);
    DragCurrentTo(f.list, Point(r0.Left + 5, r0.Top + 2));
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"D", "B", "C", "A", "E"}));
    // The first dropped below the last is appended.
    f.list->SetItemIndex(0);
    DragCurrentTo(f.list, Point(20, 140));
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"B", "C", "A", "E", "D"}));
    // Another control's drag is refused.
    TXcListBox other(&f.form);
    other.SetParent(&f.form);
    other.SetBounds(220, 10, 60, 100);
    other.Items()->Add("X");
    other.SetItemIndex(0);
    Application->ProcessMessages();
    const TPoint o = other.ClientOrigin(), into = f.list->ClientOrigin();
    NoteCursorPos(o.X + 5, o.Y + 2);
    other.BeginDrag(false);
    SendMessageA(GetCapture(), WM_MOUSEMOVE, 1, MAKELPARAM_XY(into.X + 5, into.Y + 50));
    EXPECT_EQ(GetCursor(), Screen->Cursors(crNoDrop));
    SendMessageA(GetCapture(), WM_LBUTTONUP, 0, MAKELPARAM_XY(into.X + 5, into.Y + 50));
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"B", "C", "A", "E", "D"}));
    EXPECT_EQ(ItemsOf(&other), (std::vector<std::string>{"X"}));
}

TEST(XcListBox, MoveSelectedUpAndDown) {
    ListOnForm f;
    for (const char* s : {"a", "b", "c", "d"}) f.list->Items()->Add(s);
    f.list->SetItemIndex(2);
    f.list->MoveSelectedUp();
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"a", "c", "b", "d"}));
    EXPECT_EQ(f.list->ItemIndex(), 1);
    f.list->MoveSelectedDown();
    f.list->MoveSelectedDown();
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"a", "b", "d", "c"}));
    EXPECT_EQ(f.list->ItemIndex(), 3);
    f.list->MoveSelectedDown();  // the last stays last
    EXPECT_EQ(f.list->ItemIndex(), 3);
    // Multi-select: with the first item selected nothing moves up.
    f.list->SetMultiSelect(true);
    for (int i = 0; i < 4; ++i) f.list->SetSelected(i, false);
    f.list->SetSelected(0, true);
    f.list->SetSelected(2, true);
    f.list->MoveSelectedUp();
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"a", "b", "d", "c"}));
    f.list->SetSelected(0, false);
    f.list->MoveSelectedUp();
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"a", "d", "b", "c"}));
    EXPECT_TRUE(f.list->Selected(1));
    EXPECT_FALSE(f.list->Selected(2));
    f.list->DeleteSelected();
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(XcListBox, OwnerDrawnItemsUseTheSelectionColours) {
    ListOnForm f;
    f.list->SetAlignment(taRightJustify);
    EXPECT_EQ(f.list->Style(), lbOwnerDrawFixed);
    f.list->SetSelectedColor(clRed);
    f.list->Items()->Add("x");
    f.list->Items()->Add("y");
    f.list->SetItemIndex(1);
    Application->ProcessMessages();
    TRect r1 = f.list->ItemRect(1), r0 = f.list->ItemRect(0);
    gdi::Image shot;
    ASSERT_TRUE(f.list->Peer()->grab(shot));
    // The selected row is red at its left edge; the other on the window colour.
    EXPECT_EQ(shot.pixel(r1.Left + 2, r1.Top + 1), ColorToRGB(clRed));
    EXPECT_EQ(shot.pixel(r0.Left + 2, r0.Top + 1), ColorToRGB(clWindow));
}

TEST(XcItemsSearchs, ExactAndPrefixWrapAround) {
    TStringList items;
    for (const char* s : {"a", "b", "a"}) items.Add(s);
    EXPECT_EQ(TXcItemsSearchs::FindExact(items, "a", true, 0), 2);
    EXPECT_EQ(TXcItemsSearchs::FindExact(items, "a", true, 2), 0);
    EXPECT_EQ(TXcItemsSearchs::FindExact(items, "a", true, -1), 0);
    TStringList one;
    one.Add("a");
    EXPECT_EQ(TXcItemsSearchs::FindExact(one, "A", false, -1), 0);
    EXPECT_EQ(TXcItemsSearchs::FindExact(one, "A", true, -1), -1);
    EXPECT_EQ(TXcItemsSearchs::FindExact(one, "a", true, 0), 0);  // wraps to itself
    TStringList xy;
    xy.Add("xy");
    xy.Add("ABC");
    EXPECT_EQ(TXcItemsSearchs::FindPrefix(xy, "ab", false, -1), 1);
    EXPECT_EQ(TXcItemsSearchs::FindPrefix(xy, "ab", true, -1), -1);
    EXPECT_EQ(TXcItemsSearchs::FindPrefix(xy, "", false, -1), -1);
    TStringList empty;
    EXPECT_EQ(TXcItemsSearchs::FindPrefix(empty, "a", false, -1), -1);
}

// What the window shows, through its own messages.
std::vector<std::string> Shown(TListBox* l) {
    std::vector<std::string> r;
    const int n = int(l->Perform(LB_GETCOUNT));
    for (int i = 0; i < n; ++i) {
        std::string text(size_t(l->Perform(LB_GETTEXTLEN, WPARAM(i))), '\0');
        l->Perform(LB_GETTEXT, WPARAM(i), LPARAM(text.data()));
        r.push_back(text);
    }
    return r;
}

TEST(XcListBox, AProviderShowsItsItemsAndGivesTheOwnOnesBack) {
    ListOnForm f;
    f.list->Items()->Add("own one");
    f.list->Items()->Add("own two");
    TXcDataProviderBase provider;
    TXcBaseDataItem* alpha = provider.RootItems()->Add("alpha");
    provider.RootItems()->Add("beta");
    f.list->Provider()->SetProvider(&provider);
    EXPECT_TRUE(f.list->ProviderSelected());
    EXPECT_EQ(Shown(f.list), (std::vector<std::string>{"alpha", "beta"}));
    // Items keeps the own strings meanwhile.
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"own one", "own two"}));
    // The provider's changes show; searches go by the provider's texts.
    provider.RootItems()->Add("gamma");
    EXPECT_EQ(f.list->Perform(LB_GETCOUNT), 3);
    alpha->GetInterface<IXcDataItemText>()->SetCaption("alpha 2");
    EXPECT_EQ(Shown(f.list)[0], "alpha 2");
    EXPECT_EQ(f.list->Perform(LB_GETTEXTLEN, 3), LRESULT(int(LB_ERR)));
    EXPECT_EQ(f.list->Perform(LB_FINDSTRING, WPARAM(-1), LPARAM("GAM")), 2);
    EXPECT_EQ(f.list->Perform(LB_FINDSTRINGEXACT, 2, LPARAM("beta")), 1);
    EXPECT_EQ(f.list->Perform(LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("own one")), -1);
    EXPECT_EQ(f.list->Perform(LB_SELECTSTRING, WPARAM(-1), LPARAM("beta")), 1);
    EXPECT_EQ(f.list->ItemIndex(), 1);
    // Without the provider the own strings return.
    f.list->Provider()->SetProvider(nullptr);
    EXPECT_FALSE(f.list->ProviderSelected());
    EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"own one", "own two"}));
    EXPECT_EQ(Shown(f.list), (std::vector<std::string>{"own one", "own two"}));
}

TEST(XcListBox, ScrollEventsMayKeepTheListWhereItIs) {
    ListOnForm f;
    for (int i = 0; i < 60; ++i) f.list->Items()->Add("row " + std::to_string(i));
    Application->ProcessMessages();
    std::vector<UINT> requests;
    bool refuse = false;
    f.list->OnVerticalScroll = [&](TObject*, TMessage& m, bool& dontScroll) {
        requests.push_back(UINT(m.WParam & 0xFFFF));
        dontScroll = refuse;
    };
    // The window's own bar: a step down moves the list and is told first.
    const int top = f.list->TopIndex();
    f.list->PeerAs<ws::ListPeer>()->sendScroll(false, SB_LINEDOWN);
    EXPECT_EQ(requests, (std::vector<UINT>{SB_LINEDOWN}));
    EXPECT_GT(f.list->TopIndex(), top);
    // The handler keeps it where it is.
    refuse = true;
    const int kept = f.list->TopIndex();
    f.list->PeerAs<ws::ListPeer>()->sendScroll(false, SB_LINEDOWN);
    EXPECT_EQ(f.list->TopIndex(), kept);
    // A request sent to the list scrolls it by a line.
    refuse = false;
    f.list->Perform(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(f.list->TopIndex(), kept - 1);
    EXPECT_EQ(requests.size(), 3u);
}
