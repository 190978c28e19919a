#include "platform/win/shellFolders.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

#include "platform/win/drives.h"

namespace {

std::string Home() {
    const char* h = std::getenv("HOME");
    std::string s = h && *h ? h : "/";
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string EnvOr(const char* name, const std::string& fallback) {
    const char* v = std::getenv(name);
    return v && *v == '/' ? std::string(v) : fallback;
}

// A user folder from ~/.config/user-dirs.dirs (XDG_DOCUMENTS_DIR="$HOME/Documents"), else
// the given folder below home when it exists, else home itself.
std::string UserDir(const std::string& key, const std::string& fallbackName) {
    std::ifstream in(EnvOr("XDG_CONFIG_HOME", Home() + "/.config") + "/user-dirs.dirs");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, key.size() + 1, key + "=") != 0) continue;
        std::string v = line.substr(key.size() + 1);
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.compare(0, 5, "$HOME") == 0) v = Home() + v.substr(5);
        while (v.size() > 1 && v.back() == '/') v.pop_back();
        if (!v.empty() && v[0] == '/') return v;
    }
    struct stat st {};
    std::string dflt = Home() + "/" + fallbackName;
    return stat(dflt.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? dflt : Home();
}

bool MakeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') {
            std::string part = path.substr(0, i);
            struct stat st {};
            if (stat(part.c_str(), &st) != 0 && mkdir(part.c_str(), 0755) != 0) return false;
        }
    return true;
}

}  // namespace

std::string SpecialFolderPath(int csidl) {
    switch (csidl & 0xFF) {
        case CSIDL_DESKTOP:
        case CSIDL_DESKTOPDIRECTORY:
            return UserDir("XDG_DESKTOP_DIR", "Desktop");
        case CSIDL_PERSONAL:
        case CSIDL_MYDOCUMENTS:
        case CSIDL_COMMON_DOCUMENTS:
            return UserDir("XDG_DOCUMENTS_DIR", "Documents");
        case CSIDL_MYPICTURES:
        case CSIDL_COMMON_PICTURES:
            return UserDir("XDG_PICTURES_DIR", "Pictures");
        case CSIDL_MYMUSIC:
        case CSIDL_COMMON_MUSIC:
            return UserDir("XDG_MUSIC_DIR", "Music");
        case CSIDL_MYVIDEO:
        case CSIDL_COMMON_VIDEO:
            return UserDir("XDG_VIDEOS_DIR", "Videos");
        case CSIDL_TEMPLATES:
        case CSIDL_COMMON_TEMPLATES:
            return UserDir("XDG_TEMPLATES_DIR", "Templates");
        case CSIDL_PROFILE:
            return Home();
        case CSIDL_PROFILES:
            return "/home";
        case CSIDL_APPDATA:
            return EnvOr("XDG_CONFIG_HOME", Home() + "/.config");
        case CSIDL_LOCAL_APPDATA:
            return EnvOr("XDG_DATA_HOME", Home() + "/.local/share");
        case CSIDL_INTERNET_CACHE:
        case CSIDL_COOKIES:
        case CSIDL_HISTORY:
            return EnvOr("XDG_CACHE_HOME", Home() + "/.cache");
        case CSIDL_COMMON_APPDATA:
            return "/etc/xdg";
        case CSIDL_FONTS:
            return EnvOr("XDG_DATA_HOME", Home() + "/.local/share") + "/fonts";
        case CSIDL_RECENT:
            return EnvOr("XDG_DATA_HOME", Home() + "/.local/share") + "/recently-used";
        case CSIDL_PROGRAM_FILES:
        case CSIDL_WINDOWS:
            return "/usr";
        case CSIDL_PROGRAM_FILES_COMMON:
            return "/usr/share";
        case CSIDL_SYSTEM:
            return "/usr/lib";
        default:
            return "";
    }
}

HRESULT SHGetFolderPathA(HWND, int csidl, HANDLE, DWORD, char* path) {
    if (!path) return E_INVALIDARG;
    path[0] = 0;
    std::string p = SpecialFolderPath(csidl);
    if (p.empty()) return E_INVALIDARG;
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) {
        if (!(csidl & CSIDL_FLAG_CREATE) || !MakeFolders(p)) return E_FAIL;
    }
    CopyTextToBuffer(p, path, MAX_PATH);
    return S_OK;
}

BOOL SHGetSpecialFolderPathA(HWND owner, char* path, int csidl, BOOL create) {
    return SUCCEEDED(
               SHGetFolderPathA(owner, csidl | (create ? CSIDL_FLAG_CREATE : 0), nullptr, 0, path))
               ? TRUE_
               : FALSE_;
}

LPITEMIDLIST MakeItemIdList(const std::string& text) {
    size_t cb = text.empty() ? 0 : 2 + text.size() + 1;
    auto* p = static_cast<uint8_t*>(CoTaskMemAlloc(cb + 2));
    if (!p) return nullptr;
    if (cb) {
        p[0] = uint8_t(cb & 0xFF);
        p[1] = uint8_t(cb >> 8);
        std::memcpy(p + 2, text.c_str(), text.size() + 1);  // the name with its NUL
    }
    return reinterpret_cast<LPITEMIDLIST>(p);
}

std::string ItemIdListText(LPCITEMIDLIST list) {
    if (!list) return "";
    const auto* p = reinterpret_cast<const uint8_t*>(list);
    size_t cb = size_t(p[0]) | size_t(p[1]) << 8;
    if (cb <= 2) return "";
    return std::string(reinterpret_cast<const char*>(p + 2),
                       strnlen(reinterpret_cast<const char*>(p + 2), cb - 2));
}

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if ((csidl & 0xFF) == CSIDL_DESKTOP) {
        *out = MakeItemIdList("");
    } else if ((csidl & 0xFF) == CSIDL_DRIVES) {
        *out = MakeItemIdList(kComputerItem);
    } else {
        std::string p = SpecialFolderPath(csidl);
        if (p.empty()) return E_INVALIDARG;
        *out = MakeItemIdList(p);
    }
    return *out ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST list, char* path) {
    if (!path) return FALSE_;
    path[0] = 0;
    if (!list) return FALSE_;
    std::string t = ItemIdListText(list);
    if (t.empty()) t = SpecialFolderPath(CSIDL_DESKTOP);
    if (t.compare(0, 2, "::") == 0) return FALSE_;
    CopyTextToBuffer(t, path, MAX_PATH);
    return TRUE_;
}

LPITEMIDLIST ILCreateFromPathA(const char* path) {
    if (!path) return nullptr;
    std::string p = path;
    while (p.size() > 1 && p.back() == '/') p.pop_back();
    if (p.empty()) return MakeItemIdList("");
    struct stat st {};
    if (stat(p.c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return MakeItemIdList(p);
}

void ILFree(LPITEMIDLIST list) { CoTaskMemFree(list); }

unsigned ILGetSize(LPCITEMIDLIST list) {
    if (!list) return 0;
    const auto* p = reinterpret_cast<const uint8_t*>(list);
    return unsigned(p[0] | p[1] << 8) + 2;
}

LPITEMIDLIST ILClone(LPCITEMIDLIST list) {
    return list ? MakeItemIdList(ItemIdListText(list)) : nullptr;
}

BOOL ILIsEqual(LPCITEMIDLIST a, LPCITEMIDLIST b) {
    return a && b && ItemIdListText(a) == ItemIdListText(b) ? TRUE_ : FALSE_;
}
