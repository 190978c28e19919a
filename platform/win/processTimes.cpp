#include "platform/win/processTimes.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/launcher.h"

std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut,
                                                             uint64_t* addressSpaceOut) {
    // The name may hold blanks and parentheses: the fields start after the last ")".
    const char* p = line ? std::strrchr(line, ')') : nullptr;
    if (!p || ticksPerSecond <= 0) return std::nullopt;
    ++p;
    // Fields from 3 on: state, ppid, pgrp, session, tty, tpgid, flags, minflt, cminflt,
    // majflt, cmajflt, utime (14), stime (15), ..., vsize (23), which may be missing.
    unsigned long long fields[21] = {};
    for (int field = 3; field <= 23; ++field) {
        while (*p == ' ') ++p;
        if (!*p) {
            if (field <= 15) return std::nullopt;
            break;
        }
        if (field == 3) {
            ++p;  // the state letter
            continue;
        }
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(p, &end, 10);
        if (end == p || errno != 0) {
            if (field <= 15) return std::nullopt;
            break;
        }
        fields[field - 3] = static_cast<unsigned long long>(value);
        p = end;
    }
    if (groupOut) *groupOut = static_cast<int>(fields[5 - 3]);
    if (addressSpaceOut) *addressSpaceOut = fields[23 - 3];
    const unsigned long long ticks = fields[14 - 3] + fields[15 - 3];
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
