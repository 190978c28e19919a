// The lexical rules of PDF text, for the readers that look at a file's text without a
// parser: white space and comments, delimiters, tokens, names, strings and whole values.
// Each reads from position i of a text and leaves i behind what it read; none reads past
// the text's end.
#pragma once

#include <cstddef>
#include <string_view>

namespace pdfsyntax {

bool IsWhite(char c);
bool IsDelimiter(char c);
bool IsDigit(char c);

// A whole number of at most 15 digits, else -1.
long long SmallNumber(std::string_view digits);

// White space and comments (a comment is a blank).
void SkipWhite(std::string_view t, size_t& i);
// The regular characters from i (a number or a keyword); empty at a delimiter or blank.
std::string_view RegularToken(std::string_view t, size_t& i);
// The name whose "/" is at i, without the slash.
std::string_view Name(std::string_view t, size_t& i);
// Blanks, then a whole number of at most 15 digits; -1 for any other token.
long long Number(std::string_view t, size_t& i);
// The literal string whose "(" is at i, to its balancing ")"; false when the text ends first.
bool SkipString(std::string_view t, size_t& i);
// One whole value from i: a dictionary or array with all it holds, a string, a name or a
// token. Nesting is counted, not recursed, so no depth of it can exhaust the stack. False
// when the text ends first or a stray ")" or ">" stands in it (stepped over).
bool SkipValue(std::string_view t, size_t& i);

}  // namespace pdfsyntax
