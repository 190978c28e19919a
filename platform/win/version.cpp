#include "platform/win/version.h"

#include <sys/utsname.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/rtl/sysutils.h"
#include "platform/rtl/utf8.h"

namespace {

struct KernelVersion {
    DWORD major = 0, minor = 0, build = 0;
};

// "6.1.44-fc" -> 6, 1, 44; parts that are missing stay 0.
KernelVersion kernelVersion() {
    KernelVersion v;
    utsname u;
    if (uname(&u) != 0) return v;
    DWORD* parts[] = {&v.major, &v.minor, &v.build};
    const char* p = u.release;
    for (auto* part : parts) {
        if (*p < '0' || *p > '9') break;
        DWORD n = 0;
        while (*p >= '0' && *p <= '9') n = n * 10 + DWORD(*p++ - '0');
        *part = n;
        if (*p != '.') break;
        ++p;
    }
    return v;
}

std::string unquote(std::string v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string distributionName() {
    for (const char* file : {"/etc/os-release", "/usr/lib/os-release"}) {
        std::ifstream in(file);
        if (!in) continue;
        std::string line, pretty, name;
        while (std::getline(in, line)) {
            if (StartsStr("PRETTY_NAME=", line))
                pretty = unquote(line.substr(12));
            else if (StartsStr("NAME=", line))
                name = unquote(line.substr(5));
        }
        if (!pretty.empty()) return pretty;
        if (!name.empty()) return name;
    }
    return "Linux";
}

}  // namespace

BOOL GetVersionExA(OSVERSIONINFOA* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE_;
    }
    DWORD size = info->dwOSVersionInfoSize;
    if (size != sizeof(OSVERSIONINFOA) && size != sizeof(OSVERSIONINFOEXA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE_;
    }
    KernelVersion k = kernelVersion();
    info->dwMajorVersion = k.major;
    info->dwMinorVersion = k.minor;
    info->dwBuildNumber = k.build;
    info->dwPlatformId = VER_PLATFORM_LINUX;
    std::string name = distributionName();
    const size_t n = Utf8CutPoint(name, sizeof info->szCSDVersion - 1);
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, name.data(), n);
    if (size == sizeof(OSVERSIONINFOEXA)) {
        auto* ex = reinterpret_cast<OSVERSIONINFOEXA*>(info);
        ex->wServicePackMajor = 0;
        ex->wServicePackMinor = 0;
        ex->wSuiteMask = 0;
        ex->wProductType = 1;  // a workstation
        ex->wReserved = 0;
    }
    return TRUE_;
}

DWORD GetVersion() {
    KernelVersion k = kernelVersion();
    return (k.major & 0xFF) | ((k.minor & 0xFF) << 8) | ((k.build & 0x7FFF) << 16);
}

BOOL QueryPerformanceCounter(int64_t* count) {
    if (!count) return FALSE_;
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    *count = int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    return TRUE_;
}

BOOL QueryPerformanceFrequency(int64_t* frequency) {
    if (!frequency) return FALSE_;
    *frequency = 1000000000;
    return TRUE_;
}
