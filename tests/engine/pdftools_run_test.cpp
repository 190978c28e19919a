// The PDF tools run for real through the console program: splitting (also of a document
// whose page count is not in its text), uncompressed copies, merging, encryption checked
// with poppler's pdfinfo, the watermark, cropping and the thumbnails.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <regex>

#include "engine/converters/pdf2bmp.h"
#include "engine/converters/pdf2htmlPreview.h"
#include "engine/converters/pdfAutoCrop.h"
#include "engine/converters/pdfEncrypt.h"
#include "engine/converters/pdfMerge.h"
#include "engine/converters/pdfMergeAll.h"
#include "engine/converters/pdfWatermark.h"
#include "engine/pdfHelper.h"
#include "pdftools_support.h"
#include "tests/e2e/pdf_revisions.h"

namespace vxtest {
namespace {

class PdfToolsRun : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        unsetenv("VEXOMAT_GS");
        State().FGsExe = VEXOMAT_BIN_DIR "/gs/gswin32c.exe";
        State().Options();
        tools_ = std::make_unique<ToolOptions>(State());
        work_ = AppPath() + "work $ 'q' 文件/";
        MkDir(work_);
    }
    void TearDown() override {
        tools_.reset();
        EngineTest::TearDown();
    }
    void ExpectClean() {
        EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
        EXPECT_TRUE(Messages().empty());
    }
    std::vector<std::string> Files(const std::string& dir) { return e2e::Listing(dir); }
    ToolOptions& Tools() { return *tools_; }
    std::unique_ptr<ToolOptions> tools_;
    std::string work_;
};

TEST_F(PdfToolsRun, TwelvePagesBecomeTwelveFilesOfTheirOwnSizes) {
    std::vector<std::pair<int, int>> sizes;
    for (int i = 0; i < 12; ++i)
        sizes.push_back(i % 3 == 1 ? std::make_pair(842, 595) : std::make_pair(300 + i, 200));
    const std::string src = work_ + "twelve pages.pdf";
    MakePdf(src, PagesPostScript(sizes), work_);
    EXPECT_EQ(TPdfChopToSingles().CountPdfPages(src), 12);
    const std::string out = work_ + "out/";
    MkDir(out);
    ASSERT_TRUE(TPdfChopToSingles().Chop(src, out, "", work_));
    ExpectClean();
    std::vector<std::string> expected;
    for (int i = 1; i <= 12; ++i) expected.push_back("twelve pages_p" + Format("%.4d", i) + ".pdf");
    EXPECT_EQ(Files(out), expected);
    for (int i = 1; i <= 12; ++i) {
        const auto got = PdfPageSizes(out + expected[size_t(i - 1)], work_);
        ASSERT_EQ(got.size(), 1u) << i;
        EXPECT_EQ(got[0], std::to_string(sizes[size_t(i - 1)].first) + " x " +
                              std::to_string(sizes[size_t(i - 1)].second))
            << i;
    }
    EXPECT_FALSE(Exists(work_ + "pageSizePicture.jpg"));
}

TEST_F(PdfToolsRun, PageSizeProbe) {
    const std::string src = work_ + "p.pdf";
    MakePdf(src, PagesPostScript({{612, 792}, {792, 612}}), work_);
    const TPageSize a = TPdfChopToSingles().GetPdfPageSize(src, 2, work_);
    EXPECT_EQ(a.x, 792);
    EXPECT_EQ(a.y, 612);
    EXPECT_THROW(TPdfChopToSingles().GetPdfPageSize(src, 3, work_), EInOutError);
}

TEST_F(PdfToolsRun, DocumentWithObjectStreamsIsCountedByTheParser) {
    const std::string src = work_ + "objstm.pdf";
    WriteFile(src, ObjectStreamPdf(3));
    EXPECT_EQ(ReadFile(src).find("/Count"), std::string::npos);
    EXPECT_EQ(TPdfChopToSingles().CountPdfPages(src), 3);
    ASSERT_EQ(e2e::PdfPages(src, work_), 3);
    const std::string out = work_ + "pages/";
    MkDir(out);
    ASSERT_TRUE(TPdfChopToSingles().Chop(src, out, "2---", work_));
    ExpectClean();
    EXPECT_EQ(Files(out), (std::vector<std::string>{"2---objstm_p0001.pdf", "2---objstm_p0002.pdf",
                                                    "2---objstm_p0003.pdf"}));
    EXPECT_EQ(PdfPageSizes(out + "2---objstm_p0002.pdf", work_),
              (std::vector<std::string>{"200 x 100"}));
}

TEST_F(PdfToolsRun, DocumentWhoseCountNoReaderTellsIsSplitByProbing) {
    // Damaged past what the parser opens without repairing, and its count (an object
    // holding 3.0) is no whole number in its text; Ghostscript repairs it and draws 3 pages.
    const std::string src = work_ + "uncounted.pdf";
    WriteFile(src, pdfrev::BrokenXref(pdfrev::CountWrittenAs("20 0 R", "3.0")));
    EXPECT_EQ(TPdfChopToSingles().CountPdfPages(src), -1);
    const std::string out = work_ + "pages/";
    MkDir(out);
    ASSERT_TRUE(TPdfChopToSingles().Chop(src, out, "2---", work_));
    EXPECT_EQ(Files(out),
              (std::vector<std::string>{"2---uncounted_p0001.pdf", "2---uncounted_p0002.pdf",
                                        "2---uncounted_p0003.pdf"}));
    EXPECT_EQ(PdfPageSizes(out + "2---uncounted_p0002.pdf", work_),
              (std::vector<std::string>{"200 x 200"}));
}

TEST_F(PdfToolsRun, APageTreePromisingMorePagesThanTheFileHoldsIsSplitIntoItsPages) {
    // Damaged, so its text promises 5 pages; the tree the parser's repair finds under
    // that root holds 3, and those Ghostscript draws.
    const std::string src = work_ + "promises five.pdf";
    WriteFile(src, pdfrev::BrokenXref(pdfrev::CountPromisesMore()));
    EXPECT_EQ(TPdfChopToSingles().CountPdfPages(src), 3);
    const std::string out = work_ + "out/";
    MkDir(out);
    EXPECT_TRUE(TPdfChopToSingles().Chop(src, out, "", work_)) << Errors().size();
    EXPECT_EQ(Files(out),
              (std::vector<std::string>{"promises five_p0001.pdf", "promises five_p0002.pdf",
                                        "promises five_p0003.pdf"}));
}

// The page-order window splits its documents outside a run: from the copies made in its
// own folder, each page of the document a file.
TEST_F(PdfToolsRun, ThePageOrderWindowSplitsADocumentFromItsCopy) {
    const std::string arrange = work_ + "arrange/";
    MkDir(arrange);
    State().FArrangeTmp = arrange;
    const struct {
        const char* name;
        std::string text;
        int pages;
    } rows[] = {
        {"mail.pdf", pdfrev::MailHeaders() + pdfrev::Export(), 3},
        {"untyped.pdf", pdfrev::UntypedFirstPage(), 3},
        {"hybrid.pdf", pdfrev::HybridWithAddedPage(4), 5},
    };
    for (const auto& row : rows) {
        const std::string src = work_ + row.name;
        WriteFile(src, row.text);
        const std::string base = std::string(row.name).substr(0, std::strlen(row.name) - 4);
        ASSERT_TRUE(TPdfChopToSingles().Chop(src, arrange, "1---", arrange))
            << row.name << (Errors().empty() ? "" : Errors().back());
        for (int page = 1; page <= row.pages + 1; ++page) {
            const std::string file =
                arrange + "1---" + base + "_p000" + std::to_string(page) + ".pdf";
            EXPECT_EQ(FileExists(file), page <= row.pages) << file;
        }
        EXPECT_EQ(e2e::Slurp(src), row.text) << row.name;
    }
    EXPECT_TRUE(Errors().empty());
    State().FArrangeTmp.clear();
}

TEST_F(PdfToolsRun, TwoDocumentsSplitIntoOneFolderDoNotCollide) {
    const std::string a = work_ + "doc.pdf";
    MakePdf(a, PagesPostScript({{200, 200}, {200, 200}}), work_);
    const std::string other = work_ + "other/";
    MkDir(other);
    const std::string b = other + "doc.pdf";
    MakePdf(b, PagesPostScript({{300, 100}}), work_);
    const std::string out = work_ + "arrange/";
    MkDir(out);
    ASSERT_TRUE(TPdfChopToSingles().Chop(a, out, "1---", work_, kMergePageBase));
    ASSERT_TRUE(TPdfChopToSingles().Chop(b, out, "2---", work_, kMergePageBase));
    EXPECT_EQ(Files(out), (std::vector<std::string>{"1---page_p0001.pdf", "1---page_p0002.pdf",
                                                    "2---page_p0001.pdf"}));

    // Merged in the order of the page-order list: second file first.
    State().FArrangeTmp = out;
    State().FMergeFile1 = a;
    State().FMergeFile2 = b;
    for (const char* e : {"F2: 页面 1", "F1: 页面 2", "F1: 页面 1"}) State().FMergeOrder->Add(e);
    const std::string merged = work_ + "MERGED-doc.pdf";
    ASSERT_TRUE(TPdfMerge().Merge(merged));
    ExpectClean();
    EXPECT_EQ(PdfPageSizes(merged, work_),
              (std::vector<std::string>{"300 x 100", "200 x 200", "200 x 200"}));
}

// A document of the longest name: the page-order window's pages take names of their own;
// the preview's pages, named after the document, cannot be named, which is said once,
// naming the page file, before any page is made.
TEST_F(PdfToolsRun, ADocumentOfTheLongestNameSplitsUnderPageNamesOfItsOwn) {
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "报";
    const std::string src = work_ + chinese + "ab.pdf";
    ASSERT_EQ(ExtractFileName(src).size(), 255u);
    MakePdf(src, PagesPostScript({{200, 200}, {300, 100}}), work_);
    const std::string arrange = work_ + "arrange/", preview = work_ + "preview/";
    MkDir(arrange);
    MkDir(preview);
    ASSERT_TRUE(TPdfChopToSingles().Chop(src, arrange, "1---", work_, kMergePageBase));
    ExpectClean();
    EXPECT_EQ(Files(arrange),
              (std::vector<std::string>{"1---page_p0001.pdf", "1---page_p0002.pdf"}));
    EXPECT_FALSE(TPdfChopToSingles().Chop(src, preview, "", work_));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find(chinese + "ab_p0002.pdf\"。文件名或扩展名太长"), std::string::npos)
        << Errors()[0];
    EXPECT_TRUE(Files(preview).empty());
}

TEST_F(PdfToolsRun, ChopOfADamagedDocumentFails) {
    const std::string src = work_ + "broken.pdf";
    WriteFile(src,
              "%PDF-1.4\n1 0 obj << /Type /Pages /Count 2 >> endobj\ntrailer << /Root 9 0 R >>\n");
    const std::string out = work_ + "out/";
    MkDir(out);
    EXPECT_FALSE(TPdfChopToSingles().Chop(src, out, "", work_));
    EXPECT_FALSE(Errors().empty());
    WriteFile(src, "<< /Count /X >>");
    EXPECT_FALSE(TPdfChopToSingles().Chop(src, out, "", work_));
}

TEST_F(PdfToolsRun, DecompressedCopyShowsItsBoxesAsText) {
    const std::string src = work_ + "c.pdf";
    MakePdf(src, PagesPostScript({{400, 300}}), work_);
    const std::string dst = work_ + "TEMP-c.pdf";
    ASSERT_TRUE(TPdfDecompress().Decompress(src, dst));
    ExpectClean();
    const std::string text = ReadFile(dst);
    EXPECT_NE(text.find("/MediaBox [0 0 400 300]"), std::string::npos);
    EXPECT_NE(text.find(" re\nf"), std::string::npos);  // the page's drawing, uncompressed
}

TEST_F(PdfToolsRun, MergeAllInListOrder) {
    const std::string a = work_ + "a \"1\".pdf", b = work_ + "b$.pdf";
    MakePdf(a, PagesPostScript({{100, 100}, {110, 100}}), work_);
    MakePdf(b, PagesPostScript({{300, 200}}), work_);
    TStringList files;
    files.Add(b);
    files.Add(a);
    const std::string dst = work_ + "MERGED-ALL.pdf";
    WriteFile(dst, "older");
    ASSERT_TRUE(TPdfMergeAll().Merge(files, dst));
    ExpectClean();
    EXPECT_EQ(PdfPageSizes(dst, work_),
              (std::vector<std::string>{"300 x 200", "100 x 100", "110 x 100"}));
}

// pdfinfo's answer for an encrypted document, with or without the password.
e2e::RunResult PdfInfo(const std::string& pdf, const std::string& scratch,
                       const std::string* password) {
    std::vector<std::string> args{"pdfinfo"};
    if (password) {
        args.push_back("-upw");
        args.push_back(*password);
    }
    args.push_back(pdf);
    return e2e::Exec(args, scratch + "pdfinfo-enc.txt");
}

TEST_F(PdfToolsRun, EncryptedDocumentOpensOnlyWithThePasswordAsTyped) {
    const std::string src = work_ + "plain.pdf";
    MakePdf(src, PagesPostScript({{200, 200}}), work_);
    Tools().SetVisible("GroupBox_encryption", true);
    for (const std::string& pw :
         {std::string("geheim"), std::string("a\"b c\\d$'x"), std::string("密码\"")}) {
        SCOPED_TRACE(pw);
        Tools().EditOf("Edit_encryption_password")->SetText(pw);
        Tools().Combo("ComboBox_encryption_type")->SetItemIndex(1);
        Tools().Check("CheckBox_encryption_allowsC")->SetChecked(false);
        const std::string dst = work_ + "plain_ENCRYPTED.pdf";
        ASSERT_TRUE(TPdfEncrypt().Encrypt(src, dst));
        ExpectClean();
        const e2e::RunResult with = PdfInfo(dst, work_, &pw);
        EXPECT_EQ(with.exitCode, 0) << with.output;
        EXPECT_NE(with.output.find("yes (print:yes copy:no change:yes addNotes:yes algorithm:RC4)"),
                  std::string::npos)
            << with.output;
        EXPECT_TRUE(std::regex_search(with.output, std::regex("Pages: +1\n"))) << with.output;
        const std::string wrong = pw.substr(0, pw.size() - 1);
        EXPECT_NE(PdfInfo(dst, work_, &wrong).exitCode, 0);
        EXPECT_NE(PdfInfo(dst, work_, nullptr).exitCode, 0);
    }
}

TEST_F(PdfToolsRun, NoPermissionsAtAll) {
    const std::string src = work_ + "plain.pdf";
    MakePdf(src, PagesPostScript({{200, 200}}), work_);
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("pw");
    for (const char* n : {"CheckBox_encryption_allowsP", "CheckBox_encryption_allowsM",
                          "CheckBox_encryption_allowsC", "CheckBox_encryption_allowsA"})
        Tools().Check(n)->SetChecked(false);
    const std::string dst = work_ + "e.pdf";
    ASSERT_TRUE(TPdfEncrypt().Encrypt(src, dst));
    const std::string pw = "pw";
    const e2e::RunResult r = PdfInfo(dst, work_, &pw);
    EXPECT_NE(r.output.find("print:no copy:no change:no addNotes:no"), std::string::npos)
        << r.output;
}

// The literal strings shown by "Tj" in uncompressed page text, unescaped.
std::vector<std::string> ShownStrings(const std::string& pdf) {
    std::vector<std::string> shown;
    for (size_t tj = pdf.find(")Tj"); tj != std::string::npos; tj = pdf.find(")Tj", tj + 1)) {
        size_t open = tj;
        int depth = 0;
        // Walk back to the "(" that opens this string (escaped parentheses do not count).
        for (size_t i = tj; i-- > 0;) {
            const bool escaped = i > 0 && pdf[i - 1] == '\\' && (i < 2 || pdf[i - 2] != '\\');
            if (pdf[i] == ')' && !escaped) ++depth;
            if (pdf[i] == '(' && !escaped) {
                if (depth == 0) {
                    open = i;
                    break;
                }
                --depth;
            }
        }
        std::string s;
        for (size_t i = open + 1; i < tj; ++i) {
            if (pdf[i] == '\\' && i + 1 < tj) {
                const char c = pdf[++i];
                if (c >= '0' && c <= '7') {
                    int v = 0, k = 0;
                    for (; k < 3 && i < tj && pdf[i] >= '0' && pdf[i] <= '7'; ++k, ++i)
                        v = v * 8 + (pdf[i] - '0');
                    --i;
                    s += char(v);
                } else {
                    s += c == 'n' ? '\n' : c == 'r' ? '\r' : c;
                }
            } else {
                s += pdf[i];
            }
        }
        shown.push_back(s);
    }
    return shown;
}

TEST_F(PdfToolsRun, WatermarkIsStampedOnEveryPageAsTyped) {
    const std::string src = work_ + "w.pdf";
    MakePdf(src, PagesPostScript({{595, 842}, {842, 595}}), work_);
    for (const std::string& text :
         {std::string("- STRICTLY CONFIDENTIAL -"), std::string("A (B) \\ C) quit (")}) {
        SCOPED_TRACE(text);
        Tools().EditOf("Edit_watermark_text")->SetText(text);
        Tools().Counter("XcUpDown_watermark_fontsize")->Position = 48;
        Tools().Counter("XcUpDown_watermark_opacity")->Position = 30;
        const std::string stamp = work_ + "watermark.ps";
        TPdfWatermark w;
        ASSERT_TRUE(w.WriteStamp(stamp));
        const std::string dst = work_ + "w_WATERMARKED.pdf";
        ASSERT_TRUE(w.Apply(src, dst, stamp));
        ExpectClean();
        EXPECT_EQ(PdfPageSizes(dst, work_), (std::vector<std::string>{"595 x 842", "842 x 595"}));
        const std::string pdf = ReadFile(dst);
        // The page-start procedure runs whenever the interpreter sets up a page, so a page
        // may hold the same stamp more than once; every one is the text as typed.
        size_t stamps = 0;
        for (const std::string& shown : ShownStrings(pdf)) {
            if (shown == "Page 1" || shown == "Page 2") continue;
            EXPECT_EQ(shown, text);
            ++stamps;
        }
        EXPECT_GE(stamps, 2u);
        // The grey of opacity 30 (0.7, as the output device quantises it), in plain page text.
        EXPECT_TRUE(pdf.find("0.699219 g") != std::string::npos ||
                    pdf.find("0.7 g") != std::string::npos);
    }
}

TEST_F(PdfToolsRun, AutoCropOfARealPage) {
    const std::string src = work_ + "crop me.pdf";
    MakePdf(src, PagesPostScript({{400, 400}, {800, 400}}), work_);
    State().Options().Radio("RadioButton_resolution72")->SetChecked(true);
    State().Options().Radio("RadioButton_colordepth1")->SetChecked(true);
    const std::string bmp = work_ + "TEMP-crop me.bmp";
    ASSERT_TRUE(TPdf2bmp().Convert(src, bmp, 1, 1));
    ASSERT_TRUE(TPdfDecompress().Decompress(src, work_ + "TEMP-crop me.pdf"));
    Tools().Counter("XcUpDown_ignore_noise")->Position = 4;
    Tools().Counter("XcUpDown_skip_border")->Position = 20;
    Tools().Counter("XcUpDown_add_border")->Position = 0;
    const std::string dst = work_ + "crop me_CROPPED.pdf";
    ASSERT_TRUE(
        TPdfAutoCrop().AutoCrop(work_ + "TEMP-crop me_p0001.bmp", work_ + "TEMP-crop me.pdf", dst));
    ExpectClean();
    // Content from 100 to 300 on page 1: the box, and down to 89 the caption below it. The
    // same fractions apply to the wider page 2.
    const e2e::RunResult info =
        e2e::Exec({"pdfinfo", "-f", "1", "-l", "2", "-box", dst}, work_ + "boxes.txt");
    EXPECT_EQ(info.exitCode, 0) << info.output;
    EXPECT_EQ(info.output.find("Syntax Error"), std::string::npos)
        << info.output;  // offsets moved along
    EXPECT_TRUE(std::regex_search(info.output,
                                  std::regex("Page +1 MediaBox: +100.00 +89.00 +299.00 +300.00")))
        << info.output;
    EXPECT_TRUE(std::regex_search(info.output,
                                  std::regex("Page +2 MediaBox: +200.00 +89.00 +598.00 +300.00")))
        << info.output;
}

TEST_F(PdfToolsRun, ThumbnailsOfMixedPages) {
    const std::string src = work_ + "thumb s.pdf";
    MakePdf(src, PagesPostScript({{612, 792}, {792, 612}, {100, 80}}), work_);
    const std::string images = work_ + "images/";
    MkDir(images);
    EXPECT_EQ(TPdf2htmlPreview().MakeThumbnails(src, images), 3);
    ExpectClean();
    int w = 0, h = 0;
    ASSERT_TRUE(ReadJpegSize(images + "thumb s_p0001.jpg", w, h));
    EXPECT_EQ(w, 112);
    EXPECT_EQ(h, 145);
    ASSERT_TRUE(ReadJpegSize(images + "thumb s_p0002.jpg", w, h));
    EXPECT_EQ(w, 152);
    EXPECT_EQ(h, 117);
    ASSERT_TRUE(
        ReadJpegSize(images + "thumb s_p0003.jpg", w, h));  // smaller than a thumbnail: kept
    EXPECT_EQ(w, 100);
    EXPECT_EQ(h, 80);
    // The shrunk page is still the picture: dark where the box was, light at the corner.
    const TRgbImage t = LoadJpegRgb(images + "thumb s_p0001.jpg");
    EXPECT_LT(t.Row(72)[3 * 56], 60);
    EXPECT_GT(t.Row(5)[3 * 5], 200);
}

}  // namespace
}  // namespace vxtest
