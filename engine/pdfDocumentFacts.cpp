#include "engine/pdfDocumentFacts.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>

#include "engine/pdfPageTree.h"

TPdfDocumentFacts ReadPdfDocumentFacts(const std::string& fileName, const std::string& password) {
    TPdfDocumentFacts facts;
    try {
        QPDF pdf;
        QuietPdfParser(pdf);
        pdf.setAttemptRecovery(false);
        pdf.processFile(fileName.c_str(), password.c_str());
        QPDFObjectHandle root = pdf.getRoot();
        // Ghostscript draws the embedded files of any catalog with a /Collection instead of
        // its pages, as readers show them.
        facts.portfolio = root.hasKey("/Collection");
        facts.opened = true;
        // Counted by the page tree's own walk: the parser's page list recurses once a level
        // and a tree deep enough ends the program.
        const TPdfPageTree tree = ReadPdfPageTree(fileName, password);
        if (tree.opened)
            facts.pages = tree.pages;
        else
            facts.why = tree.why;  // a page tree that cannot be walked: no count
    } catch (const std::exception& e) {
        facts = TPdfDocumentFacts();
        facts.why = e.what();
    }
    return facts;
}
