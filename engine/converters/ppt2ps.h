#pragma once

// Prints an office document into a PostScript file through the office application and
// the printer "Generic Colour PostScript".

#include <string>

class TPpt2ps {
public:
    bool Convert(const std::string& src, const std::string& dstPs);
};

class TRun;
// The function ppt2pdf: the presentation printed and made a PDF in the destination.
// Named by its row of the function table.
bool RunPpt2pdf(TRun& run);
