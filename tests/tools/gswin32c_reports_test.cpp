// What gswin32c.exe adds to a job so its caller can judge it: a line per finished page, the
// number of pages shown, and a verdict that states the error or the missing page.
#include <gtest/gtest.h>

#include <algorithm>

#include "tools/gswin32c/adapt.h"
#include "tools/gswin32c/relay.h"

using Args = std::vector<std::string>;

namespace {

class Collect : public gsw::RelaySink {
public:
    void Out(std::string_view text) override { out += text; }
    void Err(std::string_view text) override { err += text; }
    std::string out, err;
};

}  // namespace

TEST(GsPageReports, TheReportsStandAroundTheInputs) {
    struct Row {
        Args in;
        size_t hookAt;  // where "-c <hook> -f" goes
        bool counted;
    } rows[] = {
        {{"-dNOPAUSE", "-sDEVICE=pdfwrite", "-sOutputFile=a.pdf", "-f", "a.ps"}, 3, true},
        {{"-sDEVICE=pdfwrite", "-c", "<</Orientation 3>> setpagedevice", "-f", "a.ps"}, 1, true},
        {{"-sDEVICE=pdfwrite", "a.ps"}, 1, true},
        {{"-sDEVICE=jpeg", "-dFirstPage=3", "-dLastPage=3", "-f", "a.pdf"}, 3, false},
    };
    for (const Row& r : rows) {
        const Args out = gsw::WithPageReports(r.in);
        ASSERT_GE(out.size(), r.in.size() + 3);
        EXPECT_EQ(Args(out.begin(), out.begin() + std::ptrdiff_t(r.hookAt)),
                  Args(r.in.begin(), r.in.begin() + std::ptrdiff_t(r.hookAt)));
        EXPECT_EQ(out[r.hookAt], "-c");
        EXPECT_NE(out[r.hookAt + 1].find("/EndPage"), std::string::npos);
        EXPECT_EQ(out[r.hookAt + 2], "-f");
        const size_t tail = r.counted ? 3 : 0;
        EXPECT_EQ(
            Args(out.begin() + std::ptrdiff_t(r.hookAt + 3), out.end() - std::ptrdiff_t(tail)),
            Args(r.in.begin() + std::ptrdiff_t(r.hookAt), r.in.end()));
        if (r.counted) {
            EXPECT_NE(out[out.size() - 2].find("/PageCount"), std::string::npos);
        }
    }
}

TEST(GsPageReports, TheCountIsReadFromItsLineOnly) {
    EXPECT_EQ(gsw::PagesShownIn("%%[vexomat: pages shown 0]%%\n"), 0);
    EXPECT_EQ(gsw::PagesShownIn("%%[vexomat: pages shown 12]%%"), 12);
    EXPECT_EQ(gsw::PagesShownIn("Page 3\n"), -1);
    EXPECT_EQ(gsw::PagesShownIn("%%[vexomat: pages shown ]%%"), -1);
}

TEST(GsVerdict, NoPageAndStatedErrors) {
    struct Row {
        const char* why;
        gsw::RelayResult result;
        std::string err;
        int exitCode;
    } rows[] = {
        {"no page shown",
         [] {
             gsw::RelayResult r;
             r.pagesShown = 0;
             return r;
         }(),
         std::string(gsw::kNoPageLine) + "\n", 1},
        {"a blank page shown",
         [] {
             gsw::RelayResult r;
             r.pagesShown = 1;
             return r;
         }(),
         "", 0},
        {"the error stated on the standard output follows the summary",
         [] {
             gsw::RelayResult r;
             r.code = 1;
             r.wroteError = true;
             r.failureLines = {"Error: /undefined in this_is_undefined"};
             return r;
         }(),
         "Error: /undefined in this_is_undefined\n", 1},
    };
    for (const Row& r : rows) {
        Collect sink;
        gsw::WriteVerdict(r.result, sink);
        EXPECT_EQ(sink.err, r.err) << r.why;
        EXPECT_EQ(gsw::ExitCodeOf(r.result), r.exitCode) << r.why;
    }
}

TEST(GsVerdict, RelayedLinesFeedTheFindings) {
    Collect sink;
    gsw::RelayResult found;
    gsw::RelayStream out(false);
    out.Feed(
        "%%[vexomat: input 1.pdf]%%\nPage 1\n%%[vexomat: page done]%%\n%%[vexomat: input "
        "2.pdf]%%\nError: /undefined in x\nLast OS error: Permission "
        "denied\n%%[vexomat: pages shown 1]%%\n",
        found, sink);
    out.End(found, sink);
    EXPECT_EQ(found.pagesShown, 1);
    EXPECT_EQ(found.failedInput, "2.pdf");
    // Our reports are taken out of what is passed on.
    EXPECT_EQ(sink.out, "Page 1\nError: /undefined in x\nLast OS error: Permission denied\n");
    EXPECT_EQ(found.failureLines, (std::vector<std::string>{"Error: /undefined in x",
                                                            "Last OS error: Permission denied"}));
}

TEST(GsVerdict, AWarningIsNoFailureAndBelongsToNoInputAfterTheLast) {
    // Ghostscript warns at the end of a complete merge, when it closes the output.
    Collect sink;
    gsw::RelayResult found;
    gsw::RelayStream out(false), err(true);
    out.Feed(
        "%%[vexomat: input /d/a.pdf]%%\nPage 1\n%%[vexomat: end of input]%%\n%%[vexomat: input "
        "/d/zz.pdf]%%\nPage 1\n%%[vexomat: end of input]%%\n%%[vexomat: pages shown 2]%%\n",
        found, sink);
    err.Feed("GPL Ghostscript 10.00.0: PDFDocEncoding 7f cannot be represented in Unicode", found,
             sink);
    out.End(found, sink);
    err.End(found, sink);
    EXPECT_EQ(found.failedInput, "");
    Collect passed;
    gsw::PassErrorOutput(found, sink.err, passed);
    gsw::WriteVerdict(found, passed);
    EXPECT_EQ(passed.err, "");
    EXPECT_NE(passed.out.find("PDFDocEncoding"), std::string::npos);
    EXPECT_EQ(gsw::ExitCodeOf(found), 0);
}

TEST(GsVerdict, OnlyACompleteJobOnlyWarned) {
    const auto with = [](auto change) {
        gsw::RelayResult r;
        r.wroteError = true;
        r.pagesShown = 2;
        change(r);
        return r;
    };
    struct Row {
        const char* why;
        gsw::RelayResult result;
        bool warned;
    } rows[] = {
        {"complete", with([](gsw::RelayResult&) {}), true},
        {"pages asked for, none counted", with([](gsw::RelayResult& r) { r.pagesShown = -1; }),
         true},
        {"exit code", with([](gsw::RelayResult& r) { r.code = 1; }), false},
        {"no page", with([](gsw::RelayResult& r) { r.pagesShown = 0; }), false},
        {"a page not drawn", with([](gsw::RelayResult& r) { r.silentFailure = true; }), false},
        {"an input not read", with([](gsw::RelayResult& r) { r.fatal = true; }), false},
        {"a repaired input", with([](gsw::RelayResult& r) { r.repaired = true; }), false},
        {"a failure stated",
         with([](gsw::RelayResult& r) { r.failureLines = {"Last OS error: x"}; }), false},
        {"nothing written", with([](gsw::RelayResult& r) { r.wroteError = false; }), false},
    };
    for (const Row& r : rows) EXPECT_EQ(gsw::OnlyWarned(r.result), r.warned) << r.why;
}

TEST(GsVerdict, AGhostscriptThatDiesWithoutAWordFailedInTheInputItWasReading) {
    gsw::RelayResult r;
    r.code = 139;
    r.currentInput = "/d/deep.pdf";
    Collect sink;
    gsw::WriteVerdict(r, sink);
    EXPECT_NE(sink.err.find(std::string(gsw::kFailedInputLine) + "/d/deep.pdf\n"),
              std::string::npos)
        << sink.err;
}

namespace {

// The findings of a job whose one input is a PostScript program, as the relay keeps them.
gsw::RelayResult ProgramJob(bool announced) {
    gsw::RelayResult r;
    r.programInputs = {"/d/a.ps"};
    r.inputsAnnounced = announced;
    return r;
}

}  // namespace

TEST(GsVerdict, TextAProgramPrintsNeitherFailsNorExplainsTheJob) {
    const std::string printed =
        "Error: /undefined in fakeop\n   **** Error: Page drawing error occurred.\n"
        "Unrecoverable error, exit code 1\nCould not open the file x\n";
    struct Row {
        const char* why;
        std::string ghostscriptSays;  // on the standard output, after what the job printed
        int code;
        std::string verdict;  // the error output's last line
    } rows[] = {
        {"the page drawn, exit code 0", "%%[vexomat: pages shown 1]%%\n", 0, ""},
        {"a real error after the printed ones",
         "Error: /undefinedresult in --div--\nOperand stack:\n   1   0\n", 1,
         std::string(gsw::kEndedWithLine) + "Error: /undefinedresult in --div--\n"},
        {"a printed statement without a dump is no statement",
         "Error: /undefined in printed\nprinted too\n", 1,
         "gswin32c: Ghostscript ended with exit code 1\n"},
    };
    for (const Row& r : rows) {
        Collect sink;
        gsw::RelayResult found = ProgramJob(false);
        gsw::RelayStream out(false), err(true);
        out.Feed(printed + r.ghostscriptSays, found, sink);
        err.Feed(printed, found, sink);
        out.End(found, sink);
        err.End(found, sink);
        found.code = r.code;
        EXPECT_FALSE(found.silentFailure) << r.why;
        EXPECT_FALSE(found.fatal) << r.why;
        EXPECT_TRUE(found.failureLines.empty()) << r.why;
        // What it wrote to %stderr stays with its other text.
        EXPECT_EQ(sink.err, "") << r.why;
        ASSERT_GE(sink.out.size(), printed.size()) << r.why;
        EXPECT_EQ(sink.out.substr(sink.out.size() - printed.size()), printed) << r.why;
        Collect passed;
        gsw::PassErrorOutput(found, sink.err, passed);
        gsw::WriteVerdict(found, passed);
        EXPECT_EQ(gsw::ExitCodeOf(found), r.code) << r.why;
        if (r.verdict.empty()) {
            EXPECT_EQ(passed.err, "") << r.why;
        } else {
            ASSERT_GE(passed.err.size(), r.verdict.size()) << r.why;
            EXPECT_EQ(passed.err.substr(passed.err.size() - r.verdict.size()), r.verdict)
                << r.why << "\n"
                << passed.err;
        }
    }
}

TEST(GsVerdict, AfterAnAnnouncedProgramGhostscriptSpeaksAgain) {
    // The program has run; closing the output on a full disk fails with exit code 0.
    Collect sink;
    gsw::RelayResult found = ProgramJob(true);
    gsw::RelayStream out(false), err(true);
    out.Feed("%%[vexomat: input /d/a.ps]%%\n", found, sink);
    err.Feed("GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing ps2write device.\n", found,
             sink);
    EXPECT_FALSE(found.silentFailure) << "said while the program ran";
    out.Feed("%%[vexomat: end of input]%%\n%%[vexomat: pages shown 1]%%\n", found, sink);
    err.Feed("GPL Ghostscript 10.00.0: ERROR: ioerror (-12) on closing ps2write device.\n", found,
             sink);
    out.End(found, sink);
    err.End(found, sink);
    EXPECT_TRUE(found.silentFailure);
    EXPECT_EQ(gsw::ExitCodeOf(found), 1);
}

TEST(GsVerdict, TheStatementItsStackDumpFollowsIsGhostscriptsOwn) {
    Collect sink;
    gsw::RelayResult found;
    gsw::RelayStream out(false);
    out.Feed(
        "Error: /undefined in first\nsome text\nError: /typecheck in --add--\nOperand stack:\n"
        "   1   (x)\n   **** Error: Page drawing error occurred.\n"
        "               Output may be incorrect.\nPage 2\n",
        found, sink);
    out.End(found, sink);
    EXPECT_EQ(found.statedError, "Error: /typecheck in --add--");
    // What became of the page is kept with the failure it explains.
    EXPECT_NE(
        std::find(found.failureLines.begin(), found.failureLines.end(), "Output may be incorrect."),
        found.failureLines.end());
    EXPECT_EQ(std::find(found.failureLines.begin(), found.failureLines.end(), "Page 2"),
              found.failureLines.end());
}
