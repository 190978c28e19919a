#include "platform/qt/fontSetUp.h"

#include <fontconfig/fontconfig.h>
#include <signal.h>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace qtbridge {
namespace {

// Never destroyed: a program that ends before the set-up does must not take these away
// from under the thread (it ends with the process; fontconfig keeps no state needing an end).
struct SetUp {
    std::mutex lock;
    std::condition_variable ended;
    bool requested = false, started = false, done = false;
};
SetUp& State() {
    static SetUp* s = new SetUp;
    return *s;
}

}  // namespace

void RequestFontSetUpAhead() {
    SetUp& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.requested = true;
}

void StartFontSetUp() {
    SetUp& s = State();
    {
        std::lock_guard<std::mutex> hold(s.lock);
        if (!s.requested || s.started) return;
        s.started = true;
    }
    // Signals stay with the threads that were there before: the thread starts with every
    // signal blocked.
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    std::thread([] {
        // What Qt's font database calls first; made once, it is what every later call uses.
        FcInit();
        SetUp& st = State();
        std::lock_guard<std::mutex> hold(st.lock);
        st.done = true;
        st.ended.notify_all();
    }).detach();
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
}

void WaitForFontSetUp() {
    SetUp& s = State();
    std::unique_lock<std::mutex> hold(s.lock);
    s.ended.wait(hold, [&] { return !s.started || s.done; });
}

}  // namespace qtbridge
