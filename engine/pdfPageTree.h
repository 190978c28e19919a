// The page tree of a PDF's latest revision, read by a real PDF parser (qpdf): the trailer's
// /Root through the cross-reference tables and streams of every update, object streams and
// encryption with an empty user password. Only this unit links the parser.
#pragma once

#include <string>

struct TPdfPageTree {
    bool opened = false;       // false: the parser cannot read the file as it stands
    std::string why;           // the parser's reason when it cannot (for the day log)
    bool rootCounted = false;  // the root node's /Count is an integer
    long long rootCount = 0;   // that integer (what qpdf --show-npages reports)
    long long pages = 0;       // the pages its /Kids lead to
};

// Never raises and writes nothing to the console. The parser does not rebuild a damaged
// cross-reference table: a file it would have to repair is reported as not opened, so a
// count never comes from a guess.
TPdfPageTree ReadPdfPageTree(const std::string& fileName);
