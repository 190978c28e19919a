// Sleep goes through the hook the window system installs (which keeps windows drawn while
// the program sleeps) and back to a bare sleep without one.
#include <gtest/gtest.h>

#include <vector>

#include "platform/rtl/sysutils.h"

namespace {
std::vector<unsigned> g_slept;
void Record(unsigned ms) { g_slept.push_back(ms); }
}  // namespace

TEST(SleepHook, SleepGoesThroughTheInstalledHookUntilItIsRemoved) {
    g_slept.clear();
    InstallSleepHook(&Record);
    for (unsigned ms : {0u, 1u, 11000u}) Sleep(ms);
    InstallSleepHook(nullptr);
    Sleep(1);
    EXPECT_EQ(g_slept, (std::vector<unsigned>{0, 1, 11000}));
}
