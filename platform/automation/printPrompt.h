// The question a printer on a file port asks when a job names no file: which file to
// print into. The window-listing helper (additional/enumWindows.exe), started by the
// program just before such a print, answers it for the program that prints; the answer
// lies in a per-user folder under the printing process's id and program name.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace office {

inline std::string PrintPromptFolder() {
    const char* t = std::getenv("TMPDIR");
    std::string root = t && *t ? t : "/tmp";
    if (root.back() != '/') root += '/';
    return root + "vexomat-print-" + std::to_string(getuid()) + "/";
}

// The answer file for the process pid printing from program (e.g. "MSACCESS.EXE").
inline std::string PrintPromptFile(long pid, const std::string& program) {
    std::string safe;
    for (char c : program) safe += (c == '/' ? '_' : c);
    return PrintPromptFolder() + std::to_string(pid) + "-" + safe;
}

}  // namespace office
