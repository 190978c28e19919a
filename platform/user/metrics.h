// System metrics and parameters: the sizes of the window frame this platform draws (frames,
// captions, caption buttons, icons), the screen and its work area, and the non-client
// metrics with the caption font.
#pragma once

#include "platform/gdi/gdi.h"

constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CYCAPTION = 4, SM_CXBORDER = 5, SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CXFIXEDFRAME = 7, SM_CYFIXEDFRAME = 8,
              SM_CXICON = 11;
constexpr int SM_CYICON = 12, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33;
constexpr int SM_CXSIZEFRAME = 32, SM_CYSIZEFRAME = 33, SM_CXSMICON = 49, SM_CYSMICON = 50,
              SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52, SM_CYSMSIZE = 53;
// The smallest size a window can be dragged to by its sizing border.
constexpr int SM_CXMINTRACK = 34, SM_CYMINTRACK = 35;
// How far the mouse moves with a button held before a drag begins.
constexpr int SM_CXDRAG = 68, SM_CYDRAG = 69;
// 0 for an index this platform does not know.
int GetSystemMetrics(int index);

// The window styles that decide a window's frame.
constexpr DWORD WS_POPUP = 0x80000000, WS_CAPTION = 0x00C00000, WS_BORDER = 0x00800000,
                WS_DLGFRAME = 0x00400000, WS_SYSMENU = 0x00080000, WS_THICKFRAME = 0x00040000,
                WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001, WS_EX_TOOLWINDOW = 0x00000080,
                WS_EX_WINDOWEDGE = 0x00000100, WS_EX_CLIENTEDGE = 0x00000200,
                WS_EX_STATICEDGE = 0x00020000;
// Grows a client rectangle to the window rectangle a window of this style has: a sizing
// frame (WS_THICKFRAME), else a dialog frame (WS_DLGFRAME without a sizing frame, or
// WS_EX_DLGMODALFRAME), else a thin border (WS_BORDER); then the edges of the extended
// style and the caption (WS_CAPTION whole; a small one for a tool window). No menu bar.
BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL menu, DWORD exStyle);

constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029, SPI_GETWORKAREA = 0x0030;
struct NONCLIENTMETRICSA {
    UINT cbSize = sizeof(NONCLIENTMETRICSA);
    int iBorderWidth = 0, iScrollWidth = 0, iScrollHeight = 0, iCaptionWidth = 0,
        iCaptionHeight = 0;
    LOGFONTA lfCaptionFont;
    int iSmCaptionWidth = 0, iSmCaptionHeight = 0;
    LOGFONTA lfSmCaptionFont;
    int iMenuWidth = 0, iMenuHeight = 0;
    LOGFONTA lfMenuFont, lfStatusFont, lfMessageFont;
};
static_assert(sizeof(NONCLIENTMETRICSA) == 340, "the structure callers size as 340 bytes");
// SPI_GETNONCLIENTMETRICS fills a NONCLIENTMETRICSA whose cbSize is 340; SPI_GETWORKAREA a
// RECT (the screen, which has no task bar here). FALSE for anything else.
BOOL SystemParametersInfoA(UINT action, UINT param, void* out, UINT winIni);
