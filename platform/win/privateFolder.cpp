#include "platform/win/privateFolder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/rtl/passedErrors.h"

namespace {

bool OwnPrivateFolder(const struct stat& s) {
    return S_ISDIR(s.st_mode) && s.st_uid == geteuid() && (s.st_mode & 07777) == 0700;
}

// Fresh folders go when the program ends.
std::vector<std::string>& Fresh() {
    static auto* folders = new std::vector<std::string>;
    return *folders;
}
void RemoveWhenEnding(const std::string& dir) {
    static std::once_flag registered;
    std::call_once(registered, [] { std::atexit(RemoveFreshPrivateFolders); });
    Fresh().push_back(dir);
}

}  // namespace

void RemoveFreshPrivateFolders() {
    for (const std::string& dir : Fresh()) {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    Fresh().clear();
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
    std::string pattern = usual + "-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        LogPassedError("private folder " + pattern, std::strerror(errno));
        return "";
    }
    RemoveWhenEnding(pattern);
    return pattern;
}
