// The page count of a PDF is that of its latest revision, as qpdf --show-npages gives it:
// incremental saves that add or delete a page, attachments and page text that show PDF
// syntax, indirect and signed counts, and files rewritten by qpdf, mutool and Ghostscript.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/pdfHelper.h"
#include "fixture.h"
#include "platform/rtl/sysutils.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/pdf_revisions.h"

namespace {

// In an engine of its own, so what the count writes into the day log has a place.
class PdfRevisionCount : public vxtest::EngineFolderTest {
protected:
    PdfRevisionCount() : EngineFolderTest("vx pages 页 ") {}
    // What qpdf --show-npages says; -1 when it cannot tell.
    int QpdfPages(const std::string& pdf) {
        const e2e::RunResult r = e2e::Exec({"qpdf", "--show-npages", pdf}, dir + "qpdf.txt");
        return r.exitCode == 0 || r.exitCode == 3 ? std::atoi(r.output.c_str()) : -1;
    }
    int Count(const std::string& pdf) { return TPdfChopToSingles().CountPdfPages(pdf); }
};

struct Row {
    const char* name;
    std::string text;
    int pages;
};

std::vector<Row> Revisions() {
    return {
        {"a 3-page export", pdfrev::Export(), 3},
        {"a page added by an incremental save", pdfrev::PageAdded(), 4},
        {"a page deleted by an incremental save", pdfrev::PageDeleted(), 2},
        {"an attached 1-page PDF, uncompressed", pdfrev::WithAttachment(), 3},
        {"page text that shows PDF syntax", pdfrev::PdfSyntaxAsText(), 3},
        {"an indirect count", pdfrev::CountWrittenAs("20 0 R", "3"), 3},
        {"a signed count", pdfrev::CountWrittenAs("+3"), 3},
        {"a QDF-style file with a page added", pdfrev::PageAdded(true), 4},
    };
}

TEST_F(PdfRevisionCount, TheLatestRevisionCountsAsQpdfCountsIt) {
    for (const Row& r : Revisions()) {
        const std::string pdf = Write("doc.pdf", r.text);
        EXPECT_EQ(QpdfPages(pdf), r.pages) << r.name;
        EXPECT_EQ(Count(pdf), r.pages) << r.name;
        // The text alone tells the same, for files the parser cannot open.
        EXPECT_EQ(TPdfChopToSingles::CountPagesInText(r.text), r.pages) << r.name;
        const std::string broken = Write("broken.pdf", pdfrev::BrokenXref(r.text));
        EXPECT_EQ(Count(broken), r.pages) << r.name << ", its cross-reference table broken";
    }
}

TEST_F(PdfRevisionCount, RewrittenFilesCountAsQpdfCountsThem) {
    struct Source {
        std::string text;
        int pages;
    } sources[] = {{pdfrev::PageAdded(), 4}, {pdfrev::PageDeleted(), 2}};
    for (const Source& s : sources) {
        const std::string in = Write("saved.pdf", s.text), out = dir + "rewritten.pdf";
        const std::vector<std::pair<const char*, std::vector<std::string>>> tools{
            {"linearized", {"qpdf", "--linearize", in, out}},
            {"object streams", {"qpdf", "--object-streams=generate", in, out}},
            {"QDF", {"qpdf", "--qdf", in, out}},
            {"encrypted, empty user password",
             {"qpdf", "--encrypt", "", "owner", "256", "--", in, out}},
            {"mutool", {"mutool", "clean", in, out}},
            {"Ghostscript",
             {"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pdfwrite",
              "-sOutputFile=" + out, in}},
        };
        for (const auto& [name, command] : tools) {
            std::filesystem::remove(out);
            const e2e::RunResult r = e2e::Exec(command, dir + "tool.txt");
            ASSERT_EQ(r.exitCode, 0) << name << "\n" << r.output;
            EXPECT_EQ(QpdfPages(out), s.pages) << name;
            EXPECT_EQ(Count(out), s.pages) << name;
        }
    }
}

// Ghostscript draws the pages a tree holds whatever its root says: those are the count,
// with a clean cross-reference and with one whose offsets are all a few bytes off.
TEST_F(PdfRevisionCount, ARootCountTheTreeContradictsCountsTheTreesPages) {
    for (const char* count : {"5", "2", "1000000"}) {
        const std::string text = pdfrev::CountWrittenAs(count);
        std::string shifted = text;
        for (int object = 1; object <= 8; ++object)
            shifted = pdfrev::XrefEntryOff(shifted, object, 3);
        EXPECT_EQ(Count(Write("liar 文件.pdf", text)), 3) << count;
        EXPECT_EQ(Count(Write("liar shifted.pdf", shifted)), 3) << count;
        EXPECT_EQ(Count(Write("liar broken.pdf", pdfrev::BrokenXref(text))), 3) << count;
    }
}

// Page trees every reader counts alike: an empty node, a page listed twice, and an
// object a few bytes from where its entry says (read with warnings: the repair counts).
TEST_F(PdfRevisionCount, PageTreesCountAsEveryReaderCountsThem) {
    const std::vector<int> seven{3, 4, 5, 6, 7, 8, 9}, five{3, 4, 5, 6, 7};
    std::vector<int> kidless{17}, twice = seven;
    kidless.insert(kidless.end(), seven.begin(), seven.end());
    twice.push_back(5);
    const std::string fivePages = pdfrev::PageTree(5, five, 5);
    struct {
        const char* name;
        std::string text;
        int pages;
        bool repeated;
    } rows[] = {
        {"a node without kids",
         pdfrev::PageTree(7, kidless, 7, {{17, "<< /Type /Pages /Parent 2 0 R /Count 0 >>"}}), 7,
         false},
        {"a page listed twice", pdfrev::PageTree(7, twice, 8), 8, true},
        {"an entry 3 bytes before its object", pdfrev::XrefEntryOff(fivePages, 5, 3), 5, false},
        {"an entry 3 bytes after its object", pdfrev::XrefEntryOff(fivePages, 5, -3), 5, false},
    };
    for (const auto& r : rows) {
        const std::string pdf = Write("tree.pdf", r.text);
        EXPECT_EQ(QpdfPages(pdf), r.pages) << r.name;
        const TPdfPages got = TPdfChopToSingles().PdfPages(pdf);
        EXPECT_EQ(got.count, r.pages) << r.name;
        EXPECT_EQ(got.repeated, r.repeated) << r.name;
    }
}

// The walk reads kids from the file itself; what it is not sure of goes to the parser, so
// every way of writing a kid counts as qpdf counts it.
TEST_F(PdfRevisionCount, KidsWrittenInEveryWayCountAsTheParserReadsThem) {
    const std::string box = " /Parent 2 0 R /MediaBox [0 0 100 100] >>";
    const std::string rows[] = {
        "<< /Type /Pag#65" + box,                                        // a name with an escape
        "<< /Type /Page /T (a >> b \\) c) % not the end >>\n" + box,     // a string, a comment
        "<< /Type /Page /Type /Pages" + box,                             // a key given twice
        "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R null] /Count 1 >>",  // not all references
        "<< /Parent 2 0 R /Kids [5 0 R] /Count 1 >>",                    // a node without type
    };
    for (const std::string& kid : rows) {
        pdfrev::PdfFile pdf;
        pdf.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
        pdf.Object(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
        pdf.Object(3, "<< /Type /Page" + box);
        pdf.Object(4, kid);
        pdf.Object(5, "<< /Type /Page /Parent 4 0 R /MediaBox [0 0 100 100] >>");
        pdf.EndRevision();
        const std::string file = Write("kids.pdf", pdf.text);
        EXPECT_EQ(QpdfPages(file), 2) << kid;
        EXPECT_EQ(Count(file), 2) << kid;
    }
}

// Kids listed in any order of the file, and a table naming objects far beyond what the
// file holds (left to the parser), count alike.
TEST_F(PdfRevisionCount, KidsInAnyOrderOfTheFileCountAlike) {
    const std::vector<std::vector<int>> orders{{9, 8, 7, 6, 5, 4, 3}, {6, 3, 9, 4, 8, 5, 7}};
    for (const std::vector<int>& kids : orders)
        EXPECT_EQ(Count(Write("order.pdf", pdfrev::PageTree(7, kids, 7))), 7) << kids[0];
    std::string far = pdfrev::PageTree(7, orders[1], 7);
    const size_t at = far.rfind("\nxref\n0 1\n");
    far.replace(at, 11, "\nxref\n900000000 1\n0000000000 65535 f \n0 1\n");
    const size_t size = far.rfind("/Size ") + 6;
    far.replace(size, far.find(' ', size) - size, "900000001");
    EXPECT_EQ(Count(Write("far.pdf", far)), 7);
}

TEST_F(PdfRevisionCount, ARootCountThatIsNoNumberNamesTheFile) {
    const std::string pdf = Write("bad.pdf", pdfrev::BrokenXref(pdfrev::CountWrittenAs("/Foo")));
    try {
        Count(pdf);
        ADD_FAILURE() << "a count of /Foo was taken";
    } catch (const EConvertError& e) {
        EXPECT_NE(e.Message.find("PDF 页面树的页数 \"/Foo\" 不是有效的数字。"), std::string::npos)
            << e.Message;
        EXPECT_NE(e.Message.find(pdf), std::string::npos) << e.Message;
    }
}

TEST_F(PdfRevisionCount, DeepAndLoopingPageTreesAreNoDanger) {
    // 50000 nodes, each the only kid of the one above, then one page: no stack is deep
    // enough to walk that by recursion.
    pdfrev::PdfFile deep;
    deep.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    const int depth = 50000;
    for (int d = 0; d < depth; ++d)
        deep.Object(2 + d, "<< /Type /Pages /Kids [" + std::to_string(3 + d) + " 0 R] /Count 1" +
                               (d ? " /Parent " + std::to_string(1 + d) + " 0 R" : "") + " >>");
    deep.Object(2 + depth, "<< /Type /Page /Parent " + std::to_string(1 + depth) +
                               " 0 R /MediaBox [0 0 100 100] >>");
    deep.EndRevision();
    EXPECT_EQ(Count(Write("deep.pdf", deep.text)), 1);
    // A node that is its own kid: not counted by the parser, so the text counts it.
    pdfrev::PdfFile loop;
    loop.Object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    loop.Object(2, "<< /Type /Pages /Kids [3 0 R 2 0 R] /Count 2 >>");
    loop.Object(3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>");
    loop.EndRevision();
    EXPECT_EQ(Count(Write("loop.pdf", loop.text)), 2);
}

// The text scanner alone: what a file's text tells when no parser reads it.
TEST(PdfPageCountText, CommentsStreamsAndCounts) {
    struct TextRow {
        const char* why;
        std::string text;
        int pages;
    } rows[] = {
        {"a comment between objects is a blank, not a value that swallows the next number",
         "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
         "2 0 obj << /Type /Pages /Count 3 >> endobj\n%%EOF\n"
         "2 0 obj << /Type /Pages /Count 4 >> endobj\n"
         "7 0 obj << /Type /Pages /Count 9 >> endobj\n",
         4},
        {"a comment between \"n g\" and \"obj\"",
         "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
         "2 0 % the tree\nobj << /Type /Pages /Count 6 >> endobj\n"
         "7 0 obj << /Type /Pages /Count 9 >> endobj\n",
         6},
        {"stream data holding \"endstream\" is stepped over by its /Length",
         "1 0 obj << /Type /Pages /Count 2 >> endobj\n3 0 obj << /Length 42 >> stream\n"
         "endstream\n<< /Type /Pages /Count 99 >> %%\nendstream endobj\n",
         2},
        {"... and by an indirect /Length written after the stream",
         "1 0 obj << /Type /Pages /Count 2 >> endobj\n3 0 obj << /Length 4 0 R >> stream\r\n"
         "endstream\n<< /Type /Pages /Count 99 >> %%\nendstream endobj 4 0 obj 42 endobj\n",
         2},
        {"a /Length that does not end at \"endstream\" falls back to the first one",
         "1 0 obj << /Type /Pages /Count 2 >> endobj\n3 0 obj << /Length 5 >> stream\n"
         "abcdefgh\nendstream endobj\n",
         2},
        {"an indirect count", "2 0 obj << /Type /Pages /Count 5 0 R >> endobj 5 0 obj 7 endobj", 7},
        {"an indirect count the text does not hold is left to probing",
         "2 0 obj << /Type /Pages /Count 5 0 R >> endobj", -1},
        {"a signed count", "<< /Type /Pages /Count +3 >>", 3},
        {"the trailer's catalog, not the last one written",
         "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
         "2 0 obj << /Type /Pages /Count 3 >> endobj\n"
         "8 0 obj << /Type /Catalog /Pages 9 0 R >> endobj\n"
         "9 0 obj << /Type /Pages /Count 1 >> endobj\ntrailer << /Root 1 0 R >>\n",
         3},
        {"... also when that catalog lacks its /Type",
         "1 0 obj << /Pages 2 0 R >> endobj\n2 0 obj << /Type /Pages /Count 3 >> endobj\n"
         "8 0 obj << /Type /Catalog /Pages 9 0 R >> endobj\n"
         "9 0 obj << /Type /Pages /Count 1 >> endobj\ntrailer << /Root 1 0 R >>\n",
         3},
    };
    for (const TextRow& r : rows)
        EXPECT_EQ(TPdfChopToSingles::CountPagesInText(r.text), r.pages) << r.why;
    EXPECT_THROW(TPdfChopToSingles::CountPagesInText("<< /Type /Pages /Count -3 >>"),
                 EConvertError);
    EXPECT_THROW(TPdfChopToSingles::CountPagesInText("<< /Type /Pages /Count +-3 >>"),
                 EConvertError);
}

}  // namespace
