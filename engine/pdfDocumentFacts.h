// What a PDF's catalog says beyond its page count, read by the PDF parser (qpdf): whether
// the document is a portfolio, and the pages of a file only a password opens (a result of
// the encryption).
#pragma once

#include <string>

struct TPdfDocumentFacts {
    bool opened = false;     // false: the parser cannot read the file as it stands
    std::string why;         // the parser's reason when it cannot (for the day log)
    bool portfolio = false;  // the catalog holds a /Collection: a reader shows the attachments
    long long pages = -1;    // the pages of the document's own page tree
};

// Never raises and writes nothing to the console. The password (user or owner) opens an
// encrypted file; the file is not repaired, so nothing is ever a guess.
TPdfDocumentFacts ReadPdfDocumentFacts(const std::string& fileName,
                                       const std::string& password = "");
