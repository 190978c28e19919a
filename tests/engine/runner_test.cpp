// What every function's runner stands on: the name builders of a run's files, the run's
// derived names, the rule that a step listing an error failed, and a runner on every row
// of the function table.
#include "engine/runner.h"

#include <set>

#include "engine/definitions.h"
#include "engine/util.h"
#include "fixture.h"

namespace vxtest {
namespace {

TEST(RunNames, BuildersFollowTheExtensionOfTheNameOnly) {
    struct Row {
        std::string path, replaced, suffixed;
    } rows[] = {
        {"/d/report.pdf", "/d/report.ps", "/d/report_X.pdf"},
        {"/d/archive.tar.gz", "/d/archive.tar.ps", "/d/archive.tar_X.gz"},
        {"/d.old/noext", "/d.old/noext.ps", "/d.old/noext_X"},  // a dot in a folder is no extension
        {"/d/.hidden", "/d/.ps", "/d/_X.hidden"},
        {"/d/中文 名.PDF", "/d/中文 名.ps", "/d/中文 名_X.PDF"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ReplaceExt(r.path, ".ps"), r.replaced) << r.path;
        EXPECT_EQ(AddSuffix(r.path, "_X"), r.suffixed) << r.path;
    }
    EXPECT_EQ(JoinName("/a/b/c.pdf", "/t/"), "/t/c.pdf");
    EXPECT_EQ(DestName("/out/", "/a/b/c.d.pdf", ".pdf", "MERGED-", "_CROPPED"),
              "/out/MERGED-c.d_CROPPED.pdf");
}

class RunTest : public EngineTest {};

TEST_F(RunTest, NamesOfARunComeFromTheFirstSourceTheTemporaryAndTheDestinationFolder) {
    State().FSourceFiles->Add("/src/Brief 1.PDF");
    State().FSourceFiles->Add("/src/other.pdf");
    State().FDestDir = "/out/";
    TRun run(State(), "/src/12345678/");
    EXPECT_EQ(run.Source(), "/src/Brief 1.PDF");
    EXPECT_EQ(run.InTemp(".ps"), "/src/12345678/document.ps");
    EXPECT_EQ(run.Moved(".pdf"), "/out/Brief 1.pdf");
    EXPECT_EQ(run.MovedWithSuffix("_ENCRYPTED"), "/out/Brief 1_ENCRYPTED.PDF");
    EXPECT_EQ(run.DestName(".pdf", "MERGED-", ""), "/out/MERGED-Brief 1.pdf");
    EXPECT_TRUE(run.Target.empty());
}

// A source name of the longest a name may be leaves no room for a longer intermediate:
// intermediates are named by the run, the results by the source.
TEST_F(RunTest, IntermediatesKeepShortNamesWhateverTheSourceIsCalled) {
    std::string chinese;
    for (int i = 0; i < 83; ++i) chinese += "报";
    const std::string stems[] = {std::string(251, 'a'), chinese + "ab"};
    for (const std::string& stem : stems) {
        State().FSourceFiles->Clear();
        State().FSourceFiles->Add("/src/" + stem + ".pdf");
        State().FDestDir = "/out/";
        TRun run(State(), "/tmp/12345678/");
        for (const char* ext : {".ps", ".pdf", ".bmp", ".ppt"}) {
            const std::string name = ExtractFileName(run.InTemp(ext));
            EXPECT_EQ(run.InTemp(ext), "/tmp/12345678/" + name);
            EXPECT_EQ(name.find(stem.substr(0, 8)), std::string::npos) << name;
            EXPECT_LE(name.size(), 16u) << name;
        }
        EXPECT_EQ(run.Moved(".pdf"), "/out/" + stem + ".pdf");
    }
}

TEST_F(RunTest, AStepThatListedAnErrorFailedWhateverItReturned) {
    State().FSourceFiles->Add("/src/a.pdf");
    TRun run(State(), "/src/t/");
    const struct {
        bool returns;
        bool lists;
        bool clean;
    } rows[] = {
        {true, false, true}, {true, true, false}, {false, false, false}, {false, true, false}};
    for (const auto& r : rows) {
        EXPECT_EQ(run.Clean([&] {
            if (r.lists) ReportError("listed");
            return r.returns;
        }),
                  r.clean)
            << r.returns << r.lists;
    }
}

TEST(FunctionTableRunners, EveryFunctionRowHasItsOwnRunnerAndNoDividerHasOne) {
    BuildFunctionTable();
    std::set<TRunner> runners;
    for (const TConverter& row : Functions) {
        if (row.Name == "Divider") {
            EXPECT_EQ(row.Run, nullptr) << row.Title;
            EXPECT_TRUE(row.Options.empty()) << row.Title;
            continue;
        }
        ASSERT_NE(row.Run, nullptr) << row.Name;
        EXPECT_TRUE(runners.insert(row.Run).second) << row.Name << " shares another row's runner";
    }
    EXPECT_EQ(runners.size(), 19u);
}

TEST(FunctionTableRunners, TheRowsThatStartAnOfficeApplicationSaySo) {
    BuildFunctionTable();
    std::set<std::string> office;
    for (const TConverter& row : Functions)
        if (row.ThroughOffice) office.insert(row.Name);
    EXPECT_EQ(office, (std::set<std::string>{"doc2pdf", "xls2pdf", "ppt2pdf", "mdb2pdf", "tiff2pdf",
                                             "pdf2ppt"}));
}

}  // namespace
}  // namespace vxtest
