#pragma once

// PDF to a smaller PDF: pages compressed and images downsampled to the reduction quality.

#include <string>

class TPdf2pdf {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function pdf2pdf: the reduced copy, named with "_REDUCED", in the destination.
// Named by its row of the function table.
bool RunPdf2pdf(TRun& run);
