// The visual-style (theme) calls of "UxTheme.dll". Themes are off unless the environment
// variable VEXOMAT_THEMES is "1": then IsThemeActive answers TRUE, OpenThemeData gives a
// handle and the drawing calls paint a plain flat look; otherwise OpenThemeData returns 0,
// the drawing calls answer E_FAIL, and every control draws its classic look. The calls can
// also be reached by name through LoadLibraryA("UxTheme.dll") and GetProcAddress.
#pragma once

#include <string>

#include "platform/win/com.h"
#include "platform/win/imageList.h"

struct HDC__;
using HDC = HDC__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct RECT;
struct POINT;
struct SIZE;
struct LOGFONTW;
struct HTHEME__;
using HTHEME = HTHEME__*;

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };
constexpr DWORD STAP_ALLOW_NONCLIENT = 1, STAP_ALLOW_CONTROLS = 2, STAP_ALLOW_WEBCONTENT = 4;
constexpr DWORD ETDT_DISABLE = 1, ETDT_ENABLE = 2, ETDT_USETABTEXTURE = 4, ETDT_ENABLETAB = 6;
// Property ids that GetThemeColor answers.
constexpr int TMT_BORDERCOLOR = 3801, TMT_FILLCOLOR = 3802, TMT_TEXTCOLOR = 3803,
              TMT_EDGELIGHTCOLOR = 3804, TMT_EDGEHIGHLIGHTCOLOR = 3805, TMT_EDGESHADOWCOLOR = 3806,
              TMT_EDGEDKSHADOWCOLOR = 3807, TMT_EDGEFILLCOLOR = 3808;
// Settings GetThemeSysBool answers.
constexpr int TMT_FLATMENUS = 1001;
constexpr DWORD ERROR_NOT_FOUND = 1168;

BOOL IsThemeActive();
BOOL IsAppThemed();
HRESULT EnableTheming(BOOL enable);
void SetThemeAppProperties(DWORD flags);
DWORD GetThemeAppProperties();
HTHEME OpenThemeData(HWND hwnd, const wchar_t* classList);
HRESULT CloseThemeData(HTHEME theme);
// The theme data opened last for the window of those still open (null when none).
HTHEME GetWindowTheme(HWND hwnd);
// Two empty names switch the window's themes off (its OpenThemeData answers null), a class
// list makes its OpenThemeData open those classes instead, two nulls undo the choice.
HRESULT SetWindowTheme(HWND hwnd, const wchar_t* subAppName, const wchar_t* subIdList);
HRESULT GetCurrentThemeName(wchar_t* themeFile, int maxFile, wchar_t* colorName, int maxColor,
                            wchar_t* sizeName, int maxSize);
HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD flags);
BOOL IsThemeDialogTextureEnabled(HWND hwnd);
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);

HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* r,
                            const RECT* clip);
HRESULT DrawThemeParentBackground(HWND hwnd, HDC dc, RECT* r);
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int count,
                      DWORD flags, DWORD flags2, const RECT* r);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge,
                      UINT flags, RECT* content);
HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* r, HIMAGELIST list,
                      int index);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds,
                                      RECT* content);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* r, THEMESIZE kind,
                         SIZE* out);

HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* out);
HRESULT GetThemeMetric(HTHEME theme, HDC dc, int part, int state, int prop, int* out);
HRESULT GetThemeString(HTHEME theme, int part, int state, int prop, wchar_t* out, int max);
HRESULT GetThemeBool(HTHEME theme, int part, int state, int prop, BOOL* out);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* out);
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int prop, int* out);
HRESULT GetThemePosition(HTHEME theme, int part, int state, int prop, POINT* out);
HRESULT GetThemeFont(HTHEME theme, HDC dc, int part, int state, int prop, LOGFONTW* out);
HRESULT GetThemeRect(HTHEME theme, int part, int state, int prop, RECT* out);
HRESULT GetThemeFilename(HTHEME theme, int part, int state, int prop, wchar_t* out, int max);
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId);
// TRUE for TMT_FLATMENUS of an open theme (the flat look); FALSE otherwise, with the cause
// (an invalid handle, a setting the theme does not hold) as the last error.
BOOL GetThemeSysBool(HTHEME theme, int boolId);

// The theme class a handle was opened for ("BUTTON", "PROGRESS", ...), "" for none.
std::string ThemeClassOf(HTHEME theme);
// Publishes the drawing calls (which need the GDI) under "uxtheme.dll"; the class
// library's application object does it when it is made.
void RegisterThemeDrawingExports();
