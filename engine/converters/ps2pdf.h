#pragma once

// PostScript to PDF, with the PDF optimisation, paper size and orientation options.

#include <string>

class TPs2pdf {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function ps2pdf: the PostScript file made a PDF in the destination.
// Named by its row of the function table.
bool RunPs2pdf(TRun& run);
