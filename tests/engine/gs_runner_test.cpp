// The Ghostscript runner: the response file, the output logs, the command line, the wait
// and the judgement of the error output. The console program is the real one; in place
// of Ghostscript behind it, these tests let it run small system programs (cat, printf,
// true, false, rm) so that each outcome can be brought about on purpose.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "engine/pdfHelper.h"
#include "engine/util.h"
#include "fixture.h"

namespace vxtest {
namespace {

const std::string kGsExe = VEXOMAT_BIN_DIR "/gs/gswin32c.exe";

// Sets VEXOMAT_GS (the program the console program runs) for one test.
class GsProgram {
public:
    explicit GsProgram(const char* program) { setenv("VEXOMAT_GS", program, 1); }
    ~GsProgram() { unsetenv("VEXOMAT_GS"); }
};

class GhostRunner : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        State().FGsExe = kGsExe;
        EnsureLogFolder(false);
    }
    std::string LogDir() { return State().FLogDir; }

    // The files in the day's gs/ folder whose names end with suffix.
    std::vector<std::string> GsLogs(const std::string& suffix) {
        std::vector<std::string> found;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(LogDir() + "gs", ec)) {
            const std::string name = e.path().filename().string();
            if (name.size() >= suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
                found.push_back(e.path().string());
        }
        return found;
    }
    std::string LoggedValue(const std::string& key) {
        std::string value;
        const std::string mark = " | " + key;
        for (const std::string& line : LogLines()) {
            size_t at = line.find(mark);
            if (at == 12) value = line.substr(line.find(" | ", at + 3) + 3);
        }
        return value;
    }
};

TEST_F(GhostRunner, ResponseFileIsTheParameterStringAsOneLine) {
    GsProgram cat("cat");
    // The job prints its own response file into the output log.
    const std::string params = "-- " + QuoteGsArg(LogDir() + "temp.log") + " ";
    EXPECT_TRUE(TGhost().Run("dump", params));
    EXPECT_TRUE(Errors().empty());
    EXPECT_TRUE(Messages().empty());
    const auto out = GsLogs("_out.log");
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(ReadFile(out[0]), params + "\n");
    EXPECT_FALSE(Exists(LogDir() + "temp.log"));  // deleted after the run
    ASSERT_EQ(GsLogs("_error.log").size(), 1u);
    EXPECT_EQ(ReadFile(GsLogs("_error.log")[0]), "");
}

TEST_F(GhostRunner, LogsAndCommandLine) {
    GsProgram ok("true");
    EXPECT_TRUE(TGhost().Run("ps2pdf", "-dNOPAUSE "));
    EXPECT_EQ(LoggedValue("GS"), kGsExe);
    EXPECT_EQ(LoggedValue("Parameter"), "-dNOPAUSE ");
    EXPECT_EQ(LoggedValue("WinVersion").rfind("Linux / Version ", 0), 0u)
        << LoggedValue("WinVersion");
    const std::string out = GsLogs("_out.log").at(0);
    const std::string err = GsLogs("_error.log").at(0);
    EXPECT_EQ(LoggedValue("CommandLine"), "cmd /c \"\"" + kGsExe + "\" @\"" + LogDir() +
                                              "temp.log\" 1> \"" + out + "\" 2> \"" + err + "\"\"");
    // hh-nn-ss-zzz_ names
    const std::string name = std::filesystem::path(out).filename().string();
    ASSERT_EQ(name.size(), std::string("00-00-00-000_out.log").size());
    for (size_t i : {2u, 5u, 8u}) EXPECT_EQ(name[i], '-');
    EXPECT_EQ(name[12], '_');
}

TEST_F(GhostRunner, QuotedNamesReachTheProgramUnchanged) {
    GsProgram printf_("printf");
    const std::vector<std::string> names = {
        "/t/a \"quoted\" name.pdf",          "/t/back\\slash\\",        "/t/\\\"",
        "/t/$HOME `x` 'y' 中文 50% off.pdf", "/t/two  blanks\ttab.pdf", ""};
    std::string params = "\"[%s]\\n\" ";
    std::string expected;
    for (const std::string& n : names) {
        params += QuoteGsArg(n) + " ";
        expected += "[" + n + "]\n";
    }
    EXPECT_TRUE(TGhost().Run("names", params));
    EXPECT_EQ(ReadFile(GsLogs("_out.log").at(0)), expected);
    EXPECT_TRUE(Errors().empty());
}

TEST_F(GhostRunner, ErrorOutputFailsTheJobButNotTheRun) {
    GsProgram fail("false");
    EXPECT_TRUE(TGhost().Run("pdf2jpg", "-x "));
    ASSERT_EQ(Errors().size(), 1u);
    // The message, and beneath it the first line of Ghostscript's error output.
    EXPECT_EQ(Errors()[0].rfind("在进行 gs 转换时出错。\n", 0), 0u) << Errors()[0];
    EXPECT_EQ(LoggedValue("ErrorMessage").rfind("在进行 gs 转换时出错。 ⏎ ", 0), 0u)
        << LoggedValue("ErrorMessage");
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(Exists(LogDir() + "temp.log"));
}

TEST_F(GhostRunner, MissingErrorOutputIsListed) {
    GsProgram rm("rm");
    // The job removes the whole gs/ folder, its own logs included.
    EXPECT_TRUE(TGhost().Run("gone", "-r " + QuoteGsArg(LogDir() + "gs") + " "));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0], "在进行 gs 转换时出错。");
    EXPECT_NE(Errors()[0].find("error.log"), std::string::npos) << Errors()[0];
    // Listed in Chinese; the log adds the system's own words.
    EXPECT_NE(Errors()[0].find("系统找不到指定的文件。"), std::string::npos) << Errors()[0];
    EXPECT_EQ(LoggedValue("ErrorMessage"), Errors()[0] + " [No such file or directory]");
}

TEST_F(GhostRunner, UnstartableProgramShowsTheMessageAndFails) {
    State().FGsExe = AppPath() + "gs/gswin32c.exe";  // not there
    State().FBatchMode = true;
    EXPECT_FALSE(TGhost().Run("pdf2bmp", "-dNOPAUSE "));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "在开始进行处理 pdf2bmp 时出错!");
    EXPECT_EQ(Messages()[0].kind, mkInformation);
    EXPECT_TRUE(Messages()[0].autoClose);
    EXPECT_TRUE(Errors().empty());
    EXPECT_FALSE(Exists(LogDir() + "temp.log"));  // it may hold passwords: never left behind
}

TEST_F(GhostRunner, InteractiveStartFailureDoesNotAutoClose) {
    State().FGsExe = AppPath() + "nothing here";
    EXPECT_FALSE(TGhost().Run("ps2pdf", ""));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_FALSE(Messages()[0].autoClose);
}

TEST_F(GhostRunner, QuoteInTheLogFolderIsNeverStarted) {
    GsProgram ok("true");
    const std::string odd = AppPath() + "log \"x\"/";
    ASSERT_EQ(mkdir(odd.c_str(), 0700), 0);
    WriteFile(odd + "info.log", "");
    State().FLogDir = odd;
    EXPECT_FALSE(TGhost().Run("ps2pdf", "-dNOPAUSE "));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "在开始进行处理 ps2pdf 时出错!");
    EXPECT_FALSE(Exists(odd + "gs/x"));
}

TEST_F(GhostRunner, GsFolderThatCannotBeMadeIsListed) {
    GsProgram ok("true");
    WriteFile(LogDir() + "gs", "a file where the folder belongs");
    EXPECT_TRUE(TGhost().Run("ps2pdf", "-dNOPAUSE "));
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(LoggedValue("CommandLine"), "");  // never got that far
}

TEST_F(GhostRunner, ResponseFileThatCannotBeWrittenIsListed) {
    GsProgram ok("true");
    ASSERT_EQ(mkdir((LogDir() + "temp.log").c_str(), 0700), 0);
    EXPECT_TRUE(TGhost().Run("ps2pdf", "-dNOPAUSE "));
    EXPECT_EQ(Errors().size(), 1u);
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(LoggedValue("CommandLine"), "");
}

TEST_F(GhostRunner, ResponseFileThatCannotBeDeletedIsListedAndNotScanned) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser may delete anything";
    GsProgram chmod_("chmod");
    EXPECT_TRUE(TGhost().Run("lock", "a-w " + QuoteGsArg(LogDir()) + " "));
    chmod(LogDir().c_str(), 0700);
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_EQ(Errors()[0], "无法删除临时参数文件。");
}

// ---------------------------------------------------------------- judging the error output

using ErrorLogJudgement = GhostRunner;

TEST_F(ErrorLogJudgement, EmptyMeansSuccess) {
    WriteFile(AppPath() + "e.log", "");
    EXPECT_FALSE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
}

TEST_F(ErrorLogJudgement, AnyTextMeansFailure) {
    WriteFile(AppPath() + "e.log", "Error: /undefined in foo\n");
    EXPECT_TRUE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
    WriteFile(AppPath() + "e.log", "\n");
    EXPECT_TRUE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
}

TEST_F(ErrorLogJudgement, RepairNoticeMeansSuccess) {
    WriteFile(
        AppPath() + "e.log",
        "   **** This file had errors that were repaired or ignored.\n文件有错误要修复或忽略。\n");
    EXPECT_FALSE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
    WriteFile(AppPath() + "e.log",
              "x\r\nfoo 文件有错误要修复或忽略。 bar");  // anywhere in a line, last line unended
    EXPECT_FALSE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
    WriteFile(AppPath() + "e.log",
              "文件有错误要修复\n或忽略。\n");  // split over two lines: not the notice
    EXPECT_TRUE(TGhost().ErrorLogHasErrors(AppPath() + "e.log"));
}

TEST_F(ErrorLogJudgement, MissingFileRaises) {
    EXPECT_THROW(TGhost().ErrorLogHasErrors(AppPath() + "no such error.log"), EInOutError);
}

// A script standing in for Ghostscript (or for the console program itself).
std::string Script(const std::string& path, const std::string& body) {
    WriteFile(path, "#!/bin/sh\n" + body);
    chmod(path.c_str(), 0700);
    return path;
}

TEST_F(GhostRunner, TheExitCodeDecidesAndWhatAJobThatEndedWellSaidIsLogged) {
    struct Row {
        const char* why;
        std::string body;
        bool fails;
        std::string logged;  // under GsWarning
    } rows[] = {
        {"a repaired input",
         "echo '   **** This file had errors that were repaired or ignored.' >&2\n", false,
         "**** This file had errors that were repaired or ignored. ⏎ 文件有错误要修复或忽略。"},
        {"warnings only", "echo 'GPL Ghostscript 10.00.0: a warning' >&2\n", false, ""},
        {"a failure stated with exit code 0",
         "echo '   **** Error: Page drawing error occurred.'\n", true, ""},
        {"silence and exit code 3", "exit 3\n", true, ""},
        // Ghostscript's own failure: a repaired input does not make up for it.
        {"a repaired input and exit code 1",
         "echo '   **** This file had errors that were repaired or ignored.' >&2\nexit 1\n", true,
         ""},
    };
    for (const Row& r : rows) {
        GsProgram gs(Script(AppPath() + "gs.sh", r.body).c_str());
        State().FErrors->Clear();
        EXPECT_TRUE(TGhost().Run("pdf2jpg", "-x "));
        EXPECT_EQ(Errors().size(), r.fails ? 1u : 0u) << r.why;
        if (!r.logged.empty()) {
            EXPECT_NE(LoggedValue("GsWarning").find(r.logged), std::string::npos)
                << r.why << ": " << LoggedValue("GsWarning");
        }
    }
}

TEST_F(GhostRunner, AGhostscriptEndedFromOutsideIsSaidToBe) {
    struct Row {
        std::string body;
        bool console;  // the console program itself is ended, not Ghostscript behind it
        std::string reason;
    } rows[] = {
        {"echo 'Page 1'\nkill -TERM $$\n", false, "被外部结束 (信号 15)"},
        {"echo '   **** Error: Page drawing error occurred.'\nkill -KILL $$\n", false,
         "被外部结束 (信号 9)"},
        {"kill -KILL $$\n", true, "被外部结束 (信号 9)"},
        {"kill -SEGV $$\n", false, "意外终止 (信号 11)"},
    };
    for (const Row& r : rows) {
        const std::string script = Script(AppPath() + "ended.sh", r.body);
        GsProgram gs(script.c_str());
        if (r.console) State().FGsExe = script;
        State().FErrors->Clear();
        EXPECT_TRUE(TGhost().Run("pdf2jpg", "-x "));
        State().FGsExe = kGsExe;
        ASSERT_EQ(Errors().size(), 1u) << r.body;
        EXPECT_NE(Errors()[0].find(r.reason), std::string::npos) << Errors()[0];
        EXPECT_EQ(Errors()[0].find("页面在所选的分辨率下太大"), std::string::npos) << Errors()[0];
    }
}

TEST_F(GhostRunner, TheLogsAreTheirOwnersAlone) {
    // A day log an earlier version made readable by all is made private too.
    WriteFile(LogDir() + "info.log", "");
    chmod((LogDir() + "info.log").c_str(), 0644);
    GsProgram gs(Script(AppPath() + "gs.sh",
                        "echo said; echo 'Error: /undefined in x' >&2\n"
                        "exit 1\n")
                     .c_str());
    EXPECT_TRUE(TGhost().Run("pdf2jpg", "-x "));
    std::vector<std::string> files = {LogDir() + "info.log"};
    for (const char* suffix : {"_out.log", "_error.log"})
        for (const std::string& f : GsLogs(suffix)) files.push_back(f);
    ASSERT_EQ(files.size(), 3u);
    for (const std::string& f : files) {
        struct stat st {};
        ASSERT_EQ(stat(f.c_str(), &st), 0) << f;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << f;
    }
}

TEST_F(GhostRunner, AFailureNamesTheFileAsTheUserKnowsIt) {
    TMainState& s = State();
    s.FArrangeTmp = s.FAppPath + "arrange/";
    s.FMergeFile2 = "/d/two_pages.pdf";
    s.FSourceFiles->Add("/d/a.pdf");
    s.FSourceFiles->Add("/d/b.pdf");
    const std::string page = s.FArrangeTmp + "2---two_pages_p0002.pdf";
    const std::string params = "-f \"" + s.FArrangeTmp + "1---one_p0001.pdf\" \"" + page + "\" ";
    struct Row {
        std::string said, named;
    } rows[] = {
        // A page the page-order window split off: its document and page.
        {"gswin32c: the error is in the input file " + page,
         "出错的文件: \"/d/two_pages.pdf\" (第 2 页)"},
        // A failure of no input of several: the run's sources.
        {"Error: /ioerror in --showpage--", "源文件: \"/d/a.pdf\", \"/d/b.pdf\""},
    };
    for (const Row& r : rows) {
        const std::string script = s.FAppPath + "says.sh";
        WriteFile(script, "#!/bin/sh\necho 'Error: /undefined in foo' >&2\necho '" + r.said +
                              "' >&2\nexit 1\n");
        chmod(script.c_str(), 0700);
        GsProgram says(script.c_str());
        s.FErrors->Clear();
        EXPECT_TRUE(TGhost().Run("pdfMerge", params));
        ASSERT_EQ(Errors().size(), 1u);
        EXPECT_NE(Errors()[0].find(r.named), std::string::npos) << Errors()[0];
    }
}

}  // namespace
}  // namespace vxtest
