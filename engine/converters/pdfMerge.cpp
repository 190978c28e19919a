#include "engine/converters/pdfMerge.h"

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/host.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"

const char* const kMergePageBase = "page";

std::string MergePageFile(const std::string& folder, const std::string& prefix, int page) {
    return folder + prefix + kMergePageBase + "_p" + Format("%.4d", page) + ".pdf";
}

std::string TPdfMerge::Parameters(const std::string& dst) {
    TMainState* s = MainState();
    if (!s || !s->FMergeOrder) throw Exception("The main window does not exist.");
    GsArgs list;
    for (const std::string& entry : s->FMergeOrder->ToVector()) {
        const std::string tag = entry.substr(0, 4);
        // The page number ends the entry, behind the label "页面 ". The label is five bytes
        // in the original code page but seven in UTF-8, so the number is taken after the
        // last blank rather than at a fixed column.
        const size_t blank = entry.rfind(' ');
        const long long number =
            StrToInt(blank == std::string::npos ? std::string() : entry.substr(blank + 1));
        std::string prefix;
        if (tag == "F1: ") {
            prefix = "1---";
        } else if (tag == "F2: ") {
            prefix = "2---";
        } else {
            throw EConvertError("'" + entry + "' is not a page of the merge order");
        }
        list.Quoted("", GsFileName(MergePageFile(s->FArrangeTmp, prefix, int(number))));
    }
    GsArgs p = GsPrefix();
    p += "-dPDFSETTINGS=/default -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
         "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite -f";
    p += list;
    return p.Line();
}

bool TPdfMerge::Merge(const std::string& dst) {
    return RunGsJob("pdfMerge", [&] { return Parameters(dst); });
}

bool RunPdfMerge(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    TMainState& s = run.State();
    run.Target = run.DestName(".pdf", "MERGED-", "");
    if (s.FMergeOrder->Count() == 0) {
        ReportError("没有页面顺序: 请先用 \">> 重排\" 设置要合并的页面。");
        return false;
    }
    // Written in the temporary folder first, so a failed merge leaves an older result
    // as it was.
    const std::string merged = run.InTemp(".pdf");
    // The two documents are what the pages were taken from; neither may be one that
    // converts as something else than its pages.
    std::vector<std::string> sources;
    for (const std::string& file : {s.FMergeFile1, s.FMergeFile2}) {
        if (file.empty()) continue;
        if (const std::string problem = PdfSourceProblem(file); !problem.empty()) {
            ReportError(problem);
            return false;
        }
        sources.push_back(file);
    }
    if (!run.Clean([&] { return TPdfMerge().Merge(merged); })) return false;
    // One page for each entry of the page order, before an older result is replaced.
    if (!ResultMade(merged, run.Source()) ||
        !PagesAsExpected(s.FMergeOrder->Count(), ResultFilePages(merged), sources))
        return false;
    if (!MoveFileReplacing(merged, run.Target)) return false;
    if (s.FArrangeTmp.empty() || !DeleteFolder(s.FArrangeTmp)) return false;
    s.FArrangeClaim.reset();
    return true;
}
