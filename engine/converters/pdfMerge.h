#pragma once

// The pages of one or two PDFs joined in the order set in the page-order window. The
// single pages lie in the main window's FArrangeTmp as "1---page_p0001.pdf" (first file)
// and "2---page_p0001.pdf" (second file); FMergeOrder holds one entry per result page,
// "F1: " or "F2: ", a five-character label and the page number.

#include <string>

// The name the single pages take before "_p0001.pdf": the run's own, so that a document
// of the longest name splits too.
extern const char* const kMergePageBase;
// folder + prefix + kMergePageBase + "_p" + four digits + ".pdf".
std::string MergePageFile(const std::string& folder, const std::string& prefix, int page);

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
