// The characters a TrueType face (a .ttf file, or one face of a .ttc collection) has glyphs
// for, read from its Unicode character map. Font files come from disk and may be damaged,
// so every offset and count is checked against the data before it is used.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/rtl/sysutils.h"

// A font file whose tables cannot be read as TrueType.
class ETrueTypeError : public Exception {
public:
    using Exception::Exception;
};

struct TCodeRange {
    char32_t first, last;
};

// Every character the face's Unicode map (format 12 preferred, else format 4) leads to a
// glyph other than the missing-glyph one and within the face's glyph count, as sorted,
// disjoint, non-adjacent ranges. `face` picks the face of a collection (0 for a single
// font). Raises ETrueTypeError when the data is not a readable TrueType face with such a map.
std::vector<TCodeRange> TrueTypeCharacters(std::string_view data, unsigned face);

// The same, read from a file. Raises EInOutError when the file cannot be read.
std::vector<TCodeRange> ReadTrueTypeCharacters(const std::string& fileName, unsigned face);
