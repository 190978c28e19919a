// The window system's move and resize of a top-level window by the mouse.
#pragma once

#include "platform/win/wintypes.h"

namespace qtbridge {

// Starts following the mouse after a left press at screen point (sx, sy) on the window's
// caption (HTCAPTION: the window moves) or a sizing border (HTLEFT ... HTBOTTOMRIGHT: that
// edge or corner follows). False, and nothing happens, for another part or a child window.
bool BeginSizeMove(HWND hwnd, int hit, int sx, int sy);

}  // namespace qtbridge
