// A result's pages before it replaces anything: a result that does not tell them fails the
// run naming the page file it is, and only sources whose pages cannot be told leave a
// readable result unchecked, which the day log records.
#include "engine/resultPages.h"

#include "engine/util.h"
#include "fixture.h"
#include "tests/e2e/e2e_support.h"

namespace vxtest {
namespace {

std::string TwoPagePdf() {
    const std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] >>";
    return e2e::BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>",
                          "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>", page, page});
}

const std::string kStandInPage = "stand-in page, complete\n";

class ResultPages : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        folder = MakeTempFolder("vx-result-pages ");
    }
    void TearDown() override {
        RemoveTree(folder);
        EngineTest::TearDown();
    }
    std::string AllErrors() const {
        std::string all;
        for (const std::string& e : Errors()) all += e + "\n";
        return all;
    }
    std::string folder;
};

TEST_F(ResultPages, AResultTellsItsPagesOrIsUnreadable) {
    const std::string pdf = TwoPagePdf();
    const struct {
        const char* name;
        std::string content;
        int pages;
    } rows[] = {
        {"r.pdf", pdf, 2},
        {"cut.pdf", pdf.substr(0, 20), -1},
        {"text.pdf", kStandInPage, -1},
        {"empty.pdf", "", -1},
        {"pages.ps", "%!PS\n%%Page: 1 1\nshowpage\n%%Page: 2 2\nshowpage\n", 2},
        {"stated.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%Pages: 1\nshowpage\n", 1},
        {"silent.ps", "%!PS\nshowpage\n", -1},
        {"text.eps", kStandInPage, -1},
        {"text.tiff", kStandInPage, -1},
        {"page.jpg", kStandInPage, 1},  // one file a page
    };
    for (const auto& r : rows) {
        WriteFile(folder + r.name, r.content);
        const TMadePages made = ResultFilePages(folder + r.name);
        EXPECT_EQ(made.pages, r.pages) << r.name;
        // The single result's name in the run's folder is not the one it would have.
        EXPECT_EQ(made.unreadable, "") << r.name;
    }
}

TEST_F(ResultPages, OnePageFileThatCannotBeReadMakesTheWholeUnreadableAndIsNamed) {
    const std::string good = "%!PS\n%%Page: 1 1\nshowpage\n";
    WriteFile(folder + "doc_p0001.eps", good);
    WriteFile(folder + "doc_p0002.eps", kStandInPage);
    WriteFile(folder + "doc_p0003.eps", good);
    const TMadePages made = PagesInFiles(folder + "*.eps");
    EXPECT_EQ(made.pages, -1);
    EXPECT_EQ(made.unreadable, "doc_p0002.eps");
    WriteFile(folder + "doc_p0002.eps", good);
    EXPECT_EQ(PagesInFiles(folder + "*.eps").pages, 3);
    EXPECT_EQ(PagesInFiles(folder + "*.none").pages, 0);
}

TEST_F(ResultPages, AnUnreadableResultFailsAndOnlyAnUntoldSourceSkipsTheCount) {
    const std::string source = folder + "源 文件.pdf";
    const struct {
        int expected;
        TMadePages made;
        bool passes;
        std::string said;  // in the reason, or in the day log when the run passes
    } rows[] = {
        {3, 3, true, ""},
        {3, 2, false, "源文件有 3 页, 但结果有 2 页"},
        {3, 0, false, "源文件有 3 页, 结果有 0 页"},
        {3, TMadePages::Unreadable(""), false, "无法读取转换结果的页数"},
        {-1, TMadePages::Unreadable(""), false, "无法读取转换结果的页数"},
        {0, TMadePages::Unreadable(""), false, "无法读取转换结果的页数"},
        {3, TMadePages::Unreadable("doc_p0002.eps"), false,
         "无法读取转换结果 \"doc_p0002.eps\" 的页数"},
        {-1, 4, true, "源文件的页数无法确定, 结果的 4 页没有与之核对: " + source},
        {-1, 0, false, "Ghostscript 没有为这个文件生成任何结果"},
    };
    for (const auto& r : rows) {
        State().FErrors->Clear();
        const size_t logged = LogLines().size();
        EXPECT_EQ(PagesAsExpected(r.expected, r.made, {source}), r.passes)
            << r.expected << " " << r.made.pages;
        std::string log;
        const std::vector<std::string> lines = LogLines();
        for (size_t i = logged; i < lines.size(); ++i) log += lines[i] + "\n";
        if (r.passes) {
            EXPECT_TRUE(Errors().empty()) << AllErrors();
            EXPECT_NE(log.find(r.said), std::string::npos) << log;
        } else {
            ASSERT_EQ(Errors().size(), 1u) << AllErrors();
            EXPECT_NE(Errors()[0].find(r.said), std::string::npos) << Errors()[0];
            EXPECT_NE(Errors()[0].find("出错的文件: \"" + source + "\""), std::string::npos)
                << Errors()[0];
        }
    }
}

}  // namespace
}  // namespace vxtest
