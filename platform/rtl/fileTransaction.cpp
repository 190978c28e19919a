#include "platform/rtl/fileTransaction.h"

#include <fcntl.h>
#include <sys/random.h>
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

// Renames path to a hidden, unused name in dir without replacing anything there; the new
// name, or "" with errno set (EXDEV when dir lies on another file system). Renaming over
// a placeholder would be simpler, but ext4 writes out a file's data at once when it
// replaces another by rename (its guard for editors that rewrite files that way): a
// hundred page files then cost their whole write-out at the move and again when deleted.
std::string RenameAside(const std::string& path, const std::string& dir, const char* kind) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[6] = {};
        if (getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) {
            // No random bytes to be had: a name from the process and a counter.
            static unsigned counter = 0;
            unsigned long long v = (static_cast<unsigned long long>(getpid()) << 20) ^ ++counter;
            for (unsigned char& r : random) r = static_cast<unsigned char>(v), v >>= 8;
        }
        std::string name = dir + ".vexomat-" + kind + "-";
        for (unsigned char r : random) name += kLetters[r % (sizeof kLetters - 1)];
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, name.c_str(), RENAME_NOREPLACE) == 0)
            return name;
        if (errno == EEXIST) continue;
        if (errno != EINVAL && errno != ENOSYS) return "";
        // A file system without the no-replace rename: over a placeholder after all.
        name = MakePlaceholder(dir, kind);
        if (name.empty()) return "";
        if (std::rename(path.c_str(), name.c_str()) == 0) return name;
        const int err = errno;
        unlink(name.c_str());
        errno = err;
        return "";
    }
    errno = EEXIST;
    return "";
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
        // Inside a linked result folder nothing is looked at: the link is replaced.
        const std::string own = ExcludeTrailingPathDelimiter(FolderOf(m.target));
        if (m.makeFolders && lstat(own.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) continue;
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
        // A link standing where a result folder goes is replaced like a link standing where
        // a result file goes: set aside (and put back on undo), never written through.
        const std::string own = ExcludeTrailingPathDelimiter(FolderOf(m.target));
        struct stat st;
        if (lstat(own.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
            const std::string aside = RenameAside(own, FolderOf(own), "old");
            if (aside.empty()) {
                err = errno;
                failedTarget = own;
                return false;
            }
            keptLinks_.push_back({own, aside});
        }
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
        m.staged = RenameAside(m.source, FolderOf(m.target), "new");
        bool ok = !m.staged.empty();
        if (!ok && errno == EXDEV) {
            // Another file system: the copy is where a full disk shows.
            m.staged = MakePlaceholder(FolderOf(m.target), "new");
            ok = !m.staged.empty();
            if (ok) {
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
            m.kept = RenameAside(m.target, FolderOf(m.target), "old");
            if (m.kept.empty()) {
                err = errno;
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
    for (auto it = keptLinks_.rbegin(); it != keptLinks_.rend(); ++it)
        std::rename(it->second.c_str(), it->first.c_str());
    keptLinks_.clear();
}

bool TFileTransaction::Commit(std::string& failedTarget, std::string& cause) {
    int err = 0;
    errno = 0;
    const bool ok = Check(failedTarget, err) && MakeFolders(failedTarget, err) &&
                    Stage(failedTarget, err) && Place(failedTarget, err);
    if (!ok) {
        Undo();
        error_ = err ? err : EIO;
        cause = SysErrorMessage(error_);
        return false;
    }
    for (const Move& m : moves_)
        if (!m.kept.empty()) unlink(m.kept.c_str());
    for (const auto& link : keptLinks_) unlink(link.second.c_str());
    moves_.clear();
    madeFolders_.clear();
    keptLinks_.clear();
    return true;
}
