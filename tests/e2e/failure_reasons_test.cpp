// The reasons an unattended run gives for a failure: taken from the line that states the
// error (not from a warning before it, nor from a file's name), in Chinese, and naming
// the file they are about.
#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
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
         "PostScript 程序出错: 未定义的名称 (undefined), 出错的操作符: bar。"},
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
    EXPECT_NE(Shown().find("未定义的名称 (undefined), 出错的操作符: bar"), std::string::npos)
        << RunLog();
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
    EXPECT_NE(Shown().find("磁盘空间不足，无法写入结果。出错的文件: \"" + full + "doc.pdf\""),
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
    const std::string undefined =
        "PostScript 程序出错: 未定义的名称 (undefined), 出错的操作符: foo。";
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
