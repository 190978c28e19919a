// The PDF tools without Ghostscript: page counting from the text, the parameter strings of
// splitting, merging, encryption and the watermark, the stamp file, the preview page, the
// thumbnail resampler and the crop-box arithmetic.
#include <gtest/gtest.h>

#include <functional>

#include "engine/converters/pdf2htmlPreview.h"
#include "engine/converters/pdfAutoCrop.h"
#include "engine/converters/pdfEncrypt.h"
#include "engine/converters/pdfMerge.h"
#include "engine/converters/pdfMergeAll.h"
#include "engine/converters/pdfWatermark.h"
#include "engine/pdfHelper.h"
#include "pdftools_support.h"

namespace vxtest {
namespace {

class PdfToolsParams : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        opt_ = &State().Options();
        tools_ = std::make_unique<ToolOptions>(State());
    }
    void TearDown() override {
        tools_.reset();
        EngineTest::TearDown();
    }
    ToolOptions& Tools() { return *tools_; }
    OptionPanel& Opt() { return *opt_; }
    OptionPanel* opt_ = nullptr;
    std::unique_ptr<ToolOptions> tools_;
};

size_t Occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

std::vector<std::string> SplitLines(const std::string& text, const std::string& separator) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t p = text.find(separator, start);
        lines.push_back(text.substr(start, p == std::string::npos ? std::string::npos : p - start));
        if (p == std::string::npos) break;
        start = p + separator.size();
    }
    return lines;
}

// ---------------------------------------------------------------- page count

TEST(PdfPageCount, RootCountWins) {
    const std::string text =
        "1 0 obj << /Type /Pages /Kids [2 0 R 3 0 R] /Count 12 >> endobj\n"
        "2 0 obj << /Type /Pages /Kids [] /Count 7 /Parent 1 0 R >> endobj\n";
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(text), 12);
}

TEST(PdfPageCount, InnerNodeAfterTheCountIsSkipped) {
    // "/Parent" behind "/Count" inside the same dictionary marks an inner node.
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(
                  "<< /Type /Pages /Count 3 /Parent 1 0 R >> << /Type /Pages /Count 5 >>"),
              5);
    // A "/Parent" of a later dictionary does not count for this one.
    EXPECT_EQ(
        TPdfChopToSingles::CountPagesInText("<< /Type /Pages /Count 4 >> << /Parent 2 0 R >>"), 4);
}

TEST(PdfPageCount, OnlyThePageTreeCounts) {
    struct Row {
        const char* why;
        std::string text;
        int pages;
    } rows[] = {
        {"an outline root without /Type after the page tree",
         "1 0 obj << /Type /Catalog /Pages 2 0 R /Outlines 9 0 R >> endobj\n"
         "2 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >> endobj\n"
         "9 0 obj << /Count 0 >> endobj\n",
         2},
        {"the same without a catalog",
         "2 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >> endobj\n"
         "9 0 obj << /Count 0 >> endobj\n",
         2},
        {"an inline font's /FirstChar in the root is no /First",
         "2 0 obj << /Type /Pages /Count 3 /Kids [4 0 R 5 0 R 6 0 R] /Resources << /Font << /F1 "
         "<< /Type /Font /Subtype /Type1 /FirstChar 32 /LastChar 126 >> >> >> >> endobj\n",
         3},
        {"the node the catalog names, although it lacks /Type",
         "1 0 obj << /Type /Catalog /Pages 7 0 R >> endobj\n7 0 obj << /Kids [] /Count 4 >> "
         "endobj\n",
         4},
        {"the catalog's node wins over another parentless /Pages node",
         "1 0 obj << /Type /Catalog /Pages 7 0 R >> endobj\n"
         "7 0 obj << /Type /Pages /Count 4 >> endobj\n8 0 obj << /Type /Pages /Count 9 >> endobj\n",
         4},
        {"names are matched whole",
         "<< /Type /PagesX /Count 5 >> << /Typed /Pages /Count 6 >> << /Type /Pages /Count 7 >>",
         7},
        {"a nested /Type is not the node's",
         "<< /Count 5 /Extra << /Type /Pages >> >> << /Type /Pages /Count 8 >>", 8},
        {"a page tree written inside stream data is none",
         "1 0 obj << /Type /Pages /Count 2 >> endobj\n3 0 obj << /Length 30 >> stream\n"
         "<< /Type /Pages /Count 99 >>\nendstream endobj\n",
         2},
        {"a string holding the words is none",
         "<< /Type /Pages /Count 2 >> << /Title (<< /Type /Pages /Count 50 >>) >>", 2},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TPdfChopToSingles::CountPagesInText(r.text), r.pages) << r.why;
}

TEST(PdfPageCount, DeepNestingIsNoProblem) {
    const std::string text = std::string(200000, '[') + "<< /Type /Pages /Count 3 >>" +
                             std::string(200000, '<') + " << /Type /Pages /Count 6 >>";
    EXPECT_NO_THROW(TPdfChopToSingles::CountPagesInText(text));
}

TEST(PdfPageCount, LastRootCountOfAnUpdateWins) {
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(
                  "<</Type/Pages/Count 2>> ... <</Type/Pages/Count\r\n 9>>"),
              9);
}

TEST(PdfPageCount, BookmarkRootIsNoPageTree) {
    // The root of the bookmarks has a "/Count" and no "/Parent" as well, after the pages.
    const std::string text =
        "1 0 obj << /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >> endobj\n"
        "5 0 obj << /Type /Outlines /First 6 0 R /Last 7 0 R /Count 7 >> endobj\n"
        "8 0 obj << /Count 3 /First 6 0 R /Last 7 0 R >> endobj\n"
        "6 0 obj << /Title (a) /Parent 5 0 R /Count -2 >> endobj\n";
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(text), 2);
}

TEST(PdfPageCount, NoCountGivesMinusOne) {
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(""), -1);
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText("%PDF-1.5 /Type /ObjStm"), -1);
}

TEST(PdfPageCount, RootCountThatIsNoNumberRaises) {
    EXPECT_THROW(TPdfChopToSingles::CountPagesInText("<< /Type /Pages /Count /Foo >>"),
                 EConvertError);
    EXPECT_THROW(TPdfChopToSingles::CountPagesInText("<< /Type /Pages /Count"), EConvertError);
}

TEST(PdfPageCount, ManyCountsWithoutDictionaryEnds) {
    // Every "/Count" here is followed by the rest of the file up to its end: the scan must
    // not look at that rest again for each of them (this finishes at once in one pass).
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "/Count 1 ";
    text += "/Parent";
    EXPECT_EQ(TPdfChopToSingles::CountPagesInText(text), -1);
}

// ---------------------------------------------------------------- split

TEST_F(PdfToolsParams, ChopParametersWithoutTheQualityGroup) {
    const std::string p =
        TPdfChopToSingles().ChopParameters("/in/a b.pdf", "/out/a b_p0003.pdf", 3, {595, 842});
    EXPECT_EQ(
        p,
        "-dNOPAUSE -dBATCH -dSAFER -dPDFSETTINGS=/default -dDownsampleMonoImages=false "
        "-dDownsampleGrayImages=false -dDownsampleColorImages=false -dDEVICEWIDTHPOINTS=595 "
        "-dDEVICEHEIGHTPOINTS=842 -dPDFFitPage -dDOINTERPOLATE -dFirstPage=3 -dLastPage=3 -r300 "
        "-sDEVICE=pdfwrite -sOutputFile=\"/out/a b_p0003.pdf\" -c .setpdfwrite -f \"/in/a "
        "b.pdf\" ");
}

TEST_F(PdfToolsParams, ChopParametersWithTheQualityGroup) {
    Opt().Show({"GroupBox_optimized"});
    Opt().Radio("RadioButton_optimizedP")->SetChecked(true);
    std::string p = TPdfChopToSingles().ChopParameters("s.pdf", "o.pdf", 1, {10, 20});
    EXPECT_NE(p.find("-dSAFER -dPDFSETTINGS=/printer -dDEVICEWIDTHPOINTS=10 "), std::string::npos)
        << p;
    Opt().Radio("RadioButton_optimizedEdit")->SetChecked(true);
    Opt().Edit("Edit_optimized")->SetText("100");
    p = TPdfChopToSingles().ChopParameters("s.pdf", "o.pdf", 1, {10, 20});
    EXPECT_NE(p.find("-dSAFER -dColorConversionStrategy=/sRGB -dDownsampleMonoImages=true "),
              std::string::npos)
        << p;
    EXPECT_NE(p.find("-dColorImageResolution=100 -dDEVICEWIDTHPOINTS"), std::string::npos) << p;
    Opt().Edit("Edit_optimized")->SetText("201");
    p = TPdfChopToSingles().ChopParameters("s.pdf", "o.pdf", 1, {10, 20});
    EXPECT_NE(p.find("-dSAFER -dDEVICEWIDTHPOINTS"), std::string::npos) << p;
    Opt().Edit("Edit_optimized")->SetText("x");
    EXPECT_THROW(TPdfChopToSingles().ChopParameters("s.pdf", "o.pdf", 1, {10, 20}), EConvertError);
}

TEST_F(PdfToolsParams, DecompressParameters) {
    EXPECT_EQ(TPdfDecompress().Parameters("/a/in.pdf", "/b/100%.pdf"),
              "-dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dCompressPages=false "
              "-sOutputFile=\"/b/100%%.pdf\" -f \"/a/in.pdf\" ");
}

// ---------------------------------------------------------------- merging

TEST_F(PdfToolsParams, MergeOrderOfTheSecondFileOnly) {
    State().FArrangeTmp = "/tmp/arr/";
    State().FMergeFile1 = "/d/first.pdf";
    State().FMergeFile2 = "/d/zwei teil.pdf";
    State().FMergeOrder->Add("F2: 页面 3");
    State().FMergeOrder->Add("F2: 页面 1");
    const std::string p = TPdfMerge().Parameters("/out/MERGED-first.pdf");
    EXPECT_EQ(p,
              "-dNOPAUSE -dBATCH -dSAFER -dPDFSETTINGS=/default -dDownsampleMonoImages=false "
              "-dDownsampleGrayImages=false -dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite "
              "-sOutputFile=\"/out/MERGED-first.pdf\" -c .setpdfwrite -f "
              "\"/tmp/arr/2---page_p0003.pdf\" \"/tmp/arr/2---page_p0001.pdf\" ");
    EXPECT_EQ(p.find("1---"), std::string::npos);
}

TEST_F(PdfToolsParams, MergeOrderOfBothFiles) {
    State().FArrangeTmp = "/t/";
    State().FMergeFile1 = "/d/a.pdf";
    State().FMergeFile2 = "/d/b.pdf";
    // Any label between tag and number: the number ends the entry.
    for (const char* e : {"F1: Page 12", "F2: Page 2", "F1: Page 1"}) State().FMergeOrder->Add(e);
    const std::string p = TPdfMerge().Parameters("/o.pdf");
    EXPECT_NE(
        p.find("-f \"/t/1---page_p0012.pdf\" \"/t/2---page_p0002.pdf\" \"/t/1---page_p0001.pdf\" "),
        std::string::npos)
        << p;
}

TEST_F(PdfToolsParams, MergeOrderWithTheChineseLabel) {
    State().FArrangeTmp = "/t/";
    State().FMergeFile1 = "/d/文件.pdf";
    State().FMergeOrder->Add("F1: 页面 7");
    EXPECT_TRUE(EndsStr("-f \"/t/1---page_p0007.pdf\" ", TPdfMerge().Parameters("/o.pdf")));
}

TEST_F(PdfToolsParams, MergeOrderWithoutANumberFails) {
    State().FMergeOrder->Add("F1: Page x");
    EXPECT_FALSE(TPdfMerge().Merge("/o.pdf"));
    ASSERT_EQ(Errors().size(), 1u);
}

TEST_F(PdfToolsParams, MergeAllListsEveryFileInOrder) {
    TStringList files;
    EXPECT_EQ(
        TPdfMergeAll().Parameters(files, "/o/MERGED-ALL.pdf"),
        "-dNOPAUSE -dBATCH -dSAFER -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
        "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite -sOutputFile=\"/o/MERGED-ALL.pdf\" "
        "-c .setpdfwrite -f ");
    files.Add("/x/b.pdf");
    files.Add("/x/a \"q\".pdf");
    const std::string p = TPdfMergeAll().Parameters(files, "/o/MERGED-ALL.pdf");
    EXPECT_TRUE(EndsStr("-f \"/x/b.pdf\" \"/x/a \\\"q\\\".pdf\" ", p)) << p;
}

// ---------------------------------------------------------------- encryption

TEST_F(PdfToolsParams, EncryptionWithoutTheGroupIsACopy) {
    Tools().SetVisible("GroupBox_encryption", false);
    Tools().EditOf("Edit_encryption_password")->SetText("secret");
    EXPECT_EQ(TPdfEncrypt().Parameters("/s.pdf", "/d.pdf"),
              "-dNOPAUSE -dBATCH -dSAFER -dDownsampleMonoImages=false -dDownsampleGrayImages=false "
              "-dDownsampleColorImages=false -r300 -sDEVICE=pdfwrite -sOutputFile=\"/d.pdf\" -c "
              ".setpdfwrite "
              "-f \"/s.pdf\" ");
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("");
    EXPECT_EQ(TPdfEncrypt().Parameters("/s.pdf", "/d.pdf").find("Password"), std::string::npos);
}

TEST_F(PdfToolsParams, TightenWritesRevisionAndKeyLengthTwice) {
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("pw");
    Tools().Combo("ComboBox_encryption_type")->SetItemIndex(1);
    const std::string p = TPdfEncrypt().Parameters("/s.pdf", "/d.pdf");
    EXPECT_EQ(p,
              "-dNOPAUSE -dBATCH -dSAFER -sOwnerPassword=\"pw\" -sUserPassword=\"pw\" "
              "-dCompatibilityLevel=1.4 "
              "-dEncryptionR=3 -dKeyLength=128 -dPermissions=-4 -dEncryptionR=3 -dKeyLength=128 "
              "-dDownsampleMonoImages=false -dDownsampleGrayImages=false "
              "-dDownsampleColorImages=false -r300 "
              "-sDEVICE=pdfwrite -sOutputFile=\"/d.pdf\" -c .setpdfwrite -f \"/s.pdf\" ");
    EXPECT_EQ(Occurrences(p, "-dCompatibilityLevel=1.4 "), 1u);
    EXPECT_EQ(Occurrences(p, "-dEncryptionR=3 "), 2u);
    EXPECT_EQ(Occurrences(p, "-dKeyLength=128 "), 2u);
}

TEST_F(PdfToolsParams, PermissionValues) {
    EXPECT_EQ(TPdfEncrypt::Permissions(), -4);
    Tools().Check("CheckBox_encryption_allowsM")->SetChecked(false);
    Tools().Check("CheckBox_encryption_allowsA")->SetChecked(false);
    EXPECT_EQ(TPdfEncrypt::Permissions(), -4 - 8 - 32);
    for (const char* n : {"CheckBox_encryption_allowsP", "CheckBox_encryption_allowsC"})
        Tools().Check(n)->SetChecked(false);
    EXPECT_EQ(TPdfEncrypt::Permissions(), -64);
}

TEST_F(PdfToolsParams, NoEncryptionTypeSelectedTakesTheFirstPreset) {
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("pw");
    ASSERT_EQ(Tools().Combo("ComboBox_encryption_type")->ItemIndex(), -1);
    const std::string p = TPdfEncrypt().Parameters("/s.pdf", "/d.pdf");
    EXPECT_NE(p.find("-dCompatibilityLevel=1.2 -dEncryptionR=2 -dKeyLength=40 "), std::string::npos)
        << p;
}

TEST_F(PdfToolsParams, PasswordWithQuoteAndBackslashIsEscapedForTheConsoleProgram) {
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("a\"b c\\");
    const std::string p = TPdfEncrypt().Parameters("/s.pdf", "/d.pdf");
    EXPECT_NE(p.find("-sOwnerPassword=\"a\\\"b c\\\\\" -sUserPassword=\"a\\\"b c\\\\\" "),
              std::string::npos)
        << p;
}

TEST_F(PdfToolsParams, PasswordWithALineBreakIsRefusedBeforeAnyRun) {
    // The response file is one line: such a password cannot reach Ghostscript as typed.
    Tools().SetVisible("GroupBox_encryption", true);
    Tools().EditOf("Edit_encryption_password")->SetText("first\nsecond");
    EXPECT_THROW(TPdfEncrypt().Parameters("/s.pdf", "/d.pdf"), GsArgError);
    EXPECT_FALSE(TPdfEncrypt().Encrypt("/s.pdf", AppPath() + "d.pdf"));
    ASSERT_EQ(Errors().size(), 1u);
    EXPECT_NE(Errors()[0].find("first\\x0Asecond"), std::string::npos) << Errors()[0];
    EXPECT_FALSE(FileExists(State().FLogDir + "temp.log"));
}

// ---------------------------------------------------------------- watermark

TEST(WatermarkStamp, FileForOpacity30AndSize48) {
    const std::string stamp = TPdfWatermark::StampText("- STRICTLY CONFIDENTIAL -", 48, 30);
    const std::vector<std::string> lines = SplitLines(stamp, "\n");
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_NE(stamp.back(), '\n');
    EXPECT_EQ(lines[0], "userdict /BeginPageDict 10 dict put            ");
    EXPECT_EQ(lines[2], "  /text (- STRICTLY CONFIDENTIAL -) def" + std::string(22, ' '));
    EXPECT_EQ(lines[5], "  /fontsize 48 def % Fonthoehe" + std::string(17, ' '));
    EXPECT_EQ(lines[6], "  /gray 0.7 def % Grauwert des Stempels" + std::string(8, ' '));
    EXPECT_EQ(lines[4], "  /fontname /Helvetica-Bold def" + std::string(16, ' '));
    EXPECT_EQ(lines[13],
              "  % Gesamtgr\xF6\xDF"
              "e der Seite ermitteln            ");
    EXPECT_EQ(lines[11], "  null begin dup 0 eq {" + std::string(24, ' '));
    EXPECT_EQ(lines[36], std::string(16, ' ') + std::string(8, '\t'));
    EXPECT_EQ(lines[37], "% Aktivierung" + std::string(9, '\t'));
    EXPECT_EQ(lines[38], "<< /EndPage" + std::string(9, '\t'));
    EXPECT_EQ(lines[39], "userdict /BeginPageDict get /PaintProc get\t\t");
    EXPECT_EQ(lines[40], ">> setpagedevice" + std::string(8, '\t'));
    for (int i : {1, 2, 4, 5, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 35, 36})
        EXPECT_EQ(lines[size_t(i - 1)].size(), 47u) << "line " << i;
    for (int i = 24; i <= 34; ++i) {
        EXPECT_EQ(lines[size_t(i - 1)].size(), 45u) << "line " << i;
        EXPECT_EQ(lines[size_t(i - 1)][0], '\t') << "line " << i;
    }
}

TEST(WatermarkStamp, GrayFormatting) {
    EXPECT_EQ(TPdfWatermark::Gray(30), "0.7");
    EXPECT_EQ(TPdfWatermark::Gray(0), "1");
    EXPECT_EQ(TPdfWatermark::Gray(100), "0");
    EXPECT_EQ(TPdfWatermark::Gray(45), "0.55");
}

TEST(WatermarkStamp, TextIsEscapedOnlyWhereItMustBe) {
    EXPECT_EQ(TPdfWatermark::PsStringBody("机密 Draft #1"), "机密 Draft #1");
    EXPECT_EQ(TPdfWatermark::PsStringBody("a(b"), "a\\(b");
    EXPECT_EQ(TPdfWatermark::PsStringBody(") show quit ("), "\\) show quit \\(");
    EXPECT_EQ(TPdfWatermark::PsStringBody("c:\\x"), "c:\\\\x");
    EXPECT_EQ(TPdfWatermark::PsStringBody("a\nb\r"), "a\\012b\\015");
    // Text beyond ASCII is shown from the Chinese font, read as UTF-8; ASCII keeps Helvetica.
    EXPECT_NE(TPdfWatermark::StampText("机密 (draft)", 10, 10)
                  .find("  /fontname /STSong-Light--UniGB-UTF8-H def"),
              std::string::npos);
    EXPECT_NE(TPdfWatermark::StampText("DRAFT", 10, 10).find("/Helvetica-Bold def"),
              std::string::npos);
    // Still 41 lines with a line break in the text.
    EXPECT_EQ(SplitLines(TPdfWatermark::StampText("x\ny", 10, 10), "\n").size(), 41u);
}

TEST_F(PdfToolsParams, WriteStampReadsTheWatermarkOptions) {
    Tools().EditOf("Edit_watermark_text")->SetText("TOP (SECRET)");
    Tools().Counter("XcUpDown_watermark_fontsize")->Position = 60;
    Tools().Counter("XcUpDown_watermark_opacity")->Position = 25;
    const std::string file = AppPath() + "watermark.ps";
    WriteFile(file, std::string(5000, 'x'));  // an older, longer file is replaced
    ASSERT_TRUE(TPdfWatermark().WriteStamp(file));
    EXPECT_EQ(ReadFile(file), TPdfWatermark::StampText("TOP (SECRET)", 60, 25));
    EXPECT_NE(ReadFile(file).find("  /text (TOP \\(SECRET\\)) def"), std::string::npos);
    EXPECT_FALSE(TPdfWatermark().WriteStamp(AppPath() + "no such folder/watermark.ps"));
    EXPECT_EQ(Errors().size(), 1u);
}

TEST(WatermarkStamp, ApplyParameters) {
    EXPECT_EQ(
        TPdfWatermark().ApplyParameters("/s s.pdf", "/d.pdf", "/t/watermark.ps"),
        "-dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -dCompressPages=false -sOutputFile=\"/d.pdf\" "
        "\"/t/watermark.ps\" \"/s s.pdf\" ");
}

// ---------------------------------------------------------------- preview page

TEST(PreviewPage, SevenPagesInThreeColumns) {
    const std::string html = TPdf2htmlPreview::HtmlText("doc", 7, 3, "T", "页 #", true);
    const std::vector<std::string> lines = SplitLines(html, "\r\n");
    EXPECT_EQ(Occurrences(html, "\t\t\t\t<tr>\r\n"), 6u);  // three rows of thumbnails and captions
    EXPECT_EQ(Occurrences(html, "<a href=\"pdf/doc_p"), 7u);
    EXPECT_EQ(Occurrences(html, "height=\"20\">页 # "), 7u);
    // Last row: page 7, then two empty cells, spacers between the cells only.
    const std::string lastRow =
        "\t\t\t\t<tr>\r\n"
        "\t\t\t\t\t<td valign=\"top\"><a href=\"pdf/doc_p0007.pdf\" target=\"_blank\"><img "
        "hspace=\"0\" "
        "src=\"images/doc_p0007.jpg\" border=\"1\" fixproportion=\"true\"></a></td>\r\n"
        "\t\t\t\t\t<td valign=\"top\" width=\"10\">&nbsp;</td>\r\n"
        "\t\t\t\t\t<td valign=\"top\">&nbsp;</td>\r\n"
        "\t\t\t\t\t<td valign=\"top\" width=\"10\">&nbsp;</td>\r\n"
        "\t\t\t\t\t<td valign=\"top\">&nbsp;</td>\r\n"
        "\t\t\t\t</tr>\r\n";
    EXPECT_NE(html.find(lastRow), std::string::npos);
    EXPECT_NE(html.find("\t\t\t\t</tr>\r\n\r\n\t\t\t\t<tr>"),
              std::string::npos);  // empty line between rows
    EXPECT_TRUE(EndsStr("\t\t\t</tbody>\r\n\t\t</table>\r\n\t</body>\r\n</html>\r\n", html));
    EXPECT_EQ(lines[0], "<html>");
    EXPECT_EQ(lines[3], "\t\t<title>T</title>");
}

TEST(PreviewPage, CaptionNumberIsNotPadded) {
    const std::string html = TPdf2htmlPreview::HtmlText("b", 12, 4, "", "Page", false);
    EXPECT_NE(html.find("<td valign=\"top\" align=\"center\" height=\"20\">Page 12</td>"),
              std::string::npos);
    EXPECT_NE(html.find("src=\"images/b_p0012.jpg\" border=\"0\" fixproportion=\"true\">"),
              std::string::npos);
}

TEST(PreviewPage, NoPagesGivesAnEmptyTable) {
    const std::string html = TPdf2htmlPreview::HtmlText("b", 0, 4, "", "p", false);
    EXPECT_NE(html.find("\t\t\t<tbody>\r\n\t\t\t</tbody>\r\n"), std::string::npos);
}

TEST(PreviewPage, TextsAreEscapedAndNamesAreLinks) {
    const std::string html =
        TPdf2htmlPreview::HtmlText("a b&\"c%#", 1, 1, "</title><script>", "x<y & \"z\"", true);
    EXPECT_NE(html.find("<title>&lt;/title&gt;&lt;script&gt;</title>"), std::string::npos);
    EXPECT_NE(html.find(">x&lt;y &amp; &quot;z&quot; 1</td>"), std::string::npos);
    EXPECT_NE(html.find("href=\"pdf/a%20b%26%22c%25%23_p0001.pdf\""), std::string::npos) << html;
    EXPECT_EQ(html.find("<script>"), std::string::npos);
    EXPECT_EQ(TPdf2htmlPreview::UrlEscape("页"), "%E9%A1%B5");
}

// ---------------------------------------------------------------- thumbnails

TEST(Thumbnails, Sizes) {
    int w = 0, h = 0;
    TPdf2htmlPreview::ThumbnailSize(612, 792, w, h);
    EXPECT_EQ(w, 112);
    EXPECT_EQ(h, 145);
    TPdf2htmlPreview::ThumbnailSize(792, 612, w, h);
    EXPECT_EQ(w, 152);
    EXPECT_EQ(h, 117);
    TPdf2htmlPreview::ThumbnailSize(300, 300, w, h);
    EXPECT_EQ(w, 152);
    EXPECT_EQ(h, 152);
    TPdf2htmlPreview::ThumbnailSize(5000, 10, w, h);  // never zero rows
    EXPECT_EQ(h, 1);
}

TEST(Thumbnails, BoxAverageOverSpans) {
    // 4 x 2 source into 2 x 1: each target pixel averages a 2 x 2 block.
    TRgbImage s(4, 2), t(2, 1);
    const uint8_t v[2][4] = {{10, 20, 200, 100}, {30, 40, 0, 60}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c) s.Row(y)[3 * x + c] = uint8_t(v[y][x] + c);
    TPdf2htmlPreview::Resample(s, t);
    // (sum * (65535 div 4)) >> 16: 100 -> 99, 360 -> 89 (truncation of the fixed point).
    EXPECT_EQ(t.Row(0)[0], uint8_t((100u * (65535u / 4)) >> 16));
    EXPECT_EQ(t.Row(0)[3], uint8_t((360u * (65535u / 4)) >> 16));
    EXPECT_EQ(t.Row(0)[4], uint8_t((364u * (65535u / 4)) >> 16));
    EXPECT_EQ(s.stride, 12u);
    EXPECT_EQ(t.stride, 8u);
}

TEST(Thumbnails, SpansTileTheSourceWithUnevenRatios) {
    // 7 columns into 3: spans round(2.33)=2, round(4.67)-2=3, 7-5=2.
    TRgbImage s(7, 1), t(3, 1);
    for (int x = 0; x < 7; ++x) s.Row(0)[3 * x] = uint8_t(x * 30);
    TPdf2htmlPreview::Resample(s, t);
    EXPECT_EQ(t.Row(0)[0], uint8_t((30u * (65535u / 2)) >> 16));
    EXPECT_EQ(t.Row(0)[3], uint8_t(((60u + 90 + 120) * (65535u / 3)) >> 16));
    EXPECT_EQ(t.Row(0)[6], uint8_t(((150u + 180) * (65535u / 2)) >> 16));
}

TEST(Thumbnails, SharpeningUsesTheSharpenedRowAbove) {
    // Identity spans (same size) isolate the sharpening pass.
    TRgbImage s(3, 4), t(3, 4);
    const int g[4][3] = {{0, 0, 0}, {0, 100, 0}, {0, 100, 0}, {40, 0, 40}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 3; ++x) s.Row(y)[3 * x] = uint8_t(g[y][x]);
    TPdf2htmlPreview::Resample(s, t);
    const auto box = [](int v) { return int((uint32_t(v) * 65535u) >> 16); };  // n = 1
    // Row 1: (12*box(100) - 0) / 8, clamped to 255.
    const int row1 = std::min(255, 12 * box(100) / 8);
    EXPECT_EQ(t.Row(1)[3], row1);
    // Row 2 sees the sharpened row 1 only at its diagonals (columns 0 and 2, unchanged 0)
    // and the row below: (12*99 - 0 - 0 - 39 - 39) / 8.
    EXPECT_EQ(t.Row(2)[3], std::min(255, std::max(0, (12 * box(100) - 2 * box(40)) / 8)));
    // The border keeps its box value.
    EXPECT_EQ(t.Row(3)[0], box(40));
    EXPECT_EQ(t.Row(0)[3], 0);
}

TEST(Thumbnails, NegativeSharpeningClampsToZero) {
    TRgbImage s(3, 3), t(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) s.Row(y)[3 * x + 1] = 255;
    s.Row(1)[3 + 1] = 0;
    TPdf2htmlPreview::Resample(s, t);
    EXPECT_EQ(t.Row(1)[4], 0);
    EXPECT_EQ(t.Row(0)[4], 254);  // the border keeps its box value
}

// ---------------------------------------------------------------- cropping

TEST(CropBoxes, ExampleBoxWithMargin) {
    TCropManager m("/dev/null");
    m.text = "1 0 obj << /Type /Page /MediaBox [0 0 612 792] >> endobj";
    m.ParseBoxes();
    ASSERT_EQ(m.boxes.size(), 1u);
    TCropFractions f{0.1, 0.1, 0.9, 0.9};
    EXPECT_EQ(m.CroppedText(f, 5), "1 0 obj << /Type /Page /MediaBox [56 74 556 718] >> endobj");
}

TEST(CropBoxes, OnlyCropBoxesWhenThereAreAny) {
    TCropManager m("/dev/null");
    m.text =
        "<< /MediaBox [0 0 612 792] /CropBox [ 10 20 610 790 ] >> << /MediaBox [0 0 100 100] >>";
    m.ParseBoxes();
    ASSERT_EQ(m.boxes.size(), 1u);
    EXPECT_EQ(m.boxes[0].x1, 10);
    EXPECT_EQ(m.boxes[0].y2, 790);
    const std::string out = m.CroppedText({0.0, 0.0, 1.0, 1.0}, 0);
    EXPECT_EQ(
        out,
        "<< /MediaBox [0 0 612 792] /CropBox [10 20 610 790] >> << /MediaBox [0 0 100 100] >>");
}

TEST(CropBoxes, FractionsScaleToEveryBoxAndDecimalsAreRead) {
    TCropManager m("/dev/null");
    m.text = "/MediaBox [0 0 612 792] x /MediaBox [100.5 0 300.5 100]";
    m.ParseBoxes();
    ASSERT_EQ(m.boxes.size(), 2u);
    EXPECT_EQ(m.CroppedText({0.25, 0.5, 0.75, 0.75}, 0),
              "/MediaBox [153 198 459 396] x /MediaBox [150 25 250 50]");
}

TEST(CropBoxes, HalvesRoundToEven) {
    TCropManager m("/dev/null");
    m.text = "/MediaBox [0 0 5 3]";
    m.ParseBoxes();
    // 5 * 0.5 = 2.5 -> 2; (1 - 0.5) * 3 = 1.5 -> 2; 5 * 0.7 = 3.5 -> 4; (1 - 0.5) * 3 = 1.5 -> 2
    EXPECT_EQ(m.CroppedText({0.5, 0.5, 0.7, 0.5}, 0), "/MediaBox [2 2 4 2]");
}

TEST(CropBoxes, SideWithoutContentStaysAsItWas) {
    TCropManager m("/dev/null");
    m.text = "/MediaBox [0 0 612.5 792]";
    m.ParseBoxes();
    TCropFractions f;
    f.left = 0.1;
    EXPECT_EQ(m.CroppedText(f, 5), "/MediaBox [56 0 612.5 792]");
    EXPECT_EQ(m.CroppedText(TCropFractions{}, 5), "/MediaBox [0 0 612.5 792]");
}

TEST(CropBoxes, NumbersNotSeparatedBySingleBlanksRaise) {
    TCropManager m("/dev/null");
    m.text = "/MediaBox [0  0 612 792]";
    EXPECT_THROW(m.ParseBoxes(), EConvertError);
    m.text = "/MediaBox [0 0 612 792";
    EXPECT_THROW(m.ParseBoxes(), EConvertError);
    m.text = "/MediaBox [0 0 a 792]";
    EXPECT_THROW(m.ParseBoxes(), EConvertError);
}

TEST(CropBoxes, CrossReferenceTableMovesWithTheText) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (int i = 1; i <= 3; ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i) + " 0 obj\n<< /Type /Page /MediaBox [0 0 612 792] >>\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (size_t o : offsets) pdf += Format("%.10d", (long long)o) + " 00000 n \n";
    pdf += "trailer\n<< /Size 4 >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    TCropManager m("/dev/null");
    m.text = pdf;
    m.ParseBoxes();
    const std::string out = m.CroppedText({0.1, 0.1, 0.9, 0.9}, 5);
    // Every listed offset points at its object, and startxref at the table.
    for (int i = 1; i <= 3; ++i) {
        const size_t at = out.find(std::to_string(i) + " 0 obj");
        EXPECT_NE(out.find(Format("%.10d", (long long)at) + " 00000 n "), std::string::npos) << i;
    }
    const size_t table = out.find("xref\n0 4");
    EXPECT_NE(out.find("startxref\n" + std::to_string(table) + "\n%%EOF"), std::string::npos)
        << out;
}

TBlackCounts Counts(const std::vector<std::string>& rows) {
    TBlackCounts c;
    c.height = int(rows.size());
    c.width = int(rows[0].size());
    c.rows.assign(rows.size(), 0);
    c.columns.assign(rows[0].size(), 0);
    for (size_t y = 0; y < rows.size(); ++y)
        for (size_t x = 0; x < rows[y].size(); ++x)
            if (rows[y][x] == '#') ++c.rows[y], ++c.columns[x];
    return c;
}

TEST(CropScan, NoiseThreshold) {
    // Column 2 holds 4 black pixels, column 5 holds 5.
    std::vector<std::string> rows(10, std::string(10, '.'));
    for (int y = 0; y < 4; ++y) rows[size_t(y)][2] = '#';
    for (int y = 0; y < 5; ++y) rows[size_t(y)][5] = '#';
    const TCropFractions f = FindContent(Counts(rows), 4, 0);
    ASSERT_TRUE(f.left && f.right);
    EXPECT_DOUBLE_EQ(*f.left, 0.5);
    EXPECT_DOUBLE_EQ(*f.right, 0.5);
    EXPECT_FALSE(f.top.has_value());  // no row holds more than 4
    EXPECT_FALSE(f.bottom.has_value());
    const TCropFractions g = FindContent(Counts(rows), 3, 0);
    EXPECT_DOUBLE_EQ(*g.left, 0.2);
}

TEST(CropScan, SkipAppliesToTheStartOfLeftAndTopOnly) {
    std::vector<std::string> rows(40, std::string(40, '.'));
    rows[5] = std::string(40, '#');  // a line at the top edge, skipped
    rows[30] = std::string(40, '#');
    for (auto& r : rows) r[39] = '#';  // the last column is reached by the right scan
    for (auto& r : rows) r[3] = '#';   // skipped by the left scan
    const TCropFractions f = FindContent(Counts(rows), 2, 20);
    EXPECT_DOUBLE_EQ(*f.left, 39 / 40.0);
    EXPECT_DOUBLE_EQ(*f.top, 30 / 40.0);
    EXPECT_DOUBLE_EQ(*f.right, 39 / 40.0);
    EXPECT_DOUBLE_EQ(*f.bottom, 30 / 40.0);
    // Skip beyond the bitmap: no content on any side.
    const TCropFractions none = FindContent(Counts(rows), 2, 500);
    EXPECT_FALSE(none.left || none.top || none.right || none.bottom);
}

std::string Bmp(int w, int h, int bits, const std::vector<uint32_t>& palette,
                const std::function<uint32_t(int, int)>& pixel) {
    const size_t stride = ((size_t(w) * bits + 31) / 32) * 4;
    const size_t offset = 54 + palette.size() * 4;
    std::string d(offset + stride * size_t(h), '\0');
    auto put32 = [&](size_t i, uint32_t v) {
        for (int k = 0; k < 4; ++k) d[i + size_t(k)] = char((v >> (8 * k)) & 0xFF);
    };
    d[0] = 'B';
    d[1] = 'M';
    put32(2, uint32_t(d.size()));
    put32(10, uint32_t(offset));
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    d[26] = 1;
    d[28] = char(bits);
    put32(46, uint32_t(palette.size()));
    for (size_t i = 0; i < palette.size(); ++i) put32(54 + 4 * i, palette[i]);
    for (int y = 0; y < h; ++y) {
        const size_t row = offset + size_t(h - 1 - y) * stride;  // bottom-up
        for (int x = 0; x < w; ++x) {
            const uint32_t v = pixel(x, y);
            if (bits == 1) {
                if (v) d[row + size_t(x / 8)] = char(d[row + size_t(x / 8)] | (0x80 >> (x % 8)));
            } else {
                for (int k = 0; k < 3; ++k)
                    d[row + size_t(3 * x + k)] = char((v >> (8 * k)) & 0xFF);
            }
        }
    }
    return d;
}

TEST_F(PdfToolsParams, BlackPixelsOfOneBitAndColourBitmaps) {
    // 1 bit with palette 0 = black: a block at columns 10..19, rows 5..7 (rows from the top).
    const std::string mono = AppPath() + "mono.bmp";
    WriteFile(mono, Bmp(50, 20, 1, {0x000000, 0xFFFFFF}, [](int x, int y) {
                  return uint32_t(!(x >= 10 && x < 20 && y >= 5 && y < 8));
              }));
    const TBlackCounts c = CountBlackPixels(mono);
    EXPECT_EQ(c.width, 50);
    EXPECT_EQ(c.rows[5], 10);
    EXPECT_EQ(c.rows[4], 0);
    EXPECT_EQ(c.columns[10], 3);
    EXPECT_EQ(c.columns[20], 0);
    // 24 bit: grey and coloured pixels are not black, only colour value 0 is.
    const std::string colour = AppPath() + "colour.bmp";
    WriteFile(colour, Bmp(8, 4, 24, {}, [](int x, int y) {
                  if (y == 1) return uint32_t(0);
                  return x == 2 ? 0x010101u : 0xFFFFFFu;
              }));
    const TBlackCounts d = CountBlackPixels(colour);
    EXPECT_EQ(d.rows[1], 8);
    EXPECT_EQ(d.rows[0], 0);
    EXPECT_EQ(d.columns[2], 1);
    WriteFile(AppPath() + "bad.bmp", "BM not really");
    EXPECT_THROW(CountBlackPixels(AppPath() + "bad.bmp"), EReadError);
}

TEST_F(PdfToolsParams, AutoCropWritesTheCroppedCopy) {
    Tools().Counter("XcUpDown_ignore_noise")->Position = 0;
    Tools().Counter("XcUpDown_skip_border")->Position = 0;
    Tools().Counter("XcUpDown_add_border")->Position = 5;
    const std::string bmp = AppPath() + "page.bmp";
    // 100 x 100 with content from column 10 to 89 and row 10 to 89.
    WriteFile(bmp, Bmp(100, 100, 1, {0x000000, 0xFFFFFF}, [](int x, int y) {
                  return uint32_t(!(x >= 10 && x <= 89 && y >= 10 && y <= 89));
              }));
    const std::string src = AppPath() + "TEMP-x.pdf";
    WriteFile(src, "/MediaBox [0 0 612 792]");
    const std::string dst = AppPath() + "x_CROPPED.pdf";
    WriteFile(dst, "older");
    ASSERT_TRUE(TPdfAutoCrop().AutoCrop(bmp, src, dst));
    EXPECT_EQ(ReadFile(dst), "/MediaBox [56 82 550 718]");
    EXPECT_FALSE(Exists(AppPath() + "TEMP-x_CROPPED.pdf.part"));
    EXPECT_FALSE(Exists(AppPath() + ".vexomat-cropping.part"));
    // A missing bitmap fails and keeps the older result.
    WriteFile(dst, "older");
    EXPECT_FALSE(TPdfAutoCrop().AutoCrop(AppPath() + "none.bmp", src, dst));
    EXPECT_EQ(ReadFile(dst), "older");
    EXPECT_EQ(Errors().size(), 1u);
}

}  // namespace
}  // namespace vxtest
