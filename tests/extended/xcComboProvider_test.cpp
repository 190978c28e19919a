// The combo box with a provider: its rows drawn and measured by the provider's renderer, its
// searches over the rows' texts; and the class library's typing behaviours it publishes:
// type-ahead selection, dropping down when typing, sorted items.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "controls/extended/xcComboBox.h"
#include "platform/rtl/utf8.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/peerKinds.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

const TColor kInk = TColor(0x0080FF);  // what the renderer paints, seen nowhere else

// The list's renderer: paints each row in its own colour, counts its calls, and makes every
// row 30 pixels high.
struct CountingRenderer : TXcBaseDataItemsRenderer {
    using TXcBaseDataItemsRenderer::TXcBaseDataItemsRenderer;
    int draws = 0, measures = 0;
    void DrawItem(TCanvas& c, TXcBaseDataItem*, const TRect& r, TOwnerDrawState) override {
        ++draws;
        c.Brush()->Color = kInk;
        c.FillRect(r);
    }
    SIZE MeasureItem(TCanvas&, TXcBaseDataItem*) override {
        ++measures;
        return SIZE{40, 30};
    }
    SIZE AverageItemSize(TCanvas&) override { return SIZE{40, 30}; }
};

struct Provider {
    TXcDataProviderBase provider;
    CountingRenderer* renderer = nullptr;
    explicit Provider(const std::vector<const char*>& captions) {
        TXcDataItemsList* root = provider.RootItems();
        root->RemoveImplementer(root->GetInterface<TXcCustomDataItemsTextRenderer>());
        renderer = root->AddImplementer(std::make_unique<CountingRenderer>(root));
        for (const char* c : captions) {
            TXcBaseDataItem* item = root->Add(c ? c : "");
            // A null caption: an item without a text.
            if (!c) item->RemoveImplementer(item->GetInterface<TXcDataItemTextImpl>());
        }
    }
};

// A combo box whose keys can be typed as the window system hands them over.
class TTypedCombo : public TXcComboBox {
public:
    using TXcComboBox::ItemTextOf;
    using TXcComboBox::TXcComboBox;
    bool Type(const std::string& keys) {
        bool all = true;
        for (char k : keys) all = peerKey(WM_CHAR, static_cast<unsigned char>(k), 0) && all;
        return all;
    }
};

struct ComboOnForm {
    TForm form{nullptr};
    TTypedCombo* combo = new TTypedCombo(&form);
    explicit ComboOnForm(TComboBoxStyle style = csDropDown,
                         const std::vector<const char*>& items = {"one", "two", "three"}) {
        form.SetBounds(0, 0, 300, 300);
        combo->SetParent(&form);
        combo->SetStyle(style);
        combo->SetBounds(10, 10, 150, 22);
        for (const char* s : items) combo->Items()->Add(s);
        form.Show();
        Application->ProcessMessages();
    }
    ~ComboOnForm() { combo->Provider()->SetProvider(nullptr); }
    std::string Edit() const { return combo->Peer()->text(); }
    std::pair<int, int> Selection() const {
        DWORD from = 0, to = 0;
        combo->Perform(CB_GETEDITSEL, WPARAM(&from), LPARAM(&to));
        return {int(from), int(to)};
    }
};

int CountInk(const gdi::Image& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += img.pixel(x, y) == ColorToRGB(kInk);
    return n;
}

}  // namespace

TEST(XcComboProvider, TheRendererDrawsTheRowsOfTheDropDown) {
    ComboOnForm f(csDropDown);
    Provider p({"alpha", "beta", "gamma"});
    f.combo->Provider()->SetProvider(&p.provider);
    Application->ProcessMessages();
    // Owner drawn with one height, in the provider's order, the edit part kept.
    const DWORD style = f.combo->WindowStyle();
    EXPECT_TRUE(style & CBS_OWNERDRAWFIXED);
    EXPECT_FALSE(style & (CBS_SORT | CBS_HASSTRINGS | CBS_OWNERDRAWVARIABLE));
    EXPECT_EQ(f.combo->Style, csDropDown);
    auto* peer = f.combo->PeerAs<ws::ComboPeer>();
    f.combo->Perform(CB_SHOWDROPDOWN, 1);
    Application->ProcessMessages();
    gdi::Image shot;
    ASSERT_TRUE(peer->grabDropDown(shot));
    f.combo->Perform(CB_SHOWDROPDOWN, 0);
    EXPECT_GT(p.renderer->draws, 0);
    // Three rows of 30 pixels show the renderer's paint over most of their area.
    EXPECT_GT(CountInk(shot), 3 * 20 * 100);
    // Without the provider the rows are the own items, plainly drawn.
    f.combo->Provider()->SetProvider(nullptr);
    EXPECT_FALSE(f.combo->WindowStyle() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE));
    EXPECT_EQ(f.combo->Items()->ToVector(), (std::vector<std::string>{"one", "two", "three"}));
    f.combo->Perform(CB_SHOWDROPDOWN, 1);
    Application->ProcessMessages();
    ASSERT_TRUE(peer->grabDropDown(shot));
    f.combo->Perform(CB_SHOWDROPDOWN, 0);
    EXPECT_EQ(CountInk(shot), 0);
}

TEST(XcComboProvider, HeightsAreMeasuredAsTheMeasureStyleAsks) {
    const struct {
        const char* what;
        TComboBoxStyle style;
        TXcComboBoxMeasureStyle measure;
        bool measuredAfterCreation;  // WM_INITDIALOG measures the rows
    } rows[] = {
        {"standard, edit part", csDropDown, cmsStandard, true},
        {"after creation", csDropDownList, cmsAfterCreate, true},
        {"before drawing, one height", csOwnerDrawFixed, cmsBeforeDraw, true},
        {"before drawing, a height per row", csOwnerDrawVariable, cmsBeforeDraw, false},
        {"standard, a height per row", csOwnerDrawVariable, cmsStandard, true},
    };
    for (const auto& r : rows) {
        ComboOnForm f(r.style);
        f.combo->SetMeasureStyle(r.measure);
        Provider p({"alpha", "beta"});
        f.combo->Provider()->SetProvider(&p.provider);
        EXPECT_GT(p.renderer->measures, 0) << r.what;
        if (r.style != csOwnerDrawVariable) {
            EXPECT_EQ(f.combo->Perform(CB_GETITEMHEIGHT, 0), 30) << r.what;
        }
        p.renderer->measures = 0;
        f.combo->Perform(WM_INITDIALOG);
        EXPECT_EQ(p.renderer->measures > 0, r.measuredAfterCreation) << r.what;
    }
    // The class library's hook asks the form's event, without a provider too.
    ComboOnForm f(csOwnerDrawFixed);
    std::vector<int> asked;
    f.combo->OnMeasureItem = [&](TWinControl*, int index, int& h) {
        asked.push_back(index);
        h = 25;
    };
    f.combo->SetMeasureStyle(cmsAfterCreate);
    EXPECT_EQ(asked, (std::vector<int>{-1, 0}));
    EXPECT_EQ(f.combo->Perform(CB_GETITEMHEIGHT, 0), 25);
    EXPECT_EQ(f.combo->ItemHeight(), 25);
}

TEST(XcComboProvider, SearchesGoOverTheRowsTexts) {
    ComboOnForm f(csDropDown);
    // Row 0 has no text.
    Provider p({nullptr, "Alpha", "beta", "Ärger"});
    const struct {
        UINT msg;
        int start;
        const char* text;
        int own;       // over "one", "two", "three", without the provider
        int provided;  // over the provider's rows
    } rows[] = {
        {CB_FINDSTRING, -1, "", 0, 1},  // an empty prefix: the first row with a text
        {CB_FINDSTRING, 1, "", 2, 2},
        {CB_FINDSTRING, 3, "", 0, 1},  // wrapping past the row without a text
        {CB_FINDSTRINGEXACT, -1, "", -1, -1},
        {CB_FINDSTRING, -1, "äR", -1, 3},  // without case beyond ASCII
        {CB_FINDSTRING, -1, "T", 1, -1},
        {CB_FINDSTRINGEXACT, -1, "ALPHA", -1, 1},
        {CB_FINDSTRINGEXACT, -1, "alp", -1, -1},
        {CB_FINDSTRINGEXACT, 0, "THREE", 2, -1},
    };
    for (const auto& r : rows)
        EXPECT_EQ(f.combo->Perform(r.msg, WPARAM(r.start), LPARAM(r.text)), r.own)
            << r.text << " from " << r.start;
    f.combo->Provider()->SetProvider(&p.provider);
    for (const auto& r : rows)
        EXPECT_EQ(f.combo->Perform(r.msg, WPARAM(r.start), LPARAM(r.text)), r.provided)
            << r.text << " from " << r.start;
    EXPECT_EQ(f.combo->Perform(CB_SELECTSTRING, WPARAM(-1), LPARAM("BE")), 2);
    EXPECT_EQ(f.combo->ItemIndex(), 2);
    // A row chosen by typing is the consumer's selected item.
    f.combo->SetItemIndex(-1);
    EXPECT_TRUE(f.combo->Type("a"));
    EXPECT_EQ(f.combo->ItemIndex(), 1);
    EXPECT_EQ(f.combo->Provider()->GetInterface<TXcDataConsumerItemSelect>()->SelectedItem(),
              p.provider.RootItems()->Item(1));
}

TEST(XcComboTyping, TypeAheadSelectsTheFirstItemThatBeginsWithTheKeys) {
    // A list alone: the keys typed together make one prefix.
    ComboOnForm list(csDropDownList, {"one", "two", "three", "Tea"});
    int changes = 0;
    list.combo->OnChange = [&](TObject*) { ++changes; };
    const struct {
        const char* keys;
        bool pause;  // longer than the typing pause first
        int index;
    } rows[] = {
        {"t", false, 1}, {"h", false, 2},  // "th"
        {"o", true, 0},  {"te", true, 3},  // without case
        {"x", false, 3},                   // "tex", then "x": nothing begins so
        {"z", true, 3},
    };
    for (const auto& r : rows) {
        if (r.pause) std::this_thread::sleep_for(std::chrono::milliseconds(550));
        EXPECT_TRUE(list.combo->Type(r.keys)) << r.keys;
        EXPECT_EQ(list.combo->ItemIndex(), r.index) << r.keys;
    }
    EXPECT_EQ(changes, 5);  // t, th, o, t (back to "two"), te
    // An edit part: the text is completed, the completion selected for the next key.
    ComboOnForm edit(csDropDown);
    EXPECT_TRUE(edit.combo->Type("t"));
    EXPECT_EQ(edit.combo->ItemIndex(), 1);
    EXPECT_EQ(edit.Edit(), "two");
    EXPECT_EQ(edit.Selection(), std::make_pair(1, 3));
    EXPECT_TRUE(edit.combo->Type("h"));
    EXPECT_EQ(edit.Edit(), "three");
    EXPECT_EQ(edit.Selection(), std::make_pair(2, 5));
    EXPECT_TRUE(edit.combo->Type("x"));  // no item: the key is typed as it is
    EXPECT_EQ(edit.Edit(), "thx");
    EXPECT_EQ(edit.combo->ItemIndex(), -1);
    EXPECT_EQ(edit.Selection(), std::make_pair(3, 3));
    // Without AutoComplete the keys are the edit part's own.
    edit.combo->SetAutoComplete(false);
    EXPECT_FALSE(edit.combo->Type("o"));
    EXPECT_EQ(edit.Edit(), "thx");
}

// The completion goes on after the part of the item that matched the typed text, which folds
// alike but may be spelled in other bytes: never half a character.
TEST(XcComboTyping, CompletionCutsTheItemWhereItsMatchingPartEnds) {
    const struct {
        const char* item;
        const char* before;  // the edit text, the caret at its end
        char key;
        const char* shown;  // "" when nothing completes
    } rows[] = {
        {"ılık", "", 'i', "ilık"},      // dotless i (2 bytes) folds to I
        {"ſtraße", "", 's', "straße"},  // long s (2 bytes) folds to S
        {"ⱥxyz", "Ⱥ", 'x', "Ⱥxyz"},     // 3 bytes fold to 2
        {"ȿab", "Ȿ", 'a', "Ȿab"},       // 2 bytes fold to 3
        {"ςok", "σ", 'O', "σOk"},       // final sigma folds as sigma
        {"中a文", "中", 'A', "中A文"},  // no case
        {"ßx", "", 's', ""},            // sharp s is no "s"
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.item);
        ComboOnForm f(csDropDown, {r.item});
        f.combo->SetText(r.before);
        const std::string typed = std::string(r.before) + r.key;
        EXPECT_TRUE(f.combo->Type(std::string(1, r.key)));
        const std::string shown = f.Edit();
        EXPECT_TRUE(IsUtf8(shown)) << shown;
        if (*r.shown == 0) {
            EXPECT_EQ(f.combo->ItemIndex(), -1);
            EXPECT_EQ(shown, typed);
            continue;
        }
        EXPECT_EQ(f.combo->ItemIndex(), 0);
        EXPECT_EQ(shown, r.shown);
        EXPECT_EQ(f.Selection(), std::make_pair(int(typed.size()), int(shown.size())));
    }
}

TEST(XcComboTyping, AutoDropDownOpensTheListOnTheFirstKey) {
    for (bool on : {false, true}) {
        ComboOnForm f(csDropDownList);
        f.combo->SetAutoDropDown(on);
        f.combo->Type("t");
        Application->ProcessMessages();
        EXPECT_EQ(f.combo->Perform(CB_GETDROPPEDSTATE) != 0, on);
        EXPECT_EQ(f.combo->ItemIndex(), 1);
        f.combo->Perform(CB_SHOWDROPDOWN, 0);
        Application->ProcessMessages();
    }
}

TEST(XcComboTyping, SortedItemsKeepTheirOrderButAProvidersRowsDoNot) {
    ComboOnForm f(csDropDown, {"pear", "Apple", "fig"});
    f.combo->SetSorted(true);
    EXPECT_TRUE(f.combo->WindowStyle() & CBS_SORT);
    EXPECT_EQ(f.combo->Items()->ToVector(), (std::vector<std::string>{"Apple", "fig", "pear"}));
    EXPECT_EQ(f.combo->Items()->Add("banana"), 1);
    EXPECT_EQ(f.combo->Perform(CB_ADDSTRING, 0, LPARAM("zucchini")), 4);
    std::vector<char> buffer(64);
    f.combo->Perform(CB_GETLBTEXT, 1, LPARAM(buffer.data()));
    EXPECT_STREQ(buffer.data(), "banana");
    Provider p({"zeta", "alpha"});
    f.combo->Provider()->SetProvider(&p.provider);
    EXPECT_FALSE(f.combo->WindowStyle() & CBS_SORT);
    f.combo->Perform(CB_GETLBTEXT, 0, LPARAM(buffer.data()));
    EXPECT_STREQ(buffer.data(), "zeta");
    f.combo->Provider()->SetProvider(nullptr);
    EXPECT_EQ(f.combo->Items()->ToVector(),
              (std::vector<std::string>{"Apple", "banana", "fig", "pear", "zucchini"}));
}

TEST(XcComboProvider, ItemTextsComeFromTheRowsItems) {
    ComboOnForm f(csDropDownList);
    Provider p({nullptr, "Alpha"});
    const struct {
        bool provided;
        int index;
        const char* text;  // null: the list index error
    } rows[] = {
        {false, 1, "two"},
        {false, 3, nullptr},
        {false, -1, nullptr},
        {true, 0, "(项目不支持 IXcDataItemText 界面)"},  // a row without a text
        {true, 1, "Alpha"},
        {true, 2, nullptr},
    };
    for (const auto& r : rows) {
        f.combo->Provider()->SetProvider(r.provided ? &p.provider : nullptr);
        if (r.text) {
            EXPECT_EQ(f.combo->ItemTextOf(r.index), r.text) << r.index;
            continue;
        }
        try {
            f.combo->ItemTextOf(r.index);
            ADD_FAILURE() << "no error for " << r.index;
        } catch (const EListError& e) {
            EXPECT_EQ(std::string(e.what()), Format("列表索引超过了最大值(%d)", r.index));
        }
    }
}
