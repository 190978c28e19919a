#include "controls/styled/stySystem.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "controls/styled/styConsts.h"
#include "controls/styled/styPathStrings.h"
#include "platform/gdi/gdi.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/module.h"
#include "platform/win/sysinfo.h"
#include "platform/win/version.h"

bool IsWin9x = false, IsWin98OrLater = false, IsWinMe = false, IsWinNT = false, IsWin2000 = false,
     IsWinXP = false;
bool StyDragFullWindows = false;

namespace {

OSVERSIONINFOA VersionInfo() {
    OSVERSIONINFOA v{};
    v.dwOSVersionInfoSize = sizeof v;
    if (!GetVersionExA(&v)) v = OSVERSIONINFOA{};
    return v;
}

}  // namespace

void StyInitSystemFlags() {
    OSVERSIONINFOA v = VersionInfo();
    if (v.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
        IsWin9x = true;
        IsWin98OrLater = v.dwMinorVersion >= 10;
        IsWinMe = v.dwMajorVersion >= 4 && v.dwMinorVersion >= 90;
    } else if (v.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        IsWinNT = true;
        StyDragFullWindows = true;
        BYTE major = BYTE(GetVersion() & 0xFF);
        IsWin2000 = major == 5 && v.dwMinorVersion == 0;
        IsWinXP = major == 5 && v.dwMinorVersion == 1;
    }
}

uint8_t GetColorDepth() {
    HDC dc = GetDC(nullptr);  // the screen, as a display context would give it
    int depth = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    return uint8_t(depth);
}

DWORD GetMajorVersion() { return VersionInfo().dwMajorVersion; }
DWORD GetMinorVersion() { return VersionInfo().dwMinorVersion; }

std::string GetUserLogonName() {
    char buffer[64];
    DWORD size = 63;
    if (!GetUserNameA(buffer, &size)) return SStyUnknownUser;
    return buffer;
}

int StyRound(double v) {
    // The default floating-point mode rounds halves to the even neighbour.
    return int(std::nearbyint(v));
}

TPoint RectSize(const TRect& r) { return Point(r.Right - r.Left, r.Bottom - r.Top); }

int MaxOfArray(const std::vector<int>& values, int high) {
    if (values.empty()) return 0;
    int last = std::clamp(high, 0, int(values.size()) - 1);
    return *std::max_element(values.begin(), values.begin() + last + 1);
}

int MinOfArray(const std::vector<int>& values, int high) {
    if (values.empty()) return 0;
    int last = std::clamp(high, 0, int(values.size()) - 1);
    return *std::min_element(values.begin(), values.begin() + last + 1);
}

long double MinOfFloats(const std::vector<long double>& values, int high) {
    if (values.empty()) return 0;
    int last = std::clamp(high, 0, int(values.size()) - 1);
    return *std::min_element(values.begin(), values.begin() + last + 1);
}

TRect FitRect(const TRect& source, const TRect& dest) {
    TPoint s = RectSize(source), d = RectSize(dest);
    if (s.X <= 0 || s.Y <= 0) return Rect(dest.Left, dest.Top, dest.Left, dest.Top);
    double scale = std::min(double(d.X) / s.X, double(d.Y) / s.Y);
    return Rect(dest.Left, dest.Top, dest.Left + StyRound(s.X * scale),
                dest.Top + StyRound(s.Y * scale));
}

TRect RotatedBounds(const TRect& r, int degrees) {
    if (degrees == 0) return r;
    // The box of the turned rectangle is |w cos| + |h sin| by |w sin| + |h cos|, rounded
    // once: rounding each corner's half offset (to even) lost a pixel on odd sizes.
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::fabs(std::cos(a)), s = std::fabs(std::sin(a));
    const double w = r.Right - r.Left, h = r.Bottom - r.Top;
    return Rect(0, 0, StyRound(w * c + h * s), StyRound(w * s + h * c));
}

std::string GetWindowsFolder() {
    char buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    return AddBackslash(n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string());
}

std::string GetSystemFolder() {
    char buffer[MAX_PATH];
    UINT n = GetSystemDirectoryA(buffer, MAX_PATH);
    return AddBackslash(n > 0 && n < MAX_PATH ? std::string(buffer, n) : std::string());
}

std::string GetProgramFolder() { return ExtractFilePath(ModuleFileName()); }

std::string GetPathPrefix(TStyPathPrefix prefix, bool trailingDelimiter) {
    std::string folder;
    switch (prefix) {
        case ppWindows:
            folder = GetWindowsFolder();
            break;
        case ppSystem:
            folder = GetSystemFolder();
            break;
        case ppProgram:
            folder = GetProgramFolder();
            break;
        case ppFixed:
            return "";
    }
    return trailingDelimiter ? AddBackslash(folder) : RemoveBackslash(folder);
}
