// Runs that used to end as a success, or to change what was there, although they failed:
// each either leaves a complete result with exit code 0, or exit code 1 with a reason
// and every older file as it was.
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

std::map<std::string, std::string> Contents(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& name : Listing(dir)) {
        std::error_code ec;
        files[name] =
            std::filesystem::is_directory(dir + name, ec) ? "<folder>" : Slurp(dir + name);
    }
    return files;
}

bool HasRunFolder(const std::string& dir) {
    for (const auto& n : Listing(dir))
        if (n.size() == 8 && n.find_first_not_of("0123456789") == std::string::npos) return true;
    return false;
}

class RunIntegrity : public ::testing::Test {
protected:
    void SetUp() override { work = TempFolder("vx integrity "); }
    // rm removes folders deeper than the path limit, which remove_all cannot name.
    void TearDown() override { Exec({"rm", "-rf", work}, "/dev/null"); }
    // A PDF of n pages made by the program itself.
    void MakePdf(const std::string& name, int pages) {
        WritePostScript(work + name + ".ps", pages);
        ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + name + ".ps", "-d", work}).exitCode, 0)
            << prog.Log();
        std::filesystem::remove(work + name + ".ps");
    }
    ProgramFolder prog;
    std::string work;
};

}  // namespace

TEST_F(RunIntegrity, AnEmptyPostScriptFileIsRefusedAndTheOlderResultStays) {
    for (const char* ext : {".ps", ".eps"}) {
        Spit(work + "empty" + ext, "");
        Spit(work + "empty.pdf", "older result");
        RunResult r = prog.Vexomat({"-c", "ps2pdf", "-s", work + "empty" + ext, "-d", work});
        EXPECT_EQ(r.exitCode, 1) << ext;
        EXPECT_EQ(Slurp(work + "empty.pdf"), "older result") << ext;
        EXPECT_NE(prog.Log().find("源文件是空的"), std::string::npos) << prog.Log();
        EXPECT_FALSE(HasRunFolder(work));
    }
}

// Ghostscript draws the pages the tree holds, whatever its root says: so does the preview.
TEST_F(RunIntegrity, APreviewOfAPdfWhosePageCountLiesHoldsEveryPage) {
    MakePdf("liar", 5);
    std::string pdf = Slurp(work + "liar.pdf");
    const size_t at = pdf.find("/Count 5");
    ASSERT_NE(at, std::string::npos);
    pdf.replace(at, 8, "/Count 2");
    Spit(work + "liar.pdf", pdf);
    const std::string dest = work + "preview/";
    std::filesystem::create_directories(dest);
    Spit(dest + "htmlPreview.html", "older preview");
    RunResult r = prog.Vexomat({"-c", "pdf2htmlPreview", "-s", work + "liar.pdf", "-d", dest});
    EXPECT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(Listing(dest + "pdf").size(), 5u);
    EXPECT_EQ(Listing(dest + "images").size(), 5u);
    EXPECT_NE(Slurp(dest + "htmlPreview.html").find("liar_p0005.jpg"), std::string::npos);
    EXPECT_FALSE(HasRunFolder(work));
}

TEST_F(RunIntegrity, ANameWithALineBreakForgesNoLogLine) {
    MakePdf("a", 1);
    const std::string forged = "a\n03-00-00-000 | Version      | FORGED\x1b[2J";
    std::filesystem::copy_file(work + "a.pdf", work + forged + ".pdf");
    RunResult r = prog.Vexomat({"-c", "pdf2pdf", "-s", work + forged + ".pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_TRUE(Exists(work + forged + "_REDUCED.pdf"));
    const std::string log = prog.Log();
    EXPECT_EQ(log.find("\n03-00-00-000"), std::string::npos) << log;
    EXPECT_EQ(log.find('\x1b'), std::string::npos) << log;
    EXPECT_NE(log.find("a\\n03-00-00-000 | Version      | FORGED\\x1B[2J.pdf"), std::string::npos)
        << log;
}

namespace {

// Runs the program from a working folder deeper than the system's path limit (entered
// step by step, which is the only way there); the source is named relative to it.
RunResult RunInDeepFolder(const ProgramFolder& prog, const std::string& top, int depth,
                          const std::string& out) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(top.c_str()) != 0) _exit(126);
        for (int i = 0; i < depth; ++i)
            if (chdir(std::string(200, 'd').c_str()) != 0) _exit(126);
        FILE* f = std::fopen(out.c_str(), "w");
        if (f) {
            dup2(fileno(f), 1);
            dup2(fileno(f), 2);
        }
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const std::string bin = prog.dir + "vexomat";
        execl(bin.c_str(), bin.c_str(), "-c", "pdf2pdf", "-s", "doc.pdf", "-d", "./",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    return Finish(pid, out);
}

}  // namespace

TEST_F(RunIntegrity, AWorkingFolderDeeperThanThePathLimitFailsBeforeAnythingIsMade) {
    MakePdf("doc", 1);
    const std::string pdf = Slurp(work + "doc.pdf");
    // 22 levels of 201 bytes: some 4400 bytes below the work folder.
    const int depth = 22;
    const pid_t maker = fork();
    if (maker == 0) {
        if (chdir(work.c_str()) != 0) _exit(1);
        for (int i = 0; i < depth; ++i) {
            const std::string name(200, 'd');
            if (mkdir(name.c_str(), 0777) != 0 || chdir(name.c_str()) != 0) _exit(1);
        }
        Spit("doc.pdf", pdf);
        _exit(0);
    }
    int status = 0;
    waitpid(maker, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_FALSE(Exists("/doc.pdf"));
    ASSERT_FALSE(Exists("/doc_REDUCED.pdf"));

    RunResult r = RunInDeepFolder(prog, work, depth, work + "out.txt");
    EXPECT_EQ(r.exitCode, 1) << r.output << prog.Log();
    EXPECT_NE(prog.Log().find("路径太长"), std::string::npos) << prog.Log();
    EXPECT_FALSE(Exists("/doc_REDUCED.pdf"));
    EXPECT_FALSE(HasRunFolder("/"));
    // Nothing was made in the deep folder: it still holds the source alone.
    const pid_t lister = fork();
    if (lister == 0) {
        if (chdir(work.c_str()) != 0) _exit(2);
        for (int i = 0; i < depth; ++i)
            if (chdir(std::string(200, 'd').c_str()) != 0) _exit(2);
        _exit(Listing("./") == std::vector<std::string>{"doc.pdf"} ? 0 : 1);
    }
    waitpid(lister, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "the deep folder holds more than the source";
}

// ---------------------------------------------------------------- results all or nothing

TEST_F(RunIntegrity, APageThatCannotBeMovedFailsTheRunAndEveryOlderPageStays) {
    MakePdf("doc", 5);
    const std::string dest = work + "dest/";
    std::filesystem::create_directories(dest + "doc_p0003.jpg");  // a folder holds page 3's name
    Spit(dest + "doc_p0001.jpg", "older page 1");
    Spit(dest + "doc_p0002.jpg", "older page 2");
    const auto before = Contents(dest);
    RunResult r = prog.Vexomat({"-c", "pdf2jpg", "-s", work + "doc.pdf", "-d", dest, "-or", "72"});
    EXPECT_EQ(r.exitCode, 1) << prog.Log();
    EXPECT_EQ(Contents(dest), before);
    EXPECT_NE(prog.Log().find(dest + "doc_p0003.jpg"), std::string::npos) << prog.Log();
    EXPECT_NE(prog.Log().find("Is a directory"), std::string::npos) << prog.Log();
    EXPECT_FALSE(HasRunFolder(work));
}

namespace {

// Runs body in a child process that has a private mount namespace with a small file
// system mounted on dir; the child's exit code is returned (77: not possible here).
int WithSmallFileSystem(const std::string& dir, const std::string& size,
                        const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (unshare(CLONE_NEWNS) != 0) _exit(77);
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
        if (mount("tmpfs", dir.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) _exit(77);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

}  // namespace

TEST_F(RunIntegrity, AFullDestinationFailsWithTheReasonAndEveryOlderFileStays) {
    MakePdf("doc", 40);
    const std::string dest = work + "small/";
    std::filesystem::create_directories(dest);
    struct Case {
        std::vector<std::string> args;
        std::string size;
    } cases[] = {
        {{"-c", "pdf2jpg", "-s", work + "doc.pdf", "-d", dest, "-or", "300"}, "3m"},
        {{"-c", "pdf2htmlPreview", "-s", work + "doc.pdf", "-d", dest}, "96k"},
    };
    for (const Case& c : cases) {
        const std::string log = prog.dir + "logs";
        std::error_code ec;
        std::filesystem::remove_all(log, ec);
        const int code = WithSmallFileSystem(dest, c.size, [&] {
            Spit(dest + "doc_p0001.jpg", "older page 1");
            Spit(dest + "htmlPreview.html", "older preview");
            std::filesystem::create_directories(dest + "pdf");
            Spit(dest + "pdf/doc_p0002.pdf", "older page 2");
            const auto before = Contents(dest);
            const auto beforePdf = Contents(dest + "pdf/");
            const RunResult r = prog.Vexomat(c.args);
            int fails = 0;
            if (r.exitCode != 1) fails |= 1;
            if (Contents(dest) != before) fails |= 2;
            if (Contents(dest + "pdf/") != beforePdf) fails |= 4;
            return fails;
        });
        if (code == 77) GTEST_SKIP() << "no private mount namespace here (needs CAP_SYS_ADMIN)";
        EXPECT_EQ(code, 0) << c.args[1]
                           << ": failed checks (bits: 1 exit code, 2 destination, 4 pdf folder)\n"
                           << prog.Log();
        EXPECT_NE(prog.Log().find("No space left on device"), std::string::npos)
            << c.args[1] << prog.Log();
        // The message shown says it in Chinese; the system's words are only in the log.
        const std::string dayLog = prog.Log();
        const size_t shown = dayLog.find("| Message ");
        ASSERT_NE(shown, std::string::npos) << c.args[1] << dayLog;
        const std::string message = dayLog.substr(shown, dayLog.find('\n', shown) - shown);
        EXPECT_NE(message.find("磁盘空间不足"), std::string::npos) << c.args[1] << message;
        EXPECT_EQ(message.find("No space"), std::string::npos) << c.args[1] << message;
        EXPECT_EQ(message.find("可能文件在使用中"), std::string::npos) << c.args[1] << message;
        EXPECT_FALSE(HasRunFolder(work));
    }
}

// ---------------------------------------------------------------- names are bytes

TEST_F(RunIntegrity, NamesInGbkAndNamesWithPipesConvertInEveryPdfFunction) {
    MakePdf("a", 2);
    const std::string gbk = "\xb2\xe2\xca\xd4";  // "测试" in GBK
    std::filesystem::create_directories(work + gbk);
    const std::vector<std::string> sources = {gbk, gbk + "/plain", "x|y", "%pipe%z"};
    for (const std::string& s : sources)
        std::filesystem::copy_file(work + "a.pdf", work + s + ".pdf");
    for (const std::string& s : sources) {
        const std::string name = s.substr(s.rfind('/') == std::string::npos ? 0 : s.rfind('/') + 1);
        const std::string dest = work + "out/";
        std::filesystem::remove_all(dest);
        std::filesystem::create_directories(dest);
        const struct {
            const char* function;
            std::vector<std::string> results;
        } rows[] = {
            {"pdf2jpg", {name + "_p0001.jpg", name + "_p0002.jpg"}},
            {"pdf2tiff", {name + "_p0002.tiff"}},
            {"pdfAutoCrop", {name + "_CROPPED.pdf"}},
            {"pdf2htmlPreview",
             {"htmlPreview.html", "images/" + name + "_p0002.jpg", "pdf/" + name + "_p0002.pdf"}},
        };
        for (const auto& row : rows) {
            RunResult r = prog.Vexomat(
                {"-c", row.function, "-s", work + s + ".pdf", "-d", dest, "-or", "72"});
            EXPECT_EQ(r.exitCode, 0) << row.function << " " << s << "\n" << prog.Log();
            for (const std::string& result : row.results)
                EXPECT_TRUE(Exists(dest + result)) << row.function << ": " << result;
        }
        EXPECT_FALSE(HasRunFolder(work)) << s;
    }
}

TEST_F(RunIntegrity, AGbkPasswordOpensTheResultAndNothingElseDoes) {
    MakePdf("a", 1);
    const std::string password = "\xc3\xdc\xc2\xeb";  // "密码" in GBK
    RunResult r = prog.Vexomat(
        {"-c", "pdfEncrypt", "-s", work + "a.pdf", "-d", work, "-oyp", "=" + password});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(
        Exec({"qpdf", "--requires-password", work + "a_ENCRYPTED.pdf"}, work + "q.txt").exitCode, 0)
        << "the result opens without a password";
    EXPECT_EQ(
        Exec({"pdfinfo", "-upw", password, work + "a_ENCRYPTED.pdf"}, work + "q.txt").exitCode, 0);
    EXPECT_NE(Exec({"pdfinfo", "-upw", "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd",
                    work + "a_ENCRYPTED.pdf"},
                   work + "q.txt")
                  .exitCode,
              0);
}

TEST_F(RunIntegrity, AWatermarkTextThatCannotBeDrawnIsRefused) {
    MakePdf("a", 1);
    Spit(work + "a_WATERMARKED.pdf", "older result");
    const auto before = Contents(work);
    const struct {
        std::string text;
        std::string named;  // how the reason names the character
    } rows[] = {
        {"\xb2\xe2\xca\xd4", "UTF-8"},   // GBK bytes that are not UTF-8
        {"\xcb\xae\xd3\xa1", "U+02EE"},  // GBK "水印": UTF-8 of U+02EE U+04E1
        {"ok \xe3\x90\x80", "U+3400"},   // an ideograph the Song face lacks
    };
    for (const auto& row : rows) {
        RunResult r = prog.Vexomat({"-c", "pdfWatermark", "-s", work + "a.pdf", "-d", work, "-owt",
                                    "=" + row.text, "-owf", "=40", "-owo", "=50"});
        EXPECT_EQ(r.exitCode, 1) << row.named << "\n" << prog.Log();
        EXPECT_EQ(Contents(work), before) << row.named;
        const std::string log = prog.Log();
        const size_t reason = log.rfind("水印文字无法显示");
        ASSERT_NE(reason, std::string::npos) << log;
        EXPECT_NE(log.find(row.named, reason), std::string::npos) << log;
        // Refused before the run: Ghostscript never ran.
        EXPECT_EQ(log.find("watermark.ps"), std::string::npos) << log;
    }
    // A Chinese text the font has is drawn, and reads back as typed.
    RunResult r =
        prog.Vexomat({"-c", "pdfWatermark", "-s", work + "a.pdf", "-d", work, "-owt",
                      "=\xe6\xb0\xb4\xe5\x8d\xb0 \xe3\x80\x8a\xe5\x86\x85\xe9\x83\xa8\xe3\x80\x8b",
                      "-owf", "=40", "-owo", "=50"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    std::string text =
        Exec({"pdftotext", "-raw", work + "a_WATERMARKED.pdf", "-"}, work + "t.txt").output;
    text.erase(
        std::remove_if(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c); }),
        text.end());
    EXPECT_EQ(text,
              "Page1\xe6\xb0\xb4\xe5\x8d\xb0\xe3\x80\x8a\xe5\x86\x85\xe9\x83\xa8\xe3\x80\x8b");
    EXPECT_FALSE(HasRunFolder(work));
}

// ---------------------------------------------------------------- killed runs, leftovers

namespace {

class TmpDir {
public:
    explicit TmpDir(const std::string& dir) { setenv("TMPDIR", dir.c_str(), 1); }
    ~TmpDir() { unsetenv("TMPDIR"); }
};

// Processes whose command line mentions text.
int ProcessesMentioning(const std::string& text) {
    int count = 0;
    for (const auto& e : std::filesystem::directory_iterator("/proc")) {
        const std::string pid = e.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmd = Slurp("/proc/" + pid + "/cmdline");
        std::replace(cmd.begin(), cmd.end(), '\0', ' ');
        const std::string stat = Slurp("/proc/" + pid + "/stat");
        const size_t close = stat.rfind(')');
        const bool zombie =
            close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'Z';
        if (!zombie && cmd.find(text) != std::string::npos) ++count;
    }
    return count;
}

template <class Pred>
bool Within(int tenths, Pred done) {
    for (int i = 0; i < tenths; ++i) {
        if (done()) return true;
        usleep(100000);
    }
    return done();
}

}  // namespace

TEST_F(RunIntegrity, FailedRunsLeaveNoLockFilesPilingUpInTheTemporaryFolder) {
    const std::string tmp = TempFolder("vx private tmp ");
    TmpDir t(tmp);
    Spit(work + "empty.ps", "");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "empty.ps", "-d", work}).exitCode, 1);
        // A failed run ends without closing its handles; their lock files go all the same.
        EXPECT_EQ(Listing(tmp), std::vector<std::string>{}) << "after failed run " << i;
    }
    WritePostScript(work + "a.ps", 1);
    EXPECT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    Exec({"rm", "-rf", tmp}, "/dev/null");
}

TEST_F(RunIntegrity, ARunEndedBySigtermLeavesNothingInTheTemporaryFolder) {
    const std::string tmp = TempFolder("vx private tmp ");
    TmpDir t(tmp);
    WritePostScript(work + "a.ps", 1);
    const std::string pidFile = work + "gs.pid";
    // Ghostscript's stand-in never ends, so the run is surely in the middle when ended.
    setenv("VEXOMAT_GS", VX_GS_STANDIN, 1);
    setenv("VX_STANDIN_MODE", "hang", 1);
    setenv("VX_STANDIN_PIDFILE", pidFile.c_str(), 1);
    const pid_t run = Start({prog.dir + "vexomat", "-c", "ps2pdf", "-s", work + "a.ps", "-d", work},
                            work + "run.out");
    for (const char* name : {"VEXOMAT_GS", "VX_STANDIN_MODE", "VX_STANDIN_PIDFILE"}) unsetenv(name);
    const bool started = Within(600, [&] { return Exists(pidFile); });
    EXPECT_FALSE(Listing(tmp).empty()) << "the run holds its named mutexes";
    kill(run, SIGTERM);
    EXPECT_EQ(Finish(run, work + "run.out").exitCode, 128 + SIGTERM);
    ASSERT_TRUE(started) << "Ghostscript's stand-in did not start within a minute";
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    EXPECT_FALSE(HasRunFolder(work));
    Exec({"rm", "-rf", tmp}, "/dev/null");
}

TEST_F(RunIntegrity, AKilledOfficeRunTakesTheOfficeAlongAndTheNextRunClearsWhatItLeft) {
    if (!Exists("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    const std::string tmp = TempFolder("vx-office-tmp-");
    TmpDir t(tmp);
    // A document in another encoding's name, too: the office reads it through a link.
    const std::string doc = work + "\xb2\xe2\xca\xd4.doc";
    Spit(doc, "{\\rtf1 hello\\par}");
    const pid_t run =
        Start({prog.dir + "vexomat", "-c", "doc2pdf", "-s", doc, "-d", work}, work + "run.out");
    const bool officeUp =
        Within(600, [&] { return ProcessesMentioning(tmp + "vexomat-office-") >= 2; });
    kill(run, SIGKILL);
    Finish(run, work + "run.out");
    ASSERT_TRUE(officeUp) << "the office did not start within a minute";
    EXPECT_TRUE(Within(50, [&] { return ProcessesMentioning(tmp) == 0; }))
        << "the office outlived the killed run";
    RunResult r = prog.Vexomat({"-c", "doc2pdf", "-s", doc, "-d", work});
    EXPECT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_GT(PdfPages(work + "\xb2\xe2\xca\xd4.pdf", work), 0);
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    EXPECT_FALSE(HasRunFolder(work));
    Exec({"rm", "-rf", tmp}, "/dev/null");
}

TEST_F(RunIntegrity, AGbkNamedPdfBecomesAPresentationOfItsOwnName) {
    if (!Exists("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    const std::string tmp = TempFolder("vx-office-tmp-");
    TmpDir t(tmp);
    MakePdf("a", 2);
    const std::string gbk = "\xb2\xe2\xca\xd4";  // "测试" in GBK
    std::filesystem::rename(work + "a.pdf", work + gbk + ".pdf");
    // The office writes the presentation under a safe name and it is moved to the real one.
    RunResult r =
        prog.Vexomat({"-c", "pdf2ppt", "-s", work + gbk + ".pdf", "-d", work, "-or", "72"});
    EXPECT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(Slurp(work + gbk + ".ppt").substr(0, 4), "\xd0\xcf\x11\xe0")
        << "not a PowerPoint file";
    EXPECT_FALSE(HasRunFolder(work));
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    Exec({"rm", "-rf", tmp}, "/dev/null");
}

TEST_F(RunIntegrity, ATiffInAGbkFolderBecomesAPdf) {
    if (!Exists("/usr/bin/soffice")) GTEST_SKIP() << "LibreOffice is not installed";
    const std::string tmp = TempFolder("vx-office-tmp-");
    TmpDir t(tmp);
    const std::string folder = work + "\xb2\xe2\xca\xd4/";  // "测试" in GBK
    std::filesystem::create_directories(folder);
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiff24nc", "-r36",
                    "-sOutputFile=" + work + "a.tif", work + "a.ps"},
                   work + "gs.txt")
                  .exitCode,
              0);
    std::filesystem::rename(work + "a.tif", folder + "a.tif");
    // The page bitmaps in the run folder are written and read by the bytes of their names.
    RunResult r = prog.Vexomat({"-c", "tiff2pdf", "-s", folder + "a.tif", "-d", folder});
    EXPECT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(PdfPages(folder + "a.pdf", work), 1);
    EXPECT_FALSE(HasRunFolder(folder));
    EXPECT_EQ(Listing(tmp), std::vector<std::string>{});
    Exec({"rm", "-rf", tmp}, "/dev/null");
}

// Sources of the longest names convert wherever their results' names fit; where they do
// not (the preview's page files), the run says so once, naming the page file, and leaves
// the destination as it was.
TEST_F(RunIntegrity, SourcesOfTheLongestNamesConvertWhereTheirResultsFit) {
    MakePdf("three", 3);
    std::string chinese;
    for (int i = 0; i < 81; ++i) chinese += "报";
    const struct {
        std::string stem;
        const char* function;
        std::string result;
    } rows[] = {
        {chinese, "pdf2pdf", chinese + "_REDUCED.pdf"},
        {std::string(245, 'j'), "pdf2jpg", std::string(245, 'j') + "_p0003.jpg"},
        {chinese + "ab", "pdfEncrypt", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.function);
        std::filesystem::copy_file(work + "three.pdf", work + row.stem + ".pdf");
        const RunResult r =
            prog.Vexomat({"-c", row.function, "-s", work + row.stem + ".pdf", "-d", work});
        if (row.result.empty()) {
            // The result's name does not fit: refused with the name, nothing made.
            EXPECT_EQ(r.exitCode, 1);
            EXPECT_NE(prog.Log().find("文件名或扩展名太长"), std::string::npos) << prog.Log();
        } else {
            EXPECT_EQ(r.exitCode, 0) << prog.Log();
            EXPECT_TRUE(Exists(work + row.result));
        }
        EXPECT_FALSE(HasRunFolder(work));
    }
    EXPECT_EQ(PdfPages(work + chinese + "_REDUCED.pdf", work), 3);

    // The page files' names are the source's less 4 bytes, and 10 bytes more.
    const std::string stem = chinese + "abcdef";
    std::filesystem::copy_file(work + "three.pdf", work + stem + ".pdf");
    const std::string dest = work + "preview/";
    std::filesystem::create_directories(dest);
    Spit(dest + "htmlPreview.html", "older preview");
    const size_t logBefore = prog.Log().size();
    const RunResult r =
        prog.Vexomat({"-c", "pdf2htmlPreview", "-s", work + stem + ".pdf", "-d", dest});
    const std::string log = prog.Log().substr(logBefore);
    EXPECT_EQ(r.exitCode, 1) << log;
    const size_t message = log.find("| Message");
    ASSERT_NE(message, std::string::npos) << log;
    const std::string shown = log.substr(message);
    const std::string said = stem + "_p0003.pdf\"。文件名或扩展名太长";
    EXPECT_NE(shown.find(said), std::string::npos) << shown;
    EXPECT_EQ(shown.find(said, shown.find(said) + 1), std::string::npos) << "said twice: " << shown;
    EXPECT_EQ(Contents(dest),
              (std::map<std::string, std::string>{{"htmlPreview.html", "older preview"}}));
    EXPECT_FALSE(HasRunFolder(work));
}
