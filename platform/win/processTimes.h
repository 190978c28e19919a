// How much processor time the processes of a process group have used, and how much address
// space they hold: a helper that keeps using processor time is working, however long it
// stays silent; one whose address space reaches its limit is out of memory.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// The user and system time of the processes now in the process group (those that have
// ended no longer count); nothing when the system does not tell.
std::optional<std::chrono::milliseconds> ProcessGroupCpuTime(int group);

// What the processes now in a group use: their processor time, and the address space of
// the largest. The process leaveOut (when not 0) does not count: a bridge that only
// waits for the program it drives is no sign of that program's work.
struct GroupUsage {
    std::chrono::milliseconds cpu{0};
    uint64_t largestAddressSpace = 0;  // bytes
};
std::optional<GroupUsage> ProcessGroupUsage(int group, int leaveOut = 0);

// The same for one process, from its line of the process table ("pid (name) state ...");
// nothing when the line cannot be read. groupOut, when given, gets its process group;
// addressSpaceOut its address space in bytes (0 when the line does not go that far).
std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut = nullptr,
                                                             uint64_t* addressSpaceOut = nullptr);
