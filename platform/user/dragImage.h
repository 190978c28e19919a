// The image list's drag image: one picture of an image list shown over every window at the
// mouse while a drag goes on (the window system shows it in a window of its own that takes
// no input).
#pragma once

#include "platform/win/imageList.h"

// Takes image `index` of the list as the drag image, hot spot (hotX, hotY) in it.
BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int hotX, int hotY);
// Shows it with its hot spot at (x, y) of the window's area (the screen for null), moves it,
// hides or shows it again, takes it off the window and ends the drag image.
BOOL ImageList_DragEnter(HWND lock, int x, int y);
BOOL ImageList_DragMove(int x, int y);
BOOL ImageList_DragShowNolock(BOOL show);
BOOL ImageList_DragLeave(HWND lock);
void ImageList_EndDrag();
// The drag image shown now and its top-left corner on the screen; false when none shows.
bool DragImageShown(IconImage& image, int& x, int& y);
