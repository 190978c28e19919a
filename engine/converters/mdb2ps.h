#pragma once

// Prints an office document into a PostScript file through the office application and
// the printer "Generic Colour PostScript".

#include <string>

class TMdb2ps {
public:
    bool Convert(const std::string& src, const std::string& dstPs);
};
