// Undoes a temporary change when the scope is left, by return or by exception: a canvas lent
// a context, a saved context state, a busy flag. One guard instead of a catch block that
// cleans up and rethrows next to a copy of the same clean-up on the normal path.
//
//   const int saved = SaveDC(dc);
//   ScopeExit restore([&] { RestoreDC(dc, saved); });
//
// The clean-up must not throw (it runs from a destructor, perhaps during unwinding). Guards
// in one scope run in the reverse order of their declaration.
#pragma once

#include <utility>

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F cleanup) : cleanup_(std::move(cleanup)) {}
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ~ScopeExit() {
        if (armed_) cleanup_();
    }

    // The change is to stay after all: the clean-up will not run. For a clean-up that
    // undoes a half-done step only when it fails.
    void Release() { armed_ = false; }

private:
    F cleanup_;
    bool armed_ = true;
};
