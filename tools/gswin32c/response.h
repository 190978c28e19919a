// Reading the switches of one Ghostscript job: the response file named after "@" and
// the plain switches of the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsw {

// Splits one response-file text into arguments, the way Ghostscript reads an @file:
// arguments are separated by blanks, tabs and line breaks; a double quote starts or
// ends a quoted stretch, which may hold blanks and is joined to whatever stands
// directly before or after it ("-sOutputFile="a b.pdf"" is one argument, a b.pdf
// without the quotes). Inside a quoted stretch two escapes exist so that a password
// can hold a double quote: \" stands for " and \\ stands for \. Every other backslash,
// and every backslash outside quotes, is an ordinary character, so Windows-style paths
// such as "C:\temp\a.pdf" pass unchanged. A quote left open runs to the end of the text.
std::vector<std::string> Tokenize(std::string_view text);

// Expands the program's own arguments (without argv[0]): an argument "@path" is
// replaced by the arguments of that response file, every other argument is kept.
// Returns false with a message in `error` when a response file cannot be read.
bool ExpandArguments(const std::vector<std::string>& args, std::vector<std::string>& out,
                     std::string& error);

}  // namespace gsw
