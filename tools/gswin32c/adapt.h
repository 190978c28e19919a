// What this program changes between the switches written for Ghostscript 8.51 and the
// Ghostscript that is installed (10.x), and how it reads that Ghostscript's messages.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsw {

// The line the caller looks for in the error output: a damaged input was repaired or its
// errors were ignored, and the job still completed.
inline constexpr std::string_view kRepairNotice = "文件有错误要修复或忽略。";

// Rewrites the switches of one job so that the installed Ghostscript accepts them with
// the effect they had on 8.51. Order and every other argument stay as given.
std::vector<std::string> AdaptArguments(const std::vector<std::string>& args);

// The job with two pieces of PostScript of ours: before the first input, a procedure that
// reports every finished page on the standard output (kPageDoneLine), so a caller sees a
// long job get on; after the last input, a line telling how many pages the job showed
// (kPagesShownPrefix + number + "]%%"), also told by quit when the document quits before
// its end. A job that asks for certain pages (-dFirstPage, -dLastPage) may rightly show
// none and gets no count. A job of several inputs announces each before it runs
// (kInputPrefix) and says when it has run (kInputDoneLine), so what Ghostscript says after
// the last one (closing the output) belongs to no input.
std::vector<std::string> WithPageReports(const std::vector<std::string>& args);

// Whether WithPageReports asks the job for its page count (no -dFirstPage, -dLastPage).
bool PageCountAsked(const std::vector<std::string>& args);

inline constexpr std::string_view kPageDoneLine = "%%[vexomat: page done]%%";
// Before each input of a job of several: kInputPrefix + the input's name + "]%%".
inline constexpr std::string_view kInputPrefix = "%%[vexomat: input ";
// What the error output says, after a failed job of several inputs, of the input that the
// first error came from.
inline constexpr std::string_view kFailedInputLine = "gswin32c: the error is in the input file ";
// After each input of a job of several, once it has run.
inline constexpr std::string_view kInputDoneLine = "%%[vexomat: end of input]%%";
inline constexpr std::string_view kPagesShownPrefix = "%%[vexomat: pages shown ";
// What the error output says after a job that showed no page.
inline constexpr std::string_view kNoPageLine = "gswin32c: the job output no page";
// What the error output says last after a failed job: the error statement Ghostscript
// ended it with (the one the rest of its error report follows), whatever the job printed
// before.
inline constexpr std::string_view kEndedWithLine = "gswin32c: Ghostscript ended the job with ";

// The input a line of kInputPrefix announces; "" for any other line.
std::string InputNamedIn(std::string_view line);

// The number of pages a line of kPagesShownPrefix reports; -1 for any other line.
int PagesShownIn(std::string_view line);

// True when a line of Ghostscript's output says that an input was damaged and repaired,
// or that errors in it were ignored.
bool ReportsRepair(std::string_view line);

// True when a line says that an input could not be processed at all, although
// Ghostscript may still end with exit code 0.
bool ReportsFatal(std::string_view line);

// True when a line of the error output is a known harmless remark of the installed
// Ghostscript that 8.51 never made; it goes to the standard output instead, so that a
// clean job keeps an empty error output.
bool IsHarmlessRemark(std::string_view line);

// True when a line of the standard output names the cause of a failed job; such lines
// are repeated on the error output when Ghostscript failed without writing there.
bool NamesFailure(std::string_view line);

// True when a line of the standard output says that the job failed even if Ghostscript
// ends with exit code 0 ("**** Error: Page drawing error occurred.", "Could not open the
// file ..."). A warning that says what Ghostscript used instead is none.
bool ReportsSilentFailure(std::string_view line);

// An error statement of Ghostscript's error report ("Error: /undefined in foo"), and a
// line of the report that follows it ("Operand stack:", "VM status:"): the statement is
// Ghostscript's own only when its report follows it, text a job printed is not.
bool IsErrorStatement(std::string_view line);
bool ContinuesErrorReport(std::string_view line);

// The inputs of a job that Ghostscript runs as PostScript programs (files it can read
// that are no PDF): what is said while one of them runs may be the program's own text.
std::vector<std::string> ProgramInputs(const std::vector<std::string>& args);

}  // namespace gsw
