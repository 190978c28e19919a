// The timer pool: software timers of different intervals on one platform timer, driven
// tick by tick through the pool window's WM_TIMER; the refused intervals and ids.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "controls/styled/styApplication.h"
#include "controls/styled/styConsts.h"

namespace {

// Delivers one tick of the platform timer as the message loop would.
void DeliverTick(TStyTimerPool* pool) { SendMessageA(pool->Window(), WM_TIMER, 1, 0); }

struct AppTimers : ::testing::Test {
    void TearDown() override {
        for (uint16_t id : ids) StyApp->RemoveTimer(id);
    }
    uint16_t Add(uint16_t interval, TNotifyEvent e) {
        uint16_t id = StyApp->AddTimer(interval, std::move(e));
        if (id) ids.push_back(id);
        return id;
    }
    std::vector<uint16_t> ids;
};

TEST_F(AppTimers, SeveralIntervalsShareOnePlatformTimer) {
    TStyTimerPool* pool = StyApp->TimerPool();
    std::map<int, std::vector<int>> fired;  // interval -> tick numbers
    uint16_t a = Add(500, [&](TObject*) { fired[500].push_back(pool->Counter()); });
    uint16_t b = Add(100, [&](TObject*) { fired[100].push_back(pool->Counter()); });
    uint16_t c = Add(150, [&](TObject*) { fired[150].push_back(pool->Counter()); });
    EXPECT_EQ(a, 64769);
    EXPECT_EQ(b, 64770);
    EXPECT_EQ(c, 64771);
    EXPECT_TRUE(pool->Active());
    EXPECT_EQ(pool->Counter(), 1);
    EXPECT_EQ(StyApp->GetTimerItem(a)->Ticks(), 10);

    for (int i = 0; i < 30; ++i) DeliverTick(pool);
    EXPECT_EQ(fired[500], (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(fired[100],
              (std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30}));
    EXPECT_EQ(fired[150], (std::vector<int>{3, 6, 9, 12, 15, 18, 21, 24, 27, 30}));
    EXPECT_EQ(StyApp->GetTimerItem(a)->Count(), 3);

    // A new interval restarts the count; 120 ms is no multiple of 50 and changes nothing.
    TStyTimerItem* item = StyApp->GetTimerItem(a);
    item->SetInterval(120);
    EXPECT_EQ(item->Interval(), 500);
    EXPECT_EQ(item->Count(), 3);
    item->SetInterval(100);
    EXPECT_EQ(item->Ticks(), 2);
    EXPECT_EQ(item->Count(), 0);
    item->SetInterval(0);  // stands for the period
    EXPECT_EQ(item->Interval(), 50);
    EXPECT_EQ(item->Ticks(), 1);

    // Disabled items are skipped without stopping the platform timer.
    fired.clear();
    item->SetEnabled(false);
    DeliverTick(pool);
    EXPECT_TRUE(fired[500].empty());
    EXPECT_TRUE(pool->Active());
}

TEST_F(AppTimers, IntervalsThatAreNoMultipleAreRefusedAndLeaveTheSlotFree) {
    for (uint16_t bad : {uint16_t(120), uint16_t(25), uint16_t(0)}) {
        try {
            Add(bad, nullptr);
            ADD_FAILURE() << bad << " ms was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, SStyBadInterval);
        }
    }
    EXPECT_EQ(Add(50, nullptr), 64769);
}

TEST_F(AppTimers, TheLastSlotAndTheRestart) {
    for (int i = 0; i < TStyApplication::TimerSlots; ++i) ASSERT_NE(Add(1000, nullptr), 0);
    EXPECT_EQ(Add(1000, nullptr), 0);  // the 251st
    EXPECT_EQ(ids.back(), 65018);

    for (uint16_t id : ids) StyApp->RemoveTimer(id);
    ids.clear();
    EXPECT_FALSE(StyApp->TimerPool()->Active());
    EXPECT_EQ(StyApp->TimerPool()->Count(), 0);

    int ticks = 0;
    Add(50, [&](TObject*) { ++ticks; });
    EXPECT_TRUE(StyApp->TimerPool()->Active());
    EXPECT_EQ(StyApp->TimerPool()->Counter(), 1);
    DeliverTick(StyApp->TimerPool());
    EXPECT_EQ(ticks, 1);

    StyApp->RemoveTimer(12);     // below the range: ignored
    StyApp->RemoveTimer(65000);  // not registered: nothing
    EXPECT_EQ(StyApp->TimerPool()->Count(), 1);
}

TEST(StyTimerPool, DuplicateIdAndPoolEventAndFireLimit) {
    TStyTimerPool pool(nullptr, 50);
    std::vector<std::pair<uint16_t, int32_t>> events;
    pool.OnTimer = [&](TObject* sender, uint16_t id, int32_t count) {
        EXPECT_EQ(sender, &pool);
        events.emplace_back(id, count);
    };
    pool.AddItem(7, 100, nullptr);
    try {
        pool.AddItem(7, 100, nullptr);
        ADD_FAILURE() << "duplicate id accepted";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "列表索引超过了最大值(%d)");
    }
    pool.ItemById(7)->FireLimit = 2;
    for (int i = 0; i < 8; ++i) pool.Tick();
    EXPECT_EQ(events, (std::vector<std::pair<uint16_t, int32_t>>{{7, 1}, {7, 2}}));
    EXPECT_FALSE(pool.ItemById(7)->Enabled());  // reached its limit

    pool.ItemById(7)->FireLimit = 0;
    pool.ItemById(7)->SetEnabled(true);  // refused while the limit is 0
    EXPECT_FALSE(pool.ItemById(7)->Enabled());
    EXPECT_THROW(TStyTimerItem(nullptr, 1), EInvalidOperation);
}

TEST(StyTimerPool, AnEventThatRaisesDoesNotStopThePool) {
    TStyTimerPool pool(nullptr, 50);
    int handled = 0, later = 0;
    Application->OnException = [&](TObject*, Exception&) { ++handled; };
    pool.AddItem(1, 50, [](TObject*) { throw Exception("boom"); });
    pool.AddItem(2, 100, [&](TObject*) { ++later; });
    SendMessageA(pool.Window(), WM_TIMER, 1, 0);
    SendMessageA(pool.Window(), WM_TIMER, 1, 0);
    SendMessageA(pool.Window(), WM_TIMER, 1, 0);
    Application->OnException = nullptr;
    EXPECT_EQ(handled, 3);
    EXPECT_EQ(pool.Counter(), 4);
    pool.RemoveItem(1);
    SendMessageA(pool.Window(), WM_TIMER, 1, 0);
    EXPECT_EQ(later, 2);
}

// Events that take timers out of the pool while the pool is firing them: the closure that
// is running holds captured state (a string here) that must outlive its own removal.
TEST_F(AppTimers, AnEventMayRemoveItsOwnTimerAndOthers) {
    TStyTimerPool* pool = StyApp->TimerPool();
    std::vector<std::string> log;
    uint16_t self = 0, later = 0, earlier = 0;
    earlier = Add(50, [&](TObject*) { log.push_back("earlier"); });
    std::string name = "self";
    self = Add(50, [&, name](TObject*) {
        StyApp->RemoveTimer(self);
        StyApp->RemoveTimer(later);    // not yet fired in this tick: it no longer fires
        StyApp->RemoveTimer(earlier);  // already fired
        log.push_back(name);           // the closure's own copy, still alive
    });
    later = Add(50, [&](TObject*) { log.push_back("later"); });
    DeliverTick(pool);
    EXPECT_EQ(log, (std::vector<std::string>{"earlier", "self"}));
    EXPECT_EQ(pool->Count(), 0);
    EXPECT_FALSE(pool->Active());
    DeliverTick(pool);
    EXPECT_EQ(log.size(), 2u);

    // The freed slot can be taken again from inside an event; the new item, due, fires in that
    // very tick, and the one that gave up its id is not confused with it.
    int again = 0;
    uint16_t first = Add(50, nullptr);
    StyApp->GetTimerItem(first)->OnTimer = [&](TObject*) {
        StyApp->RemoveTimer(first);
        uint16_t second = Add(50, [&](TObject*) { ++again; });
        EXPECT_EQ(second, first);
    };
    DeliverTick(pool);
    EXPECT_EQ(again, 1);
    DeliverTick(pool);
    EXPECT_EQ(again, 2);
    EXPECT_EQ(pool->Count(), 1);
}

// A tick walks the list as it is at each step: items "a", "b", "c" of one interval, where
// "b"'s event changes the list; each row gives what fires in that tick and the next.
TEST(StyTimerPool, ATickWalksTheListAsItIsAtEachStep) {
    struct Row {
        const char* what;
        std::function<void(TStyTimerPool&, std::string&)> change;  // done once, by "b"
        const char *first, *second;
    };
    const Row rows[] = {
        {"an item added",
         [](TStyTimerPool& p, std::string& log) {
             p.AddItem(4, 50, [&log](TObject*) { log += "d"; });
         },
         "abcd", "abcd"},
        {"an item added that is not due yet",
         [](TStyTimerPool& p, std::string& log) {
             p.AddItem(4, 100, [&log](TObject*) { log += "d"; });
         },
         "abc", "abcd"},
        {"itself removed", [](TStyTimerPool& p, std::string&) { p.RemoveItem(2); }, "abc", "ac"},
        {"itself freed", [](TStyTimerPool& p, std::string&) { delete p.ItemById(2); }, "abc", "ac"},
        {"the one before removed", [](TStyTimerPool& p, std::string&) { p.RemoveItem(1); }, "abc",
         "bc"},
        {"the one after removed", [](TStyTimerPool& p, std::string&) { p.RemoveItem(3); }, "ab",
         "ab"},
        {"the one after freed", [](TStyTimerPool& p, std::string&) { delete p.ItemById(3); }, "ab",
         "ab"},
        {"both others removed",
         [](TStyTimerPool& p, std::string&) {
             p.RemoveItem(1);
             p.RemoveItem(3);
         },
         "ab", "b"},
    };
    for (const Row& row : rows) {
        TStyTimerPool pool(nullptr, 50);
        std::string log;
        bool changed = false;
        pool.AddItem(1, 50, [&](TObject*) { log += "a"; });
        const std::string tail(64, 'b');  // held on the heap: must outlive the item's own end
        pool.AddItem(2, 50, [&, tail](TObject*) {
            if (!std::exchange(changed, true)) row.change(pool, log);
            log += tail.substr(0, 1);
        });
        pool.AddItem(3, 50, [&](TObject*) { log += "c"; });
        pool.Tick();
        EXPECT_EQ(log, row.first) << row.what;
        log.clear();
        pool.Tick();
        EXPECT_EQ(log, row.second) << row.what;
    }
}

TEST(StyTimerPool, ClearingThePoolFromAnEventFreesEveryItemAfterTheTick) {
    TStyTimerPool pool(nullptr, 50);
    int fired = 0;
    std::vector<int> big(1000, 7);  // a closure large enough to live on the heap
    pool.AddItem(1, 50, [&, big](TObject*) {
        pool.Clear();
        fired += big[999];
    });
    pool.AddItem(2, 50, [&](TObject*) { ++fired; });
    pool.Tick();
    EXPECT_EQ(fired, 7);
    EXPECT_EQ(pool.Count(), 0);
}

// A pool whose platform refuses the timer.
class TNoTimerPool : public TStyTimerPool {
public:
    using TStyTimerPool::TStyTimerPool;

protected:
    bool StartPlatformTimer() override { return false; }
};

TEST(StyTimerPool, NoPlatformTimerRaisesAndLeavesNoItemBehind) {
    TNoTimerPool pool(nullptr, 50);
    try {
        pool.AddItem(64769, 100, nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& e) {
        EXPECT_EQ(e.Message, "没有足够的定时器可用");
    }
    EXPECT_EQ(pool.Count(), 0);
    EXPECT_EQ(pool.IndexOfId(64769), -1);
    // The same id can be tried again instead of being refused as a duplicate.
    EXPECT_THROW(pool.AddItem(64769, 100, nullptr), EOutOfResources);
}

TEST(StyTimerPool, RealTimerTicksThroughTheMessageLoop) {
    TStyTimerPool pool(nullptr, 50);
    int ticks = 0;
    pool.AddItem(1, 50, [&](TObject*) { ++ticks; });
    uint32_t deadline = GetTickCount() + 5000;
    while (ticks < 2 && GetTickCount() < deadline) Application->HandleMessage();
    EXPECT_GE(ticks, 2) << "the platform timer did not tick within 5 s";
}

}  // namespace
