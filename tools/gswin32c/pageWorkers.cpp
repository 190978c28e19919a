#include "tools/gswin32c/pageWorkers.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/rtl/startTrace.h"
#include "tools/gswin32c/pageRanges.h"
#include "tools/gswin32c/relay.h"

namespace gsw {

namespace {

// A worker ends every step with a line of its own on both outputs, "\n@@vexomat-<step>\n";
// the line feed before it is the worker's, not Ghostscript's.
constexpr std::string_view kMark = "@@vexomat-";

// What a worker runs from its command line: the lines of its standard input, executed one
// at a time until the input ends. (A file named "-" would be read in whole blocks, and
// the worker would wait for lines it is not given yet.)
constexpr const char* kLoop =
    "{ (%stdin) (r) file 4096 string readline not { exit } if cvx exec } loop";

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

// PostScript that writes the mark of a step to both outputs.
std::string Marks(const std::string& step) {
    const std::string line = "(\\n" + std::string(kMark) + step + "\\n)";
    return "(%stderr) (w) file dup " + line + " writestring flushfile " + line + " print flush";
}

// The first worker opens the document and says which pages the job draws, as one run
// does ("Processing pages a through b."), or that the job is one to run whole: a
// portfolio, a file that could not be opened, no page in the span asked for.
std::string FirstWorkerStart(const std::string& document) {
    const std::string whole = Marks("whole");
    return "(" + document +
           ") (r) file runpdfbegin PDFInfo type /dicttype eq { PDFInfo /Collection known { " +
           whole + " } { process_trailer_attrs runpdfpagerange 2 copy gt { pop pop " + whole +
           " } { " + "(%stderr) (w) file dup (\\n" + std::string(kMark) +
           "range\\n) writestring flushfile (\\n" + std::string(kMark) +
           "range ) print exch =only ( ) print =only (\\n) print flush } ifelse } ifelse } { " +
           whole + " } ifelse\n";
}

std::string WorkerStart(const std::string& document) {
    return "(" + document + ") (r) file runpdfbegin process_trailer_attrs " + Marks("ready") + "\n";
}

std::string PageCommand(int page) {
    const std::string n = std::to_string(page);
    return n + " " + n + " dopdfpages " + Marks("page " + n) + "\n";
}

// What one worker wrote since the last mark on each output, and the marks as they came
// with the text before each.
class WorkerSink : public RelaySink {
public:
    struct Mark {
        bool err;
        std::string step;
        std::string before;
    };
    void Out(std::string_view text) override { Take(0, text); }
    void Err(std::string_view text) override { Take(1, text); }

    std::vector<Mark> marks;
    std::string text[2];

private:
    void Take(int stream, std::string_view line) {
        if (line.size() > kMark.size() + 1 && StartsWith(line, kMark) && line.back() == '\n') {
            std::string before = std::move(text[stream]);
            text[stream].clear();
            if (!before.empty() && before.back() == '\n') before.pop_back();
            marks.push_back({stream == 1,
                             std::string(line.substr(kMark.size(), line.size() - kMark.size() - 1)),
                             std::move(before)});
            return;
        }
        text[stream].append(line);
    }
};

struct Worker {
    GhostscriptChild child;
    RelayStream lines[2] = {RelayStream(false), RelayStream(true)};
    RelayResult findings;
    WorkerSink sink;
    std::string files;  // its page files: this name, "-", the file's number
    int page = 0;       // the page it draws; 0 while it has none
    long made = 0;      // page files it has written
    bool ready = false;
    bool closed = false;  // given no more pages
    bool reaped = false;
    int code = 0;

    std::string File(long number) const { return files + "-" + std::to_string(number); }
    bool Reading() const { return child.out.valid() || child.err.valid(); }
    void Send(const std::string& text) {
        std::string_view rest = text;
        while (child.in.valid() && !rest.empty()) {
            const ssize_t n = ::write(child.in.get(), rest.data(), rest.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return;  // it has ended; its outputs say how
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
    }
};

struct Page {
    bool done = false;
    int worker = -1;
    long file = 0;  // the worker's number of its file; 0 when it wrote none
    std::string out;
    std::string err;
};

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// A PDF as one run's reading of a file takes it: "%PDF-" at its very start.
bool StartsAsPdf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char head[5];
    const bool pdf = ::read(fd, head, sizeof head) == 5 && std::memcmp(head, "%PDF-", 5) == 0;
    ::close(fd);
    return pdf;
}

class PageWorkers {
public:
    PageWorkers(const std::string& program, const std::vector<std::string>& args,
                const PagedJob& job)
        : program_(program), args_(args), job_(job) {}

    // False when the job is to be run otherwise; nothing is left behind then.
    bool Start(int count);
    // Draws the pages. False when a worker showed that the job must be run whole; every
    // file made is removed again then.
    bool Run();
    // The outputs and the exit code of the job, as one run gives them.
    int Finish();

private:
    const std::string& program_;
    const std::vector<std::string>& args_;
    const PagedJob& job_;
    ScopedFd document_;
    std::string reserved_;  // a file whose name the workers' page files extend
    std::vector<Worker> workers_;
    std::vector<Page> pages_;
    int first_ = 0;
    int last_ = -1;
    int next_ = 0;
    bool known_ = false;
    bool whole_ = false;
    int failedAt_ = INT_MAX;  // the page a worker ended on before finishing it
    std::size_t named_ = 0;   // pages given their names so far
    long fileNumber_ = 0;     // files named so far, as one run numbers them
    std::vector<std::string> placed_;
    std::string renameErrors_;
    std::string preamble_[2];

    void Give(Worker& w);
    void TakeMarks(std::size_t index);
    void PageDone(std::size_t index, int page, std::string out, std::string err);
    void NameDonePages();
    void Ended(std::size_t index);
    void RemoveFiles(bool placedToo);
};

bool PageWorkers::Start(int count) {
    document_.reset(::open(job_.input.c_str(), O_RDONLY | O_CLOEXEC));
    if (document_.valid() && document_.get() < 3)
        document_.reset(::fcntl(document_.get(), F_DUPFD_CLOEXEC, 3));
    if (!document_.valid()) return false;
    // The workers read the document through the descriptor they keep: no name of it has
    // to pass Ghostscript's file permissions (whose list splits names at ":").
    const std::string document = "/dev/fd/" + std::to_string(document_.get());

    const std::size_t slash = job_.pattern.rfind('/');
    reserved_ = (slash == std::string::npos ? std::string(".") : job_.pattern.substr(0, slash)) +
                "/.gswin32c-XXXXXX";
    const int fd = ::mkostemp(reserved_.data(), O_CLOEXEC);
    if (fd < 0) return false;
    ::close(fd);

    workers_ = std::vector<Worker>(static_cast<std::size_t>(count));
    const std::vector<std::string> common(
        args_.begin(), args_.begin() + static_cast<std::ptrdiff_t>(job_.inputIndex));
    for (std::size_t w = 0; w < workers_.size(); ++w) {
        Worker& worker = workers_[w];
        worker.files = reserved_ + "-" + std::to_string(w + 1);
        std::vector<std::string> a = common;
        a[job_.outputIndex] = "-sOutputFile=" + worker.files + "-%d";
        a.push_back("--permit-file-read=" + document);
        a.push_back("-c");
        a.push_back(kLoop);
        if (!StartGhostscript(program_, a, true, {document_.get()}, worker.child).empty()) {
            RemoveFiles(true);
            return false;
        }
        worker.Send(w == 0 ? FirstWorkerStart(document) : WorkerStart(document));
    }
    return true;
}

void PageWorkers::Give(Worker& w) {
    if (!known_ || !w.ready || w.closed || w.page != 0) return;
    if (next_ <= last_ && next_ < failedAt_) {
        w.page = next_++;
        w.Send(PageCommand(w.page));
        return;
    }
    w.Send("runpdfend\n");
    w.child.in.reset();
    w.closed = true;
}

void PageWorkers::TakeMarks(std::size_t index) {
    Worker& w = workers_[index];
    std::vector<WorkerSink::Mark> marks = std::move(w.sink.marks);
    w.sink.marks.clear();
    for (WorkerSink::Mark& m : marks) {
        int page = 0;
        const bool isPage =
            StartsWith(m.step, "page ") && std::sscanf(m.step.c_str() + 5, "%d", &page) == 1;
        if (m.step == "whole") {
            whole_ = true;
        } else if (m.err) {
            if (isPage && page >= first_ && page <= last_)
                pages_[static_cast<std::size_t>(page - first_)].err = std::move(m.before);
            else if (index == 0 && !isPage)
                preamble_[1] = std::move(m.before);
        } else if (isPage) {
            PageDone(index, page, std::move(m.before), {});
            Give(w);
        } else if (index == 0 && StartsWith(m.step, "range ")) {
            if (std::sscanf(m.step.c_str() + 6, "%d %d", &first_, &last_) != 2 || first_ < 1 ||
                last_ < first_) {
                whole_ = true;
                continue;
            }
            known_ = true;
            next_ = first_;
            const int count = last_ - first_ + 1;
            pages_.resize(static_cast<std::size_t>(count));
            preamble_[0] = std::move(m.before);
            w.ready = true;
            for (Worker& other : workers_) Give(other);
        } else if (m.step == "ready") {
            w.ready = true;
            Give(w);
        }
    }
}

void PageWorkers::PageDone(std::size_t index, int page, std::string out, std::string err) {
    Worker& w = workers_[index];
    if (page != w.page || page < first_ || page > last_) return;
    Page& p = pages_[static_cast<std::size_t>(page - first_)];
    p.done = true;
    p.worker = static_cast<int>(index);
    p.out = std::move(out);
    if (!err.empty()) p.err = std::move(err);
    if (Exists(w.File(w.made + 1))) p.file = ++w.made;
    w.page = 0;
    NameDonePages();
}

// Gives the finished pages their names in page order: one run numbers its files as it
// writes them, so a page that made no file shifts the names of those after it.
void PageWorkers::NameDonePages() {
    while (named_ < pages_.size() && pages_[named_].done &&
           first_ + static_cast<int>(named_) <= failedAt_) {
        const Page& p = pages_[named_++];
        if (p.file == 0) continue;
        ++fileNumber_;
        const std::string from = workers_[static_cast<std::size_t>(p.worker)].File(p.file);
        std::string to;
        if (!FormatPageName(job_.pattern, fileNumber_, to)) continue;
        if (job_.tiff) SetTiffPageIndex(from, static_cast<unsigned>(fileNumber_ - 1));
        if (::rename(from.c_str(), to.c_str()) != 0)
            renameErrors_ +=
                "gswin32c: cannot write the page file '" + to + "': " + std::strerror(errno) + "\n";
        else
            placed_.push_back(to);
    }
}

void PageWorkers::Ended(std::size_t index) {
    Worker& w = workers_[index];
    w.code = WaitForGhostscript(w.child.pid);
    w.reaped = true;
    w.child.in.reset();
    if (w.page != 0) {
        // It ended inside a page, as one run would have ended there: the job ends with
        // that page, and what the worker wrote last is that page's.
        failedAt_ = std::min(failedAt_, w.page);
        const int page = w.page;
        std::string out = std::move(w.sink.text[0]);
        std::string err = std::move(w.sink.text[1]);
        w.sink.text[0].clear();
        w.sink.text[1].clear();
        PageDone(index, page, std::move(out), std::move(err));
        for (Worker& other : workers_) Give(other);
    } else if (!w.closed) {
        // Before it was given its work or between pages: nothing a run would do.
        whole_ = true;
    }
}

void PageWorkers::RemoveFiles(bool placedToo) {
    for (Worker& w : workers_)
        if (w.child.pid > 0 && !w.reaped) ::kill(w.child.pid, SIGKILL);
    for (Worker& w : workers_) {
        if (w.child.pid > 0 && !w.reaped) {
            w.child.in.reset();
            w.child.out.reset();
            w.child.err.reset();
            WaitForGhostscript(w.child.pid);
        }
        w.reaped = true;
        for (long k = 1; k <= w.made + 1; ++k) ::unlink(w.File(k).c_str());
    }
    if (placedToo)
        for (const std::string& name : placed_) ::unlink(name.c_str());
    if (!reserved_.empty()) ::unlink(reserved_.c_str());
}

bool PageWorkers::Run() {
    char buf[16384];
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<std::size_t, int>> owners;
        for (std::size_t w = 0; w < workers_.size(); ++w) {
            for (int s = 0; s < 2; ++s) {
                const ScopedFd& fd = s == 0 ? workers_[w].child.out : workers_[w].child.err;
                if (!fd.valid()) continue;
                fds.push_back({fd.get(), POLLIN, 0});
                owners.emplace_back(w, s);
            }
        }
        if (fds.empty()) break;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            whole_ = true;
        }
        for (std::size_t i = 0; i < fds.size() && !whole_; ++i) {
            if (fds[i].revents == 0) continue;
            const auto [index, stream] = owners[i];
            Worker& w = workers_[index];
            ScopedFd& fd = stream == 0 ? w.child.out : w.child.err;
            const ssize_t n = ::read(fd.get(), buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n > 0) {
                w.lines[stream].Feed(std::string_view(buf, static_cast<std::size_t>(n)), w.findings,
                                     w.sink);
            } else {
                w.lines[stream].End(w.findings, w.sink);
                fd.reset();
            }
            TakeMarks(index);
            if (!w.Reading()) Ended(index);
        }
        if (whole_) {
            RemoveFiles(true);
            return false;
        }
    }
    return true;
}

int PageWorkers::Finish() {
    RemoveFiles(false);
    const int end = std::min(last_, failedAt_);
    std::string out = preamble_[0];
    std::string err = preamble_[1];
    for (int page = first_; page <= end; ++page) {
        const Page& p = pages_[static_cast<std::size_t>(page - first_)];
        out += WithoutRepeatedFontLoads(p.out, out);
        err += p.err;
    }
    RelayResult joined;
    if (failedAt_ == INT_MAX) {
        std::vector<std::string> tails[2];
        for (const Worker& w : workers_)
            for (int s = 0; s < 2; ++s) tails[s].push_back(w.sink.text[s]);
        out += JoinWorkerTails(tails[0]);
        err += JoinWorkerTails(tails[1]);
    } else {
        for (const Worker& w : workers_)
            if (w.code != 0 && pages_[static_cast<std::size_t>(failedAt_ - first_)].worker ==
                                   static_cast<int>(&w - workers_.data()))
                joined.code = w.code;
    }
    for (const Worker& w : workers_) {
        if (joined.code == 0) joined.code = w.code;
        joined.repaired = joined.repaired || w.findings.repaired;
        joined.fatal = joined.fatal || w.findings.fatal;
        joined.silentFailure = joined.silentFailure || w.findings.silentFailure;
        if (joined.statedError.empty()) joined.statedError = w.findings.statedError;
        for (const std::string& l : w.findings.failureLines)
            if (joined.failureLines.size() < 5) joined.failureLines.push_back(l);
    }
    err += renameErrors_;
    if (!renameErrors_.empty() && joined.code == 0) joined.code = 1;
    joined.wroteError = err.find_first_not_of("\r\n") != std::string::npos;

    RelaySink& standard = StandardSink();
    standard.Out(out);
    PassErrorOutput(joined, err, standard);
    WriteVerdict(joined, standard);
    return ExitCodeOf(joined);
}

}  // namespace

std::string JoinWorkerTails(const std::vector<std::string>& tails) {
    std::string joined;
    std::unordered_map<std::string_view, int> said;  // lines of `joined`, counted
    for (const std::string& text : tails) {
        std::unordered_map<std::string_view, int> own;
        for (std::size_t at = 0; at < text.size();) {
            std::size_t end = text.find('\n', at);
            end = end == std::string::npos ? text.size() : end + 1;
            const std::string_view line(text.data() + at, end - at);
            const std::string_view key =
                line.back() == '\n' ? line.substr(0, line.size() - 1) : line;
            if (++own[key] > said[key]) {
                said[key] = own[key];
                if (!joined.empty() && joined.back() != '\n') joined += '\n';
                joined += line;
            }
            at = end;
        }
    }
    return joined;
}

bool RunOnPageWorkers(const std::string& program, const std::vector<std::string>& args,
                      int& exitCode) {
    PagedJob job;
    if (!ParsePagedJob(args, job)) return false;
    // The older PDF interpreter draws pages with procedures of its own.
    for (const std::string& a : args)
        if (StartsWith(a, "-dNEWPDF") || StartsWith(a, "-sNEWPDF")) return false;
    const int processors = UsableProcessors();
    const int enough = 2 * kMinPagesPerProcess;
    if (processors < 2 || (job.last != 0 && job.last - job.first + 1 < enough)) return false;
    if (!StartsAsPdf(job.input)) return false;
    const int apparent = ApparentPdfPages(job.input);
    if (apparent < enough) return false;
    int count = processors;
    if (apparent != INT_MAX) {
        const int span = (job.last == 0 ? apparent : std::min(job.last, apparent)) - job.first + 1;
        if (span < enough) return false;
        count = std::min(processors, span / kMinPagesPerProcess);
    }

    PageWorkers workers(program, args, job);
    if (!workers.Start(count)) return false;
    // A job the workers cannot take apart is run whole, as it was given.
    const bool drawn = workers.Run();
    StartTrace("pages-drawn");
    exitCode = drawn ? workers.Finish() : RunGhostscript(program, args);
    return true;
}

}  // namespace gsw
