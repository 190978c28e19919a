#pragma once

// Prints an office document into a PostScript file through the office application and
// the printer "Generic Colour PostScript".

#include <string>

class TMdb2ps {
public:
    bool Convert(const std::string& src, const std::string& dstPs);
};

class TRun;
// The function mdb2pdf: the database printed and made a PDF in the destination.
// Named by its row of the function table.
bool RunMdb2pdf(TRun& run);
