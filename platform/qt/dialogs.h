// The window system's file and folder dialogs (the open-file dialog and popup menus are the
// class library's window-system services, platform/vcl/windowSystem.h).
#pragma once

#include <string>

#include "platform/vcl/windowSystem.h"

namespace qtbridge {
bool BrowseFolderDialog(const std::string& title, const std::string& dir, std::string& chosen);
}  // namespace qtbridge
