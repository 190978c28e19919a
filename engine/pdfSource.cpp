#include "engine/pdfSource.h"

#include <exception>
#include <map>
#include <string_view>

#include "engine/failureReason.h"
#include "engine/host.h"
#include "engine/pdfHelper.h"
#include "engine/pdfPageTree.h"
#include "engine/util.h"
#include "platform/rtl/mappedFile.h"
#include "platform/rtl/sysutils.h"

namespace {

struct TKnown {
    std::string identity;  // of the file when it was read
    TPdfSource facts;
    std::string copy;  // the rewritten copy made for Ghostscript, "" while none
};

// By the full name of the file; a run reads a handful of sources.
std::map<std::string, TKnown>& Known() {
    static std::map<std::string, TKnown> known;
    return known;
}

// Where the header "%PDF-" starts when more stands before it than Ghostscript (and the
// parser) look through, 1024 bytes, within the first megabyte; 0 when it is nearer the
// start or nowhere.
long long DataBeforeHeader(const std::string& pdf) {
    try {
        const TMappedFile file(pdf);
        const std::string_view text = file.Data().substr(0, size_t(1) << 20);
        const size_t at = text.find("%PDF-");
        return at == std::string_view::npos || at < 1024 ? 0 : (long long)at;
    } catch (const std::exception& e) {
        Log("PdfParser", e.what());
        return 0;
    }
}

TPdfSource Read(const std::string& pdf) {
    TPdfSource facts;
    // One reading by the parser: the catalog, then the tree (the text and the parser's
    // repair only for a file it cannot read as it stands).
    const TPdfPageTree tree = ReadPdfPageTree(pdf);
    facts.portfolio = tree.catalogRead && tree.portfolio;
    try {
        const TPdfPages pages = TPdfChopToSingles().PdfPages(pdf, tree);
        facts.pages = pages.count;
        facts.repeated = pages.repeated;
    } catch (const std::exception& e) {
        facts.countError = e.what();
        Log("PageCount", e.what());
    }
    if (tree.opened) {
        // Ghostscript 10.0 takes the free entries of such a table for the objects the
        // stream names, and finds no page where a kid names nothing or a page is untyped.
        if (tree.missingKid != 0) {
            facts.copyWhy = "页面树列出的对象 " + IntToStr(tree.missingKid) + " 不存在";
            facts.cause = "PDF 文件的页面树列出了文件中不存在的对象 " + IntToStr(tree.missingKid) +
                          ", 文件已损坏。";
        } else if (tree.strangeKid) {
            facts.copyWhy = "页面树列出了既不是页面也不是页面节点的对象";
            facts.cause = "PDF 文件的页面树列出了既不是页面也不是页面节点的对象, 文件已损坏。";
        } else if (tree.untypedPage) {
            facts.copyWhy = "有页面没有写明 /Type /Page";
            facts.cause =
                "PDF 文件中有页面没有写明它的类型 (/Type /Page), Ghostscript 找不到这些页面。";
        } else if (tree.hybrid) {
            facts.copyWhy = "交叉引用表还指向一个交叉引用流 (混合格式)";
        }
    } else if (const long long before = DataBeforeHeader(pdf); before > 0) {
        // Ghostscript reads a file that does not start as a PDF as PostScript.
        facts.copyWhy = "文件头 %PDF 之前有 " + IntToStr(before) + " 字节的其他数据";
        facts.cause = "PDF 文件的文件头 (%PDF) 之前有 " + IntToStr(before) +
                      " 字节的其他数据 (例如邮件的信头), Ghostscript 无法读取这个文件。";
    }
    return facts;
}

TKnown& Entry(const std::string& pdf) {
    const std::string full = ExpandFileName(pdf);
    const std::string identity = FileIdentity(full);
    TKnown& known = Known()[full];
    if (identity.empty() || known.identity != identity) {
        known.identity = identity;
        known.facts = Read(full);
        if (!known.copy.empty() && FileExists(known.copy)) DeleteFile(known.copy);
        known.copy.clear();
    }
    return known;
}

// The folder the copies of this run go into: inside the run's temporary folder (or the
// page-order window's), removed with it; "" outside of both.
std::string CopiesFolder() {
    const TMainState* s = MainState();
    if (!s) return "";
    const std::string& base = !s->FRunTemp.empty() ? s->FRunTemp : s->FArrangeTmp;
    return base.empty() ? "" : base + "pdf copies/";
}

// Makes the copy of a source that needs one; false when it cannot be made.
bool MakeCopy(const std::string& pdf, TKnown& known) {
    const std::string folder = CopiesFolder();
    if (folder.empty()) return false;
    if (!known.copy.empty() && StartsStr(folder, known.copy) && FileExists(known.copy)) return true;
    // Under the source's own name, so that what Ghostscript says of it names the file.
    const std::string dir =
        folder + IntToStr(int(Known().size())) + "-" + Format("%.6d", Random(1000000)) + "/";
    ForceDirectories(dir);
    const std::string copy = dir + ExtractFileName(pdf);
    std::string why;
    if (!WritePdfAsReadersTakeIt(pdf, copy, why)) {
        Log("PdfParser", why);
        if (FileExists(copy)) DeleteFile(copy);
        RemoveDir(dir);
        return false;
    }
    known.copy = copy;
    Log("PdfCopy", "Ghostscript 读取由 qpdf 重写的副本 (" + known.facts.copyWhy + "): \"" +
                       EscapeControls(pdf) + "\"");
    return true;
}

}  // namespace

const TPdfSource& PdfSource(const std::string& pdf) { return Entry(pdf).facts; }

std::string PdfSourceCopyProblem(const std::string& pdf) {
    TKnown& known = Entry(pdf);
    if (known.facts.copyWhy.empty() || CopiesFolder().empty() ||
        MakeCopy(ExpandFileName(pdf), known))
        return "";
    // Ghostscript would fail on the original with a cause that points elsewhere.
    return known.facts.cause.empty() ? "" : known.facts.cause + "\n" + FailedFileLine(pdf);
}

namespace {

// Whether path is a source of the run (or of the page-order window): the files the
// program makes on the way are its own and need no copy.
bool IsSource(const std::string& path) {
    const TMainState* s = MainState();
    if (!s) return false;
    const std::string full = ExpandFileName(path);
    for (const std::string& name : {s->FMergeFile1, s->FMergeFile2})
        if (!name.empty() && ExpandFileName(name) == full) return true;
    if (s->FSourceFiles)
        for (int i = 0; i < s->FSourceFiles->Count(); ++i)
            if (ExpandFileName((*s->FSourceFiles)[i]) == full) return true;
    return false;
}

}  // namespace

std::string GhostscriptInput(const std::string& path) {
    if (!SameText(ExtractFileExt(path), ".pdf") || !IsSource(path)) return path;
    return SourceAsGhostscriptReadsIt(path);
}

std::string SourceAsGhostscriptReadsIt(const std::string& pdf) {
    if (!FileExists(pdf)) return pdf;
    TKnown& known = Entry(pdf);
    if (known.facts.copyWhy.empty()) return pdf;
    return MakeCopy(ExpandFileName(pdf), known) ? known.copy : pdf;
}

std::string SourceOfCopy(const std::string& path) {
    for (const auto& [source, known] : Known())
        if (!known.copy.empty() && known.copy == path) return source;
    return "";
}
