// Page files drawn by several Ghostscript processes, page workers handed one page at a
// time or runs over page ranges: the same names, bytes and outputs as one run, a failure
// on any page failing the job there, and every process ending with the console program.
#include "tools/gswin32c/pageRanges.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "runProcess.h"

extern char** environ;

namespace {

using gsw::FormatPageName;
using gsw::PagedJob;
using gsw::ParsePagedJob;
using gsw::SplitPages;
using Args = std::vector<std::string>;

const std::string kTool = std::string(VEXOMAT_BIN_DIR) + "/gs/gswin32c.exe";

using tooltest::Outcome;
using tooltest::ReadAll;

void WriteAll(const std::string& path, const std::string& text, mode_t mode = 0644) {
    std::ofstream(path, std::ios::binary) << text;
    ::chmod(path.c_str(), mode);
}

std::vector<std::string> List(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(GsPageNames, ConversionsAsGhostscriptFormatsThem) {
    struct Row {
        const char* pattern;
        long page;
        const char* name;  // nullptr: no page-numbered name
    };
    const Row rows[] = {
        {"a_p%04d.jpg", 7, "a_p0007.jpg"}, {"a_p%04d.jpg", 12345, "a_p12345.jpg"},
        {"p%d.bmp", 3, "p3.bmp"},          {"p%ld-%%.tif", 21, "p21-%.tif"},
        {"p%3d.bmp", 5, "p  5.bmp"},       {"p%-3dx", 5, "p5  x"},
        {"p%x.bmp", 255, "pff.bmp"},       {"100%% %02i", 9, "100% 09"},
        {"plain.jpg", 1, nullptr},         {"%d_%d.jpg", 1, nullptr},
        {"p%s.jpg", 1, nullptr},           {"p%04d%", 1, nullptr},
        {"p%%d.jpg", 1, nullptr},
    };
    for (const Row& r : rows) {
        std::string name;
        const bool ok = FormatPageName(r.pattern, r.page, name);
        EXPECT_EQ(ok, r.name != nullptr) << r.pattern;
        if (ok && r.name) {
            EXPECT_EQ(name, r.name) << r.pattern;
        }
    }
}

TEST(GsPageNames, RangesCoverEveryPageOnceInOrder) {
    using Ranges = std::vector<std::pair<int, int>>;
    EXPECT_EQ(SplitPages(1, 10, 3), (Ranges{{1, 4}, {5, 7}, {8, 10}}));
    EXPECT_EQ(SplitPages(5, 12, 4), (Ranges{{5, 6}, {7, 8}, {9, 10}, {11, 12}}));
    EXPECT_EQ(SplitPages(1, 2, 5), (Ranges{{1, 1}, {2, 2}}));
    EXPECT_TRUE(SplitPages(3, 2, 2).empty());
}

TEST(GsPagedJobs, OnlyJobsWritingOnePageFilePerPageOfOnePdf) {
    const Args base = {"-dNOPAUSE", "-dBATCH",       "-dSAFER",
                       "-r300",     "-sDEVICE=jpeg", "-sOutputFile=/o/a b_p%04d.jpg",
                       "-f",        "/i/a b.pdf"};
    PagedJob job;
    ASSERT_TRUE(ParsePagedJob(base, job));
    EXPECT_EQ(job.input, "/i/a b.pdf");
    EXPECT_EQ(job.pattern, "/o/a b_p%04d.jpg");
    EXPECT_EQ(job.outputIndex, 5u);
    EXPECT_EQ(job.inputIndex, 6u);
    EXPECT_EQ(job.first, 1);
    EXPECT_EQ(job.last, 0);
    EXPECT_FALSE(job.tiff);

    Args span = base;
    span.insert(span.begin() + 5, {"-dFirstPage=3", "-dLastPage=40", "-sDEVICE=tiff24nc"});
    ASSERT_TRUE(ParsePagedJob(span, job));
    EXPECT_EQ(job.first, 3);
    EXPECT_EQ(job.last, 40);
    EXPECT_TRUE(job.tiff);

    struct Change {
        std::size_t at;
        const char* arg;  // replaces args[at]; nullptr removes it
    };
    const Change refused[] = {
        {4, "-sDEVICE=pdfwrite"},
        {4, "-sDEVICE=eps2write"},
        {4, "-sDEVICE=ps2write"},
        {5, "-sOutputFile=/o/all.tif"},
        {5, "-sOutputFile=%stdout"},
        {5, "-sOutputFile=/o%d/a.jpg"},
        {5, "-sOutputFile=|cat"},
        {0, nullptr},
        {1, nullptr},
        {3, "-c"},
        {3, "-sPageList=1,3"},
        {3, "-o"},
        {3, "-dFirstPage=x"},
        {7, "-"},
        {3, "/i/other.pdf"},
    };
    for (const Change& c : refused) {
        Args a = base;
        if (c.arg) {
            a[c.at] = c.arg;
        } else {
            a.erase(a.begin() + static_cast<long>(c.at));
        }
        EXPECT_FALSE(ParsePagedJob(a, job)) << (c.arg ? c.arg : "removed") << " at " << c.at;
    }
    Args after = base;
    after.push_back("-dLastPage=2");
    EXPECT_FALSE(ParsePagedJob(after, job)) << "a switch after the input";
}

TEST(GsPagedJobs, TiffPageIndexIsSetInPlace) {
    char tmpl[] = "/tmp/gsw_tiff_XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::string path = std::string(tmpl) + "/p.tif";
    // A little-endian header and an IFD with ImageWidth and PageNumber (index 0, total 0).
    std::string tiff("II*\0\x08\0\0\0", 8);
    tiff += std::string("\x02\0", 2);
    tiff += std::string("\x00\x01\x03\0\x01\0\0\0\x10\0\0\0", 12);
    tiff += std::string("\x29\x01\x03\0\x02\0\0\0\0\0\0\0", 12);
    tiff += std::string("\0\0\0\0", 4);
    WriteAll(path, tiff);
    ASSERT_TRUE(gsw::SetTiffPageIndex(path, 0x0103));
    std::string want = tiff;
    want[8 + 2 + 12 + 8] = 0x03;
    want[8 + 2 + 12 + 9] = 0x01;
    EXPECT_EQ(ReadAll(path), want);
    WriteAll(path, "not a tiff at all");
    EXPECT_FALSE(gsw::SetTiffPageIndex(path, 1));
    EXPECT_FALSE(gsw::SetTiffPageIndex(std::string(tmpl) + "/missing.tif", 1));
    ::unlink(path.c_str());
    ::rmdir(tmpl);
}

class GsPageRangeRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/gsw_ranges_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        base_ = tmpl;
        dir_ = base_ + "/页 a b";
        ASSERT_EQ(::mkdir(dir_.c_str(), 0755), 0);
        std::string ps = "%!PS\n/Helvetica findfont 30 scalefont setfont\n";
        for (int p = 1; p <= kPages; ++p)
            ps += "0 0 " + std::to_string(p % 3) + " 3 div setrgbcolor 72 700 moveto (Page " +
                  std::to_string(p) + ") show " + std::to_string(20 * p) +
                  " 100 100 200 rectfill showpage\n";
        WriteAll(base_ + "/doc.ps", ps);
        pdf_ = dir_ + "/doc.pdf";
        Outcome o = Run({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                         "-sOutputFile=" + pdf_, base_ + "/doc.ps"});
        ASSERT_EQ(o.code, 0) << o.out << o.err;
        // Stands in for Ghostscript: notes every run, fails the range that starts at page
        // $FAIL_AT, or the page $FAIL_AT handed to a page worker, when asked to, and hands
        // everything else to Debian's Ghostscript.
        WriteAll(base_ + "/gs.sh",
                 "#!/bin/sh\n"
                 "echo \"$*\" >> \"" +
                     base_ +
                     "/runs.log\"\n"
                     "echo $$ >> \"" +
                     base_ +
                     "/pids.log\"\n"
                     // A Ghostscript that never ends by itself, whatever its input does.
                     "if [ -n \"$HANG\" ]; then exec sleep 600; fi\n"
                     "worker=\n"
                     "if [ -n \"$FAIL_AT\" ]; then for a in \"$@\"; do\n"
                     "  if [ \"$a\" = -dFirstPage=$FAIL_AT ]; then echo 'Error: /ioerror in "
                     "--showpage--'; exit 1; fi\n"
                     "  if [ \"$a\" = -c ]; then worker=1; fi\n"
                     "done; fi\n"
                     // A page worker: the loop it runs fails on the line of page $FAIL_AT.
                     "if [ -n \"$worker\" ]; then n=$#; i=0; for a in \"$@\"; do i=$((i+1)); "
                     "[ $i -eq $n ] && a=\"{ (%stdin) (r) file 4096 string readline not { exit "
                     "} if dup ($FAIL_AT $FAIL_AT dopdfpages) anchorsearch { pop pop /showpage "
                     "/ioerror signalerror } { pop } ifelse cvx exec } loop\"; "
                     "set -- \"$@\" \"$a\"; shift; done; fi\n"
                     "exec gs \"$@\"\n",
                 0755);
    }
    static void TearDownTestSuite() { Run({"rm", "-rf", base_}); }

    static Outcome Run(const Args& argv, const Args& extraEnv = {}) {
        const std::string outPath = base_ + "/.out";
        const std::string errPath = base_ + "/.err";
        return tooltest::RunProcess(argv, outPath, errPath, extraEnv);
    }

    // Runs one job through the tool into `folder` (made afresh) with at most `processes`.
    static Outcome RunJob(const std::string& switches, const std::string& folder, int processes,
                          const Args& env = {}) {
        Run({"rm", "-rf", folder});
        EXPECT_EQ(::mkdir(folder.c_str(), 0755), 0);
        ::unlink((base_ + "/runs.log").c_str());
        const std::string resp = base_ + "/temp.log";
        WriteAll(resp, "-dNOPAUSE -dBATCH -dSAFER " + switches + " -sOutputFile=\"" + folder +
                           "/doc_p%04d" + Extension(switches) + "\" -f \"" + pdf_ + "\" \r\n");
        Args fullEnv = env;
        fullEnv.push_back("VEXOMAT_GS_PROCESSES=" + std::to_string(processes));
        fullEnv.push_back("VEXOMAT_GS=" + base_ + "/gs.sh");
        return Run({kTool, "@" + resp}, fullEnv);
    }

    static std::string Extension(const std::string& switches) {
        if (switches.find("jpeg") != std::string::npos) return ".jpg";
        if (switches.find("tiff") != std::string::npos) return ".tif";
        return ".bmp";
    }

    // The runs the stand-in saw that rendered a range into a folder of its own.
    static int RangeRuns() {
        std::istringstream log(ReadAll(base_ + "/runs.log"));
        int n = 0;
        for (std::string line; std::getline(log, line);)
            if (line.find("/.gswin32c-") != std::string::npos) ++n;
        return n;
    }

    // A TIFF names the moment it was written; that part is not the page's.
    static std::string Content(const std::string& path) {
        std::string bytes = ReadAll(path);
        if (path.size() > 4 && path.substr(path.size() - 4) == ".tif") {
            for (std::size_t at = 0; (at = bytes.find(':', at)) != std::string::npos; ++at)
                if (at >= 4 && at + 15 <= bytes.size() && bytes[at + 3] == ':' &&
                    bytes[at + 6] == ' ')
                    std::fill(bytes.begin() + static_cast<long>(at - 4),
                              bytes.begin() + static_cast<long>(at + 15), '#');
        }
        return bytes;
    }

    static constexpr int kPages = 16;
    static std::string base_, dir_, pdf_;
};

std::string GsPageRangeRun::base_, GsPageRangeRun::dir_, GsPageRangeRun::pdf_;

TEST_F(GsPageRangeRun, PagesAreTheBytesAndNamesOfOneRun) {
    const std::string jobs[] = {
        "-dJPEGQ=75 -r40 -dUseCIEColor -sDEVICE=jpeg",
        "-r30 -sDEVICE=bmp16m",
        "-r30 -sDEVICE=bmp256 -dFirstPage=2 -dLastPage=15",
        "-r30 -dUseCIEColor -sDEVICE=tiff24nc -dFirstPage=3",
    };
    for (const std::string& job : jobs) {
        const std::string one = base_ + "/one", many = base_ + "/many";
        const Outcome single = RunJob(job, one, 1);
        EXPECT_EQ(RangeRuns(), 0) << job;
        const Outcome split = RunJob(job, many, 3);
        EXPECT_EQ(RangeRuns(), 3) << job;
        EXPECT_EQ(single.code, 0) << job << single.out;
        EXPECT_EQ(split.code, 0) << job << split.out;
        EXPECT_EQ(single.err, "") << job;
        EXPECT_EQ(split.err, "") << job;
        EXPECT_EQ(split.out, single.out) << job;
        const std::vector<std::string> names = List(one);
        EXPECT_GE(names.size(), 9u) << job;
        ASSERT_EQ(List(many), names) << job;  // no folder of the ranges is left either
        for (const std::string& name : names)
            EXPECT_TRUE(Content(many + "/" + name) == Content(one + "/" + name))
                << job << " " << name;
    }
}

// Where the page objects show in the file, the ranges start without a counting run of
// Ghostscript and the last one runs to the end. A file whose objects promise more pages
// than it has (here words after its end) leaves the ranges past its end with nothing to
// draw. Pages, names and what the caller reads stay those of one run.
TEST_F(GsPageRangeRun, RangesFollowThePageObjectsWithoutACountingRun) {
    const std::string plain = ReadAll(pdf_);
    // Words after the end of the file that look like page objects to the count.
    auto promising = [&](int extra) {
        std::string bytes = plain;
        for (int i = 0; i < extra; ++i) bytes += "% /Type /Page\n";
        return bytes;
    };
    const struct Row {
        const char* what;
        std::string bytes;
        int processes;
    } rows[] = {
        {"as written", plain, 3},
        {"ten pages too many: the third range lies past the end", promising(10), 3},
        {"twenty too many: the last two ranges lie past the end", promising(20), 4},
    };
    const std::string saved = pdf_;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        pdf_ = base_ + "/counted.pdf";
        WriteAll(pdf_, row.bytes);
        const std::string one = base_ + "/one", many = base_ + "/many";
        const Outcome single = RunJob("-r20 -sDEVICE=bmp16m", one, 1);
        const Outcome split = RunJob("-r20 -sDEVICE=bmp16m", many, row.processes);
        EXPECT_EQ(ReadAll(base_ + "/runs.log").find("pdfpagecount"), std::string::npos);
        EXPECT_EQ(RangeRuns(), row.processes);
        EXPECT_EQ(split.code, 0) << split.out << split.err;
        EXPECT_EQ(split.err, single.err);
        EXPECT_EQ(split.out, single.out);
        const std::vector<std::string> names = List(one);
        EXPECT_EQ(names.size(), size_t(kPages));
        ASSERT_EQ(List(many), names);
        for (const std::string& name : names)
            EXPECT_TRUE(ReadAll(many + "/" + name) == ReadAll(one + "/" + name)) << name;
    }
    pdf_ = saved;
}

TEST_F(GsPageRangeRun, FewPagesOrOneProcessorRunOnce) {
    RunJob("-r30 -sDEVICE=bmp16m -dFirstPage=2 -dLastPage=8", base_ + "/few", 4);
    EXPECT_EQ(RangeRuns(), 0);
    EXPECT_EQ(List(base_ + "/few").size(), 7u);
}

// A job that names the PDF interpreter goes over page ranges rather than to page workers.
TEST_F(GsPageRangeRun, AFailedRangeFailsTheJobAndEndsItThere) {
    const std::string out = base_ + "/failed";
    const Outcome o = RunJob("-dNEWPDF=true -r30 -sDEVICE=bmp16m", out, 3, {"FAIL_AT=7"});
    EXPECT_EQ(RangeRuns(), 3);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("exit code 1"), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("/ioerror"), std::string::npos) << o.err;
    // Ranges 1-6, 7-11, 12-16: the pages before the failure are there, none after it, and
    // no folder of the ranges is left.
    EXPECT_EQ(List(out),
              (std::vector<std::string>{"doc_p0001.bmp", "doc_p0002.bmp", "doc_p0003.bmp",
                                        "doc_p0004.bmp", "doc_p0005.bmp", "doc_p0006.bmp"}));
}

// A document of uneven pages: sizes, amounts of drawing and fonts that first appear on
// later pages differ from page to page.
std::string UnevenDocument() {
    std::string ps = "%!PS\n";
    const char* fonts[] = {"Helvetica", "Times-Roman", "Courier", "Helvetica-Bold"};
    for (int p = 1; p <= 14; ++p) {
        const int width = p % 4 == 0 ? 842 : 595, height = p % 4 == 0 ? 595 : 842;
        ps += "<< /PageSize [" + std::to_string(width) + " " + std::to_string(height) +
              "] >> setpagedevice\n";
        // Every fifth page is heavy: a grid of small coloured squares.
        if (p % 5 == 0)
            ps += "0 6 " + std::to_string(width) + " { /x exch def 0 6 " + std::to_string(height) +
                  " { /y exch def x 300 mod 300 div y 400 mod 400 div 0.5 setrgbcolor x y 5 5 "
                  "rectfill } for } for\n";
        ps += "/" + std::string(fonts[(p * p) % 4 == 0 ? 0 : (p > 8 ? 2 : p % 2)]) + " findfont " +
              std::to_string(12 + p) + " scalefont setfont 0 setgray 60 " +
              std::to_string(height - 80) + " moveto (Page " + std::to_string(p) +
              ", uneven) show showpage\n";
    }
    return ps;
}

// The page workers against one bare Ghostscript run with the same switches: the same
// files under the same names, the same standard output and error output, for several
// devices, spans and numbers of workers, from a folder whose name holds ":" (which
// Ghostscript's list of readable files cannot hold).
TEST_F(GsPageRangeRun, PageWorkersGiveTheFilesAndOutputsOfOneBareRun) {
    const std::string folder = base_ + "/页:x (1)";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    WriteAll(base_ + "/uneven.ps", UnevenDocument());
    const std::string uneven = folder + "/uneven.pdf";
    ASSERT_EQ(Run({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                   "-sOutputFile=" + uneven, base_ + "/uneven.ps"})
                  .code,
              0);
    const struct Row {
        const char* switches;
        const char* extension;
        int processes;
        int workers;  // at least four pages each
    } rows[] = {
        {"-dJPEGQ=80 -r40 -sDEVICE=jpeg", ".jpg", 3, 3},
        {"-r30 -sDEVICE=jpeg", ".jpg", 2, 2},
        {"-r25 -sDEVICE=tiff24nc -dFirstPage=3", ".tif", 5, 3},
        {"-r20 -sDEVICE=bmp16m -dFirstPage=2 -dLastPage=40", ".bmp", 3, 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.switches);
        const std::string one = base_ + "/bare", many = base_ + "/workers";
        Run({"rm", "-rf", one, many});
        ASSERT_EQ(::mkdir(one.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(many.c_str(), 0755), 0);
        Args bare = {"gs", "-dNOPAUSE", "-dBATCH", "-dSAFER"};
        std::istringstream words(row.switches);
        for (std::string w; words >> w;) bare.push_back(w);
        bare.push_back("-sOutputFile=" + one + "/u_p%04d" + row.extension);
        bare.push_back("-f");
        bare.push_back(uneven);
        const Outcome single = Run(bare);

        ::unlink((base_ + "/runs.log").c_str());
        WriteAll(base_ + "/temp.log", "-dNOPAUSE -dBATCH -dSAFER " + std::string(row.switches) +
                                          " -sOutputFile=\"" + many + "/u_p%04d" + row.extension +
                                          "\" -f \"" + uneven + "\"\r\n");
        const Outcome split = Run({kTool, "@" + base_ + "/temp.log"},
                                  {"VEXOMAT_GS_PROCESSES=" + std::to_string(row.processes),
                                   "VEXOMAT_GS=" + base_ + "/gs.sh"});
        EXPECT_EQ(RangeRuns(), row.workers);
        EXPECT_EQ(single.code, 0) << single.out << single.err;
        EXPECT_EQ(split.code, single.code) << split.out << split.err;
        EXPECT_EQ(split.out, single.out);
        EXPECT_EQ(split.err, single.err);
        const std::vector<std::string> names = List(one);
        EXPECT_GE(names.size(), 12u);
        ASSERT_EQ(List(many), names);  // nothing of the workers is left either
        for (const std::string& name : names)
            EXPECT_TRUE(Content(many + "/" + name) == Content(one + "/" + name)) << name;
    }
}

// A span that starts past the end of the document, which the workers cannot take apart,
// is run whole: what one run says, and no file.
TEST_F(GsPageRangeRun, ASpanPastTheEndIsRunWhole) {
    const std::string out = base_ + "/past";
    const Outcome split = RunJob("-r20 -sDEVICE=bmp16m -dFirstPage=30", out, 3);
    const Outcome single = RunJob("-r20 -sDEVICE=bmp16m -dFirstPage=30", out, 1);
    EXPECT_EQ(split.code, single.code);
    EXPECT_EQ(split.out, single.out);
    EXPECT_NE(split.out.find("FirstPage is greater"), std::string::npos) << split.out;
    EXPECT_EQ(split.err, single.err);
    EXPECT_TRUE(List(out).empty());
}

// A page on which its worker ends, as one run would have ended there, fails the job: the
// pages before it are there, none after it, and nothing of the workers is left.
TEST_F(GsPageRangeRun, APageThatEndsItsWorkerFailsTheJobThere) {
    const std::string out = base_ + "/failed-worker";
    const Outcome o = RunJob("-r30 -sDEVICE=bmp16m", out, 3, {"FAIL_AT=7"});
    EXPECT_EQ(RangeRuns(), 3);
    EXPECT_EQ(o.code, 1);
    EXPECT_NE(o.err.find("exit code 1"), std::string::npos) << o.err;
    EXPECT_NE(o.out.find("Error: /ioerror"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find("Page 8"), std::string::npos) << o.out;
    EXPECT_EQ(List(out),
              (std::vector<std::string>{"doc_p0001.bmp", "doc_p0002.bmp", "doc_p0003.bmp",
                                        "doc_p0004.bmp", "doc_p0005.bmp", "doc_p0006.bmp"}));
}

bool Gone(pid_t pid) {
    if (::kill(pid, 0) != 0) return true;
    std::istringstream stat(ReadAll("/proc/" + std::to_string(pid) + "/stat"));
    std::string id, name, state;
    stat >> id >> name >> state;  // (names here hold no blank)
    return state == "Z" || state.empty();
}

// The console program killed in the middle of a job (as the program's cancel and its own
// end do) takes every page worker with it, also workers that would never end by themselves.
TEST_F(GsPageRangeRun, EveryWorkerEndsWithTheConsoleProgram) {
    const std::string out = base_ + "/killed";
    Run({"rm", "-rf", out});
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    ::unlink((base_ + "/pids.log").c_str());
    WriteAll(base_ + "/temp.log", "-dNOPAUSE -dBATCH -dSAFER -r60 -sDEVICE=jpeg -sOutputFile=\"" +
                                      out + "/k_p%04d.jpg\" -f \"" + pdf_ + "\"\r\n");
    Args env = {"VEXOMAT_GS_PROCESSES=3", "VEXOMAT_GS=" + base_ + "/gs.sh", "HANG=1"};
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string tool = kTool, arg = "@" + base_ + "/temp.log";
    char* argv[] = {tool.data(), arg.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, argv, envp.data()), 0);
    auto workers = [&] {
        std::vector<pid_t> pids;
        std::istringstream log(ReadAll(base_ + "/pids.log"));
        for (pid_t p; log >> p;) pids.push_back(p);
        return pids;
    };
    for (int i = 0; i < 1000 && workers().size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(workers().size(), 3u);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    bool allGone = false;
    for (int i = 0; i < 1000 && !allGone; ++i) {
        allGone = true;
        for (pid_t p : workers()) allGone = allGone && Gone(p);
        if (!allGone) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(allGone);
    for (pid_t p : workers())
        if (!Gone(p)) ::kill(p, SIGKILL);
}

}  // namespace
