// Runs Ghostscript and relays its output.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace gsw {

// Where the relayed lines of one Ghostscript run go: this program's own standard output
// and error output, or a buffer when several runs make up one job.
class RelaySink {
public:
    virtual ~RelaySink() = default;
    virtual void Out(std::string_view text) = 0;
    virtual void Err(std::string_view text) = 0;
};

// The sink that writes to this program's standard output and error output.
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
};

// Starts `program` (searched in PATH when it holds no "/") with `args` as its argument
// vector, no shell involved, in this program's process group and ended when this program
// ends (a parent-death signal), and passes its lines to `sink`: the standard output to
// sink.Out, the error output to sink.Err, except that known harmless remarks of the error
// output go to sink.Out. The exit code is 128 + the signal number when Ghostscript was
// killed, or 127 with a message to sink.Err when it cannot be started.
RelayResult RelayGhostscript(const std::string& program, const std::vector<std::string>& args,
                             RelaySink& sink);

// Adds what the caller judges a job by to the error output, once for the whole job:
//  - after a job that ended with exit code 0 and reported a repaired or ignored damage
//    in an input (and no input it could not read at all), the line kRepairNotice;
//  - when Ghostscript failed without writing to the error output, a line naming the exit
//    code and the failure lines of its standard output, so a failed job never leaves an
//    empty error output;
//  - when the standard output named a failure of a job that ended with exit code 0, the
//    failure lines first (so the first line of the error output says why) and a line
//    saying that the job was not completed.
void WriteVerdict(const RelayResult& result, RelaySink& sink);

// The exit code of a job: Ghostscript's, or 1 when it ended with 0 but failed all the same.
int ExitCodeOf(const RelayResult& result);

// RelayGhostscript to this program's own outputs, then WriteVerdict. Returns ExitCodeOf.
int RunGhostscript(const std::string& program, const std::vector<std::string>& args);

}  // namespace gsw
