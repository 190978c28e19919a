// What the class library asks of the window system beyond its controls' peers: starting it,
// the screen, the application's cursor and hint, the open-file dialog and popup menus, and
// key presses as the keyboard makes them (for tests and tools). Declared here, without the
// window system's types; the back end (platform/qt) implements it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win/icons.h"

namespace ws {

// Starts the window system on first use. With no display it chooses its offscreen
// platform by itself, so unattended runs and tests need no X server.
void EnsureGui();
// Has the fonts set up on a thread of its own from the window system's start, while the
// program reads its forms; the first text measured or drawn waits for it.
void RequestFontSetUpAhead();
int ScreenWidth();
int ScreenHeight();
// The cursor of the whole application: 0 default, -11 hourglass (the class library's codes).
void SetAppCursor(int cursor);
// The cursor shown over every window while the mouse is tracked (a drag), whatever the
// windows' own; null gives them back theirs.
void ShowTrackingCursor(HCURSOR cursor);
// Hides the hint window when one shows.
void HideHint();
// Presses and releases a key as the keyboard would: delivered to the widget that has the
// focus (else the active window), with shift as the class library's shift state
// (1 Shift, 2 Alt, 4 Ctrl). Key: 'A'-'Z', '0'-'9' or a virtual-key code the controls
// know (Return 13, Escape 27, Tab 9, Space 32, End 35, Home 36, the arrows 37-40). With
// keypad, Return is the keypad's Enter.
void PressKey(int key, unsigned shift, bool keypad = false);
// Types one character (UTF-8) as a key of a keyboard layout that has it, to the same widget.
void TypeCharacter(const std::string& utf8);

// Filter in the class library's form "Text (*.a;*.b)|*.a;*.b|...". False when cancelled.
bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter,
                    std::string& chosen);
// A driver set for tests answers instead of the dialog (null puts the dialog back).
using OpenFileDialogDriver = std::function<bool(const std::string& title, const std::string& dir,
                                                const std::string& filter, std::string& chosen)>;
void SetOpenFileDialogDriver(OpenFileDialogDriver driver);
// What the open-file dialog shows once its folder is read: the texts of its buttons and
// labels, and whether each column of its file list is as wide as its widest entry. The
// dialog is shown and closed again; picture, when given, receives it as PNG.
struct OpenFileDialogLook {
    std::string title;
    std::vector<std::string> texts;    // of its buttons and labels
    std::vector<std::string> cells;    // of its file list, column by column, headings first
    std::vector<std::string> filters;  // the file types offered, as shown
    bool columnsFit = false;
};
OpenFileDialogLook ProbeOpenFileDialog(const std::string& title, const std::string& dir,
                                       const std::string& filter, const std::string& picture);

// A popup menu at a screen point, shown until it closes; the index of the item chosen, -1
// when none. A driver set for tests answers instead of the window system.
struct PopupMenuItem {
    std::string caption;  // "-" for a separator
    bool enabled = true;
    bool checked = false;
};
int PopupMenu(const std::vector<PopupMenuItem>& items, int x, int y);
using PopupMenuDriver = std::function<int(const std::vector<PopupMenuItem>& items, int x, int y)>;
void SetPopupMenuDriver(PopupMenuDriver driver);

}  // namespace ws
