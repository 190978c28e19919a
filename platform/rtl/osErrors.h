// Windows' error codes for the system's errno values, in one table that every call of the
// Windows-like layer reports through, so that one cause is told alike everywhere (a part of
// a path that is no folder is "path not found" whichever call met it).
#pragma once

#include <cstdint>
#include <string>

// The Windows values of the codes the table gives.
constexpr uint32_t ERROR_SUCCESS = 0;
constexpr uint32_t ERROR_FILE_NOT_FOUND = 2;
constexpr uint32_t ERROR_PATH_NOT_FOUND = 3;
constexpr uint32_t ERROR_TOO_MANY_OPEN_FILES = 4;
constexpr uint32_t ERROR_ACCESS_DENIED = 5;
constexpr uint32_t ERROR_INVALID_HANDLE = 6;
constexpr uint32_t ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr uint32_t ERROR_NOT_SAME_DEVICE = 17;
constexpr uint32_t ERROR_GEN_FAILURE = 31;
constexpr uint32_t ERROR_SHARING_VIOLATION = 32;
constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
constexpr uint32_t ERROR_DISK_FULL = 112;
constexpr uint32_t ERROR_DIR_NOT_EMPTY = 145;
constexpr uint32_t ERROR_ALREADY_EXISTS = 183;
constexpr uint32_t ERROR_BAD_EXE_FORMAT = 193;
constexpr uint32_t ERROR_FILENAME_EXCED_RANGE = 206;
constexpr uint32_t ERROR_CANT_RESOLVE_FILENAME = 1921;

// The code for an errno value; `unknown` for one the table has no row for (0 gives
// ERROR_SUCCESS). A missing name (ENOENT) is "file not found" here.
uint32_t Win32ErrorOf(int err, uint32_t unknown = ERROR_INVALID_PARAMETER);
// The same for a call on `path`: a missing name is "path not found" when the folder that
// should hold it is missing as well, or when the path names a folder (ends in "/").
uint32_t Win32ErrorOfPath(int err, const std::string& path,
                          uint32_t unknown = ERROR_INVALID_PARAMETER);
