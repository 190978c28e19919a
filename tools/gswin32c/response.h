// Reading the switches of one Ghostscript job: the response file named after "@" and
// the plain switches of the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsw {

// Expands the program's own arguments (without argv[0]): an argument "@path" is
// replaced by the arguments of that response file, read by the grammar the program
// writes it with (platform/rtl/gsArgs.h); every other argument is kept.
// Returns false with a message in `error` when a response file cannot be read.
bool ExpandArguments(const std::vector<std::string>& args, std::vector<std::string>& out,
                     std::string& error);

}  // namespace gsw
