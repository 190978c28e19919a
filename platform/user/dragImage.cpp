#include "platform/user/dragImage.h"

#include "platform/gdi/gdi.h"
#include "platform/user/window.h"
#include "platform/user/windowDriver.h"

namespace {

struct DragImage {
    bool begun = false;
    bool entered = false;
    bool shown = false;
    IconImage image;
    int hotX = 0, hotY = 0;
    int x = 0, y = 0;  // the hot spot on the screen
};
DragImage g_image;

void Show() {
    const bool visible = g_image.entered && g_image.shown;
    WindowSystem().showDragImage(visible ? &g_image.image : nullptr, g_image.x - g_image.hotX,
                                 g_image.y - g_image.hotY);
}

// A point of the window's area on the screen.
void ToScreen(HWND lock, int& x, int& y) {
    RECT r{};
    if (lock && GetWindowRect(lock, &r)) {
        x += r.left;
        y += r.top;
    }
}

}  // namespace

BOOL ImageList_BeginDrag(HIMAGELIST list, int index, int hotX, int hotY) {
    IconImage img;
    if (!ImageListGetImage(list, index, img)) return FALSE_;
    if (g_image.begun) ImageList_EndDrag();
    g_image = DragImage{};
    g_image.begun = true;
    g_image.image = std::move(img);
    g_image.hotX = hotX;
    g_image.hotY = hotY;
    return TRUE_;
}

BOOL ImageList_DragEnter(HWND lock, int x, int y) {
    if (!g_image.begun) return FALSE_;
    ToScreen(lock, x, y);
    g_image.entered = true;
    g_image.shown = true;
    g_image.x = x;
    g_image.y = y;
    Show();
    return TRUE_;
}

BOOL ImageList_DragMove(int x, int y) {
    if (!g_image.begun) return FALSE_;
    g_image.x = x;
    g_image.y = y;
    if (g_image.entered) Show();
    return TRUE_;
}

BOOL ImageList_DragShowNolock(BOOL show) {
    if (!g_image.begun) return FALSE_;
    g_image.shown = show != 0;
    Show();
    return TRUE_;
}

BOOL ImageList_DragLeave(HWND) {
    if (!g_image.begun) return FALSE_;
    g_image.entered = false;
    Show();
    return TRUE_;
}

void ImageList_EndDrag() {
    if (!g_image.begun) return;
    g_image = DragImage{};
    Show();
}

bool DragImageShown(IconImage& image, int& x, int& y) {
    if (!g_image.begun || !g_image.entered || !g_image.shown) return false;
    image = g_image.image;
    x = g_image.x - g_image.hotX;
    y = g_image.y - g_image.hotY;
    return true;
}
