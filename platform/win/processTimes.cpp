#include "platform/win/processTimes.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win/launcher.h"

std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut) {
    // The name may hold blanks and parentheses: the fields start after the last ")".
    const char* p = line ? std::strrchr(line, ')') : nullptr;
    if (!p || ticksPerSecond <= 0) return std::nullopt;
    ++p;
    // Fields from 3 on: state, ppid, pgrp, session, tty, tpgid, flags, minflt, cminflt,
    // majflt, cmajflt, utime (14), stime (15).
    unsigned long long fields[13] = {};
    for (int field = 3; field <= 15; ++field) {
        while (*p == ' ') ++p;
        if (!*p) return std::nullopt;
        if (field == 3) {
            ++p;  // the state letter
            continue;
        }
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(p, &end, 10);
        if (end == p || errno != 0) return std::nullopt;
        fields[field - 3] = static_cast<unsigned long long>(value);
        p = end;
    }
    if (groupOut) *groupOut = static_cast<int>(fields[5 - 3]);
    const unsigned long long ticks = fields[14 - 3] + fields[15 - 3];
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
