// Why a conversion failed, said so that a user can act on it: the line of a helper
// program's error output that states the error, and a sentence of ours for the common
// failures (the original line goes to the day log).
#pragma once

#include <string>

#include <vector>

// The line of an error output that states the error, whole: the PostScript error
// Ghostscript states ("Error: /undefined in foo"), else the first line that speaks of an
// error or a failure, else the first line that is not a warning or a remark. Passed
// over: empty lines, a program's banner that ends in a colon ("GPL Ghostscript 10.00.0:"),
// warnings and remarks ("Destination page 4 lies outside the valid page range."), and the
// console program's own summary ("gswin32c: ..."), which is returned only when nothing
// else says more. Leading "****" marks are dropped.
std::string StatedErrorLine(const std::string& errorOutput);

// Our sentence for a common failure the text names: a password needed, a damaged file or
// one that is no PDF, a full disk (a write that failed for want of room), a resolution
// out of range, a page size that cannot be, a page that could not be drawn, a path too
// long for Ghostscript, Ghostscript ended without a word; empty for any other. A
// PostScript error that Ghostscript states is the cause, whatever the job printed before
// it. The names of files are not read as words: those given, and whatever the text quotes
// (a PostScript string, a name in quotes, the input the console program names), so a
// file called "password protected.pdf" says nothing about why it failed.
std::string FailureInOurWords(const std::string& text, const std::vector<std::string>& names = {});

// Our sentence for a full disk; with the folder that has no room left when it is known.
std::string DiskFullInOurWords();
std::string DiskFullInOurWords(const std::string& folder);

// Our sentence for a resolution Ghostscript cannot take.
std::string ResolutionOutOfRangeInOurWords();

// Our sentence for a page Ghostscript could not draw.
std::string PageDrawingFailedInOurWords();

// Our sentence for a page Ghostscript drew only in part, its content being damaged.
std::string PageDamagedInOurWords();

// Our sentence for a Ghostscript ended by a signal from outside.
std::string EndedBySignalInOurWords(int signal);

// Whether an error output says that a write failed, whatever the cause (Ghostscript's
// "ioerror"), and names no other error of the PostScript program before it: on a full
// disk, that is the full disk.
bool StatesFailedWrite(const std::string& errorOutput, const std::vector<std::string>& names = {});

// The input a failed job of several inputs failed in, as the console program names it;
// "" when it names none.
std::string FailedInputIn(const std::string& errorOutput);

// What an office failure shows: the office program's own English texts (internal
// names, a trace of its bridge) replaced by our sentence; a message of ours as it is.
// The document a failure is about is named in quotes, apart from the sentence.
std::string OfficeFailureInOurWords(const std::string& message,
                                    const std::vector<std::string>& names = {});

// The line that names the file a failure is about, under the reason: "出错的文件: "...""
std::string FailedFileLine(const std::string& file);
