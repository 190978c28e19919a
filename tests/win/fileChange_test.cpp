// Folder change notifications and the exclusive open that tells a file still being
// written from a complete one.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/win/fileChange.h"
#include "platform/win/handles.h"

namespace {

class FileChange : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vx_change_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string dir_;
};

TEST_F(FileChange, SignalledByAFileArrivingOrAWriterClosingAndResetByNext) {
    HANDLE h = FindFirstChangeNotificationA(
        dir_.c_str(), FALSE_, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    std::ofstream(dir_ + "/job.part") << "%!PS\n";
    ASSERT_EQ(std::rename((dir_ + "/job.part").c_str(), (dir_ + "/job.ps").c_str()), 0);
    EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(FindNextChangeNotification(h));
    EXPECT_EQ(WaitForSingleObject(h, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(FindCloseChangeNotification(h));
    EXPECT_FALSE(FindNextChangeNotification(h));

    // Only the end of writing, not every write, for LAST_WRITE alone.
    HANDLE writes =
        FindFirstChangeNotificationA(dir_.c_str(), FALSE_, FILE_NOTIFY_CHANGE_LAST_WRITE);
    ASSERT_NE(writes, INVALID_HANDLE_VALUE);
    const int fd = ::open((dir_ + "/job.ps").c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "x", 1), 1);
    EXPECT_EQ(WaitForSingleObject(writes, 0), WAIT_TIMEOUT);
    ::close(fd);
    EXPECT_EQ(WaitForSingleObject(writes, 5000), WAIT_OBJECT_0);
    CloseHandle(writes);
}

TEST_F(FileChange, MissingFolderAndUnsupportedRequests) {
    EXPECT_EQ(FindFirstChangeNotificationA((dir_ + "/none").c_str(), FALSE_,
                                           FILE_NOTIFY_CHANGE_FILE_NAME),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(FindFirstChangeNotificationA(dir_.c_str(), TRUE_, FILE_NOTIFY_CHANGE_FILE_NAME),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(FindFirstChangeNotificationA(dir_.c_str(), FALSE_, 0), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(FileChange, ExclusiveOpenIsRefusedWhileTheFileIsWritten) {
    const std::string file = dir_ + "/print.ps";
    auto open = [&](DWORD share) {
        return CreateFileA(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    EXPECT_EQ(open(FILE_SHARE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    const int writer = ::open(file.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(writer, 0);
    EXPECT_EQ(open(FILE_SHARE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    HANDLE shared = open(FILE_SHARE_READ | FILE_SHARE_WRITE);
    EXPECT_NE(shared, INVALID_HANDLE_VALUE);
    CloseHandle(shared);
    ::close(writer);
    HANDLE done = open(FILE_SHARE_READ);
    EXPECT_NE(done, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(done));
    EXPECT_EQ(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, 1 /* CREATE_NEW */, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
