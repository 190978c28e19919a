// The window system underneath, seen without its types: start-up, the event wait and
// screen facts. Only platform/qt includes Qt.
#pragma once

#include <string>

namespace qtbridge {

// Creates the Qt application on first use. With no display it chooses the offscreen
// platform by itself, so unattended runs and tests need no X server.
void EnsureGui();
bool GuiStarted();
// Handles pending window-system events; with wait, first blocks until at least one event,
// a wake fd or the timeout (ms, <0 = none) arrives.
void ProcessEvents(bool wait, int timeoutMs);
// True when a registered wake fd is readable now.
bool AnyWakeFdReady();
int ScreenWidth();
int ScreenHeight();
std::string PlatformName();
// The cursor of the whole application: 0 default, -11 hourglass (the class library's codes).
void SetAppCursor(int cursor);

}  // namespace qtbridge
