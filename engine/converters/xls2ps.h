#pragma once

// Prints an office document into a PostScript file through the office application and
// the printer "Generic Colour PostScript".

#include <string>

class TXls2ps {
public:
    bool Convert(const std::string& src, const std::string& dstPs);
};

class TRun;
// The function xls2pdf: the Excel workbook printed and made a PDF in the destination.
// Named by its row of the function table.
bool RunXls2pdf(TRun& run);
