#include "platform/rtl/workAhead.h"

#include <signal.h>

#include <cstring>
#include <exception>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

#include "platform/rtl/passedErrors.h"

WorkAhead::WorkAhead(Work work, ThreadStarter startThread)
    : work_(std::move(work)), startThread_(std::move(startThread)) {}

void WorkAhead::StartDetachedThread(Work work) { std::thread(std::move(work)).detach(); }

void WorkAhead::request() {
    std::lock_guard<std::mutex> hold(lock_);
    requested_ = true;
}

void WorkAhead::run() {
    std::exception_ptr failure;
    try {
        work_();
    } catch (...) {
        failure = std::current_exception();
    }
    std::lock_guard<std::mutex> hold(lock_);
    failure_ = failure;
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
            startThread_([this] { run(); });
            threaded = true;
        } catch (const std::exception& e) {
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
    run();
}

void WorkAhead::wait() {
    std::unique_lock<std::mutex> hold(lock_);
    ended_.wait(hold, [&] { return !started_ || done_; });
    // What the work raised is raised once, to the first who waits.
    if (std::exception_ptr failure = std::exchange(failure_, nullptr))
        std::rethrow_exception(failure);
}

bool WorkAhead::doneOnStartingThread() const {
    std::lock_guard<std::mutex> hold(lock_);
    return here_;
}
