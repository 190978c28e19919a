// Unattended runs of the office functions on LibreOffice: documents made at test time
// from the flat-ODF sources in tests/data, results read back with poppler and Ghostscript
// (page counts, page sizes and orientation, page ranges, pages per sheet, the sheets
// printed, TIFF page order, slides), and no office process left behind.
#include <dirent.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/rtl/md5.h"
#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

bool OfficeInstalled() {
    return access("/usr/bin/soffice", X_OK) == 0 && Exists("/usr/lib/python3/dist-packages/uno.py");
}

struct PageSize {
    double w = 0, h = 0;
};

// "Page    2 size: 595 x 842 pts" lines of pdfinfo -f 1 -l n.
std::vector<PageSize> PdfPageSizes(const std::string& pdf, const std::string& scratch) {
    RunResult r = Exec({"pdfinfo", "-f", "1", "-l", "999", pdf}, scratch + "pdfinfo-sizes.txt");
    std::vector<PageSize> sizes;
    std::istringstream in(r.output);
    std::string line;
    while (std::getline(in, line)) {
        size_t p = line.find(" size: ");
        if (line.rfind("Page", 0) != 0 || p == std::string::npos) continue;
        PageSize s;
        std::sscanf(line.c_str() + p + 7, "%lf x %lf", &s.w, &s.h);
        sizes.push_back(s);
    }
    return sizes;
}

// Process ids of the running processes whose command line mentions text.
std::vector<std::string> ProcessIdsMentioning(const std::string& text) {
    std::vector<std::string> found;
    DIR* d = opendir("/proc");
    if (!d) return found;
    while (dirent* e = readdir(d)) {
        if (!std::isdigit(static_cast<unsigned char>(e->d_name[0]))) continue;
        std::string cmd = Slurp(std::string("/proc/") + e->d_name + "/cmdline");
        for (auto& c : cmd)
            if (c == '\0') c = ' ';
        if (cmd.find(text) != std::string::npos) found.push_back(e->d_name);
    }
    closedir(d);
    return found;
}

// Command lines of the running processes that mention text.
std::vector<std::string> ProcessesMentioning(const std::string& text) {
    std::vector<std::string> found;
    for (const std::string& pid : ProcessIdsMentioning(text)) {
        std::string cmd = Slurp("/proc/" + pid + "/cmdline");
        for (auto& c : cmd)
            if (c == '\0') c = ' ';
        if (!cmd.empty()) found.push_back(cmd);
    }
    return found;
}

// The red, green and blue at a point of a PDF page (fractions of its width and height from
// the top left), rendered by Ghostscript; empty when the page cannot be rendered.
std::vector<int> PagePixel(const std::string& pdf, int page, const std::string& scratch,
                           double fx = 0.5, double fy = 0.5) {
    std::string ppm = scratch + "centre.ppm";
    Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=ppmraw", "-r10",
          "-dFirstPage=" + std::to_string(page), "-dLastPage=" + std::to_string(page),
          "-sOutputFile=" + ppm, pdf},
         scratch + "gs.txt");
    std::string d = Slurp(ppm);
    // The header: "P6", width, height, maximum, with "#" comment lines between.
    std::vector<long> values;
    size_t i = 2;
    while (values.size() < 3 && i < d.size()) {
        if (d[i] == '#') {
            while (i < d.size() && d[i] != '\n') ++i;
        } else if (std::isdigit(static_cast<unsigned char>(d[i]))) {
            values.push_back(std::strtol(d.c_str() + i, nullptr, 10));
            while (i < d.size() && std::isdigit(static_cast<unsigned char>(d[i]))) ++i;
            continue;
        }
        ++i;
    }
    if (d.compare(0, 2, "P6") != 0 || values.size() < 3) return {};
    const long w = values[0], h = values[1];
    size_t off = i + 1 + (size_t(double(h) * fy) * size_t(w) + size_t(double(w) * fx)) * 3;
    if (off + 2 >= d.size()) return {};
    auto c = [&](int i) { return int(static_cast<unsigned char>(d[off + size_t(i)])); };
    return {c(0), c(1), c(2)};
}

// The colour at the centre of a PDF page, rendered by Ghostscript: 'r', 'g', 'b' or '?'.
char CentreColour(const std::string& pdf, int page, const std::string& scratch) {
    const std::vector<int> c = PagePixel(pdf, page, scratch);
    if (c.empty()) return '?';
    if (c[0] > 200 && c[1] < 60 && c[2] < 60) return 'r';
    if (c[1] > 200 && c[0] < 60 && c[2] < 60) return 'g';
    if (c[2] > 200 && c[0] < 60 && c[1] < 60) return 'b';
    return '?';
}

// Which cells of a columns x rows grid over a rendered PDF page hold any dark pixel.
std::vector<bool> InkedCells(const std::string& pdf, int page, int columns, int rows,
                             const std::string& scratch) {
    const std::string pgm = scratch + "cells.pgm";
    Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pgmraw", "-r40",
          "-dFirstPage=" + std::to_string(page), "-dLastPage=" + std::to_string(page),
          "-sOutputFile=" + pgm, pdf},
         scratch + "gs.txt");
    std::istringstream in(Slurp(pgm));
    std::vector<int> header;  // width, height, maximum ("#" comment lines between)
    std::string word;
    while (header.size() < 3 && in >> word) {
        if (word[0] == '#')
            std::getline(in, word);
        else if (word != "P5")
            header.push_back(std::atoi(word.c_str()));
    }
    in.get();
    std::vector<bool> inked(size_t(columns * rows), false);
    if (header.size() < 3) return inked;
    const int w = header[0], h = header[1];
    std::string pixels(size_t(w) * size_t(h), '\xff');
    in.read(pixels.data(), std::streamsize(pixels.size()));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<unsigned char>(pixels[size_t(y) * size_t(w) + size_t(x)]) < 160)
                inked[size_t(y * rows / h) * size_t(columns) + size_t(x * columns / w)] = true;
    return inked;
}

// A document of 600 pages, in RTF (which the office reads under the name ".doc"), that
// takes the office a good while to open and print.
std::string LongDocument() {
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 ";
    std::string words;
    for (int i = 0; i < 40; ++i) words += "Lorem ipsum dolor sit amet, consectetur adipiscing. ";
    for (int page = 1; page <= 600; ++page)
        rtf += "Page " + std::to_string(page) + ". " + words + "\\par\\page ";
    return rtf + "}";
}

// The sockets in /tmp an office of a run leaves when it is killed: its accepting pipe,
// named after the run's process, and its one-instance pipe, named by the digest of its
// profile's address as UTF-16 (in hexadecimal without leading zeros). Those there now.
std::vector<std::string> OfficeSocketsOf(pid_t run, const std::string& sessionFolder) {
    const std::string head = "OSL_PIPE_" + std::to_string(::getuid()) + "_";
    std::string utf16;
    for (char c : "file://" + sessionFolder + "profile") utf16 += {c, '\0'};
    std::string digest;
    for (uint8_t byte : Md5(utf16)) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%x", byte);
        digest += hex;
    }
    std::vector<std::string> found;
    for (const std::string& name : Listing("/tmp/")) {
        struct stat st {};
        if ((name.rfind(head + "vexomat" + std::to_string(run) + "_", 0) == 0 ||
             name == head + "SingleOfficeIPC_" + digest) &&
            ::lstat(("/tmp/" + name).c_str(), &st) == 0 && S_ISSOCK(st.st_mode))
            found.push_back(name);
    }
    return found;
}

class OfficeRun : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OfficeInstalled())
            GTEST_SKIP() << "LibreOffice (soffice and python3-uno) is not installed; "
                            "scripts/setup.sh installs it";
        work = TempFolder("vx office 文件 'q' ");
        // The runs' office profiles go below a folder of this test, so that what they
        // leave running can be told apart from anything else.
        tmp = TempFolder("vx-office-tmp-");
        oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
        hadTmp = std::getenv("TMPDIR") != nullptr;
        setenv("TMPDIR", tmp.c_str(), 1);
    }
    void TearDown() override {
        if (hadTmp)
            setenv("TMPDIR", oldTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        std::error_code ec;
        if (!work.empty()) std::filesystem::remove_all(work, ec);
        if (!tmp.empty()) std::filesystem::remove_all(tmp, ec);
    }
    // The document made from a flat-ODF source, converted by LibreOffice to ext.
    std::string Make(const std::string& source, const std::string& ext, const std::string& name) {
        std::string profile = tmp + "maker-profile";
        RunResult r = Exec(
            {"soffice", "--headless", "-env:UserInstallation=file://" + profile, "--convert-to",
             ext, "--outdir", tmp, std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/" + source},
            tmp + "maker.txt");
        std::string made = tmp + source.substr(0, source.rfind('.')) + "." + ext;
        EXPECT_TRUE(Exists(made)) << r.output;
        std::filesystem::rename(made, work + name);
        return work + name;
    }
    RunResult Run(const std::vector<std::string>& args) {
        RunResult r = prog.Vexomat(args);
        EXPECT_TRUE(ProcessesMentioning(tmp + "vexomat-office").empty())
            << "an office process outlived the run";
        return r;
    }
    ProgramFolder prog;
    std::string work, tmp, oldTmp;
    bool hadTmp = false;
};

}  // namespace

TEST_F(OfficeRun, WordDocumentPrintsAllPagesInItsOwnOrientation) {
    std::string doc = Make("three_pages.fodt", "doc", "报告 \"one\".doc");
    ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-d", work}).exitCode, 0) << prog.Log();
    auto sizes = PdfPageSizes(work + "报告 \"one\".pdf", work);
    ASSERT_EQ(sizes.size(), 3u);
    for (auto& s : sizes) EXPECT_LT(s.w, s.h);
    EXPECT_NEAR(sizes[0].w, 595, 2);
}

TEST_F(OfficeRun, WordLandscapeTurnsEveryPage) {
    std::string doc = Make("three_pages.fodt", "doc", "land.doc");
    ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-oo", "l"}).exitCode, 0) << prog.Log();
    auto sizes = PdfPageSizes(work + "land.pdf", work);
    ASSERT_EQ(sizes.size(), 3u);
    for (auto& s : sizes) {
        EXPECT_NEAR(s.w, 842, 2);
        EXPECT_NEAR(s.h, 595, 2);
    }
}

TEST_F(OfficeRun, WordPageRangeInItsOwnSyntax) {
    std::string doc = Make("three_pages.fodt", "doc", "range.doc");
    ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-ov", "=1, 3-3"}).exitCode, 0) << prog.Log();
    EXPECT_EQ(PdfPages(work + "range.pdf", work), 2);
}

TEST_F(OfficeRun, WordPagesPerSheet) {
    std::string doc = Make("three_pages.fodt", "doc", "nup.doc");
    // Two portrait pages side by side on a turned sheet.
    ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-oa", "2"}).exitCode, 0) << prog.Log();
    auto sizes = PdfPageSizes(work + "nup.pdf", work);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_GT(sizes[0].w, sizes[0].h);
    // Six per sheet (3 across, 2 down): all three pages on one sheet.
    ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-oa", "6"}).exitCode, 0) << prog.Log();
    EXPECT_EQ(PdfPages(work + "nup.pdf", work), 1);
}

TEST_F(OfficeRun, PrintedTextStaysSearchable) {
    // Latin and Chinese text printed by Word and Excel is found in the PDF, on every
    // printing path: plain, landscape on a turned sheet, and pages per sheet.
    struct Row {
        std::string function, source, ext, latin, chinese;
        std::vector<std::string> options;
    } rows[] = {{"doc2pdf",
                 "latin_chinese.fodt",
                 "doc",
                 "Quarterly report 2024",
                 "季度报告：销售额增长",
                 {}},
                {"doc2pdf",
                 "latin_chinese.fodt",
                 "doc",
                 "Quarterly report 2024",
                 "季度报告：销售额增长",
                 {"-oo", "l"}},
                {"doc2pdf",
                 "latin_chinese.fodt",
                 "doc",
                 "Quarterly report 2024",
                 "季度报告：销售额增长",
                 {"-oa", "2"}},
                {"xls2pdf", "latin_chinese.fods", "xls", "Revenue total", "收入合计", {}}};
    for (const Row& r : rows) {
        const std::string doc = Make(r.source, r.ext, "文本." + r.ext);
        std::vector<std::string> args{"-c", r.function, "-s", doc, "-d", work};
        args.insert(args.end(), r.options.begin(), r.options.end());
        ASSERT_EQ(Run(args).exitCode, 0) << prog.Log();
        const std::string text =
            Exec({"pdftotext", work + "文本.pdf", "-"}, work + "pdftotext.txt").output;
        EXPECT_NE(text.find(r.latin), std::string::npos)
            << r.function << " " << (r.options.empty() ? "" : r.options[1]) << ": " << text;
        EXPECT_NE(text.find(r.chinese), std::string::npos)
            << r.function << " " << (r.options.empty() ? "" : r.options[1]) << ": " << text;
    }
}

TEST_F(OfficeRun, GarbageAndEmptyFilesAreNoDocuments) {
    // Random bytes and empty files under each application's extension; the runs go side
    // by side, each in a program folder of its own.
    std::string junk;
    for (int i = 0; i < 3000; ++i) junk += char((i * 7919 + i / 13) % 256);
    struct Row {
        std::string function, file, content;
    } rows[] = {{"doc2pdf", "junk.doc", junk}, {"xls2pdf", "junk.xls", junk},
                {"ppt2pdf", "junk.ppt", junk}, {"doc2pdf", "empty.doc", ""},
                {"xls2pdf", "empty.xls", ""},  {"ppt2pdf", "empty.ppt", ""}};
    std::vector<std::unique_ptr<ProgramFolder>> folders;
    std::vector<pid_t> runs;
    for (const Row& r : rows) {
        Spit(work + r.file, r.content);
        folders.push_back(std::make_unique<ProgramFolder>());
        runs.push_back(Start(
            {folders.back()->dir + "vexomat", "-c", r.function, "-s", work + r.file, "-d", work},
            folders.back()->dir + "output.txt"));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(Finish(runs[i], folders[i]->dir + "output.txt").exitCode, 1) << rows[i].file;
        EXPECT_NE(folders[i]->Log().find("the document cannot be opened: " + work + rows[i].file),
                  std::string::npos)
            << folders[i]->Log();
        EXPECT_FALSE(Exists(work + rows[i].file.substr(0, rows[i].file.size() - 4) + ".pdf"))
            << rows[i].file;
    }
    EXPECT_TRUE(ProcessesMentioning(tmp + "vexomat-office").empty())
        << "an office process outlived the runs";
}

TEST_F(OfficeRun, PasswordProtectedDocumentsSaySo) {
    // tests/data/locked* were saved by LibreOffice with the password "pw"; locked_odf.doc
    // is an OpenDocument text under a Word document's name.
    struct Row {
        std::string function, file;
    } rows[] = {
        {"doc2pdf", "locked.doc"}, {"xls2pdf", "locked.xls"}, {"doc2pdf", "locked_odf.doc"}};
    std::vector<std::unique_ptr<ProgramFolder>> folders;
    std::vector<pid_t> runs;
    for (const Row& r : rows) {
        std::filesystem::copy_file(std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/" + r.file,
                                   work + r.file);
        folders.push_back(std::make_unique<ProgramFolder>());
        runs.push_back(Start(
            {folders.back()->dir + "vexomat", "-c", r.function, "-s", work + r.file, "-d", work},
            folders.back()->dir + "output.txt"));
    }
    for (size_t i = 0; i < runs.size(); ++i) {
        EXPECT_EQ(Finish(runs[i], folders[i]->dir + "output.txt").exitCode, 1) << rows[i].file;
        EXPECT_NE(folders[i]->Log().find("无法打开文档 \"" + work + rows[i].file +
                                         "\"。 ⏎ 该文件受密码保护，需要密码才能打开。"),
                  std::string::npos)
            << folders[i]->Log();
        EXPECT_EQ(folders[i]->Log().find("文件已损坏"), std::string::npos) << rows[i].file;
    }
    EXPECT_TRUE(ProcessesMentioning(tmp + "vexomat-office").empty())
        << "an office process outlived the runs";
}

TEST_F(OfficeRun, ADocumentTheUserCannotReadSaysSo) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    std::string doc = Make("three_pages.fodt", "doc", "closed.doc");
    chmod(doc.c_str(), 0);
    EXPECT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-d", work}).exitCode, 1);
    EXPECT_NE(prog.Log().find("无法打开文档 \"" + doc + "\"。 ⏎ 没有读取该文件的权限。"),
              std::string::npos)
        << prog.Log();
    EXPECT_EQ(prog.Log().find("文件已损坏"), std::string::npos) << prog.Log();
}

TEST_F(OfficeRun, AnOfficeStepWithoutProgressIsEnded) {
    // The office's whole group is stopped once it is there: it uses no processor time and
    // writes nothing from then on, so its step is ended for want of progress, after the
    // limit. The limit is long enough for progress to be looked at several times (a
    // second apart) before it passes; with the same limit a busy office is never cut
    // (ABusyOfficeIsNeverCut).
    std::string doc = Make("three_pages.fodt", "doc", "idle.doc");
    Spit(work + "idle.pdf", "older result");
    setenv("VEXOMAT_NO_PROGRESS_LIMIT_MS", "3000", 1);
    const pid_t run = Start({prog.dir + "vexomat", "-c", "doc2pdf", "-s", doc, "-d", work},
                            prog.dir + "output.txt");
    unsetenv("VEXOMAT_NO_PROGRESS_LIMIT_MS");
    pid_t group = -1;
    for (int look = 0; look < 6000 && group <= 0; ++look) {
        for (const std::string& p : ProcessIdsMentioning(tmp + "vexomat-office"))
            if (Slurp("/proc/" + p + "/cmdline").find("bridge.py") != std::string::npos)
                group = getpgid(std::stoi(p));
        if (group <= 0) usleep(10000);
    }
    ASSERT_GT(group, 0) << "the run started no office within a minute";
    ASSERT_EQ(kill(-group, SIGSTOP), 0) << std::strerror(errno);
    const auto stopped = std::chrono::steady_clock::now();
    const RunResult r = Finish(run, prog.dir + "output.txt");
    const auto waited = std::chrono::steady_clock::now() - stopped;
    kill(-group, SIGCONT);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "idle.pdf"), "older result");
    EXPECT_NE(prog.Log().find("文件 \"idle.doc\" 的处理时间过长: 办公程序的步骤 "),
              std::string::npos)
        << prog.Log();
    EXPECT_NE(prog.Log().find(" 在 3 秒内没有任何进展, 已被终止。"), std::string::npos)
        << prog.Log();
    // Not before the limit: a bound from below, which no slow machine can break.
    EXPECT_GE(waited, std::chrono::milliseconds(3000));
    EXPECT_TRUE(ProcessesMentioning(tmp + "vexomat-office").empty())
        << "an office process outlived the run";
}

TEST_F(OfficeRun, AnOfficeFailureSaysWhyInChineseNamingTheFileAndTheSwitch) {
    std::string doc = Make("three_pages.fodt", "doc", "range.doc");
    // Pages the document does not have.
    EXPECT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-ov", "=5-9", "-d", work}).exitCode, 1);
    EXPECT_NE(prog.Log().find("页码范围 \"5-9\" 超出了文档的页数 (3 页)。 (参数 -ov)"),
              std::string::npos)
        << prog.Log();
    // The pages are those of the document, not every page box of the office's PDF.
    const std::string one = Make("latin_chinese.fodt", "doc", "one page.doc");
    EXPECT_EQ(Run({"-c", "doc2pdf", "-s", one, "-ov", "=2", "-d", work}).exitCode, 1);
    EXPECT_NE(prog.Log().find("页码范围 \"2\" 超出了文档的页数 (1 页)。"), std::string::npos)
        << prog.Log();
    // No room in the temporary folder, where the office keeps its files.
    const std::string full = TempFolder("vx office full ");
    if (Exec({"mount", "-t", "tmpfs", "-o", "size=3m", "tmpfs", full}, work + "mount.txt")
            .exitCode != 0)
        GTEST_SKIP() << "no small file system can be mounted here: " << Slurp(work + "mount.txt");
    Spit(full + "fill", std::string(2900 * 1000, '\0'));
    setenv("TMPDIR", full.c_str(), 1);
    const RunResult r = Run({"-c", "doc2pdf", "-s", doc, "-d", work});
    setenv("TMPDIR", tmp.c_str(), 1);
    Exec({"umount", full}, work + "mount.txt");
    std::filesystem::remove(full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(prog.Log().find("临时文件夹 \"" + full + "\" 所在的磁盘空间不足。 ⏎ 出错的文件: \"" +
                              doc + "\""),
              std::string::npos)
        << prog.Log();
}

// An office that works steadily is never cut, however long its steps take: a document of
// many pages takes the office far longer than the limit to open and print, and a limit too
// long for the clock is no limit at all.
TEST_F(OfficeRun, ABusyOfficeIsNeverCut) {
    Spit(work + "long.doc", LongDocument());
    for (const char* limit : {"3000", "9300000000000"}) {
        std::filesystem::remove(work + "long.pdf");
        setenv("VEXOMAT_NO_PROGRESS_LIMIT_MS", limit, 1);
        const RunResult r = Run({"-c", "doc2pdf", "-s", work + "long.doc", "-d", work});
        unsetenv("VEXOMAT_NO_PROGRESS_LIMIT_MS");
        ASSERT_EQ(r.exitCode, 0) << limit << "\n" << prog.Log();
        EXPECT_EQ(PdfPages(work + "long.pdf", tmp), 600) << limit;
    }
}

// A run ended by SIGTERM or SIGINT (how a time-out or Ctrl-C ends it) while the office
// works takes the office along, and the sockets it made in /tmp.
TEST_F(OfficeRun, AnEndingSignalLeavesNoOfficeAndNoSocket) {
    Spit(work + "long.doc", LongDocument());
    for (const int sig : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(sig);
        const pid_t run =
            Start({prog.dir + "vexomat", "-c", "doc2pdf", "-s", work + "long.doc", "-d", work},
                  tmp + "run.txt");
        // The office is up once both its sockets are there.
        std::string session;
        std::vector<std::string> sockets;
        for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
             sockets.size() < 2 && std::chrono::steady_clock::now() < until;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (const std::string& name : Listing(tmp))
                if (name.rfind("vexomat-office-", 0) == 0) session = tmp + name + "/";
            if (!session.empty()) sockets = OfficeSocketsOf(run, session);
        }
        ::kill(run, sig);
        const RunResult r = Finish(run, tmp + "run.txt");
        ASSERT_EQ(sockets.size(), 2u) << "the office did not come up:\n" << r.output;
        EXPECT_EQ(r.exitCode, 128 + sig);
        EXPECT_EQ(OfficeSocketsOf(run, session), std::vector<std::string>{});
        // Killed processes take a moment to go.
        for (auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             !ProcessesMentioning(tmp + "vexomat-office").empty() &&
             std::chrono::steady_clock::now() < until;)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ProcessesMentioning(tmp + "vexomat-office"), std::vector<std::string>{});
        EXPECT_FALSE(Exists(session)) << session;
    }
}

// An unattended office run starts the office while it sets itself up. A run that ends
// before the office is asked for anything (here its source does not exist) still leaves no
// office process and no session folder behind.
TEST_F(OfficeRun, ARunRefusedBeforeTheOfficeIsUsedLeavesNothingBehind) {
    for (const char* function : {"doc2pdf", "xls2pdf"}) {
        const RunResult r = Run({"-c", function, "-s", work + "missing.doc", "-d", work});
        EXPECT_EQ(r.exitCode, 1) << function;
        std::vector<std::string> left;
        for (const auto& e : std::filesystem::directory_iterator(tmp))
            if (e.path().filename().string().rfind("vexomat-office-", 0) == 0)
                left.push_back(e.path());
        EXPECT_TRUE(left.empty()) << function << ": " << (left.empty() ? "" : left[0]);
    }
}

TEST_F(OfficeRun, EveryPagesPerSheetShowsEachPageInItsCell) {
    // Three pages, each with its text at the top left: the first sheet holds them in its
    // first three cells (reading order), the other cells stay empty.
    std::string doc = Make("three_pages.fodt", "doc", "cells.doc");
    struct Row {
        std::string perSheet, orientation;
        int columns, rows;
    } rows[] = {{"2", "p", 2, 1}, {"4", "p", 2, 2}, {"6", "p", 3, 2},
                {"8", "p", 4, 2}, {"2", "l", 2, 1}, {"6", "l", 3, 2}};
    for (const Row& r : rows) {
        const std::string& orientation = r.orientation;
        ASSERT_EQ(Run({"-c", "doc2pdf", "-s", doc, "-oa", r.perSheet, "-oo", orientation}).exitCode,
                  0)
            << prog.Log();
        auto sizes = PdfPageSizes(work + "cells.pdf", work);
        ASSERT_FALSE(sizes.empty());
        // The grid runs along the sheet as it shows: columns across its longer side
        // when the sheet is landscape.
        const bool landscapeSheet = sizes[0].w > sizes[0].h;
        const int across = landscapeSheet == (r.columns >= r.rows) ? r.columns : r.rows;
        const int down = across == r.columns ? r.rows : r.columns;
        const std::vector<bool> cells = InkedCells(work + "cells.pdf", 1, across, down, work);
        for (size_t i = 0; i < cells.size(); ++i)
            EXPECT_EQ(cells[i], i < 3)
                << r.perSheet << " per sheet, " << orientation << ", cell " << i;
    }
}

TEST_F(OfficeRun, ExcelFirstLastAndAllSheets) {
    // Alpha prints on 1 page, Beta on 2, Gamma on 3.
    std::string xls = Make("sheets.fods", "xls", "book.xls");
    ASSERT_EQ(Run({"-c", "xls2pdf", "-s", xls, "-os", "f"}).exitCode, 0) << prog.Log();
    EXPECT_EQ(PdfPages(work + "book.pdf", work), 1);
    ASSERT_EQ(Run({"-c", "xls2pdf", "-s", xls, "-os", "l"}).exitCode, 0) << prog.Log();
    EXPECT_EQ(PdfPages(work + "book.pdf", work), 3);
    ASSERT_EQ(Run({"-c", "xls2pdf", "-s", xls, "-os", "a", "-oo", "l"}).exitCode, 0) << prog.Log();
    auto sizes = PdfPageSizes(work + "book.pdf", work);
    ASSERT_EQ(sizes.size(), 6u);
    for (auto& s : sizes) EXPECT_GT(s.w, s.h);
}

TEST_F(OfficeRun, PowerPointSlidesAndPortrait) {
    std::string ppt = Make("two_slides.fodp", "ppt", "slides.ppt");
    ASSERT_EQ(Run({"-c", "ppt2pdf", "-s", ppt, "-d", work}).exitCode, 0) << prog.Log();
    auto sizes = PdfPageSizes(work + "slides.pdf", work);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_GT(sizes[0].w, sizes[0].h);
    ASSERT_EQ(Run({"-c", "ppt2pdf", "-s", ppt, "-oo", "p"}).exitCode, 0) << prog.Log();
    sizes = PdfPageSizes(work + "slides.pdf", work);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_LT(sizes[0].w, sizes[0].h);
}

TEST_F(OfficeRun, TiffPagesInOrderOnTheChosenPaper) {
    // Three pages of different sizes and colours: red, green, blue.
    std::string ps = work + "colours.ps";
    Spit(ps,
         "%!PS\n<< /PageSize [200 300] >> setpagedevice 1 0 0 setrgbcolor 0 0 200 300 rectfill "
         "showpage\n"
         "<< /PageSize [300 200] >> setpagedevice 0 1 0 setrgbcolor 0 0 300 200 rectfill showpage\n"
         "<< /PageSize [250 250] >> setpagedevice 0 0 1 setrgbcolor 0 0 250 250 rectfill "
         "showpage\n");
    std::string tif = work + "扫描 1.tif";
    Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiff24nc", "-r72",
          "-sCompression=lzw", "-sOutputFile=" + tif, ps},
         work + "gs.txt");
    ASSERT_TRUE(Exists(tif));
    ASSERT_EQ(Run({"-c", "tiff2pdf", "-s", tif, "-op", "A4"}).exitCode, 0) << prog.Log();
    std::string pdf = work + "扫描 1.pdf";
    auto sizes = PdfPageSizes(pdf, work);
    ASSERT_EQ(sizes.size(), 3u);
    for (auto& s : sizes) {
        EXPECT_NEAR(s.w, 595, 1);
        EXPECT_NEAR(s.h, 842, 1);
    }
    EXPECT_EQ(CentreColour(pdf, 1, work), 'r');
    EXPECT_EQ(CentreColour(pdf, 2, work), 'g');
    EXPECT_EQ(CentreColour(pdf, 3, work), 'b');
    // A user-defined paper.
    ASSERT_EQ(Run({"-c", "tiff2pdf", "-s", tif, "-opw", "=1000", "-oph", "=500"}).exitCode, 0)
        << prog.Log();
    sizes = PdfPageSizes(pdf, work);
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_NEAR(sizes[0].w, 1000, 1);
    EXPECT_NEAR(sizes[0].h, 500, 1);
    EXPECT_EQ(CentreColour(pdf, 2, work), 'g');
}

TEST_F(OfficeRun, TransparentTiffPagesAreLaidOnWhitePaper) {
    // Page 1: a red disc on a transparent square; page 2: red at 60 % all over. 600 pixels
    // are 450 points, centred on A4: the square's corners lie well inside the page.
    std::string disc, veil;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 600; ++x) {
            const bool in = (x - 300) * (x - 300) + (y - 300) * (y - 300) < 200 * 200;
            disc += in ? std::string("\xFF\0\0\xFF", 4) : std::string(4, '\0');
            veil += std::string("\xFF\0\0\x99", 4);
        }
    const std::string tif = work + "透明.tif";
    Spit(tif, HandTiff({{600, 600, 4, disc}, {600, 600, 4, veil}}));
    ASSERT_EQ(Run({"-c", "tiff2pdf", "-s", tif, "-op", "A4"}).exitCode, 0) << prog.Log();
    const std::string pdf = work + "透明.pdf";
    ASSERT_EQ(PdfPages(pdf, work), 2);
    EXPECT_EQ(CentreColour(pdf, 1, work), 'r');
    // Inside the square, outside the disc: (72 + 30) / 595 across, (196 + 30) / 842 down.
    const std::vector<int> corner = PagePixel(pdf, 1, work, 102.0 / 595, 226.0 / 842);
    ASSERT_EQ(corner.size(), 3u);
    for (int c : corner) EXPECT_GT(c, 240) << "the transparent corner came out dark";
    const std::vector<int> light = PagePixel(pdf, 2, work);
    ASSERT_EQ(light.size(), 3u);
    EXPECT_GT(light[0], 240);
    EXPECT_NEAR(light[1], 102, 12) << "60 % red laid on white";
    EXPECT_NEAR(light[2], 102, 12);
}

TEST_F(OfficeRun, AnA0BilevelScanAt600DpiConverts) {
    // 20000 x 15000 pixels at one bit each, more pixels than a colour page may have: a black
    // band across the middle.
    const std::string ps = work + "drawing.ps";
    Spit(ps,
         "%!PS\n<< /PageSize [2400 1800] >> setpagedevice 0 setgray 0 850 2400 100 rectfill "
         "showpage\n");
    const std::string tif = work + "A0 drawing.tif";
    Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiffg4", "-r600",
          "-sOutputFile=" + tif, ps},
         work + "gs.txt");
    ASSERT_TRUE(Exists(tif));
    ASSERT_EQ(Run({"-c", "tiff2pdf", "-s", tif, "-op", "A4"}).exitCode, 0) << prog.Log();
    const std::string pdf = work + "A0 drawing.pdf";
    ASSERT_EQ(PdfPages(pdf, work), 1);
    const std::vector<int> band = PagePixel(pdf, 1, work);
    ASSERT_EQ(band.size(), 3u);
    EXPECT_LT(band[0], 60) << "the band across the middle";
    const std::vector<int> paper = PagePixel(pdf, 1, work, 0.5, 0.6);
    ASSERT_EQ(paper.size(), 3u);
    EXPECT_GT(paper[0], 200) << "the drawing's paper";
}

TEST_F(OfficeRun, TiffPagesAreSeenTurnedByTheirOrientation) {
    // Eight pages of 300 x 200 pixels, one for each Orientation, stored in quarters: red top
    // left, green top right, blue bottom left, black bottom right. 96 pixels an inch make
    // 225 x 150 points, centred on A4 and not scaled.
    const char quarters[2][2] = {{'r', 'g'}, {'b', 'k'}};
    std::vector<HandTiffPage> pages;
    for (uint16_t o = 1; o <= 8; ++o) {
        HandTiffPage p{300, 200, 3, "", o};
        for (uint32_t y = 0; y < 200; ++y)
            for (uint32_t x = 0; x < 300; ++x) {
                const char q = quarters[y / 100][x / 150];
                p.pixels += char(q == 'r' ? 255 : 0);
                p.pixels += char(q == 'g' ? 255 : 0);
                p.pixels += char(q == 'b' ? 255 : 0);
            }
        pages.push_back(p);
    }
    const std::string tif = work + "turned.tif";
    Spit(tif, HandTiff(pages));
    ASSERT_EQ(Run({"-c", "tiff2pdf", "-s", tif, "-op", "A4"}).exitCode, 0) << prog.Log();
    const std::string pdf = work + "turned.pdf";
    ASSERT_EQ(PdfPages(pdf, work), 8);
    // The stored quarter (row, column) seen in the seen quarter (x, y), by Orientation.
    const auto stored = [](int o, int x, int y) {
        switch (o) {
            case 2:
                return std::pair{y, 1 - x};
            case 3:
                return std::pair{1 - y, 1 - x};
            case 4:
                return std::pair{1 - y, x};
            case 5:
                return std::pair{x, y};
            case 6:
                return std::pair{1 - x, y};
            case 7:
                return std::pair{1 - x, 1 - y};
            case 8:
                return std::pair{x, 1 - y};
            default:
                return std::pair{y, x};
        }
    };
    for (int o = 1; o <= 8; ++o) {
        const double w = o <= 4 ? 225 : 150, h = o <= 4 ? 150 : 225;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                const double fx = (595.0 / 2 + (x ? 1 : -1) * w / 4) / 595;
                const double fy = (842.0 / 2 + (y ? 1 : -1) * h / 4) / 842;
                const std::vector<int> c = PagePixel(pdf, o, work, fx, fy);
                ASSERT_EQ(c.size(), 3u);
                const auto [r, col] = stored(o, x, y);
                const char q = quarters[r][col];
                const std::string what = "orientation " + std::to_string(o) + ", quarter " +
                                         std::to_string(x) + ", " + std::to_string(y);
                EXPECT_EQ(c[0] > 128, q == 'r') << what;
                EXPECT_EQ(c[1] > 128, q == 'g') << what;
                EXPECT_EQ(c[2] > 128, q == 'b') << what;
            }
    }
}

TEST_F(OfficeRun, PdfPagesBecomeSlides) {
    WritePostScript(work + "pages.ps", 4);
    ASSERT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "pages.ps", "-d", work}).exitCode, 0);
    ASSERT_EQ(Run({"-c", "pdf2ppt", "-s", work + "pages.pdf", "-or", "72"}).exitCode, 0)
        << prog.Log();
    ASSERT_TRUE(Exists(work + "pages.ppt"));
    // Read back: the presentation printed by LibreOffice has one page per slide.
    Exec({"soffice", "--headless", "-env:UserInstallation=file://" + tmp + "reader-profile",
          "--convert-to", "pdf", "--outdir", tmp, work + "pages.ppt"},
         tmp + "reader.txt");
    auto sizes = PdfPageSizes(tmp + "pages.pdf", work);
    ASSERT_EQ(sizes.size(), 4u);
    EXPECT_NEAR(sizes[0].w, 720, 1);
    EXPECT_NEAR(sizes[0].h, 540, 1);
}

TEST_F(OfficeRun, AccessTablePrintsAndAMissingReportFails) {
    std::string mdb = work + "水果 db.mdb";
    std::filesystem::copy_file(std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/fruit.mdb", mdb);
    ASSERT_EQ(Run({"-c", "mdb2pdf", "-s", mdb, "-obt", "t", "-obn", "=Fruit"}).exitCode, 0)
        << prog.Log();
    EXPECT_GE(PdfPages(work + "水果 db.pdf", work), 1);
    std::filesystem::remove(work + "水果 db.pdf");
    // The database has no report of that name: the run fails with the not-found message.
    RunResult r = Run({"-c", "mdb2pdf", "-s", mdb, "-obt", "r", "-obn", "=Sales"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(Exists(work + "水果 db.pdf"));
    EXPECT_NE(prog.Log().find("无法在数据库中找到“对象类型”或“对象名称”。"), std::string::npos);
    EXPECT_NE(prog.Log().find("找不到对象 'Sales'"), std::string::npos);
}

// Source names of the longest a name may be, whose results' names fit: what the run makes
// on the way is named by the run, never after the source.
TEST_F(OfficeRun, SourceNamesOfTheLongestLengthConvert) {
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "报";
    const std::string ascii = std::string(251, 'x');
    const std::string doc = Make("three_pages.fodt", "doc", ascii + ".doc");
    WritePostScript(tmp + "scan.ps", 2);
    const std::string tif = work + chinese + "ab.tif";
    ASSERT_EQ(Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=tiffgray", "-r36",
                    "-sOutputFile=" + tif, tmp + "scan.ps"},
                   tmp + "gs.txt")
                  .exitCode,
              0);
    const struct {
        const char* function;
        std::string source, result;
        int pages;
    } rows[] = {{"doc2pdf", doc, work + ascii + ".pdf", 3},
                {"tiff2pdf", tif, work + chinese + "ab.pdf", 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.function);
        ASSERT_EQ(std::filesystem::path(row.source).filename().string().size(), 255u);
        const RunResult r = Run({"-c", row.function, "-s", row.source, "-d", work});
        EXPECT_EQ(r.exitCode, 0) << r.output << prog.Log();
        EXPECT_EQ(PdfPages(row.result, tmp), row.pages);
    }
    std::vector<std::string> expected{ascii + ".doc", ascii + ".pdf", chinese + "ab.pdf",
                                      chinese + "ab.tif"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Listing(work), expected);
}

// A temporary folder on a small file system: full, with room for the office's first files
// but not for its profile, or with room for the office but hardly for the print job's
// files. A run that fails says the disk is full and which folder, one that succeeds has
// every page, and neither leaves anything there.
TEST_F(OfficeRun, AFullTemporaryFolderIsNamedAsTheCauseAndKeepsNothing) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    const std::string doc = Make("three_pages.fodt", "doc", "full.doc");
    const std::string small = tmp + "small/";
    std::filesystem::create_directory(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=2m") != 0)
        GTEST_SKIP() << "no tmpfs could be mounted: " << std::strerror(errno);
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{small};
    for (const long room : {0L, 20L * 1024, 290L * 1024, 310L * 1024, 330L * 1024}) {
        SCOPED_TRACE(room);
        std::filesystem::remove(small + "fill");
        struct statvfs fs {};
        ASSERT_EQ(::statvfs(small.c_str(), &fs), 0);
        const long free = long(fs.f_bavail * fs.f_bsize);
        Spit(small + "fill", std::string(size_t(std::max(0L, free - room)), 'f'));
        const std::vector<std::string> before = Listing(work);
        setenv("TMPDIR", small.c_str(), 1);
        const size_t logBefore = prog.Log().size();
        const RunResult r = Run({"-c", "doc2pdf", "-s", doc, "-d", work});
        setenv("TMPDIR", tmp.c_str(), 1);
        const std::string log = prog.Log().substr(logBefore);
        if (room < 32 * 1024 || r.exitCode != 0) {
            EXPECT_EQ(r.exitCode, 1) << log;
            EXPECT_NE(log.find("临时文件夹 \"" + small + "\" 所在的磁盘空间不足"),
                      std::string::npos)
                << log;
            EXPECT_EQ(log.find("bridge.py"), std::string::npos) << log;
            EXPECT_EQ(Listing(work), before);
        } else {
            EXPECT_EQ(PdfPages(work + "full.pdf", tmp), 3);
            std::filesystem::remove(work + "full.pdf");
        }
        EXPECT_EQ(Listing(small), std::vector<std::string>{"fill"});
        EXPECT_TRUE(ProcessesMentioning(small).empty()) << "an office process outlived the run";
    }
}
