// Why a conversion failed, said so that a user can act on it: the line of a helper
// program's error output that states the error, and a sentence of ours for the common
// failures (the original line goes to the day log).
#pragma once

#include <string>

// The first line of an error output that states an error, whole. Passed over: empty
// lines, a program's banner that ends in a colon ("GPL Ghostscript 10.00.0:"), and the
// console program's own summary ("gswin32c: ..."), which is returned only when nothing
// else says more. Leading "****" marks are dropped.
std::string StatedErrorLine(const std::string& errorOutput);

// Our sentence for a common failure the text names: a password needed, a damaged file,
// a full disk, a resolution out of range; empty for any other.
std::string FailureInOurWords(const std::string& text);

// The input a failed job of several inputs failed in, as the console program names it;
// "" when it names none.
std::string FailedInputIn(const std::string& errorOutput);

// What an office failure shows: the office program's own English texts (internal
// names, a trace of its bridge) replaced by our sentence; a message of ours as it is.
std::string OfficeFailureInOurWords(const std::string& message);
