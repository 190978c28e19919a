// What an unattended run does with hostile names, a misbehaving Ghostscript, a broken
// environment and an interruption: a run either gives a complete result and exit code 0,
// or exit code 1 with a reason and every file that was there before as it was.
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <map>
#include <random>
#include <thread>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

// Every file of a folder (not descending) with its contents, links by their targets.
std::map<std::string, std::string> Snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& name : Listing(dir)) {
        const std::string p = dir + name;
        std::error_code ec;
        if (std::filesystem::is_symlink(p, ec))
            files[name] = "-> " + std::filesystem::read_symlink(p, ec).string();
        else if (std::filesystem::is_regular_file(p, ec))
            files[name] = Slurp(p);
        else
            files[name] = "<folder>";
    }
    return files;
}

std::string GetTmp() {
    const char* t = std::getenv("TMPDIR");
    return std::string(t && *t ? t : "/tmp") + "/";
}

bool IsRunFolder(const std::string& name) {
    return name.size() == 8 && name.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<std::string> RunFolders(const std::string& dir) {
    std::vector<std::string> found;
    for (const auto& n : Listing(dir))
        if (IsRunFolder(n)) found.push_back(n);
    return found;
}

bool ProcessGone(pid_t pid) {
    if (::kill(pid, 0) != 0) return true;
    const std::string stat = Slurp("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
}

// Waits (bounded) for a file that a child writes; false when it did not come.
bool WaitForFile(const std::string& path, std::chrono::seconds bound) {
    const auto end = Clock::now() + bound;
    while (!Exists(path) || Slurp(path).empty()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

bool GoneWithin(pid_t pid, std::chrono::milliseconds bound) {
    const auto end = Clock::now() + bound;
    while (!ProcessGone(pid)) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

class Safety : public ::testing::Test {
protected:
    void SetUp() override { work = TempFolder("vx safety "); }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }
    ProgramFolder prog;
    std::string work;
};

}  // namespace

TEST_F(Safety, NamesThatLookLikeDevicesResponseFilesOrSwitchesAreFileNames) {
    // (Relative names become absolute before they reach Ghostscript: see the engine's test.)
    for (const char* name : {"@evil.ps", "-dash.ps"}) WritePostScript(work + name, 1);
    Spit(work + "evil.ps", "-sOutputFile=/dev/null -c quit\n");
    for (const char* name : {"@evil.ps", "-dash.ps"}) {
        RunResult r = prog.Vexomat({"-c", "ps2pdf", "-s", work + name, "-d", work}, work);
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << r.output << prog.Log();
    }
    EXPECT_EQ(PdfPages(work + "@evil.pdf", work), 1);
    EXPECT_EQ(PdfPages(work + "-dash.pdf", work), 1);
}

TEST_F(Safety, ANameThatIsNotUtf8ConvertsItselfNotItsLookAlike) {
    WritePostScript(work + "1.ps", 2);
    const std::string gbk =
        "\xb1\xa8\xb8\xe6"
        "1";  // "报告1" in GBK
    WritePostScript(work + gbk + ".ps", 1);
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "1.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + gbk + ".ps", "-d", work}).exitCode, 0)
        << prog.Log();
    RunResult r = prog.Vexomat({"-c", "pdf2pdf", "-s", work + gbk + ".pdf", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << r.output << prog.Log();
    EXPECT_EQ(PdfPages(work + gbk + "_REDUCED.pdf", work), 1);
    EXPECT_EQ(PdfPages(work + gbk + ".pdf", work), 1);
}

TEST_F(Safety, CroppingFollowsNoPlantedLinkAndKeepsTheUsersFiles) {
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    const std::string victims = TempFolder("vx victims ");
    Spit(victims + "precious", "precious");
    std::filesystem::create_symlink(victims + "precious", work + "TEMP-a.pdf");
    std::filesystem::create_symlink(victims + "precious", work + "a_CROPPED.pdf");
    Spit(work + "TEMP-a_p0001.bmp", "the user's own file");
    ASSERT_EQ(prog.Vexomat({"-c", "pdfAutoCrop", "-s", work + "a.pdf", "-d", work}).exitCode, 0)
        << prog.Log();
    EXPECT_EQ(Slurp(victims + "precious"), "precious");
    EXPECT_TRUE(std::filesystem::is_symlink(work + "TEMP-a.pdf"));
    EXPECT_EQ(Slurp(work + "TEMP-a_p0001.bmp"), "the user's own file");
    EXPECT_FALSE(std::filesystem::is_symlink(work + "a_CROPPED.pdf"));
    EXPECT_EQ(PdfPages(work + "a_CROPPED.pdf", work), 1);
    std::error_code ec;
    std::filesystem::remove_all(victims, ec);
}

TEST_F(Safety, GhostscriptMayWriteOnlyInItsOwnTemporaryFolder) {
    const std::string planted = GetTmp() + "vx-hostile-" + std::to_string(getpid());
    std::filesystem::remove(planted);
    Spit(work + "hostile.ps",
         "%!PS\n(" + planted + ") (w) file dup (owned) writestring closefile\nshowpage\n");
    prog.Vexomat({"-c", "ps2pdf", "-s", work + "hostile.ps", "-d", work});
    EXPECT_FALSE(Exists(planted)) << "the PostScript file wrote into the system's temporary folder";
    std::filesystem::remove(planted);
}

TEST_F(Safety, ErrorOnStandardOutputWithExitZeroFailsAndReplacesNothing) {
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    Spit(work + "a_p0001.jpg", "older page");
    const auto before = Snapshot(work);
    ScopedEnv gs("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv mode("VX_STANDIN_MODE", "stdout-error");
    RunResult r = prog.Vexomat({"-c", "pdf2jpg", "-s", work + "a.pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 1) << prog.Log();
    EXPECT_EQ(Snapshot(work), before);
    // The reason follows the message on its line of the day log.
    EXPECT_NE(prog.Log().find("在进行 gs 转换时出错。 ⏎ "), std::string::npos) << prog.Log();
    EXPECT_NE(prog.Log().find("Page drawing error"), std::string::npos) << prog.Log();
}

TEST_F(Safety, AnEmptyPdfIsRefusedAndTheOlderResultStays) {
    Spit(work + "empty.pdf", "");
    Spit(work + "empty_REDUCED.pdf", "older result");
    RunResult r = prog.Vexomat({"-c", "pdf2pdf", "-s", work + "empty.pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "empty_REDUCED.pdf"), "older result");
    EXPECT_NE(prog.Log().find("源文件是空的"), std::string::npos) << prog.Log();
}

TEST_F(Safety, ALogThatCannotBeWrittenNeverAbortsTheRun) {
    WritePostScript(work + "a.ps", 1);
    // The day's log file is a folder.
    RunResult first = prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work});
    ASSERT_EQ(first.exitCode, 0);
    for (const auto& day : Listing(prog.dir + "logs")) {
        std::filesystem::remove(prog.dir + "logs/" + day + "/info.log");
        std::filesystem::create_directory(prog.dir + "logs/" + day + "/info.log");
    }
    std::filesystem::remove(work + "a.pdf");
    RunResult r = prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work});
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_EQ(PdfPages(work + "a.pdf", work), 1);
    EXPECT_NE(r.output.find("无法写入日志文件"), std::string::npos) << r.output;
    EXPECT_TRUE(RunFolders(work).empty());
}

TEST_F(Safety, EightRunsStartedAtOnceOnAnEmptyProgramFolder) {
    std::vector<pid_t> runs;
    for (int i = 0; i < 8; ++i) {
        const std::string name = "doc" + std::to_string(i);
        WritePostScript(work + name + ".ps", 1);
        runs.push_back(
            Start({prog.dir + "vexomat", "-c", "ps2pdf", "-s", work + name + ".ps", "-d", work},
                  work + name + ".out"));
    }
    for (int i = 0; i < 8; ++i) {
        const std::string name = "doc" + std::to_string(i);
        RunResult r = Finish(runs[i], work + name + ".out");
        EXPECT_EQ(r.exitCode, 0) << name << ": " << r.output;
        EXPECT_EQ(r.output.find("File exists"), std::string::npos) << r.output;
        EXPECT_EQ(PdfPages(work + name + ".pdf", work), 1) << name;
    }
}

TEST_F(Safety, NoLockFileOrPrintFolderIsLeftInTheTemporaryFolder) {
    const std::string tmp = TempFolder("vx private tmp ");
    WritePostScript(work + "a.ps", 1);
    {
        ScopedEnv t("TMPDIR", tmp);
        ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
            << prog.Log();
    }
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    std::error_code ec;
    std::filesystem::remove_all(tmp, ec);
}

namespace {

// Starts a run whose Ghostscript never ends; returns the run and Ghostscript's pid.
pid_t StartHangingRun(const ProgramFolder& prog, const std::string& work, pid_t& gs) {
    WritePostScript(work + "a.ps", 1);
    const std::string pidFile = work + "gs.pid";
    std::filesystem::remove(pidFile);
    ScopedEnv g("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv m("VX_STANDIN_MODE", "hang");
    ScopedEnv p("VX_STANDIN_PIDFILE", pidFile);
    const pid_t run = Start({prog.dir + "vexomat", "-c", "ps2pdf", "-s", work + "a.ps", "-d", work},
                            work + "run.out");
    gs = -1;
    if (WaitForFile(pidFile, std::chrono::seconds(60))) gs = std::atoi(Slurp(pidFile).c_str());
    return run;
}

}  // namespace

TEST_F(Safety, SigtermEndsGhostscriptAndRemovesTheRunFolder) {
    pid_t gs = -1;
    const pid_t run = StartHangingRun(prog, work, gs);
    ASSERT_GT(gs, 0) << "Ghostscript's stand-in did not start within 60 s";
    ASSERT_EQ(RunFolders(work).size(), 1u);
    ::kill(run, SIGTERM);
    RunResult r = Finish(run, work + "run.out");
    EXPECT_EQ(r.exitCode, 128 + SIGTERM);
    EXPECT_TRUE(GoneWithin(gs, std::chrono::seconds(1)))
        << "Ghostscript outlived the run by more than a second";
    EXPECT_TRUE(RunFolders(work).empty());
    ::kill(gs, SIGKILL);
}

TEST_F(Safety, SigkillTakesGhostscriptAlongAndTheNextRunRemovesTheAbandonedFolder) {
    pid_t gs = -1;
    const pid_t run = StartHangingRun(prog, work, gs);
    ASSERT_GT(gs, 0) << "Ghostscript's stand-in did not start within 60 s";
    ::kill(run, SIGKILL);
    Finish(run, work + "run.out");
    EXPECT_TRUE(GoneWithin(gs, std::chrono::seconds(1)))
        << "Ghostscript outlived the killed run by more than a second";
    ::kill(gs, SIGKILL);
    ASSERT_EQ(RunFolders(work).size(), 1u);  // a killed program can remove nothing
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    EXPECT_TRUE(RunFolders(work).empty());
}

// For random points of failure of a job that writes pages, the destination after the
// failed run is exactly what it was before.
TEST_F(Safety, AFailedRunLeavesTheDestinationAsItWas) {
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    const std::string dest = work + "dest/";
    std::filesystem::create_directories(dest);
    Spit(dest + "a_p0001.bmp", "older page 1");
    Spit(dest + "a_p0003.bmp", "older page 3");
    Spit(dest + "a_p0007.bmp", "older page 7");
    const auto before = Snapshot(dest);
    ScopedEnv g("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv m("VX_STANDIN_MODE", "fail-at");
    std::mt19937 random(20261207);
    for (int round = 0; round < 3; ++round) {
        const int failAt = 1 + int(random() % 9);
        ScopedEnv at("VX_STANDIN_FAIL_AT", std::to_string(failAt));
        RunResult r = prog.Vexomat({"-c", "pdf2bmp", "-s", work + "a.pdf", "-d", dest});
        EXPECT_EQ(r.exitCode, 1) << "failing at page " << failAt;
        EXPECT_EQ(Snapshot(dest), before) << "failing at page " << failAt;
        EXPECT_TRUE(RunFolders(work).empty());
    }
}
