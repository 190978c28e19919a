// The scroll bars a window shows: their range, page and position as the window system keeps
// them for the window's widget.
#pragma once

#include "platform/win/wintypes.h"

constexpr int SB_HORZ = 0, SB_VERT = 1;
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

struct SCROLLINFO {
    UINT cbSize = sizeof(SCROLLINFO);
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

// Fills what fMask asks for of the window's horizontal (SB_HORZ) or vertical (SB_VERT) bar:
// nMin..nMax is the whole extent, nPage the part shown, nPos the first unit shown. FALSE for
// a window without such a bar (or no window).
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info);
