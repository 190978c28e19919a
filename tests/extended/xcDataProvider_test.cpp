// Data providers and consumers: reference counts and implementers, the order in which the
// provider's notifications reach a consumer, the view list following a small item tree,
// the selection kept by ID across a re-sort, contexts, and "Extensions" and "Items" streamed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/extended/xcDataConsumerView.h"

namespace {

struct Counted : TExtensibleInterfacedPersistent {
    explicit Counted(bool* freed) : freed_(freed) {}
    ~Counted() override { *freed_ = true; }
    bool* freed_;
};

struct Extra : TAggregatedPersistentEx {
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TestExtra"; }
    int Level = 0;
    std::vector<std::pair<std::string, TDfmValue>> Properties() const override {
        TDfmValue v;
        v.i = Level;
        return {{"Level", v}};
    }
    void SetProperty(const std::string& n, const TDfmValue& v) override {
        if (n == "Level") Level = int(v.i);
    }
};
struct MoreExtra : Extra {
    using Extra::Extra;
    std::string ClassName() const override { return "TestMoreExtra"; }
};

// A consumer with a view list and a selection over a provider with a small tree:
//   A (A1, A2, A3), B, C
struct Fixture {
    TXcDataProviderBase provider;
    XcRef<TXcDataConsumer> consumer{XcCreate<TXcDataConsumer>(nullptr)};
    TXcDataConsumerViewList* view;
    TXcDataConsumerItemSelect* select;
    TXcBaseDataItem *a, *b, *c, *a1, *a2, *a3;
    Fixture() {
        view = consumer->AddImplementer(std::make_unique<TXcDataConsumerViewList>(consumer.get()));
        select =
            consumer->AddImplementer(std::make_unique<TXcDataConsumerItemSelect>(consumer.get()));
        TXcDataItemsList* root = provider.RootItems();
        a = root->Add("A");
        b = root->Add("B");
        c = root->Add("C");
        a1 = a->SubItems()->Add("A1");
        a2 = a->SubItems()->Add("A2");
        a3 = a->SubItems()->Add("A3");
    }
    std::vector<std::string> Rows() { return TXcConsumerStrings(consumer.get()).ToVector(); }
};

}  // namespace

TEST(XcData, CountsAndImplementers) {
    bool freed = false;
    Counted* obj = XcCreate<Counted>(&freed);
    EXPECT_EQ(obj->RefCount(), 0);
    obj->AddRef();
    obj->Release();
    EXPECT_TRUE(freed);

    XcRef<TXcDataConsumer> host(XcCreate<TXcDataConsumer>(nullptr));
    Extra* e = host->AddImplementer(std::make_unique<Extra>(host.get()));
    try {
        host->AddImplementer(std::make_unique<Extra>(host.get()));
        FAIL() << "a second implementer of the class was taken";
    } catch (const EXCLException& ex) {
        EXPECT_EQ(std::string(ex.what()), "已有该类工具");
    }
    EXPECT_EQ(host->ImplementerCount(), 1);
    // A descendant of a class present is not a duplicate the other way round.
    host->AddImplementer(std::make_unique<MoreExtra>(host.get()));
    EXPECT_EQ(host->IndexOfImplementerClass<Extra>(), 1);  // the last one of that kind
    EXPECT_EQ(host->GetInterface<MoreExtra>(), host->Implementer(1));
    host->RemoveImplementer(e);
    EXPECT_EQ(host->ImplementerCount(), 1);
}

TEST(XcData, ExtensionsAreStreamedByRegisteredClass) {
    XcRef<TXcDataConsumer> host(XcCreate<TXcDataConsumer>(nullptr));
    host->AddImplementer(std::make_unique<Extra>(host.get()))->Level = 7;
    EXPECT_FALSE(host->HasExtensions());  // nothing registered: nothing written
    EXPECT_TRUE(host->WriteExtensions().items.empty());
    RegisterXcImplementerClass("TestExtra", [](TExtensibleInterfacedPersistent* o) {
        return std::unique_ptr<TAggregatedPersistentEx>(new Extra(o));
    });
    TDfmValue v = host->WriteExtensions();
    ASSERT_EQ(v.items.size(), 1u);
    EXPECT_EQ(v.items[0][0].first, "ClassName");
    EXPECT_EQ(v.items[0][0].second.s, "TestExtra");
    XcRef<TXcDataConsumer> copy(XcCreate<TXcDataConsumer>(nullptr));
    copy->ReadExtensions(v);
    ASSERT_NE(copy->GetInterface<Extra>(), nullptr);
    EXPECT_EQ(copy->GetInterface<Extra>()->Level, 7);
    // The reader's refusals, each with its message.
    struct Row {
        TDfmValue value;
        std::string message;
    };
    TDfmValue notCollection;
    TDfmValue noClassName;
    noClassName.kind = TDfmValue::vCollection;
    noClassName.items.push_back({{"Level", TDfmValue{}}});
    TDfmValue unknown = v;
    unknown.items[0][0].second.s = "TNobodyRegisteredThis";
    for (const Row& r : {Row{notCollection, "预期收集"}, Row{noClassName, "缺失的类名称属性"},
                         Row{unknown, "类的类型无效"}}) {
        try {
            copy->ReadExtensions(r.value);
            ADD_FAILURE() << r.message;
        } catch (const EReadError& e) {
            EXPECT_EQ(std::string(e.what()), r.message);
        }
    }
}

TEST(XcData, NotificationsReachTheConsumerInOrder) {
    Fixture f;
    std::vector<std::string> seen;
    f.consumer->OnProviderChanging = [&](unsigned char r, TObject*) {
        seen.push_back("changing " + std::to_string(r));
    };
    f.consumer->OnProviderChanged = [&](unsigned char r, TObject*) {
        seen.push_back("changed " + std::to_string(r));
    };
    f.consumer->SetProvider(&f.provider);
    f.provider.RootItems()->Add("D");
    f.b->GetInterface<IXcDataItemText>()->SetCaption("B2");
    f.b->GetInterface<IXcDataItemText>()->SetCaption("B2");  // the same text: nothing
    f.provider.RootItems()->Remove(f.c);
    f.provider.EnableContexts();
    f.provider.Contexts()->Add("main");
    f.provider.RootItems()->Clear();
    EXPECT_EQ(seen, (std::vector<std::string>{"changed 0", "changing 2", "changed 2", "changing 1",
                                              "changed 1", "changing 5", "changed 5", "changing 3",
                                              "changed 3"}));
    // Without a provider nothing arrives.
    f.consumer->SetProvider(nullptr);
    seen.clear();
    f.provider.RootItems()->Add("E");
    EXPECT_TRUE(seen.empty());
}

TEST(XcData, ViewListFollowsTheTree) {
    Fixture f;
    f.consumer->SetProvider(&f.provider);
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"A", "B", "C"}));
    const int rowA = f.view->RowOfID(f.a->ID());
    EXPECT_TRUE(f.view->RowHasChildren(rowA));
    EXPECT_FALSE(f.view->RowExpanded(rowA));
    // Expanding A adds its three children one level deeper; collapsing takes them away.
    f.view->ToggleRow(rowA);
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"A", "A1", "A2", "A3", "B", "C"}));
    EXPECT_EQ(f.view->RowLevel(2), 1);
    EXPECT_EQ(f.view->RowChild(rowA, 2), 3);
    EXPECT_EQ(f.view->RowChild(rowA, 5), -1);
    EXPECT_EQ(f.view->SiblingPosOfID(f.a1->ID()), 0);
    EXPECT_EQ(f.view->SiblingPosOfID(f.a3->ID()), 2);
    EXPECT_EQ(f.view->RowParentItem(2), f.a);
    EXPECT_EQ(f.view->RowNextSiblingItem(rowA), f.b);
    EXPECT_EQ(f.view->RowTreeLines(1), (std::vector<uint32_t>{1}));  // A has a later sibling
    // IDs are found whatever their case.
    std::string lower = f.a2->ID();
    for (char& ch : lower) ch = char(tolower(ch));
    EXPECT_EQ(f.view->RowOfID(lower), 2);
    f.view->ToggleRow(rowA);
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_FALSE(f.view->RowFlags(rowA) & TXcDataConsumerViewList::kExpanded);
    // Items added and removed show at once; an only child leaving clears the parent's bits.
    f.view->ToggleRow(rowA);
    f.a->SubItems()->Add("A4");
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"A", "A1", "A2", "A3", "A4", "B", "C"}));
    TXcBaseDataItem* b1 = f.b->SubItems()->Add("B1");
    EXPECT_TRUE(f.view->RowHasChildren(f.view->RowOfItem(f.b)));
    f.view->ToggleRow(f.view->RowOfItem(f.b));
    EXPECT_EQ(f.view->RowOfItem(b1), f.view->RowOfItem(f.b) + 1);
    f.b->SubItems()->Remove(b1);
    const uint32_t flagsB = f.view->RowFlags(f.view->RowOfItem(f.b));
    EXPECT_FALSE(flagsB & TXcDataConsumerViewList::kExpanded);
    EXPECT_FALSE(flagsB & TXcDataConsumerViewList::kHasChildren);
    f.provider.RootItems()->Remove(f.a);
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"B", "C"}));
    // The indent: the same value changes nothing.
    int changes = 0;
    f.consumer->OnAfterChange = [&](TXcConsumerChange) { ++changes; };
    f.view->SetLevelIndent(16);
    EXPECT_EQ(changes, 0);
    f.view->SetLevelIndent(20);  // a change of layout, not of content
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(f.view->LevelIndent(), 20);
}

TEST(XcData, SelectionIsKeptByIDAcrossAResort) {
    Fixture f;
    EXPECT_THROW(f.select->SetItem(f.b->ID()), EXCLDataConsumer);  // no provider yet
    f.consumer->SetProvider(&f.provider);
    f.select->SetItem(f.b->ID());
    EXPECT_EQ(f.select->SelectedItem(), f.b);
    // Re-sorted: C, B, A.
    f.provider.RootItems()->Move(2, 0);
    f.provider.RootItems()->Move(2, 1);
    EXPECT_EQ(f.Rows(), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(f.select->Item(), f.b->ID());
    EXPECT_EQ(f.select->SelectedItem(), f.b);
    // A nested item is found by ID; removing its parent clears the selection.
    f.select->SetItem(f.a2->ID());
    EXPECT_EQ(f.select->SelectedItem(), f.a2);
    f.provider.RootItems()->Remove(f.a);
    EXPECT_EQ(f.select->Item(), "");
    // Emptying the list leaves nothing dangling.
    f.select->SetItem(f.c->ID());
    f.provider.RootItems()->Clear();
    EXPECT_EQ(f.select->SelectedItem(), nullptr);
    try {
        f.select->SetItem("0123");
        ADD_FAILURE();
    } catch (const EXCLDataConsumer& e) {
        EXPECT_EQ(std::string(e.what()), "在选定的上下文中找不到项目");
    }
}

TEST(XcData, ContextsAndLookups) {
    Fixture f;
    try {
        f.consumer->SetContext("main");
        ADD_FAILURE();
    } catch (const EXCLDataConsumer& e) {
        EXPECT_EQ(std::string(e.what()), "设置上下文前必须指定一个提供器");
    }
    f.consumer->SetProvider(&f.provider);
    EXPECT_THROW(f.consumer->SetContext("main"), EXCLDataConsumer);  // no contexts at all
    f.provider.EnableContexts();
    TXcDataContext* main = f.provider.Contexts()->Add("main");
    TXcDataContext* other = f.provider.Contexts()->Add("other");
    EXPECT_THROW(f.provider.Contexts()->Add("main"), EXCLDataContexts);
    EXPECT_THROW(other->SetName("main"), EXCLDataContexts);
    other->SubContexts()->Add("deep");
    f.consumer->SetContext("OTHER");
    EXPECT_EQ(f.consumer->Context(), "other");
    EXPECT_EQ(f.provider.Contexts()->Find("other/deep")->Name(), "deep");
    ASSERT_NE(f.provider.Contexts()->Find("other/deep/.."), nullptr);
    EXPECT_EQ(f.provider.Contexts()->Find("other/deep/..")->Name(), "other");
    try {
        f.consumer->SetContext("nowhere");
        ADD_FAILURE();
    } catch (const EXCLDataConsumer& e) {
        EXPECT_EQ(std::string(e.what()), "提供器无名称为 \"nowhere\" 的上下文");
    }
    f.consumer->SetContext("");
    EXPECT_EQ(f.consumer->Context(), "");
    (void)main;
    // Items by index path and by path of IDs.
    EXPECT_EQ(f.provider.RootItems()->FindByIndexPath({0, 2}), f.a3);
    EXPECT_EQ(f.provider.RootItems()->FindByPath(f.a->ID() + "/" + f.a1->ID()), f.a1);
    EXPECT_EQ(f.a->SubItems()->FindByPath("/" + f.b->ID()), f.b);
    EXPECT_EQ(f.a->SubItems()->FindByPath("../" + f.c->ID()), f.c);
    EXPECT_EQ(f.provider.RootItems()->FindByID(f.a2->ID(), false), nullptr);
    EXPECT_EQ(f.provider.RootItems()->FindByID(f.a2->ID(), true), f.a2);
    EXPECT_EQ(f.a->ID().size(), 32u);
    EXPECT_NE(f.a->ID(), f.b->ID());
    EXPECT_TRUE(f.a->IsAncestorOf(f.a2));
    EXPECT_FALSE(f.b->IsAncestorOf(f.a2));
}

TEST(XcData, ItemsStreamAndRenderAsText) {
    Fixture f;  // the item classes are registered from the start
    TDfmValue v = f.provider.RootItems()->WriteItems();
    ASSERT_EQ(v.items.size(), 3u);
    TXcDataProviderBase copy;
    copy.RootItems()->ReadItems(v);
    ASSERT_EQ(copy.RootItems()->Count(), 3);
    EXPECT_EQ(copy.RootItems()->Item(0)->ID(), f.a->ID());
    EXPECT_EQ(TXcCustomDataItemsTextRenderer::TextOf(copy.RootItems()->Item(1)), "B");
    ASSERT_EQ(copy.RootItems()->Item(0)->SubItems()->Count(), 3);
    EXPECT_EQ(
        TXcCustomDataItemsTextRenderer::TextOf(copy.RootItems()->Item(0)->SubItems()->Item(2)),
        "A3");
    // An item without a text part shows the framework's own text.
    f.b->RemoveImplementer(f.b->GetInterface<TXcDataItemTextImpl>());
    EXPECT_EQ(TXcCustomDataItemsTextRenderer::TextOf(f.b), "(项目不支持 IXcDataItemText 界面)");
    TCanvas canvas;
    IXcDataItemsRenderer* renderer = f.provider.RootItems()->Renderer();
    ASSERT_NE(renderer, nullptr);
    EXPECT_GT(renderer->MeasureItemIndex(canvas, -1).cx, renderer->MeasureItemIndex(canvas, 2).cx);
    EXPECT_THROW(renderer->MeasureItemIndex(canvas, 9), EXCLDataItems);
}
