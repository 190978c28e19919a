// What the window manager asks of the window system underneath: its event loop and the
// widgets behind windows. The window system installs the table when it starts (the Qt back
// end, see platform/qt/windowDriver.cpp); a window's widget is the `peer` of its
// WindowObject. An entry the installed table lacks (or any, before one is installed) does
// nothing and answers "no", so callers never check.
#pragma once

#include "platform/win/wintypes.h"

struct RECT;
struct IconImage;
class BrowseFolderDialog;

struct WindowDriver {
    // Handles pending window-system events (starting the window system when it has not
    // started); with wait, first blocks until an event, a ready wake registration or the
    // timeout (ms, <0 = none) comes.
    void (*processEvents)(bool wait, int timeoutMs) = nullptr;
    bool (*started)() = nullptr;  // the window system runs
    // The widget's rectangle on the screen, or its client area's.
    bool (*screenRect)(void* peer, bool client, RECT* r) = nullptr;
    // Places the widget (in its parent's client area; on the screen for a top-level one).
    void (*setGeometry)(void* peer, int x, int y, int w, int h) = nullptr;
    // Painting: the whole widget anew (later, or now), and WM_SETREDRAW.
    void (*invalidate)(void* peer) = nullptr;
    void (*repaintNow)(void* peer) = nullptr;
    void (*setRedraw)(void* peer, bool on) = nullptr;
    // Shapes the widget (window coordinates): outside the rectangles it neither shows nor
    // takes the mouse; `shaped` false gives it back its whole rectangle.
    void (*setShape)(void* peer, const int* ltrb, int count, bool shaped) = nullptr;
    // The window system's tracking of a move (HTCAPTION) or resize (a sizing border's HT
    // code) from a press at a screen point; false when the window cannot be moved so.
    bool (*beginSizeMove)(HWND hwnd, int hit, int sx, int sy) = nullptr;
    // A scrolling widget's bar (horizontal or vertical): its range as Windows gives it (the
    // last unit included), the page shown and the position; false when it has none.
    bool (*scrollInfo)(void* peer, bool horizontal, int* min, int* max, int* page,
                       int* pos) = nullptr;
    // Shows a picture over every window with its top-left corner at a screen point, in a
    // window of its own that takes no input (the drag image); null hides it.
    void (*showDragImage)(const IconImage* image, int x, int y) = nullptr;
    // The primary screen's size in pixels.
    bool (*screenSize)(int* width, int* height) = nullptr;
    // Shows the folder browser's window and runs it until the dialog is done (without a
    // window system the dialog is cancelled).
    void (*runBrowseFolder)(BrowseFolderDialog& dialog) = nullptr;
};

void InstallWindowDriver(const WindowDriver& driver);
const WindowDriver& WindowSystem();
