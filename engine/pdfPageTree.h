// The page tree of a PDF's latest revision, read by a real PDF parser (qpdf): the trailer's
// /Root through the cross-reference tables and streams of every update, object streams and
// encryption with an empty user password. It and pdfDocumentFacts alone link the parser.
#pragma once

#include <string>

struct TPdfPageTree {
    bool opened = false;       // false: the parser cannot read the file as it stands
    std::string why;           // the parser's reason when it cannot (for the day log)
    bool catalogRead = false;  // the catalog was read, even when the tree could not be walked
    bool portfolio = false;    // ... and holds a /Collection: a reader shows the attachments
    bool rootCounted = false;  // the root node's /Count is an integer
    long long rootCount = 0;   // that integer (what qpdf --show-npages reports)
    long long pages = 0;       // the pages its /Kids lead to
    bool repeated = false;     // a page is listed more than once (each listing is a page)
    long long missingKid = 0;  // the first kid that names no object, 0: none
    bool strangeKid = false;   // a kid that is neither a page nor a node (qpdf drops it)
    bool untypedPage = false;  // a page without /Type /Page
    bool kidlessNode = false;  // a node without /Kids (readers differ on what it holds)
    bool hybrid = false;       // a cross-reference table that also names a stream (/XRefStm)
};

// Never raises and writes nothing to the console. The parser does not rebuild a damaged
// cross-reference table, and a file it reads only with warnings (an object not where the
// table says, a null where a page should be) is reported as not opened too, so a count
// never comes from a guess.
//
// A kid of /Type /Pages is a node (without /Kids it holds no page), one of /Type /Page is
// a page, and one of neither type is a node when it has /Kids, else a page. The password
// (user or owner) opens an encrypted file.
TPdfPageTree ReadPdfPageTree(const std::string& fileName, const std::string& password = "");

// The same read by the parser repairing what it must (rebuilding the cross-reference
// table from the objects in the text); its count is a guess, to be checked.
TPdfPageTree RepairPdfPageTree(const std::string& fileName);

// Writes a copy of src to dst in which every listing of a page listed more than once is
// a page object of its own, so that a renderer asked for one page by number finds it.
// False, with the parser's reason in why, when that cannot be done.
bool WritePdfPagesApart(const std::string& src, const std::string& dst, std::string& why);

// Writes a copy of src to dst as the parser reads it (repairing what it must), its page
// tree as every reader takes it: kids that name no object left out, pages and nodes
// typed, counts that are the pages below, each listing a page of its own. A renderer
// that stumbles on the original's form (data before the header, a cross-reference table
// naming a stream, a page without its type) reads the copy. False, with the parser's
// reason in why, when that cannot be done.
bool WritePdfAsReadersTakeIt(const std::string& src, const std::string& dst, std::string& why);

// The program's own reasons speak for it: nothing of the parser's reaches the console.
class QPDF;
void QuietPdfParser(QPDF& pdf);
