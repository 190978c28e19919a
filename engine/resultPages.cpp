#include "engine/resultPages.h"

#include <exception>

#include "engine/converters/tiff2ps.h"
#include "engine/failureReason.h"
#include "engine/pdfDocumentFacts.h"
#include "engine/pdfHelper.h"
#include "engine/pdfSource.h"
#include "engine/util.h"
#include "platform/rtl/classes.h"
#include "platform/rtl/mappedFile.h"
#include "platform/rtl/sysutils.h"

namespace {

// The sources a reason is about, under it: one as the file a failure names, several
// each with the pages it has.
std::string SourcesLines(const std::vector<std::string>& sources) {
    if (sources.size() == 1) return "\n" + FailedFileLine(sources[0]);
    std::string lines;
    for (const std::string& s : sources) {
        const int pages = ExpectedPdfPages(s);
        lines += "\n源文件: \"" + EscapeControls(s) + "\"" +
                 (pages >= 0 ? " (" + IntToStr(pages) + " 页)" : std::string());
    }
    return lines;
}

bool StartsLine(std::string_view text, size_t at) { return at == 0 || text[at - 1] == '\n'; }

// The pages of a PostScript file as its page comments tell: one "%%Page:" a page, as
// Ghostscript's writers set before every page, else the number of "%%Pages:".
int PostScriptPages(const std::string& file) {
    const TMappedFile mapped(file);
    const std::string_view text = mapped.Data();
    int pages = 0;
    long long stated = -1;
    for (size_t at = text.find("%%Page"); at != std::string_view::npos;
         at = text.find("%%Page", at + 6)) {
        if (!StartsLine(text, at)) continue;
        const std::string_view rest = text.substr(at + 6);
        if (rest.substr(0, 1) == ":") {
            ++pages;
        } else if (rest.substr(0, 2) == "s:") {
            size_t i = 2;
            while (i < rest.size() && rest[i] == ' ') ++i;
            long long n = 0;
            bool digits = false;
            for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && n < 100000000; ++i) {
                n = n * 10 + (rest[i] - '0');
                digits = true;
            }
            if (digits) stated = n;  // "(atend)" says nothing here
        }
    }
    return pages > 0 ? pages : int(stated);
}

}  // namespace

std::string PdfSourceProblem(const std::string& pdf) {
    if (PdfSource(pdf).portfolio)
        return "PDF 文件是一个 PDF 包 (Portfolio): Ghostscript 会转换其中嵌入的其他文件, "
               "而不是它自己的页面, 所以无法转换。请先从 PDF 包中取出要转换的文件。\n" +
               FailedFileLine(pdf);
    if (ExpectedPdfPages(pdf) == 0) {
        // A tree whose kids are all damaged holds no page, for the damage's reason.
        const std::string& cause = PdfSource(pdf).cause;
        return (cause.empty() ? "PDF 文件中没有任何页面, 没有可以转换的内容。"
                              : "PDF 文件中没有任何页面。" + cause) +
               "\n" + FailedFileLine(pdf);
    }
    return PdfSourceCopyProblem(pdf);
}

int ExpectedPdfPages(const std::string& pdf, int firstPage, int lastPage) {
    // Read once a run (a count refused is in the day log).
    const int count = PdfSource(pdf).pages;
    if (count < 0) return -1;
    const int first = firstPage > 0 ? firstPage : 1;
    const int last = lastPage > 0 && lastPage < count ? lastPage : count;
    return last >= first ? last - first + 1 : 0;
}

int ExpectedPdfPages(const std::vector<std::string>& pdfs) {
    int sum = 0;
    for (const std::string& pdf : pdfs) {
        const int pages = ExpectedPdfPages(pdf);
        if (pages < 0) return -1;
        sum += pages;
    }
    return sum;
}

TMadePages TMadePages::Unreadable(const std::string& file) {
    TMadePages made(-1);
    made.unreadable = file;
    return made;
}

TMadePages ResultFilePages(const std::string& file, const std::string& password) {
    const std::string ext = LowerCase(ExtractFileExt(file));
    int pages = 1;
    try {
        if (ext == ".pdf") {
            if (!password.empty()) {
                const TPdfDocumentFacts facts = ReadPdfDocumentFacts(file, password);
                if (!facts.opened) Log("PdfParser", facts.why);
                pages = facts.opened && facts.pages >= 0 ? int(facts.pages) : -1;
            } else {
                pages = TPdfChopToSingles().CountPdfPages(file);
            }
        } else if (ext == ".ps" || ext == ".eps") {
            pages = PostScriptPages(file);
            if (pages < 0) Log("PageCount", file + ": no page comments");
        } else if (ext == ".tif" || ext == ".tiff") {
            pages = TTiff2ps().TiffPageCount(file);
        }
    } catch (const std::exception& e) {
        Log("PageCount", e.what());
        pages = -1;
    }
    // The one result of a run is not named: its name here is not the one it would have.
    return pages < 0 ? TMadePages::Unreadable("") : TMadePages(pages);
}

TMadePages PagesInFiles(const std::string& mask) {
    const std::string folder = ExtractFilePath(mask);
    TMadePages made;
    TSearchRec rec;
    for (int found = FindFirst(mask, faAnyFile, rec); found == 0; found = FindNext(rec)) {
        if (rec.Attr & faDirectory) continue;
        const TMadePages file = ResultFilePages(folder + rec.Name);
        if (file.pages < 0) {
            // Page files carry the names they would have in the destination.
            made = TMadePages::Unreadable(rec.Name);
            break;
        }
        made.pages += file.pages;
    }
    FindClose(rec);
    return made;
}

bool ResultMade(const std::string& result, const std::string& source) {
    if (FileExists(result)) return true;
    ReportError("Ghostscript 没有为这个文件生成任何结果 (没有写出文件)。\n" +
                FailedFileLine(source));
    return false;
}

bool PagesAsExpected(int expected, const TMadePages& made, const std::vector<std::string>& sources,
                     bool wholeSources) {
    const std::string asked = wholeSources ? "源文件有 " : "要转换的页面有 ";
    if (made.pages < 0) {
        // Unread, a result could lack pages or be cut off: it never replaces anything.
        const std::string& name = made.unreadable;
        ReportError("无法读取转换结果" +
                    (name.empty() ? std::string() : " \"" + EscapeControls(name) + "\" ") +
                    "的页数: 它不完整或已损坏, 所以无法确认它包含所有页面。" +
                    SourcesLines(sources));
        return false;
    }
    if (made.pages == 0 && expected != 0) {
        ReportError("Ghostscript 没有为这个文件生成任何结果" +
                    (expected > 0 ? ": " + asked + IntToStr(expected) + " 页, 结果有 0 页"
                                  : std::string()) +
                    "。" + SourcesLines(sources));
        return false;
    }
    if (expected < 0) {
        std::string names;
        for (const std::string& s : sources) names += (names.empty() ? "" : ", ") + s;
        Log("PageCount",
            "源文件的页数无法确定, 结果的 " + IntToStr(made.pages) + " 页没有与之核对: " + names);
        return true;
    }
    if (made.pages == expected) return true;
    ReportError("转换结果的页数与源文件不一致: " + asked + IntToStr(expected) + " 页, 但结果有 " +
                IntToStr(made.pages) + " 页。文件可能已损坏。" + SourcesLines(sources));
    return false;
}
