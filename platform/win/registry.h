// A virtual registry. Nothing is stored on disk: every key is answered, when asked, from
// what is really installed (providers), plus values registered in this process.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win/wintypes.h"

inline HKEY const HKEY_CLASSES_ROOT = reinterpret_cast<HKEY>(uintptr_t(0x80000000));
inline HKEY const HKEY_CURRENT_USER = reinterpret_cast<HKEY>(uintptr_t(0x80000001));
inline HKEY const HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(uintptr_t(0x80000002));
inline HKEY const HKEY_USERS = reinterpret_cast<HKEY>(uintptr_t(0x80000003));

constexpr DWORD KEY_QUERY_VALUE = 0x0001;
constexpr DWORD KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr DWORD KEY_READ = 0x20019;
constexpr DWORD KEY_WRITE = 0x20006;
constexpr DWORD KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;

// What a provider knows of one key: its values (name "" is the default value) and the
// names of its subkeys.
struct RegistryKeyData {
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> subkeys;
};

// Answers for keys below one root. path has no leading or trailing "\" ("" = the root);
// compare it case-insensitively. Returns true when the key exists in this provider.
using RegistryProvider = std::function<bool(const std::string& path, RegistryKeyData& data)>;

// Adds a provider for keys below root; returns an id for RemoveRegistryProvider.
int AddRegistryProvider(HKEY root, RegistryProvider provider);
void RemoveRegistryProvider(int id);
// Values registered in process (the key and its parents come into being).
void RegistrySetValue(HKEY root, const std::string& key, const std::string& name,
                      const std::string& value);
// Makes the key (and its parents) exist in process, without values.
void RegistryCreateKey(HKEY root, const std::string& key);
// Removes the key, its values and its subkeys from the in-process values.
void RegistryDeleteKey(HKEY root, const std::string& key);

// Registry API (Windows return codes: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ...).
LONG RegOpenKeyExA(HKEY key, const char* subKey, DWORD options, DWORD access, HKEY* result);
LONG RegCloseKey(HKEY key);
// name null or "" reads the default value. data null asks for the size (with the NUL);
// a short buffer gives ERROR_MORE_DATA and the needed size.
LONG RegQueryValueExA(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data,
                      DWORD* dataSize);
LONG RegEnumKeyExA(HKEY key, DWORD index, char* name, DWORD* nameSize, DWORD* reserved,
                   char* className, DWORD* classSize, void* lastWriteTime);

// Helpers for this layer: key existence and a value, by root and full path.
bool RegistryKeyExists(HKEY root, const std::string& path);
bool RegistryReadValue(HKEY root, const std::string& path, const std::string& name,
                       std::string& value);
