#include "tools/gswin32c/pageRanges.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <thread>

#include "platform/rtl/hex.h"
#include "tools/gswin32c/relay.h"

namespace gsw {

namespace {

// The devices that write a raster file per page; the same page gives the same bytes in
// any run (TIFF after its page index is set, SetTiffPageIndex). The EPS writer is not
// here: it numbers the objects it writes across the whole run and names its command line
// in every file, so a page rendered apart would differ.
constexpr std::string_view kPagedDevices[] = {"jpeg",    "bmp16m",  "bmp256",  "bmp16",
                                              "bmpmono", "bmpgray", "tiff24nc"};

constexpr std::string_view kDevice = "-sDEVICE=";
constexpr std::string_view kOutput = "-sOutputFile=";
constexpr std::string_view kFirst = "-dFirstPage=";
constexpr std::string_view kLast = "-dLastPage=";

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool ParsePage(std::string_view text, int& page) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    page = v;
    return true;
}

bool IsPagedDevice(std::string_view device) {
    for (std::string_view d : kPagedDevices)
        if (device == d) return true;
    return false;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// Collects what a run writes, for a job made of several runs.
class BufferSink : public RelaySink {
public:
    void Out(std::string_view text) override { out.append(text); }
    void Err(std::string_view text) override { err.append(text); }
    std::string out;
    std::string err;
};

// The pages of the PDF as Ghostscript counts them; 0 when it cannot say so cleanly (a
// damaged file is then rendered by one run, which reports the damage once).
int CountPages(const std::string& program, const std::string& pdf) {
    const std::string name = "<" + HexBytes(pdf, HexCase::lower) + ">";
    BufferSink sink;
    const RelayResult r =
        RelayGhostscript(program,
                         {"-q", "-dNODISPLAY", "-dNOSAFER", "-dNOPAUSE", "-dBATCH", "-c",
                          name + " (r) file runpdfbegin pdfpagecount = quit"},
                         sink);
    std::string out = sink.out;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    int pages = 0;
    if (r.code != 0 || !sink.err.empty() || r.repaired || !ParsePage(out, pages)) return 0;
    return pages;
}

void RemoveTree(const std::string& dir) {
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            const std::string path = dir + "/" + name;
            struct stat st;
            if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                RemoveTree(path);
            else
                ::unlink(path.c_str());
        }
        ::closedir(d);
    }
    ::rmdir(dir.c_str());
}

constexpr std::string_view kProcessing = "Processing pages ";

// The last page a run says it renders ("Processing pages a through b."), 0 when it names none.
int ProcessedThrough(const std::string& out) {
    std::size_t at = StartsWith(out, kProcessing) ? 0 : out.find("\n" + std::string(kProcessing));
    if (at == std::string::npos) return 0;
    const std::size_t through = out.find(" through ", at);
    const std::size_t end = out.find('.', through);
    int page = 0;
    if (through == std::string::npos || end == std::string::npos ||
        !ParsePage(std::string_view(out).substr(through + 9, end - through - 9), page))
        return 0;
    return page;
}

// A run whose first page lies past the end of the document renders nothing and says so.
bool StartsPastTheEnd(const std::string& out) {
    return out.find("Requested FirstPage is greater than the number of pages") != std::string::npos;
}

// The standard output of the runs joined as one run would have written it: Ghostscript's
// greeting and "Processing pages a through b." once, for the whole span, then the lines
// of every range in page order.
std::string JoinStandardOutputs(const std::vector<BufferSink>& sinks, std::size_t used,
                                int lastPage) {
    std::string joined;
    for (std::size_t i = 0; i < used; ++i) {
        const std::string& out = sinks[i].out;
        std::size_t at =
            StartsWith(out, kProcessing) ? 0 : out.find("\n" + std::string(kProcessing));
        if (at != 0 && at != std::string::npos) ++at;
        if (at == std::string::npos) {
            joined += i == 0 ? out : WithoutRepeatedFontLoads(out, joined);
            continue;
        }
        std::size_t end = out.find('\n', at);
        end = end == std::string::npos ? out.size() : end + 1;
        if (i == 0) {
            std::string line = out.substr(at, end - at);
            const std::size_t through = line.find(" through ");
            if (through != std::string::npos)
                line = line.substr(0, through) + " through " + std::to_string(lastPage) + ".\n";
            joined += out.substr(0, at) + line + out.substr(end);
        } else {
            joined += WithoutRepeatedFontLoads(out.substr(end), joined);
        }
    }
    return joined;
}

}  // namespace

int ApparentPdfPages(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 8) {
        ::close(fd);
        return -1;
    }
    const std::size_t size = static_cast<std::size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    ::close(fd);
    if (map == MAP_FAILED) return -1;
    const std::string_view text(static_cast<const char*>(map), size);
    int pages = -1;
    if (text.substr(0, 1024).find("%PDF-") != std::string_view::npos) {
        if (text.find("/ObjStm") != std::string_view::npos) {
            pages = INT_MAX;
        } else {
            pages = 0;
            for (std::size_t at = text.find("/Type"); at != std::string_view::npos;
                 at = text.find("/Type", at + 5)) {
                std::size_t p = at + 5;
                while (p < text.size() &&
                       (text[p] == ' ' || text[p] == '\r' || text[p] == '\n' || text[p] == '\t'))
                    ++p;
                if (text.substr(p, 5) == "/Page" && (p + 5 >= text.size() || text[p + 5] != 's'))
                    ++pages;
            }
        }
    }
    ::munmap(map, size);
    return pages;
}

std::string WithoutRepeatedFontLoads(const std::string& text, const std::string& earlier) {
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        if (!StartsWith(line, "Loading ") || earlier.find(line) == std::string::npos) kept += line;
        at = end;
    }
    return kept;
}

bool FormatPageName(const std::string& pattern, long page, std::string& name) {
    std::string result;
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            result += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            result += '%';
            ++i;
            continue;
        }
        std::string conversion = "%";
        std::size_t j = i + 1;
        while (j < pattern.size() && std::strchr("-+ #0", pattern[j]) != nullptr)
            conversion += pattern[j++];
        std::size_t digits = 0;
        while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && digits < 3) {
            conversion += pattern[j++];
            ++digits;
        }
        if (j < pattern.size() && pattern[j] == 'l') ++j;
        if (j >= pattern.size() || std::strchr("diuoxX", pattern[j]) == nullptr) return false;
        conversion += 'l';
        conversion += pattern[j];
        char buf[64];
        const int n = std::snprintf(buf, sizeof buf, conversion.c_str(), page);
        if (n < 0 || n >= static_cast<int>(sizeof buf)) return false;
        result += buf;
        ++conversions;
        i = j;
    }
    if (conversions != 1) return false;
    name = std::move(result);
    return true;
}

bool ParsePagedJob(const std::vector<std::string>& args, PagedJob& job) {
    PagedJob j;
    std::string device;
    bool noPause = false;
    bool batch = false;
    bool haveOutput = false;
    bool haveInput = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool isFile = a == "-f" || a.empty() || a[0] != '-';
        if (isFile) {
            if (haveInput) return false;  // one input only
            if (a == "-f") {
                if (i + 1 >= args.size()) return false;
                j.input = args[++i];
            } else {
                j.input = a;
            }
            if (j.input.empty() || j.input[0] == '-' || j.input[0] == '@' || j.input[0] == '%')
                return false;
            j.inputIndex = a == "-f" ? i - 1 : i;
            haveInput = true;
            continue;
        }
        // Switches after the input would apply to nothing a range could reproduce.
        if (haveInput) return false;
        if (a == "-" || a == "-c" || a == "-o" || a == "-_" || StartsWith(a, "-sPageList") ||
            StartsWith(a, "-dPageList") || StartsWith(a, "-sOutputFile") != StartsWith(a, kOutput))
            return false;
        if (a == "-dNOPAUSE") noPause = true;
        if (a == "-dBATCH") batch = true;
        if (StartsWith(a, kDevice)) device = a.substr(kDevice.size());
        if (StartsWith(a, kOutput)) {
            j.pattern = a.substr(kOutput.size());
            j.outputIndex = i;
            haveOutput = true;
        }
        if (StartsWith(a, kFirst) && !ParsePage(std::string_view(a).substr(kFirst.size()), j.first))
            return false;
        if (StartsWith(a, kLast) && !ParsePage(std::string_view(a).substr(kLast.size()), j.last))
            return false;
    }
    if (!noPause || !batch || !haveOutput || !haveInput || !IsPagedDevice(device)) return false;
    if (j.first < 1) return false;
    // Ghostscript's own outputs ("%stdout", "%pipe%", "|command", "-") stay with one run,
    // and so does a page number anywhere but in the file name.
    if (j.pattern.empty() || j.pattern[0] == '%' || j.pattern[0] == '|' || j.pattern == "-")
        return false;
    const std::string dir = DirectoryOf(j.pattern);
    if (j.pattern.find('/') != std::string::npos && dir.find('%') != std::string::npos)
        return false;
    std::string probe;
    if (!FormatPageName(FileNameOf(j.pattern), 1, probe)) return false;
    j.tiff = device == "tiff24nc";
    job = std::move(j);
    return true;
}

std::vector<std::pair<int, int>> SplitPages(int first, int last, int count) {
    std::vector<std::pair<int, int>> ranges;
    const int pages = last - first + 1;
    if (pages <= 0 || count <= 0) return ranges;
    if (count > pages) count = pages;
    int at = first;
    for (int i = 0; i < count; ++i) {
        const int length = pages / count + (i < pages % count ? 1 : 0);
        ranges.emplace_back(at, at + length - 1);
        at += length;
    }
    return ranges;
}

bool SetTiffPageIndex(const std::string& path, unsigned index) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    bool done = false;
    unsigned char head[8];
    if (::pread(fd, head, 8, 0) == 8) {
        const bool little = head[0] == 'I' && head[1] == 'I' && head[2] == 42 && head[3] == 0;
        const bool big = head[0] == 'M' && head[1] == 'M' && head[2] == 0 && head[3] == 42;
        auto u16 = [&](const unsigned char* p) {
            return little ? unsigned(p[0] | p[1] << 8) : unsigned(p[0] << 8 | p[1]);
        };
        auto u32 = [&](const unsigned char* p) {
            return little ? (unsigned(p[0]) | unsigned(p[1]) << 8 | unsigned(p[2]) << 16 |
                             unsigned(p[3]) << 24)
                          : (unsigned(p[0]) << 24 | unsigned(p[1]) << 16 | unsigned(p[2]) << 8 |
                             unsigned(p[3]));
        };
        unsigned char countBytes[2];
        const off_t ifd = (little || big) ? off_t(u32(head + 4)) : 0;
        if (ifd >= 8 && ::pread(fd, countBytes, 2, ifd) == 2) {
            const unsigned entries = u16(countBytes);
            for (unsigned e = 0; e < entries && !done; ++e) {
                unsigned char entry[12];
                const off_t at = ifd + 2 + off_t(e) * 12;
                if (::pread(fd, entry, 12, at) != 12) break;
                // PageNumber (297): two SHORT values stored in the entry, the index first.
                if (u16(entry) != 297 || u16(entry + 2) != 3 || u32(entry + 4) != 2) continue;
                const unsigned char value[2] = {
                    static_cast<unsigned char>(little ? index & 0xFF : (index >> 8) & 0xFF),
                    static_cast<unsigned char>(little ? (index >> 8) & 0xFF : index & 0xFF)};
                done = index <= 0xFFFF && ::pwrite(fd, value, 2, at + 8) == 2;
                break;
            }
        }
    }
    ::close(fd);
    return done;
}

int UsableProcessors() {
    if (const char* over = std::getenv("VEXOMAT_GS_PROCESSES"); over != nullptr && *over != '\0') {
        int n = 0;
        if (ParsePage(over, n) && n >= 1) return n;
    }
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0) return 1;
    const int n = CPU_COUNT(&set);
    return n < 1 ? 1 : n;
}

bool RunInPageRanges(const std::string& program, const std::vector<std::string>& args,
                     int& exitCode) {
    PagedJob job;
    if (!ParsePagedJob(args, job)) return false;
    const int processors = UsableProcessors();
    const int enough = 2 * kMinPagesPerProcess;
    if (processors < 2 || (job.last != 0 && job.last - job.first + 1 < enough)) return false;
    const int apparent = ApparentPdfPages(job.input);
    if (apparent < enough) return false;
    // Where the page objects can be seen in the file, the ranges follow their count and the
    // last range runs to the end of the document, so a count that is off (pages of an older
    // revision, an object written in an unusual way) only moves work between ranges. Only
    // a packed file needs Ghostscript's own count, a run of its own before any page is drawn.
    const bool openEnd = job.last == 0 && apparent != INT_MAX;
    int last = apparent;
    if (!openEnd) {
        const int pages = CountPages(program, job.input);
        last = job.last == 0 || job.last > pages ? pages : job.last;
    }
    if (last - job.first + 1 < enough) return false;
    int count = (last - job.first + 1) / kMinPagesPerProcess;
    if (count > processors) count = processors;
    const std::vector<std::pair<int, int>> ranges = SplitPages(job.first, last, count);

    // Each range writes into a folder of its own beside the result, so that moving its
    // pages into place is a rename on the same file system.
    std::string root = DirectoryOf(job.pattern) + "/.gswin32c-XXXXXX";
    if (::mkdtemp(root.data()) == nullptr) return false;
    const std::string base = FileNameOf(job.pattern);
    std::vector<std::vector<std::string>> rangeArgs;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        const std::string dir = root + "/" + std::to_string(r + 1);
        if (::mkdir(dir.c_str(), 0700) != 0) {
            RemoveTree(root);
            return false;
        }
        std::vector<std::string> a;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (i == job.inputIndex) {
                a.push_back(std::string(kFirst) + std::to_string(ranges[r].first));
                if (!openEnd || r + 1 < ranges.size())
                    a.push_back(std::string(kLast) + std::to_string(ranges[r].second));
            }
            if (i < job.inputIndex && (StartsWith(args[i], kFirst) || StartsWith(args[i], kLast)))
                continue;
            a.push_back(i == job.outputIndex ? std::string(kOutput) + dir + "/" + base : args[i]);
        }
        rangeArgs.push_back(std::move(a));
    }

    std::vector<BufferSink> sinks(ranges.size());
    std::vector<RelayResult> results(ranges.size());
    {
        std::vector<std::thread> runs;
        for (std::size_t r = 0; r < ranges.size(); ++r)
            runs.emplace_back(
                [&, r] { results[r] = RelayGhostscript(program, rangeArgs[r], sinks[r]); });
        for (std::thread& t : runs) t.join();
    }

    // Ranges past the end of a document shorter than its page objects made it seem drew
    // nothing; what they said is not what one run says. (When the first range is among
    // them, the whole job lies past the end, and its words are those of one run.)
    int lastDrawn = 0;
    for (std::size_t r = 0; r < ranges.size(); ++r) {
        if (r > 0 && StartsPastTheEnd(sinks[r].out)) sinks[r].out.clear();
        lastDrawn = std::max(lastDrawn, ProcessedThrough(sinks[r].out));
    }
    if (lastDrawn == 0) lastDrawn = last;

    // One run stops at a failure: nothing of the ranges after the first failed one counts.
    std::size_t used = 0;
    RelayResult joined;
    std::string err;
    for (; used < ranges.size(); ++used) {
        const RelayResult& r = results[used];
        if (joined.code == 0) joined.code = r.code;
        joined.repaired = joined.repaired || r.repaired;
        joined.fatal = joined.fatal || r.fatal;
        joined.wroteError = joined.wroteError || r.wroteError;
        joined.silentFailure = joined.silentFailure || r.silentFailure;
        if (joined.statedError.empty()) joined.statedError = r.statedError;
        for (const std::string& l : r.failureLines)
            if (joined.failureLines.size() < 5) joined.failureLines.push_back(l);
        err += sinks[used].err;
        if (r.code != 0 || r.silentFailure) {
            ++used;
            break;
        }
    }

    for (std::size_t r = 0; r < used; ++r) {
        const std::string dir = root + "/" + std::to_string(r + 1);
        // The last range of an open end draws up to the page Ghostscript named.
        const int end = openEnd && r + 1 == ranges.size() ? lastDrawn : ranges[r].second;
        for (int page = ranges[r].first; page <= end; ++page) {
            std::string from;
            std::string to;
            const long inRange = page - ranges[r].first + 1;
            const long inJob = page - job.first + 1;
            if (!FormatPageName(base, inRange, from) || !FormatPageName(job.pattern, inJob, to))
                continue;
            from = dir + "/" + from;
            if (!Exists(from)) continue;
            if (job.tiff) SetTiffPageIndex(from, static_cast<unsigned>(inJob - 1));
            if (::rename(from.c_str(), to.c_str()) != 0) {
                err += "gswin32c: cannot write the page file '" + to +
                       "': " + std::strerror(errno) + "\n";
                joined.wroteError = true;
                if (joined.code == 0) joined.code = 1;
            }
        }
    }
    RemoveTree(root);

    RelaySink& standard = StandardSink();
    standard.Out(JoinStandardOutputs(sinks, used, lastDrawn));
    PassErrorOutput(joined, err, standard);
    WriteVerdict(joined, standard);
    exitCode = ExitCodeOf(joined);
    return true;
}

}  // namespace gsw
