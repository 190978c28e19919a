// The watch that tells a helper program still getting on from a hung one.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "engine/progressWatch.h"
#include "tests/engine/fixture.h"

using namespace std::chrono_literals;

TEST(ProgressWatch, AnyWritingCountsAsProgress) {
    const std::string dir = vxtest::MakeTempFolder();
    std::filesystem::create_directories(dir + "job/deep");
    TProgressWatch watch({dir + "out.log", dir + "result.pdf"}, {dir + "job/"});
    // Unchanged: hung at once under a limit already passed, never under a long one.
    EXPECT_FALSE(watch.Stalled(1h));
    EXPECT_TRUE(watch.Stalled(-1ms));
    struct Row {
        const char* what;
        void (*change)(const std::string& dir);
    } rows[] = {
        {"the output log grows",
         [](const std::string& d) { std::ofstream(d + "out.log") << "Page 1\n"; }},
        {"the result appears",
         [](const std::string& d) { std::ofstream(d + "result.pdf") << "%PDF"; }},
        {"a temporary file deep in the job's folder grows",
         [](const std::string& d) { std::ofstream(d + "job/deep/t") << "x"; }},
        {"a file of the job's folder is renamed",
         [](const std::string& d) { std::filesystem::rename(d + "job/deep/t", d + "job/deep/u"); }},
    };
    for (const Row& r : rows) {
        r.change(dir);
        EXPECT_FALSE(watch.Stalled(-1ms)) << r.what;
        EXPECT_TRUE(watch.Stalled(-1ms)) << r.what;
    }
    vxtest::RemoveTree(dir);
}

TEST(ProgressWatch, TheOutputsOfAGhostscriptJob) {
    std::vector<std::string> files, folders;
    TProgressWatch::AddGhostscriptOutputs(
        "-dNOPAUSE -sDEVICE=jpeg -sOutputFile=\"/t/run 1/a_p%04d.jpg\" -f \"/s/a.pdf\" ", files,
        folders);
    TProgressWatch::AddGhostscriptOutputs("-sDEVICE=pdfwrite -sOutputFile=\"/t/b.pdf\" ", files,
                                          folders);
    EXPECT_EQ(files, std::vector<std::string>{"/t/b.pdf"});
    EXPECT_EQ(folders, std::vector<std::string>{"/t/run 1/"});
}
