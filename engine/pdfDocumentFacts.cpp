#include "engine/pdfDocumentFacts.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>

TPdfDocumentFacts ReadPdfDocumentFacts(const std::string& fileName, const std::string& password) {
    TPdfDocumentFacts facts;
    try {
        QPDF pdf;
        auto quiet = QPDFLogger::create();
        quiet->setInfo(quiet->discard());
        quiet->setWarn(quiet->discard());
        quiet->setError(quiet->discard());
        pdf.setLogger(quiet);
        pdf.setSuppressWarnings(true);
        pdf.setAttemptRecovery(false);
        pdf.processFile(fileName.c_str(), password.c_str());
        QPDFObjectHandle root = pdf.getRoot();
        // Ghostscript draws the embedded files of any catalog with a /Collection instead of
        // its pages, as readers show them.
        facts.portfolio = root.hasKey("/Collection");
        facts.opened = true;
        try {
            facts.pages = static_cast<long long>(pdf.getAllPages().size());
        } catch (const std::exception& e) {
            facts.why = e.what();  // a page tree the parser cannot walk: no count
        }
    } catch (const std::exception& e) {
        facts = TPdfDocumentFacts();
        facts.why = e.what();
    }
    return facts;
}
