// What the page workers say after their last pages is joined line by line as one run says it:
// nothing dropped because it is part of a longer line, a worker's repeated line kept, and
// the closing lines every worker says alike said once.
#include "tools/gswin32c/pageWorkers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tails = std::vector<std::string>;

TEST(GsPageWorkerTails, JoinedLineByLineLosingNothing) {
    const std::string close = "Closing the document.\n";
    struct Row {
        const char* name;
        Tails tails;
        std::string joined;
    };
    const Row rows[] = {
        {"nothing said", {"", "", ""}, ""},
        {"the same closing by every worker", {close, close, close}, close},
        {"an error line inside an earlier, longer line",
         {"   **** Error: font Foo not found, using Courier\n",
          "   **** Error: font Foo not found\n"},
         "   **** Error: font Foo not found, using Courier\n"
         "   **** Error: font Foo not found\n"},
        {"a line a worker repeats",
         {"**** Error: bad xref\n**** Error: bad xref\n" + close, close},
         "**** Error: bad xref\n**** Error: bad xref\n" + close},
        {"a repeated line said more often by a later worker",
         {"warning\n" + close, "warning\nwarning\nwarning\n" + close},
         "warning\n" + close + "warning\nwarning\n"},
        {"lines of later workers after the first's, in their order",
         {"a\n", "b\na\nc\n", "c\nd\n"},
         "a\nb\nc\nd\n"},
        {"a last line without its line end", {"one", "two\n"}, "one\ntwo\n"},
        {"the same line with and without its end", {"end\n", "end"}, "end\n"},
        {"empty lines count as lines", {"\n\n", "\n"}, "\n\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(gsw::JoinWorkerTails(row.tails), row.joined);
    }
}

TEST(GsPageWorkerTails, EveryWorkersOwnLinesKeptOnce) {
    // Every worker closes alike and adds lines of its own: each is kept once, none lost.
    Tails tails;
    std::string expected = "closing\n";
    for (int w = 0; w < 16; ++w) {
        std::string t = "closing\n";
        for (int i = 0; i < 2000; ++i)
            t += "worker " + std::to_string(w) + " line " + std::to_string(i) + "\n";
        tails.push_back(t);
        expected += t.substr(std::string("closing\n").size());
    }
    EXPECT_EQ(gsw::JoinWorkerTails(tails), expected);
}

}  // namespace
