#include "platform/user/windowDriver.h"

#include "platform/user/browseFolder.h"

namespace {

WindowDriver WithDefaults(WindowDriver d) {
    if (!d.processEvents) d.processEvents = [](bool, int) {};
    if (!d.started) d.started = [] { return false; };
    if (!d.screenRect) d.screenRect = [](void*, bool, RECT*) { return false; };
    if (!d.setGeometry) d.setGeometry = [](void*, int, int, int, int) {};
    if (!d.invalidate) d.invalidate = [](void*) {};
    if (!d.repaintNow) d.repaintNow = [](void*) {};
    if (!d.setRedraw) d.setRedraw = [](void*, bool) {};
    if (!d.setShape) d.setShape = [](void*, const int*, int, bool) {};
    if (!d.beginSizeMove) d.beginSizeMove = [](HWND, int, int, int) { return false; };
    if (!d.scrollInfo) d.scrollInfo = [](void*, bool, int*, int*, int*, int*) { return false; };
    if (!d.showDragImage) d.showDragImage = [](const IconImage*, int, int) {};
    if (!d.screenSize) d.screenSize = [](int*, int*) { return false; };
    if (!d.runBrowseFolder) d.runBrowseFolder = [](BrowseFolderDialog& dialog) { dialog.Cancel(); };
    return d;
}

WindowDriver& Installed() {
    static WindowDriver driver = WithDefaults({});
    return driver;
}

}  // namespace

void InstallWindowDriver(const WindowDriver& driver) { Installed() = WithDefaults(driver); }

const WindowDriver& WindowSystem() { return Installed(); }
