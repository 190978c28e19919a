// Small procedures the whole engine and the conversion driver lean on: the day log, the
// random temporary folder, moving and replacing result files, deleting and moving folders,
// waiting for a file that another program writes, the default printer, the system version,
// the helper program and the test for an associated viewer. All run on the UI thread;
// those that wait keep the windows alive by handling window messages.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <vector>

class TFileTransaction;

// ---------------------------------------------------------------- the day log

// Appends "hh-nn-ss-zzz | <key padded to 12> | <value>" to info.log in the day's log
// folder (a "Version" line is preceded by an empty line). A log that cannot be written is
// reported once per run (error output and error list) and never raised: the run goes on.
void Log(const std::string& key, const std::string& value);

// When force is set or FLogDir is empty: FLogDir := <program>/logs/<yyyy-mm-dd>/, creating
// the two folders when missing. Creation errors are raised as EInOutError.
void EnsureLogFolder(bool force = false);

// The log line without its line end, for a given time: the key is padded with blanks to
// 12 columns (a character outside ASCII takes two, as Chinese text does on screen, so the
// bars stay in line); a longer key is written whole.
std::string FormatLogLine(double time, const std::string& key, const std::string& value);

// The text with every control byte (line breaks, escape, ...) written as an escape
// ("\n", "\r", "\t", "\x1B"), so it stays on one line of the log.
std::string EscapeControls(const std::string& text);

// Records a caught failure: adds the message to the main window's error list and logs it
// under "ErrorMessage", with the system's own words for the cause when there are any.
void ReportError(const std::string& message, const std::string& systemText = "");
void ReportError(const std::exception& e);

// ---------------------------------------------------------------- files and folders

// Size in bytes of the file or folder (a folder counts 0) named exactly `name`; -1 when
// there is none. Wildcard characters in the name are part of the name.
int64_t FileSizeOf(const std::string& name);
// The same for the fully expanded path of `name`.
int64_t FileSizeExpanded(const std::string& name);

// Deletes the folder with everything in it (trailing "/" optional). Failures are logged
// and listed; the result tells whether the folder was deleted.
bool DeleteFolder(const std::string& path);

// Moves `source` (a file or folder) into/onto `target` by the shell's file operation.
bool ShellMove(const std::string& source, const std::string& target);

// The message of a move to target that failed for the errno value err: the file, then the
// cause (a file in use, a full disk, a folder we may not write...).
std::string MoveMessage(const std::string& target, int err);

// Moves the planned files into place all or nothing (TFileTransaction). A failure is
// reported (listed, and logged with the system's own text) as MoveMessage of the file;
// every older file is then as it was.
bool CommitResults(TFileTransaction& moves);

// Moves source to target, replacing an older target atomically; the older target stays
// when the source cannot be moved. True when the file now stands at target; otherwise the
// failure is reported as by CommitResults.
bool MoveFileReplacing(const std::string& source, const std::string& target);

// Plans moving every file matching `mask` (folder + file mask) into targetFolder
// (trailing "/"), made when missing if makeFolder is set. firstTarget, when given and
// empty, receives the first target.
void AddMatchingFiles(TFileTransaction& moves, const std::string& mask,
                      const std::string& targetFolder, std::string* firstTarget = nullptr,
                      bool makeFolder = false);

// Moves every file matching `mask` into targetFolder, all or nothing, replacing older
// files. firstTarget is the target path of the first file once all have been moved;
// empty when nothing matched or the moves failed (then reported as by CommitResults).
void MoveMatchingFiles(const std::string& mask, const std::string& targetFolder,
                       std::string& firstTarget);

// Reseeds the random generator from the high-resolution clock, draws a number below
// 100000000 and creates base + the number as 8 digits + "/". Returns that path; a creation
// failure (for example an existing folder of that name) is raised as EInOutError.
std::string MakeRandomFolder(const std::string& base);
// A run's temporary folder, made by MakeRandomFolder in the first of places where one can
// be made: a folder the user may not write, read-only media or a full disk passes the run
// on to the next place. Run folders that killed runs left in a place, and that no process
// holds, are removed before one is made there. Places named twice are tried once. When no
// place will do, the last one's reason is raised.
std::string MakeRunFolder(const std::vector<std::string>& places);
// The folder name MakeRandomFolder forms for a drawn number.
std::string RandomFolderName(const std::string& base, int number);

// Waits until another program has written `name`: until it exists with a size above zero,
// nobody has it open for writing, and its size has stayed the same through a short quiet
// spell of its folder (a writer that closes the file between chunks is not done between
// them). The wait wakes on changes in the folder (a file created, renamed into place or
// closed after writing), not on a timer. Window messages are handled throughout. Without
// a bound it waits as long as it takes. With a bound, the wait gives up once the bound
// has passed, noticed within a second, and returns false.
bool WaitForFile(const std::string& name,
                 std::optional<std::chrono::milliseconds> bound = std::nullopt);

// WaitForFile for a file that a slow writer may take long to finish: gives up (false)
// only when the file has neither appeared nor changed its size for the limit, or when
// the ceiling has passed since the wait began.
bool WaitForGrowingFile(const std::string& name, std::chrono::milliseconds limit,
                        std::chrono::milliseconds ceiling);

// ---------------------------------------------------------------- system

// Makes the named printer the default printer. A failing call raises the OS error.
void SwitchDefaultPrinter(const std::string& printerName);

// System version codes and their names (index = code).
enum TWindowsVersion : int {
    wvUnknown = 0,
    wvWin95 = 1,
    wvWin95OSR2 = 2,
    wvWin98 = 3,
    wvWin98SE = 4,
    wvWinME = 5,
    wvWinNT3 = 6,
    wvWinNT4 = 7,
    wvWin2000 = 8,
    wvWinXP = 9,
    wvWin2003 = 10,
    wvLinux = 11
};
extern const char* const WindowsVersionNames[12];

// Reads the system version: returns its code and sets text to
// "Version <major>.<minor>, Build <build>, <service text>".
int GetWindowsVersion(std::string& text);
// The code and text for given version information (what GetWindowsVersion applies).
int ClassifyWindowsVersion(unsigned platformId, unsigned major, unsigned minor, unsigned build,
                           const std::string& servicePack, std::string& text);

// Starts <program>/additional/enumWindows.exe with the two arguments and does not wait
// for it. A start failure is shown as an information message.
void RunHelper(const std::string& arg1, const std::string& arg2);

// True when the desktop has a program associated with the file.
bool HasAssociatedProgram(const std::string& fileName);
