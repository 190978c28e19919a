// Ghostscript from the engine's side: the runner every conversion goes through, the
// helpers that put file names into its parameter strings, and the PDF page tools built on
// it (an uncompressed copy of a PDF, and a PDF split into one file per page).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/pdfPageTree.h"
#include "platform/rtl/gsArgs.h"

// Runs the Ghostscript console program for one job. The parameter string is written into
// the response file "temp.log" in the day's log folder; the program's standard output and
// error go into "gs/hh-nn-ss-zzz_out.log" and "gs/hh-nn-ss-zzz_error.log" there. The wait
// keeps the windows alive and ends as soon as the program ends.
class TGhost {
public:
    // False only when the console program cannot be started (then the information
    // message "在开始进行处理 <jobName> 时出错!" is shown). A job without progress for the
    // no-progress limit is ended, and its run starts no other job (StepWasCut). The console
    // program's exit code (Ghostscript's own) is the job's verdict: a job that ended with 0
    // succeeded, and what its error output says (warnings, the repair notice) goes to the
    // day log under "GsWarning". Every other failure (a job that did not end with 0, files
    // that cannot be written or deleted, an error output that is missing) is logged under
    // "ErrorMessage" with its reason and added to the error list, and the result stays
    // True: the missing result file tells the caller.
    bool Run(const std::string& jobName, const std::string& params);

    // True when an error output names an error: any non-empty output, unless one of its
    // lines holds the repair notice "文件有错误要修复或忽略。". An empty file is a clean run.
    // A file that does not exist raises EInOutError.
    bool ErrorLogHasErrors(const std::string& errorLogPath);
};

// Whether a Ghostscript job of the current run was ended for making no progress; later
// jobs of the run are then not started (TGhost::Run returns at once, listing nothing).
bool StepWasCut();

// A file name as Ghostscript reads it back exactly: absolute (so a name starting with "%",
// "@" or "-" is never taken for a device, a response file or a switch), and, when the
// name is not valid UTF-8 (Ghostscript drops such bytes), holds "%pipe%" or "|" (read
// as a pipe) or a control byte, or is longer than Ghostscript takes an argument (a file
// deep in folders), a link with a safe name that points to it.
std::string GsFileName(const std::string& path);

// The output name of a job writing one file per page, as Ghostscript reads it: the stem
// of dst + "_p%04d" + the extension of dst. A name Ghostscript cannot read exactly is
// replaced by a safe one (in a linked folder when the folder's name is the problem), and
// the next run of TGhost gives the page files their real names when it ends.
std::string GsPagedOutputName(const std::string& dst);

// Whether the file system of a folder has (next to) no room left.
bool DiskIsFull(const std::string& folder);

// Ends what the run's safe names needed: the folder of links in the system's temporary
// folder, made when the run's own folder has a name Ghostscript cannot read.
void EndSafeNames();

// The parameter string as the day log shows it: the values of the password switches
// replaced by "******".
std::string MaskPasswords(const std::string& params);

// A file name as Ghostscript's output switch reads it: a "%" there starts a page-number
// format, so every "%" of the name is doubled to stand for itself.
std::string GsOutputName(const std::string& path);

// ---------------------------------------------------------------- page tools

// Rewrites a PDF with uncompressed page streams, so that its page boxes can be read and
// changed as text.
class TPdfDecompress {
public:
    // The runner's result; nothing is caught here.
    bool Decompress(const std::string& src, const std::string& dst);
    std::string Parameters(const std::string& src, const std::string& dst);
};

struct TPageSize {
    int x = 0;  // width in points
    int y = 0;  // height in points
};

// What the page tree of a PDF tells about its pages.
struct TPdfPages {
    int count = -1;         // -1 when no reader tells: the pages are then probed one by one
    bool repeated = false;  // a page is listed more than once (each listing is a page)
};

// Splits a PDF into one PDF per page, each exactly as large as its page:
// outDir + prefix + <source name less ".pdf"> + "_p0001.pdf", ...
class TPdfChopToSingles {
public:
    // True when every page was written (the runs' error output is judged by the runner);
    // failures are logged and listed and give False. With pageBase, the pages are named
    // by it instead of the source.
    bool Chop(const std::string& src, const std::string& outDir, const std::string& prefix,
              const std::string& workDir,
              const std::optional<std::string>& pageBase = std::nullopt);

    // The page count of the document's latest revision (the trailer's /Root through every
    // update), as a PDF parser reads it: the pages its tree holds, whatever the root's
    // count says (Ghostscript draws those). A file the parser cannot read (damaged, locked)
    // is counted from its text (CountPagesInText), -1 when that shows none.
    int CountPdfPages(const std::string& fileName);
    // The same count, and whether a page is listed more than once. A file the parser
    // reads only with warnings, or not at all, is counted by the parser repairing it when
    // the repaired tree's root has the count the text shows (the pages of that tree; not
    // for a file of more than 32 MiB, whose repair would cost too much), or, when the
    // text shows none, agrees with its pages; else from its text.
    TPdfPages PdfPages(const std::string& fileName);
    // The same from the page tree already read from it.
    TPdfPages PdfPages(const std::string& fileName, const TPdfPageTree& tree);
    // The page count as the text gives it: the root node of the catalog the trailer names
    // (else the last catalog's, else a node of type /Pages without a parent), the last
    // definition of an object winning as in an update; -1 when the text shows none (object
    // streams, an indirect count it does not hold). A root count that is not a number
    // raises EConvertError. A few passes over the text, in memory far less than the text.
    static int CountPagesInText(std::string_view text);

    // The size of one page in points, measured by rendering it at 72 dpi into
    // workDir + "pageSizePicture.jpg" (deleted again). Raises when no picture is made.
    TPageSize GetPdfPageSize(const std::string& src, int page, const std::string& workDir);

    // The parameter string of one page's run.
    std::string ChopParameters(const std::string& src, const std::string& out, int page,
                               TPageSize size);

private:
    // Renders the probe picture; false when Ghostscript wrote none (no such page).
    bool ProbePage(const std::string& src, int page, const std::string& workDir, TPageSize& size);
};

// Width and height of a JPEG file from its header; false when it is no readable JPEG.
bool ReadJpegSize(const std::string& path, int& width, int& height);
