#include "platform/rtl/scopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

// Each way out of a guarded scope: the clean-up runs once, or not at all once released.
TEST(ScopeExit, RunsOnceOnEveryWayOutUnlessReleased) {
    struct Row {
        const char* how;
        bool raise;
        bool release;
        int expectedRuns;
    };
    const Row rows[] = {
        {"normal end", false, false, 1},
        {"exception", true, false, 1},
        {"released, normal end", false, true, 0},
        {"released, exception", true, true, 0},
    };
    for (const Row& row : rows) {
        int runs = 0;
        bool caught = false;
        try {
            ScopeExit guard([&] { ++runs; });
            if (row.release) guard.Release();
            if (row.raise) throw std::runtime_error("step failed");
        } catch (const std::runtime_error&) {
            caught = true;
        }
        EXPECT_EQ(runs, row.expectedRuns) << row.how;
        EXPECT_EQ(caught, row.raise) << row.how;
    }
}

// A clean-up sees the state as the scope left it, and guards unwind last first, so a
// later change is undone before an earlier one it depends on.
TEST(ScopeExit, GuardsUnwindInReverseOrder) {
    std::string trace;
    {
        ScopeExit first([&] { trace += "1"; });
        ScopeExit second([&] { trace += "2"; });
        trace += "body ";
    }
    EXPECT_EQ(trace, "body 21");
}

}  // namespace
