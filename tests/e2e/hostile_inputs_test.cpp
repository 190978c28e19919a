// Unattended runs of hostile inputs: a job that makes no progress is ended, damaged or
// empty inputs fail instead of giving a blank result, page trees are read right, and the
// reasons say what went wrong. Every failed run leaves the older files as they were.
#include <sys/stat.h>

#include <chrono>
#include <cstring>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

using Clock = std::chrono::steady_clock;

// Processes whose command line mentions text (a run's folder): what a run left running.
std::vector<std::string> ProcessesMentioning(const std::string& text) {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
        const std::string name = e.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::string cmd = Slurp(e.path().string() + "/cmdline");
        std::replace(cmd.begin(), cmd.end(), '\0', ' ');
        if (cmd.find(text) != std::string::npos) found.push_back(name + ": " + cmd);
    }
    return found;
}

// Two pages drawn with a blue square; extra goes into the page tree's root, after the
// catalog and page objects come the extra objects.
std::string TwoPagePdf(const std::string& rootExtra, const std::vector<std::string>& after,
                       const std::string& catalogExtra = "") {
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R " + catalogExtra + ">>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 " + rootExtra + ">>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 300] /Contents 5 0 R >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] /Contents 5 0 R >>",
        Stream("0 0 1 rg 10 10 50 50 re f"),
    };
    objects.insert(objects.end(), after.begin(), after.end());
    return BuildPdf(objects);
}

class HostileInputs : public ProgramRunTest {
protected:
    HostileInputs() : ProgramRunTest("vx hostile ") {}
};

// ---------------------------------------------------------------- jobs without progress

TEST_F(HostileInputs, ALoopingPostScriptIsEndedAndTheOlderResultStays) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "2000");
    Spit(work + "loop.ps", "%!PS\n{ } loop\n");
    Spit(work + "loop.pdf", "older result");
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "loop.ps", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "loop.pdf"), "older result");
    EXPECT_NE(RunLog().find("文件 \"loop.ps\" 的处理时间过长: 步骤 ps2pdf 在 2 秒内没有任何进展"),
              std::string::npos)
        << RunLog();
    EXPECT_EQ(ProcessesMentioning(work), std::vector<std::string>{});
}

// A PostScript program that keeps every string it makes: under the child memory limit
// Ghostscript runs out of memory at once instead of filling the machine, and says so.
TEST_F(HostileInputs, AMemoryBombEndsForWantOfMemory) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitized program starts its children without the memory limit";
#endif
    ScopedEnv memory("VEXOMAT_CHILD_MEMORY_LIMIT_MB", "256");
    Spit(work + "hog.ps", "%!PS\n/kept [] def\n{ /kept [ kept 10000000 string ] def } loop\n");
    Spit(work + "hog.pdf", "older result");
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "hog.ps", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "hog.pdf"), "older result");
    EXPECT_NE(RunLog().find("内存不足"), std::string::npos) << RunLog();
    EXPECT_NE(RunLog().find("hog.ps"), std::string::npos) << RunLog();
    EXPECT_EQ(ProcessesMentioning(work), std::vector<std::string>{});
}

// A page of hours of drawing from a few bytes: each form draws the next one ten times, the
// last fills the page ten times (ten million fills, no page finished for hours).
std::string FormBomb() {
    const int levels = 7;
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R "
        "/Resources << /XObject << /X 5 0 R >> >> >>",
        Stream("/X Do\n")};
    for (int level = 0; level < levels; ++level) {
        std::string body;
        for (int i = 0; i < 10; ++i) body += level + 1 < levels ? "/X Do\n" : "0 0 612 792 re f\n";
        const std::string data = Stream(body);
        const std::string next = level + 1 < levels ? "/Resources << /XObject << /X " +
                                                          std::to_string(6 + level) + " 0 R >> >> "
                                                    : "";
        objects.push_back("<< /Type /XObject /Subtype /Form /BBox [0 0 612 792] " + next +
                          data.substr(3));
    }
    return BuildPdf(objects);
}

TEST_F(HostileInputs, APdfBombIsEndedAndNothingIsLeftRunning) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "2000");
    // Page-sized fills that the interpreter takes hours over without finishing the page.
    // (Twenty thousand fills in one stream finish their page in a second on a quiet
    // machine, and then the picture grows steadily as its bands are drawn: that is work.)
    Spit(work + "bomb.pdf", FormBomb());
    Spit(work + "bomb_p0001.jpg", "older page");
    const auto start = Clock::now();
    const RunResult r = Run({"-c", "pdf2jpg", "-s", work + "bomb.pdf", "-d", work, "-or", "300"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(120)) << "the bomb was not ended";
    EXPECT_EQ(Slurp(work + "bomb_p0001.jpg"), "older page");
    EXPECT_NE(RunLog().find("的处理时间过长: 步骤 pdf2jpg"), std::string::npos) << RunLog();
    EXPECT_EQ(ProcessesMentioning(work), std::vector<std::string>{});
}

// The largest of the Ghostscript output logs the runs of a program folder kept.
std::string LargestGsLog(const std::string& programDir, const std::string& suffix) {
    std::string largest;
    std::uintmax_t size = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(programDir + "logs", ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().string();
        if (name.size() < suffix.size() ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::error_code sizeError;
        if (const auto s = it->file_size(sizeError); !sizeError && s >= size) {
            size = s;
            largest = name;
        }
    }
    return largest;
}

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(HostileInputs, AJobThatOnlyTalksIsEndedAndItsLogStaysSmall) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "2000");
    // Tens of megabytes a second on its output, and never a page.
    Spit(work + "chatter.ps", "%!PS\n{ (still working) = flush } loop\n");
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "chatter.ps", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(
        RunLog().find("文件 \"chatter.ps\" 的处理时间过长: 步骤 ps2pdf 在 2 秒内没有任何进展"),
        std::string::npos)
        << RunLog();
    EXPECT_EQ(ProcessesMentioning(work), std::vector<std::string>{});
    // Its output log keeps the head and the tail and says how much is left out between.
    const std::string log = Slurp(LargestGsLog(prog.dir, "out.log"));
    EXPECT_LE(log.size(), 2u * 1024 * 1024 + 200);
    EXPECT_LT(log.find("\nstill working\n"), 1000u) << log.substr(0, 1000);
    const size_t note = log.find("bytes of output left out here]\n");
    ASSERT_NE(note, std::string::npos) << log.substr(0, 200);
    EXPECT_EQ(log.substr(log.size() - 14), "still working\n");
}

TEST_F(HostileInputs, AVeryLongLimitIsNoLimitAtAll) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "9300000000000");
    WritePostScript(work + "two.ps", 2);
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "two.ps", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << RunLog();
    EXPECT_EQ(PdfPages(work + "two.pdf", work), 2);
}

TEST_F(HostileInputs, ARunWhoseStepWasCutEndsThere) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "2000");
    // Its bitmap is cut, and the uncompressed copy, the next step, is never begun.
    Spit(work + "bomb.pdf", FormBomb());
    const auto start = Clock::now();
    const RunResult r = Run({"-c", "pdfAutoCrop", "-s", work + "bomb.pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(60));
    EXPECT_EQ(Count(RunLog(), "ErrorMessage"), 1u) << RunLog();
    EXPECT_NE(RunLog().find("步骤 pdf2bmp 在 2 秒内没有任何进展"), std::string::npos) << RunLog();
    EXPECT_EQ(RunLog().find("-dCompressPages=false"), std::string::npos) << RunLog();
    EXPECT_FALSE(Exists(work + "bomb_CROPPED.pdf"));
    EXPECT_EQ(ProcessesMentioning(work), std::vector<std::string>{});
}

TEST_F(HostileInputs, AJobThatKeepsFinishingPagesIsNeverCut) {
    ScopedEnv limit("VEXOMAT_NO_PROGRESS_LIMIT_MS", "3000");
    // Ten pages of 0.6 s each (wall clock): the job outlasts the limit twice over, with a
    // page finished well within it every time.
    Spit(work + "slow.ps",
         "%!PS\n/busy { realtime add { dup realtime lt { pop exit } if } loop } def\n"
         "1 1 10 { pop 600 busy 0 0 100 100 rectfill showpage } for\n");
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "slow.ps", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << RunLog();
    EXPECT_EQ(PdfPages(work + "slow.pdf", work), 10);
}

// ---------------------------------------------------------------- failures as success

namespace {

// An 8 x 8 RGB TIFF of one strip, by hand: compression 1 (none) or 5 (LZW).
std::string Tiff(int compression, uint32_t stripOffset, const std::string& stripData,
                 uint32_t stripBytes = 192) {
    std::string t("II*\0\x08\0\0\0", 8);
    auto u16 = [&](uint16_t v) { t += char(v & 0xFF), t += char(v >> 8); };
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) t += char((v >> (8 * i)) & 0xFF);
    };
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        u16(tag), u16(type), u32(count);
        if (type == 3 && count == 1)
            u16(uint16_t(value)), u16(0);
        else
            u32(value);
    };
    const uint32_t bits = 8 + 2 + 10 * 12 + 4;  // where the three BitsPerSample values lie
    u16(10);
    entry(256, 3, 1, 8);
    entry(257, 3, 1, 8);
    entry(258, 3, 3, bits);
    entry(259, 3, 1, uint32_t(compression));
    entry(262, 3, 1, 2);
    entry(273, 4, 1, stripOffset);
    entry(277, 3, 1, 3);
    entry(278, 3, 1, 8);
    entry(279, 4, 1, stripBytes);
    entry(284, 3, 1, 1);
    u32(0);
    u16(8), u16(8), u16(8);
    return t + stripData;
}

}  // namespace

TEST_F(HostileInputs, ADamagedTiffIsRefusedNamingIt) {
    const uint32_t data = 8 + 2 + 10 * 12 + 4 + 6;
    struct Row {
        const char* why;
        std::string tiff;
    } rows[] = {
        {"a strip cut short", Tiff(1, data, std::string(50, '\x40'))},
        {"a strip past the end of the file", Tiff(1, 100000, std::string(192, '\x40'))},
        {"a strip of garbage LZW data", Tiff(5, data, std::string(192, '\xFF'))},
    };
    int n = 0;
    for (const Row& row : rows) {
        const std::string name = "damaged " + std::to_string(++n);
        Spit(work + name + ".tif", row.tiff);
        Spit(work + name + ".pdf", "older result");
        const RunResult r = Run({"-c", "tiff2pdf", "-s", work + name + ".tif", "-d", work});
        EXPECT_EQ(r.exitCode, 1) << row.why;
        EXPECT_EQ(Slurp(work + name + ".pdf"), "older result") << row.why;
        EXPECT_NE(RunLog().find("TIFF 文件已损坏, 无法读取第 1 页: \"" + work + name + ".tif\""),
                  std::string::npos)
            << row.why << "\n"
            << RunLog();
    }
}

TEST_F(HostileInputs, ATiffWithABrokenPageChainOrNoTiffAtAllIsRefusedNamingIt) {
    const HandTiffPage grey{8, 8, 1, std::string(64, '\x80')};
    struct Row {
        const char* name;
        std::string tiff;
        std::string reason;  // the file's quoted name follows
    } rows[] = {
        {"chain broken before page 2", HandTiff({grey, grey, grey}, 2),
         "TIFF 文件已损坏, 无法读取第 2 页: "},
        {"chain broken before page 3", HandTiff({grey, grey, grey}, 3),
         "TIFF 文件已损坏, 无法读取第 3 页: "},
    };
    for (const Row& row : rows) {
        const std::string tif = work + row.name + ".tif";
        Spit(tif, row.tiff);
        Spit(work + row.name + ".pdf", "older result");
        const RunResult r = Run({"-c", "tiff2pdf", "-s", tif, "-d", work});
        EXPECT_EQ(r.exitCode, 1) << row.name;
        EXPECT_EQ(Slurp(work + row.name + ".pdf"), "older result") << row.name;
        EXPECT_NE(RunLog().find(row.reason + "\"" + tif + "\""), std::string::npos)
            << row.name << "\n"
            << RunLog();
    }
    // A file that is no TIFF: said in our words, libtiff's own kept for the log only.
    const std::string text = work + "scan.tif";
    Spit(text, "a letter, not a scan\n");
    EXPECT_EQ(Run({"-c", "tiff2pdf", "-s", text, "-d", work}).exitCode, 1);
    EXPECT_FALSE(Exists(work + "scan.pdf"));
    std::istringstream log(RunLog());
    bool said = false;
    for (std::string line; std::getline(log, line);) {
        if (line.find("ErrorMessage") == std::string::npos) continue;
        said = said || line.find("文件 \"" + text + "\" 不是 TIFF 文件") != std::string::npos;
        EXPECT_EQ(line.find("Not a TIFF"), std::string::npos) << line;
    }
    EXPECT_TRUE(said) << RunLog();
    EXPECT_NE(RunLog().find("Not a TIFF"), std::string::npos) << "libtiff's words in the log";
}

TEST_F(HostileInputs, PostScriptThatShowsNoPageIsRefused) {
    struct Row {
        const char* name;
        std::string text;
    } rows[] = {
        {"comment", "%!PS\n% nothing but a comment\n"},
        {"code", "%!PS\n/x 1 def 0 0 moveto 100 100 lineto stroke\n"},
    };
    for (const Row& row : rows) {
        Spit(work + row.name + std::string(".ps"), row.text);
        Spit(work + row.name + std::string(".pdf"), "older result");
        const RunResult r =
            Run({"-c", "ps2pdf", "-s", work + row.name + std::string(".ps"), "-d", work});
        EXPECT_EQ(r.exitCode, 1) << row.name;
        EXPECT_EQ(Slurp(work + row.name + std::string(".pdf")), "older result") << row.name;
        EXPECT_NE(RunLog().find("文件中没有可以输出的页面 (没有页面)。"), std::string::npos)
            << row.name << "\n"
            << RunLog();
    }
}

TEST_F(HostileInputs, APageShownBlankOnPurposeStaysABlankPage) {
    Spit(work + "blank.ps", "%!PS\nshowpage\n");
    const RunResult r = Run({"-c", "ps2pdf", "-s", work + "blank.ps", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << RunLog();
    EXPECT_EQ(PdfPages(work + "blank.pdf", work), 1);
}

TEST_F(HostileInputs, PagesAreCountedFromThePageTreeOnly) {
    std::string widths = "[";
    for (int i = 32; i <= 126; ++i) widths += " 500";
    widths += " ]";
    struct Row {
        const char* name;
        std::string pdf;
    } rows[] = {
        {"untyped outline", TwoPagePdf("", {"<< /Count 0 >>"}, "/Outlines 6 0 R ")},
        {"first char",
         TwoPagePdf("/Resources << /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont "
                    "/Helvetica /FirstChar 32 /LastChar 126 /Widths " +
                        widths + " >> >> >> ",
                    {})},
    };
    for (const Row& row : rows) {
        const std::string dest = work + row.name + "/";
        std::filesystem::create_directories(dest);
        Spit(work + row.name + std::string(".pdf"), row.pdf);
        const RunResult r =
            Run({"-c", "pdf2htmlPreview", "-s", work + row.name + std::string(".pdf"), "-d", dest});
        ASSERT_EQ(r.exitCode, 0) << row.name << "\n" << RunLog();
        EXPECT_EQ(Listing(dest + "pdf").size(), 2u) << row.name;
        EXPECT_EQ(Listing(dest + "images").size(), 2u) << row.name;
        // The count was read: no page past the last one was probed.
        EXPECT_EQ(RunLog().find("-dFirstPage=3"), std::string::npos) << row.name;
    }
}

// ---------------------------------------------------------------- reasons

TEST_F(HostileInputs, ReasonsSayWhatWentWrong) {
    const std::string outside = TempFolder("vx outside ");
    Spit(work + "undefined.ps", "%!PS\nthis_is_undefined\nshowpage\n");
    Spit(work + "writes.ps", "%!PS\n(" + outside + "planted) (w) file closefile\nshowpage\n");
    WritePostScript(work + "paper.ps", 1);
    struct Row {
        std::vector<std::string> args;
        std::string reason;
    } rows[] = {
        {{"-c", "ps2pdf", "-s", work + "undefined.ps", "-d", work},
         "PostScript 程序出错: 未定义的名称 (undefined)。"},
        {{"-c", "ps2pdf", "-s", work + "writes.ps", "-d", work},
         "PostScript 程序要读写一个不允许它访问的文件 (invalidfileaccess"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run(row.args).exitCode, 1) << row.reason;
        EXPECT_NE(RunLog().find("在进行 gs 转换时出错。 ⏎ " + row.reason), std::string::npos)
            << RunLog();
        EXPECT_NE(RunLog().find("| ErrorLine    | "), std::string::npos) << RunLog();
    }
    // A page size given on the command line that is none: its own switch is named.
    EXPECT_EQ(
        Run({"-c", "ps2pdf", "-s", work + "paper.ps", "-d", work, "-oph", "=842", "-opw", "=-100"})
            .exitCode,
        1);
    EXPECT_NE(
        RunLog().find("纸张的宽度 \"-100\" 不能使用: 必须是 1 到 14400 之间的点数 (参数 -opw)。"),
        std::string::npos)
        << RunLog();
    EXPECT_EQ(RunLog().find("分辨率"), std::string::npos) << RunLog();
    EXPECT_FALSE(Exists(work + "paper.pdf"));
    EXPECT_FALSE(Exists(outside + "planted"));
    std::error_code ec;
    std::filesystem::remove_all(outside, ec);
}

TEST_F(HostileInputs, AMergeNamesItsDamagedMember) {
    WritePostScript(work + "a.ps", 2);
    ASSERT_EQ(Run({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0) << RunLog();
    const std::string folder = work + "members/";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(work + "a.pdf", folder + "1 good.pdf");
    Spit(folder + "2 damaged.pdf", Slurp(work + "a.pdf").substr(0, 400));
    std::filesystem::copy_file(work + "a.pdf", folder + "3 good.pdf");
    Spit(work + "MERGED-ALL.pdf", "older result");
    const RunResult r = Run(
        {"-c", "pdfMergeAll", "-s",
         folder + "1 good.pdf#" + folder + "2 damaged.pdf#" + folder + "3 good.pdf", "-d", work});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "MERGED-ALL.pdf"), "older result");
    EXPECT_NE(RunLog().find("出错的文件: \"" + folder + "2 damaged.pdf\""), std::string::npos)
        << RunLog();
}

TEST_F(HostileInputs, AFullSourceFolderSaysTheDiskIsFull) {
    // A small file system of its own for the source folder, nearly filled.
    const std::string full = TempFolder("vx full ");
    if (Exec({"mount", "-t", "tmpfs", "-o", "size=200k", "tmpfs", full}, work + "mount.txt")
            .exitCode != 0)
        GTEST_SKIP() << "no small file system can be mounted here: " << Slurp(work + "mount.txt");
    WritePostScript(full + "doc.ps", 30);
    Spit(full + "doc.pdf", "older");
    Spit(full + "fill", std::string(184 * 1024, '\0'));
    const RunResult r = Run({"-c", "ps2pdf", "-s", full + "doc.ps", "-d", full});
    const std::string doc = Slurp(full + "doc.pdf");
    Exec({"umount", full}, work + "mount.txt");
    std::filesystem::remove(full);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(doc, "older");
    EXPECT_NE(RunLog().find("磁盘空间不足，无法写入结果。"), std::string::npos) << RunLog();
}

TEST_F(HostileInputs, ASourceTheUserCannotReadIsNamed) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    WritePostScript(work + "locked.ps", 1);
    chmod((work + "locked.ps").c_str(), 0);
    EXPECT_EQ(Run({"-c", "ps2pdf", "-s", work + "locked.ps", "-d", work}).exitCode, 1);
    EXPECT_NE(RunLog().find("没有读取文件 \"" + work + "locked.ps\" 的权限。"), std::string::npos)
        << RunLog();
}

TEST_F(HostileInputs, ALongNameIsCroppedThroughShortIntermediateNames) {
    WritePostScript(work + "a.ps", 1);
    ASSERT_EQ(Run({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work}).exitCode, 0) << RunLog();
    // 236 bytes with ".pdf": "_CROPPED.pdf" still fits into 255.
    const std::string name = std::string(232, 'n');
    std::filesystem::rename(work + "a.pdf", work + name + ".pdf");
    const RunResult r = Run({"-c", "pdfAutoCrop", "-s", work + name + ".pdf", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << RunLog();
    EXPECT_EQ(PdfPages(work + name + "_CROPPED.pdf", work), 1);
}

// ---------------------------------------------------------------- leftovers and links

TEST_F(HostileInputs, ALogFolderThatCannotBeMadeLeavesNoLockBehind) {
    const std::string tmp = TempFolder("vx private tmp ");
    WritePostScript(work + "a.ps", 1);
    struct Row {
        const char* why;
        void (*plant)(const std::string& logs);
    } rows[] = {
        {"logs is a file", [](const std::string& logs) { Spit(logs, "a file"); }},
        {"logs is a FIFO", [](const std::string& logs) { mkfifo(logs.c_str(), 0600); }},
    };
    for (const Row& row : rows) {
        ProgramFolder p;
        row.plant(p.dir + "logs");
        ScopedEnv t("TMPDIR", tmp);
        const RunResult r = p.Vexomat({"-c", "ps2pdf", "-s", work + "a.ps", "-d", work});
        EXPECT_EQ(r.exitCode, 1) << row.why;
        EXPECT_NE(r.output.find("无法创建日志文件夹"), std::string::npos) << row.why << r.output;
        EXPECT_EQ(Listing(tmp), std::vector<std::string>{}) << row.why;
        EXPECT_FALSE(Exists(work + "a.pdf")) << row.why;
    }
    std::error_code ec;
    std::filesystem::remove_all(tmp, ec);
}

TEST_F(HostileInputs, ALinkInPlaceOfAPreviewFolderIsNotWrittenThrough) {
    WritePostScript(work + "doc.ps", 2);
    ASSERT_EQ(Run({"-c", "ps2pdf", "-s", work + "doc.ps", "-d", work}).exitCode, 0) << RunLog();
    const std::string outside = TempFolder("vx outside ");
    Spit(outside + "doc_p0001.jpg", "the user's own picture");
    Spit(outside + "doc_p0001.pdf", "the user's own page");
    const std::string dest = work + "preview/";
    std::filesystem::create_directories(dest);
    std::filesystem::create_directory_symlink(outside, dest + "images");
    std::filesystem::create_directory_symlink(outside, dest + "pdf");
    const RunResult r = Run({"-c", "pdf2htmlPreview", "-s", work + "doc.pdf", "-d", dest});
    ASSERT_EQ(r.exitCode, 0) << RunLog();
    EXPECT_EQ(Slurp(outside + "doc_p0001.jpg"), "the user's own picture");
    EXPECT_EQ(Slurp(outside + "doc_p0001.pdf"), "the user's own page");
    EXPECT_EQ(Listing(outside), (std::vector<std::string>{"doc_p0001.jpg", "doc_p0001.pdf"}));
    EXPECT_FALSE(std::filesystem::is_symlink(dest + "images"));
    EXPECT_EQ(Listing(dest + "images").size(), 2u);
    EXPECT_EQ(Listing(dest + "pdf").size(), 2u);
    std::error_code ec;
    std::filesystem::remove_all(outside, ec);
}

}  // namespace
