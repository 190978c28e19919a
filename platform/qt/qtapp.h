// The window system underneath, seen without its types: start-up, the event wait and
// screen facts (the class library reaches them through platform/vcl/windowSystem.h). Only
// platform/qt includes Qt.
#pragma once

#include <functional>
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
// Answers the window system alone (exposures and paints, activation, geometry), no input,
// no wake registration and no program message, until `done` holds or `timeoutMs` passed.
void ServeWindowSystem(int timeoutMs, const std::function<bool()>& done = {});
// True when a registered wake fd is readable now.
bool AnyWakeFdReady();
int ScreenWidth();
int ScreenHeight();
std::string PlatformName();

}  // namespace qtbridge
