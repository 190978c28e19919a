// The MDI client window: the window of an MDI frame that holds the frame's child windows
// and knows which of them is active. Activating a child (WM_MDIACTIVATE with the child in
// wParam) tells the child that loses the activation and the one that gains it as Windows
// does: WM_NCACTIVATE with its new state (the gaining child shows active only while the frame
// is the active window), then WM_MDIACTIVATE with the deactivated child in wParam and the
// activated one in lParam. WM_MDIGETACTIVE answers the active child; WM_MDINEXT with a child
// in wParam activates the showing child (WS_VISIBLE in its style) that was active before it;
// when none is left, no child is active any more.
#pragma once

#include <vector>

#include "platform/user/window.h"

// Makes the client window of `frame` at x, y (the frame's client area) with the given size.
HWND CreateMDIClient(HWND frame, int x, int y, int width, int height);
// The client's child windows, the active one first, then in the order they were last active
// (children never activated last, oldest first).
std::vector<HWND> MDIClientChildren(HWND client);
