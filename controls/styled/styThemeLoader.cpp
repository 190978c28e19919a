#include "controls/styled/styThemeLoader.h"

const char* const ThemeEntryNames[teThemeEntryCount] = {
    "DrawThemeEdge",
    "DrawThemeBackground",
    "DrawThemeParentBackground",
    "DrawThemeText",
    "DrawThemeIcon",
    "OpenThemeData",
    "CloseThemeData",
    "IsThemeBackgroundPartiallyTransparent",
    "GetThemeBackgroundContentRect",
    "SetWindowTheme",
    "SetThemeAppProperties",
    "IsThemePartDefined",
    "GetThemeColor",
    "GetThemeMetric",
    "GetThemeString",
    "GetThemeBool",
    "GetThemeInt",
    "GetThemeEnumValue",
    "GetThemePosition",
    "GetThemeFont",
    "GetThemeRect",
    "GetThemeFilename",
    "GetThemeSysColor",
    "GetThemeSysColorBrush",
    "GetThemeSysBool",
    "IsThemeActive",
    "IsAppThemed",
    "GetWindowTheme",
    "EnableThemeDialogTexture",
    "IsThemeDialogTextureEnabled",
    "EnableTheming",
};

HMODULE ThemeLibrary = nullptr;
bool ThemeLibraryLoaded = false;

namespace {
FARPROC g_entries[teThemeEntryCount] = {};
}

void LoadThemeLibrary(const char* libraryName) {
    if (ThemeLibrary) return;
    ThemeLibrary = LoadLibraryA(libraryName);
    ThemeLibraryLoaded = ThemeLibrary != nullptr;
    for (int i = 0; i < teThemeEntryCount; ++i)
        g_entries[i] =
            ThemeLibraryLoaded ? GetProcAddress(ThemeLibrary, ThemeEntryNames[i]) : nullptr;
}

void FreeThemeLibrary() {
    if (ThemeLibrary) FreeLibrary(ThemeLibrary);
    ThemeLibrary = nullptr;
    ThemeLibraryLoaded = false;
    for (auto& e : g_entries) e = nullptr;
}

FARPROC ThemeEntry(TStyThemeEntry e) {
    if (!ThemeLibraryLoaded || e < 0 || e >= teThemeEntryCount) return nullptr;
    return g_entries[e];
}

bool StyThemesActive() {
    auto isActive = ThemeCall<BOOL (*)()>(teIsThemeActive);
    return isActive && isActive() != 0;
}

void StySetThemeAppProperties(DWORD flags) {
    if (auto set = ThemeCall<void (*)(DWORD)>(teSetThemeAppProperties)) set(flags);
}
