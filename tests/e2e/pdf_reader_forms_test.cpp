// PDFs every reader opens whole but Ghostscript stumbles on (a hybrid cross-reference with a
// page added since, mail headers before the header, a kid naming a missing object, a page
// without its type), and page trees whose root count lies: every function converts each
// of them whole, the source stays as it was, and the day log says when a rewritten copy
// was read. A file only a password opens is refused with that one reason.
#include <map>
#include <memory>

#include "tests/e2e/e2e_support.h"
#include "tests/e2e/pdf_revisions.h"

using namespace e2e;

namespace {

// Eight pages whose root says count.
std::string RootSays(int count) { return pdfrev::PageTree(8, {3, 4, 5, 6, 7, 8, 9, 10}, count); }

// Every cross-reference entry of the (only) table off by `by` bytes.
std::string AllEntriesOff(std::string text, int objects, int by) {
    for (int k = 1; k <= objects; ++k) text = pdfrev::XrefEntryOff(text, k, by);
    return text;
}

struct Function {
    const char* name;
    std::vector<std::string> options;
};
const Function kFunctions[] = {
    {"pdf2jpg", {}},         {"pdf2pdf", {}},     {"pdfEncrypt", {"-oyp", "=pw", "-oyt", "t"}},
    {"pdf2htmlPreview", {}}, {"pdfMergeAll", {}},
};

// One run of a function on one source, in a program folder of its own so that the rows
// of a table run side by side.
struct Conversion {
    std::string function, source;
    int pages = 0;
    bool copied = false;  // the day log tells of a rewritten copy
    std::unique_ptr<ProgramFolder> prog = std::make_unique<ProgramFolder>();
    std::string dest;
    pid_t pid = -1;
};

class PdfReaderForms : public ::testing::Test {
protected:
    ~PdfReaderForms() override {
        std::error_code ec;
        std::filesystem::remove_all(work, ec);
    }

    void Start(const Function& f, const std::string& source, int pages, bool copied) {
        Conversion& c = runs.emplace_back();
        c.function = f.name;
        c.source = source;
        c.pages = pages;
        c.copied = copied;
        c.dest = work + "out " + std::to_string(runs.size()) + "/";
        std::filesystem::create_directories(c.dest);
        std::vector<std::string> argv{c.prog->dir + "vexomat", "-c", f.name, "-s",
                                      work + source,           "-d", c.dest};
        argv.insert(argv.end(), f.options.begin(), f.options.end());
        c.pid = e2e::Start(argv, c.prog->dir + "output.txt");
    }

    // The pages a conversion made: page files, an encrypted file opened with its password,
    // a preview's page files and thumbnails (both must be there).
    int Made(const Conversion& c) {
        const std::string base = c.source.substr(0, c.source.size() - 4);
        const std::string fn = c.function;
        if (fn == "pdf2jpg") return int(Listing(c.dest).size());
        if (fn == "pdf2pdf") return PdfPages(c.dest + base + "_REDUCED.pdf", work);
        if (fn == "pdfMergeAll") return PdfPages(c.dest + "MERGED-ALL.pdf", work);
        if (fn == "pdfEncrypt") {
            const RunResult r =
                Exec({"qpdf", "--password=pw", "--show-npages", c.dest + base + "_ENCRYPTED.pdf"},
                     work + "qpdf.txt");
            return r.exitCode == 0 ? std::atoi(r.output.c_str()) : -1;
        }
        const int pdfs = int(Listing(c.dest + "pdf").size());
        return pdfs == int(Listing(c.dest + "images").size()) ? pdfs : -1;
    }

    void ExpectConverted() {
        for (Conversion& c : runs) {
            const RunResult r = Finish(c.pid, c.prog->dir + "output.txt");
            const std::string log = c.prog->Log();
            const std::string row = c.function + " " + c.source;
            EXPECT_EQ(r.exitCode, 0) << row << "\n" << log;
            EXPECT_EQ(Made(c), c.pages) << row << "\n" << log;
            EXPECT_EQ(Slurp(work + c.source), originals[c.source]) << row;
            EXPECT_EQ(log.find("qpdf 重写的副本") != std::string::npos, c.copied) << row << "\n"
                                                                                  << log;
        }
        runs.clear();
    }

    void Write(const std::string& name, const std::string& text) {
        Spit(work + name, text);
        originals[name] = text;
    }

    std::string work = TempFolder("vx reader forms ");
    std::vector<Conversion> runs;
    std::map<std::string, std::string> originals;
};

}  // namespace

TEST_F(PdfReaderForms, FilesGhostscriptStumblesOnAreConvertedFromARewrittenCopy) {
    const struct {
        const char* name;
        std::string text;
        int pages;
    } rows[] = {
        {"hybrid.pdf", pdfrev::HybridWithAddedPage(7), 8},
        {"mail.pdf", pdfrev::MailHeaders() + pdfrev::Export(), 3},
        {"missing kid.pdf", pdfrev::PageTree(3, {3, 4, 40, 5}, 4), 3},
        {"untyped.pdf", pdfrev::UntypedFirstPage(), 3},
    };
    for (const auto& row : rows) {
        Write(row.name, row.text);
        // What every reader says of it.
        EXPECT_EQ(PdfPages(work + row.name, work),
                  row.name == std::string("missing kid.pdf") ? 4 : row.pages)
            << row.name;
        for (const Function& f : kFunctions) Start(f, row.name, row.pages, true);
    }
    ExpectConverted();
}

TEST_F(PdfReaderForms, ARootCountTheTreeContradictsIsNoPage) {
    for (int count : {1, 5, 11, 1000000}) {
        const std::string name = "says " + std::to_string(count) + ".pdf";
        Write(name, RootSays(count));
        for (const Function& f : kFunctions) Start(f, name, 8, false);
    }
    // Three pages, the root saying 5, the cross-reference 3 bytes off: repaired, still 3.
    Write("off.pdf", AllEntriesOff(pdfrev::CountPromisesMore(), 8, 3));
    for (const Function& f : kFunctions) Start(f, "off.pdf", 3, false);
    ExpectConverted();
}

TEST_F(PdfReaderForms, AFileOnlyAPasswordOpensIsRefusedWithThatOneReason) {
    Spit(work + "plain.pdf", pdfrev::Export());
    const RunResult made = Exec({"qpdf", "--encrypt", "user", "owner", "256", "--",
                                 work + "plain.pdf", work + "locked.pdf"},
                                work + "qpdf.txt");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    // Side by side: each refusal's message waits its seconds.
    std::vector<std::pair<std::unique_ptr<ProgramFolder>, pid_t>> started;
    for (const char* function : {"pdf2htmlPreview", "pdf2jpg"}) {
        auto prog = std::make_unique<ProgramFolder>();
        const std::string dest = work + function + "/";
        std::filesystem::create_directories(dest);
        const pid_t pid = e2e::Start(
            {prog->dir + "vexomat", "-c", function, "-s", work + "locked.pdf", "-d", dest},
            prog->dir + "output.txt");
        started.emplace_back(std::move(prog), pid);
    }
    for (auto& [prog, pid] : started) {
        const RunResult r = Finish(pid, prog->dir + "output.txt");
        const std::string log = prog->Log();
        // The message shown: every reason of the run, once.
        const std::string shown = log.substr(log.rfind("| Message"));
        EXPECT_EQ(r.exitCode, 1) << log;
        EXPECT_NE(shown.find("受密码保护"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("只有 0 页"), std::string::npos) << shown;
        EXPECT_EQ(shown.find("pageSizePicture"), std::string::npos) << shown;
    }
    EXPECT_TRUE(Listing(work + "pdf2jpg").empty());
    EXPECT_TRUE(Listing(work + "pdf2htmlPreview").empty());
}
