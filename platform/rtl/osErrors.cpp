#include "platform/rtl/osErrors.h"

#include <sys/stat.h>

#include <cerrno>

uint32_t Win32ErrorOf(int err, uint32_t unknown) {
    switch (err) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;  // another program is using the file
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case ENOEXEC:
            return ERROR_BAD_EXE_FORMAT;
        case ENOMEM:
        case EAGAIN:
            return ERROR_NOT_ENOUGH_MEMORY;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ELOOP:
            return ERROR_CANT_RESOLVE_FILENAME;
        case EIO:
            return ERROR_GEN_FAILURE;
        default:
            return unknown;
    }
}

uint32_t Win32ErrorOfPath(int err, const std::string& path, uint32_t unknown) {
    if (err != ENOENT) return Win32ErrorOf(err, unknown);
    if (!path.empty() && path.back() == '/') return ERROR_PATH_NOT_FOUND;
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ERROR_FILE_NOT_FOUND;  // in the working folder
    const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    struct stat s {};
    const bool there = ::stat(folder.c_str(), &s) == 0 && S_ISDIR(s.st_mode);
    return there ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}
