#include "platform/rtl/noProgressLimit.h"

#include <unistd.h>

#include <cstdlib>

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::optional<milliseconds> ParseNoProgressLimit(const char* text) {
    if (!text || !*text) return std::nullopt;
    const long long longest = LongestLimit().count();
    long long ms = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        // Past the longest limit the digits only make it longer still.
        if (ms <= longest) ms = ms * 10 + (*p - '0');
    }
    if (ms <= 0) return std::nullopt;
    return milliseconds(ms < longest ? ms : longest);
}

milliseconds NoProgressLimit() {
    static const milliseconds limit =
        ParseNoProgressLimit(std::getenv("VEXOMAT_NO_PROGRESS_LIMIT_MS"))
            .value_or(std::chrono::minutes(5));
    return limit;
}

long long NoProgressLimitSeconds() {
    const long long s = NoProgressLimit().count() / 1000;
    return s > 0 ? s : 1;
}

milliseconds OfficeStepCeiling() {
    const milliseconds ceiling = std::chrono::hours(4);
    return NoProgressLimit() > ceiling ? NoProgressLimit() : ceiling;
}

Clock::time_point DeadlineAfter(Clock::time_point since, milliseconds limit) {
    const auto room = std::chrono::duration_cast<milliseconds>(Clock::time_point::max() - since);
    if (limit >= room) return Clock::time_point::max();
    return since + limit;
}

bool LimitPassed(Clock::time_point since, Clock::time_point now, milliseconds limit) {
    if (now < since) return false;
    return std::chrono::duration_cast<milliseconds>(now - since) > limit;
}

std::optional<uint64_t> ParseChildMemoryLimit(const char* text) {
    if (!text || !*text) return std::nullopt;
    // Past a mebibyte count that a 64-bit address space cannot hold, no limit is meant;
    // so is 0, as for ulimit.
    constexpr uint64_t kMostMegabytes = uint64_t(1) << 43;
    uint64_t mb = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return std::nullopt;
        if (mb < kMostMegabytes) mb = mb * 10 + uint64_t(*p - '0');
    }
    if (mb == 0 || mb >= kMostMegabytes) return kNoChildMemoryLimit;
    return mb << 20;
}

uint64_t ChildMemoryLimit() {
    static const uint64_t limit = [] {
        if (const auto set = ParseChildMemoryLimit(std::getenv("VEXOMAT_CHILD_MEMORY_LIMIT_MB")))
            return *set;
        const long pages = ::sysconf(_SC_PHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
        const uint64_t quarter = pages > 0 && size > 0 ? uint64_t(pages) * uint64_t(size) / 4 : 0;
        const uint64_t least = uint64_t(4) << 30;
        return quarter > least ? quarter : least;
    }();
    return limit;
}
