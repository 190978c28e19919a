#include "engine/converters/officeCommon.h"

#include "engine/checker.h"
#include "engine/converters/ps2pdf.h"
#include "engine/host.h"
#include "engine/pdfHelper.h"
#include "engine/resultPages.h"
#include "engine/runner.h"
#include "platform/automation/olevariant.h"
#include "platform/vcl/forms.h"

void OfficeProcessMessages() {
    if (Application) Application->ProcessMessages();
}

std::string OfficeFailureShown(const std::string& message) {
    const TMainState* s = MainState();
    const std::string source = s && s->FSourceFiles && s->FSourceFiles->Count() == 1
                                   ? (*s->FSourceFiles)[0]
                                   : std::string();
    std::string shown = OfficeFailureInOurWords(message, {source});
    // The office keeps its files in the temporary folder: with no room there it fails
    // without saying why.
    if (shown == OfficeFailureInOurWords("") && DiskIsFull(GetTempDir()))
        shown += "\n临时文件夹 \"" + EscapeControls(GetTempDir()) + "\" 所在的磁盘空间不足。";
    // An unattended run names the switch that chose the pages.
    if (s && s->FBatchMode && StartsStr("页码范围", shown)) shown += " (参数 -ov)";
    if (source.empty()) return shown;
    // A message that names the file already, by its path or by its name in quotes.
    const bool named =
        shown.find(EscapeControls(source)) != std::string::npos ||
        shown.find("\"" + EscapeControls(ExtractFileName(source)) + "\"") != std::string::npos;
    if (!named) shown += "\n" + FailedFileLine(source);
    return shown;
}

std::string PageRangeBeyondReason(const EPageRangeBeyond& e) {
    int pages = -1;
    try {
        pages = TPdfChopToSingles().CountPdfPages(e.WholePdf);
    } catch (const std::exception& x) {
        Log("PageCount", x.what());
    }
    if (pages < 0) return e.what();
    return "页码范围 \"" + e.Range + "\" 超出了文档的页数 (" + IntToStr(pages) + " 页)。";
}

bool OfficeFunctionReady(const char* office, bool printer, bool port) {
    // The office servers answer the checks from what is installed.
    RegisterOfficeServers();
    bool good = CheckOffice(office, true);
    good = CheckGhostscript(true) && good;
    if (printer) good = CheckPrinter(true, port) && good;
    return good;
}

bool ViaPostScript(TRun& run, const std::function<bool(const std::string& ps)>& print) {
    const std::string ps = run.InTemp(".ps");
    const std::string pdf = run.InTemp(".pdf");
    run.Target = run.Moved(".pdf");
    // The PDF tells its pages before it replaces an older one.
    return print(ps) && run.Clean([&] { return TPs2pdf().Convert(ps, pdf); }) &&
           ResultMade(pdf, run.Source()) &&
           PagesAsExpected(-1, ResultFilePages(pdf), {run.Source()}) &&
           MoveFileReplacing(pdf, run.Target);
}
