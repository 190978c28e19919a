#include "platform/win/privateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/rtl/passedErrors.h"
#include "platform/win/runGuard.h"

namespace {

bool OwnPrivateFolder(const struct stat& s) {
    return S_ISDIR(s.st_mode) && s.st_uid == geteuid() && (s.st_mode & 07777) == 0700;
}

// Fresh folders go when the program ends, by its exit or by a signal the run guard
// catches (the claim); one left by a program that was killed goes at the next start.
struct FreshFolder {
    std::string dir;
    std::unique_ptr<TRunFolderClaim> claim;
};
std::vector<FreshFolder>& Fresh() {
    static auto* folders = new std::vector<FreshFolder>;
    return *folders;
}
void RemoveWhenEnding(const std::string& dir) {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(RemoveFreshPrivateFolders); });
    Fresh().push_back({dir, std::make_unique<TRunFolderClaim>(dir)});
}

}  // namespace

void RemoveFreshPrivateFolders() {
    for (FreshFolder& fresh : Fresh()) {
        std::error_code ec;
        std::filesystem::remove_all(fresh.dir, ec);
        fresh.claim.reset();
    }
    Fresh().clear();
}

bool IsFreshPrivateFolder(const std::string& dir) {
    std::string plain = dir;
    while (plain.size() > 1 && plain.back() == '/') plain.pop_back();
    for (const FreshFolder& fresh : Fresh())
        if (fresh.dir == plain) return true;
    return false;
}

bool IsPrivateFolder(const std::string& dir) {
    struct stat named {};
    if (::lstat(dir.c_str(), &named) != 0 || !OwnPrivateFolder(named)) return false;
    // The folder opened is the one looked at: not swapped for a link in between.
    const int fd = ::open(dir.c_str(), O_RDONLY | O_NOFOLLOW | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat opened {};
    const bool same = ::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev &&
                      opened.st_ino == named.st_ino && OwnPrivateFolder(opened);
    ::close(fd);
    return same;
}

std::string PrivateFolder(const std::string& temp, const std::string& name) {
    const std::string base = temp.empty() || temp.back() != '/' ? temp + "/" : temp;
    std::string usual = base + name + "-" + std::to_string(geteuid());
    if (::mkdir(usual.c_str(), 0700) != 0 && errno != EEXIST)
        LogPassedError("private folder " + usual, std::strerror(errno));
    if (IsPrivateFolder(usual)) return usual;
    // Fresh folders of earlier runs that were killed: nobody holds them any more.
    RemoveAbandonedFolders(base, name + "-" + std::to_string(geteuid()) + "-");
    std::string pattern = usual + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        LogPassedError("private folder " + pattern, std::strerror(errno));
        return "";
    }
    RemoveWhenEnding(pattern);
    return pattern;
}
