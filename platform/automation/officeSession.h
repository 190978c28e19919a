// The office behind the automation servers: LibreOffice in headless mode, driven through
// a small bridge program (Python with the office's UNO binding) that takes one command
// per line and answers one line each. Every session has a private profile folder of its
// own, started with the session and deleted with it; no office process outlives it.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/olevariant.h"
#include "platform/win/launcher.h"

class TRunFolderClaim;

namespace office {

// ---------------------------------------------------------------- installation

// The LibreOffice start program ("soffice"); empty when LibreOffice is not installed.
std::string SofficePath();
// A Python interpreter that can load the UNO binding; empty when none.
std::string UnoPython();
// Whether the office module ("writer", "calc", "impress") is installed with what the
// bridge needs.
bool ModuleInstalled(const std::string& module);
// The mdbtools program ("mdb-export", ...), empty when missing.
std::string MdbTool(const std::string& name);

// Prepares a new, empty profile folder for the office at `soffice` so that its first start
// is not followed by a restart: an office meeting a new profile registers its bundled
// extensions there and starts itself again, which costs about a second. When it bundles
// none, the profile is marked as set up for the installed build (user/extensions/buildid,
// the build named in program/versionrc). Returns whether it was marked.
bool PrepareProfile(const std::string& soffice, const std::string& profile);

// ---------------------------------------------------------------- JSON pieces

// A JSON string literal of text (UTF-8 passed through).
std::string Json(const std::string& text);
std::string Json(double number);
std::string Json(long long number);
std::string Json(bool value);
// A parsed JSON value: null → empty, numbers → Int or Double, arrays → Array; objects
// are given as arrays of [key, value] pairs. Raises EOleError for malformed text.
OleVariant ParseJson(const std::string& text);
// The value of key in a parsed object; empty when missing.
OleVariant JsonMember(const OleVariant& object, const std::string& key);

// ---------------------------------------------------------------- child processes

struct ChildResult {
    int exitCode = -1;      // 128 + signal when ended by a signal
    bool timedOut = false;  // the bound passed; the process group was killed
    std::string errorText;  // what the program wrote to its error output (tail)
};

// Runs a program by argument vector in a process group of its own, its output going to
// outputFile (or a scratch file), waiting with window messages handled until it ends or
// has written nothing for the length of the bound (then the whole group is killed). A
// program that cannot be started gives exit code 127.
ChildResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds bound,
                       const std::string& outputFile = "");

// Handles the pending window messages, when there is an application.
void PumpMessages();

// The name part of a path, each control byte shown as "?" so a message naming it stays
// one line.
std::string FileNameShown(const std::string& path);

// Why the office's files cannot be made in the temporary folder ($TMPDIR, else /tmp),
// naming the folder: a full disk as such, followed by its consequence ("办公程序无法启动"),
// any other cause (an errno value) in the system's words.
EOleError TempFolderFailure(int err, const std::string& consequence);

// ---------------------------------------------------------------- the session

class Session {
public:
    // Starts the bridge, which starts the office; the start goes on while the caller
    // does other things, and the first command waits for it.
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Sends one command (a JSON object with "op") and returns its result; an answer
    // with an error raises EOleError with the office's message. While the command is
    // unanswered, the office counts as working as long as its processes use processor
    // time or its files change; one that does neither for the limit (the no-progress
    // limit when none is given), or is still at it after OfficeStepCeiling(), counts as
    // hung: the session ends and the call raises, naming the step and its document.
    OleVariant Command(const std::string& request);
    OleVariant Command(const std::string& request, std::chrono::milliseconds limit);
    // Ends the office and the bridge; afterwards commands raise.
    void Quit();
    bool Running() const { return pid_ > 0; }
    // A folder of the session for files passed between the office and the printer.
    const std::string& WorkFolder() const { return work_; }
    // A new file name in the work folder with the extension.
    std::string NewWorkFile(const std::string& ext);
    // A print of this session is complete: from now until the session ends, waits for
    // the next window message end at once (the print job's notice stays pending), so
    // the wait for the print file is not paced by timers.
    void PrintDone();
    // The bridge's process id (its process group), for tests.
    int ProcessGroup() const { return pid_; }
    // The sockets the office may leave in the shared temporary folder; they go when the
    // session has ended, however it ends.
    const std::vector<std::string>& Sockets() const { return sockets_; }

private:
    void start();
    void endProcesses(std::chrono::milliseconds grace);
    std::string errorTail() const;
    // The document a request is about: the one it loads, the one its "id" names, or else
    // the one loaded last.
    std::string documentOf(const OleVariant& request) const;

    std::string work_;
    std::shared_ptr<TRunFolderClaim> claim_;  // marks work_ as this program's
    int pid_ = -1;
    ScopedFd in_;   // commands to the bridge
    ScopedFd out_;  // answers from the bridge
    std::string buffer_;
    int counter_ = 0;
    ScopedFd printNotice_;
    std::vector<std::string> sockets_;
    std::map<long long, std::string> documents_;  // loaded documents by their id
    std::string lastDocument_;
};

using SessionPtr = std::shared_ptr<Session>;

// A session for the first application object of a run that will need the office: started
// while the program makes its windows, so the office's start overlaps the program's own.
// Does nothing when a session is already waiting or the office cannot be started (the
// application object then reports that as usual).
void StartSessionAhead();
// The session started ahead when one is waiting, otherwise a new session.
SessionPtr NewSession();
// Ends a session started ahead that no application object took.
void DropSessionAhead();

}  // namespace office
