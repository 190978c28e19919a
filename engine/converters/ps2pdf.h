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
