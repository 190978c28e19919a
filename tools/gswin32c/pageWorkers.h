// Jobs that write one file per page of a PDF, drawn by one Ghostscript per processor that
// opens the document once and is handed the next page whenever it has finished one, so
// that uneven pages or a busy processor leave no process waiting for the slowest range.
// The files, their names and what the caller reads from the two outputs are those of one
// Ghostscript run over the whole job.
#pragma once

#include <string>
#include <vector>

namespace gsw {

// Runs a paged job (ParsePagedJob) of a PDF on page workers when more than one processor
// is usable and the document has enough pages. Returns false, having written nothing and
// left no file, when the job is better run otherwise: too short, not a plain PDF (a
// portfolio, a file Ghostscript cannot open, no page in the span asked for), switches
// that choose the older PDF interpreter, or workers that could not be started.
bool RunOnPageWorkers(const std::string& program, const std::vector<std::string>& args,
                      int& exitCode);

// What the workers say after their last pages (closing the document), joined as one run
// says it: every line is kept, in order, and a line several workers say alike is said as
// often as the worker saying it most often does.
std::string JoinWorkerTails(const std::vector<std::string>& tails);

}  // namespace gsw
