#include "engine/pdfDocumentFacts.h"

#include "engine/pdfPageTree.h"

TPdfDocumentFacts ReadPdfDocumentFacts(const std::string& fileName, const std::string& password) {
    // One reading of the file: the catalog, then the page tree's own walk (the parser's
    // page list recurses once a level and a tree deep enough ends the program).
    const TPdfPageTree tree = ReadPdfPageTree(fileName, password);
    TPdfDocumentFacts facts;
    facts.opened = tree.catalogRead;
    facts.portfolio = tree.portfolio;
    if (tree.opened)
        facts.pages = tree.pages;
    else
        facts.why = tree.why;  // a page tree that cannot be walked: no count
    return facts;
}
