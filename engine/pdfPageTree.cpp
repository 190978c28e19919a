#include "engine/pdfPageTree.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>

TPdfPageTree ReadPdfPageTree(const std::string& fileName) {
    TPdfPageTree tree;
    try {
        QPDF pdf;
        // The program's own reasons speak for it: nothing of the parser's reaches the console.
        auto quiet = QPDFLogger::create();
        quiet->setInfo(quiet->discard());
        quiet->setWarn(quiet->discard());
        quiet->setError(quiet->discard());
        pdf.setLogger(quiet);
        pdf.setSuppressWarnings(true);
        pdf.setAttemptRecovery(false);
        pdf.processFile(fileName.c_str(), "");
        QPDFObjectHandle count = pdf.getRoot().getKey("/Pages").getKey("/Count");
        if (count.isInteger()) {
            tree.rootCounted = true;
            tree.rootCount = count.getIntValue();
        }
        tree.pages = static_cast<long long>(pdf.getAllPages().size());
        tree.opened = true;
    } catch (const std::exception& e) {
        tree = TPdfPageTree();
        tree.why = e.what();
    }
    return tree;
}
