#include "platform/win/module.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/rtl/sysutils.h"

namespace {
std::string g_moduleFile;
thread_local DWORD g_lastError = 0;
}

DWORD GetLastError() { return g_lastError; }
void SetLastError(DWORD err) { g_lastError = err; }

void SetModuleFileName(const char* argv0) {
    std::string p = argv0 ? argv0 : "";
    if (p.find('/') == std::string::npos) {
        // Started through PATH: fall back to the real file.
        char buf[4096];
        ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
        p = n > 0 ? std::string(buf, size_t(n)) : p;
    }
    g_moduleFile = ExpandFileName(p);
}

std::string ModuleFileName() {
    if (g_moduleFile.empty()) SetModuleFileName(nullptr);
    return g_moduleFile;
}

DWORD GetModuleFileNameA(HINSTANCE, char* buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    std::string f = ModuleFileName();
    size_t n = std::min<size_t>(f.size(), size - 1);
    std::memcpy(buffer, f.data(), n);
    buffer[n] = 0;
    return DWORD(n);
}
