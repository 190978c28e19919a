#pragma once

// PDF to one JPEG per page (dst with "_p0001" ... before its extension).

#include <string>

class TPdf2jpg {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst);
};

class TRun;
// The function pdf2jpg: one JPEG picture per page in the destination.
// Named by its row of the function table.
bool RunPdf2jpg(TRun& run);
