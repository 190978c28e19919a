// Jobs that write one file per page, rendered over page ranges by several Ghostscript
// processes at once. The files, their names and what the caller reads from the two
// outputs are those of one Ghostscript run over the whole job.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace gsw {

// What a job that writes one file per page consists of (see ParsePagedJob).
struct PagedJob {
    std::string input;            // the one PDF rendered
    std::string pattern;          // the output name with its page-number conversion
    std::size_t outputIndex = 0;  // position of the -sOutputFile switch in the arguments
    std::size_t inputIndex = 0;   // position where the input starts ("-f" or the file)
    int first = 1;                // page span asked for; last 0 means "to the end"
    int last = 0;
    bool tiff = false;  // the pages are TIFF files, which carry their page index
};

// True when `args` (already adapted) describe a job whose pages may be rendered apart:
// -dNOPAUSE and -dBATCH, a device of the list below writing one raster file per page, an
// output name with one page-number conversion ("%04d", "%d", ...) in its file name, one
// input file and no PostScript code, page list or other output switch.
bool ParsePagedJob(const std::vector<std::string>& args, PagedJob& job);

// The name Ghostscript gives page `page` (counted from 1) of an output name holding one
// integer conversion (flags, width, "l", and d, i, u, o, x or X; "%%" is a percent sign).
// False when the name holds no such conversion or more than one.
bool FormatPageName(const std::string& pattern, long page, std::string& name);

// A Ghostscript process costs a start and a reading of the document; with fewer pages
// than this each, more processes do not pay.
inline constexpr int kMinPagesPerProcess = 4;

// Pages the file appears to have: -1 when it is no PDF, INT_MAX when its objects are
// packed into compressed streams (only Ghostscript can count them then), otherwise the
// page objects seen. Only ever a hint: how many processes are worth starting.
int ApparentPdfPages(const std::string& path);

// `text` without the lines that say which font file was loaded when `earlier` says so
// already: one run loads each font once.
std::string WithoutRepeatedFontLoads(const std::string& text, const std::string& earlier);

// Splits the pages first..last into `count` contiguous ranges of nearly equal length.
std::vector<std::pair<int, int>> SplitPages(int first, int last, int count);

// Sets the page index (counted from 0) in the PageNumber entry of a one-page TIFF file.
// Ghostscript writes the index of the page within its run there; a run over a range
// starts again at 0. False when the file is not a TIFF or has no such entry.
bool SetTiffPageIndex(const std::string& path, unsigned index);

// How many Ghostscript processes may run at once: the processors this program may use,
// or the number in VEXOMAT_GS_PROCESSES when that is set.
int UsableProcessors();

// Runs the job over page ranges when it is a paged job (ParsePagedJob) of enough pages
// and more than one processor is usable; the two outputs and the exit code are then
// those of one run. Returns false, having done nothing, when the job is better run as one.
bool RunInPageRanges(const std::string& program, const std::vector<std::string>& args,
                     int& exitCode);

}  // namespace gsw
