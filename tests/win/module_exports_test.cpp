// Libraries by name: published entry points, counted loads, the system folders and user.
#include <gtest/gtest.h>

#include <string>

#include "platform/win/module.h"
#include "platform/win/sysinfo.h"

namespace {

int Answer() { return 42; }

TEST(ModuleExports, LoadLookUpAndFree) {
    EXPECT_EQ(LoadLibraryA("nowhere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

    RegisterModuleExport("Probe.DLL", "Answer", reinterpret_cast<FARPROC>(&Answer));
    HMODULE a = LoadLibraryA("probe.dll");
    ASSERT_NE(a, nullptr);
    HMODULE b = LoadLibraryA("PROBE.dll");
    EXPECT_EQ(a, b);
    auto f = reinterpret_cast<int (*)()>(GetProcAddress(a, "Answer"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f(), 42);
    EXPECT_EQ(GetProcAddress(a, "answer"), nullptr);  // entry names keep their case
    EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_NE(GetProcAddress(a, "Answer"), nullptr);  // still loaded once
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_EQ(GetProcAddress(a, "Answer"), nullptr);
    EXPECT_FALSE(FreeLibrary(a));
}

TEST(SysInfo, FoldersAndUserName) {
    char buf[260];
    UINT n = GetSystemDirectoryA(buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "/usr/lib");
    EXPECT_EQ(GetSystemDirectoryA(buf, 3), 9u);  // too small: the size needed
    n = GetWindowsDirectoryA(buf, sizeof buf);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(buf[0], '/');
    EXPECT_NE(buf[n - 1], '/');

    DWORD size = sizeof buf;
    ASSERT_TRUE(GetUserNameA(buf, &size));
    EXPECT_EQ(size, std::string(buf).size() + 1);
    DWORD tiny = 1;
    EXPECT_FALSE(GetUserNameA(buf, &tiny));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(tiny, size);
}

}  // namespace
