// Results moved into place all or nothing: a failure anywhere puts back every older
// file, removes every new one and the folders made for them, and leaves nothing hidden.
#include "platform/rtl/fileTransaction.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>

#include "platform/rtl/sysutils.h"

namespace {

namespace fs = std::filesystem;

class FileTransaction : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vx transaction XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = std::string(tmpl) + "/";
        fs::create_directories(dir + "src");
        fs::create_directories(dir + "dst");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Every entry under a folder (hidden ones too) with its content.
    std::map<std::string, std::string> Tree(const std::string& root) const {
        std::map<std::string, std::string> t;
        for (const auto& e : fs::recursive_directory_iterator(root))
            t[e.path().string().substr(root.size())] =
                e.is_directory() ? "<folder>" : ReadFileText(e.path().string());
        return t;
    }
    std::string dir;
};

}  // namespace

TEST_F(FileTransaction, EveryFileArrivesAndOlderOnesAreReplaced) {
    WriteFileText(dir + "dst/p1", "older 1");
    WriteFileText(dir + "src/p1", "new 1");
    WriteFileText(dir + "src/p2", "new 2");
    TFileTransaction t;
    t.Add(dir + "src/p1", dir + "dst/p1");
    t.Add(dir + "src/p2", dir + "dst/sub/deeper/p2", true);
    std::string failed, cause;
    ASSERT_TRUE(t.Commit(failed, cause)) << failed << ": " << cause;
    EXPECT_EQ(Tree(dir + "dst/"), (std::map<std::string, std::string>{{"p1", "new 1"},
                                                                      {"sub", "<folder>"},
                                                                      {"sub/deeper", "<folder>"},
                                                                      {"sub/deeper/p2", "new 2"}}));
}

TEST_F(FileTransaction, AFailureAnywhereLeavesTheDestinationAsItWas) {
    const struct {
        const char* what;
        std::function<void(const std::string&)> spoil;
        const char* failedName;
        const char* cause;       // as the program shows it
        const char* systemText;  // as the log keeps it
    } rows[] = {
        {"a folder holds a name",
         [](const std::string& d) { fs::create_directories(d + "dst/p3"); }, "dst/p3",
         "这是一个文件夹，不是文件。", "Is a directory"},
        {"a file holds a folder's name",
         [](const std::string& d) { WriteFileText(d + "dst/new", "file"); }, "dst/new",
         "系统找不到指定的路径。", "Not a directory"},
        {"a source is missing", [](const std::string& d) { fs::remove(d + "src/p4"); }, "dst/p4",
         "系统找不到指定的文件。", "No such file or directory"},
        {"the target folder is missing",
         [](const std::string& d) { fs::remove_all(d + "dst/plain"); }, "dst/plain",
         "系统找不到指定的文件。", "No such file or directory"},
    };
    for (const auto& row : rows) {
        fs::remove_all(dir + "dst");
        fs::create_directories(dir + "dst/plain");
        WriteFileText(dir + "dst/p1", "older 1");
        WriteFileText(dir + "dst/p2", "older 2");
        for (const char* p : {"p1", "p2", "p3", "p4", "p5"})
            WriteFileText(dir + "src/" + p, std::string("new ") + p);
        row.spoil(dir);
        const auto before = Tree(dir + "dst/");
        TFileTransaction t;
        t.Add(dir + "src/p1", dir + "dst/p1");
        t.Add(dir + "src/p2", dir + "dst/p2");
        t.Add(dir + "src/p3", dir + "dst/p3");
        t.Add(dir + "src/p4", dir + "dst/p4");
        t.Add(dir + "src/p5", dir + "dst/new/made/p5", true);
        t.Add(dir + "src/p5", dir + "dst/plain/p5");
        std::string failed, cause;
        EXPECT_FALSE(t.Commit(failed, cause)) << row.what;
        EXPECT_EQ(Tree(dir + "dst/"), before) << row.what;
        EXPECT_EQ(failed.substr(0, dir.size() + std::string(row.failedName).size()),
                  dir + row.failedName)
            << row.what;
        EXPECT_EQ(cause, row.cause) << row.what;
        EXPECT_EQ(SystemErrorText(t.ErrorCode()), row.systemText) << row.what;
    }
}

// Sources on another file system are copied beside their targets; older files are set
// aside and replaced the same way, and nothing hidden is left on either side.
TEST_F(FileTransaction, SourcesOnAnotherFileSystemAreCopied) {
    struct stat here, shm;
    if (stat(dir.c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
        GTEST_SKIP() << "no second file system at /dev/shm";
    char tmpl[] = "/dev/shm/vx transaction XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string other = std::string(tmpl) + "/";
    WriteFileText(other + "p1", "new 1");
    WriteFileText(other + "p2", std::string(200000, 'x'));
    WriteFileText(dir + "dst/p1", "older 1");
    TFileTransaction t;
    t.Add(other + "p1", dir + "dst/p1");
    t.Add(other + "p2", dir + "dst/p2");
    std::string failed, cause;
    EXPECT_TRUE(t.Commit(failed, cause)) << failed << ": " << cause;
    EXPECT_EQ(Tree(dir + "dst/"), (std::map<std::string, std::string>{
                                      {"p1", "new 1"}, {"p2", std::string(200000, 'x')}}));
    EXPECT_TRUE(Tree(other).empty());
    std::error_code ec;
    fs::remove_all(other, ec);
}
