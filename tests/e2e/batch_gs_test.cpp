// Unattended runs of the Ghostscript functions with real Ghostscript: result names, page
// counts, image sizes, exit codes, and what a run leaves behind.
#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        work = TempFolder("vx work $ 'q' 文件 ");
        WritePostScript(work + "doc one.ps", 3);
        ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "doc one.ps", "-d", work}).exitCode, 0)
            << prog.Log();
        pdf = work + "doc one.pdf";
        ASSERT_TRUE(Exists(pdf));
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }
    // No random 8-digit temporary folder may stay behind in the source folder.
    void ExpectNoTempFolder() {
        for (auto& name : Listing(work))
            EXPECT_FALSE(name.size() == 8 &&
                         name.find_first_not_of("0123456789") == std::string::npos)
                << name;
    }
    ProgramFolder prog;
    std::string work, pdf;
};

}  // namespace

TEST_F(BatchRun, PostScriptBecomesPdfWithAllPages) {
    EXPECT_EQ(PdfPages(pdf, work), 3);
    ExpectNoTempFolder();
    std::string log = prog.Log();
    EXPECT_NE(log.find("| 功能"), std::string::npos);
    EXPECT_NE(log.find("ps2pdf"), std::string::npos);
    EXPECT_FALSE(Exists(prog.dir + "config.ini"));  // a batch run writes no settings
}

TEST_F(BatchRun, PdfToJpegPagesAtTheChosenResolution) {
    std::string out = work + "out dir/";
    std::filesystem::create_directories(out);
    RunResult r = prog.Vexomat({"-c", "pdf2jpg", "-s", pdf, "-d", out, "-or", "72"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"doc one_p0001.jpg", "doc one_p0002.jpg",
                                                      "doc one_p0003.jpg"}));
    int w = 0, h = 0;
    ASSERT_TRUE(JpegSize(out + "doc one_p0001.jpg", w, h));
    EXPECT_EQ(w, 595);
    EXPECT_EQ(h, 842);
    ExpectNoTempFolder();
}

TEST_F(BatchRun, PdfToBmpTiffEpsAndPs) {
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2bmp", "-s", pdf, "-d", work, "-or", "=50"}).exitCode, 0)
        << prog.Log();
    EXPECT_TRUE(Exists(work + "doc one_p0003.bmp"));
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2tiff", "-s", pdf, "-d", work, "-or", "=50"}).exitCode, 0)
        << prog.Log();
    bool anyTiff = false;
    for (auto& n : Listing(work))
        anyTiff = anyTiff || (n.size() > 5 && n.substr(n.size() - 5) == ".tiff");
    EXPECT_TRUE(anyTiff);
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2eps", "-s", pdf, "-d", work}).exitCode, 0) << prog.Log();
    EXPECT_TRUE(Exists(work + "doc one_p0001.eps"));
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2ps", "-s", pdf, "-d", work}).exitCode, 0) << prog.Log();
    EXPECT_EQ(Slurp(work + "doc one.ps").substr(0, 4), "%!PS");
    ExpectNoTempFolder();
}

TEST_F(BatchRun, ReducedPdfKeepsTheSourceExtensionCase) {
    std::filesystem::copy_file(pdf, work + "Caps.PDF");
    ASSERT_EQ(
        prog.Vexomat({"-c", "pdf2pdf", "-s", work + "Caps.PDF", "-d", work, "-of", "s"}).exitCode,
        0)
        << prog.Log();
    EXPECT_TRUE(Exists(work + "Caps_REDUCED.PDF"));
    EXPECT_EQ(PdfPages(work + "Caps_REDUCED.PDF", work), 3);
}

TEST_F(BatchRun, ExistingSettingsStayUntouched) {
    const std::string ini =
        "[COMMON]\nLAST_CONVERTING_FUNCTION=13\nAUTO_SHOW=1\n\n[PDF2JPG]\nRADIOBUTTON_RESOLUTION72="
        "1\n";
    Spit(prog.dir + "config.ini", ini);
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2jpg", "-s", pdf, "-d", work}).exitCode, 0) << prog.Log();
    EXPECT_EQ(Slurp(prog.dir + "config.ini"), ini);
    // The saved 72 dpi is not used: a batch run starts from the built-in 300 dpi.
    int w = 0, h = 0;
    ASSERT_TRUE(JpegSize(work + "doc one_p0001.jpg", w, h));
    EXPECT_EQ(w, 2479);
}

TEST_F(BatchRun, MissingDestinationFallsBackToTheSourceFolder) {
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2ps", "-s", pdf, "-d", work + "no such folder/"}).exitCode, 0)
        << prog.Log();
    EXPECT_TRUE(Exists(work + "doc one.ps"));
}

TEST_F(BatchRun, DamagedPdfFailsWithExitCodeOneAndLeavesNothing) {
    Spit(work + "broken.pdf", "this is not a PDF at all\n");
    RunResult r = prog.Vexomat({"-c", "pdf2jpg", "-s", work + "broken.pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    std::string log = prog.Log();
    EXPECT_NE(log.find("在进行 gs 转换时出错。"), std::string::npos) << log;
    EXPECT_NE(log.find("转换处理已完成但带有错误!"), std::string::npos);
    EXPECT_FALSE(Exists(work + "broken_p0001.jpg"));
    ExpectNoTempFolder();
}

TEST_F(BatchRun, CommonFailuresSayWhyInOurWords) {
    // A PDF that needs a password, a resolution Ghostscript cannot take, a damaged PDF:
    // the message says why in a sentence of ours; the day log keeps Ghostscript's line.
    const std::string locked = work + "locked.pdf";
    Exec({"qpdf", "--encrypt", "user", "owner", "256", "--", pdf, locked}, work + "qpdf.txt");
    ASSERT_TRUE(Exists(locked));
    Spit(work + "cut.pdf", Slurp(pdf).substr(0, 400));
    struct Row {
        std::vector<std::string> args;
        std::string sentence, line;
    } rows[] = {{{"-c", "pdf2jpg", "-s", locked, "-d", work},
                 "该文件受密码保护，需要密码才能打开。",
                 "This file requires a password for access."},
                {{"-c", "pdf2jpg", "-s", pdf, "-d", work, "-or", "=1"},
                 "所选的分辨率超出了可以处理的范围，请选择其他分辨率。 (参数 -or)",
                 "Unrecoverable error: rangecheck in setscreen"},
                {{"-c", "pdf2jpg", "-s", work + "cut.pdf", "-d", work},
                 "文件已损坏，或不是可以转换的文件。",
                 ""}};
    for (const Row& r : rows) {
        EXPECT_EQ(prog.Vexomat(r.args).exitCode, 1);
        const std::string log = prog.Log();
        EXPECT_NE(log.find("在进行 gs 转换时出错。 ⏎ " + r.sentence), std::string::npos) << log;
        EXPECT_NE(log.find("| ErrorLine    | " + r.line), std::string::npos) << log;
    }
}

TEST_F(BatchRun, WrongExtensionAndMissingSourceFail) {
    RunResult wrong = prog.Vexomat({"-c", "pdf2jpg", "-s", work + "doc one.ps", "-d", work});
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_NE(prog.Log().find("源文件没有正确的文件扩展名!"), std::string::npos);
}

TEST_F(BatchRun, RelativeSourceLeavesNoTemporaryFolder) {
    // The source named relative to the current folder: its temporary folder is relative too.
    ASSERT_EQ(prog.Vexomat({"-c", "pdf2ps", "-s", "doc one.pdf", "-d", work}, work).exitCode, 0)
        << prog.Log();
    EXPECT_TRUE(Exists(work + "doc one.ps"));
    ExpectNoTempFolder();
}

TEST_F(BatchRun, RunsSideBySideShareTheProgramFolderSafely) {
    // Unattended runs started together use one log folder and one response file name.
    std::vector<pid_t> pids;
    for (int i = 0; i < 4; ++i) {
        WritePostScript(work + "p" + std::to_string(i) + ".ps", i + 1);
        std::vector<std::string> argv{prog.dir + "vexomat",
                                      "-c",
                                      "ps2pdf",
                                      "-s",
                                      work + "p" + std::to_string(i) + ".ps",
                                      "-d",
                                      work};
        pids.push_back(Start(argv, work + "out" + std::to_string(i) + ".txt"));
    }
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Finish(pids[size_t(i)], work + "out" + std::to_string(i) + ".txt").exitCode, 0);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PdfPages(work + "p" + std::to_string(i) + ".pdf", work), i + 1) << i;
    ExpectNoTempFolder();
}

TEST(BatchRunWithoutGhostscript, TheCheckEndsTheRunAndTheTemporaryFolderGoes) {
    // A program folder without the console program: the check's message ends the process
    // in the middle of the run, and the run's temporary folder goes with it.
    std::string dir = TempFolder("vx no gs ");
    std::string bin = VEXOMAT_BIN_DIR;
    symlink((bin + "/vexomat").c_str(), (dir + "vexomat").c_str());
    WritePostScript(dir + "a.ps", 1);
    RunResult r =
        Exec({dir + "vexomat", "-c", "ps2pdf", "-s", dir + "a.ps", "-d", dir}, dir + "out.txt");
    EXPECT_EQ(r.exitCode, 1);
    for (auto& name : Listing(dir))
        EXPECT_FALSE(name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos)
            << name;
    EXPECT_FALSE(Exists(dir + "a.pdf"));
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
