#include "platform/win/module.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>

#include "platform/rtl/sysutils.h"

namespace {
std::string g_moduleFile;
thread_local DWORD g_lastError = 0;
}  // namespace

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

namespace {

struct Library {
    std::map<std::string, FARPROC> exports;  // by exact name
    std::optional<VS_FIXEDFILEINFO> version;
    int loads = 0;
};

std::map<std::string, Library>& Libraries() {
    static std::map<std::string, Library> libs;
    return libs;
}

Library* LoadedLibrary(HMODULE module) {
    for (auto& [name, lib] : Libraries())
        if (&lib == module && lib.loads > 0) return &lib;
    return nullptr;
}

}  // namespace

void RegisterModuleExport(const std::string& library, const std::string& name, FARPROC proc) {
    Libraries()[LowerCase(library)].exports[name] = proc;
}

namespace {
// The layer's own libraries are registered once, before anything is looked up by name.
void EnsureSystemLibraries() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterSystemLibraries();
}
}  // namespace

HMODULE LoadLibraryA(const char* name) {
    EnsureSystemLibraries();
    auto it = name ? Libraries().find(LowerCase(name)) : Libraries().end();
    if (it == Libraries().end()) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    ++it->second.loads;
    return &it->second;
}

BOOL FreeLibrary(HMODULE module) {
    Library* lib = LoadedLibrary(module);
    if (!lib) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    --lib->loads;
    return 1;
}

HMODULE GetModuleHandleA(const char* name) {
    static int program;
    if (!name) return &program;
    EnsureSystemLibraries();
    auto it = Libraries().find(LowerCase(name));
    if (it == Libraries().end() || it->second.loads == 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return &it->second;
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
    Library* lib = LoadedLibrary(module);
    if (!lib || !name) {
        SetLastError(lib ? ERROR_PROC_NOT_FOUND : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    auto it = lib->exports.find(name);
    if (it == lib->exports.end()) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return it->second;
}

void RegisterModuleVersion(const std::string& library, const VS_FIXEDFILEINFO* info) {
    EnsureSystemLibraries();  // so a later first look-up does not undo this
    Library& lib = Libraries()[LowerCase(library)];
    if (info)
        lib.version = *info;
    else
        lib.version.reset();
}

bool FindModuleVersion(const std::string& library, VS_FIXEDFILEINFO& info) {
    EnsureSystemLibraries();
    auto it = Libraries().find(LowerCase(library));
    if (it == Libraries().end() || !it->second.version) return false;
    info = *it->second.version;
    return true;
}
