#pragma once

// PDF to one EPS per page (dst with "_p0001" ... before its extension).

#include <string>

class TPdf2eps {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function pdf2eps: one Encapsulated PostScript file per page in the destination.
// Named by its row of the function table.
bool RunPdf2eps(TRun& run);
