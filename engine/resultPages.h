// The pages of a conversion's result, checked against the pages its sources give before
// the result replaces anything in the destination, and the PDF sources no conversion can
// take: one without a page, and a portfolio (Ghostscript draws the files embedded in it
// instead of its own pages, and the installed Ghostscript cannot be told otherwise).
#pragma once

#include <string>
#include <vector>

// Why a PDF source cannot be converted, as a reason naming it; "" when it can.
std::string PdfSourceProblem(const std::string& pdf);

// The pages of a PDF source from first to last (0: from the first, to the last page); -1
// when its page count cannot be told (the day log says why).
int ExpectedPdfPages(const std::string& pdf, int firstPage = 0, int lastPage = 0);

// The pages the sources of a merge give together; -1 when one of them cannot be told.
int ExpectedPdfPages(const std::vector<std::string>& pdfs);

// The pages a conversion made, or the result file that does not tell them.
struct TMadePages {
    TMadePages(int count = 0) : pages(count) {}  // NOLINT(google-explicit-constructor)
    static TMadePages Unreadable(const std::string& file);

    int pages = 0;           // -1 when a result file does not tell its pages
    std::string unreadable;  // that file's name, when it is one page file of many
};

// The pages of a result file: a PDF (opened with the password when it has one), a
// PostScript file by the page comments Ghostscript writes, a TIFF by its pages, any other
// file one page. A PDF, PostScript or TIFF file that cannot be read as one is unreadable
// (the day log says why).
TMadePages ResultFilePages(const std::string& file, const std::string& password = "");

// The pages of every file matching mask (a job writing one file per page, or one TIFF
// of many pages): how many of them a conversion made; the first file that does not tell
// its pages makes the whole unreadable, naming that file.
TMadePages PagesInFiles(const std::string& mask);

// Whether a job made its result: false, reported naming the source, when Ghostscript
// wrote no file.
bool ResultMade(const std::string& result, const std::string& source);

// Whether `made` pages are the `expected` ones: those of the whole sources, or of the
// pages asked for. A difference, no page at all, or a result that does not tell its pages
// is reported naming the sources (and both counts); false then. Only when the sources'
// pages cannot be told (expected -1) is a readable result taken unchecked, which the day
// log records.
bool PagesAsExpected(int expected, const TMadePages& made, const std::vector<std::string>& sources,
                     bool wholeSources = true);
