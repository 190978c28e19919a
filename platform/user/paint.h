// Painting windows: invalidation and the paint cycle, window shapes, and the drawing calls
// of the window manager (3D edges, frame controls, formatted text), made of GDI calls.
#pragma once

#include "platform/gdi/gdi.h"

// ---------------------------------------------------------------- window painting
struct PAINTSTRUCT {
    HDC hdc = nullptr;
    BOOL fErase = 0;
    RECT rcPaint;
    BOOL fRestore = 0, fIncUpdate = 0;
    BYTE rgbReserved[32] = {};
};
HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps);
BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase);
BOOL InvalidateRgn(HWND hwnd, HRGN rgn, BOOL erase);
BOOL ValidateRect(HWND hwnd, const RECT* r);
BOOL ValidateRgn(HWND hwnd, HRGN rgn);
BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL erase);
BOOL UpdateWindow(HWND hwnd);
constexpr UINT RDW_INVALIDATE = 1, RDW_INTERNALPAINT = 2, RDW_ERASE = 4, RDW_VALIDATE = 8,
               RDW_NOINTERNALPAINT = 0x10;
constexpr UINT RDW_NOERASE = 0x20, RDW_NOCHILDREN = 0x40, RDW_ALLCHILDREN = 0x80,
               RDW_UPDATENOW = 0x100, RDW_ERASENOW = 0x200;
constexpr UINT RDW_FRAME = 0x400, RDW_NOFRAME = 0x800;
BOOL RedrawWindow(HWND hwnd, const RECT* r, HRGN rgn, UINT flags);
BOOL LockWindowUpdate(HWND hwnd);

// ---------------------------------------------------------------- window shapes
// Shapes a top-level window (frame included; window coordinates); null removes the shape.
// The region belongs to the window afterwards.
int SetWindowRgn(HWND hwnd, HRGN rgn, BOOL redraw);
int GetWindowRgn(HWND hwnd, HRGN rgn);

// ---------------------------------------------------------------- formatted text
constexpr UINT DT_TOP = 0, DT_LEFT = 0, DT_CENTER = 1, DT_RIGHT = 2, DT_VCENTER = 4, DT_BOTTOM = 8,
               DT_WORDBREAK = 0x10;
constexpr UINT DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
               DT_EXTERNALLEADING = 0x200;
constexpr UINT DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
               DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000, DT_RTLREADING = 0x20000,
               DT_WORD_ELLIPSIS = 0x40000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x80000, DT_HIDEPREFIX = 0x100000,
               DT_PREFIXONLY = 0x200000;
struct DRAWTEXTPARAMS {
    UINT cbSize = 20;
    int iTabLength = 8, iLeftMargin = 0, iRightMargin = 0;
    UINT uiLengthDrawn = 0;
};
// Answers the height of the text drawn (or measured, with DT_CALCRECT); `len` -1 for a zero-ended
// text.
int DrawTextA(HDC dc, const char* text, int len, RECT* r, UINT format);
int DrawTextExA(HDC dc, char* text, int len, RECT* r, UINT format, DRAWTEXTPARAMS* params);

// ---------------------------------------------------------------- 3D edges and frame controls
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);
constexpr UINT DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4;
constexpr UINT DFCS_CAPTIONCLOSE = 0, DFCS_CAPTIONMIN = 1, DFCS_CAPTIONMAX = 2,
               DFCS_CAPTIONRESTORE = 3, DFCS_CAPTIONHELP = 4;
constexpr UINT DFCS_MENUARROW = 0, DFCS_MENUCHECK = 1, DFCS_MENUBULLET = 2, DFCS_MENUARROWRIGHT = 4,
               DFCS_SCROLLUP = 0;
constexpr UINT DFCS_SCROLLDOWN = 1, DFCS_SCROLLLEFT = 2, DFCS_SCROLLRIGHT = 3,
               DFCS_SCROLLCOMBOBOX = 5, DFCS_SCROLLSIZEGRIP = 8;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x10, DFCS_BUTTONCHECK = 0, DFCS_BUTTONRADIOIMAGE = 1,
               DFCS_BUTTONRADIOMASK = 2;
constexpr UINT DFCS_BUTTONRADIO = 4, DFCS_BUTTON3STATE = 8, DFCS_BUTTONPUSH = 0x10,
               DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200;
constexpr UINT DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800, DFCS_HOT = 0x1000,
               DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000;
BOOL DrawFrameControl(HDC dc, RECT* r, UINT type, UINT state);
