// A PDF source as the program reads it, once for as long as the file stays as it is:
// whether a conversion can take it, the pages it holds, and the copy Ghostscript reads
// instead of a file every reader opens but it stumbles on (data before the header, a
// cross-reference table that also names a stream, a page tree naming a missing object or
// a page without its type), rewritten by the PDF parser into the run's temporary folder.
#pragma once

#include <string>

struct TPdfSource {
    bool portfolio = false;  // the catalog holds a /Collection
    int pages = -1;          // the pages its tree holds; -1 when they cannot be told
    bool repeated = false;   // a page is listed more than once (each listing is a page)
    std::string countError;  // why the count was refused (a count that is no number)
    std::string copyWhy;     // why Ghostscript reads a rewritten copy; "" when it reads the file
    std::string cause;       // ... the cause as a reason says it, when no copy can be made
};

// The facts of a PDF source, read at its first mention and again only when the file has
// changed since. Never raises.
const TPdfSource& PdfSource(const std::string& pdf);

// Why a PDF source cannot be converted, as a reason naming it; "" when it can. Makes the
// copy Ghostscript is to read where one is needed (a file no copy can be made of for it
// is refused with the cause).
std::string PdfSourceCopyProblem(const std::string& pdf);

// The file Ghostscript is given for path: the rewritten copy of a PDF source that needs
// one (made now when the run has a temporary folder), else path itself.
std::string GhostscriptInput(const std::string& path);

// The same for a file taken as a source (a document the page-order window splits).
std::string SourceAsGhostscriptReadsIt(const std::string& pdf);

// The source a copy made by GhostscriptInput stands for; "" when path is no such copy.
std::string SourceOfCopy(const std::string& path);
