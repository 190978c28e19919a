// Software timers driven by one platform timer: the pool's hidden window gets timer 1 every
// MinInterval milliseconds, and each item fires on the ticks whose number is a multiple of
// its own interval / MinInterval. Adding items costs no platform timers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "controls/styled/styBase.h"

class TStyTimerPool;
using TStyTimerEvent = std::function<void(TObject* sender, uint16_t id, int32_t count)>;

class TStyTimerItem : public TObject {
public:
    // Raises EInvalidOperation without a pool.
    TStyTimerItem(TStyTimerPool* pool, uint16_t id);
    ~TStyTimerItem() override;
    std::string ClassName() const override { return "TStyTimerItem"; }

    bool Enabled() const { return enabled_; }
    // Enabling restarts the count; it is refused while the fire limit is 0.
    void SetEnabled(bool v);
    uint16_t Interval() const { return interval_; }
    // 0 stands for the pool's period; a value that is no multiple of it is ignored.
    void SetInterval(uint16_t v);
    uint16_t Id() const { return id_; }
    int32_t Ticks() const { return ticks_; }
    int32_t Count() const { return count_; }
    int32_t FireLimit = -1;  // -1: no limit; the item disables itself when Count reaches it
    TNotifyEvent OnTimer;    // called with the pool as sender

    void Fire();

private:
    int32_t count_ = 0;
    bool enabled_ = true;
    uint16_t id_;
    uint16_t interval_ = 1000;
    int32_t ticks_;
    TStyTimerPool* pool_;
};

class TStyTimerPool : public TStyCustomComponent {
public:
    explicit TStyTimerPool(TComponent* owner, uint16_t minInterval = 1000);
    ~TStyTimerPool() override;
    std::string ClassName() const override { return "TStyTimerPool"; }

    // The platform timer's period; it can be changed only while the pool is being loaded.
    uint16_t MinInterval() const { return minInterval_; }
    void SetMinInterval(uint16_t v);

    // Returns the item's index. Raises Exception for an id in use and for an interval that
    // is below MinInterval or no multiple of it; EOutOfResources when no platform timer
    // can be had (then nothing is added).
    int AddItem(uint16_t id, uint16_t interval, TNotifyEvent event);
    // Safe from inside an item's own event: an item removed during a tick leaves the list
    // at once but is freed only when the tick is over, so the running event is not cut off.
    void RemoveItem(uint16_t id);
    void Clear();
    TStyTimerItem* ItemById(uint16_t id) const;
    int IndexOfId(uint16_t id) const;
    int EnabledCount() const;
    int Count() const { return int(items_.size()); }
    TStyTimerItem* Items(int i) const { return items_.at(size_t(i)); }

    bool Active() const { return active_; }
    void SetActive(bool v);
    // One tick of the platform timer: fires the due items, then counts.
    void Tick();
    int32_t Counter() const { return counter_; }
    HWND Window() const { return window_; }

    TStyTimerEvent OnTimer;  // for items without an event of their own

protected:
    // Starts or stops the platform timer on the pool's window; false when none was given.
    virtual bool StartPlatformTimer();
    virtual void StopPlatformTimer();

private:
    friend class TStyTimerItem;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    void Detach(TStyTimerItem* item);
    // Frees the item now, or after the running tick when one is in progress.
    void Discard(TStyTimerItem* item);

    bool active_ = false;
    bool inTick_ = false;
    std::vector<int*> cursors_;              // the place of each running Tick in the list
    std::vector<TStyTimerItem*> discarded_;  // removed during a tick, freed after it
    HWND window_ = nullptr;
    int32_t counter_ = 0;
    uint16_t minInterval_;
    std::vector<TStyTimerItem*> items_;
    bool locked_ = false;
};

// EOutOfResources (the class library's) is raised when no platform timer is left.
