// The run's branches for the PDF tools: merging, encryption, cropping, watermark, preview.
#include "app/main.h"

bool TForm_main::RunPdfToolFunction(const std::string&, std::string&, const std::string&, bool&) { return false; }
