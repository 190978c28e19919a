#pragma once

// Whole PDFs joined in list order into one.

#include <string>

#include "platform/rtl/classes.h"

class TPdfMergeAll {
public:
    // Deletes an older dst, then runs the job; False when dst cannot be deleted or
    // Ghostscript cannot start.
    bool Merge(const TStringList& files, const std::string& dst);
    std::string Parameters(const TStringList& files, const std::string& dst);
};

class TRun;
// The function pdfMergeAll: every source joined into "MERGED-ALL.pdf" in the destination.
// Named by its row of the function table.
bool RunPdfMergeAll(TRun& run);
