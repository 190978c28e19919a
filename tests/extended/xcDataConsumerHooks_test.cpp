// What a consumer tells its implementers, its subscribers and its provider: content changes
// reach the other implementers before the control, a new implementer is shown to the others
// and linked to the owning component, reads of the provider's data are announced with the
// context, the fixed context, an item's notification, and the view's indent as a layout change.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/extended/xcDataConsumerView.h"

namespace {

std::vector<std::string>* gLog = nullptr;
void Log(const std::string& s) {
    if (gLog) gLog->push_back(s);
}

struct Listener : TXcDataConsumerAggregatedObject, IXcComponentLink {
    using TXcDataConsumerAggregatedObject::TXcDataConsumerAggregatedObject;
    std::string ClassName() const override { return "TestListener"; }
    void OtherChanged(TXcDataConsumerAggregatedObject* from) override {
        Log("listener hears change of " + from->ClassName());
    }
    void OtherAdded(TAggregatedPersistentEx* added) override {
        Log("listener sees " + added->ClassName());
    }
    void SetLinkedComponent(TComponent* c) override { linked = c; }
    void Poke() { Changed(); }
    TComponent* linked = nullptr;
};

// Records which context it serves whenever a consumer reads its root list.
struct WatchedProvider : TXcDataProviderBase {
    std::vector<std::string> announced;
    void Announce(TXcDataConsumer* c, TXcDataContext* context) override {
        announced.push_back(context ? context->Name() : "-");
        TXcDataProviderBase::Announce(c, context);
    }
    void Withdraw(TXcDataConsumer* c) override {
        announced.push_back("withdrawn");
        TXcDataProviderBase::Withdraw(c);
    }
};

struct ItemPart : TAggregatedPersistentEx, IXcItemImplementerNotify {
    using TAggregatedPersistentEx::TAggregatedPersistentEx;
    std::string ClassName() const override { return "TestItemPart"; }
    bool AllowDelete() override { return true; }
    void Notify() override { ++notified; }
    int notified = 0;
};

}  // namespace

TEST(XcConsumerHooks, AContentChangeReachesTheOtherImplementersFirst) {
    std::vector<std::string> log;
    gLog = &log;
    TComponent owner(nullptr);
    XcRef<TXcDataConsumer> consumer(XcCreate<TXcDataConsumer>(&owner));
    consumer->OnBeforeChange = [](TXcConsumerChange k) { Log("before " + std::to_string(k)); };
    auto* listener = consumer->AddImplementer(std::make_unique<Listener>(consumer.get()));
    EXPECT_EQ(listener->linked, &owner);
    auto* view =
        consumer->AddImplementer(std::make_unique<TXcDataConsumerViewList>(consumer.get()));
    auto* select =
        consumer->AddImplementer(std::make_unique<TXcDataConsumerItemSelect>(consumer.get()));
    EXPECT_EQ(log, (std::vector<std::string>{"listener sees TXcDataConsumerViewList",
                                             "listener sees TXcDataConsumerItemSelect"}));
    log.clear();
    view->RebuildRows();          // a view change is a content change
    listener->Poke();             // the reporter itself hears nothing of its own
    select->SelectItem(nullptr);  // nothing changes: nobody hears
    EXPECT_EQ(log, (std::vector<std::string>{"listener hears change of TXcDataConsumerViewList",
                                             "before 2", "before 2"}));
    gLog = nullptr;
}

TEST(XcConsumerHooks, ReadsAreAnnouncedWithTheContextAndWithdrawn) {
    WatchedProvider provider;
    provider.EnableContexts();
    provider.Contexts()->Add("main");
    provider.Contexts()->Add("other");
    provider.RootItems()->Add("A");
    XcRef<TXcDataConsumer> consumer(XcCreate<TXcDataConsumer>(nullptr));
    consumer->AddImplementer(std::make_unique<TXcDataConsumerViewList>(consumer.get()));
    consumer->SetProvider(&provider);
    EXPECT_EQ(provider.announced, (std::vector<std::string>{"main", "withdrawn"}));
    provider.announced.clear();
    consumer->SetContext("other");
    EXPECT_EQ(TXcConsumerStrings(consumer.get()).ToVector(), (std::vector<std::string>{"A"}));
    EXPECT_EQ(provider.announced.front(), "other");
    EXPECT_EQ(provider.announced.back(), "withdrawn");
    EXPECT_EQ(provider.ServedContext(), nullptr);  // nobody reads now
    // A read that is going on when the provider goes ends with it.
    consumer->BeginProviderAccess();
    EXPECT_EQ(provider.ServedContext()->Name(), "other");
    consumer->SetProvider(nullptr);
    EXPECT_EQ(provider.ServedContext(), nullptr);
    consumer->EndProviderAccess();
}

TEST(XcConsumerHooks, AFixedContextIsNotTakenFromTheProvider) {
    struct Row {
        bool fixed;
        const char* context;
    };
    for (const Row& r : {Row{false, "first"}, Row{true, ""}}) {
        SCOPED_TRACE(r.fixed);
        TXcDataProviderBase provider;
        provider.EnableContexts();
        provider.Contexts()->Add("first");
        XcRef<TXcDataConsumer> consumer(XcCreate<TXcDataConsumer>(nullptr));
        consumer->SetFixedContext(r.fixed);
        consumer->SetProvider(&provider);
        EXPECT_EQ(consumer->Context(), r.context);
    }
}

TEST(XcConsumerHooks, AnItemNotifiesItsImplementersWhenAsked) {
    TXcDataProviderBase provider;
    TXcBaseDataItem* item = provider.RootItems()->Add("A");
    auto* part = item->AddImplementer(std::make_unique<ItemPart>(item));
    item->Notify();
    item->Notify();
    EXPECT_EQ(part->notified, 2);
}

TEST(XcConsumerHooks, TheIndentIsALayoutChangeNotAContentChange) {
    XcRef<TXcDataConsumer> consumer(XcCreate<TXcDataConsumer>(nullptr));
    auto* view =
        consumer->AddImplementer(std::make_unique<TXcDataConsumerViewList>(consumer.get()));
    int contentChanges = 0;
    std::vector<unsigned> heard;
    consumer->OnAfterChange = [&](TXcConsumerChange) { ++contentChanges; };
    std::function<void(unsigned)> subscriber = [&](unsigned flags) { heard.push_back(flags); };
    consumer->Subscribe(&subscriber);
    view->SetLevelIndent(24);
    view->SetLevelIndent(24);  // the same value: nothing
    EXPECT_EQ(contentChanges, 0);
    EXPECT_EQ(heard, (std::vector<unsigned>{4}));
    view->RebuildRows();
    EXPECT_EQ(contentChanges, 1);
    EXPECT_EQ(heard, (std::vector<unsigned>{4, 1}));
    consumer->Unsubscribe(&subscriber);
}
