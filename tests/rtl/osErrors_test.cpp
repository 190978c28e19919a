// The one table from the system's errno values to Windows' error codes, and the path rule
// that tells a missing file from a missing folder.
#include "platform/rtl/osErrors.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

TEST(OsErrors, EveryRowOfTheTable) {
    struct Row {
        int err;
        uint32_t code;
    };
    const Row rows[] = {
        {0, ERROR_SUCCESS},
        {ENOENT, ERROR_FILE_NOT_FOUND},
        {ENOTDIR, ERROR_PATH_NOT_FOUND},
        {EACCES, ERROR_ACCESS_DENIED},
        {EPERM, ERROR_ACCESS_DENIED},
        {EROFS, ERROR_ACCESS_DENIED},
        {EBUSY, ERROR_SHARING_VIOLATION},
        {ETXTBSY, ERROR_SHARING_VIOLATION},
        {EISDIR, ERROR_ACCESS_DENIED},
        {EEXIST, ERROR_ALREADY_EXISTS},
        {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
        {EINVAL, ERROR_INVALID_PARAMETER},
        {EBADF, ERROR_INVALID_HANDLE},
        {ENOEXEC, ERROR_BAD_EXE_FORMAT},
        {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
        {EAGAIN, ERROR_NOT_ENOUGH_MEMORY},
        {ENOSPC, ERROR_DISK_FULL},
        {EDQUOT, ERROR_DISK_FULL},
        {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
        {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
        {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
        {EXDEV, ERROR_NOT_SAME_DEVICE},
        {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
        {EIO, ERROR_GEN_FAILURE},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.err);
        EXPECT_EQ(Win32ErrorOf(row.err), row.code);
        EXPECT_EQ(Win32ErrorOf(row.err, 0x402), row.code);  // a known row ignores the fallback
    }
    // No row: the caller's fallback.
    EXPECT_EQ(Win32ErrorOf(EPROTO), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Win32ErrorOf(EPROTO, 0x402), 0x402u);
}

TEST(OsErrors, AMissingNameIsAPathNotFoundWhenItsFolderIsMissingToo) {
    std::string base = ::testing::TempDir() + "vx-oserr-XXXXXX";
    ASSERT_NE(::mkdtemp(base.data()), nullptr);
    const std::string file = base + "/file";
    std::FILE* f = std::fopen(file.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    struct Row {
        const char* name;
        int err;
        std::string path;
        uint32_t code;
    };
    const Row rows[] = {
        {"a missing file in a folder that is there", ENOENT, base + "/none.txt",
         ERROR_FILE_NOT_FOUND},
        {"a file in a missing folder", ENOENT, base + "/no/such/folder/o.log",
         ERROR_PATH_NOT_FOUND},
        {"a folder named as such", ENOENT, base + "/none/", ERROR_PATH_NOT_FOUND},
        {"a name in the working folder", ENOENT, "none.txt", ERROR_FILE_NOT_FOUND},
        {"a name below a file", ENOTDIR, file + "/x", ERROR_PATH_NOT_FOUND},
        {"a missing name below a file", ENOENT, file + "/x", ERROR_PATH_NOT_FOUND},
        {"other causes are the table's", EACCES, base + "/no/x", ERROR_ACCESS_DENIED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Win32ErrorOfPath(row.err, row.path), row.code);
    }
    std::remove(file.c_str());
    ::rmdir(base.c_str());
}
