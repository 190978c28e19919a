// Unattended runs of the PDF tools with real Ghostscript, verified by reading the results:
// the HTML preview and its links, merging a folder, encryption with and without the
// password, the watermark, cropping; and the failures that must leave nothing behind.
#include <regex>

#include "tests/e2e/e2e_support.h"
#include "tests/e2e/pdf_revisions.h"

using namespace e2e;

namespace {

// Pages of the given sizes, each with a black box in its middle half.
std::string PagesPs(const std::vector<std::pair<int, int>>& sizes) {
    std::string ps = "%!PS\n";
    for (auto [w, h] : sizes)
        ps += "<< /PageSize [" + std::to_string(w) + " " + std::to_string(h) +
              "] >> setpagedevice 0 setgray " + std::to_string(w / 4) + " " +
              std::to_string(h / 4) + " " + std::to_string(w / 2) + " " + std::to_string(h / 2) +
              " rectfill showpage\n";
    return ps;
}

std::string UrlDecode(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += char(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Pages of the given sizes, each with long lines of text running up its diagonal (the
// kind of page Ghostscript's automatic rotation would turn).
std::string DiagonalTextPs(const std::vector<std::pair<int, int>>& sizes) {
    std::string ps = "%!PS\n/Helvetica findfont 14 scalefont setfont\n";
    for (auto [w, h] : sizes) {
        ps += "<< /PageSize [" + std::to_string(w) + " " + std::to_string(h) +
              "] >> setpagedevice\n"
              "/Helvetica findfont 14 scalefont setfont 0 setgray 40 40 translate " +
              std::to_string(h) + " " + std::to_string(w) + " atan rotate\n";
        for (int line = 0; line < 12; ++line)
            ps += "0 " + std::to_string(line * 18) +
                  " moveto (A long line of text that runs up the page diagonal) show\n";
        ps += "showpage\n";
    }
    return ps;
}

// Dark pixels of a page rendered in grey at 20 dpi: their bounding box's centre and the
// page's size, in pixels.
struct InkBox {
    double cx = 0, cy = 0;
    int width = 0, height = 0, dark = 0;
};
InkBox PageInk(const std::string& pdf, int page, const std::string& scratch) {
    const std::string pgm = scratch + "ink.pgm";
    Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pgmraw", "-r20",
          "-dFirstPage=" + std::to_string(page), "-dLastPage=" + std::to_string(page),
          "-sOutputFile=" + pgm, pdf},
         scratch + "gs.txt");
    std::istringstream in(Slurp(pgm));
    // "P5", width, height, maximum; Ghostscript puts a "#" comment line between
    std::vector<int> header;
    std::string word;
    while (header.size() < 3 && in >> word) {
        if (word[0] == '#')
            std::getline(in, word);
        else if (word != "P5")
            header.push_back(std::atoi(word.c_str()));
    }
    in.get();
    const int w = header.size() == 3 ? header[0] : 0, h = header.size() == 3 ? header[1] : 0;
    std::string pixels(size_t(w) * size_t(h), '\xff');
    in.read(pixels.data(), std::streamsize(pixels.size()));
    InkBox box{0, 0, w, h, 0};
    int x0 = w, y0 = h, x1 = -1, y1 = -1;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (static_cast<unsigned char>(pixels[size_t(y) * size_t(w) + size_t(x)]) < 235) {
                ++box.dark;
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (box.dark) {
        box.cx = (x0 + x1) / 2.0;
        box.cy = (y0 + y1) / 2.0;
    }
    return box;
}

std::string Format4(size_t n) {
    std::string s = std::to_string(n);
    return std::string(4 - std::min<size_t>(4, s.size()), '0') + s;
}

class PdfToolsBatch : public ::testing::Test {
protected:
    void SetUp() override { work = TempFolder("vx tools $ 'q' 文件 "); }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }
    std::string MakePdf(const std::string& name, const std::vector<std::pair<int, int>>& sizes) {
        Spit(work + "src.ps", PagesPs(sizes));
        std::string output = work + name;  // "%" starts a page-number format in gs output names
        for (size_t p = output.find('%'); p != std::string::npos; p = output.find('%', p + 2))
            output.insert(p, "%");
        RunResult r = Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                            "-sOutputFile=" + output, work + "src.ps"},
                           work + "gs.txt");
        EXPECT_EQ(r.exitCode, 0) << r.output;
        std::filesystem::remove(work + "src.ps");
        std::filesystem::remove(work + "gs.txt");
        return work + name;
    }
    std::string Info(const std::vector<std::string>& args) {
        std::vector<std::string> argv{"pdfinfo"};
        argv.insert(argv.end(), args.begin(), args.end());
        return Exec(argv, prog.dir + "pdfinfo.txt").output;
    }
    // No random 8-digit temporary folder and no "TEMP-" file may stay in the folder.
    void ExpectNothingLeft(const std::string& dir) {
        for (auto& name : Listing(dir)) {
            EXPECT_FALSE(name.size() == 8 &&
                         name.find_first_not_of("0123456789") == std::string::npos)
                << name;
            EXPECT_NE(name.rfind("TEMP-", 0), 0u) << name;
        }
    }
    // The HTML preview of a document made in a folder of its own: its page files, each
    // with a thumbnail; none when the run fails or a thumbnail is missing.
    std::vector<std::string> PreviewPages(const std::string& name, const std::string& text,
                                          std::string& out) {
        const std::string pdf = work + name + ".pdf";
        out = work + name + "/";
        Spit(pdf, text);
        std::filesystem::create_directories(out);
        RunResult r = prog.Vexomat({"-c", "pdf2htmlPreview", "-s", pdf, "-d", out});
        EXPECT_EQ(r.exitCode, 0) << name << "\n" << prog.Log();
        const std::vector<std::string> files = Listing(out + "pdf");
        EXPECT_EQ(Listing(out + "images").size(), files.size()) << name;
        return r.exitCode == 0 && Listing(out + "images").size() == files.size()
                   ? files
                   : std::vector<std::string>{};
    }
    ProgramFolder prog;
    std::string work;
};

}  // namespace

TEST_F(PdfToolsBatch, HtmlPreviewWithWorkingLinks) {
    const std::string pdf = MakePdf("My doc %1 'x'.pdf", {{612, 792}, {792, 612}, {300, 200}});
    const std::string out = work + "out/";
    std::filesystem::create_directories(out);
    RunResult r = prog.Vexomat({"-c", "pdf2htmlPreview", "-s", pdf, "-d", out, "-oht",
                                "=<Titel> & 标题", "-ohx", "=页 #", "-ohc", "=2", "-ohb"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_EQ(Listing(out), (std::vector<std::string>{"htmlPreview.html", "images", "pdf"}));
    EXPECT_EQ(Listing(out + "pdf"),
              (std::vector<std::string>{"My doc %1 'x'_p0001.pdf", "My doc %1 'x'_p0002.pdf",
                                        "My doc %1 'x'_p0003.pdf"}));
    int w = 0, h = 0;
    ASSERT_TRUE(JpegSize(out + "images/My doc %1 'x'_p0001.jpg", w, h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(112, 145));
    ASSERT_TRUE(JpegSize(out + "images/My doc %1 'x'_p0002.jpg", w, h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(152, 117));
    ASSERT_TRUE(JpegSize(out + "images/My doc %1 'x'_p0003.jpg", w, h));
    EXPECT_EQ(std::make_pair(w, h), std::make_pair(152, 101));
    EXPECT_NE(Info({out + "pdf/My doc %1 'x'_p0002.pdf"}).find("792 x 612 pts"), std::string::npos);

    const std::string html = Slurp(out + "htmlPreview.html");
    EXPECT_NE(html.find("<title>&lt;Titel&gt; &amp; 标题</title>"), std::string::npos);
    EXPECT_NE(html.find(">页 # 3</td>"), std::string::npos);
    EXPECT_NE(html.find("border=\"1\""), std::string::npos);
    // Every link and picture of the page names a file that is there.
    std::regex link("(href|src)=\"((pdf|images)/[^\"]+)\"");
    int links = 0;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link);
         it != std::sregex_iterator(); ++it, ++links)
        EXPECT_TRUE(Exists(out + UrlDecode((*it)[2].str()))) << (*it)[2].str();
    EXPECT_EQ(links, 6);
    ExpectNothingLeft(work);
}

TEST_F(PdfToolsBatch, HtmlPreviewOfIncrementalSavesShowsTheLatestRevision) {
    struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> sizes;  // of the page files, in order
    } rows[] = {
        {"added", pdfrev::PageAdded(), {"150 x 200", "200 x 200", "250 x 200", "300 x 200"}},
        {"deleted", pdfrev::PageDeleted(), {"150 x 200", "200 x 200"}},
    };
    for (const Row& row : rows) {
        std::string out;
        const std::vector<std::string> files = PreviewPages(row.name, row.text, out);
        ASSERT_EQ(files.size(), row.sizes.size()) << row.name;
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_NE(Info({out + "pdf/" + files[i]}).find(row.sizes[i] + " pts"),
                      std::string::npos)
                << row.name << " page " << i + 1;
        const std::string html = Slurp(out + "htmlPreview.html");
        EXPECT_NE(html.find("_p" + Format4(row.sizes.size()) + ".pdf"), std::string::npos);
        EXPECT_EQ(html.find("_p" + Format4(row.sizes.size() + 1) + ".pdf"), std::string::npos);
    }
    ExpectNothingLeft(work);
}

// Documents every reader takes whole are previewed whole: a page tree with an empty node,
// one listing a page twice (the repeat is a page of its own), one whose cross-reference
// entry for a page is 3 bytes off.
TEST_F(PdfToolsBatch, HtmlPreviewOfEveryPageTheReadersSee) {
    const std::vector<int> seven{3, 4, 5, 6, 7, 8, 9};
    std::vector<int> kidless{17}, twice = seven;
    kidless.insert(kidless.end(), seven.begin(), seven.end());
    twice.push_back(5);
    struct {
        const char* name;
        std::string text;
        std::vector<int> pages;  // which page each page file shows
    } rows[] = {
        {"kidless",
         pdfrev::PageTree(7, kidless, 7, {{17, "<< /Type /Pages /Parent 2 0 R /Count 0 >>"}}),
         {1, 2, 3, 4, 5, 6, 7}},
        {"twice", pdfrev::PageTree(7, twice, 8), {1, 2, 3, 4, 5, 6, 7, 3}},
        {"xref off",
         pdfrev::XrefEntryOff(pdfrev::PageTree(5, {3, 4, 5, 6, 7}, 5), 5, 3),
         {1, 2, 3, 4, 5}},
    };
    for (const auto& row : rows) {
        std::string out;
        const std::vector<std::string> files = PreviewPages(row.name, row.text, out);
        ASSERT_EQ(files.size(), row.pages.size()) << row.name;
        for (size_t i = 0; i < files.size(); ++i)
            EXPECT_NE(Info({out + "pdf/" + files[i]})
                          .find(std::to_string(100 + 50 * row.pages[i]) + " x 200 pts"),
                      std::string::npos)
                << row.name << " page " << i + 1;
    }
    ExpectNothingLeft(work);
}

TEST_F(PdfToolsBatch, MergeAllOfAFolderInListOrderSkipsAnOlderResult) {
    MakePdf("b.pdf", {{300, 200}});
    MakePdf("a.pdf", {{100, 100}, {110, 100}});
    MakePdf("MERGED-ALL.pdf", {{50, 50}});
    RunResult r = prog.Vexomat({"-c", "pdfMergeAll", "-s", work, "-d", work, "-om", "a"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    EXPECT_TRUE(std::regex_search(Info({work + "MERGED-ALL.pdf"}), std::regex("Pages: +3\n")));
    // Selected files, joined by "#", in the order given.
    r = prog.Vexomat({"-c", "pdfMergeAll", "-s", work + "b.pdf#" + work + "a.pdf", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string info =
        Exec({"pdfinfo", "-f", "1", "-l", "3", work + "MERGED-ALL.pdf"}, prog.dir + "i.txt").output;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page +1 size: +300 x 200"))) << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("Page +3 size: +110 x 100"))) << info;
    ExpectNothingLeft(work);
}

TEST_F(PdfToolsBatch, MergeAllOfAFolderTakesTheFilesInNtfsOrder) {
    // Created in shuffled order; NTFS lists names compared in upper case, so "b" comes
    // after "A" and "_x" after "Z" (a byte-wise sort would give another order).
    const std::vector<std::string> shuffled{"doc5.pdf", "_x.pdf",   "b.pdf", "doc1.pdf",
                                            "Z.pdf",    "doc3.pdf", "A.pdf", "c 2.pdf"};
    const std::vector<std::string> ntfs{"A.pdf",    "b.pdf",    "c 2.pdf", "doc1.pdf",
                                        "doc3.pdf", "doc5.pdf", "Z.pdf",   "_x.pdf"};
    std::filesystem::create_directories(work + "in/");
    for (auto& name : shuffled) {
        const int width = 100 + 10 * int(std::find(ntfs.begin(), ntfs.end(), name) - ntfs.begin());
        MakePdf(name, {{width, 100}});
        std::filesystem::rename(work + name, work + "in/" + name);
    }
    RunResult r = prog.Vexomat({"-c", "pdfMergeAll", "-s", work + "in/", "-d", work});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string info =
        Exec({"pdfinfo", "-f", "1", "-l", "8", work + "MERGED-ALL.pdf"}, prog.dir + "i.txt").output;
    for (int page = 1; page <= 8; ++page)
        EXPECT_TRUE(
            std::regex_search(info, std::regex("Page +" + std::to_string(page) + " size: +" +
                                               std::to_string(90 + 10 * page) + " x 100")))
            << "page " << page << " is not " << ntfs[size_t(page - 1)] << "\n"
            << info;
}

TEST_F(PdfToolsBatch, PdfToPdfJobsKeepEveryPagesOrientation) {
    const std::vector<std::pair<int, int>> sizes{{595, 842}, {792, 612}, {842, 595}, {300, 600}};
    Spit(work + "src.ps", DiagonalTextPs(sizes));
    ASSERT_EQ(
        Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
              "-dAutoRotatePages=/None", "-sOutputFile=" + work + "turn.pdf", work + "src.ps"},
             work + "gs.txt")
            .exitCode,
        0);
    std::filesystem::remove(work + "src.ps");
    std::filesystem::create_directories(work + "all/");
    std::filesystem::copy_file(work + "turn.pdf", work + "all/turn.pdf");
    const std::string src = work + "turn.pdf";
    struct Job {
        std::vector<std::string> args;
        std::string result;
    } jobs[] = {
        {{"-c", "pdfWatermark", "-s", src, "-d", work, "-owt", "=A LONG DIAGONAL WATERMARK TEXT",
          "-owf", "=40", "-owo", "=30"},
         "turn_WATERMARKED.pdf"},
        {{"-c", "pdfEncrypt", "-s", src, "-d", work, "-oyp", "=pw", "-oyt", "t"},
         "turn_ENCRYPTED.pdf"},
        {{"-c", "pdfMergeAll", "-s", work + "all/", "-d", work}, "MERGED-ALL.pdf"},
        {{"-c", "pdf2pdf", "-s", src, "-d", work}, "turn_REDUCED.pdf"},
        {{"-c", "pdfAutoCrop", "-s", src, "-d", work}, "turn_CROPPED.pdf"},
    };
    for (const Job& job : jobs) {
        RunResult r = prog.Vexomat(job.args);
        ASSERT_EQ(r.exitCode, 0) << job.args[1] << "\n" << prog.Log();
        const std::string info =
            Exec({"pdfinfo", "-upw", "pw", "-f", "1", "-l", "4", work + job.result},
                 prog.dir + "i.txt")
                .output;
        for (size_t page = 1; page <= sizes.size(); ++page) {
            EXPECT_TRUE(
                std::regex_search(info, std::regex("Page +" + std::to_string(page) + " rot: +0\n")))
                << job.args[1] << " turned page " << page << "\n"
                << info;
            std::smatch m;
            ASSERT_TRUE(std::regex_search(
                info, m,
                std::regex("Page +" + std::to_string(page) + " size: +([0-9.]+) x ([0-9.]+)")))
                << info;
            const bool landscape = std::stod(m[1].str()) > std::stod(m[2].str());
            EXPECT_EQ(landscape, sizes[page - 1].first > sizes[page - 1].second)
                << job.args[1] << " page " << page;
        }
    }
}

TEST_F(PdfToolsBatch, WatermarkOnceAndCentredOnEveryPageOfAMixedDocument) {
    // Blank pages: whatever is dark on the result is the stamp.
    const std::vector<std::pair<int, int>> sizes{{595, 842}, {792, 612}, {300, 600}, {612, 792}};
    std::string ps = "%!PS\n";
    for (auto [w, h] : sizes)
        ps += "<< /PageSize [" + std::to_string(w) + " " + std::to_string(h) +
              "] >> setpagedevice showpage\n";
    Spit(work + "src.ps", ps);
    ASSERT_EQ(Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
                    "-sOutputFile=" + work + "mixed.pdf", work + "src.ps"},
                   work + "gs.txt")
                  .exitCode,
              0);
    RunResult r = prog.Vexomat({"-c", "pdfWatermark", "-s", work + "mixed.pdf", "-d", work, "-owt",
                                "=STAMP", "-owf", "=60", "-owo", "=60"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string stamped = work + "mixed_WATERMARKED.pdf";
    EXPECT_EQ(PdfPages(stamped, work), 4);
    for (int page = 1; page <= 4; ++page) {
        const std::string text = Exec({"pdftotext", "-f", std::to_string(page), "-l",
                                       std::to_string(page), "-raw", stamped, "-"},
                                      work + "t.txt")
                                     .output;
        EXPECT_EQ(std::regex_replace(text, std::regex("\\s+"), ""), "STAMP") << "page " << page;
        const InkBox ink = PageInk(stamped, page, work);
        ASSERT_GT(ink.dark, 0) << "page " << page;
        EXPECT_NEAR(ink.cx, ink.width / 2.0, ink.width * 0.05) << "page " << page;
        EXPECT_NEAR(ink.cy, ink.height / 2.0, ink.height * 0.05) << "page " << page;
    }
}

TEST_F(PdfToolsBatch, ChineseWatermarkIsDrawnInAChineseFont) {
    const std::string pdf = MakePdf("cn.pdf", {{595, 842}});
    RunResult r = prog.Vexomat({"-c", "pdfWatermark", "-s", pdf, "-d", work, "-owt",
                                "=机密 (draft) 文件", "-owf", "=48", "-owo", "=30"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string text =
        Exec({"pdftotext", "-raw", work + "cn_WATERMARKED.pdf", "-"}, work + "t.txt").output;
    EXPECT_EQ(std::regex_replace(text, std::regex("\\s+"), ""), "机密(draft)文件") << text;
}

TEST_F(PdfToolsBatch, AWatermarkThatCannotShowIsRefusedNamingTheSwitch) {
    const std::string pdf = MakePdf("w.pdf", {{200, 200}});
    struct Row {
        std::vector<std::string> options;
        std::string message;
    } rows[] = {
        // (the size is refused the same way; the window test has both, as every message
        // of an unattended run stands for its ten seconds)
        {{"-owf", "=48"},
         "水印的“不透明度 [%]”为 0, 水印不会显示! 请用参数 -owo 给出一个大于 0 的值。"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args{"-c", "pdfWatermark", "-s", pdf, "-d", work, "-owt", "=x"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        EXPECT_EQ(prog.Vexomat(args).exitCode, 1);
        EXPECT_NE(prog.Log().find(row.message), std::string::npos) << prog.Log();
        EXPECT_FALSE(Exists(work + "w_WATERMARKED.pdf"));
    }
}

TEST_F(PdfToolsBatch, EncryptionWithAPasswordHoldingQuotes) {
    const std::string pdf = MakePdf("secret doc.pdf", {{200, 200}});
    const std::string password = "p\"w d\\$'";
    RunResult r = prog.Vexomat({"-c", "pdfEncrypt", "-s", pdf, "-d", work, "-oyp", "=" + password,
                                "-oyt", "t", "-oya", "pc"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string result = work + "secret doc_ENCRYPTED.pdf";
    const std::string with = Info({"-upw", password, result});
    EXPECT_NE(with.find("yes (print:yes copy:yes change:no addNotes:no algorithm:RC4)"),
              std::string::npos)
        << with;
    EXPECT_NE(Exec({"pdfinfo", result}, prog.dir + "i.txt").exitCode, 0);
    EXPECT_NE(Exec({"pdfinfo", "-upw", "p\"w d", result}, prog.dir + "i.txt").exitCode, 0);
    // The password the reader is given is no owner password: the restrictions hold.
    EXPECT_NE(Exec({"pdfinfo", "-opw", password, result}, prog.dir + "i.txt").exitCode, 0);
    ExpectNothingLeft(work);
}

TEST_F(PdfToolsBatch, WatermarkWithParenthesesAndCropping) {
    const std::string pdf = MakePdf("Wm.PDF", {{400, 400}, {400, 400}});
    RunResult r = prog.Vexomat({"-c", "pdfWatermark", "-s", pdf, "-d", work, "-owt",
                                "=(DRAFT) \\ )", "-owf", "=48", "-owo", "=30"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string stamped = work + "Wm_WATERMARKED.PDF";
    EXPECT_TRUE(std::regex_search(Info({stamped}), std::regex("Pages: +2\n")));
    EXPECT_NE(Slurp(stamped).find("(\\(DRAFT\\) \\\\ \\))Tj"), std::string::npos);

    r = prog.Vexomat(
        {"-c", "pdfAutoCrop", "-s", pdf, "-d", work, "-oin", "=4", "-oib", "=20", "-onb", "=5"});
    ASSERT_EQ(r.exitCode, 0) << prog.Log();
    const std::string cropped = work + "Wm_CROPPED.pdf";
    const std::string boxes =
        Exec({"pdfinfo", "-f", "1", "-l", "2", "-box", cropped}, prog.dir + "i.txt").output;
    EXPECT_TRUE(
        std::regex_search(boxes, std::regex("Page +2 MediaBox: +95.00 +96.00 +304.00 +305.00")))
        << boxes;
    EXPECT_EQ(boxes.find("Syntax Error"), std::string::npos) << boxes;
    ExpectNothingLeft(work);
}

TEST_F(PdfToolsBatch, FailuresKeepOlderResultsAndLeaveNothing) {
    // A file that is no PDF: the watermark run fails with exit code 1 and an older result
    // of the same name stays as it was.
    Spit(work + "fake.pdf", "just text, no PDF\n");
    Spit(work + "fake_WATERMARKED.pdf", "older result");
    RunResult r = prog.Vexomat({"-c", "pdfWatermark", "-s", work + "fake.pdf", "-d", work, "-owt",
                                "=x", "-owf", "=9", "-owo", "=9"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(Slurp(work + "fake_WATERMARKED.pdf"), "older result");
    EXPECT_NE(prog.Log().find("转换处理已完成但带有错误!"), std::string::npos);

    // An encrypted source cannot be read without its password: the preview fails.
    const std::string pdf = MakePdf("locked.pdf", {{200, 200}});
    ASSERT_EQ(prog.Vexomat({"-c", "pdfEncrypt", "-s", pdf, "-d", work, "-oyp", "=pw", "-oyt", "s"})
                  .exitCode,
              0);
    const std::string out = work + "out/";
    std::filesystem::create_directories(out);
    r = prog.Vexomat({"-c", "pdf2htmlPreview", "-s", work + "locked_ENCRYPTED.pdf", "-d", out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Listing(out).empty());

    // A truncated document: a correct result or a clear failure, never TEMP- files.
    const std::string whole = Slurp(pdf);
    Spit(work + "cut.pdf", whole.substr(0, whole.size() / 2));
    r = prog.Vexomat({"-c", "pdfAutoCrop", "-s", work + "cut.pdf", "-d", work});
    if (r.exitCode == 0)
        EXPECT_EQ(Exec({"pdfinfo", work + "cut_CROPPED.pdf"}, prog.dir + "i.txt").exitCode, 0);
    else
        EXPECT_FALSE(Exists(work + "cut_CROPPED.pdf"));
    ExpectNothingLeft(work);
    ExpectNothingLeft(out);
}
