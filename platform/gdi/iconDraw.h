// Drawing icons and image-list images on device contexts, and moving icon pictures to and
// from GDI bitmaps (GetIconInfo, CreateIconIndirect, ImageList_Add).
#pragma once

#include "platform/gdi/gdi.h"
#include "platform/win/imageList.h"

struct ICONINFO {
    BOOL fIcon = TRUE_;
    DWORD xHotspot = 0, yHotspot = 0;
    HBITMAP hbmMask = nullptr;   // AND mask (monochrome; twice as high, XOR below, without colour)
    HBITMAP hbmColor = nullptr;  // null for a monochrome icon
};

constexpr UINT DI_MASK = 0x0001, DI_IMAGE = 0x0002, DI_NORMAL = 0x0003, DI_COMPAT = 0x0004,
               DI_DEFAULTSIZE = 0x0008, DI_NOMIRROR = 0x0010;

// New bitmaps the caller deletes.
BOOL GetIconInfo(HICON icon, ICONINFO* info);
HICON CreateIconIndirect(const ICONINFO* info);
// cx/cy 0: the icon's own size (with DI_DEFAULTSIZE the system's); a flicker-free brush
// fills the rectangle first. DI_MASK draws the AND mask, DI_IMAGE the colours alone.
BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree,
                UINT flags);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);

struct IMAGEINFO {
    HBITMAP hbmImage = nullptr;  // the list's images side by side (owned by the list)
    HBITMAP hbmMask = nullptr;
    int Unused1 = 0, Unused2 = 0;
    RECT rcImage;
};

// Splits the bitmap into images of the list's width; the mask (1 = transparent) is used
// when the list has ILC_MASK. Returns the first new index, or -1.
int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
// Pixels of the mask colour become transparent (and black in the image).
int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF maskColor);
BOOL ImageList_Replace(HIMAGELIST list, int i, HBITMAP image, HBITMAP mask);
BOOL ImageList_Draw(HIMAGELIST list, int i, HDC dc, int x, int y, UINT style);
// dx/dy 0: the whole image; bk CLR_DEFAULT: the list's background colour, CLR_NONE: none;
// fg CLR_DEFAULT: the highlight colour for ILD_BLEND25/ILD_BLEND50.
BOOL ImageList_DrawEx(HIMAGELIST list, int i, HDC dc, int x, int y, int dx, int dy, COLORREF bk,
                      COLORREF fg, UINT style);
BOOL ImageList_GetImageInfo(HIMAGELIST list, int i, IMAGEINFO* info);

// Standard bitmaps (inst null: OBM_CHECKBOXES, OBM_CHECK) or bitmaps compiled into the
// program ("bitmaps/<name>.bmp", numbers in decimal); a new bitmap the caller deletes.
constexpr unsigned OBM_CHECK = 32760, OBM_CHECKBOXES = 32759;
HBITMAP LoadBitmapA(HINSTANCE inst, LPCSTR name);
// IMAGE_BITMAP as LoadBitmapA or, with LR_LOADFROMFILE, from a ".bmp" file; icons and
// cursors as LoadIconOrCursorImage.
HANDLE LoadImageA(HINSTANCE inst, LPCSTR name, UINT type, int cx, int cy, UINT flags);
// A ".bmp" file's bytes as a new bitmap (null when they are not one); the caller deletes it.
HBITMAP BitmapFromBmpFile(const std::string& bytes);

// The layer's own: a picture read from a bitmap (top-down pixels, no mask) and the reverse.
bool IconImageFromBitmap(HBITMAP bmp, IconImage& out);
HBITMAP BitmapFromIconImage(const IconImage& img);
