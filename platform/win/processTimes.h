// How much processor time the processes of a process group have used: a helper that keeps
// using it is working, however long it stays silent.
#pragma once

#include <chrono>
#include <optional>

// The user and system time of the processes now in the process group (those that have
// ended no longer count); nothing when the system does not tell.
std::optional<std::chrono::milliseconds> ProcessGroupCpuTime(int group);

// The same for one process, from its line of the process table ("pid (name) state ...");
// nothing when the line cannot be read. groupOut, when given, gets its process group.
std::optional<std::chrono::milliseconds> CpuTimeFromStatLine(const char* line, long ticksPerSecond,
                                                             int* groupOut = nullptr);
