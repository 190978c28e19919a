// Window messages: the queue, posting and sending, timers, and the wait for the next
// message. One thread owns every window; the wait also wakes for registered fds (wake.h).
#pragma once

#include <functional>
#include <string>

#include "platform/win/wintypes.h"

using UINT_PTR = uintptr_t;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
};

// Window messages the program uses (Windows numbering).
enum : UINT {
    WM_NULL = 0x0000,
    WM_CREATE = 0x0001,
    WM_DESTROY = 0x0002,
    WM_MOVE = 0x0003,
    WM_SIZE = 0x0005,
    WM_ACTIVATE = 0x0006,
    WM_SETFOCUS = 0x0007,
    WM_KILLFOCUS = 0x0008,
    WM_ENABLE = 0x000A,
    WM_SETREDRAW = 0x000B,
    WM_SETTEXT = 0x000C,
    WM_GETTEXT = 0x000D,
    WM_GETTEXTLENGTH = 0x000E,
    WM_PAINT = 0x000F,
    WM_CLOSE = 0x0010,
    WM_QUIT = 0x0012,
    WM_ERASEBKGND = 0x0014,
    WM_SYSCOLORCHANGE = 0x0015,
    WM_SHOWWINDOW = 0x0018,
    WM_SETCURSOR = 0x0020,
    WM_MOUSEACTIVATE = 0x0021,
    WM_DRAWITEM = 0x002B,
    WM_MEASUREITEM = 0x002C,
    WM_SETFONT = 0x0030,
    WM_GETFONT = 0x0031,
    WM_WINDOWPOSCHANGED = 0x0047,
    WM_NOTIFY = 0x004E,
    WM_HELP = 0x0053,
    WM_NCCREATE = 0x0081,
    WM_NCDESTROY = 0x0082,
    WM_NCCALCSIZE = 0x0083,
    WM_NCHITTEST = 0x0084,
    WM_NCPAINT = 0x0085,
    WM_NCACTIVATE = 0x0086,
    WM_GETDLGCODE = 0x0087,
    WM_NCMOUSEMOVE = 0x00A0,
    WM_NCLBUTTONDOWN = 0x00A1,
    WM_NCLBUTTONUP = 0x00A2,
    WM_NCRBUTTONDOWN = 0x00A4,
    WM_NCRBUTTONUP = 0x00A5,
    WM_KEYDOWN = 0x0100,
    WM_KEYUP = 0x0101,
    WM_CHAR = 0x0102,
    WM_SYSKEYDOWN = 0x0104,
    WM_SYSKEYUP = 0x0105,
    WM_SYSCHAR = 0x0106,
    WM_COMMAND = 0x0111,
    WM_SYSCOMMAND = 0x0112,
    WM_TIMER = 0x0113,
    WM_HSCROLL = 0x0114,
    WM_VSCROLL = 0x0115,
    WM_CTLCOLOREDIT = 0x0133,
    WM_CTLCOLORLISTBOX = 0x0134,
    WM_CTLCOLORSTATIC = 0x0138,
    WM_MOUSEMOVE = 0x0200,
    WM_LBUTTONDOWN = 0x0201,
    WM_LBUTTONUP = 0x0202,
    WM_LBUTTONDBLCLK = 0x0203,
    WM_RBUTTONDOWN = 0x0204,
    WM_RBUTTONUP = 0x0205,
    WM_RBUTTONDBLCLK = 0x0206,
    WM_MBUTTONDOWN = 0x0207,
    WM_MBUTTONUP = 0x0208,
    WM_MOUSEWHEEL = 0x020A,
    WM_SIZING = 0x0214,
    WM_CAPTURECHANGED = 0x0215,
    WM_MOVING = 0x0216,
    WM_DEVICECHANGE = 0x0219,
    WM_MDIACTIVATE = 0x0222,
    WM_MDINEXT = 0x0224,
    WM_MDIGETACTIVE = 0x0229,
    WM_MOUSELEAVE = 0x02A3,
    WM_PRINT = 0x0317,
    WM_PRINTCLIENT = 0x0318,
    WM_THEMECHANGED = 0x031A,
    WM_USER = 0x0400,
    WM_APP = 0x8000,
};

// Messages of top-level windows: icons, display and setting changes.
enum : UINT {
    WM_SETTINGCHANGE = 0x001A,
    WM_DISPLAYCHANGE = 0x007E,
    WM_GETICON = 0x007F,
    WM_SETICON = 0x0080
};
enum : WPARAM { ICON_SMALL = 0, ICON_BIG = 1 };

// What WM_NCHITTEST answers: the part of a window at a screen point.
enum : int {
    HTNOWHERE = 0,
    HTCLIENT = 1,
    HTCAPTION = 2,
    HTSYSMENU = 3,
    HTMINBUTTON = 8,
    HTMAXBUTTON = 9,
    HTLEFT = 10,
    HTRIGHT = 11,
    HTTOP = 12,
    HTTOPLEFT = 13,
    HTTOPRIGHT = 14,
    HTBOTTOM = 15,
    HTBOTTOMLEFT = 16,
    HTBOTTOMRIGHT = 17,
    HTBORDER = 18,
    HTCLOSE = 20,
    HTHELP = 21,
};

// What a control answers to WM_GETDLGCODE.
enum : UINT {
    DLGC_WANTARROWS = 0x0001,
    DLGC_WANTTAB = 0x0002,
    DLGC_WANTALLKEYS = 0x0004,
    DLGC_WANTMESSAGE = 0x0004,
    DLGC_HASSETSEL = 0x0008,
    DLGC_DEFPUSHBUTTON = 0x0010,
    DLGC_UNDEFPUSHBUTTON = 0x0020,
    DLGC_RADIOBUTTON = 0x0040,
    DLGC_WANTCHARS = 0x0080,
    DLGC_STATIC = 0x0100,
    DLGC_BUTTON = 0x2000,
};

// Mouse positions in LPARAM: x in the low word, y in the high word, both signed.
inline LPARAM MAKELPARAM_XY(int x, int y) {
    return LPARAM(uint32_t(uint16_t(int16_t(x))) | (uint32_t(uint16_t(int16_t(y))) << 16));
}
inline int GET_X_LPARAM(LPARAM l) { return int16_t(uint16_t(l & 0xFFFF)); }
inline int GET_Y_LPARAM(LPARAM l) { return int16_t(uint16_t((l >> 16) & 0xFFFF)); }

// Peek flags.
enum : UINT { PM_NOREMOVE = 0, PM_REMOVE = 1 };

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
void PostQuitMessage(int exitCode);
// Takes the next message (posted messages first, then due timers) without waiting.
BOOL PeekMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// Waits for the next message; FALSE for WM_QUIT.
BOOL GetMessageA(MSG* msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Keys never pass through the queue here: the window system hands a window its key and the
// character the key makes (WM_KEYDOWN, then WM_CHAR) itself, so there is no TranslateMessage.
LRESULT DispatchMessageA(const MSG* msg);
// Idles until a message, a timer, a window-system event or a wake fd is ready.
void WaitMessage();

// Drives come and go: when the watched mount table changed, every top-level window gets
// WM_DEVICECHANGE with DBT_DEVNODES_CHANGED, then one with DBT_DEVICEARRIVAL or
// DBT_DEVICEREMOVECOMPLETE and a DEV_BROADCAST_VOLUME for each mount point that came or went,
// as Windows broadcasts them. The queue checks the
// process's own watch of /proc/self/mounts on every peek (and an idle wait looks at least
// once a second). Answers the number of windows told.
class MountTableWatch;
int DeliverDeviceChange(MountTableWatch& watch, bool compareAlways = false);

// Timers: WM_TIMER is generated for a window (or the callback runs) when the timer is due
// and no other message is waiting.
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
BOOL KillTimer(HWND hwnd, UINT_PTR id);
// Ends every timer of the window and drops the messages posted to it (when it is destroyed).
void DiscardTimersAndPostedMessages(HWND hwnd);
// Sent messages: SendMessageA calls the procedure at once; this is the message of the
// window (or 0) currently inside a procedure, for InSendMessage-like tests.
