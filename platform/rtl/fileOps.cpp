#include "platform/rtl/fileOps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/rtl/sysutils.h"

void ForceSingleFolder(const std::string& dir) {
    if (DirectoryExists(dir)) return;
    if (mkdir(ExcludeTrailingPathDelimiter(dir).c_str(), 0777) != 0) {
        int err = errno;
        if (err == EEXIST && DirectoryExists(dir)) return;  // made meanwhile
        RaiseInOutError(err, "无法创建文件夹 \"" + dir + "\"");
    }
}

// Whether an existing entry could be deleted by us: a folder cannot be replaced by a
// file; a file needs a writable folder (and, in a sticky folder, ownership of the file
// or the folder) and must not be read-only to us.
namespace {

bool CanReplace(const std::string& target, const struct stat& st) {
    if (S_ISDIR(st.st_mode)) return false;
    std::string dir = ExtractFilePath(target);
    if (dir.empty()) dir = "./";
    if (access(dir.c_str(), W_OK | X_OK) != 0) return false;
    if (!S_ISLNK(st.st_mode) && access(target.c_str(), W_OK) != 0) return false;
    struct stat ds;
    if (stat(dir.c_str(), &ds) != 0) return false;
    uid_t me = geteuid();
    if ((ds.st_mode & S_ISVTX) && me != 0 && me != st.st_uid && me != ds.st_uid) return false;
    return true;
}

}  // namespace

bool EntryReplaceable(const std::string& target) {
    struct stat st;
    return lstat(target.c_str(), &st) != 0 || CanReplace(target, st);
}

// Copies a regular file into a new file beside target and renames it over target, so
// target is whole or untouched at any moment. Used when a rename crosses file systems.
static bool CopyOver(const std::string& source, const std::string& target) {
    int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    std::string dir = ExtractFilePath(target);
    if (dir.empty()) dir = "./";
    const std::string name = dir + ".vxmove-XXXXXX";
    std::vector<char> tmpl(name.begin(), name.end());
    tmpl.push_back('\0');
    int out = mkostemp(tmpl.data(), O_CLOEXEC);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    std::vector<char> buf(1 << 16);
    for (;;) {
        ssize_t n = read(in, buf.data(), buf.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            ok = false;
            break;
        }
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            ssize_t w = write(out, buf.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) {
                ok = false;
                break;
            }
            done += w;
        }
        if (!ok) break;
    }
    fchmod(out, st.st_mode & 07777);
    close(in);
    if (close(out) != 0) ok = false;
    if (ok) ok = std::rename(tmpl.data(), target.c_str()) == 0;
    if (!ok) {
        unlink(tmpl.data());
        return false;
    }
    unlink(source.c_str());
    return true;
}

// Renames, replacing target atomically; across file systems a file is copied.
bool MoveEntryReplacing(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) == 0) return true;
    if (errno == EXDEV) return CopyOver(source, target);
    return false;
}

void AppendToPrivateFile(const std::string& name, const std::string& text) {
    int fd = open(name.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) RaiseInOutError(errno, name);
    // A file an earlier version made readable by all; another user's is left as it is.
    struct stat st;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid() &&
        (st.st_mode & 077) != 0)
        fchmod(fd, st.st_mode & 0700);
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            close(fd);
            RaiseInOutError(err, name);
        }
        done += size_t(n);
    }
    if (close(fd) != 0) RaiseInOutError(errno, name);
}

int64_t EntrySize(const std::string& name) {
    struct stat st;
    if (name.empty() || stat(name.c_str(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
}
