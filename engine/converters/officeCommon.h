// What the office print drivers share: how long a print may take and how a print that
// never came is reported.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "engine/failureReason.h"
#include "engine/util.h"
#include "platform/automation/olevariant.h"
#include "platform/rtl/noProgressLimit.h"
#include "platform/rtl/sysutils.h"

// Waits for the print file; raises when it neither appears nor grows for the no-progress
// limit (or is still not complete after the ceiling of an office step).
inline void WaitForPrintFile(const std::string& file) {
    const auto start = std::chrono::steady_clock::now();
    if (WaitForGrowingFile(file, NoProgressLimit(), OfficeStepCeiling())) return;
    if (LimitPassed(start, std::chrono::steady_clock::now(), OfficeStepCeiling()))
        throw Exception("打印文件 " + file + " 超过了 " +
                        std::to_string(OfficeStepCeiling().count() / 1000) +
                        " 秒的上限, 已被终止。");
    throw Exception("打印文件 " + file + " 在 " + std::to_string(NoProgressLimitSeconds()) +
                    " 秒内没有任何进展, 已被终止。");
}

// What an office failure shows: our words for it, and the run's source under them when
// they do not name it.
std::string OfficeFailureShown(const std::string& message);

// The reason of a page range beyond the document's pages, with the pages it has as the
// one page counter of PDFs counts them.
std::string PageRangeBeyondReason(const EPageRangeBeyond& e);

// Runs one office job by the converters' convention: a failure is logged under
// "ErrorMessage" and listed, and the result is false.
template <class Job>
bool RunOfficeJob(Job job) {
    try {
        return job();
    } catch (const EPageRangeBeyond& e) {
        ReportError(OfficeFailureShown(PageRangeBeyondReason(e)));
        return false;
    } catch (const std::exception& e) {
        // The office's own texts are no message for a user: ours is shown, theirs logged.
        const std::string shown = OfficeFailureShown(e.what());
        if (shown != e.what()) Log("ErrorLine", e.what());
        ReportError(shown);
        return false;
    }
}

// Handles the pending window messages.
void OfficeProcessMessages();

class TRun;

// The checks of an office function: the office application, Ghostscript and, when printer
// is set, the PostScript printer (its file port too when port is set). Every check runs,
// so each missing piece shows its own message.
bool OfficeFunctionReady(const char* office, bool printer, bool port);

// The office functions to PDF: print makes T + N + ".ps", Ghostscript makes it
// T + N + ".pdf", which is moved to D + N + ".pdf", the run's result, once it tells its pages.
bool ViaPostScript(TRun& run, const std::function<bool(const std::string& ps)>& print);
