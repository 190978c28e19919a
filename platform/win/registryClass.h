// The class library's registry object over the registry API.
#pragma once

#include <string>

#include "platform/rtl/classes.h"
#include "platform/win/registry.h"

class ERegistryException : public Exception {
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    TRegistry() = default;
    explicit TRegistry(DWORD access) : Access(access) {}
    ~TRegistry() override { CloseKey(); }
    std::string ClassName() const override { return "TRegistry"; }

    // Changing the root closes the current key.
    HKEY RootKey() const { return root_; }
    void SetRootKey(HKEY root);
    HKEY CurrentKey() const { return current_; }
    std::string CurrentPath() const { return currentPath_; }

    // key relative to the current key, or from the root when it begins with "\".
    // canCreate makes a missing key in this process's registry.
    bool OpenKey(const std::string& key, bool canCreate);
    bool OpenKeyReadOnly(const std::string& key);
    void CloseKey();
    bool KeyExists(const std::string& key);
    bool ValueExists(const std::string& name);
    // "" for a missing value, as the class library does; without an open key the root's
    // values are read.
    std::string ReadString(const std::string& name);
    void GetKeyNames(TStringList& list);

    DWORD Access = KEY_ALL_ACCESS;

private:
    std::string absolute(const std::string& key) const;
    HKEY root_ = HKEY_CURRENT_USER;
    HKEY current_ = nullptr;
    std::string currentPath_;
};
