// File types by name from the shared MIME database's glob patterns: the weight decides,
// then the longer pattern, then the order of the file; letters match without case unless
// the pattern says "cs"; names no pattern knows fall back to the built-in document types.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win/desktopAssoc.h"

TEST(MimeGlobs, WeightLengthCaseAndOrderDecide) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/vx-mime-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path root = tmpl;
    fs::create_directories(root / "data" / "mime");
    std::ofstream(root / "data" / "mime" / "globs2") << "# weight:type:pattern[:flags]\n"
                                                        "50:application/pdf:*.pdf\n"
                                                        "50:application/gzip:*.gz\n"
                                                        "60:application/x-compressed-tar:*.tar.gz\n"
                                                        "50:text/x-c++src:*.C:cs\n"
                                                        "50:text/x-csrc:*.c\n"
                                                        "50:text/x-readme:README\n"
                                                        "50:text/x-makefile:Makefile:cs\n"
                                                        "40:text/x-tex:*.tex\n"
                                                        "50:text/x-bibtex:*.bib.tex\n"
                                                        "50:application/x-trash:*~\n"
                                                        "50:text/x-changelog:ChangeLog.txt\n"
                                                        "55:text/x-patch:*.DIFF:cs\n";
    const std::string oldHome = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string oldDirs = std::getenv("XDG_DATA_DIRS") ? std::getenv("XDG_DATA_DIRS") : "";
    setenv("XDG_DATA_HOME", (root / "home").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root / "data").c_str(), 1);
    const struct Row {
        const char* name;
        const char* type;
    } rows[] = {
        {"report.pdf", "application/pdf"},
        {"REPORT.PDF", "application/pdf"},                  // letters without case
        {"backup.tar.gz", "application/x-compressed-tar"},  // the heavier pattern
        {"notes.gz", "application/gzip"},
        {"main.C", "text/x-c++src"},  // both match: the first in the file
        {"main.c", "text/x-csrc"},    // "*.C" keeps its case
        {"README", "text/x-readme"},
        {"readme", "text/x-readme"},
        {"makefile", ""},  // "Makefile" keeps its case
        {"refs.bib.tex", "text/x-bibtex"},
        {"paper.tex", "text/x-tex"},
        {"pdf", ""},  // shorter than the suffix
        {".pdf", "application/pdf"},
        {"letter.doc", "application/msword"},  // no pattern: the built-in type
        {"data.qqzz", ""},
        {"BACKUP.TAR.GZ", "application/x-compressed-tar"},  // a suffix of two extensions
        {"draft.txt~", "application/x-trash"},              // a suffix without a dot
        {"notes~", "application/x-trash"},
        {"changelog.TXT", "text/x-changelog"},  // a literal name holding a dot
        {"a.tar.gz.pdf", "application/pdf"},    // only the last extension counts
        {"fix.DIFF", "text/x-patch"},
        {"fix.diff", ""},
        {"archive.", ""},  // an empty last extension
    };
    for (const Row& r : rows) EXPECT_EQ(MimeTypeOfName(r.name), r.type) << r.name;
    if (oldHome.empty())
        unsetenv("XDG_DATA_HOME");
    else
        setenv("XDG_DATA_HOME", oldHome.c_str(), 1);
    if (oldDirs.empty())
        unsetenv("XDG_DATA_DIRS");
    else
        setenv("XDG_DATA_DIRS", oldDirs.c_str(), 1);
    fs::remove_all(root);
}
