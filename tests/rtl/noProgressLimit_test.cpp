// The no-progress limit as the environment sets it, and durations that must not overflow.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "platform/rtl/noProgressLimit.h"

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

TEST(NoProgressLimit, TheVariableCountsOnlyAsAPositiveNumberOfMilliseconds) {
    const struct {
        const char* text;
        std::optional<milliseconds> limit;
    } rows[] = {
        {"2000", 2000ms},
        {"1", 1ms},
        {"0", std::nullopt},
        {"-5", std::nullopt},
        {"", std::nullopt},
        {"ten", std::nullopt},
        {"5s", std::nullopt},
        {" 5", std::nullopt},
        {"+5", std::nullopt},
        {"1e3", std::nullopt},
        {"9300000000000", LongestLimit()},
        {"99999999999999999999999999", LongestLimit()},
    };
    for (const auto& r : rows) EXPECT_EQ(ParseNoProgressLimit(r.text), r.limit) << r.text;
    EXPECT_EQ(ParseNoProgressLimit(nullptr), std::nullopt);
}

TEST(ChildMemoryLimit, TheVariableIsANumberOfMebibytesOrNoLimitAtAll) {
    const struct {
        const char* text;
        std::optional<uint64_t> limit;
    } rows[] = {
        {"256", uint64_t(256) << 20},
        {"1", uint64_t(1) << 20},
        {"0", kNoChildMemoryLimit},
        {"-5", std::nullopt},
        {"", std::nullopt},
        {"1G", std::nullopt},
        {" 5", std::nullopt},
        {"8796093022207", uint64_t(8796093022207) << 20},
        {"8796093022208", kNoChildMemoryLimit},
        {"99999999999999999999999", kNoChildMemoryLimit},
    };
    for (const auto& r : rows) EXPECT_EQ(ParseChildMemoryLimit(r.text), r.limit) << r.text;
    EXPECT_EQ(ParseChildMemoryLimit(nullptr), std::nullopt);
    EXPECT_GE(ChildMemoryLimit(), uint64_t(4) << 30);  // the tests set none
}

TEST(NoProgressLimit, LongLimitsNeitherPassAtOnceNorEndInThePast) {
    const Clock::time_point now = Clock::now();
    const struct {
        milliseconds limit;
        bool passedAfterAnHour;
    } rows[] = {
        {1s, true},
        {2h, false},
        {LongestLimit(), false},
        {milliseconds(9300000000000), false},
        {milliseconds::max(), false},
    };
    for (const auto& r : rows) {
        EXPECT_EQ(LimitPassed(now - 1h, now, r.limit), r.passedAfterAnHour) << r.limit.count();
        EXPECT_GT(DeadlineAfter(now, r.limit), now) << r.limit.count();
        EXPECT_FALSE(LimitPassed(now, now, r.limit)) << r.limit.count();
    }
    EXPECT_EQ(DeadlineAfter(now, milliseconds::max()), Clock::time_point::max());
    EXPECT_GE(OfficeStepCeiling(), NoProgressLimit());
}
