#pragma once

// PDF to PostScript.

#include <string>

class TPdf2ps {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function pdf2ps: the PDF made a PostScript file in the destination.
// Named by its row of the function table.
bool RunPdf2ps(TRun& run);
