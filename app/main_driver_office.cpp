// The run's branches that go through office applications: Word, Excel, PowerPoint and
// Access documents, TIFF images and presentations of PDF pages.
#include "app/main.h"

bool TForm_main::RunOfficeFunction(const std::string&, std::string&, const std::string&, bool&) { return false; }
