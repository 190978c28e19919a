// Every windowed control gets the window-system peer of its kind, and what the control sets
// reaches that peer (text, items, the window's title) while painted windows keep none.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/vcl/forms.h"
#include "platform/vcl/richedit.h"
#include "platform/vcl/stdctrls.h"

namespace {
struct Init : ::testing::Environment {
    void SetUp() override { Application->Initialize(); }
};
[[maybe_unused]] ::testing::Environment* const init = ::testing::AddGlobalTestEnvironment(new Init);

// Which interfaces a peer answers to.
struct Kinds {
    bool painted, window, edit, button, list, combo, range, rich;
    bool operator==(const Kinds&) const = default;
};
Kinds KindsOf(ws::Peer* p) {
    return {dynamic_cast<ws::PaintedPeer*>(p) != nullptr,
            dynamic_cast<ws::WindowPeer*>(p) != nullptr,
            dynamic_cast<ws::EditPeer*>(p) != nullptr,
            dynamic_cast<ws::ButtonPeer*>(p) != nullptr,
            dynamic_cast<ws::ListPeer*>(p) != nullptr,
            dynamic_cast<ws::ComboPeer*>(p) != nullptr,
            dynamic_cast<ws::RangePeer*>(p) != nullptr,
            dynamic_cast<ws::RichEditPeer*>(p) != nullptr};
}
}  // namespace

TEST(Peers, EachControlGetsThePeerOfItsKindAndNoOther) {
    struct Row {
        const char* name;
        std::function<TWinControl*(TForm&)> make;
        Kinds kinds;
    };
    const Row rows[] = {
        {"panel",
         [](TForm& f) { return new TPanel(&f); },
         {true, false, false, false, false, false, false, false}},
        {"edit",
         [](TForm& f) { return new TEdit(&f); },
         {false, false, true, false, false, false, false, false}},
        {"check box",
         [](TForm& f) { return new TCheckBox(&f); },
         {false, false, false, true, false, false, false, false}},
        {"radio button",
         [](TForm& f) { return new TRadioButton(&f); },
         {false, false, false, true, false, false, false, false}},
        {"button",
         [](TForm& f) { return new TButton(&f); },
         {false, false, false, true, false, false, false, false}},
        {"list box",
         [](TForm& f) { return new TListBox(&f); },
         {false, false, false, false, true, false, false, false}},
        {"combo box",
         [](TForm& f) { return new TComboBox(&f); },
         {false, false, false, false, false, true, false, false}},
        {"progress bar",
         [](TForm& f) { return new TProgressBar(&f); },
         {false, false, false, false, false, false, true, false}},
        {"rich edit",
         [](TForm& f) { return new TRichEdit(&f); },
         {false, false, false, false, false, false, false, true}},
    };
    TForm form(nullptr);
    form.HandleNeeded();
    EXPECT_EQ(KindsOf(form.Peer()), (Kinds{true, true, false, false, false, false, false, false}));
    for (const Row& r : rows) {
        TWinControl* c = r.make(form);
        c->SetParent(&form);
        c->HandleNeeded();
        ASSERT_NE(c->Peer(), nullptr) << r.name;
        EXPECT_EQ(KindsOf(c->Peer()), r.kinds) << r.name;
    }
}

TEST(Peers, TextReachesTheWidgetsThatShowItAndNotThePaintedOnes) {
    struct Row {
        const char* name;
        std::function<TWinControl*(TForm&)> make;
        std::string shown;  // what the peer answers after the text "甲乙&C"
    };
    const Row rows[] = {
        {"edit", [](TForm& f) { return new TEdit(&f); }, "甲乙&C"},
        {"button", [](TForm& f) { return new TButton(&f); }, "甲乙&C"},
        {"check box", [](TForm& f) { return new TCheckBox(&f); }, "甲乙&C"},
        {"panel", [](TForm& f) { return new TPanel(&f); }, ""},
        {"progress bar", [](TForm& f) { return new TProgressBar(&f); }, ""},
    };
    TForm form(nullptr);
    form.SetCaption("窗口");
    form.HandleNeeded();
    EXPECT_EQ(form.Peer()->text(), "窗口");  // a top-level window's title
    for (const Row& r : rows) {
        TWinControl* c = r.make(form);
        c->SetParent(&form);
        c->HandleNeeded();
        c->SetText("甲乙&C");
        EXPECT_EQ(c->Peer()->text(), r.shown) << r.name;
        EXPECT_EQ(c->Text(), "甲乙&C") << r.name;
    }
}

TEST(Peers, ListAndComboItemsSetBeforeTheWindowAreInItsWidget) {
    TForm form(nullptr);
    auto* list = new TListBox(&form);
    auto* combo = new TComboBox(&form);
    for (TWinControl* c : {static_cast<TWinControl*>(list), static_cast<TWinControl*>(combo)})
        c->SetParent(&form);
    for (const char* s : {"一", "二", "三"}) {
        list->Items()->Add(s);
        combo->Items()->Add(s);
    }
    list->SetItemIndex(2);
    combo->SetItemIndex(1);
    form.HandleNeeded();
    EXPECT_EQ(list->PeerAs<ws::ListPeer>()->itemIndex(), 2);
    EXPECT_TRUE(list->PeerAs<ws::ListPeer>()->selected(2));
    EXPECT_EQ(combo->PeerAs<ws::ComboPeer>()->itemIndex(), 1);
    EXPECT_EQ(combo->Peer()->text(), "二");
}
