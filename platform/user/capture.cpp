#include "platform/user/capture.h"

#include "platform/user/messages.h"
#include "platform/user/window.h"

#include "platform/gdi/gdi.h"

namespace {
HWND g_capture = nullptr;
POINT g_cursor;
}  // namespace

BOOL GetCursorPos(POINT* p) {
    if (!p) return 0;
    *p = g_cursor;
    return 1;
}

void NoteCursorPos(int x, int y) { g_cursor = POINT{x, y}; }

HWND GetCapture() {
    if (g_capture && !IsWindow(g_capture)) g_capture = nullptr;  // destroyed meanwhile
    return g_capture;
}

HWND SetCapture(HWND hwnd) {
    const HWND previous = GetCapture();
    if (!IsWindow(hwnd)) return previous;
    g_capture = hwnd;
    if (previous && previous != hwnd) SendMessageA(previous, WM_CAPTURECHANGED, 0, LPARAM(hwnd));
    return previous;
}

BOOL ReleaseCapture() {
    const HWND previous = GetCapture();
    g_capture = nullptr;
    if (previous) SendMessageA(previous, WM_CAPTURECHANGED, 0, 0);
    return 1;
}
