// The window system's file and folder dialogs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace qtbridge {
// Filter in the class library's form "Text (*.a;*.b)|*.a;*.b|...". False when cancelled.
bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter,
                    std::string& chosen);
bool BrowseFolderDialog(const std::string& title, const std::string& dir, std::string& chosen);

// What the open-file dialog shows once its folder is read: the texts of its buttons and
// labels, and whether each column of its file list is as wide as its widest entry. The
// dialog is shown and closed again; picture, when given, receives it as PNG.
struct OpenFileDialogLook {
    std::vector<std::string> texts;
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
}  // namespace qtbridge
