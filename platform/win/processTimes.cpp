#include "platform/win/processTimes.h"

#include <unistd.h>

#include <string>

#include "platform/win/launcher.h"

std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut,
                                                             uint64_t* addressSpaceOut) {
    ProcessStat stat;
    if (ticksPerSecond <= 0 || !ReadProcessStatLine(line, stat)) return std::nullopt;
    if (groupOut) *groupOut = static_cast<int>(stat.group);
    if (addressSpaceOut) *addressSpaceOut = stat.addressSpace;
    const unsigned long long ticks = stat.userTicks + stat.systemTicks;
    return std::chrono::milliseconds(
        static_cast<long long>(ticks * 1000ULL / static_cast<unsigned long long>(ticksPerSecond)));
}

std::optional<GroupUsage> ProcessGroupUsage(int group, int leaveOut) {
    static const long ticksPerSecond = ::sysconf(_SC_CLK_TCK);
    if (group <= 0 || ticksPerSecond <= 0) return std::nullopt;
    GroupUsage total;
    const bool read = ForEachProcessStatLine([&](const char* line) {
        int processGroup = 0;
        uint64_t space = 0;
        const auto used = CpuTimeFromStatLine(line, ticksPerSecond, &processGroup, &space);
        if (!used || processGroup != group) return true;
        if (leaveOut != 0 && std::atoi(line) == leaveOut) return true;
        total.cpu += *used;
        if (space > total.largestAddressSpace) total.largestAddressSpace = space;
        return true;
    });
    if (!read) return std::nullopt;
    return total;
}

std::optional<std::chrono::milliseconds> ProcessGroupCpuTime(int group) {
    const auto usage = ProcessGroupUsage(group);
    if (!usage) return std::nullopt;
    return usage->cpu;
}
