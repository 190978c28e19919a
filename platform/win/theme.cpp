#include "platform/win/theme.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>

#include "platform/win/objectTable.h"

namespace {

struct ThemeObject {
    std::string classes;  // upper case, ";"-separated as given
    HWND hwnd = nullptr;
};

ObjectTable<ThemeObject>& Themes() {
    static ObjectTable<ThemeObject> table(HandleKind::Theme);
    return table;
}

bool g_enabled = true;  // EnableTheming
DWORD g_appProperties = STAP_ALLOW_NONCLIENT | STAP_ALLOW_CONTROLS | STAP_ALLOW_WEBCONTENT;

bool SettingOn() {
    const char* v = std::getenv("VEXOMAT_THEMES");
    return v && std::strcmp(v, "1") == 0;
}

std::shared_ptr<ThemeObject> Find(HTHEME theme) {
    return Themes().Find(reinterpret_cast<uintptr_t>(theme));
}

HRESULT CopyWide(const std::wstring& s, wchar_t* out, int max) {
    if (!out || max <= 0) return E_INVALIDARG;
    size_t n = std::min(s.size(), size_t(max - 1));
    std::wmemcpy(out, s.data(), n);
    out[n] = 0;
    return S_OK;
}

}  // namespace

BOOL IsThemeActive() { return SettingOn() && g_enabled ? TRUE_ : FALSE_; }
BOOL IsAppThemed() {
    return IsThemeActive() && (g_appProperties & STAP_ALLOW_CONTROLS) ? TRUE_ : FALSE_;
}

HRESULT EnableTheming(BOOL enable) {
    g_enabled = enable != 0;
    return S_OK;
}

void SetThemeAppProperties(DWORD flags) { g_appProperties = flags; }
DWORD GetThemeAppProperties() { return g_appProperties; }

HTHEME OpenThemeData(HWND hwnd, const wchar_t* classList) {
    if (!IsAppThemed() || !classList || !*classList) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    auto o = std::make_shared<ThemeObject>();
    for (const wchar_t* p = classList; *p; ++p)
        o->classes += char(std::towupper(wint_t(*p)) & 0x7F);
    o->hwnd = hwnd;
    return reinterpret_cast<HTHEME>(Themes().Add(o));
}

HRESULT CloseThemeData(HTHEME theme) {
    if (!theme) return S_OK;
    return Themes().Remove(reinterpret_cast<uintptr_t>(theme)) ? S_OK : E_HANDLE;
}

std::string ThemeClassOf(HTHEME theme) {
    auto o = Find(theme);
    return o ? o->classes : "";
}

HTHEME GetWindowTheme(HWND) { return nullptr; }
HRESULT SetWindowTheme(HWND, const wchar_t*, const wchar_t*) { return S_OK; }

HRESULT GetCurrentThemeName(wchar_t* file, int maxFile, wchar_t* color, int maxColor, wchar_t* size,
                            int maxSize) {
    if (!IsThemeActive()) return E_FAIL;
    if (file) CopyWide(L"Vexomat", file, maxFile);
    if (color) CopyWide(L"Normal", color, maxColor);
    if (size) CopyWide(L"Normal", size, maxSize);
    return S_OK;
}

HRESULT EnableThemeDialogTexture(HWND, DWORD) { return IsThemeActive() ? S_OK : E_FAIL; }
BOOL IsThemeDialogTextureEnabled(HWND) { return FALSE_; }
BOOL IsThemePartDefined(HTHEME theme, int, int) { return Find(theme) ? TRUE_ : FALSE_; }
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return FALSE_; }

HRESULT GetThemeString(HTHEME theme, int, int, int, wchar_t* out, int max) {
    if (!Find(theme)) return E_HANDLE;
    return CopyWide(L"", out, max);
}
HRESULT GetThemeBool(HTHEME theme, int, int, int, BOOL* out) {
    if (!Find(theme)) return E_HANDLE;
    if (!out) return E_INVALIDARG;
    *out = FALSE_;
    return E_FAIL;  // no such property
}
HRESULT GetThemeInt(HTHEME theme, int, int, int, int* out) {
    if (!Find(theme)) return E_HANDLE;
    if (!out) return E_INVALIDARG;
    *out = 0;
    return E_FAIL;
}
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int prop, int* out) {
    return GetThemeInt(theme, part, state, prop, out);
}
HRESULT GetThemeFilename(HTHEME theme, int, int, int, wchar_t* out, int max) {
    if (!Find(theme)) return E_HANDLE;
    CopyWide(L"", out, max);
    return E_FAIL;
}
BOOL GetThemeSysBool(HTHEME, int) { return FALSE_; }
