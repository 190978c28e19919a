// The window system's move and resize of a window by the mouse (a top-level window on the
// screen, a child window such as an MDI child within its parent's client area).
#pragma once

#include "platform/win/wintypes.h"

namespace qtbridge {

// Starts following the mouse after a left press at screen point (sx, sy) on the window's
// caption (HTCAPTION: the window moves) or a sizing border (HTLEFT ... HTBOTTOMRIGHT: that
// edge or corner follows). False, and nothing happens, for another part.
bool BeginSizeMove(HWND hwnd, int hit, int sx, int sy);

}  // namespace qtbridge
