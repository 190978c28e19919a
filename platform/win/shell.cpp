#include "platform/win/shell.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/desktopAssoc.h"
#include "platform/win/process.h"

namespace {

HINSTANCE code(intptr_t v) { return reinterpret_cast<HINSTANCE>(v); }
constexpr intptr_t kOk = 42;

// A relative name is taken from dir when dir is an existing folder.
std::string locate(const std::string& file, const char* dir) {
    if (file.empty() || file[0] == '/') return file;
    std::string d = dir ? dir : "";
    if (!d.empty() && DirectoryExists(d)) return IncludeTrailingPathDelimiter(d) + file;
    return file;
}

bool exists(const std::string& p) {
    struct stat s;
    return !p.empty() && ::stat(p.c_str(), &s) == 0;
}

// The opener's return codes for the causes it tells share Windows' error numbers.
intptr_t spawnError(int err) {
    const uint32_t code = Win32ErrorOf(err);
    return code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
                   code == ERROR_ACCESS_DENIED
               ? intptr_t(code)
               : SE_ERR_OOM;
}

}  // namespace

HINSTANCE ShellExecuteA(HWND, const char* verb, const char* file, const char*, const char* dir,
                        int) {
    std::string v = verb ? verb : "";
    if (!v.empty() && !SameText(v, "open") && !SameText(v, "explore")) return code(SE_ERR_NOASSOC);
    std::string f = file ? file : "";
    if (f.empty()) return code(SE_ERR_FNF);
    std::string target, mime;
    std::string scheme = UrlScheme(f);
    if (!scheme.empty()) {
        target = f;
        mime = scheme == "file" ? MimeTypeOfName(f) : "x-scheme-handler/" + scheme;
    } else {
        std::string path = locate(f, dir);
        if (!exists(path)) return code(SE_ERR_FNF);
        target = ExpandFileName(path);  // absolute, so it can never pass for an option
        mime = MimeTypeOfFile(path);
    }
    std::string opener = SearchProgram("xdg-open");
    if (!opener.empty() && SpawnDetached({opener, target}) == 0) return code(kOk);
    auto app = DefaultApplicationFor(mime);
    if (!app) return code(SE_ERR_NOASSOC);
    int rc = SpawnDetached(ExpandExecLine(*app, target));
    return code(rc == 0 ? kOk : spawnError(rc));
}

HINSTANCE FindExecutableA(const char* file, const char* dir, char* result) {
    if (result) result[0] = 0;
    std::string path = locate(file ? file : "", dir);
    if (!exists(path)) return code(SE_ERR_FNF);
    auto app = DefaultApplicationFor(MimeTypeOfFile(path));
    if (!app) return code(SE_ERR_NOASSOC);
    if (result) {
        size_t n = std::min<size_t>(app->program.size(), MAX_PATH - 1);
        std::memcpy(result, app->program.data(), n);
        result[n] = 0;
    }
    return code(kOk);
}

// ---------------------------------------------------------------- file operations

namespace {

// An error of the file operation: the system's cause as Windows names it.
int winCode(int err) {
    return int(Win32ErrorOf(err, 0x402));  // 0x402: an unknown error, as the shell reports it
}

// Removes `name` inside the open folder parentFd; folders with everything in them.
// Links are removed as links; nothing outside the tree is touched.
int removeAt(int parentFd, const char* name) {
    struct stat st;
    if (::fstatat(parentFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISDIR(st.st_mode)) return ::unlinkat(parentFd, name, 0) == 0 ? 0 : errno;
    int fd = ::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno;
    DIR* d = ::fdopendir(fd);
    if (!d) {
        int e = errno;
        ::close(fd);
        return e;
    }
    int first = 0;
    std::vector<std::string> names;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        names.emplace_back(e->d_name);
    }
    for (auto& n : names) {
        int e = removeAt(::dirfd(d), n.c_str());
        if (e && !first) first = e;
    }
    ::closedir(d);
    if (::unlinkat(parentFd, name, AT_REMOVEDIR) != 0 && !first) first = errno;
    return first;
}

int removeTree(const std::string& path) {
    std::string dir = ExtractFileDir(path), name = ExtractFileName(path);
    if (name.empty() || name == "." || name == "..") return EINVAL;
    // The parent is only named in, never listed: one we may enter but not read will do.
    int pfd = ::open(dir.empty() ? "/" : dir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (pfd < 0) return errno;
    int e = removeAt(pfd, name.c_str());
    ::close(pfd);
    return e;
}

int copyFileData(const std::string& from, const std::string& to, const struct stat& st) {
    int in = ::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0) return errno;
    int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        int e = errno;
        ::close(in);
        return e;
    }
    int err = 0;
    char buf[1 << 16];
    for (;;) {
        ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        if (n == 0) break;
        for (ssize_t off = 0; off < n;) {
            ssize_t w = ::write(out, buf + off, size_t(n - off));
            if (w < 0) {
                if (errno == EINTR) continue;
                err = errno;
                break;
            }
            off += w;
        }
        if (err) break;
    }
    if (!err) {
        ::fchmod(out, st.st_mode & 07777);
        timespec times[2] = {st.st_atim, st.st_mtim};
        ::futimens(out, times);
    }
    if (::close(out) != 0 && !err) err = errno;
    ::close(in);
    return err;
}

// Copies a tree to a place that does not exist yet; links are copied as links.
int copyTree(const std::string& from, const std::string& to) {
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return errno;
    if (S_ISLNK(st.st_mode)) {
        std::string target(size_t(st.st_size) + 1, '\0');
        ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0) return errno;
        target.resize(size_t(n));
        return ::symlink(target.c_str(), to.c_str()) == 0 ? 0 : errno;
    }
    if (S_ISREG(st.st_mode)) return copyFileData(from, to, st);
    if (!S_ISDIR(st.st_mode)) return EPERM;  // devices, pipes: not ours to copy
    if (::mkdir(to.c_str(), (st.st_mode & 07777) | S_IWUSR | S_IXUSR) != 0) return errno;
    DIR* d = ::opendir(from.c_str());
    if (!d) return errno;
    int err = 0;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        err = copyTree(from + "/" + e->d_name, to + "/" + e->d_name);
        if (err) break;
    }
    ::closedir(d);
    if (!err) ::chmod(to.c_str(), st.st_mode & 07777);
    return err;
}

// Moves one entry to `to`: renamed when possible, else copied and deleted; an existing
// file is replaced, an existing folder receives the folder's contents.
int moveEntry(const std::string& from, const std::string& to) {
    struct stat src, dst;
    if (::lstat(from.c_str(), &src) != 0) return errno;
    bool haveDst = ::lstat(to.c_str(), &dst) == 0;
    if (haveDst && src.st_dev == dst.st_dev && src.st_ino == dst.st_ino) return 0;
    if (haveDst && S_ISDIR(dst.st_mode)) {
        if (!S_ISDIR(src.st_mode)) return EISDIR;
        DIR* d = ::opendir(from.c_str());
        if (!d) return errno;
        std::vector<std::string> names;
        while (dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        ::closedir(d);
        int first = 0;
        for (auto& n : names) {
            int e = moveEntry(from + "/" + n, to + "/" + n);
            if (e && !first) first = e;
        }
        if (!first && ::rmdir(from.c_str()) != 0) first = errno;
        return first;
    }
    if (haveDst && S_ISDIR(src.st_mode)) return EEXIST;  // a folder onto a file
    if (::rename(from.c_str(), to.c_str()) == 0) return 0;
    if (errno != EXDEV) return errno;
    // Another file system: copy beside the target, then put it in place in one step.
    std::string tmp = to + ".~moving";
    removeTree(tmp);
    int e = copyTree(from, tmp);
    if (!e && ::rename(tmp.c_str(), to.c_str()) != 0) e = errno;
    if (e) {
        removeTree(tmp);
        return e;
    }
    return removeTree(from);
}

bool hasMask(const std::string& name) { return name.find_first_of("*?") != std::string::npos; }

// Expands the source list: trailing "/" dropped, masks resolved. Returns an errno value.
int expandSources(const char* list, bool filesOnly, std::vector<std::string>& out, bool& masked) {
    masked = false;
    if (!list) return EINVAL;
    for (const char* p = list; *p; p += std::strlen(p) + 1) {
        // Relative names are taken from the current folder, as the shell does.
        std::string s = ExpandFileName(p);
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        if (s == "/") return EACCES;  // never the whole file system
        if (!hasMask(ExtractFileName(s))) {
            struct stat st;
            if (::lstat(s.c_str(), &st) != 0) return ENOENT;
            out.push_back(s);
            continue;
        }
        masked = true;
        TSearchRec rec;
        std::string dir = ExtractFilePath(s);
        for (int r = FindFirst(s, faAnyFile, rec); r == 0; r = FindNext(rec)) {
            if (filesOnly && (rec.Attr & faDirectory)) continue;
            out.push_back(dir + rec.Name);
        }
        FindClose(rec);
    }
    return 0;
}

}  // namespace

int SHFileOperationA(SHFILEOPSTRUCTA* op) {
    if (!op) return int(ERROR_INVALID_PARAMETER);
    op->fAnyOperationsAborted = FALSE_;
    std::vector<std::string> sources;
    bool masked = false;
    int err = expandSources(op->pFrom, op->fFlags & FOF_FILESONLY, sources, masked);
    if (err) return winCode(err);
    if (sources.empty()) return masked ? 0 : int(ERROR_INVALID_PARAMETER);

    if (op->wFunc == FO_DELETE) {
        int first = 0;
        for (auto& s : sources) {
            int e = removeTree(s);
            if (e && !first) first = e;
        }
        return winCode(first);
    }
    if (op->wFunc != FO_MOVE && op->wFunc != FO_RENAME) return int(ERROR_CALL_NOT_IMPLEMENTED);

    std::string to = op->pTo ? op->pTo : "";
    while (to.size() > 1 && to.back() == '/') to.pop_back();
    if (to.empty()) return int(ERROR_INVALID_PARAMETER);
    bool intoFolder = masked || sources.size() > 1 || DirectoryExists(to);
    if (sources.size() == 1 && !masked && DirectoryExists(to)) {
        // Moving a folder onto itself or a name onto its own folder changes nothing.
        if (ExpandFileName(sources[0]) == ExpandFileName(to)) return 0;
    }
    if (intoFolder) {
        if (!DirectoryExists(to) && !ForceDirectories(to)) return winCode(errno ? errno : EACCES);
    } else {
        std::string parent = ExtractFileDir(to);
        if (!parent.empty() && !DirectoryExists(parent) && !ForceDirectories(parent))
            return winCode(errno ? errno : EACCES);
    }
    int first = 0;
    for (auto& s : sources) {
        std::string dest = intoFolder ? to + "/" + ExtractFileName(s) : to;
        int e = moveEntry(s, dest);
        if (e && !first) first = e;
    }
    return winCode(first);
}
