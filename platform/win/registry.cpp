#include "platform/win/registry.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/rtl/sysutils.h"
#include "platform/win/desktopAssoc.h"
#include "platform/win/module.h"
#include "platform/win/process.h"

namespace {

std::string normalize(const std::string& path) {
    size_t b = path.find_first_not_of('\\');
    if (b == std::string::npos) return "";
    size_t e = path.find_last_not_of('\\');
    return path.substr(b, e - b + 1);
}

std::string joinPath(const std::string& a, const std::string& b) {
    std::string nb = normalize(b);
    if (a.empty()) return nb;
    if (nb.empty()) return a;
    return a + "\\" + nb;
}

bool isRoot(HKEY k) {
    return k == HKEY_CLASSES_ROOT || k == HKEY_CURRENT_USER || k == HKEY_LOCAL_MACHINE ||
           k == HKEY_USERS;
}

struct StoredKey {
    std::string path;  // as first given
    std::vector<std::pair<std::string, std::string>> values;
};

struct ProviderEntry {
    int id;
    HKEY root;
    RegistryProvider fn;
};

struct OpenedKey {
    HKEY root;
    std::string path;
};

std::recursive_mutex g_mutex;
std::map<HKEY, std::map<std::string, StoredKey>> g_store;  // by lower-cased path
std::vector<ProviderEntry> g_providers;
int g_nextProvider = 1;
std::map<uintptr_t, OpenedKey> g_opened;
uintptr_t g_nextKey = 0x10000;

void addUnique(std::vector<std::string>& v, const std::string& s) {
    for (auto& x : v)
        if (SameText(x, s)) return;
    v.push_back(s);
}

// ---------------------------------------------------------------- built-in providers

// Ghostscript 8.51 is there when our console program stands beside us and the system's
// Ghostscript, which it runs, is installed.
bool ghostscriptProvider(const std::string& path, RegistryKeyData& d) {
    std::string p = LowerCase(path);
    if (p == "software") return true;  // exists on every system
    if (p != "software\\afpl ghostscript" && p != "software\\afpl ghostscript\\8.51") return false;
    std::string dir = ExtractFilePath(ModuleFileName());
    if (!FileExists(dir + "gs/gswin32c.exe") || SearchProgram("gs").empty()) return false;
    if (p == "software\\afpl ghostscript") {
        d.subkeys.push_back("8.51");
    } else {
        d.values.emplace_back("GS_DLL", dir + "gs/gsdll32.dll");
    }
    return true;
}

// File types: ".ext" names a program id (the desktop file id) whose
// "shell\open\command" runs the desktop's application for the type.
bool fileTypeProvider(const std::string& path, RegistryKeyData& d) {
    if (path.empty()) return false;
    if (path[0] == '.') {
        if (path.find('\\') != std::string::npos) return false;
        auto app = DefaultApplicationFor(MimeTypeOfName("file" + path));
        if (!app) return false;
        std::string progId = app->id.substr(0, app->id.size() - std::string(".desktop").size());
        d.values.emplace_back("", progId);
        d.values.emplace_back("Content Type", MimeTypeOfName("file" + path));
        return true;
    }
    size_t slash = path.find('\\');
    std::string progId = path.substr(0, slash);
    std::string rest = slash == std::string::npos ? "" : LowerCase(path.substr(slash + 1));
    if (rest != "" && rest != "shell" && rest != "shell\\open" && rest != "shell\\open\\command")
        return false;
    auto app = FindDesktopApplication(progId + ".desktop");
    if (!app) return false;
    if (rest == "")
        d.subkeys.push_back("shell");
    else if (rest == "shell")
        d.subkeys.push_back("open");
    else if (rest == "shell\\open")
        d.subkeys.push_back("command");
    else
        d.values.emplace_back("", OpenCommandLine(*app));
    return true;
}

void installBuiltins() {
    static std::once_flag once;
    std::call_once(once, [] {
        AddRegistryProvider(HKEY_LOCAL_MACHINE, ghostscriptProvider);
        AddRegistryProvider(HKEY_CLASSES_ROOT, fileTypeProvider);
    });
}

// Everything known of one key; false when it does not exist.
bool gather(HKEY root, const std::string& rawPath, RegistryKeyData& out) {
    installBuiltins();
    std::string path = normalize(rawPath);
    std::string lower = LowerCase(path);
    bool exists = path.empty();
    std::vector<ProviderEntry> providers;
    {
        std::lock_guard<std::recursive_mutex> lock(g_mutex);
        auto& keys = g_store[root];
        auto it = keys.find(lower);
        if (it != keys.end()) {
            exists = true;
            out.values = it->second.values;
        }
        std::string prefix = lower.empty() ? "" : lower + "\\";
        for (auto k = keys.lower_bound(prefix); k != keys.end() && StartsStr(prefix, k->first);
             ++k) {
            exists = true;
            std::string tail = k->second.path.substr(prefix.size());
            addUnique(out.subkeys, tail.substr(0, tail.find('\\')));
        }
        for (auto& p : g_providers)
            if (p.root == root) providers.push_back(p);
    }
    for (auto& p : providers) {
        RegistryKeyData d;
        if (!p.fn(path, d)) continue;
        exists = true;
        for (auto& v : d.values) {
            bool have = std::any_of(out.values.begin(), out.values.end(),
                                    [&](auto& o) { return SameText(o.first, v.first); });
            if (!have) out.values.push_back(v);
        }
        for (auto& s : d.subkeys) addUnique(out.subkeys, s);
    }
    return exists;
}

bool resolve(HKEY key, HKEY& root, std::string& path) {
    if (isRoot(key)) {
        root = key;
        path.clear();
        return true;
    }
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    auto it = g_opened.find(reinterpret_cast<uintptr_t>(key));
    if (it == g_opened.end()) return false;
    root = it->second.root;
    path = it->second.path;
    return true;
}

}  // namespace

int AddRegistryProvider(HKEY root, RegistryProvider provider) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    int id = g_nextProvider++;
    g_providers.push_back({id, root, std::move(provider)});
    return id;
}

void RemoveRegistryProvider(int id) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    std::erase_if(g_providers, [id](const ProviderEntry& p) { return p.id == id; });
}

void RegistrySetValue(HKEY root, const std::string& key, const std::string& name,
                      const std::string& value) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    std::string path = normalize(key);
    auto& k = g_store[root][LowerCase(path)];
    if (k.path.empty()) k.path = path;
    for (auto& v : k.values)
        if (SameText(v.first, name)) {
            v.second = value;
            return;
        }
    k.values.emplace_back(name, value);
}

void RegistryCreateKey(HKEY root, const std::string& key) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    std::string path = normalize(key);
    if (path.empty()) return;
    auto& k = g_store[root][LowerCase(path)];
    if (k.path.empty()) k.path = path;
}

void RegistryDeleteKey(HKEY root, const std::string& key) {
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    std::string lower = LowerCase(normalize(key));
    auto& keys = g_store[root];
    std::erase_if(keys,
                  [&](auto& kv) { return kv.first == lower || StartsStr(lower + "\\", kv.first); });
}

bool RegistryKeyExists(HKEY root, const std::string& path) {
    RegistryKeyData d;
    return gather(root, path, d);
}

bool RegistryReadValue(HKEY root, const std::string& path, const std::string& name,
                       std::string& value) {
    RegistryKeyData d;
    if (!gather(root, path, d)) return false;
    for (auto& v : d.values)
        if (SameText(v.first, name)) {
            value = v.second;
            return true;
        }
    return false;
}

LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD, DWORD, HKEY* result) {
    if (!result) return LONG(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    HKEY root;
    std::string base;
    if (!resolve(key, root, base)) return LONG(ERROR_INVALID_HANDLE);
    std::string path = joinPath(base, subKey ? subKey : "");
    if (!RegistryKeyExists(root, path)) return LONG(ERROR_FILE_NOT_FOUND);
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    uintptr_t h = g_nextKey;
    g_nextKey += 4;
    g_opened[h] = {root, path};
    *result = reinterpret_cast<HKEY>(h);
    return LONG(ERROR_SUCCESS);
}

LONG RegCloseKey(HKEY key) {
    if (isRoot(key)) return LONG(ERROR_SUCCESS);
    std::lock_guard<std::recursive_mutex> lock(g_mutex);
    return g_opened.erase(reinterpret_cast<uintptr_t>(key)) ? LONG(ERROR_SUCCESS)
                                                            : LONG(ERROR_INVALID_HANDLE);
}

LONG RegQueryValueExA(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data,
                      DWORD* dataSize) {
    HKEY root;
    std::string path;
    if (!resolve(key, root, path)) return LONG(ERROR_INVALID_HANDLE);
    std::string value;
    // A key that has gone since it was opened has no values.
    if (!RegistryReadValue(root, path, name ? name : "", value)) return LONG(ERROR_FILE_NOT_FOUND);
    if (type) *type = REG_SZ;
    DWORD need = DWORD(value.size() + 1);
    if (!dataSize) return data ? LONG(ERROR_INVALID_PARAMETER) : LONG(ERROR_SUCCESS);
    if (!data) {
        *dataSize = need;
        return LONG(ERROR_SUCCESS);
    }
    if (*dataSize < need) {
        *dataSize = need;
        return LONG(ERROR_MORE_DATA);
    }
    std::memcpy(data, value.c_str(), need);
    *dataSize = need;
    return LONG(ERROR_SUCCESS);
}

LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD*, char*, DWORD*,
                   void*) {
    HKEY root;
    std::string path;
    if (!resolve(key, root, path)) return LONG(ERROR_INVALID_HANDLE);
    if (!name || !nameSize) return LONG(ERROR_INVALID_PARAMETER);
    RegistryKeyData d;
    if (!gather(root, path, d) || index >= d.subkeys.size()) return LONG(ERROR_NO_MORE_ITEMS);
    const std::string& s = d.subkeys[index];
    if (*nameSize < s.size() + 1) return LONG(ERROR_MORE_DATA);
    std::memcpy(name, s.c_str(), s.size() + 1);
    *nameSize = DWORD(s.size());  // without the NUL
    return LONG(ERROR_SUCCESS);
}
