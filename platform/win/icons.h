// Icon and cursor handles. A handle is a counted id into the layer's table (never a raw
// pointer), so a destroyed or made-up handle is recognised and refused.
#pragma once

#include <memory>
#include <string>

#include "platform/win/iconFile.h"
#include "platform/win/wintypes.h"

struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;
using LPCSTR = const char*;

// Resource names given as numbers (MAKEINTRESOURCE).
inline LPCSTR MAKEINTRESOURCEA(unsigned id) {
    return reinterpret_cast<LPCSTR>(uintptr_t(id & 0xFFFF));
}
inline bool IS_INTRESOURCE(LPCSTR name) { return (reinterpret_cast<uintptr_t>(name) >> 16) == 0; }

// Standard icons (LoadIconA with no module).
constexpr unsigned IDI_APPLICATION = 32512, IDI_HAND = 32513, IDI_QUESTION = 32514,
                   IDI_EXCLAMATION = 32515, IDI_ASTERISK = 32516, IDI_WINLOGO = 32517,
                   IDI_WARNING = IDI_EXCLAMATION, IDI_ERROR = IDI_HAND,
                   IDI_INFORMATION = IDI_ASTERISK;
// Standard cursors (LoadCursorA with no module).
constexpr unsigned IDC_ARROW = 32512, IDC_IBEAM = 32513, IDC_WAIT = 32514, IDC_CROSS = 32515,
                   IDC_UPARROW = 32516, IDC_SIZE = 32640, IDC_ICON = 32641, IDC_SIZENWSE = 32642,
                   IDC_SIZENESW = 32643, IDC_SIZEWE = 32644, IDC_SIZENS = 32645,
                   IDC_SIZEALL = 32646, IDC_NO = 32648, IDC_HAND = 32649, IDC_APPSTARTING = 32650,
                   IDC_HELP = 32651;
// The class library's own drag cursors, kept among the standard ones of this layer.
constexpr unsigned IDC_DRAG = 0x7F90, IDC_NODROP = 0x7F91, IDC_MULTIDRAG = 0x7F92,
                   IDC_SQLWAIT = 0x7F93, IDC_HSPLIT = 0x7F94, IDC_VSPLIT = 0x7F95;

constexpr UINT IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2;
constexpr UINT LR_DEFAULTCOLOR = 0, LR_MONOCHROME = 1, LR_COPYRETURNORG = 4, LR_COPYDELETEORG = 8,
               LR_LOADFROMFILE = 0x10, LR_LOADTRANSPARENT = 0x20, LR_DEFAULTSIZE = 0x40,
               LR_SHARED = 0x8000;

// The icon sizes of this layer (SM_CXICON and SM_CXSMICON).
constexpr int kLargeIconSize = 32, kSmallIconSize = 16, kCursorSize = 32;

// ---------------------------------------------------------------- the layer's own access

// Enters a picture as a new icon (or cursor) and returns its handle.
HICON NewIconHandle(const IconImage& image, bool isIcon = true);
// The picture behind a live handle, or null.
std::shared_ptr<const IconImage> IconImageOf(HICON icon);
bool IconIsCursor(HICON icon);
// The picture scaled to w x h (nearest pixel); the mask follows.
IconImage ScaleIconImage(const IconImage& image, int w, int h);
// The best image of an icon file for a size (0 = the first): the closest size, then the
// deepest colour.
int ChooseIconFileEntry(const IconFile& file, int size);

// ---------------------------------------------------------------- Win32 calls

// AND bits are 1 bit per pixel, XOR bits 1, 24 or 32 bits per pixel (one plane); rows top
// down, each padded to a multiple of 16 bits.
HICON CreateIcon(HINSTANCE inst, int width, int height, BYTE planes, BYTE bitsPixel,
                 const BYTE* andBits, const BYTE* xorBits);
HCURSOR CreateCursor(HINSTANCE inst, int xHot, int yHot, int width, int height, const void* andBits,
                     const void* xorBits);
HICON CopyIcon(HICON icon);
// IMAGE_ICON and IMAGE_CURSOR: a copy at cx x cy (0 keeps the size); LR_COPYDELETEORG
// destroys the original. Null for anything else.
HANDLE CopyImage(HANDLE image, UINT type, int cx, int cy, UINT flags);
BOOL DestroyIcon(HICON icon);
BOOL DestroyCursor(HCURSOR cursor);

// Standard icons and cursors (inst null), or icons and cursors compiled into the program:
// "icons/<name>.ico" and "cursors/<name>.cur" (numbers written in decimal). The same
// handle comes back for the same resource; such shared handles outlive DestroyIcon.
HICON LoadIconA(HINSTANCE inst, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE inst, LPCSTR name);
// IMAGE_ICON and IMAGE_CURSOR from the program's resources or, with LR_LOADFROMFILE, from
// a file; cx/cy choose the image (0 with LR_DEFAULTSIZE: the system size, else the first).
// LoadImageA (iconDraw.h) answers these through it and adds IMAGE_BITMAP.
HANDLE LoadIconOrCursorImage(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags);
// Makes an icon from one image of an icon or cursor file's bytes (the CreateIconFromResource
// of this layer, used by picture classes).
HICON CreateIconFromFileBytes(const std::string& bytes, int size, bool* isIcon = nullptr);

// The cursor shown over the program's windows; returns the previous one.
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR GetCursor();
// The window layer follows cursor changes through this hook (may stay unset).
void InstallCursorHook(void (*show)(HCURSOR));
