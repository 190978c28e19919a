// The mouse capture: one window of the program holds it at a time. A window that loses it
// (to another window or by ReleaseCapture) is told with WM_CAPTURECHANGED, whose LPARAM is
// the new holder (0 when none). A window that is destroyed holds it no more.
#pragma once

#include "platform/win/wintypes.h"

struct POINT;

enum : UINT { WM_CANCELMODE = 0x001F };

// Gives the capture to the window and answers the window that held it before (or null).
HWND SetCapture(HWND hwnd);
BOOL ReleaseCapture();
// The window holding the capture, or null.
HWND GetCapture();

// Where the mouse is on the screen, as the window system last reported it.
BOOL GetCursorPos(POINT* p);
// The window system reports the mouse's screen position with each mouse event.
void NoteCursorPos(int x, int y);
