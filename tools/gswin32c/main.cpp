// gswin32c.exe: the Ghostscript console program as the converters know it. It takes the
// switches of one job from a response file ("@path") and from its own command line,
// adapts the switches of Ghostscript 8.51 to the installed Ghostscript, runs that with an
// argument vector and ends with its exit code.
#include <unistd.h>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/rtl/startTrace.h"
#include "tools/gswin32c/adapt.h"
#include "tools/gswin32c/pageRanges.h"
#include "tools/gswin32c/pageWorkers.h"
#include "tools/gswin32c/relay.h"
#include "tools/gswin32c/response.h"

int main(int argc, char** argv) {
    StartTrace("console-main");
    std::atexit([] { StartTrace("console-exit"); });
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) given.emplace_back(argv[i]);

    std::vector<std::string> args;
    std::string error;
    if (!gsw::ExpandArguments(given, args, error)) {
        error += "\n";
        [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, error.data(), error.size());
        return 1;
    }

    // VEXOMAT_GS names another Ghostscript program (tests use it); otherwise "gs" from PATH.
    std::string program = "gs";
    if (const char* over = std::getenv("VEXOMAT_GS"); over != nullptr && *over != '\0')
        program = over;

    const std::vector<std::string> adapted = gsw::AdaptArguments(args);
    // A job of many page files is drawn on every usable processor: by workers handed one
    // page at a time, or else over page ranges.
    if (int code = 0; gsw::RunOnPageWorkers(program, adapted, code)) return code;
    if (int code = 0; gsw::RunInPageRanges(program, adapted, code)) return code;
    // Our reports are PostScript for the installed Ghostscript, not for a program in its place.
    return gsw::RunGhostscript(program, adapted, program == "gs");
}
