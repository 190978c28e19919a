#pragma once

#include <string>

// PDF to one BMP per page (dst with "_p0001" ... before its extension). firstPage and
// lastPage limit the pages when above 0.
class TPdf2bmp {
public:
    // Runs the job; False when the options cannot be read or Ghostscript cannot start.
    bool Convert(const std::string& src, const std::string& dst, int firstPage, int lastPage);
    // The parameter string the job hands to Ghostscript, from the options as they are now.
    std::string Parameters(const std::string& src, const std::string& dst, int firstPage,
                           int lastPage);
};

class TRun;
// The function pdf2bmp: one bitmap per page in the destination.
// Named by its row of the function table.
bool RunPdf2bmp(TRun& run);
