// The extended list box: the horizontal extent follows the widest item, word-wrapped items
// get their heights, dragging re-orders, the selection moves up and down, owner drawing
// uses the selection colours; and the searches over the items.
#include <gtest/gtest.h>

#include <algorithm>
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

namespace {

// A picture of `stripes` horizontal bands, each `band` pixels high and of its own colour.
TColor StripeColour(int k) { return TColor(RGB(BYTE(k * 12), BYTE(250 - k * 12), BYTE(k * 7))); }
void PaintStripes(TBitmap& b, int size, int band) {
    b.SetSize(size, size);
    for (int k = 0; k * band < size; ++k) {
        b.Canvas()->Brush()->Color = StripeColour(k);
        b.Canvas()->FillRect(Rect(0, k * band, size, (k + 1) * band));
    }
}
// An 8 x 8 picture whose every pixel differs from its neighbours.
void PaintChecks(TBitmap& b) {
    b.SetSize(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            b.Canvas()->SetPixel(x, y, TColor(RGB(BYTE(x * 30), BYTE(y * 30), BYTE(200 - x * y))));
}

}  // namespace

// The picture lies still under the whole client area: each row shows the part of it under
// the row (inverted when selected), and where no row is the erase shows it.
TEST(XcListBox, TheBackgroundPictureLiesUnderEveryRowAndBelowTheLast) {
    struct Row {
        const char* name;
        bool stripes;  // else the 8 x 8 tiles
        int rows, top, selected;
        bool scrolledRight;  // the first row is wide and the list scrolled to the right
    };
    const Row table[] = {
        {"striped picture, six rows", true, 6, 0, -1, false},
        {"striped picture, a selected row", true, 6, 0, 3, false},
        {"tiles, a selected row", false, 6, 0, 2, false},
        {"striped picture, scrolled down", true, 20, 4, 6, false},
        {"tiles, scrolled right", false, 6, 0, 3, true},
    };
    constexpr int kRow = 20;
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        ListOnForm f;
        f.list->SetStyle(lbOwnerDrawFixed);
        f.list->SetItemHeight(kRow);
        TBitmap picture;
        if (row.stripes)
            PaintStripes(picture, 200, kRow / 2);
        else
            PaintChecks(picture);
        f.list->Background()->SetImage(&picture);
        f.list->Background()->SetVisible(true);
        for (int i = 0; i < row.rows; ++i)
            f.list->Items()->Add(i == 0 && row.scrolledRight ? std::string(60, 'W') : "");
        if (row.selected >= 0) f.list->SetItemIndex(row.selected);
        f.list->SetTopIndex(row.top);
        Application->ProcessMessages();
        if (row.scrolledRight) {
            f.list->PeerAs<ws::ListPeer>()->sendScroll(true, SB_PAGEDOWN);
            Application->ProcessMessages();
            ASSERT_LT(f.list->ItemRect(1).Left, -5);
        }
        ASSERT_EQ(f.list->TopIndex(), row.top);
        gdi::Image shot;
        ASSERT_TRUE(f.list->Peer()->grab(shot));
        auto under = [&](int x, int y) {
            const COLORREF c =
                COLORREF(picture.Canvas()->Pixel(x % picture.Width(), y % picture.Height()));
            return uint32_t(c) & 0xFFFFFF;
        };
        const int x = 60;
        for (int i = row.top + (row.scrolledRight ? 1 : 0); i < row.rows; ++i) {
            const TRect r = f.list->ItemRect(i);
            if (r.Top >= f.list->ClientHeight() - 4) break;
            for (int y : {r.Top + 1, r.Top + kRow / 2 + 1, r.Bottom - 2}) {
                if (y >= f.list->ClientHeight() - 3) break;  // under the border
                for (int at : {x, x + 3}) {
                    const uint32_t want = under(at, y) ^ (i == row.selected ? 0xFFFFFFu : 0u);
                    EXPECT_EQ(shot.pixel(at, y), want) << "row " << i << " y " << y;
                }
            }
            // Row k from the top starts on band 2k of the stripes.
            if (row.stripes && i != row.selected) {
                EXPECT_EQ(shot.pixel(x, r.Top + 1), ColorToRGB(StripeColour(2 * (i - row.top))));
            }
        }
        const TRect last = f.list->ItemRect(row.rows - 1);
        if (last.Bottom + 6 < f.list->ClientHeight() - 4) {
            const int y = last.Bottom + 5;
            for (int at : {x, x + 5}) EXPECT_EQ(shot.pixel(at, y), under(at, y)) << "below";
        }
    }
}

// Without a provider the window searches the own items as any list box does: an empty text
// begins every item.
TEST(XcListBox, SearchesGoToTheWindowWithoutAProvider) {
    struct Row {
        const char* name;
        UINT msg;
        int start;
        const char* text;
        int want;
    };
    const Row table[] = {
        {"empty prefix from the start", LB_FINDSTRING, -1, "", 0},
        {"empty prefix after the first", LB_FINDSTRING, 0, "", 1},
        {"empty text selects the first", LB_SELECTSTRING, -1, "", 0},
        {"empty text selects the next", LB_SELECTSTRING, 0, "", 1},
        {"prefix wraps around", LB_FINDSTRING, 1, "AL", 0},
        {"exact without case", LB_FINDSTRINGEXACT, -1, "BETA", 1},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        ListOnForm f;
        f.list->Items()->Add("alpha");
        f.list->Items()->Add("beta");
        EXPECT_EQ(int(f.list->Perform(row.msg, WPARAM(row.start), LPARAM(row.text))), row.want);
        if (row.msg == LB_SELECTSTRING) {
            EXPECT_EQ(f.list->ItemIndex(), row.want);
        }
    }
}

// While a provider shows, the list's own editing leaves its rows and the current row alone.
TEST(XcListBox, EditingTheSelectionDoesNothingWhileAProviderShows) {
    struct Row {
        const char* name;
        void (TXcCustomListBox::*edit)();
    };
    const Row table[] = {
        {"move up", &TXcCustomListBox::MoveSelectedUp},
        {"move down", &TXcCustomListBox::MoveSelectedDown},
        {"delete", &TXcCustomListBox::DeleteSelected},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        ListOnForm f;
        f.list->Items()->Add("own");
        TXcDataProviderBase provider;
        for (const char* s : {"alpha", "beta", "gamma"}) provider.RootItems()->Add(s);
        f.list->Provider()->SetProvider(&provider);
        f.list->SetItemIndex(1);
        (f.list->*row.edit)();
        EXPECT_EQ(f.list->ItemIndex(), 1);
        EXPECT_EQ(Shown(f.list), (std::vector<std::string>{"alpha", "beta", "gamma"}));
        f.list->Provider()->SetProvider(nullptr);
        EXPECT_EQ(ItemsOf(f.list), (std::vector<std::string>{"own"}));
    }
}

// A provider's rows of variable height are measured by their texts, also without MultiLine.
TEST(XcListBox, AProvidersRowsAreMeasured) {
    ListOnForm f;
    f.list->SetStyle(lbOwnerDrawVariable);
    TXcDataProviderBase provider;
    provider.RootItems()->Add("one");
    provider.RootItems()->Add("one\ntwo\nthree");
    f.list->Provider()->SetProvider(&provider);
    ASSERT_FALSE(f.list->MultiLine());
    const int one = int(f.list->Perform(LB_GETITEMHEIGHT, 0));
    EXPECT_GE(one, f.list->ItemHeight());
    EXPECT_GE(int(f.list->Perform(LB_GETITEMHEIGHT, 1)), 3 * f.list->Canvas()->TextHeight("0"));
    f.list->Provider()->SetProvider(nullptr);
}

// A virtual list keeps no strings: its count is set, and texts, objects and searches come
// from the data callbacks, through Items and through the window's messages.
TEST(XcListBox, AVirtualListTakesItsItemsFromTheDataCallbacks) {
    for (TListBoxStyle style : {lbVirtual, lbVirtualOwnerDraw}) {
        SCOPED_TRACE(style);
        ListOnForm f;
        TObject marker;
        f.list->SetStyle(style);
        f.list->OnData = [](TWinControl*, int i, std::string& s) { s = "row " + IntToStr(i); };
        f.list->OnDataObject = [&](TWinControl*, int i, TObject*& o) {
            o = i == 2 ? &marker : nullptr;
        };
        f.list->OnDataFind = [](TWinControl*, const std::string& s) {
            return s.rfind("row ", 0) == 0 ? StrToInt(s.substr(4)) : -1;
        };
        f.list->SetCount(4);
        TStrings* items = f.list->Items();
        EXPECT_EQ(items->Count(), 4);
        EXPECT_EQ(f.list->Perform(LB_GETCOUNT), 4);
        EXPECT_EQ(items->Get(3), "row 3");
        EXPECT_EQ(items->Objects(2), &marker);
        EXPECT_EQ(items->IndexOf("row 1"), 1);
        EXPECT_EQ(items->IndexOf("other"), -1);
        EXPECT_EQ(Shown(f.list), (std::vector<std::string>{"row 0", "row 1", "row 2", "row 3"}));
        EXPECT_EQ(f.list->Perform(LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("row 2")), 2);
        EXPECT_THROW(items->Get(4), EListError);
        // Strings are not added to it; the count alone says how many rows there are.
        EXPECT_EQ(items->Add("x"), -1);
        EXPECT_EQ(items->Count(), 4);
        f.list->SetCount(2);
        EXPECT_EQ(f.list->Count(), 2);
        Application->ProcessMessages();
    }
    ListOnForm plain;
    EXPECT_THROW(plain.list->SetCount(3), EListError);
}

namespace {

// The rightmost column of row `i` holding a pixel other than the window colour; -1 if none.
int RightmostInk(TXcListBox* l, int i) {
    Application->ProcessMessages();
    gdi::Image shot;
    if (!l->Peer()->grab(shot)) return -1;
    const TRect r = l->ItemRect(i);
    for (int x = r.Right - 1; x >= r.Left; --x)
        for (int y = r.Top; y < r.Bottom; ++y)
            if (shot.pixel(x, y) != ColorToRGB(clWindow)) return x;
    return -1;
}

}  // namespace

// Right-to-left reading keeps its two pixels of room on the right, where the text begins.
TEST(XcListBox, TheRoomBeforeTheTextIsOnTheReadingSide) {
    ListOnForm f;
    f.list->SetScrollBars(ssNone);
    f.list->SetAlignment(taRightJustify);
    f.list->SetShowFocusRect(false);
    f.list->Items()->Add("text");
    const int leftToRight = RightmostInk(f.list, 0);
    ASSERT_GT(leftToRight, 0);
    f.list->BiDiMode = bdRightToLeft;
    f.list->Invalidate();
    EXPECT_EQ(RightmostInk(f.list, 0), leftToRight - 2);
}

// A new window keeps MultiLine only with variable heights, and an alignment only with drawn
// items.
TEST(XcListBox, ANewWindowDropsWhatItsStyleCannotShow) {
    struct Row {
        const char* name;
        bool multiLine;
        TAlignment alignment;
        TListBoxStyle style;
        bool wantMultiLine;
        TAlignment wantAlignment;
    };
    const Row table[] = {
        {"multi-line made standard", true, taLeftJustify, lbStandard, false, taLeftJustify},
        {"multi-line made fixed", true, taLeftJustify, lbOwnerDrawFixed, false, taLeftJustify},
        {"multi-line stays variable", true, taCenter, lbOwnerDrawVariable, true, taCenter},
        {"centred made standard", false, taCenter, lbStandard, false, taLeftJustify},
        {"right stays fixed", false, taRightJustify, lbOwnerDrawFixed, false, taRightJustify},
    };
    for (const Row& row : table) {
        SCOPED_TRACE(row.name);
        ListOnForm f;
        f.list->SetMultiLine(row.multiLine);
        f.list->SetAlignment(row.alignment);
        f.list->SetStyle(row.style);
        f.list->SetParent(nullptr);
        f.list->SetParent(&f.form);
        ASSERT_TRUE(f.list->HandleAllocated());
        EXPECT_EQ(f.list->MultiLine(), row.wantMultiLine);
        EXPECT_EQ(f.list->Alignment(), row.wantAlignment);
    }
}

namespace {

// The extended list of the form, or a class library list in its place.
TListBox* ListUnderTest(ListOnForm& f, bool extended) {
    if (extended) return f.list;
    f.list->SetVisible(false);
    auto* list = new TListBox(&f.form);
    list->SetParent(&f.form);
    list->SetBounds(10, 10, 200, 150);
    return list;
}

// Pixels of row `i`'s inside (without its edges, where a focus rectangle lies) that are not
// the window colour.
int InkInRow(TListBox* l, int i) {
    Application->ProcessMessages();
    gdi::Image shot;
    if (!l->Peer()->grab(shot)) return -1;
    const TRect r = l->ItemRect(i);
    int ink = 0;
    for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
        for (int x = r.Left + 1; x < r.Right - 1 && x < shot.width(); ++x)
            ink += shot.pixel(x, y) != ColorToRGB(clWindow);
    return ink;
}

// Whether a line near the top of the list is dotted: its pixels alternate for 40 columns.
bool DottedLineAtTheTop(TListBox* l) {
    Application->ProcessMessages();
    gdi::Image shot;
    if (!l->Peer()->grab(shot)) return false;
    for (int y = 0; y < l->ItemHeight() + 4 && y < shot.height(); ++y) {
        int alternations = 0;
        for (int x = 10; x < 50 && x + 1 < shot.width(); ++x)
            alternations += shot.pixel(x, y) != shot.pixel(x + 1, y);
        if (alternations == 40) return true;
    }
    return false;
}

}  // namespace

// A virtual list's rows show the data callbacks' texts, and the extended list's extent is
// measured over them.
TEST(XcListBox, AVirtualListDrawsAndMeasuresTheRowsOfItsData) {
    for (bool extended : {true, false}) {
        for (TListBoxStyle style : {lbVirtual, lbVirtualOwnerDraw}) {
            SCOPED_TRACE(std::to_string(extended) + " " + std::to_string(int(style)));
            ListOnForm f;
            TListBox* list = ListUnderTest(f, extended);
            list->SetStyle(style);
            list->OnData = [](TWinControl*, int i, std::string& s) { s = "WWWWWW" + IntToStr(i); };
            list->SetCount(3);
            EXPECT_GT(InkInRow(list, 0), 10);
            if (!extended) continue;
            EXPECT_EQ(list->Items()->Get(0), "WWWWWW0");
            EXPECT_EQ(f.Extent(),
                      std::max({f.Width("WWWWWW0"), f.Width("WWWWWW1"), f.Width("WWWWWW2")}));
        }
    }
}

// MultiLine makes the style variable, else a non-left alignment makes it fixed, whatever
// it was (a virtual list keeps its own: any other would show its rows without text). A new
// window keeps the alignment of owner-drawn styles only.
TEST(XcListBox, TheAlignmentMakesTheListOwnerDrawnWithFixedHeights) {
    const struct {
        TListBoxStyle style;
        bool multiLine;
        TAlignment alignment;
        TListBoxStyle want;
        TAlignment inNewWindow;
    } rows[] = {
        {lbStandard, false, taCenter, lbOwnerDrawFixed, taCenter},
        {lbOwnerDrawVariable, false, taRightJustify, lbOwnerDrawFixed, taRightJustify},
        {lbOwnerDrawVariable, false, taLeftJustify, lbOwnerDrawVariable, taLeftJustify},
        {lbOwnerDrawFixed, true, taCenter, lbOwnerDrawVariable, taCenter},
        {lbVirtual, false, taCenter, lbVirtual, taLeftJustify},
        {lbVirtualOwnerDraw, false, taCenter, lbVirtualOwnerDraw, taCenter},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(int(row.style)) + " " + std::to_string(int(row.alignment)));
        ListOnForm f;
        f.list->SetStyle(row.style);
        f.list->SetMultiLine(row.multiLine);
        f.list->SetAlignment(row.alignment);
        EXPECT_EQ(f.list->Style(), row.want);
        f.list->SetParent(nullptr);
        f.list->SetParent(&f.form);
        EXPECT_EQ(f.list->Alignment(), row.inNewWindow);
        EXPECT_EQ(f.list->MultiLine(), row.multiLine);
    }
}

// An empty owner-drawn list with the focus is asked to draw item -1: its focus rectangle
// shows where the first row would be.
TEST(XcListBox, AnEmptyFocusedOwnerDrawnListShowsItsFocusRectangle) {
    for (bool extended : {true, false}) {
        for (bool focused : {true, false}) {
            SCOPED_TRACE(std::to_string(extended) + " " + std::to_string(focused));
            ListOnForm f;
            TListBox* list = ListUnderTest(f, extended);
            auto* other = new TEdit(&f.form);
            other->SetParent(&f.form);
            other->SetBounds(220, 10, 60, 21);
            list->SetStyle(lbOwnerDrawFixed);
            (focused ? static_cast<TWinControl*>(list) : other)->SetFocus();
            ASSERT_EQ(list->Focused(), focused);
            EXPECT_EQ(DottedLineAtTheTop(list), focused);
        }
    }
}
