#include <gtest/gtest.h>
#include <sys/utsname.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "platform/win/version.h"

TEST(Version, LinuxPlatformWithKernelNumbers) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_EQ(v.dwPlatformId, VER_PLATFORM_LINUX);
    utsname u;
    ASSERT_EQ(uname(&u), 0);
    unsigned major = 0, minor = 0, patch = 0;
    int got = std::sscanf(u.release, "%u.%u.%u", &major, &minor, &patch);
    ASSERT_GE(got, 2);
    EXPECT_EQ(v.dwMajorVersion, major);
    EXPECT_EQ(v.dwMinorVersion, minor);
    if (got == 3) {
        EXPECT_EQ(v.dwBuildNumber, patch);
    }
    EXPECT_EQ(GetVersion() & 0xFF, major & 0xFF);
    EXPECT_EQ((GetVersion() >> 8) & 0xFF, minor & 0xFF);
    EXPECT_EQ(GetVersion() & 0x80000000u, 0u);
}

TEST(Version, ServiceTextIsTheDistributionName) {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionExA(&v));
    EXPECT_LT(std::strlen(v.szCSDVersion), sizeof v.szCSDVersion);
    std::ifstream in("/etc/os-release");
    std::string line, pretty;
    while (std::getline(in, line))
        if (line.rfind("PRETTY_NAME=", 0) == 0) pretty = line.substr(12);
    if (pretty.size() >= 2 && pretty.front() == '"') pretty = pretty.substr(1, pretty.size() - 2);
    if (pretty.empty()) GTEST_SKIP() << "no PRETTY_NAME here";
    EXPECT_EQ(std::string(v.szCSDVersion), pretty.substr(0, 127));
}

TEST(Version, OnlyKnownRecordSizesAreAccepted) {
    OSVERSIONINFOEXA ex{};
    ex.dwOSVersionInfoSize = sizeof ex;
    EXPECT_TRUE(GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&ex)));
    EXPECT_EQ(ex.dwPlatformId, VER_PLATFORM_LINUX);
    OSVERSIONINFOA bad{};
    bad.dwOSVersionInfoSize = 0;
    EXPECT_FALSE(GetVersionExA(&bad));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(bad.dwPlatformId, 0u);
}

TEST(PerformanceCounter, NanosecondsThatNeverGoBack) {
    int64_t f = 0, a = 0, b = 0;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f, 1000000000);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GT(a, 0);
    EXPECT_GE(b, a);
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
}
