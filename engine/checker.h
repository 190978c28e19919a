// Whether the outside programs a conversion needs are here: an office application of a
// sufficient version, Ghostscript, the PostScript printer and a PDF viewer. Each check
// can explain a negative answer in the message box.
#pragma once

#include <string>

// The product's web page named in the checks' messages.
extern const char* const kProductAddress;

bool CheckOffice(const std::string& appName, bool show);
int OfficeVersion(const std::string& appName);
bool CheckGhostscript(bool show);
bool CheckPrinter(bool show, bool checkPort);
bool CheckPdfViewer(bool show);
