// Runs Ghostscript and relays its output.
#pragma once

#include <string>
#include <vector>

namespace gsw {

// Starts `program` (searched in PATH when it holds no "/") with `args` as its argument
// vector, no shell involved. Its standard output goes on to this program's standard
// output and its error output to this program's error output, line by line, where
//  - known harmless remarks of the error output are moved to the standard output;
//  - after a job that ended with exit code 0 and reported a repaired or ignored damage
//    in an input (and no input it could not read at all), the line kRepairNotice is
//    added to the error output;
//  - when Ghostscript failed without writing to the error output, a line naming the exit
//    code and the failure lines of its standard output are written there, so a failed
//    job never leaves an empty error output.
// Returns Ghostscript's exit code (128 + the signal number when it was killed), or 127
// with a message on the error output when it cannot be started.
int RunGhostscript(const std::string& program, const std::vector<std::string>& args);

}  // namespace gsw
