// Inside the Qt back end only: what a drag shows over every window (its image and cursor).
#pragma once

struct IconImage;

namespace qtbridge {

// A window of its own that takes no input shows the picture at a screen point; null hides it.
void ShowDragImageWindow(const IconImage* image, int x, int y);

}  // namespace qtbridge
