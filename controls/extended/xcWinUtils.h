// The shared routines of the extended controls that stand on the window, drawing and shell
// services: module and item-list release, icon sizes, text height, window procedures bound
// to an object's method, and the layer's drag cursors.
#pragma once

#include <memory>
#include <string>

#include "platform/gdi/gdi.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/icon.h"
#include "platform/win/icons.h"
#include "platform/win/module.h"
#include "platform/win/shellFolders.h"

// FreeLibrary when the handle is not 0; the handle is 0 afterwards.
void ReleaseModule(HMODULE& module);
// Frees a list the shell's allocator handed out and sets it to null (true); a list it did
// not allocate is left alone (false); null gives true.
bool FreeItemIdList(LPITEMIDLIST& list);
// The colour bitmap's size; else the mask's width and half its height; else (and when the
// icon cannot be read) the system icon size.
void GetIconSize(HICON icon, int& width, int& height);
// A new icon (the caller destroys it) of the picture's image at its own size, not scaled to
// the system size: an empty picture gives the standard application icon, an icon the image
// that suits the screen's colours, a cursor a copy of its handle.
HICON CopyIconAtOwnSize(TIcon& icon);
// Draws the picture at its own size with its mask and alpha at (X, Y).
void DrawIconAtOwnSize(TCanvas& canvas, TIcon& icon, int x, int y);
// Makes an icon of the image that suits the screen (by the directory's colour counts) from
// an icon file whose directory of ImageCount entries starts at the stream's position,
// StartOffset bytes into the file. Stored bitmaps (with their mask or alpha) and PNG images
// are read; data cut short or inconsistent raise EXCLException.
void LoadIconImageFromStream(TStream& stream, HICON& icon, int imageCount, int64_t startOffset);
// DrawTextA with a string: the text is never written back, so DT_MODIFYSTRING is taken out
// of the flags.
int DrawTextA(HDC dc, const std::string& text, RECT& rect, UINT flags);
// The height of a line of text in the canvas's font (tmHeight of its text metrics).
int CanvasTextHeight(TCanvas& canvas);
// A window procedure that hands its messages to an object's method; give it to a window
// with SetWindowProc. FreeObjectInstance drops it (null does nothing).
std::shared_ptr<WNDPROC> MakeObjectInstance(TWndMethod method);
void FreeObjectInstance(std::shared_ptr<WNDPROC>& instance);
// The layer's drag cursors in the screen's list: 100, 102 and 103 the multi-drag cursor,
// 101 the drag cursor. Done once at start-up, when the screen exists.
void RegisterDragCursors();
constexpr int crXcDrag0 = 100, crXcDrag1 = 101, crXcDrag2 = 102, crXcDrag3 = 103;
