// Command lines as Windows programs receive them, turned into argument vectors so that
// nothing ever passes through a shell.
#pragma once

#include <string>
#include <vector>

// Splits a command line by the rules Windows programs use: the program name ends at the
// first blank or, when quoted, at the next quote; in the arguments 2n backslashes before
// a quote give n backslashes and toggle quoting, 2n+1 give n backslashes and a literal
// quote, "" inside quotes gives one quote, other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& line);

struct Redirection {
    enum Kind { Write, Append, Read, Duplicate };
    int fd = 1;  // 0, 1 or 2
    Kind kind = Write;
    std::string file;  // Write, Append, Read
    int sourceFd = 1;  // Duplicate: fd := sourceFd
};

struct ParsedCommand {
    std::vector<std::string> argv;
    // In the order given; later ones see the effect of earlier ones (as "1> f 2>&1").
    std::vector<Redirection> redirections;
    // The line was "cmd /c ...": the interpreter itself is not run, only the command.
    bool viaInterpreter = false;
};

// Parses a CreateProcess command line. "cmd /c <command>" (with the interpreter's rule
// of dropping one outer pair of quotes) becomes the command with its redirections
// "<", ">", ">>", "n>", "n>>", "n>&m" taken out; pipes and command chains are refused.
// Returns false with a reason when the line cannot be run without a shell.
bool ParseCommand(const std::string& line, ParsedCommand& out, std::string* error = nullptr);
