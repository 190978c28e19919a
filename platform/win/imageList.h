// Image lists: equally sized images with masks, kept by the layer and drawn with the
// ImageList_* calls. The drawing calls and those that take bitmaps are in imageListDraw.h.
#pragma once

#include <functional>

#include "platform/win/icons.h"

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

constexpr UINT ILC_MASK = 0x0001, ILC_COLOR = 0x0000, ILC_COLORDDB = 0x00FE, ILC_COLOR4 = 0x0004,
               ILC_COLOR8 = 0x0008, ILC_COLOR16 = 0x0010, ILC_COLOR24 = 0x0018,
               ILC_COLOR32 = 0x0020;
constexpr UINT ILD_NORMAL = 0x0000, ILD_TRANSPARENT = 0x0001, ILD_MASK = 0x0010, ILD_IMAGE = 0x0020,
               ILD_BLEND25 = 0x0002, ILD_FOCUS = 0x0002, ILD_BLEND50 = 0x0004,
               ILD_SELECTED = 0x0004, ILD_BLEND = 0x0004, ILD_OVERLAYMASK = 0x0F00;
constexpr uint32_t CLR_NONE = 0xFFFFFFFF, CLR_DEFAULT = 0xFF000000;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int grow);
// FALSE for an unknown handle and for the shell's shared system lists.
BOOL ImageList_Destroy(HIMAGELIST list);
int ImageList_GetImageCount(HIMAGELIST list);
// Grows with empty (fully transparent) images or cuts the list.
BOOL ImageList_SetImageCount(HIMAGELIST list, UINT count);
// Replaces image i with the icon scaled to the list's size; i = -1 appends. Returns the
// index, or -1.
int ImageList_ReplaceIcon(HIMAGELIST list, int i, HICON icon);
inline int ImageList_AddIcon(HIMAGELIST list, HICON icon) {
    return ImageList_ReplaceIcon(list, -1, icon);
}
// i = -1 removes every image.
BOOL ImageList_Remove(HIMAGELIST list, int i);
inline BOOL ImageList_RemoveAll(HIMAGELIST list) { return ImageList_Remove(list, -1); }
// A new icon of image i (the caller destroys it); ILD_* flags are not applied.
HICON ImageList_GetIcon(HIMAGELIST list, int i, UINT flags);
BOOL ImageList_GetIconSize(HIMAGELIST list, int* cx, int* cy);
// Sets the size and removes every image.
BOOL ImageList_SetIconSize(HIMAGELIST list, int cx, int cy);
// The colour drawn under transparent pixels by ILD_NORMAL (CLR_NONE: none); returns the old.
COLORREF ImageList_SetBkColor(HIMAGELIST list, COLORREF color);
COLORREF ImageList_GetBkColor(HIMAGELIST list);
HIMAGELIST ImageList_Duplicate(HIMAGELIST list);
BOOL ImageList_Copy(HIMAGELIST dst, int iDst, HIMAGELIST src, int iSrc, UINT flags);

// ---------------------------------------------------------------- the layer's own access

// Appends a picture (scaled to the list's size) and returns its index, or -1.
int ImageListAddImage(HIMAGELIST list, const IconImage& image);
// Appends a picture that `make` makes when it is first needed (drawn, read, or the list
// changed otherwise than by an addition), so a list whose pictures are never shown does not
// look for or decode them; an empty picture counts as a blank one. Returns its index, or -1.
int ImageListAddDeferred(HIMAGELIST list, std::function<IconImage()> make);
bool ImageListReplaceImage(HIMAGELIST list, int i, const IconImage& image);
// Image i with its mask; false for a bad handle or index.
bool ImageListGetImage(HIMAGELIST list, int i, IconImage& out);
UINT ImageListFlags(HIMAGELIST list);
bool IsImageList(HIMAGELIST list);
// Marks a list as shared by the whole program (the shell's system lists).
void ImageListMarkShared(HIMAGELIST list);
