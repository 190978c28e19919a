#include "platform/win/theme.h"

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <string>
#include <unordered_map>
#include <vector>

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

// What SetWindowTheme chose for a window: no theme at all, or the classes it is drawn as.
struct WindowChoice {
    bool off = false;
    std::string classes;  // upper case; empty: the classes its caller names
};
std::unordered_map<HWND, WindowChoice>& Choices() {
    static std::unordered_map<HWND, WindowChoice> choices;
    return choices;
}
// The theme data opened for each window and still open, oldest first.
std::unordered_map<HWND, std::vector<HTHEME>>& Opened() {
    static std::unordered_map<HWND, std::vector<HTHEME>> opened;
    return opened;
}

std::string UpperClasses(const wchar_t* list) {
    std::string out;
    for (const wchar_t* p = list; *p; ++p) out += char(std::towupper(wint_t(*p)) & 0x7F);
    return out;
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
    o->classes = UpperClasses(classList);
    if (hwnd) {
        if (auto it = Choices().find(hwnd); it != Choices().end()) {
            if (it->second.off) {
                SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
                return nullptr;
            }
            if (!it->second.classes.empty()) o->classes = it->second.classes;
        }
    }
    o->hwnd = hwnd;
    const auto theme = reinterpret_cast<HTHEME>(Themes().Add(o));
    if (hwnd) Opened()[hwnd].push_back(theme);
    return theme;
}

HRESULT CloseThemeData(HTHEME theme) {
    if (!theme) return S_OK;
    const auto o = Find(theme);
    if (!o || !Themes().Remove(reinterpret_cast<uintptr_t>(theme))) return E_HANDLE;
    if (auto it = Opened().find(o->hwnd); it != Opened().end()) {
        std::erase(it->second, theme);
        if (it->second.empty()) Opened().erase(it);
    }
    return S_OK;
}

std::string ThemeClassOf(HTHEME theme) {
    auto o = Find(theme);
    return o ? o->classes : "";
}

HTHEME GetWindowTheme(HWND hwnd) {
    const auto it = Opened().find(hwnd);
    return it != Opened().end() ? it->second.back() : nullptr;
}

// Two empty names switch the window's theme off, a class list draws it as those classes,
// two nulls give it back its own; the window's next OpenThemeData follows the choice.
HRESULT SetWindowTheme(HWND hwnd, const wchar_t* subAppName, const wchar_t* subIdList) {
    if (!hwnd) return E_INVALIDARG;
    if (!subAppName && !subIdList) {
        Choices().erase(hwnd);
        return S_OK;
    }
    WindowChoice c;
    c.off = subAppName && !*subAppName && subIdList && !*subIdList;
    if (subIdList) c.classes = UpperClasses(subIdList);
    Choices()[hwnd] = c;
    return S_OK;
}

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
// The theme's flat look has flat menus; it says nothing of any other system setting.
BOOL GetThemeSysBool(HTHEME theme, int boolId) {
    if (!Find(theme)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE_;
    }
    if (boolId == TMT_FLATMENUS) return TRUE_;
    SetLastError(ERROR_NOT_FOUND);
    return FALSE_;
}
