#include "platform/win/sysinfo.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

UINT CopyFolder(const std::string& folder, char* buffer, UINT size) {
    if (!buffer || folder.size() + 1 > size) return UINT(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return UINT(folder.size());
}

std::string HomeFolder() {
    if (const char* h = std::getenv("HOME"); h && *h) return h;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

}  // namespace

UINT GetWindowsDirectoryA(char* buffer, UINT size) {
    std::string dir;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
        dir = x;
    else
        dir = HomeFolder() + "/.config";
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return CopyFolder(dir, buffer, size);
}

UINT GetSystemDirectoryA(char* buffer, UINT size) { return CopyFolder("/usr/lib", buffer, size); }

BOOL GetUserNameA(char* buffer, DWORD* size) {
    if (!size) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::string name;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name)
        name = pw->pw_name;
    else if (const char* u = std::getenv("USER"))
        name = u;
    if (name.empty()) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return 0;
    }
    if (!buffer || name.size() + 1 > *size) {
        *size = DWORD(name.size() + 1);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    *size = DWORD(name.size() + 1);
    return 1;
}
