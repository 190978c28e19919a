#include "platform/rtl/workAhead.h"

#include <signal.h>

#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "platform/rtl/passedErrors.h"

WorkAhead::WorkAhead(Work work, ThreadStarter startThread)
    : work_(std::move(work)), startThread_(std::move(startThread)) {}

void WorkAhead::StartDetachedThread(Work work) { std::thread(std::move(work)).detach(); }

void WorkAhead::request() {
    std::lock_guard<std::mutex> hold(lock_);
    requested_ = true;
}

void WorkAhead::finish() {
    std::lock_guard<std::mutex> hold(lock_);
    done_ = true;
    ended_.notify_all();
}

void WorkAhead::start() {
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (!requested_ || started_) return;
        started_ = true;
    }
    sigset_t all, old;
    sigfillset(&all);
    bool threaded = false;
    if (const int err = pthread_sigmask(SIG_SETMASK, &all, &old); err != 0) {
        LogPassedError("work ahead", std::string("signals not blocked: ") + std::strerror(err));
    } else {
        try {
            startThread_([this] {
                work_();
                finish();
            });
            threaded = true;
        } catch (const std::system_error& e) {
            LogPassedError("work ahead: no thread", e.what());
        }
        if (const int err = pthread_sigmask(SIG_SETMASK, &old, nullptr); err != 0)
            LogPassedError("work ahead",
                           std::string("signals not restored: ") + std::strerror(err));
    }
    if (threaded) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        here_ = true;
    }
    work_();
    finish();
}

void WorkAhead::wait() {
    std::unique_lock<std::mutex> hold(lock_);
    ended_.wait(hold, [&] { return !started_ || done_; });
}

bool WorkAhead::doneOnStartingThread() const {
    std::lock_guard<std::mutex> hold(lock_);
    return here_;
}
