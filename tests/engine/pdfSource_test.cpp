// A PDF source read once: what its tree tells of the forms Ghostscript stumbles on, the
// copy rewritten as readers take the file (which Ghostscript draws whole), the cause a
// reason gives where no copy can be made, and the facts read again once the file changed.
#include <gtest/gtest.h>

#include <filesystem>

#include "engine/pdfHelper.h"
#include "engine/pdfPageTree.h"
#include "engine/pdfSource.h"
#include "engine/resultPages.h"
#include "fixture.h"
#include "platform/rtl/sysutils.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/pdf_revisions.h"

namespace {

class PdfSourceRead : public vxtest::EngineFolderTest {
protected:
    PdfSourceRead() : EngineFolderTest("vx source 源 ") {}
    // The pages Ghostscript draws of a file.
    int Drawn(const std::string& pdf) {
        const std::string out = dir + "drawn/";
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        e2e::Exec({"gs", "-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-sDEVICE=pngmono", "-r10",
                   "-sOutputFile=" + out + "p%d.png", pdf},
                  dir + "gs.txt");
        return int(e2e::Listing(out).size());
    }
};

struct Form {
    const char* name;
    std::string text;
    int pages;     // as every reader takes them
    bool missing;  // a kid names a missing object
    bool untyped;  // a page without its type
    bool hybrid;   // a table that also names a stream
};

std::vector<Form> Forms() {
    return {
        {"plain.pdf", pdfrev::Export(), 3, false, false, false},
        {"hybrid.pdf", pdfrev::HybridWithAddedPage(7), 8, false, false, true},
        {"missing kid.pdf", pdfrev::PageTree(3, {3, 4, 40, 5}, 4), 3, true, false, false},
        {"untyped.pdf", pdfrev::UntypedFirstPage(), 3, false, true, false},
    };
}

}  // namespace

TEST_F(PdfSourceRead, TheTreeTellsTheFormsGhostscriptStumblesOn) {
    for (const Form& f : Forms()) {
        const TPdfPageTree tree = ReadPdfPageTree(Write(f.name, f.text));
        ASSERT_TRUE(tree.opened) << f.name << ": " << tree.why;
        EXPECT_EQ(tree.pages, f.pages) << f.name;
        EXPECT_EQ(tree.missingKid, f.missing ? 40 : 0) << f.name;
        EXPECT_EQ(tree.untypedPage, f.untyped) << f.name;
        EXPECT_EQ(tree.hybrid, f.hybrid) << f.name;
        EXPECT_TRUE(tree.catalogRead) << f.name;
        EXPECT_FALSE(tree.portfolio) << f.name;
    }
}

TEST_F(PdfSourceRead, TheRewrittenCopyIsDrawnWholeAndTheSourceStaysAsItWas) {
    std::vector<Form> forms = Forms();
    forms.push_back({"mail.pdf", pdfrev::MailHeaders() + pdfrev::Export(), 3, false, false, false});
    for (const Form& f : forms) {
        const std::string src = Write(f.name, f.text);
        const std::string copy = dir + "copy " + f.name;
        std::string why;
        ASSERT_TRUE(WritePdfAsReadersTakeIt(src, copy, why)) << f.name << ": " << why;
        EXPECT_EQ(e2e::Slurp(src), f.text) << f.name;
        const TPdfPageTree tree = ReadPdfPageTree(copy);
        ASSERT_TRUE(tree.opened) << f.name << ": " << tree.why;
        EXPECT_EQ(tree.pages, f.pages) << f.name;
        EXPECT_EQ(tree.rootCount, f.pages) << f.name;
        EXPECT_EQ(tree.missingKid, 0) << f.name;
        EXPECT_FALSE(tree.untypedPage) << f.name;
        EXPECT_EQ(Drawn(copy), f.pages) << f.name;
    }
    // What Ghostscript makes of the originals: the reason for the copy.
    EXPECT_EQ(Drawn(dir + "untyped.pdf"), 0);
    EXPECT_LT(Drawn(dir + "missing kid.pdf"), 3);
    EXPECT_EQ(Drawn(dir + "hybrid.pdf"), 0);
    EXPECT_EQ(Drawn(dir + "mail.pdf"), 0);
}

TEST_F(PdfSourceRead, ASourceNeedingACopySaysWhyAndIsReadInTheRunFolder) {
    const std::string run = dir + "run/";
    MkDir(run);
    State().FRunTemp = run;
    std::vector<Form> forms = Forms();
    forms.push_back({"mail.pdf", pdfrev::MailHeaders() + pdfrev::Export(), 3, false, false, false});
    for (const Form& f : forms) {
        const std::string src = Write(f.name, f.text);
        State().FSourceFiles->Clear();
        State().FSourceFiles->Add(src);
        const TPdfSource& facts = PdfSource(src);
        EXPECT_EQ(facts.pages, f.pages) << f.name;
        EXPECT_EQ(ExpectedPdfPages(src), f.pages) << f.name;
        const bool copied = std::string(f.name) != "plain.pdf";
        EXPECT_EQ(!facts.copyWhy.empty(), copied) << f.name;
        EXPECT_EQ(PdfSourceProblem(src), "") << f.name;
        const std::string input = GhostscriptInput(src);
        if (!copied) {
            EXPECT_EQ(input, src);
            continue;
        }
        EXPECT_EQ(input.rfind(run, 0), 0u) << input;
        EXPECT_EQ(ExtractFileName(input), f.name);
        EXPECT_EQ(SourceOfCopy(input), src);
        EXPECT_EQ(Drawn(input), f.pages) << f.name;
    }
    // A file that is no source of the run is handed over as it is.
    const std::string other = Write("other.pdf", pdfrev::UntypedFirstPage());
    EXPECT_EQ(GhostscriptInput(other), other);
    State().FRunTemp.clear();
}

TEST_F(PdfSourceRead, WhereNoCopyCanBeMadeTheReasonSaysTheCause) {
    const std::string run = dir + "run/";
    MkDir(run);
    State().FRunTemp = run;
    // Headers before a document whose cross-reference no repair finds a catalog in.
    const std::string mail = Write("mail.pdf", pdfrev::MailHeaders() +
                                                   "%PDF-1.4\n1 0 obj\n<< /Type /Nothing >>\n"
                                                   "endobj\ntrailer\n<< /Root 7 0 R >>\n%%EOF\n");
    const std::string problem = PdfSourceProblem(mail);
    EXPECT_NE(problem.find("文件头 (%PDF) 之前有"), std::string::npos) << problem;
    EXPECT_NE(problem.find("mail.pdf"), std::string::npos) << problem;
    EXPECT_EQ(problem.find("X-Header"), std::string::npos) << problem;
    State().FRunTemp.clear();
}

TEST_F(PdfSourceRead, TheFactsAreReadAgainOnlyWhenTheFileChanged) {
    const std::string src = Write("doc.pdf", pdfrev::Export());
    const TPdfSource* first = &PdfSource(src);
    EXPECT_EQ(first->pages, 3);
    EXPECT_EQ(&PdfSource(src), first);
    EXPECT_EQ(PdfSource(src).pages, 3);
    Write("doc.pdf", pdfrev::PageAdded());
    EXPECT_EQ(PdfSource(src).pages, 4);
    EXPECT_EQ(ExpectedPdfPages(src, 2, 0), 3);
}

TEST_F(PdfSourceRead, ATreeOfDamagedKidsOnlyIsRefusedForTheDamage) {
    const struct {
        const char* name;
        std::string text;
        const char* cause;
    } rows[] = {
        {"missing.pdf", pdfrev::PageTree(3, {40, 41}, 2), "不存在的对象 40"},
        {"strange.pdf", pdfrev::PageTree(3, {20}, 1, {{20, "(not a page)"}}),
         "既不是页面也不是页面节点"},
    };
    for (const auto& row : rows) {
        const std::string src = Write(row.name, row.text);
        const TPdfPageTree tree = ReadPdfPageTree(src);
        EXPECT_EQ(tree.pages, 0) << row.name;
        const std::string problem = PdfSourceProblem(src);
        EXPECT_NE(problem.find("没有任何页面"), std::string::npos) << problem;
        EXPECT_NE(problem.find(row.cause), std::string::npos) << problem;
        EXPECT_NE(problem.find(row.name), std::string::npos) << problem;
    }
}
