#include "platform/win/registryClass.h"

namespace {
std::string trimSlashes(const std::string& s) {
    size_t b = s.find_first_not_of('\\');
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of('\\') - b + 1);
}
}  // namespace

void TRegistry::SetRootKey(HKEY root) {
    if (root == root_) return;
    CloseKey();
    root_ = root;
}

std::string TRegistry::absolute(const std::string& key) const {
    if (!key.empty() && key[0] == '\\') return trimSlashes(key);
    std::string k = trimSlashes(key);
    if (currentPath_.empty()) return k;
    return k.empty() ? currentPath_ : currentPath_ + "\\" + k;
}

bool TRegistry::OpenKey(const std::string& key, bool canCreate) {
    std::string path = absolute(key);
    if (canCreate && !RegistryKeyExists(root_, path)) RegistryCreateKey(root_, path);
    HKEY h = nullptr;
    if (RegOpenKeyExA(root_, path.c_str(), 0, Access, &h) != LONG(ERROR_SUCCESS)) return false;
    CloseKey();
    current_ = h;
    currentPath_ = path;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const std::string& key) {
    std::string path = absolute(key);
    HKEY h = nullptr;
    if (RegOpenKeyExA(root_, path.c_str(), 0, KEY_READ, &h) != LONG(ERROR_SUCCESS)) return false;
    CloseKey();
    current_ = h;
    currentPath_ = path;
    return true;
}

void TRegistry::CloseKey() {
    if (current_) RegCloseKey(current_);
    current_ = nullptr;
    currentPath_.clear();
}

bool TRegistry::KeyExists(const std::string& key) {
    return RegistryKeyExists(root_, absolute(key));
}

bool TRegistry::ValueExists(const std::string& name) {
    std::string v;
    return RegistryReadValue(root_, currentPath_, name, v);
}

std::string TRegistry::ReadString(const std::string& name) {
    std::string v;
    return RegistryReadValue(root_, currentPath_, name, v) ? v : "";
}

void TRegistry::GetKeyNames(TStringList& list) {
    list.Clear();
    HKEY h = current_ ? current_ : root_;
    char buf[256];
    for (DWORD i = 0;; ++i) {
        DWORD n = sizeof buf;
        if (RegEnumKeyExA(h, i, buf, &n, nullptr, nullptr, nullptr, nullptr) != LONG(ERROR_SUCCESS))
            break;
        list.Add(buf);
    }
}
