// Version resources: the block a system library carries, read back through VerQueryValueA,
// and the answers for files and libraries without one.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win/fileVersion.h"

namespace {

std::vector<unsigned char> Block(const char* name) {
    DWORD handle = 7;
    const DWORD size = GetFileVersionInfoSizeA(name, &handle);
    EXPECT_EQ(handle, 0u);
    std::vector<unsigned char> block(size);
    if (size) {
        EXPECT_TRUE(GetFileVersionInfoA(name, handle, size, block.data()));
    }
    return block;
}

TEST(FileVersion, Shell32CarriesVersionSix) {
    for (const char* name : {"shell32.dll", "SHELL32.DLL"}) {
        SCOPED_TRACE(name);
        std::vector<unsigned char> block = Block(name);
        ASSERT_FALSE(block.empty());
        // VS_VERSIONINFO: total length, a 52-byte binary value, the key in UTF-16.
        EXPECT_EQ(block[0] | block[1] << 8, int(block.size()));
        EXPECT_EQ(block[2] | block[3] << 8, 52);
        EXPECT_EQ(block[6], 'V');
        EXPECT_EQ(block[8], 'S');
        void* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
        ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
        EXPECT_EQ(
            (reinterpret_cast<uintptr_t>(value) - reinterpret_cast<uintptr_t>(block.data())) % 4,
            0u);
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, value, sizeof info);
        EXPECT_EQ(info.dwSignature, VS_FFI_SIGNATURE);
        EXPECT_EQ(info.dwFileVersionMS, 0x00060000u);
        EXPECT_EQ(info.dwProductVersionMS, 0x00060000u);
        // No string tables are kept.
        EXPECT_FALSE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length));
        EXPECT_EQ(value, nullptr);
    }
}

TEST(FileVersion, WithoutARecordNothingIsRead) {
    struct Row {
        const char* name;
        DWORD error;
    };
    for (const Row& r :
         {Row{"/bin/sh", ERROR_RESOURCE_TYPE_NOT_FOUND},
          Row{"/no/such/file.dll", ERROR_FILE_NOT_FOUND},
          Row{"nosuchlibrary.dll", ERROR_FILE_NOT_FOUND}, Row{"", ERROR_INVALID_PARAMETER}}) {
        SCOPED_TRACE(r.name);
        DWORD handle = 0;
        EXPECT_EQ(GetFileVersionInfoSizeA(r.name, &handle), 0u);
        EXPECT_EQ(GetLastError(), r.error);
        unsigned char buffer[128] = {};
        EXPECT_FALSE(GetFileVersionInfoA(r.name, 0, sizeof buffer, buffer));
    }
    // A buffer too small, and a block that is not a version block.
    unsigned char small[16];
    EXPECT_FALSE(GetFileVersionInfoA("shell32.dll", 0, sizeof small, small));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    unsigned char junk[128] = {92, 0, 52, 0};
    void* value = nullptr;
    UINT length = 0;
    EXPECT_FALSE(VerQueryValueA(junk, "\\", &value, &length));
}

TEST(FileVersion, ALibraryGivenARecordAndLosingIt) {
    VS_FIXEDFILEINFO v{};
    v.dwSignature = VS_FFI_SIGNATURE;
    v.dwFileVersionMS = 0x00040047;
    RegisterModuleVersion("Probe32.dll", &v);
    std::vector<unsigned char> block = Block("probe32.dll");
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", &value, &length));
    EXPECT_EQ(static_cast<VS_FIXEDFILEINFO*>(value)->dwFileVersionMS, 0x00040047u);
    RegisterModuleVersion("PROBE32.DLL", nullptr);
    DWORD handle = 0;
    EXPECT_EQ(GetFileVersionInfoSizeA("probe32.dll", &handle), 0u);
}

}  // namespace
