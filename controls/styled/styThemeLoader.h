// The visual-styles library, loaded by name at start-up so that the layer also runs where
// it is missing. Every caller tests ThemeLibraryLoaded and the entry it calls first; a
// missing library or entry sends the drawing down the classic path.
#pragma once

#include "platform/win/module.h"

enum TStyThemeEntry : int {
    teDrawThemeEdge,
    teDrawThemeBackground,
    teDrawThemeParentBackground,
    teDrawThemeText,
    teDrawThemeIcon,
    teOpenThemeData,
    teCloseThemeData,
    teIsThemeBackgroundPartiallyTransparent,
    teGetThemeBackgroundContentRect,
    teSetWindowTheme,
    teSetThemeAppProperties,
    teIsThemePartDefined,
    teGetThemeColor,
    teGetThemeMetric,
    teGetThemeString,
    teGetThemeBool,
    teGetThemeInt,
    teGetThemeEnumValue,
    teGetThemePosition,
    teGetThemeFont,
    teGetThemeRect,
    teGetThemeFilename,
    teGetThemeSysColor,
    teGetThemeSysColorBrush,
    teGetThemeSysBool,
    teIsThemeActive,
    teIsAppThemed,
    teGetWindowTheme,
    teEnableThemeDialogTexture,
    teIsThemeDialogTextureEnabled,
    teEnableTheming,
    teThemeEntryCount
};
static_assert(teThemeEntryCount == 31);

inline constexpr const char* ThemeLibraryName = "UxTheme.dll";
extern const char* const ThemeEntryNames[teThemeEntryCount];

extern HMODULE ThemeLibrary;
// True when the library was loaded, whether or not every entry was found.
extern bool ThemeLibraryLoaded;

// Loads the library and looks up every entry in order (again only after FreeThemeLibrary).
void LoadThemeLibrary(const char* libraryName = ThemeLibraryName);
void FreeThemeLibrary();

// The entry as found, or nullptr when the library or the entry is missing.
FARPROC ThemeEntry(TStyThemeEntry e);
template <class F>
F ThemeCall(TStyThemeEntry e) {
    return reinterpret_cast<F>(ThemeEntry(e));
}

// Themes are in use: the library is loaded and its IsThemeActive says so.
bool StyThemesActive();
// SetThemeAppProperties when the library has it; nothing otherwise.
void StySetThemeAppProperties(DWORD flags);
