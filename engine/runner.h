// What a function's runner works with. Each row of the function table (definitions.h)
// names its runner; the main window's driver makes the run's temporary folder, calls the
// runner of the selected row, and tests the result file the runner named.
//
// The file names of a run (N: the first source's name without its extension, E: its
// extension, T: the temporary folder, D: the destination folder) are made by the name
// builders below.
#pragma once

#include <functional>
#include <string>

#include "engine/host.h"

// path without its extension, then ext.
std::string ReplaceExt(const std::string& path, const std::string& ext);
// folder + the file-name part of path.
std::string JoinName(const std::string& path, const std::string& folder);
// The folder part of path + its name without extension + suffix + its extension.
std::string AddSuffix(const std::string& path, const std::string& suffix);
// destDir + prefix + the file-name part of path without its extension + suffix + ext.
std::string DestName(const std::string& destDir, const std::string& path, const std::string& ext,
                     const std::string& prefix, const std::string& suffix);

class TRun {
public:
    // temp: the run's temporary folder, trailing "/". The state holds the sources and the
    // destination folder of the run.
    TRun(TMainState& state, std::string temp);

    TMainState& State() const { return state_; }
    const std::string& Temp() const { return temp_; }
    // The first source file.
    const std::string& Source() const { return source_; }

    // The result file the driver tests when the runner returns; set by the runner.
    std::string Target;

    // An intermediate file: T + a name of the run's own + ext. It is never derived from
    // the source's name, which may leave no room for what a step adds to it.
    std::string InTemp(const std::string& ext) const;
    std::string Moved(const std::string& ext) const;               // D + N + ext
    std::string MovedWithSuffix(const std::string& suffix) const;  // D + N + suffix + E
    std::string DestName(const std::string& ext, const std::string& prefix,
                         const std::string& suffix) const;  // D + prefix + N + suffix + ext

    // Ghostscript often ends normally after a failure and leaves a partial output behind;
    // what tells is its error output, which the runner adds to the error list. So a step
    // succeeds only when it returns true and listed nothing.
    bool Clean(const std::function<bool()>& step) const;

    // A conversion writing one file per page beside T + N + ext; every page file goes to
    // the destination and the first is the result, once there is one page for each page
    // of the source. Checks Ghostscript first.
    bool Pages(const std::string& ext, const std::function<bool(const std::string&)>& convert);
    // A conversion into InTemp(ext), moved to result once it is there, tells its pages and,
    // made from a PDF, holds its every page. Checks Ghostscript first.
    bool Single(const std::string& ext, const std::string& result,
                const std::function<bool(const std::string&)>& convert);

private:
    TMainState& state_;
    std::string temp_;
    std::string source_;
};

// Runs one function: its checks, its steps and the moves into the destination. False when
// any of them failed (each shows or lists its own message).
using TRunner = bool (*)(TRun& run);
