// The icons and cursors drawn by the program itself: the standard system icons and
// cursors, and the shell's file, folder and drive icons used when the desktop has no icon
// theme (offscreen runs, bare systems, tests).
#pragma once

#include "platform/win/iconFile.h"

enum class BuiltinIcon {
    Application,
    Error,
    Question,
    Warning,
    Information,
    WinLogo,
    Folder,
    FolderOpen,
    File,
    Pdf,
    PostScript,
    Image,
    Document,
    Spreadsheet,
    Presentation,
    Database,
    Text,
    Archive,
    Executable,
    Audio,
    Video,
    Html,
    DriveFixed,
    DriveRemovable,
    DriveCdrom,
    DriveRemote,
    DriveRam,
    Computer,
    Home,
};

// The icon at size x size pixels (drawn on a 32-pixel design grid, scaled).
IconImage DrawBuiltinIcon(BuiltinIcon kind, int size);
// A standard cursor (IDC_* or the drag cursors of icons.h); false for an unknown id.
bool DrawBuiltinCursor(unsigned idc, IconImage& out);
