// Window handles. A window is owned by a control of the class library (or by nobody, for
// hidden utility windows); its procedure can be taken over and given back in any order.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/win/wintypes.h"

using WNDPROC = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

struct WindowObject {
    std::string className;
    HWND parent = nullptr;
    std::shared_ptr<WNDPROC> proc;  // the current window procedure
    void* control = nullptr;        // the class-library control that made it
    void* peer = nullptr;           // the window system's widget (platform/qt)
    intptr_t userData = 0;
};

HWND CreateWindowObject(const std::string& className, HWND parent, WNDPROC proc, void* control);
// The window behind a handle, or null for a handle that is unknown or destroyed.
WindowObject* WindowFromHandle(HWND hwnd);
// Sends WM_DESTROY and WM_NCDESTROY, then invalidates the handle.
BOOL DestroyWindow(HWND hwnd);
BOOL IsWindow(HWND hwnd);
// The windows without a parent, oldest first (what a broadcast reaches).
std::vector<HWND> TopLevelWindows();
// The top-level window that has the keyboard (null when none of the program's has).
HWND GetActiveWindow();
// A top-level window shown minimised (iconic) or maximised (zoomed) by the window system.
BOOL IsIconic(HWND hwnd);
BOOL IsZoomed(HWND hwnd);
// Replaces the window procedure and returns the one it replaces (to call on and to restore).
std::shared_ptr<WNDPROC> SetWindowProc(HWND hwnd, std::shared_ptr<WNDPROC> proc);
std::shared_ptr<WNDPROC> GetWindowProc(HWND hwnd);
LRESULT CallWindowProcA(const std::shared_ptr<WNDPROC>& proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
