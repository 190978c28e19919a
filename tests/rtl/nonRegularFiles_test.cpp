// Names that are no regular file or no folder: told in the user's words without ever being
// opened, since opening a pipe waits for a writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "platform/rtl/mappedFile.h"
#include "platform/rtl/sysutils.h"

namespace {

class NonRegularFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = std::filesystem::temp_directory_path().string() + "/vx pipes XXXXXX";
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr) << std::strerror(errno);
        dir = tmpl + "/";
        std::ofstream(dir + "file") << "text";
        ASSERT_EQ(mkfifo((dir + "pipe.pdf").c_str(), 0600), 0) << std::strerror(errno);
        const char* t = std::getenv("TMPDIR");
        savedTmp = t ? t : "";
        hadTmp = t != nullptr;
    }
    void TearDown() override {
        if (hadTmp)
            setenv("TMPDIR", savedTmp.c_str(), 1);
        else
            unsetenv("TMPDIR");
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string dir, savedTmp;
    bool hadTmp = false;
};

TEST_F(NonRegularFiles, APipeOrADeviceIsNamedAndAnythingElseIsNot) {
    const struct {
        std::string name, kind;
    } rows[] = {
        {dir + "pipe.pdf", "命名管道 (FIFO)"},
        {"/dev/null", "设备"},
        {dir + "file", ""},
        {dir, ""},
        {dir + "missing", ""},
        {"", ""},
    };
    for (const auto& r : rows) EXPECT_EQ(NonRegularFileKind(r.name), r.kind) << r.name;
}

TEST_F(NonRegularFiles, AMappedPipeFailsAtOnceInsteadOfWaitingForAWriter) {
    auto mapped = std::async(std::launch::async, [&] {
        try {
            TMappedFile pipe(dir + "pipe.pdf");
        } catch (const EInOutError&) {
            return true;
        }
        return false;
    });
    if (mapped.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // A writer lets the waiting open go, so the test ends.
        const int fd = open((dir + "pipe.pdf").c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) close(fd);
        mapped.wait();
        FAIL() << "the pipe was opened and waited on for a writer";
    }
    EXPECT_TRUE(mapped.get()) << "a pipe was read as a file";
    EXPECT_EQ(TMappedFile(dir + "file").Data(), "text");
}

TEST_F(NonRegularFiles, ATemporaryFolderThatCannotBeUsedIsNamedWithItsCause) {
    setenv("TMPDIR", (dir + "file").c_str(), 1);
    const struct {
        std::string folder;
        int err;
        std::string said;
    } rows[] = {
        {dir + "file/", ENOTDIR,
         "临时文件夹 \"" + dir + "file\" (环境变量 TMPDIR) 不是文件夹, 而是一个文件。"},
        {dir + "missing/", ENOENT, "临时文件夹 \"" + dir + "missing\" (环境变量 TMPDIR) 不存在。"},
        {dir + "file/below/", ENOTDIR,
         "临时文件夹 \"" + dir + "file/below\" (环境变量 TMPDIR) 不存在。"},
        {dir, ENOSPC,
         "临时文件夹 \"" + dir.substr(0, dir.size() - 1) +
             "\" (环境变量 TMPDIR) 无法使用: " + SysErrorMessage(ENOSPC)},
    };
    for (const auto& r : rows) EXPECT_EQ(TempFolderProblem(r.folder, r.err), r.said) << r.folder;
    unsetenv("TMPDIR");
    EXPECT_EQ(TempFolderProblem(dir + "missing", ENOENT),
              "临时文件夹 \"" + dir + "missing\" 不存在。");
}

}  // namespace
