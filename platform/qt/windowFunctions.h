// What a window manager may do with a window: Qt tells it nothing for a frameless window, so
// every function (minimize, maximize, resize) would be offered for windows whose frame, drawn
// by the program, has no such buttons.
#pragma once

class QWindow;

namespace qtbridge {

struct WindowFunctions {
    bool minimize = true, maximize = true, resize = true;
};

// Writes the functions into the window's _MOTIF_WM_HINTS (no decorations: the frame is the
// program's), which the window manager reads when it maps the window and when it changes. Qt
// writes the property anew whenever the window's flags change: call this after such a change
// and before the window shows. Nothing happens off X11.
void OfferWindowFunctions(QWindow* window, const WindowFunctions& functions);

}  // namespace qtbridge
