// Work ahead: on a thread of its own with every signal blocked, or, when no thread can be
// started (the font set-up of a start that cannot make threads), at once on the starting
// thread; either way the wait ends and the starting thread's signals are as they were.
#include "platform/rtl/workAhead.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "platform/rtl/passedErrors.h"

namespace {

std::string g_logged;
void Capture(const std::string& text) { g_logged += text + "\n"; }

bool SameMask(const sigset_t& a, const sigset_t& b) {
    for (int sig = 1; sig < NSIG; ++sig)
        if (sigismember(&a, sig) != sigismember(&b, sig)) return false;
    return true;
}

sigset_t CurrentMask() {
    sigset_t now;
    pthread_sigmask(SIG_SETMASK, nullptr, &now);
    return now;
}

}  // namespace

TEST(WorkAhead, EndsWhetherOrNotItsThreadStarts) {
    struct Row {
        const char* name;
        bool threadStarts;
    };
    for (const Row row : {Row{"thread started", true}, Row{"no thread can start", false}}) {
        SCOPED_TRACE(row.name);
        g_logged.clear();
        SetPassedErrorWriter(&Capture);
        std::atomic<int> runs{0};
        std::atomic<bool> signalsBlockedInWork{false};
        std::thread::id ranOn;
        WorkAhead setUp(
            [&] {
                ++runs;
                ranOn = std::this_thread::get_id();
                const sigset_t m = CurrentMask();
                signalsBlockedInWork = sigismember(&m, SIGTERM) == 1;
            },
            [&](WorkAhead::Work work) {
                if (!row.threadStarts)
                    throw std::system_error(
                        std::make_error_code(std::errc::resource_unavailable_try_again),
                        "thread not started");
                WorkAhead::StartDetachedThread(std::move(work));
            });
        // The program keeps SIGUSR2 open here; the start must leave it so.
        sigset_t before = CurrentMask();
        sigdelset(&before, SIGUSR2);
        pthread_sigmask(SIG_SETMASK, &before, nullptr);
        before = CurrentMask();

        setUp.start();  // not asked for: nothing happens
        EXPECT_EQ(runs.load(), 0);
        setUp.request();
        setUp.start();
        EXPECT_TRUE(SameMask(CurrentMask(), before)) << "the starting thread's signals changed";

        auto waited = std::async(std::launch::async, [&] { setUp.wait(); });
        ASSERT_EQ(waited.wait_for(std::chrono::seconds(60)), std::future_status::ready)
            << "the wait for the work ahead never ended";
        EXPECT_EQ(runs.load(), 1);
        setUp.start();  // once only
        EXPECT_EQ(runs.load(), 1);
        EXPECT_EQ(setUp.doneOnStartingThread(), !row.threadStarts);
        EXPECT_EQ(ranOn == std::this_thread::get_id(), !row.threadStarts);
        // A thread of its own has every signal blocked; this thread keeps its own.
        EXPECT_EQ(signalsBlockedInWork.load(), row.threadStarts);
        if (row.threadStarts) {
            EXPECT_EQ(g_logged, "");
        } else {
            EXPECT_NE(g_logged.find("work ahead: no thread: thread not started"), std::string::npos)
                << g_logged;
        }
        SetPassedErrorWriter(nullptr);
    }
}

TEST(WorkAhead, AWaitEndsWhenTheWorkRaisesAndRaisesItOnce) {
    struct Row {
        const char* name;
        bool threadStarts;
    };
    for (const Row row : {Row{"on its thread", true}, Row{"on the starting thread", false}}) {
        SCOPED_TRACE(row.name);
        SetPassedErrorWriter(&Capture);
        WorkAhead failing([] { throw std::runtime_error("no fonts"); },
                          [&](WorkAhead::Work work) {
                              if (!row.threadStarts) throw std::bad_alloc();
                              WorkAhead::StartDetachedThread(std::move(work));
                          });
        failing.request();
        EXPECT_NO_THROW(failing.start());
        auto waited = std::async(std::launch::async, [&] {
            try {
                failing.wait();
            } catch (const std::runtime_error& e) {
                return std::string(e.what());
            }
            return std::string("(nothing raised)");
        });
        ASSERT_EQ(waited.wait_for(std::chrono::seconds(60)), std::future_status::ready)
            << "the wait for work that raised never ended";
        EXPECT_EQ(waited.get(), "no fonts");
        EXPECT_NO_THROW(failing.wait());  // raised once; the next wait returns
        SetPassedErrorWriter(nullptr);
    }
}
