// Every page or a true reason: results short of their sources' pages, portfolios, files
// without a page, a Ghostscript that makes nothing and PostScript that quits before its
// first page all fail naming the file, and every older result stays as it was.
#include <cctype>
#include <map>
#include <memory>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

const std::string kContent = Stream("0 0 1 rg 50 50 200 300 re f");

// `count` page objects of parent `parent`, each drawing the content of object 3.
std::vector<std::string> Pages(int count, int parent) {
    return std::vector<std::string>(size_t(count),
                                    "<< /Type /Page /Parent " + std::to_string(parent) +
                                        " 0 R /MediaBox [0 0 300 400] /Contents 3 0 R >>");
}

std::string Refs(int first, int count) {
    std::string refs;
    for (int i = 0; i < count; ++i) refs += std::to_string(first + i) + " 0 R ";
    return refs;
}

std::string PlainPdf(int count) {
    std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [" + Refs(4, count) + "] /Count " + std::to_string(count) + " >>",
        kContent};
    for (const std::string& p : Pages(count, 2)) objects.push_back(p);
    return BuildPdf(objects);
}

// Seven pages under a node without /Type: readers count them, Ghostscript sees none.
std::string UntypedNodesPdf() {
    std::vector<std::string> objects{"<< /Type /Catalog /Pages 2 0 R >>",
                                     "<< /Type /Pages /Kids [4 0 R] /Count 7 >>", kContent,
                                     "<< /Kids [" + Refs(5, 7) + "] /Count 7 /Parent 2 0 R >>"};
    for (const std::string& p : Pages(7, 4)) objects.push_back(p);
    return BuildPdf(objects);
}

// Three pages of its own and, as a portfolio's attachment, a document of seven.
std::string PortfolioPdf() {
    const std::string attached = PlainPdf(7);
    std::vector<std::string> objects{
        "<< /Type /Catalog /Pages 2 0 R /Collection << /Type /Collection /View /D >> /Names "
        "<< /EmbeddedFiles << /Names [(seven.pdf) 7 0 R] >> >> >>",
        "<< /Type /Pages /Kids [4 0 R 5 0 R 6 0 R] /Count 3 >>", kContent};
    for (const std::string& p : Pages(3, 2)) objects.push_back(p);
    objects.push_back("<< /Type /Filespec /F (seven.pdf) /UF (seven.pdf) /EF << /F 8 0 R >> >>");
    objects.push_back("<< /Type /EmbeddedFile /Length " + std::to_string(attached.size()) +
                      " >>\nstream\n" + attached + "\nendstream");
    return BuildPdf(objects);
}

std::string NoPagePdf() {
    return BuildPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [] /Count 0 >>"});
}

// Every function of PDFs: its switches after the source and destination, and the older
// result it would replace.
struct Function {
    const char* name;
    std::vector<std::string> options;
    std::string older;  // %s: the source's name without its extension
};
const Function kFunctions[] = {
    {"pdf2jpg", {}, "%s_p0001.jpg"},
    {"pdf2bmp", {}, "%s_p0001.bmp"},
    {"pdf2tiff", {}, "%s.tiff"},
    {"pdf2eps", {}, "%s_p0001.eps"},
    {"pdf2ps", {}, "%s.ps"},
    {"pdf2pdf", {}, "%s_REDUCED.pdf"},
    {"pdfMergeAll", {}, "MERGED-ALL.pdf"},
    {"pdfAutoCrop", {}, "%s_CROPPED.pdf"},
    {"pdfWatermark", {"-owt", "=STAMP", "-owf", "=40", "-owo", "=30"}, "%s_WATERMARKED.pdf"},
    {"pdfEncrypt", {"-oyp", "=pw", "-oyt", "t"}, "%s_ENCRYPTED.pdf"},
    {"pdf2htmlPreview", {}, "htmlPreview.html"},
    {"pdf2ppt", {}, "%s.ppt"},
};

std::string OlderName(const Function& f, const std::string& base) {
    std::string name = f.older;
    const size_t at = name.find("%s");
    return at == std::string::npos ? name : name.replace(at, 2, base);
}

std::map<std::string, std::string> Contents(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const std::string& name : Listing(dir)) files[name] = Slurp(dir + name);
    return files;
}

// A run of a function on one source into a destination that holds an older result,
// in a program folder of its own, so that the rows of a table run side by side.
struct Refusal {
    std::string function;
    std::vector<std::string> said;  // every text the reason holds
    std::unique_ptr<ProgramFolder> prog = std::make_unique<ProgramFolder>();
    std::string dest;
    std::map<std::string, std::string> before;
    pid_t pid = -1;
};

class PageResults : public ::testing::Test {
protected:
    ~PageResults() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }

    // Starts f on the sources (joined by "#"), expecting a failure whose reason holds
    // every text of `said`.
    void Start(const Function& f, const std::vector<std::string>& sources,
               std::vector<std::string> said) {
        Refusal& r = runs.emplace_back();
        r.function = f.name;
        r.said = std::move(said);
        const std::string& first = sources.back();
        r.dest = work + std::to_string(runs.size()) + "-" + f.name + "/";
        std::filesystem::create_directories(r.dest);
        Spit(r.dest + OlderName(f, first.substr(0, first.size() - 4)), "older result");
        r.before = Contents(r.dest);
        std::string joined;
        for (const std::string& s : sources) joined += (joined.empty() ? "" : "#") + work + s;
        std::vector<std::string> argv{
            r.prog->dir + "vexomat", "-c", f.name, "-s", joined, "-d", r.dest};
        argv.insert(argv.end(), f.options.begin(), f.options.end());
        r.pid = e2e::Start(argv, r.prog->dir + "output.txt");
    }

    // Waits for every run started: each failed, said why, and left its destination as it was.
    void ExpectRefused() {
        for (Refusal& r : runs) {
            const RunResult result = Finish(r.pid, r.prog->dir + "output.txt");
            const std::string log = r.prog->Log();
            EXPECT_EQ(result.exitCode, 1) << r.function << "\n" << log;
            EXPECT_EQ(Contents(r.dest), r.before) << r.function;
            for (const std::string& text : r.said)
                EXPECT_NE(log.find(text), std::string::npos) << r.function << ": " << text << "\n"
                                                             << log;
        }
        runs.clear();
    }

    std::string work = TempFolder("vx pages ");
    std::vector<Refusal> runs;
};

}  // namespace

TEST_F(PageResults, PagesGhostscriptCannotSeeFailEveryFunction) {
    Spit(work + "untyped.pdf", UntypedNodesPdf());
    Spit(work + "three.pdf", PlainPdf(3));
    for (const Function& f : kFunctions) {
        if (std::string(f.name) == "pdfMergeAll")
            Start(f, {"three.pdf", "untyped.pdf"}, {"源文件有 10 页", "untyped.pdf\" (7 页)"});
        else
            Start(f, {"untyped.pdf"}, {"7 页", "untyped.pdf"});
    }
    // One TIFF of all pages.
    Start({"pdf2tiff", {"-ol", "m"}, "%s.tiff"}, {"untyped.pdf"}, {"7 页", "untyped.pdf"});
    ExpectRefused();
}

// A portfolio is drawn as the files it embeds, a file without a page as a blank page.
TEST_F(PageResults, APortfolioAndAFileWithoutAPageAreRefusedByEveryFunction) {
    Spit(work + "folio.pdf", PortfolioPdf());
    Spit(work + "none.pdf", NoPagePdf());
    for (const auto& [file, reason] : {std::pair<std::string, std::string>{"folio.pdf", "PDF 包"},
                                       {"none.pdf", "PDF 文件中没有任何页面"}}) {
        for (const Function& f : kFunctions) Start(f, {file}, {reason, file});
        Start({"pdfMerge", {}, "MERGED-%s.pdf"}, {file}, {reason, file});
    }
    ExpectRefused();
}

TEST_F(PageResults, AGhostscriptThatMakesNothingIsNamed) {
    ScopedEnv gs("VEXOMAT_GS", VX_GS_STANDIN);
    ScopedEnv mode("VX_STANDIN_MODE", "nothing");
    Spit(work + "doc.pdf", PlainPdf(2));
    WritePostScript(work + "doc.ps", 2);
    Start({"ps2pdf", {}, "%s.pdf"}, {"doc.ps"},
          {"Ghostscript 没有为这个文件生成任何结果", "doc.ps"});
    for (const Function& f : {kFunctions[0], kFunctions[5], kFunctions[6], kFunctions[9]})
        Start(f, {"doc.pdf"}, {"Ghostscript 没有为这个文件生成任何结果", "doc.pdf"});
    ExpectRefused();
}

TEST_F(PageResults, PostScriptThatQuitsBeforeAPageKeepsTheOlderResult) {
    const std::string draw =
        "<< /PageSize [300 400] >> setpagedevice 0 0 1 setrgbcolor "
        "0 0 100 100 rectfill\n";
    const std::pair<const char*, std::string> rows[] = {
        {"top", "quit\nshowpage\n"},
        {"setup", draw + "quit\nshowpage\n"},
        {"procedure", "/finish { " + draw + " quit } bind def\nfinish\nshowpage\n"},
        {"stopped", "{ " + draw + " quit } stopped pop showpage\n"},
        {"systemdict", draw + "systemdict /quit get exec\nshowpage\n"},
        {"stop", draw + "stop\nshowpage\n"},
        {"noshowpage", draw},
        {"erasepage", draw + "erasepage\n"},
    };
    for (const auto& [name, body] : rows) {
        Spit(work + name + std::string(".ps"), "%!PS\n" + body);
        Start({"ps2pdf", {}, "%s.pdf"}, {name + std::string(".ps")},
              {"没有页面", name + std::string(".ps")});
    }
    ExpectRefused();
    // A page shown before quit is a page.
    Spit(work + "shown.ps", "%!PS\n" + draw + "showpage quit\n");
    const ProgramFolder prog;
    EXPECT_EQ(prog.Vexomat({"-c", "ps2pdf", "-s", work + "shown.ps", "-d", work}).exitCode, 0)
        << prog.Log();
    EXPECT_EQ(PdfPages(work + "shown.pdf", work), 1);
}

// Ghostscript's stand-in writes a line of text where the result goes: a result that does
// not tell its pages fails every function that reads it, whatever the source, and neither
// the older result nor anything of the run stays behind.
TEST_F(PageResults, AResultThatCannotBeReadNeverReplacesTheOlderOne) {
    Spit(work + "doc.pdf", PlainPdf(3));
    Spit(work + "two.pdf", PlainPdf(2));
    WritePostScript(work + "doc.ps", 2);
    const std::string unread = "无法读取转换结果的页数";
    const std::string tmp = work + "tmp/";
    std::filesystem::create_directories(tmp);
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    setenv("TMPDIR", tmp.c_str(), 1);
    {
        ScopedEnv gs("VEXOMAT_GS", VX_GS_STANDIN);
        ScopedEnv mode("VX_STANDIN_MODE", "ok");
        for (const Function& f : kFunctions) {
            const std::string name = f.name;
            if (name == "pdf2ps" || name == "pdf2pdf" || name == "pdfWatermark" ||
                name == "pdfEncrypt")
                Start(f, {"doc.pdf"}, {unread, "doc.pdf"});
            else if (name == "pdfMergeAll")
                Start(f, {"two.pdf", "doc.pdf"}, {unread, "two.pdf\" (2 页)", "doc.pdf\" (3 页)"});
            else if (name == "pdf2eps")  // one page file of three: named
                Start(f, {"doc.pdf"}, {"无法读取转换结果 \"doc_p0001.eps\" 的页数", "doc.pdf"});
        }
        Start({"pdf2tiff", {"-ol", "m"}, "%s.tiff"}, {"doc.pdf"}, {"无法读取转换结果", "doc.pdf"});
        Start({"ps2pdf", {}, "%s.pdf"}, {"doc.ps"}, {unread, "doc.ps"});
    }
    if (oldTmp)
        setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        unsetenv("TMPDIR");
    ExpectRefused();
    EXPECT_TRUE(Listing(tmp).empty()) << "left in the temporary folder: " << Listing(tmp)[0];
    for (const std::string& name : Listing(work))
        EXPECT_TRUE(name == "doc.pdf" || name == "two.pdf" || name == "doc.ps" || name == "tmp" ||
                    (std::isdigit(static_cast<unsigned char>(name[0])) && name.find('-') < 3))
            << "left in the source folder: " << name;
}
