// Ghostscript from the engine's side: the runner every conversion goes through, and the
// helpers that put file names into its parameter strings. The PDF page tools join this
// unit later.
#pragma once

#include <string>

// Runs the Ghostscript console program for one job. The parameter string is written into
// the response file "temp.log" in the day's log folder; the program's standard output and
// error go into "gs/hh-nn-ss-zzz_out.log" and "gs/hh-nn-ss-zzz_error.log" there. The wait
// keeps the windows alive and ends as soon as the program ends.
class TGhost {
public:
    // False only when the console program cannot be started (then the information
    // message "在开始进行处理 <jobName> 时出错!" is shown). Every other failure (files that
    // cannot be written or deleted, error output that is not empty, or missing) is logged
    // under "ErrorMessage" and added to the error list, and the result stays True: the
    // missing result file tells the caller.
    bool Run(const std::string& jobName, const std::string& params);

    // True when the error output names an error: any non-empty output, unless one of its
    // lines holds the repair notice "文件有错误要修复或忽略。". An empty file is a clean run.
    // A file that does not exist raises EInOutError.
    bool ErrorLogHasErrors(const std::string& errorLogPath);
};

// One argument of a parameter string in double quotes. Inside quotes the console program
// reads \" as " and \\ as \, and every other backslash as itself; so every backslash and
// every quote of the text is escaped, and any text comes back exactly as it was.
std::string QuoteGsArg(const std::string& text);

// A file name as Ghostscript's output switch reads it: a "%" there starts a page-number
// format, so every "%" of the name is doubled to stand for itself.
std::string GsOutputName(const std::string& path);
