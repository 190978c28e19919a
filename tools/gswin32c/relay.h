// Runs Ghostscript and relays its output.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/win/launcher.h"

namespace gsw {

// Where the relayed lines of one Ghostscript run go: this program's own standard output
// and error output, or a buffer when several runs make up one job.
class RelaySink {
public:
    virtual ~RelaySink() = default;
    virtual void Out(std::string_view text) = 0;
    virtual void Err(std::string_view text) = 0;
    // Called while the run is quiet for a moment.
    virtual void Sync() {}
};

// The sink that writes to this program's standard output and error output, each kept to
// a bounded size (CappedOutput).
RelaySink& StandardSink();

// What a relayed run has shown: its exit code and what its lines said.
struct RelayResult {
    int code = 0;
    bool repaired = false;
    bool fatal = false;
    bool wroteError = false;
    // The standard output names a failure although the exit code is 0 (a page that could
    // not be drawn, an output file that could not be written).
    bool silentFailure = false;
    std::vector<std::string> failureLines;  // from the standard output, a few at most
    int pagesShown = -1;  // the job's page count when it reported one (WithPageReports)
    int pagesDone = 0;    // pages reported finished (WithPageReports)
    // The job was run WithPageReports with its page count asked for: a job that ends
    // without the count (a document that called quit past our procedure) showed the pages
    // reported finished.
    bool countAsked = false;
    std::string currentInput;  // the input announced last (WithPageReports)
    std::string failedInput;   // the input running when the first error was seen
    // The inputs run as PostScript programs (ProgramInputs), and whether the job announces
    // each input it runs: what is said while a program runs may be its own text, which
    // neither fails nor explains the job.
    std::vector<std::string> programInputs;
    bool inputsAnnounced = false;
    // The error statement Ghostscript ended the job with: the last one the rest of its
    // error report followed.
    std::string statedError;
    std::string lastStatement;   // the line before, when it was a statement
    bool failureGoesOn = false;  // the line before stated a failure the next one explains
};

// Whether the lines said now may be the text of a PostScript program the job runs.
bool ProgramMayBeTalking(const RelayResult& result);

// The findings of a job run with args, before any line: the programs among its inputs.
RelayResult FindingsFor(const std::vector<std::string>& args);

// Starts `program` (searched in PATH when it holds no "/") with `args` as its argument
// vector, no shell involved, in this program's process group and ended when this program
// ends (a parent-death signal), and passes its lines to `sink`: the standard output to
// sink.Out, the error output to sink.Err, except that known harmless remarks of the error
// output go to sink.Out. The exit code is 128 + the signal number when Ghostscript was
// killed, or 127 with a message to sink.Err when it cannot be started.
RelayResult RelayGhostscript(const std::string& program, const std::vector<std::string>& args,
                             RelaySink& sink);

// The lines of one output stream of a Ghostscript run, handed on as RelayGhostscript
// hands them and looked at for what they say about the job.
class RelayStream {
public:
    explicit RelayStream(bool isErr) : isErr_(isErr) {}
    void Feed(std::string_view bytes, RelayResult& findings, RelaySink& sink);
    // The rest, a last line without its line feed, once the stream has ended.
    void End(RelayResult& findings, RelaySink& sink);

private:
    std::string pending_;
    bool isErr_;
};

// A Ghostscript started by StartGhostscript, with our ends of its output pipes and, when
// asked for, of a pipe into its standard input.
struct GhostscriptChild {
    pid_t pid = -1;
    ScopedFd in;
    ScopedFd out;
    ScopedFd err;
};

// Starts `program` as RelayGhostscript does (no shell, in our process group, ended when we
// end). Its standard input is a pipe when pipeInput, else ours; it keeps the descriptors
// keepFds. Returns "" or the line that says why it could not be started.
std::string StartGhostscript(const std::string& program, const std::vector<std::string>& args,
                             bool pipeInput, const std::vector<int>& keepFds,
                             GhostscriptChild& child);

// Waits for a started Ghostscript: its exit code, or 128 + the signal that ended it.
int WaitForGhostscript(pid_t pid);

// Adds what the caller judges a job by to the error output, once for the whole job:
//  - after a job that ended with exit code 0 and reported a repaired or ignored damage
//    in an input (and no input it could not read at all), the line kRepairNotice;
//  - when Ghostscript failed without writing to the error output, a line naming the exit
//    code and the failure lines of its standard output, so a failed job never leaves an
//    empty error output;
//  - when the standard output named a failure of a job that ended with exit code 0, the
//    failure lines first (so the first line of the error output says why) and a line
//    saying that the job was not completed;
//  - after a job that ended with exit code 0 but showed no page at all, a line saying so
//    (kNoPageLine);
//  - when Ghostscript wrote only its summary ("Unrecoverable error") to the error output,
//    the failure lines of its standard output that state the error;
//  - after a failed job of several inputs, kFailedInputLine and the input that failed;
//  - after a failed job whose error Ghostscript stated, last, kEndedWithLine and that
//    statement.
void WriteVerdict(const RelayResult& result, RelaySink& sink);

// Whether what a job wrote to the error output were warnings only: it ended with exit
// code 0, showed its pages, and neither its standard output nor the damage it reported
// says that anything failed. A warning is no failure.
bool OnlyWarned(const RelayResult& result);

// Passes a job's error output on: to the standard output, clearing wroteError and
// failedInput, when it only warned (OnlyWarned), else to the error output.
void PassErrorOutput(RelayResult& result, const std::string& err, RelaySink& sink);

// The exit code of a job: Ghostscript's, or 1 when it ended with 0 but failed all the same.
int ExitCodeOf(const RelayResult& result);

// The pages a job showed as far as its reports tell; -1 when they do not.
int PagesShownBy(const RelayResult& result);

// RelayGhostscript to this program's own outputs, then WriteVerdict. Returns ExitCodeOf.
// With pageReports the job runs WithPageReports (the installed Ghostscript only): each
// finished page adds a byte to "vexomat-progress" in $TMPDIR, and the reports' lines are
// taken out of the standard output.
int RunGhostscript(const std::string& program, const std::vector<std::string>& args,
                   bool pageReports = false);

}  // namespace gsw
