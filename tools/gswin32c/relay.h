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
  std::vector<std::string> failureLines;  // from the standard output, a few at most
};

// Starts `program` (searched in PATH when it holds no "/") with `args` as its argument
// vector, no shell involved, and passes its lines to `sink`: the standard output to
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
//    empty error output.
void WriteVerdict(const RelayResult& result, RelaySink& sink);

// RelayGhostscript to this program's own outputs, then WriteVerdict. Returns the exit code.
int RunGhostscript(const std::string& program, const std::vector<std::string>& args);

}  // namespace gsw
