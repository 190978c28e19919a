// How long a helper program (Ghostscript, the office) may go without a sign of progress
// (a page finished, an output growing, an answer) before its step is ended as hung.
#pragma once

#include <chrono>

// Five minutes; VEXOMAT_NO_PROGRESS_LIMIT_MS, read once, sets another limit (tests use a
// short one). A value that is no positive number of milliseconds is ignored.
std::chrono::milliseconds NoProgressLimit();

// The limit in whole seconds for messages (at least 1).
long long NoProgressLimitSeconds();
