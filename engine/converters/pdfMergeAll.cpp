#include "engine/converters/pdfMergeAll.h"

#include <cerrno>

#include "engine/checker.h"
#include "engine/converters/gsOptions.h"
#include "engine/host.h"
#include "engine/pdfSource.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/rtl/sysutils.h"
#include "platform/vcl/forms.h"

std::string TPdfMergeAll::Parameters(const TStringList& files, const std::string& dst) {
    GsArgs p = GsPrefix();
    p += "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
         "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite";
    p += GsOut(dst);
    p += "-c .setpdfwrite -f";
    for (int i = 0; i < files.Count(); ++i) p.Quoted("", GsFileName(GhostscriptInput(files[i])));
    return p.Line();
}

bool TPdfMergeAll::Merge(const TStringList& files, const std::string& dst) {
    return RunGsJob("pdfMergeAll", [&] {
        if (FileExists(dst) && !DeleteFile(dst)) RaiseInOutError(errno ? errno : EACCES, dst);
        Application->ProcessMessages();
        return Parameters(files, dst);
    });
}

bool RunPdfMergeAll(TRun& run) {
    if (!CheckGhostscript(true)) return false;
    run.Target = run.State().FDestDir + "MERGED-ALL.pdf";
    const std::string merged = run.Temp() + "MERGED-ALL.pdf";
    const std::vector<std::string> sources = run.State().FSourceFiles->ToVector();
    return run.Clean([&] { return TPdfMergeAll().Merge(*run.State().FSourceFiles, merged); }) &&
           ResultMade(merged, run.Source()) &&
           PagesAsExpected(ExpectedPdfPages(sources), ResultFilePages(merged), sources) &&
           MoveFileReplacing(merged, run.Target);
}
