#include <gtest/gtest.h>
#include "platform/win/cmdline.h"
TEST(Placeholder, Builds) { EXPECT_TRUE(SplitCommandLine("").empty()); }
