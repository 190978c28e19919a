// How long a helper program (Ghostscript, the office) may go without a sign of progress
// (a page finished, an output growing, processor time used) before its step is ended as
// hung, the ceiling on a step's whole time however busy it stays, and how much memory
// each helper process may take.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// Five minutes; VEXOMAT_NO_PROGRESS_LIMIT_MS, read once, sets another limit (tests use a
// short one). Only a value of decimal digits that is above zero counts; one longer than
// LongestLimit() is taken as LongestLimit().
std::chrono::milliseconds NoProgressLimit();

// The limit in whole seconds for messages (at least 1).
long long NoProgressLimitSeconds();

// What NoProgressLimit makes of the variable's text: nothing when it is no limit.
std::optional<std::chrono::milliseconds> ParseNoProgressLimit(const char* text);

// The longest limit: about a century, so that a deadline counted from now on the steady
// clock (in nanoseconds) never overflows.
constexpr std::chrono::milliseconds LongestLimit() { return std::chrono::hours(24 * 365 * 100); }

// The longest an office step may take while it keeps busy: an office that uses processor
// time for ever (a loop) is ended after this; the no-progress limit when that is longer.
std::chrono::milliseconds OfficeStepCeiling();

// `since` + limit, saturated: a limit too long for the clock gives its last moment.
std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::steady_clock::time_point since,
                                                    std::chrono::milliseconds limit);

// Whether more than limit has passed from `since` to `now`, without overflow for any limit.
bool LimitPassed(std::chrono::steady_clock::time_point since,
                 std::chrono::steady_clock::time_point now, std::chrono::milliseconds limit);

// The address space each child process may take (bytes): a quarter of the machine's
// memory, at least 4 GiB (the office maps some hundred megabytes of libraries and
// reserves more for its threads before it reads anything); VEXOMAT_CHILD_MEMORY_LIMIT_MB,
// read once, sets another (tests use a small one), or none when it is 0 or more than an
// address space holds; anything but digits leaves the default. A document that makes a
// helper grow past it (a zip bomb, a PostScript loop that keeps what it allocates) fails
// there instead of filling the machine.
uint64_t ChildMemoryLimit();

// The limit that is none: no child is held to it, and no use comes near it.
constexpr uint64_t kNoChildMemoryLimit = UINT64_MAX;

// What ChildMemoryLimit makes of the variable's text: nothing when it sets no value, so
// the default holds.
std::optional<uint64_t> ParseChildMemoryLimit(const char* text);
