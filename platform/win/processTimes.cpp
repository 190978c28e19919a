#include "platform/win/processTimes.h"

#include <unistd.h>

#include <string>

#include "platform/win/launcher.h"

std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut) {
    ProcessStat stat;
    if (ticksPerSecond <= 0 || !ReadProcessStatLine(line, stat)) return std::nullopt;
    if (groupOut) *groupOut = static_cast<int>(stat.group);
    const unsigned long long ticks = stat.userTicks + stat.systemTicks;
    return std::chrono::milliseconds(
        static_cast<long long>(ticks * 1000ULL / static_cast<unsigned long long>(ticksPerSecond)));
}

std::optional<std::chrono::milliseconds> ProcessGroupCpuTime(int group) {
    static const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (group <= 0 || ticksPerSecond <= 0) return std::nullopt;
    std::chrono::milliseconds total{0};
    const bool read = ForEachProcessStatLine([&](const char* line) {
        int processGroup = 0;
        const auto used = CpuTimeFromStatLine(line, ticksPerSecond, &processGroup);
        if (used && processGroup == group) total += *used;
        return true;
    });
    if (!read) return std::nullopt;
    return total;
}
