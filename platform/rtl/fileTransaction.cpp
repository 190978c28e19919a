#include "platform/rtl/fileTransaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/rtl/fileOps.h"
#include "platform/rtl/sysutils.h"

namespace {

std::string FolderOf(const std::string& path) {
    std::string dir = ExtractFilePath(path);
    return dir.empty() ? "./" : dir;
}

// A new empty file with a hidden, unused name in dir; its name, or "" with errno set.
std::string MakePlaceholder(const std::string& dir, const char* kind) {
    std::string name = dir + ".vexomat-" + kind + "-XXXXXX";
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return "";
    close(fd);
    return name;
}

// Copies the file source into the open file out; false with errno set.
bool CopyInto(const std::string& source, int out) {
    const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st;
    bool ok = fstat(in, &st) == 0;
    static char buf[1 << 16];
    while (ok) {
        const ssize_t n = read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            const ssize_t w = write(out, buf + done, size_t(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0)
                ok = false;
            else
                done += w;
        }
    }
    const int err = errno;
    if (ok) fchmod(out, st.st_mode & 07777);
    close(in);
    errno = err;
    return ok;
}

}  // namespace

void TFileTransaction::Add(const std::string& source, const std::string& target, bool makeFolders) {
    moves_.push_back({source, target, "", "", makeFolders, false});
}

bool TFileTransaction::Check(std::string& failedTarget, int& err) {
    for (const Move& m : moves_) {
        struct stat st;
        if (lstat(m.target.c_str(), &st) == 0) {
            if (S_ISDIR(st.st_mode))
                err = EISDIR;
            else if (!EntryReplaceable(m.target))
                err = EACCES;
            if (err) {
                failedTarget = m.target;
                return false;
            }
            continue;
        }
        // The first folder on the way that exists must be a folder we may write in.
        for (std::string dir = ExcludeTrailingPathDelimiter(FolderOf(m.target)); !dir.empty();
             dir = ExcludeTrailingPathDelimiter(ExtractFilePath(dir))) {
            if (stat(dir.c_str(), &st) != 0) {
                if (errno == ENOENT && m.makeFolders) continue;
                err = errno;
            } else if (!S_ISDIR(st.st_mode)) {
                err = ENOTDIR;
            } else if (access(dir.c_str(), W_OK | X_OK) != 0) {
                err = errno;
            }
            if (err) failedTarget = dir;
            break;
        }
        if (err) return false;
    }
    return true;
}

bool TFileTransaction::MakeFolders(std::string& failedTarget, int& err) {
    for (const Move& m : moves_) {
        if (!m.makeFolders) continue;
        std::vector<std::string> missing;
        for (std::string dir = ExcludeTrailingPathDelimiter(FolderOf(m.target));
             !dir.empty() && !DirectoryExists(dir);
             dir = ExcludeTrailingPathDelimiter(ExtractFilePath(dir)))
            missing.insert(missing.begin(), dir);
        for (const std::string& dir : missing) {
            if (mkdir(dir.c_str(), 0777) != 0) {
                err = errno;
                failedTarget = dir;
                return false;
            }
            madeFolders_.push_back(dir);
        }
    }
    return true;
}

bool TFileTransaction::Stage(std::string& failedTarget, int& err) {
    for (Move& m : moves_) {
        m.staged = MakePlaceholder(FolderOf(m.target), "new");
        bool ok = !m.staged.empty();
        if (ok && std::rename(m.source.c_str(), m.staged.c_str()) != 0) {
            ok = errno == EXDEV;
            if (ok) {
                // Another file system: the copy is where a full disk shows.
                const int out = open(m.staged.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
                ok = out >= 0 && CopyInto(m.source, out);
                const int copyErr = errno;
                if (out >= 0 && close(out) != 0 && ok)
                    ok = false;
                else
                    errno = copyErr;
                if (ok) unlink(m.source.c_str());
            }
        }
        if (!ok) {
            err = errno ? errno : EIO;
            failedTarget = m.target;
            return false;
        }
    }
    return true;
}

bool TFileTransaction::Place(std::string& failedTarget, int& err) {
    for (Move& m : moves_) {
        struct stat st;
        if (lstat(m.target.c_str(), &st) == 0) {
            m.kept = MakePlaceholder(FolderOf(m.target), "old");
            if (m.kept.empty() || std::rename(m.target.c_str(), m.kept.c_str()) != 0) {
                err = errno;
                if (!m.kept.empty()) unlink(m.kept.c_str());
                m.kept.clear();
                failedTarget = m.target;
                return false;
            }
        }
        if (std::rename(m.staged.c_str(), m.target.c_str()) != 0) {
            err = errno;
            failedTarget = m.target;
            return false;
        }
        m.staged.clear();
        m.placed = true;
    }
    return true;
}

void TFileTransaction::Undo() {
    for (auto it = moves_.rbegin(); it != moves_.rend(); ++it) {
        if (it->placed && it->kept.empty()) unlink(it->target.c_str());
        if (!it->kept.empty()) std::rename(it->kept.c_str(), it->target.c_str());
        if (!it->staged.empty()) unlink(it->staged.c_str());
        it->kept.clear();
        it->staged.clear();
        it->placed = false;
    }
    for (auto it = madeFolders_.rbegin(); it != madeFolders_.rend(); ++it) rmdir(it->c_str());
    madeFolders_.clear();
}

bool TFileTransaction::Commit(std::string& failedTarget, std::string& cause) {
    int err = 0;
    errno = 0;
    const bool ok = Check(failedTarget, err) && MakeFolders(failedTarget, err) &&
                    Stage(failedTarget, err) && Place(failedTarget, err);
    if (!ok) {
        Undo();
        cause = SysErrorMessage(err ? err : EIO);
        return false;
    }
    for (const Move& m : moves_)
        if (!m.kept.empty()) unlink(m.kept.c_str());
    moves_.clear();
    madeFolders_.clear();
    return true;
}
