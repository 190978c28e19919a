#include "engine/pdfPageTree.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFLogger.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include <exception>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

// The pages below the root node, counted as qpdf counts them (a kid with /Kids is a node,
// any other dictionary a page) but walked with a list of its own instead of recursion, so
// no depth of tree exhausts the stack.
long long CountLeaves(const QPDFObjectHandle& root) {
    long long pages = 0;
    std::set<QPDFObjGen> nodes;
    std::vector<QPDFObjectHandle> open{root};
    while (!open.empty()) {
        QPDFObjectHandle node = open.back();
        open.pop_back();
        if (!node.isDictionary()) throw std::runtime_error("a page tree node is no dictionary");
        if (node.isIndirect() && !nodes.insert(node.getObjGen()).second)
            throw std::runtime_error("a page tree node is reached twice");
        QPDFObjectHandle kids = node.getKey("/Kids");
        if (!kids.isArray()) throw std::runtime_error("a page tree node has no /Kids");
        for (int i = 0, n = kids.getArrayNItems(); i < n; ++i) {
            QPDFObjectHandle kid = kids.getArrayItem(i);
            if (!kid.isDictionary()) continue;  // qpdf drops such a kid too
            if (kid.hasKey("/Kids"))
                open.push_back(kid);
            else
                ++pages;
        }
    }
    return pages;
}

}  // namespace

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
        QPDFObjectHandle root = pdf.getRoot().getKey("/Pages");
        QPDFObjectHandle count = root.getKey("/Count");
        if (count.isInteger()) {
            tree.rootCounted = true;
            tree.rootCount = count.getIntValue();
        }
        tree.pages = CountLeaves(root);
        tree.opened = true;
    } catch (const std::exception& e) {
        tree = TPdfPageTree();
        tree.why = e.what();
    }
    return tree;
}
