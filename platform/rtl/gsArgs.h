// The argument grammar of a Ghostscript job, written by the program into the one-line
// response file and read back by the console program (tools/gswin32c). Both sides use this
// unit, so what one writes the other reads exactly.
//
// The line is a list of arguments separated by blanks, tabs and line breaks. A double quote
// starts or ends a quoted stretch, which may hold blanks and is joined to whatever stands
// directly before or after it (-sOutputFile="a b.pdf" is one argument: -sOutputFile=a b.pdf).
// Inside a quoted stretch \" stands for " and \\ for \, so that a password can hold a quote;
// every other backslash, and every backslash outside quotes, is an ordinary character, so
// Windows-style paths pass unchanged. A quote left open runs to the end of the text.
//
// What the grammar cannot carry: a NUL byte (an argument reaches Ghostscript as a C string)
// and a line break inside an argument (the response file is one line). Writing such an
// argument raises GsArgError; reading never fails.
//
// Only the standard library is used, so the console program compiles this unit into itself.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// An argument the grammar cannot write; the message names it with its control bytes shown.
class GsArgError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// ---------------------------------------------------------------- reading

// One argument of a line: its value and the bytes [begin, end) of the line it was read from.
struct GsToken {
    std::string value;
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::vector<GsToken> GsTokenSpans(std::string_view line);
std::vector<std::string> GsTokenize(std::string_view line);

// ---------------------------------------------------------------- writing

// Whether an argument can be written at all (no NUL, no line break).
bool GsRepresentable(std::string_view arg);
// Whether a text can stand bare in a switch: representable, no blank and no quote (either
// would split the switch and hand the rest to Ghostscript as further arguments).
bool GsBareWritable(std::string_view text);

// One argument in double quotes with every backslash and quote escaped, so any
// representable text comes back exactly. Raises GsArgError for one that is not.
std::string QuoteGsArg(std::string_view text);

// Any argument vector as one line, every argument quoted and followed by a blank; read back
// by GsTokenize it gives the same vector. Raises GsArgError for an argument it cannot carry.
std::string GsQuoteLine(const std::vector<std::string>& args);

// The arguments of one job as the converters build them: switches written as they stand
// (-r300, -sDEVICE=pdfwrite) and values in double quotes behind a switch or alone (file
// names, passwords), so the line keeps the form the job's log shows.
class GsArgs {
public:
    GsArgs() = default;

    // Bare switches: one, or several separated by blanks as a literal reads best. A switch
    // holding a quote or a byte the grammar cannot carry raises GsArgError.
    GsArgs& operator+=(std::string_view switches);
    GsArgs& operator+=(const GsArgs& more);

    // One argument made of head (bare, may be empty) and value in double quotes:
    // Quoted("-sOutputFile=", path) is written -sOutputFile="path".
    GsArgs& Quoted(std::string_view head, std::string_view value);

    // The arguments Ghostscript receives.
    std::vector<std::string> Vector() const;
    // The response file's line: every argument followed by one blank.
    std::string Line() const;

private:
    struct Arg {
        std::string head;
        std::string value;
        bool quoted = false;
    };
    std::vector<Arg> args_;
};

// The switches every job starts with: no prompt between pages, exit when done, and no file
// access beyond what the job names. The one place they are written.
GsArgs GsPrefix();
