#pragma once

// A presentation of page bitmaps: every "*.bmp" in the folder of the mask becomes one
// slide, built and saved by the presentation program.

#include <string>

class TBmp2ppt {
public:
    bool Convert(const std::string& srcMask, const std::string& dstPpt);
};

class TRun;
// The function pdf2ppt: the pages as bitmaps, made a presentation in the destination.
// Named by its row of the function table.
bool RunPdf2ppt(TRun& run);
