#pragma once

// The pages of one or two PDFs joined in the order set in the page-order window. The
// single pages lie in the main window's FArrangeTmp as "1---<name>_p0001.pdf" (first
// file) and "2---<name>_p0001.pdf" (second file); FMergeOrder holds one entry per result
// page, "F1: " or "F2: ", a five-character label and the page number.

#include <string>

class TPdfMerge {
public:
    // Runs the job; False when the order cannot be read or Ghostscript cannot start.
    bool Merge(const std::string& dst);
    std::string Parameters(const std::string& dst);
};

class TRun;
// The function pdfMerge: the pages in the order of the page-order window, joined into
// "MERGED-" + N + ".pdf" in the destination.
// Named by its row of the function table.
bool RunPdfMerge(TRun& run);
