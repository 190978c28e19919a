// The desktop's icon theme (freedesktop layout under /usr/share/icons and ~/.local/share/icons).
// The theme is the one named by VEXOMAT_ICON_THEME, else the GTK setting
// (~/.config/gtk-3.0/settings.ini, gtk-icon-theme-name), else Adwaita, and hicolor after
// it. VEXOMAT_ICON_THEME=builtin turns the theme off, so the program's own icons are used.
#pragma once

#include <string>
#include <vector>

#include "platform/win/iconFile.h"

// True when icons are to be taken from a theme at all.
bool IconThemeEnabled();
// The first of the names found as a PNG at (or near, then scaled to) size pixels.
bool LoadThemeIcon(const std::vector<std::string>& names, int size, IconImage& out,
                   std::string* file = nullptr);
