// The printer "Generic Colour PostScript" as the office servers print through it: a job
// is the document rendered by the office as PDF; the printer lays out the pages per sheet
// and writes PostScript into the named file. The file appears complete (it is written
// under another name and then renamed), so a wait for the file by its size sees the whole
// job. Landscape jobs are set on portrait sheets turned a quarter turn, the way
// PostScript printers take them.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace office {

struct PrintJob {
    std::string pdf;   // the rendered document
    std::string file;  // the PostScript file to write
    int columns = 1;   // pages per sheet, across and down
    int rows = 1;
    double sheetWidth = 0;  // the sheet in points for pages per sheet; 0: the pages' size
    double sheetHeight = 0;
    bool landscapeJob = false;  // the application printed in landscape orientation
    bool textless = false;      // pictures only: no font's glyphs need their names
};

// Whether name names the PostScript printer ("Generic Colour PostScript", or that name
// followed by " on <port>") and it is installed.
bool IsPostScriptPrinter(const std::string& name);
// The printer's name as the applications show it: "<name> on <port>".
std::string PrinterDisplayName();

// Prints the job; raises EOleError when it fails.
void PrintToFile(const PrintJob& job);

// Page sizes (width, height in points) of the pages of a PDF written by the office, in
// the order of the file; empty when none can be read.
std::vector<std::pair<double, double>> PdfPageSizes(const std::string& pdf);

}  // namespace office
