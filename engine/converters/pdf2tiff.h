#pragma once

// PDF to TIFF: one file per page (single layer) or one multi-page file named dst.

#include <string>

class TPdf2tiff {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function pdf2tiff: TIFF pictures (or one file of layers) in the destination.
// Named by its row of the function table.
bool RunPdf2tiff(TRun& run);
