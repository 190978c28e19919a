// The window system's file and folder dialogs.
#pragma once

#include <string>

namespace qtbridge {
// Filter in the class library's form "Text (*.a;*.b)|*.a;*.b|...". False when cancelled.
bool OpenFileDialog(const std::string& title, const std::string& dir, const std::string& filter, std::string& chosen);
bool BrowseFolderDialog(const std::string& title, const std::string& dir, std::string& chosen);
}  // namespace qtbridge
