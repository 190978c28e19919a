// Whether a helper program is still getting on: what it makes (its temporary files, where
// finished pages are noted, and its result files) is looked at again and again, and a
// program whose making has not changed for the no-progress limit counts as hung. What it
// says on its outputs is not watched: a loop can talk for ever.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class TProgressWatch {
public:
    using Clock = std::chrono::steady_clock;

    // files: watched by their size; folders: every file in them, at any depth, by its
    // name and size. Names that do not exist yet count once they appear.
    TProgressWatch(std::vector<std::string> files, std::vector<std::string> folders);

    // Looks again; true when nothing has changed for longer than limit.
    bool Stalled(std::chrono::milliseconds limit);

    // The files a Ghostscript job's parameter string names as its output: the value of
    // -sOutputFile= (for a name of one file per page, the folder it lies in).
    static void AddGhostscriptOutputs(const std::string& params, std::vector<std::string>& files,
                                      std::vector<std::string>& folders);

private:
    uint64_t Fingerprint() const;

    std::vector<std::string> files_;
    std::vector<std::string> folders_;
    uint64_t seen_ = 0;
    Clock::time_point since_;
};
