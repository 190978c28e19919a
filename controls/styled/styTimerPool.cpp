#include "controls/styled/styTimerPool.h"

#include <algorithm>

#include "controls/styled/styConsts.h"
#include "platform/rtl/scopeExit.h"
#include "platform/user/window.h"

namespace {
constexpr UINT_PTR PoolTimerId = 1;
}

// ---------------------------------------------------------------- TStyTimerItem

TStyTimerItem::TStyTimerItem(TStyTimerPool* pool, uint16_t id) : id_(id), pool_(pool) {
    if (!pool) throw EInvalidOperation(ClassName() + ": Invalid Owner or List");
    ticks_ = interval_ / pool->MinInterval();
}

TStyTimerItem::~TStyTimerItem() {
    enabled_ = false;
    OnTimer = nullptr;
    pool_->Detach(this);
}

void TStyTimerItem::SetEnabled(bool v) {
    if (v == enabled_) return;
    if (v && FireLimit == 0) return;
    enabled_ = v;
    count_ = 0;
}

void TStyTimerItem::SetInterval(uint16_t v) {
    uint16_t period = pool_->MinInterval();
    if (v == interval_ || v % period != 0) return;
    if (v == 0) v = period;
    ticks_ = v / period;
    interval_ = v;
    count_ = 0;
}

void TStyTimerItem::Fire() {
    if (!enabled_) return;
    count_ = count_ == INT32_MAX ? 0 : count_ + 1;
    if (count_ == FireLimit) enabled_ = false;
    if (OnTimer) {
        // The event may free this item, and its closure with it: the call runs on a copy.
        const TNotifyEvent event = OnTimer;
        event(pool_);
    } else if (pool_->OnTimer)
        pool_->OnTimer(pool_, id_, count_);
}

// ---------------------------------------------------------------- TStyTimerPool

TStyTimerPool::TStyTimerPool(TComponent* owner, uint16_t minInterval)
    : TStyCustomComponent(owner), minInterval_(minInterval ? minInterval : 1000) {}

TStyTimerPool::~TStyTimerPool() {
    Clear();
    if (window_) DestroyWindow(window_);
}

void TStyTimerPool::SetMinInterval(uint16_t v) {
    // A period of 0 would divide every interval by zero.
    if (v == 0 || !(Loading() || Designing())) return;
    minInterval_ = v;
}

bool TStyTimerPool::StartPlatformTimer() {
    return SetTimer(window_, PoolTimerId, minInterval_, nullptr) != 0;
}

void TStyTimerPool::StopPlatformTimer() {
    if (window_) KillTimer(window_, PoolTimerId);
}

void TStyTimerPool::SetActive(bool v) {
    if (Designing()) return;
    if (!window_)
        window_ = CreateWindowObject(
            "TPUtilWindow", nullptr,
            [this](HWND, UINT msg, WPARAM w, LPARAM l) { return WindowProc(msg, w, l); }, nullptr);
    active_ = false;
    StopPlatformTimer();
    if (v && EnabledCount() > 0) {
        if (!StartPlatformTimer()) throw EOutOfResources(SStyNoTimers);
        counter_ = 1;
        active_ = true;
    }
}

LRESULT TStyTimerPool::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    if (msg != WM_TIMER) return DefWindowProcA(window_, msg, w, l);
    if (!inTick_) {
        inTick_ = true;
        try {
            Tick();
        } catch (...) {
            HandleEventException();  // the application's handler; the pool keeps ticking
        }
        inTick_ = false;
    }
    return 0;
}

void TStyTimerPool::Tick() {
    if (locked_) return;
    {
        // The live list, its length read at every step: an item added by an event fires in
        // this very tick when it is due. An item removed leaves the list at once, and the
        // cursor of every running tick steps back over it, so the one after it is neither
        // skipped nor fired twice; the removed item is freed only when the tick is over.
        int cursor = 0;
        cursors_.push_back(&cursor);
        ScopeExit unwind([this] {
            cursors_.pop_back();
            if (!cursors_.empty()) return;
            std::vector<TStyTimerItem*> gone;
            gone.swap(discarded_);
            for (TStyTimerItem* item : gone) delete item;
        });
        for (; cursor < int(items_.size()); ++cursor) {
            TStyTimerItem* item = items_[size_t(cursor)];
            if (!item->Enabled() || counter_ % item->Ticks() != 0) continue;
            // An event that raises must not hold the counter back or starve the items after it.
            try {
                item->Fire();
            } catch (...) {
                HandleEventException();
            }
        }
    }
    counter_ = counter_ == INT32_MAX ? 0 : counter_ + 1;
}

int TStyTimerPool::AddItem(uint16_t id, uint16_t interval, TNotifyEvent event) {
    if (!items_.empty() && IndexOfId(id) != -1) throw Exception(SStyListIndexTooBig);
    if (interval < minInterval_ || interval % minInterval_ != 0) throw Exception(SStyBadInterval);
    auto* item = new TStyTimerItem(this, id);
    items_.push_back(item);
    int index = int(items_.size()) - 1;
    item->SetInterval(interval);
    item->OnTimer = std::move(event);
    try {
        SetActive(true);
    } catch (...) {
        // Without a platform timer the item would stay behind under an id its caller
        // regards as free; take it out again.
        delete item;
        throw;
    }
    return index;
}

void TStyTimerPool::RemoveItem(uint16_t id) {
    locked_ = true;
    ScopeExit unlock([this] { locked_ = false; });
    if (TStyTimerItem* item = ItemById(id)) {
        item->SetEnabled(false);
        Discard(item);
        if (items_.empty()) SetActive(false);
    }
}

void TStyTimerPool::Clear() {
    SetActive(false);
    while (!items_.empty()) Discard(items_.back());
}

void TStyTimerPool::Discard(TStyTimerItem* item) {
    if (cursors_.empty()) {
        item->OnTimer = nullptr;
        delete item;
        return;
    }
    // The item's event may be the code running now: its closure stays until the tick ends.
    Detach(item);
    discarded_.push_back(item);
}

void TStyTimerPool::Detach(TStyTimerItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    const size_t index = size_t(it - items_.begin());
    items_.erase(it);
    // A tick that has reached or passed this place goes on with the item that moved up.
    for (int* cursor : cursors_)
        if (int(index) <= *cursor) --*cursor;
}

TStyTimerItem* TStyTimerPool::ItemById(uint16_t id) const {
    int i = IndexOfId(id);
    return i < 0 ? nullptr : items_[size_t(i)];
}

int TStyTimerPool::IndexOfId(uint16_t id) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i]->Id() == id) return int(i);
    return -1;
}

int TStyTimerPool::EnabledCount() const {
    return int(std::count_if(items_.begin(), items_.end(),
                             [](const TStyTimerItem* t) { return t->Enabled(); }));
}
