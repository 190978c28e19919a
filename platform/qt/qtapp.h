// The window system underneath, seen without its types: start-up, the event wait and
// screen facts. Only platform/qt includes Qt.
#pragma once

#include <string>

class BrowseFolderDialog;

namespace qtbridge {

// Creates the Qt application on first use. With no display it chooses the offscreen
// platform by itself, so unattended runs and tests need no X server.
void EnsureGui();
bool GuiStarted();
// Installs the window manager's driver over this window system (done when the program starts).
void InstallWindowDriverOfQt();
// Installs the clipboard driver over the toolkit's clipboard (done with the window driver).
void InstallClipboardDriverOfQt();
// Shows the folder browser's window until the dialog is done (the window driver's entry).
void RunBrowseFolderWindow(::BrowseFolderDialog& dialog);
// Handles pending window-system events; with wait, first blocks until at least one event,
// a wake fd or the timeout (ms, <0 = none) arrives.
void ProcessEvents(bool wait, int timeoutMs);
// True when a registered wake fd is readable now.
bool AnyWakeFdReady();
int ScreenWidth();
int ScreenHeight();
std::string PlatformName();
// Presses and releases a key as the keyboard would: delivered to the widget that has the
// focus (else the active window), with shift as the class library's shift state
// (1 Shift, 2 Alt, 4 Ctrl). Key: 'A'-'Z', '0'-'9' or a virtual-key code the controls
// know (Return 13, Escape 27, Tab 9, Space 32, the arrows 37-40). Used to drive windows
// from tests and tools.
void PressKey(int key, unsigned shift);
// Hides the hint window when one shows.
void HideHint();
// The cursor of the whole application: 0 default, -11 hourglass (the class library's codes).
void SetAppCursor(int cursor);

}  // namespace qtbridge
