#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <fstream>

#include "controls/extended/xcSearchFiles.h"

namespace {

// A folder tree in the temporary folder, removed afterwards.
class SearchTree : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vx-search-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root_ = std::string(tmpl) + "/";
        for (const char* f : {"a.doc", "B.DOC", "c.docx", "d.rtf", "noext", ".hidden.doc",
                              "sub1/x.doc", "sub1/deeper/y.doc", "sub1/deeper/deepest/q.doc",
                              "sub2/z.doc", "sub3/w.doc", ".hiddendir/h.doc"})
            Make(f, 10);
        mkdir((root_ + "empty").c_str(), 0755);
    }
    void TearDown() override {
        chmod((root_ + "locked").c_str(), 0755);
        RemoveTree(root_);
    }
    void Make(const std::string& rel, size_t size) {
        const std::string path = root_ + rel;
        ForceDirectories(ExtractFilePath(path));
        std::ofstream(path) << std::string(size, 'x');
    }
    static void RemoveTree(const std::string& dir) {
        if (DIR* d = opendir(dir.c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string n = e->d_name;
                if (n == "." || n == "..") continue;
                const std::string p = dir + n;
                struct stat st;
                if (lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                    RemoveTree(p + "/");
                else
                    unlink(p.c_str());
            }
            closedir(d);
        }
        rmdir(dir.c_str());
    }
    // The names found, relative to the root, sorted.
    std::vector<std::string> Found(const TStringList& l) const {
        std::vector<std::string> v;
        for (int i = 0; i < l.Count(); ++i)
            v.push_back(StartsStr(root_, l[i]) ? l[i].substr(root_.size()) : l[i]);
        std::sort(v.begin(), v.end());
        return v;
    }
    static int OpenFds() {
        int n = 0;
        if (DIR* d = opendir("/proc/self/fd")) {
            while (readdir(d)) ++n;
            closedir(d);
        }
        return n;
    }
    std::string root_;
};

using Names = std::vector<std::string>;

}  // namespace

TEST_F(SearchTree, MasksAreCaseFoldedAndSplit) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stFileMask);
    s.FileParams.SetFileMasks("*.doc;*.rtf");
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{".hidden.doc", "B.DOC", "a.doc", "d.rtf"}));
    EXPECT_EQ(s.FileCount, 4);
    EXPECT_EQ(s.TotalFileSize, 40);
    // Case-sensitive masks.
    s.FileParams.SearchTypes.Include(stFileMaskCaseSensitive);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{".hidden.doc", "a.doc", "d.rtf"}));
}

TEST_F(SearchTree, AllFilesMaskListsNamesWithoutDot) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stFileMask);
    s.FileParams.SetFileMasks("*.*");
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 6);
    const Names files = s.Files.ToVector();
    EXPECT_NE(std::find(files.begin(), files.end(), root_ + "noext"), files.end());
}

TEST_F(SearchTree, EmptyMaskPiecesAreNoMasks) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stFileMask);
    s.FileParams.SetFileMasks("*.rtf;;");
    EXPECT_EQ(s.FileParams.FileMasks.Count(), 2);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{"d.rtf"}));
    s.FileParams.SetFileMasks(";");
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 6);
}

TEST_F(SearchTree, HiddenFilesByAttribute) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stAttribute);
    s.FileParams.Attributes.SetHidden(tsMustBeUnSet);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{"B.DOC", "a.doc", "c.docx", "d.rtf", "noext"}));
    s.FileParams.Attributes.SetHidden(tsMustBeSet);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{".hidden.doc"}));
    // Never system, never archive; plain files are "normal".
    s.FileParams.Attributes.SetHidden(tsDontCare);
    s.FileParams.Attributes.SetSystem(tsMustBeSet);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 0);
    s.FileParams.Attributes.SetSystem(tsDontCare);
    s.FileParams.Attributes.SetNormal(tsMustBeSet);
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 5);
    EXPECT_EQ(s.FileParams.Attributes.IncludeAttr(), uint32_t(FILE_ATTRIBUTE_NORMAL));
}

TEST_F(SearchTree, SubFoldersAndDepth) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.FileParams.SearchTypes.Include(stFileMask);
    s.FileParams.SetFileMasks("?.doc");
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files),
              (Names{".hiddendir/h.doc", "B.DOC", "a.doc", "sub1/deeper/deepest/q.doc",
                     "sub1/deeper/y.doc", "sub1/x.doc", "sub2/z.doc", "sub3/w.doc"}));
    // Depth 1: the root and each of its sub-folders, however many siblings there are.
    s.RecurseDepth = 1;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{".hiddendir/h.doc", "B.DOC", "a.doc", "sub1/x.doc",
                                     "sub2/z.doc", "sub3/w.doc"}));
    s.RecurseDepth = 2;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{".hiddendir/h.doc", "B.DOC", "a.doc", "sub1/deeper/y.doc",
                                     "sub1/x.doc", "sub2/z.doc", "sub3/w.doc"}));
}

TEST_F(SearchTree, FoldersStrippedSortedAndDuplicates) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.SetOptions({soSearchDirs, soStripDirs, soSorted});
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.Directories.ToVector(),
              (Names{".hiddendir", "deeper", "deepest", "empty", "sub1", "sub2", "sub3"}));
    EXPECT_EQ(s.FileCount, 0);
    // The same stripped name from two folders is listed once unless duplicates are allowed.
    Make("sub2/x.doc", 1);
    s.SetOptions({soSearchFiles, soStripDirs});
    ASSERT_TRUE(s.Search());
    const Names files = s.Files.ToVector();
    EXPECT_EQ(std::count(files.begin(), files.end(), "x.doc"), 1);
    s.SetOptions({soSearchFiles, soStripDirs, soAllowDuplicates});
    ASSERT_TRUE(s.Search());
    const Names all = s.Files.ToVector();
    EXPECT_EQ(std::count(all.begin(), all.end(), "x.doc"), 2);
    // Switching sorting on sorts what is there.
    s.SetOptions({soSearchFiles, soStripDirs, soAllowDuplicates, soSorted});
    const Names sorted = s.Files.ToVector();
    EXPECT_TRUE(std::is_sorted(
        sorted.begin(), sorted.end(),
        [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; }));
    // Owner data: counted and reported, not listed.
    int reported = 0;
    s.OnFindFile = [&](TObject*, const std::string&) { ++reported; };
    s.SetOptions({soSearchFiles, soOwnerData});
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.Files.Count(), 0);
    EXPECT_EQ(reported, s.FileCount);
    EXPECT_GT(reported, 0);
}

TEST_F(SearchTree, SizesAndDates) {
    Make("big.bin", 5000);
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stMinSize);
    s.FileParams.MinSize = 11;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{"big.bin"}));
    s.FileParams.SearchTypes = {stMaxSize};
    s.FileParams.MaxSize = 10;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 6);

    utimbuf old{};
    old.actime = old.modtime = 946684800;  // 2000-01-01
    utime((root_ + "a.doc").c_str(), &old);
    s.FileParams.SearchTypes = {stLastChangeBefore};
    s.FileParams.SetLastChangeBefore(EncodeDateTime(2001, 1, 1, 0, 0, 0, 0));
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{"a.doc"}));
    s.FileParams.SearchTypes = {stLastChangeAfter};
    s.FileParams.SetLastChangeAfter(EncodeDateTime(2001, 1, 1, 0, 0, 0, 0));
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 6);
    EXPECT_THROW(s.FileParams.SetLastChangeAfter(EncodeDateTime(1970, 1, 1, 0, 0, 0, 0)),
                 EConvertError);
}

TEST_F(SearchTree, CheckEventReplacesTheTest) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.DirOption = doExcludeSubDirs;
    s.FileParams.SearchTypes.Include(stFileMask);
    s.FileParams.SetFileMasks("*.nothing");
    s.OnCheck = [](TObject*, const TXcFoundEntry& e, bool& accept) {
        accept = e.Rec.Name[0] == 'd';
    };
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Files), (Names{"d.rtf"}));
}

TEST_F(SearchTree, InvalidFoldersAreSkippedOrEntered) {
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.SetOptions({soSearchFiles, soSearchDirs});
    s.DirParams.SearchTypes.Include(stFileMask);
    s.DirParams.SetFileMasks("sub*");
    s.DirOption = doExcludeCompleteInvalidDirs;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Directories), (Names{"sub1", "sub2", "sub3"}));
    const Names first = s.Files.ToVector();
    EXPECT_EQ(std::count(first.begin(), first.end(), root_ + "sub1/deeper/y.doc"), 0);
    // Entered but not reported.
    s.DirOption = doExcludeInvalidDirs;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(Found(s.Directories), (Names{"sub1", "sub2", "sub3"}));
    const Names files = Found(s.Files);
    EXPECT_EQ(std::count(files.begin(), files.end(), "sub1/x.doc"), 1);
    EXPECT_EQ(std::count(files.begin(), files.end(), "sub1/deeper/y.doc"), 0);
    // A root that fails the check is not reported with the check option.
    s.SetOptions({soSearchFiles, soCheckRootDirValid});
    s.DirOption = doExcludeCompleteInvalidDirs;
    ASSERT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 0);
}

TEST_F(SearchTree, AbortPartWayReleasesEverything) {
    const int fds = OpenFds();
    TXcSearchFiles s;
    s.RootDirectory = root_;
    int aborts = 0, scans = 0;
    s.OnBeginScanDir = [&](TObject*, const std::string&) { ++scans; };
    s.OnFindFile = [&](TObject* sender, const std::string&) {
        if (static_cast<TXcSearchFiles*>(sender)->FileCount == 3)
            static_cast<TXcSearchFiles*>(sender)->Abort = true;
    };
    s.OnAbort = [&](TObject*) { ++aborts; };
    EXPECT_FALSE(s.Search());
    EXPECT_EQ(s.FileCount, 3);
    EXPECT_EQ(aborts, 1);
    EXPECT_FALSE(s.Running());
    EXPECT_EQ(OpenFds(), fds);
    // The next search starts afresh.
    s.OnFindFile = nullptr;
    scans = 0;
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 12);
    EXPECT_EQ(scans, 8);
    // A search started from an event while one runs is refused.
    bool inner = true;
    s.OnFindFile = [&](TObject*, const std::string&) { inner = s.Search(); };
    EXPECT_TRUE(s.Search());
    EXPECT_FALSE(inner);
}

TEST_F(SearchTree, MissingAndEmptyFoldersFindNothing) {
    TXcSearchFiles s;
    s.ErrorResponse = erRaise;
    s.RootDirectory = root_ + "no-such-folder";
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 0);
    s.RootDirectory = root_ + "empty/";
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 0);
}

namespace {

// A folder that cannot be opened: a link that points at itself (opening it fails even for
// the superuser).
std::string Unreadable(const std::string& root) {
    const std::string p = root + "loop";
    symlink(p.c_str(), p.c_str());
    return p + "/";
}

}  // namespace

TEST_F(SearchTree, UnreadableFolderFollowsTheErrorResponse) {
    const int fds = OpenFds();
    TXcSearchFiles s;
    s.RootDirectory = Unreadable(root_);
    s.ErrorResponse = erIgnore;
    EXPECT_TRUE(s.Search());
    s.ErrorResponse = erAbort;
    EXPECT_FALSE(s.Search());
    s.ErrorResponse = erRaise;
    EXPECT_THROW(s.Search(), EOSError);
    EXPECT_FALSE(s.Running());
    // The error event may change the response.
    int errors = 0;
    s.OnError = [&](TObject*, TXcErrorResponse& r) {
        ++errors;
        r = erIgnore;
    };
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(OpenFds(), fds);
}

TEST_F(SearchTree, UnreadableSubFolderFollowsTheErrorResponse) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser reads every folder";
    Make("locked/secret.doc", 1);
    chmod((root_ + "locked").c_str(), 0);
    TXcSearchFiles s;
    s.RootDirectory = root_;
    s.ErrorResponse = erIgnore;
    EXPECT_TRUE(s.Search());
    EXPECT_EQ(s.FileCount, 12);
    s.ErrorResponse = erAbort;
    EXPECT_FALSE(s.Search());
    s.ErrorResponse = erRaise;
    EXPECT_THROW(s.Search(), EOSError);
    s.ErrorResponse = erIgnore;
    s.RecurseDepth = 1;
    EXPECT_TRUE(s.Search());
}
