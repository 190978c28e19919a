#include "tools/gswin32c/relay.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/win/launcher.h"
#include "tools/gswin32c/adapt.h"
#include "tools/gswin32c/cappedOutput.h"

namespace gsw {

namespace {

void Scan(std::string_view line, RelayResult& f) {
    if (ReportsRepair(line)) f.repaired = true;
    if (ReportsFatal(line)) f.fatal = true;
}

// A page finished: one byte more in a file of the job's temporary folder, which the
// caller watches (the output itself stays Ghostscript's).
void NoteProgress() {
    const char* tmp = std::getenv("TMPDIR");
    if (!tmp || !*tmp) return;
    const std::string file = std::string(tmp) + "/vexomat-progress";
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0) return;
    WriteAll(fd, ".");
    ::close(fd);
}

std::string WithoutLineEnd(std::string_view line) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// Ghostscript's error report: a statement, then the rest of the report (its stacks, or
// the memory's state). A statement without the report is text like any other.
void NoteStatement(std::string_view line, RelayResult& f) {
    if (ContinuesErrorReport(line) && !f.lastStatement.empty()) f.statedError = f.lastStatement;
    if (!IsErrorStatement(line)) {
        f.lastStatement.clear();
        return;
    }
    const std::string s = WithoutLineEnd(line);
    f.lastStatement = s.substr(s.find_first_not_of(" \t"));
}

// One complete line (with its line feed, when it had one) of Ghostscript's output. The
// lines of our own reports are taken out.
void HandleOutLine(std::string_view line, RelayResult& f, RelaySink& sink) {
    if (line.find(kPageDoneLine) != std::string_view::npos) {
        ++f.pagesDone;
        NoteProgress();
        return;
    }
    if (const int pages = PagesShownIn(line); pages >= 0) {
        f.pagesShown = pages;
        return;
    }
    if (std::string input = InputNamedIn(line); !input.empty()) {
        f.currentInput = std::move(input);
        return;
    }
    if (line.find(kInputDoneLine) != std::string_view::npos) {
        f.currentInput.clear();
        return;
    }
    sink.Out(line);
    NoteStatement(line, f);
    // A PostScript program may print anything; it is passed on, but only Ghostscript's
    // own report (the statement the rest of its report follows) says why the job failed.
    if (ProgramMayBeTalking(f)) return;
    Scan(line, f);
    if (NamesFailure(line) && f.failedInput.empty()) f.failedInput = f.currentInput;
    // Ghostscript says on the next line, indented, what became of the page or the file
    // ("Output may be incorrect.", "Could not draw this page at all").
    const bool goesOn = f.failureGoesOn && (line.front() == ' ' || line.front() == '\t');
    f.failureGoesOn = ReportsSilentFailure(line);
    if (ReportsSilentFailure(line)) f.silentFailure = true;
    if ((NamesFailure(line) || goesOn) && f.failureLines.size() < 5) {
        const std::string s = WithoutLineEnd(line);
        const std::size_t text = s.find_first_not_of(' ');
        f.failureLines.push_back(text == std::string::npos ? s : s.substr(text));
    }
}

void HandleErrLine(std::string_view line, RelayResult& f, RelaySink& sink) {
    // What a program writes to %stderr is its own text, kept with what it prints: the
    // error output holds only Ghostscript's words and ours.
    if (ProgramMayBeTalking(f)) {
        sink.Out(line);
        return;
    }
    Scan(line, f);
    if (ReportsSilentFailure(line)) f.silentFailure = true;
    if (IsHarmlessRemark(line)) {
        sink.Out(line);
        return;
    }
    sink.Err(line);
    // A lone line break does not make an error output worth judging; anything else does.
    if (line.find_first_not_of("\r\n") != std::string_view::npos) {
        f.wroteError = true;
        if (f.failedInput.empty()) f.failedInput = f.currentInput;
    }
}

void Handle(bool isErr, std::string_view line, RelayResult& f, RelaySink& sink) {
    isErr ? HandleErrLine(line, f, sink) : HandleOutLine(line, f, sink);
}

struct Stream {
    ScopedFd fd;
    RelayStream lines;
};

// Passes both streams on until Ghostscript has closed them.
void RelayStreams(Stream (&streams)[2], RelayResult& findings, RelaySink& sink) {
    char buf[16384];
    while (streams[0].fd.valid() || streams[1].fd.valid()) {
        pollfd fds[2];
        Stream* owner[2];
        nfds_t count = 0;
        for (Stream& s : streams) {
            if (!s.fd.valid()) continue;
            fds[count] = {s.fd.get(), POLLIN, 0};
            owner[count++] = &s;
        }
        // A quiet moment brings the logs' tails up to date.
        const int ready = ::poll(fds, count, 250);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready == 0) sink.Sync();
        for (nfds_t m = 0; m < count; ++m) {
            if (fds[m].revents == 0) continue;
            const ssize_t n = ::read(owner[m]->fd.get(), buf, sizeof buf);
            if (n > 0) {
                owner[m]->lines.Feed(std::string_view(buf, static_cast<std::size_t>(n)), findings,
                                     sink);
            } else if (n == 0 || errno != EINTR) {
                owner[m]->lines.End(findings, sink);
                owner[m]->fd.reset();
            }
        }
    }
    for (Stream& s : streams) s.lines.End(findings, sink);
}

int WaitForExitCode(pid_t pid) {
    int status = -1;
    ReapChild(pid, true, status);
    return ::ExitCodeOf(status);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    return text;
}

// Two streams into one file cannot each rewrite their own tail.
bool SameFile(int a, int b) {
    struct stat sa {
    }, sb{};
    return ::fstat(a, &sa) == 0 && ::fstat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

class StandardOutputs : public RelaySink {
public:
    StandardOutputs()
        : shared_(SameFile(STDOUT_FILENO, STDERR_FILENO)),
          out_(STDOUT_FILENO, !shared_ && CappedOutput::Rewritable(STDOUT_FILENO)),
          err_(STDERR_FILENO, !shared_ && CappedOutput::Rewritable(STDERR_FILENO)) {}
    ~StandardOutputs() override {
        out_.Finish();
        err_.Finish();
    }
    void Out(std::string_view text) override { out_.Write(text); }
    void Err(std::string_view text) override { err_.Write(text); }
    void Sync() override {
        out_.Sync();
        err_.Sync();
    }

private:
    bool shared_;
    CappedOutput out_;
    CappedOutput err_;
};

// The error output held until the job's outcome is known (PassErrorOutput); a job that
// says more there than a few warnings would has its error output passed on as it comes.
class HeldErrors : public RelaySink {
public:
    explicit HeldErrors(RelaySink& to) : to_(to) {}
    void Out(std::string_view text) override { to_.Out(text); }
    void Err(std::string_view text) override {
        if (passing_) return to_.Err(text);
        held_.append(text);
        if (held_.size() <= kHeldBytes) return;
        passing_ = true;
        to_.Err(held_);
        held_.clear();
    }
    void Sync() override { to_.Sync(); }
    void Release(RelayResult& r) {
        if (passing_) return;
        PassErrorOutput(r, held_, to_);
        held_.clear();
    }

private:
    static constexpr std::size_t kHeldBytes = 64 * 1024;
    RelaySink& to_;
    std::string held_;
    bool passing_ = false;
};

RelayResult Failed(RelaySink& sink, const std::string& message) {
    sink.Err(message);
    RelayResult r;
    r.code = 127;
    r.wroteError = true;
    return r;
}

}  // namespace

bool ProgramMayBeTalking(const RelayResult& f) {
    if (f.programInputs.empty()) return false;
    // Between announced inputs and after the last, Ghostscript speaks (closing the output).
    if (f.currentInput.empty()) return !f.inputsAnnounced;
    for (const std::string& p : f.programInputs)
        if (p == f.currentInput) return true;
    return false;
}

RelayResult FindingsFor(const std::vector<std::string>& args) {
    RelayResult f;
    f.programInputs = ProgramInputs(args);
    for (const std::string& a : args)
        if (a.find(kInputPrefix) != std::string::npos) f.inputsAnnounced = true;
    return f;
}

RelaySink& StandardSink() {
    static StandardOutputs sink;
    return sink;
}

void RelayStream::Feed(std::string_view bytes, RelayResult& findings, RelaySink& sink) {
    pending_.append(bytes);
    std::size_t start = 0;
    for (;;) {
        const std::size_t nl = pending_.find('\n', start);
        if (nl == std::string::npos) break;
        Handle(isErr_, std::string_view(pending_.data() + start, nl + 1 - start), findings, sink);
        start = nl + 1;
    }
    pending_.erase(0, start);
    // A very long line without a break is passed on in pieces rather than held.
    if (pending_.size() > 65536) {
        Handle(isErr_, pending_, findings, sink);
        pending_.clear();
    }
}

void RelayStream::End(RelayResult& findings, RelaySink& sink) {
    if (!pending_.empty()) Handle(isErr_, pending_, findings, sink);
    pending_.clear();
}

std::string StartGhostscript(const std::string& program, const std::vector<std::string>& args,
                             bool pipeInput, const std::vector<int>& keepFds,
                             GhostscriptChild& child) {
    // Writing to a closed pipe must give an error, not end this program before it can
    // report Ghostscript's exit code.
    std::signal(SIGPIPE, SIG_IGN);

    ScopedFd inRead;
    ScopedFd outWrite;
    ScopedFd errWrite;
    if (!MakePipe(child.out, outWrite) || !MakePipe(child.err, errWrite) ||
        (pipeInput && !MakePipe(inRead, child.in)))
        return std::string("gswin32c: cannot create a pipe: ") + std::strerror(errno) + "\n";

    LaunchOptions launch;
    launch.argv.reserve(args.size() + 1);
    launch.argv.push_back(program);
    launch.argv.insert(launch.argv.end(), args.begin(), args.end());
    launch.stdIn = pipeInput ? inRead.get() : LaunchOptions::kInherit;
    launch.stdOut = outWrite.get();
    launch.stdErr = errWrite.get();
    // Ghostscript stays in our process group, which the caller ends as a whole, and dies
    // with us when we are killed.
    launch.newProcessGroup = false;
    launch.parentDeathSignal = SIGKILL;
    launch.keepFds = keepFds;
    if (const int err = Launch(launch, child.pid); err != 0) {
        child.pid = -1;
        return "gswin32c: cannot start Ghostscript '" + program + "': " + std::strerror(err) + "\n";
    }
    return "";
}

int WaitForGhostscript(pid_t pid) { return WaitForExitCode(pid); }

RelayResult RelayGhostscript(const std::string& program, const std::vector<std::string>& args,
                             RelaySink& sink) {
    GhostscriptChild child;
    if (const std::string failure = StartGhostscript(program, args, false, {}, child);
        !failure.empty())
        return Failed(sink, failure);

    Stream streams[2] = {{std::move(child.out), RelayStream(false)},
                         {std::move(child.err), RelayStream(true)}};
    RelayResult findings = FindingsFor(args);
    RelayStreams(streams, findings, sink);
    findings.code = WaitForExitCode(child.pid);
    return findings;
}

static void WriteJudgement(const RelayResult& r, RelaySink& sink);

void WriteVerdict(const RelayResult& r, RelaySink& sink) {
    WriteJudgement(r, sink);
    const bool failed = ExitCodeOf(r) != 0 || (r.wroteError && !(r.repaired && !r.fatal));
    // A Ghostscript that ended without a word (a crash) failed in the input it was reading.
    const std::string& input =
        !r.failedInput.empty() || r.code == 0 ? r.failedInput : r.currentInput;
    if (failed && !input.empty()) sink.Err(std::string(kFailedInputLine) + input + "\n");
}

bool OnlyWarned(const RelayResult& r) {
    return r.wroteError && r.code == 0 && !r.silentFailure && !r.fatal && !r.repaired &&
           r.pagesShown != 0 && r.failureLines.empty();
}

void PassErrorOutput(RelayResult& r, const std::string& err, RelaySink& sink) {
    if (OnlyWarned(r)) {
        sink.Out(err);
        r.wroteError = false;
        r.failedInput.clear();
    } else {
        sink.Err(err);
    }
}

// What the job's outcome needs said beyond Ghostscript's own lines.
static void WriteJudgement(const RelayResult& r, RelaySink& sink) {
    if (r.code == 0 && r.silentFailure) {
        // The cause first, so the first line of the error output says what went wrong.
        sink.Err(Lines(r.failureLines) + "gswin32c: Ghostscript did not complete the job\n");
    } else if (r.code == 0 && r.repaired && !r.fatal) {
        sink.Err(std::string(kRepairNotice) + "\n");
    } else if (r.code != 0 && !r.wroteError) {
        sink.Err("gswin32c: Ghostscript ended with exit code " + std::to_string(r.code) + "\n" +
                 Lines(r.failureLines));
    } else if (r.code == 0 && r.fatal && !r.wroteError) {
        sink.Err("gswin32c: Ghostscript could not read an input file\n" + Lines(r.failureLines));
    } else if (r.code == 0 && PagesShownBy(r) == 0 && !r.wroteError) {
        sink.Err(std::string(kNoPageLine) + "\n");
    } else if (r.code != 0 && !r.failureLines.empty()) {
        // Ghostscript states the error ("Error: /undefined in x") on its standard output
        // and only its summary on the error output: the statement follows the summary.
        sink.Err(Lines(r.failureLines));
    }
    // The statement Ghostscript ended the job with, last, where nothing a job can print
    // comes after it.
    if (r.code != 0 && !r.statedError.empty())
        sink.Err(std::string(kEndedWithLine) + r.statedError + "\n");
}

int ExitCodeOf(const RelayResult& r) {
    if (r.code != 0) return r.code;
    return r.silentFailure || r.fatal || PagesShownBy(r) == 0 ? 1 : 0;
}

int PagesShownBy(const RelayResult& r) {
    if (r.pagesShown >= 0) return r.pagesShown;
    return r.countAsked && r.code == 0 ? r.pagesDone : -1;
}

int RunGhostscript(const std::string& program, const std::vector<std::string>& args,
                   bool pageReports) {
    HeldErrors held(StandardSink());
    RelayResult r = RelayGhostscript(program, pageReports ? WithPageReports(args) : args, held);
    r.countAsked = pageReports && PageCountAsked(args);
    held.Release(r);
    WriteVerdict(r, StandardSink());
    return ExitCodeOf(r);
}

}  // namespace gsw
