// Window handles. A window is owned by a control of the class library (or by nobody, for
// hidden utility windows); its procedure can be taken over and given back in any order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

struct RECT;
struct POINT;

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct WindowObject {
    std::string className;
    HWND parent = nullptr;
    std::shared_ptr<WNDPROC> proc;  // the current window procedure
    void* control = nullptr;        // the class-library control that made it
    void* peer = nullptr;           // the window system's widget (platform/qt)
    intptr_t userData = 0;
    // Where the window is on the screen and the size of its client area, for windows whose
    // place the program decides itself (the shell's dialogs); the window layer follows them.
    // A child's place is in its parent's client area.
    int left = 0, top = 0, width = 0, height = 0, clientWidth = 0, clientHeight = 0;
    int controlId = 0;  // a dialog item's identifier
    std::string text;   // the text it was made with (a button's caption)
    DWORD style = 0;
    bool destroyed = false;  // WM_DESTROY sent: on its way out
};

HWND CreateWindowObject(const std::string& className, HWND parent, WNDPROC proc, void* control);
// The window behind a handle, or null for a handle that is unknown or destroyed.
WindowObject* WindowFromHandle(HWND hwnd);
// Destroys the window and its children, as Windows does: WM_DESTROY to the window, then to
// each child (oldest first, each before its own children), then WM_NCDESTROY to the
// children (each after its own) and last to the window; every handle is invalid after.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
// The windows without a parent, oldest first (what a broadcast reaches).
std::vector<HWND> TopLevelWindows();
// The top-level window that has the keyboard (null when none of the program's has).
HWND GetActiveWindow();
// The window the user works in (of the program's windows: the active one).
HWND GetForegroundWindow();
// A top-level window shown minimised (iconic) or maximised (zoomed) by the window system.
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Replaces the window procedure and returns the one it replaces (to call on and to restore).
std::shared_ptr<WNDPROC> SetWindowProc(HWND hwnd, std::shared_ptr<WNDPROC> proc);
std::shared_ptr<WNDPROC> GetWindowProc(HWND hwnd);
LRESULT CallWindowProcA(const std::shared_ptr<WNDPROC>& proc, HWND hwnd, UINT msg, WPARAM w,
                        LPARAM l);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
// The window's rectangle on the screen and its client area (origin 0, 0); FALSE for a handle
// that is no window. SetWindowPos moves (and, without SWP_NOSIZE, sizes) the window; x and y
// are in the parent's client area (on the screen for a top-level window). A window shown by
// the window system hears its new place as WM_WINDOWPOSCHANGED, then WM_MOVE.
BOOL GetWindowRect(HWND hwnd, RECT* r);
BOOL GetClientRect(HWND hwnd, RECT* r);
constexpr UINT SWP_NOSIZE = 0x0001, SWP_NOMOVE = 0x0002, SWP_NOZORDER = 0x0004,
               SWP_NOACTIVATE = 0x0010;
BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
// WM_WINDOWPOSCHANGED's lParam: the window's new place (SWP_ flags say what changed).
struct WINDOWPOS {
    HWND hwnd = nullptr;
    HWND hwndInsertAfter = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    UINT flags = 0;
};
// WM_SIZING's wParam: the edge or corner being dragged (lParam points to the proposed RECT,
// which the window may change; WM_MOVING has the same RECT).
enum : WPARAM {
    WMSZ_LEFT = 1,
    WMSZ_RIGHT = 2,
    WMSZ_TOP = 3,
    WMSZ_TOPLEFT = 4,
    WMSZ_TOPRIGHT = 5,
    WMSZ_BOTTOM = 6,
    WMSZ_BOTTOMLEFT = 7,
    WMSZ_BOTTOMRIGHT = 8
};
// The child of a dialog window with this identifier, or null.
HWND GetDlgItem(HWND dialog, int id);

// Child windows made by the program inside a window it does not draw itself (a button on a
// shell dialog): the window showing the parent shows them from their place, text and style.
constexpr DWORD WS_TABSTOP = 0x00010000, WS_CLIPSIBLINGS = 0x04000000, WS_VISIBLE = 0x10000000,
                WS_CHILD = 0x40000000;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
using HMENU = void*;
// Makes a window of a class at x, y in the parent's client area; a child's `menu` is its
// control identifier. The parent hears WM_PARENTNOTIFY (WM_CREATE in the low word, the
// identifier in the high word, the child in lParam).
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param);
// The next child of `parent` after `after` (null: the first), oldest first, whose class
// (in any case) and text match; a null class or text matches any.
HWND FindWindowExA(HWND parent, HWND after, const char* className, const char* windowName);
// A screen point in the window's client area.
BOOL ScreenToClient(HWND hwnd, POINT* p);
