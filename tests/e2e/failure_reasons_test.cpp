// The reasons an unattended run gives for a failure: taken from the line that states the
// error (not from a warning before it, nor from a file's name), in Chinese, and naming
// the file they are about.
#include <pwd.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <memory>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

// A one-page PDF with the given media box.
std::string PdfWithMediaBox(const std::string& box) {
    return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                     "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                     "<< /Type /Page /Parent 2 0 R /MediaBox " + box + " /Contents 4 0 R >>",
                     Stream("0 0 1 rg 10 10 50 50 re f")});
}

// The message a run showed, as its day log keeps it (one line).
std::string MessageIn(const std::string& log) {
    const size_t at = log.rfind("| Message ");
    return at == std::string::npos ? "" : log.substr(at, log.find('\n', at) - at);
}

struct SideRun {
    int exitCode = -1;
    std::string shown, log;
};

// Unattended runs side by side, each in a program folder of its own (a failed run holds
// its message for seconds).
std::vector<SideRun> RunSideBySide(const std::vector<std::vector<std::string>>& runs) {
    std::vector<std::unique_ptr<ProgramFolder>> folders;
    std::vector<pid_t> pids;
    for (const auto& args : runs) {
        folders.push_back(std::make_unique<ProgramFolder>("vx reasons side "));
        std::vector<std::string> argv{folders.back()->dir + "vexomat"};
        argv.insert(argv.end(), args.begin(), args.end());
        pids.push_back(Start(argv, folders.back()->dir + "output.txt"));
    }
    std::vector<SideRun> results;
    for (size_t i = 0; i < pids.size(); ++i) {
        SideRun r;
        r.exitCode = Finish(pids[i], folders[i]->dir + "output.txt").exitCode;
        r.log = folders[i]->Log();
        r.shown = MessageIn(r.log);
        results.push_back(r);
    }
    return results;
}

class FailureReasons : public ProgramRunTest {
protected:
    FailureReasons() : ProgramRunTest("vx reasons ") {}
    // The message the run showed, as the day log keeps it (one line).
    std::string Shown() const {
        const std::string log = RunLog();
        const size_t at = log.rfind("| Message ");
        return at == std::string::npos ? "" : log.substr(at, log.find('\n', at) - at);
    }
    // A PDF of pages made by the program itself.
    void MakePdf(const std::string& path, int pages) {
        WritePostScript(work + "made.ps", pages);
        ASSERT_EQ(Run({"-c", "ps2pdf", "-s", work + "made.ps", "-d", work}).exitCode, 0)
            << RunLog();
        std::filesystem::rename(work + "made.pdf", path);
    }
};

}  // namespace

TEST_F(FailureReasons, GhostscriptFailuresSayWhyInChineseAndNameTheFile) {
    std::string png = "\x89PNG\r\n\x1a\n";
    for (int i = 0; i < 2000; ++i) png += char((i * 7919 + 13) % 256);
    struct Row {
        std::string function, name, content, reason;
    } rows[] = {
        {"ps2pdf", "bar.ps", "%!PS\nbar\nshowpage\n",
         "PostScript 程序出错: 未定义的名称 (undefined)。"},
        {"ps2pdf", "nothing.ps", "%!PS\n% nothing but a comment\n",
         "文件中没有可以输出的页面 (没有页面)。"},
        {"pdf2jpg", "picture.pdf", png, "该文件不是 PDF 文件 (也不是 PostScript 文件)，无法转换。"},
        {"pdf2jpg", "zero box.pdf", PdfWithMediaBox("[0 0 0 0]"), "文件中页面的大小无效 ([0 0])"},
        {"pdf2jpg", "huge box.pdf", PdfWithMediaBox("[0 0 1e9 1e9]"), "文件中页面的大小无效 ("},
    };
    for (const Row& r : rows) {
        Spit(work + r.name, r.content);
        EXPECT_EQ(Run({"-c", r.function, "-s", work + r.name, "-d", work}).exitCode, 1) << r.name;
        const std::string shown = Shown();
        EXPECT_NE(shown.find(r.reason), std::string::npos) << r.name << "\n" << RunLog();
        EXPECT_NE(shown.find("出错的文件: \"" + work + r.name + "\""), std::string::npos)
            << r.name << "\n"
            << shown;
        EXPECT_EQ(shown.find("runpdf"), std::string::npos) << r.name << "\n" << shown;
    }
}

TEST_F(FailureReasons, TheErrorIsShownNotTheWarningBeforeIt) {
    MakePdf(work + "a.pdf", 1);
    ScopedEnv gs("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv mode("VX_STANDIN_MODE", "say");
    ScopedEnv say("VX_STANDIN_SAY",
                  "   **** Warning: Destination page 4 lies outside the valid page range.\n"
                  "   **** Error: Page drawing error occurred.\n");
    EXPECT_EQ(Run({"-c", "pdf2jpg", "-s", work + "a.pdf", "-d", work}).exitCode, 1);
    const std::string shown = Shown();
    EXPECT_NE(shown.find("无法绘制页面"), std::string::npos) << RunLog();
    EXPECT_NE(RunLog().find("| ErrorLine    | Error: Page drawing error occurred."),
              std::string::npos)
        << RunLog();
    EXPECT_EQ(shown.find("Destination page"), std::string::npos) << shown;
    EXPECT_NE(shown.find("出错的文件: \"" + work + "a.pdf\""), std::string::npos) << shown;
}

TEST_F(FailureReasons, AMergeMemberNamedForPasswordsIsCalledDamaged) {
    MakePdf(work + "good.pdf", 2);
    const std::string damaged = work + "How to open password protected files.pdf";
    Spit(damaged, Slurp(work + "good.pdf").substr(0, 400));
    const RunResult r = Run({"-c", "pdfMergeAll", "-s", work + "good.pdf#" + damaged, "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    const std::string shown = Shown();
    EXPECT_EQ(shown.find("密码"), std::string::npos) << shown;
    EXPECT_NE(shown.find("出错的文件: \"" + damaged + "\""), std::string::npos) << RunLog();
}

TEST_F(FailureReasons, APostScriptErrorOnANearlyFullDiskIsNoFullDisk) {
    const std::string full = TempFolder("vx nearly full ");
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=200k") != 0) {
        std::filesystem::remove(full);
        GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
    }
    Spit(full + "fill", std::string(184 * 1024, '\0'));
    Spit(full + "bar.ps", "%!PS\nbar\nshowpage\n");
    const RunResult r = Run({"-c", "ps2pdf", "-s", full + "bar.ps", "-d", full});
    umount(full.c_str());
    std::filesystem::remove(full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(Shown().find("未定义的名称 (undefined)。"), std::string::npos) << RunLog();
    EXPECT_EQ(Shown().find("磁盘空间不足"), std::string::npos) << Shown();
}

TEST_F(FailureReasons, APageNotDrawnForWantOfRoomIsAFullDisk) {
    MakePdf(work + "doc.pdf", 2);
    const std::string full = TempFolder("vx full source ");
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=400k") != 0) {
        std::filesystem::remove(full);
        GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
    }
    std::filesystem::copy_file(work + "doc.pdf", full + "doc.pdf");
    Spit(full + "fill", std::string(330 * 1000, '\0'));
    const RunResult r = Run({"-c", "pdf2jpg", "-s", full + "doc.pdf", "-or", "600", "-d", full});
    const auto left = Listing(full);
    umount(full.c_str());
    std::filesystem::remove(full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(Shown().find("磁盘空间不足，无法写入结果。文件夹 \"" + full + "\" 所在的磁盘已满。" +
                           "出错的文件: \"" + full + "doc.pdf\""),
              std::string::npos)
        << RunLog();
    EXPECT_EQ(left, (std::vector<std::string>{"doc.pdf", "fill"}));
}

TEST_F(FailureReasons, APageFileNameTooLongIsSaidAndNothingIsMade) {
    // 250 bytes with ".pdf"; "_p0001.jpg" makes its pages' names 256.
    const std::string stem = std::string(246, 'n');
    MakePdf(work + stem + ".pdf", 1);
    const auto before = Listing(work);
    EXPECT_EQ(Run({"-c", "pdf2jpg", "-s", work + stem + ".pdf", "-d", work}).exitCode, 1);
    EXPECT_NE(Shown().find("无法写入页面文件 \"" + stem + "_p0001.jpg\"。文件名或扩展名太长。"),
              std::string::npos)
        << RunLog();
    EXPECT_EQ(Shown().find("Could not open"), std::string::npos) << Shown();
    EXPECT_EQ(Listing(work), before);
}

TEST_F(FailureReasons, AFileWhereThePreviewsFolderGoesIsNamed) {
    MakePdf(work + "doc.pdf", 2);
    for (const char* folder : {"pdf", "images"}) {
        const std::string dest = work + "preview " + folder + "/";
        std::filesystem::create_directories(dest);
        Spit(dest + folder, "the user's file");
        EXPECT_EQ(Run({"-c", "pdf2htmlPreview", "-s", work + "doc.pdf", "-d", dest}).exitCode, 1);
        EXPECT_NE(
            Shown().find("无法建立文件夹 \"" + dest + folder + "\": 那里已经有一个同名的文件。"),
            std::string::npos)
            << RunLog();
        EXPECT_EQ(Slurp(dest + folder), "the user's file");
        EXPECT_EQ(Listing(dest), std::vector<std::string>{folder});
    }
}

TEST_F(FailureReasons, AFolderThatCannotBeListedIsNotCalledMissing) {
    // The run goes as a user the folder's permissions bind: the tests' own, or "nobody"
    // when they run as root, who owns the program folder and the source folder then.
    const std::string folder = TempFolder("vx closed ");
    // Made by Ghostscript itself: a run of the program would leave a day log nobody can write.
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(Exec({"gs", "-q", "-sDEVICE=pdfwrite", "-o", folder + "a.pdf", work + "a.ps"},
                   work + "gs.txt")
                  .exitCode,
              0);
    std::vector<std::string> argv;
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (!nobody) GTEST_SKIP() << "running as root and there is no user \"nobody\"";
        for (const std::string& p : {prog.dir, folder})
            ASSERT_EQ(chown(p.c_str(), nobody->pw_uid, nobody->pw_gid), 0) << p;
        argv = {"setpriv", "--reuid=" + std::to_string(nobody->pw_uid),
                "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
        std::vector<std::string> probe = argv;
        probe.insert(probe.end(), {"test", "-x", prog.dir + "vexomat"});
        if (Exec(probe, work + "probe.txt").exitCode != 0)
            GTEST_SKIP() << "running as root, and \"nobody\" cannot run the built program";
    }
    argv.insert(argv.end(),
                {prog.dir + "vexomat", "-c", "pdfMergeAll", "-s", folder, "-d", folder});
    ASSERT_EQ(chmod(folder.c_str(), 0300), 0);
    logBefore = prog.Log().size();
    const RunResult r = Exec(argv, work + "output.txt");
    chmod(folder.c_str(), 0700);
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(Shown().find("没有读取文件夹 \"" + folder + "\" 的权限。"), std::string::npos)
        << RunLog();
    EXPECT_EQ(Shown().find("不存在"), std::string::npos) << Shown();
}

TEST_F(FailureReasons, AWarningAtTheEndOfAJobIsNoFailure) {
    // Ghostscript warns when it closes the output, after the last input: of a title with a
    // byte that has no character, of a link to a page the document does not have.
    Spit(work + "title.ps",
         "%!PS\n[ /Title (a\177b) /DOCINFO pdfmark\n0 0 1 setrgbcolor 10 10 50 50 rectfill "
         "showpage\n");
    ASSERT_EQ(Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pdfwrite",
                    "-sOutputFile=" + work + "title.pdf", work + "title.ps"},
                   work + "gs.txt")
                  .exitCode,
              0);
    MakePdf(work + "zz_two_pages.pdf", 2);
    Spit(work + "link.ps",
         "%!PS\n[ /Rect [0 0 100 100] /Page 5 /View [/XYZ null null null] /Subtype /Link /ANN "
         "pdfmark\n10 10 50 50 rectfill showpage\n");
    struct Row {
        std::vector<std::string> args;
        std::string result;
        int pages;
    } rows[] = {
        {{"-c", "pdfMergeAll", "-s", work + "title.pdf#" + work + "zz_two_pages.pdf"},
         "MERGED-ALL.pdf",
         3},
        {{"-c", "ps2pdf", "-s", work + "link.ps"}, "link.pdf", 1},
    };
    for (Row& r : rows) {
        r.args.insert(r.args.end(), {"-d", work});
        EXPECT_EQ(Run(r.args).exitCode, 0) << r.result << "\n" << RunLog();
        EXPECT_EQ(PdfPages(work + r.result, work), r.pages) << r.result;
        EXPECT_EQ(RunLog().find("ErrorMessage"), std::string::npos) << RunLog();
    }
}

TEST_F(FailureReasons, TextAJobPrintsIsNoReason) {
    const std::string undefined = "PostScript 程序出错: 未定义的名称 (undefined)。";
    const std::pair<const char*, const char*> said[] = {
        {"(%stdout)", "No space left on device"},
        {"(%stderr)", "This file requires a password for access."},
        {"(%stderr)", "Permission denied"},
    };
    std::vector<std::vector<std::string>> runs;
    for (size_t i = 0; i < std::size(said); ++i) {
        const std::string ps = work + "says" + std::to_string(i) + ".ps";
        Spit(ps, std::string("%!PS\n") + said[i].first + " (w) file dup (" + said[i].second +
                     "\\n) writestring flushfile\nfoo\nshowpage\n");
        runs.push_back({"-c", "ps2pdf", "-s", ps, "-d", work});
    }
    const std::vector<SideRun> results = RunSideBySide(runs);
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].exitCode, 1) << said[i].second;
        EXPECT_NE(results[i].shown.find(undefined), std::string::npos) << results[i].log;
        for (const char* word : {"磁盘", "密码", "权限"})
            EXPECT_EQ(results[i].shown.find(word), std::string::npos) << results[i].shown;
    }
}

TEST_F(FailureReasons, GhostscriptsEnglishIsSaidInChineseNamingTheFileAndTheSwitch) {
    MakePdf(work + "good.pdf", 1);
    // A page tree whose kid is no page (the program's own reason: the file has none); one
    // 100,000 levels deep, on which Ghostscript dies.
    Spit(work + "no page.pdf",
         BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
                   "(not a page)"}));
    std::vector<std::string> deep = {"<< /Type /Catalog /Pages 2 0 R >>"};
    for (int level = 0; level < 100000; ++level)
        deep.push_back("<< /Type /Pages /Kids [" + std::to_string(level + 3) + " 0 R] /Count 1" +
                       (level ? " /Parent " + std::to_string(level + 1) + " 0 R" : "") + " >>");
    deep.push_back("<< /Type /Page /Parent 100001 0 R /MediaBox [0 0 200 200] >>");
    Spit(work + "deep.pdf", BuildPdf(deep));
    struct Row {
        std::vector<std::string> args;
        std::string reason, file;
        bool ghostscriptSaid = true;
    } rows[] = {
        {{"-c", "pdfMergeAll", "-s", work + "good.pdf#" + work + "no page.pdf"},
         "PDF 文件中没有任何页面",
         work + "no page.pdf",
         false},
        {{"-c", "pdfMergeAll", "-s", work + "good.pdf#" + work + "deep.pdf"},
         "Ghostscript 在处理文件时意外终止 (信号 11)",
         work + "deep.pdf"},
        {{"-c", "pdf2jpg", "-s", work + "good.pdf", "-or", "=100000"},
         "无法绘制页面: 页面在所选的分辨率下太大，或内存不足。 (参数 -or)",
         work + "good.pdf"},
        // A number that is none names its switch; the library's words go to the day log.
        {{"-c", "pdf2jpg", "-s", work + "good.pdf", "-or", "=abc"},
         "参数 -or 的值 \"abc\" 不是有效的整数。",
         ""},
    };
    std::vector<std::vector<std::string>> runs;
    for (Row& r : rows) {
        r.args.insert(r.args.end(), {"-d", work});
        runs.push_back(r.args);
    }
    const std::vector<SideRun> results = RunSideBySide(runs);
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].exitCode, 1) << rows[i].reason;
        EXPECT_NE(results[i].shown.find(rows[i].reason), std::string::npos) << results[i].log;
        if (!rows[i].file.empty()) {
            EXPECT_NE(results[i].shown.find("出错的文件: \"" + rows[i].file + "\""),
                      std::string::npos)
                << results[i].shown;
        }
        // Ghostscript's or the library's own words stay in the day log.
        if (rows[i].ghostscriptSaid) {
            EXPECT_NE(results[i].log.find("| ErrorLine    | "), std::string::npos)
                << results[i].log;
        }
    }
}

TEST_F(FailureReasons, AFileDeeperThanGhostscriptTakesANameIsConverted) {
    std::string folder = work;
    while (folder.size() < 2300) folder += std::string(200, 'd') + "/";
    std::filesystem::create_directories(folder);
    MakePdf(folder + "a.pdf", 2);
    EXPECT_EQ(Run({"-c", "pdf2pdf", "-s", folder + "a.pdf", "-d", folder}).exitCode, 0) << RunLog();
    EXPECT_EQ(PdfPages(folder + "a_REDUCED.pdf", work), 2);
}

TEST_F(FailureReasons, ASourceThatIsMissingOrWrongIsNamed) {
    MakePdf(work + "a.pdf", 1);
    MakePdf(work + "x#y.pdf", 1);
    Spit(work + "notes.txt", "text");
    std::filesystem::create_directories(work + "folder.pdf");
    std::filesystem::create_directories(work + "texts/");
    Spit(work + "texts/b.txt", "text");
    struct Row {
        std::string source, message, named;
    } rows[] = {
        {work + "a.pdf#" + work + "missing.pdf", "源文件或源文件夹不存在! ",
         "找不到 \"" + work + "missing.pdf\"。"},
        {work + "folder.pdf", "源文件或源文件夹不存在! ",
         "\"" + work + "folder.pdf\" 是一个文件夹，不是文件"},
        {work + "a.pdf#" + work + "folder.pdf", "源文件或源文件夹不存在! ",
         "\"" + work + "folder.pdf\" 是一个文件夹，不是文件。"},
        {work + "texts/", "源文件或源文件夹不存在! ",
         "文件夹 \"" + work + "texts/\" 中没有 *.pdf 文件。"},
        {work + "x#y.pdf", "源文件或源文件夹不存在! ",
         "找不到 \"" + work + "x\"。找不到 \"y.pdf\"。文件 \"" + work +
             "x#y.pdf\" 存在, 但 \"#\" 用来分隔多个源文件。"},
        {work + "notes.txt", "源文件没有正确的文件扩展名! ",
         "\"" + work + "notes.txt\" 不是 *.pdf 文件。"},
    };
    std::vector<std::vector<std::string>> runs;
    for (const Row& r : rows) runs.push_back({"-c", "pdf2jpg", "-s", r.source, "-d", work});
    const std::vector<SideRun> results = RunSideBySide(runs);
    for (size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].exitCode, 1) << rows[i].source;
        // The message's first line stays; what is missing or wrong stands beneath it.
        EXPECT_NE(results[i].shown.find(rows[i].message + rows[i].named), std::string::npos)
            << results[i].log;
    }
}

namespace {

// Ends the run within the bound, else kills it: -2 then (it waited on something).
int ExitWithin(pid_t pid, int seconds) {
    int status = 0;
    for (int tick = 0; tick < seconds * 20; ++tick) {
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        usleep(50 * 1000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -2;
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// The regular files of a folder and what they hold; a pipe is only named, never opened.
std::map<std::string, std::string> RegularFiles(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const std::string& name : Listing(dir)) {
        std::error_code ec;
        files[name] = std::filesystem::is_regular_file(dir + name, ec) ? Slurp(dir + name) : "";
    }
    return files;
}

}  // namespace

// Sources that are no regular files, a temporary folder that is missing or a file, and a
// cause that several names or steps share: each is said once, in Chinese, naming what it
// is about; no run waits on a pipe, and none leaves anything behind.
TEST_F(FailureReasons, WhatIsNoFileOrNoFolderIsSaidOnceInChineseNamingIt) {
    MakePdf(work + "a.pdf", 1);
    Spit(work + "letter.doc", "not a document");
    Spit(work + "file", "a file");
    Spit(work + "a_REDUCED.pdf", "older result");
    ASSERT_EQ(mkfifo((work + "pipe.pdf").c_str(), 0600), 0) << std::strerror(errno);
    ASSERT_EQ(mkfifo((work + "pipe.ps").c_str(), 0600), 0) << std::strerror(errno);
    ASSERT_EQ(symlink("/dev/zero", (work + "zero.pdf").c_str()), 0) << std::strerror(errno);
    const std::map<std::string, std::string> before = RegularFiles(work);
    const std::string standIn = std::string("VEXOMAT_GS=") + VX_GS_STANDIN;
    struct Row {
        std::vector<std::string> env, args;
        std::string once;  // in the message, once
    } rows[] = {
        {{},
         {"pdf2pdf", work + "pipe.pdf"},
         "源文件不是普通文件, 而是一个命名管道 (FIFO): \"" + work + "pipe.pdf\""},
        {{},
         {"ps2pdf", work + "pipe.ps"},
         "源文件不是普通文件, 而是一个命名管道 (FIFO): \"" + work + "pipe.ps\""},
        {{},
         {"pdf2jpg", work + "zero.pdf"},
         "源文件不是普通文件, 而是一个设备: \"" + work + "zero.pdf\""},
        {{"TMPDIR=" + work + "file"},
         {"doc2pdf", work + "letter.doc"},
         "临时文件夹 \"" + work + "file\" (环境变量 TMPDIR) 不是文件夹, 而是一个文件。"},
        {{"TMPDIR=" + work + "missing/"},
         {"doc2pdf", work + "letter.doc"},
         "临时文件夹 \"" + work + "missing\" (环境变量 TMPDIR) 不存在。"},
        // Both readings of the source the cropper needs fail on Ghostscript's one cause.
        {{standIn, "VX_STANDIN_MODE=say", "VX_STANDIN_SAY=Error: /ioerror in --showpage--\n"},
         {"pdfAutoCrop", work + "a.pdf"},
         "出错的文件: \"" + work + "a.pdf\""},
        {{}, {"pdf2pdf", "###"}, "源文件的名称是空的。"},
        {{},
         {"pdf2pdf", work + "a.pdf#" + work + "gone.pdf#" + work + "gone.pdf"},
         "找不到 \"" + work + "gone.pdf\"。"},
        {{},
         {"pdf2pdf", work + "letter.doc#" + work + "a.pdf#" + work + "letter.doc"},
         "\"" + work + "letter.doc\" 不是 *.pdf 文件。"},
    };
    std::vector<std::unique_ptr<ProgramFolder>> folders;
    std::vector<pid_t> pids;
    for (const Row& r : rows) {
        folders.push_back(std::make_unique<ProgramFolder>("vx reasons once "));
        std::vector<std::string> argv{"env"};
        argv.insert(argv.end(), r.env.begin(), r.env.end());
        argv.insert(argv.end(), {folders.back()->dir + "vexomat", "-c", r.args[0], "-s", r.args[1],
                                 "-d", work});
        pids.push_back(Start(argv, folders.back()->dir + "output.txt"));
    }
    for (size_t i = 0; i < pids.size(); ++i) {
        EXPECT_EQ(ExitWithin(pids[i], 120), 1) << rows[i].args[1] << " (-2: still running)";
        const std::string log = folders[i]->Log();
        const std::string shown = MessageIn(log);
        EXPECT_EQ(Occurrences(shown, rows[i].once), 1u) << rows[i].once << "\n" << log;
        for (const char* english : {"directory", "Not a", "No such"})
            EXPECT_EQ(shown.find(english), std::string::npos) << shown;
    }
    EXPECT_EQ(RegularFiles(work), before);
}

namespace {

// A two-page PDF without a media box; its second page's content is `second`.
std::string PdfWithoutMediaBox(const std::string& second) {
    return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                     "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
                     "<< /Type /Page /Parent 2 0 R /Contents 5 0 R >>",
                     "<< /Type /Page /Parent 2 0 R /Contents 6 0 R >>",
                     Stream("0 0 1 rg 72 72 200 200 re f"), second});
}

// PostScript that prints error statements every way it can, then draws a page.
const char kPrintsErrors[] =
    "%!PS\n(Error: /undefined in fakeop) =\n(Error: /undefined in fakeop\\n) print\n"
    "(%stderr) (w) file dup (Error: /undefined in fakeop\\n) writestring flushfile\n"
    "0 0 1 setrgbcolor 72 72 200 200 rectfill showpage\n";

}  // namespace

TEST_F(FailureReasons, GhostscriptsExitCodeDecidesNotTextTheJobPrinted) {
    Spit(work + "prints.ps", kPrintsErrors);
    Spit(work + "no box.pdf", PdfWithoutMediaBox(Stream("0 1 0 rg 72 72 100 100 re f")));
    struct Row {
        std::vector<std::string> args;
        std::string result;
        int pages;
    } rows[] = {
        {{"-c", "ps2pdf", "-s", work + "prints.ps"}, "prints.pdf", 1},
        // Pages without a media box are drawn on the current page size.
        {{"-c", "pdf2pdf", "-s", work + "no box.pdf"}, "no box_REDUCED.pdf", 2},
        {{"-c", "pdf2jpg", "-s", work + "no box.pdf"}, "no box_p0002.jpg", 1},
    };
    for (Row& r : rows) {
        r.args.insert(r.args.end(), {"-d", work});
        EXPECT_EQ(Run(r.args).exitCode, 0) << r.result << "\n" << RunLog();
        EXPECT_EQ(RunLog().find("ErrorMessage"), std::string::npos) << RunLog();
        if (r.result.find(".pdf") != std::string::npos) {
            EXPECT_EQ(PdfPages(work + r.result, work), r.pages) << r.result;
        } else {
            EXPECT_TRUE(Exists(work + r.result)) << r.result;
        }
    }
}

TEST_F(FailureReasons, TheErrorGhostscriptEndsWithAndNotTheFileIsTheReason) {
    Spit(work + "divides.ps", std::string(kPrintsErrors) + "1 0 div\n");
    // A page whose content stream cannot be read; a Ghostscript ended from outside.
    Spit(work + "broken.pdf", PdfWithoutMediaBox("<< /Length 24 /Filter /FlateDecode >>\nstream\n"
                                                 "x\x9c garbage, not zlib \x01\nendstream"));
    MakePdf(work + "a.pdf", 2);
    Spit(work + "a_p0001.jpg", "older page");
    const std::string ps = work + "divides.ps";
    const std::vector<SideRun> results =
        RunSideBySide({{"-c", "ps2pdf", "-s", ps, "-d", work},
                       {"-c", "pdf2jpg", "-s", work + "broken.pdf", "-d", work}});
    EXPECT_EQ(results[0].exitCode, 1);
    EXPECT_NE(results[0].shown.find("PostScript 程序出错: 计算结果无定义 (undefinedresult), "
                                    "出错的操作符: --div--。出错的文件: \"" +
                                    ps + "\""),
              std::string::npos)
        << results[0].log;
    EXPECT_EQ(results[0].log.find("fakeop。"), std::string::npos) << results[0].log;
    EXPECT_EQ(results[1].exitCode, 1);
    EXPECT_NE(results[1].shown.find("页面已损坏"), std::string::npos) << results[1].log;
    EXPECT_EQ(results[1].shown.find("太大"), std::string::npos) << results[1].shown;
    EXPECT_FALSE(Exists(work + "broken_p0001.jpg"));

    ScopedEnv gs("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv mode("VX_STANDIN_MODE", "killed");
    for (const char* signal : {"9", "15"}) {
        ScopedEnv sig("VX_STANDIN_SIGNAL", signal);
        EXPECT_EQ(Run({"-c", "pdf2jpg", "-s", work + "a.pdf", "-d", work}).exitCode, 1);
        EXPECT_NE(Shown().find("被外部结束 (信号 " + std::string(signal) + ")"), std::string::npos)
            << RunLog();
        EXPECT_EQ(Shown().find("结构"), std::string::npos) << Shown();
        EXPECT_EQ(Slurp(work + "a_p0001.jpg"), "older page");
    }
}

TEST_F(FailureReasons, ALinkToAFileOthersCannotReadPutsNothingOfItAnywhere) {
    const std::string secrets = TempFolder("vx secrets ");
    const std::string secret = secrets + "shadow";
    Spit(secret, "root:*:20228:0:99999:7:::\ndaemon:*:20228:0:99999:7:::\n");
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    std::filesystem::create_symlink(secret, work + "secret.pdf");
    const RunResult r = Run({"-c", "pdf2jpg", "-s", work + "secret.pdf", "-d", work});
    std::error_code ec;
    std::filesystem::remove_all(secrets, ec);
    EXPECT_EQ(r.exitCode, 1);
    // As root Ghostscript reads it and finds no PDF; anyone else may not read it at all.
    const std::string shown = Shown();
    EXPECT_TRUE(shown.find("该文件不是 PDF 文件") != std::string::npos ||
                shown.find("权限") != std::string::npos)
        << RunLog();
    EXPECT_NE(shown.find("出错的文件: \"" + work + "secret.pdf\""), std::string::npos) << shown;
    for (const std::string& text : {r.output, Slurp(prog.dir + "output.txt")}) {
        EXPECT_EQ(text.find("20228"), std::string::npos) << text;
    }
    for (const std::string& line : {std::string("| ErrorMessage |"), std::string("| Message ")}) {
        const std::string log = RunLog();
        for (size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
            EXPECT_EQ(log.substr(at, log.find('\n', at) - at).find("20228"), std::string::npos);
    }
    // What does quote it, the day log and Ghostscript's logs, only their owner reads.
    size_t logs = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(prog.dir + "logs")) {
        if (!e.is_regular_file()) continue;
        ++logs;
        const auto perms = e.status().permissions();
        EXPECT_EQ(perms & (std::filesystem::perms::group_all | std::filesystem::perms::others_all),
                  std::filesystem::perms::none)
            << e.path();
    }
    EXPECT_GE(logs, 3u);
}

TEST_F(FailureReasons, AnOutputThatCannotBeWrittenOutOnAFullDiskSaysWhichFolder) {
    MakePdf(work + "doc.pdf", 2);
    const std::string full = TempFolder("vx full output ");
    if (mount("tmpfs", full.c_str(), "tmpfs", 0, "size=400k") != 0) {
        std::filesystem::remove(full);
        GTEST_SKIP() << "no small file system can be mounted here: " << std::strerror(errno);
    }
    std::filesystem::copy_file(work + "doc.pdf", full + "doc.pdf");
    Spit(full + "doc.ps", "older");
    // Room for the PostScript writer's temporary files, none to write them out.
    Spit(full + "fill", std::string(370 * 1024, '\0'));
    const RunResult r = Run({"-c", "pdf2ps", "-s", full + "doc.pdf", "-d", full});
    const std::string older = Slurp(full + "doc.ps");
    const auto left = Listing(full);
    umount(full.c_str());
    std::filesystem::remove(full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(Shown().find("磁盘空间不足，无法写入结果。文件夹 \"" + full + "\" 所在的磁盘已满。"),
              std::string::npos)
        << RunLog();
    EXPECT_EQ(Shown().find("ioerror"), std::string::npos) << Shown();
    EXPECT_EQ(older, "older");
    EXPECT_EQ(left, (std::vector<std::string>{"doc.pdf", "doc.ps", "fill"}));
}
