#include "platform/win/fileVersion.h"

#include <sys/stat.h>

#include <cstring>
#include <string>

namespace {

// VS_VERSIONINFO: total length, value length and type (0, binary), the key
// "VS_VERSION_INFO" in UTF-16 with its terminator, padding to 32 bits, then the value.
constexpr char16_t kKey[] = u"VS_VERSION_INFO";
constexpr size_t kHeader = 6;
constexpr size_t kValueOffset = (kHeader + sizeof kKey + 3) & ~size_t(3);
constexpr size_t kBlockSize = kValueOffset + sizeof(VS_FIXEDFILEINFO);

void PutWord(unsigned char* p, WORD w) {
    p[0] = BYTE(w & 0xFF);
    p[1] = BYTE(w >> 8);
}

WORD GetWord(const unsigned char* p) { return WORD(p[0] | p[1] << 8); }

// A name without a folder is a library of the system; anything else a file.
bool VersionOf(const char* fileName, VS_FIXEDFILEINFO& info) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const std::string name = fileName;
    if (name.find_first_of("/\\") == std::string::npos && FindModuleVersion(name, info))
        return true;
    struct stat st {};
    SetLastError(stat(fileName, &st) == 0 ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_FILE_NOT_FOUND);
    return false;
}

}  // namespace

DWORD GetFileVersionInfoSizeA(const char* fileName, DWORD* handle) {
    if (handle) *handle = 0;
    VS_FIXEDFILEINFO info;
    return VersionOf(fileName, info) ? DWORD(kBlockSize) : 0;
}

BOOL GetFileVersionInfoA(const char* fileName, DWORD, DWORD length, void* data) {
    VS_FIXEDFILEINFO info;
    if (!VersionOf(fileName, info)) return 0;
    if (!data || length < kBlockSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    auto* p = static_cast<unsigned char*>(data);
    std::memset(p, 0, kBlockSize);
    PutWord(p, WORD(kBlockSize));
    PutWord(p + 2, WORD(sizeof info));
    PutWord(p + 4, 0);
    for (size_t i = 0; i < sizeof kKey / sizeof kKey[0]; ++i)
        PutWord(p + kHeader + 2 * i, WORD(kKey[i]));
    std::memcpy(p + kValueOffset, &info, sizeof info);
    return 1;
}

BOOL VerQueryValueA(const void* block, const char* subBlock, void** buffer, UINT* length) {
    if (buffer) *buffer = nullptr;
    if (length) *length = 0;
    const auto* p = static_cast<const unsigned char*>(block);
    if (!p || !subBlock || !buffer || !length) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WORD total = GetWord(p), valueLength = GetWord(p + 2);
    bool keyed = total >= kValueOffset + valueLength;
    for (size_t i = 0; keyed && i < sizeof kKey / sizeof kKey[0]; ++i)
        keyed = GetWord(p + kHeader + 2 * i) == WORD(kKey[i]);
    if (!keyed) {
        SetLastError(ERROR_INVALID_DATA);
        return 0;
    }
    if (std::strcmp(subBlock, "\\") != 0 || valueLength == 0) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return 0;
    }
    *buffer = const_cast<unsigned char*>(p + kValueOffset);
    *length = valueLength;
    return 1;
}
