#include "platform/win/drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include "platform/rtl/utf8.h"
#include "platform/win/mountWatch.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace {

// File systems that hold no user files.
const std::set<std::string>& PseudoFileSystems() {
    static const std::set<std::string> s = {
        "proc",        "sysfs",   "devtmpfs",  "devpts",   "cgroup",      "cgroup2",
        "securityfs",  "debugfs", "tracefs",   "configfs", "fusectl",     "mqueue",
        "hugetlbfs",   "pstore",  "bpf",       "autofs",   "binfmt_misc", "efivarfs",
        "rpc_pipefs",  "nsfs",    "selinuxfs", "ramfs",    "squashfs",    "fuse.gvfsd-fuse",
        "fuse.portal", "overlay", "tmpfs",     "devfs",    "none"};
    return s;
}

// System areas whose mounts are not drives even when their file system is a real one.
bool SystemArea(const std::string& dir) {
    for (const char* p : {"/proc/", "/sys/", "/dev/", "/run/", "/snap/", "/boot/", "/var/lib/",
                          "/etc/", "/usr/", "/var/snap/"})
        if (dir.compare(0, std::strlen(p), p) == 0) return true;
    return false;
}

bool StartsWith(const std::string& s, const std::string& p) {
    return s.compare(0, p.size(), p) == 0;
}

// Mount tables escape blanks and a few other characters as \ooo.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() + 0 && std::isdigit(uint8_t(s[i + 1])) &&
            std::isdigit(uint8_t(s[i + 2])) && std::isdigit(uint8_t(s[i + 3]))) {
            out += char((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string WithSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

UINT KindOf(const std::string& dir, const std::string& device, const std::string& fs) {
    if (fs == "iso9660" || fs == "udf") return DRIVE_CDROM;
    if (fs == "nfs" || fs == "nfs4" || fs == "cifs" || fs == "smb3" || fs == "smbfs" ||
        fs == "9p" || fs == "davfs" || fs == "fuse.sshfs" || fs == "afs" ||
        device.find(':') != std::string::npos || StartsWith(device, "//"))
        return DRIVE_REMOTE;
    if (fs == "tmpfs" || fs == "ramfs") return DRIVE_RAMDISK;
    if (StartsWith(dir, "/media/") || StartsWith(dir, "/run/media/") || fs == "vfat" ||
        fs == "exfat")
        return DRIVE_REMOVABLE;
    return DRIVE_FIXED;
}

bool UserCanRead(const std::string& dir) {
    struct stat st {};
    return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           access(dir.c_str(), R_OK | X_OK) == 0;
}

std::string HomeFolder() {
    const char* h = std::getenv("HOME");
    return h && *h ? WithSlash(h) : "";
}

std::string CurrentFolder() {
    char buf[4096];
    return getcwd(buf, sizeof buf) ? WithSlash(buf) : "/";
}

}  // namespace

std::vector<DriveInfo> DrivesFromMounts(const std::string& mounts, const std::string& homeIn,
                                        bool (*readable)(const std::string& dir)) {
    std::vector<DriveInfo> found;
    std::istringstream in(mounts);
    std::string line;
    const std::string home = homeIn.empty() ? "" : WithSlash(homeIn);
    while (std::getline(in, line)) {
        std::istringstream f(line);
        std::string device, dir, fs;
        if (!(f >> device >> dir >> fs)) continue;
        dir = WithSlash(Unescape(dir));
        device = Unescape(device);
        bool root = dir == "/";
        // The root stays a drive whatever it is mounted from (containers mount it as overlay).
        if (!root && (PseudoFileSystems().count(fs) || SystemArea(dir))) {
            if (!(fs == "tmpfs" && (StartsWith(dir, "/media/") || StartsWith(dir, "/mnt/"))))
                continue;
        }
        if (!readable(dir)) continue;
        DriveInfo d{dir, device, fs, root ? DRIVE_FIXED : KindOf(dir, device, fs)};
        auto same = std::find_if(found.begin(), found.end(),
                                 [&](const DriveInfo& e) { return e.root == dir; });
        if (same != found.end())
            *same = d;  // a later mount on the same folder hides the earlier one
        else
            found.push_back(d);
    }
    if (std::none_of(found.begin(), found.end(),
                     [](const DriveInfo& d) { return d.root == "/"; }) &&
        readable("/"))
        found.push_back(DriveInfo{"/", "", "", DRIVE_FIXED});
    if (!home.empty() && home != "/" && readable(home) &&
        std::none_of(found.begin(), found.end(),
                     [&](const DriveInfo& d) { return d.root == home; })) {
        // The home folder counts as a drive of the kind of the file system it lies on.
        DriveInfo h{home, "", "", DRIVE_FIXED};
        size_t best = 0;
        for (const DriveInfo& d : found)
            if (StartsWith(home, d.root) && d.root.size() >= best) {
                best = d.root.size();
                h.device = d.device;
                h.fsType = d.fsType;
                h.type = d.type;
            }
        found.push_back(h);
    }
    auto rank = [&](const DriveInfo& d) { return d.root == "/" ? 0 : d.root == home ? 1 : 2; };
    std::stable_sort(found.begin(), found.end(), [&](const DriveInfo& a, const DriveInfo& b) {
        int ra = rank(a), rb = rank(b);
        return ra != rb ? ra < rb : a.root < b.root;
    });
    return found;
}

namespace {

// The last list made, with what it was made from: the mount table, the home folder and
// the answer of every readability check. A file list asks for every folder it shows;
// the list is made again only when one of these changed.
struct DriveListMemo {
    std::string mounts, home;
    std::vector<std::pair<std::string, bool>> checks;
    std::vector<DriveInfo> drives;
};
thread_local std::vector<std::pair<std::string, bool>>* g_checks = nullptr;

bool CheckedUserCanRead(const std::string& dir) {
    const bool readable = UserCanRead(dir);
    if (g_checks) g_checks->emplace_back(dir, readable);
    return readable;
}

// The mount table's text: read again only when the kernel signals a change of it (a file
// list asks for the drives once per folder it shows).
std::string MountTable() {
    static thread_local MountTableWatch watch;
    if (watch.Open()) {
        watch.Changed();
        return watch.Text();
    }
    std::ifstream in("/proc/self/mounts");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<DriveInfo> ListDrives() {
    static thread_local DriveListMemo memo;
    const std::string mounts = MountTable();
    const std::string home = HomeFolder();
    if (!memo.mounts.empty() && mounts == memo.mounts && home == memo.home &&
        std::all_of(memo.checks.begin(), memo.checks.end(),
                    [](const auto& c) { return UserCanRead(c.first) == c.second; }))
        return memo.drives;
    DriveListMemo made{mounts, home, {}, {}};
    g_checks = &made.checks;
    made.drives = DrivesFromMounts(mounts, home, CheckedUserCanRead);
    g_checks = nullptr;
    memo = std::move(made);
    return memo.drives;
}

bool DriveOfPath(const std::string& path, DriveInfo& out) {
    std::string p = WithSlash(path);
    size_t best = 0;
    bool any = false;
    for (const DriveInfo& d : ListDrives())
        if (StartsWith(p, d.root) && d.root.size() >= best) {
            best = d.root.size();
            out = d;
            any = true;
        }
    return any;
}

DWORD GetLogicalDriveStringsA(DWORD bufferLength, char* buffer) {
    std::string all;
    for (const DriveInfo& d : ListDrives()) {
        all += d.root;
        all += '\0';
    }
    if (!buffer || all.size() + 1 > bufferLength) return DWORD(all.size() + 1);
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = 0;
    return DWORD(all.size());
}

UINT GetDriveTypeA(const char* root) {
    std::string p = root && *root ? WithSlash(root) : CurrentFolder();
    struct stat st {};
    if (stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return DRIVE_NO_ROOT_DIR;
    DriveInfo d;
    return DriveOfPath(p, d) ? d.type : DRIVE_UNKNOWN;
}

BOOL GetVolumeInformationA(const char* root, char* volumeName, DWORD volumeNameSize,
                           DWORD* serialNumber, DWORD* maxComponentLength, DWORD* fileSystemFlags,
                           char* fileSystemName, DWORD fileSystemNameSize) {
    std::string p = root && *root ? WithSlash(root) : CurrentFolder();
    struct stat st {};
    struct statvfs vs {};
    if (stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || statvfs(p.c_str(), &vs) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE_;
    }
    DriveInfo d;
    DriveOfPath(p, d);
    bool foldsCase = d.fsType == "vfat" || d.fsType == "exfat" || d.fsType == "ntfs" ||
                     d.fsType == "ntfs3" || d.fsType == "iso9660" || d.fsType == "cifs" ||
                     d.fsType == "smb3";
    if (volumeName && volumeNameSize) CopyTextToBuffer("", volumeName, volumeNameSize);
    if (serialNumber) *serialNumber = DWORD(st.st_dev ^ (uint64_t(st.st_dev) >> 32));
    if (maxComponentLength) *maxComponentLength = DWORD(vs.f_namemax);
    if (fileSystemFlags)
        *fileSystemFlags = FILE_CASE_PRESERVED_NAMES | FILE_UNICODE_ON_DISK |
                           (foldsCase ? 0 : FILE_CASE_SENSITIVE_SEARCH | FILE_PERSISTENT_ACLS);
    if (fileSystemName && fileSystemNameSize)
        CopyTextToBuffer(d.fsType, fileSystemName, fileSystemNameSize);
    return TRUE_;
}

BOOL GetDiskFreeSpaceExA(const char* directory, uint64_t* freeBytesAvailable, uint64_t* totalBytes,
                         uint64_t* totalFreeBytes) {
    struct statvfs vs {};
    std::string p = directory && *directory ? directory : CurrentFolder();
    if (statvfs(p.c_str(), &vs) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE_;
    }
    uint64_t unit = vs.f_frsize ? vs.f_frsize : vs.f_bsize;
    if (freeBytesAvailable) *freeBytesAvailable = uint64_t(vs.f_bavail) * unit;
    if (totalBytes) *totalBytes = uint64_t(vs.f_blocks) * unit;
    if (totalFreeBytes) *totalFreeBytes = uint64_t(vs.f_bfree) * unit;
    return TRUE_;
}

UINT SetErrorMode(UINT mode) {
    static UINT current = 0;
    UINT old = current;
    current = mode;
    return old;
}

void CopyTextToBuffer(const std::string& text, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    const size_t n = Utf8CutPoint(text, size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
}
