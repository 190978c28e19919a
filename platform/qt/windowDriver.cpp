// The window manager's driver over Qt: the event loop and the peers behind windows.
#include "platform/user/windowDriver.h"

#include <QAbstractScrollArea>
#include <QScrollBar>

#include "platform/gdi/gdi.h"
#include "platform/qt/dragFeedback.h"
#include "platform/qt/peerCore.h"
#include "platform/qt/qtapp.h"
#include "platform/qt/sizeMove.h"
#include "platform/vcl/peer.h"

namespace qtbridge {
namespace {

ws::Peer* PeerOf(void* peer) { return static_cast<ws::Peer*>(peer); }

}  // namespace

void InstallWindowDriverOfQt() {
    WindowDriver d;
    d.processEvents = [](bool wait, int timeoutMs) { ProcessEvents(wait, timeoutMs); };
    d.started = [] { return GuiStarted(); };
    d.screenRect = [](void* p, bool client, RECT* r) {
        int l = 0, t = 0, rr = 0, b = 0;
        if (!PeerOf(p)->screenRect(client, l, t, rr, b)) return false;
        *r = RECT{l, t, rr, b};
        return true;
    };
    d.setGeometry = [](void* p, int x, int y, int w, int h) { PeerOf(p)->setGeometry(x, y, w, h); };
    d.invalidate = [](void* p) { PeerOf(p)->invalidate(); };
    d.repaintNow = [](void* p) { PeerOf(p)->repaintNow(); };
    d.setRedraw = [](void* p, bool on) { PeerOf(p)->setRedraw(on); };
    d.setShape = [](void* p, const int* ltrb, int count, bool shaped) {
        PeerOf(p)->setShape(ltrb, count, shaped);
    };
    d.scrollInfo = [](void* p, bool horizontal, int* lo, int* hi, int* page, int* pos) {
        auto* core = dynamic_cast<PeerCore*>(PeerOf(p));
        auto* area = core ? qobject_cast<QAbstractScrollArea*>(core->widget()) : nullptr;
        if (!area) return false;
        const QScrollBar* bar =
            horizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
        // The bar's maximum is the last first-shown position; Windows counts to the last unit.
        // The slider's position is already the new one while the window hears of a step.
        *lo = bar->minimum();
        *page = bar->pageStep();
        *hi = bar->maximum() + bar->pageStep() - 1;
        *pos = bar->sliderPosition();
        return true;
    };
    d.showDragImage = &ShowDragImageWindow;
    d.beginSizeMove = &BeginSizeMove;
    d.screenSize = [](int* w, int* h) {
        *w = ScreenWidth();
        *h = ScreenHeight();
        return true;
    };
    d.runBrowseFolder = &RunBrowseFolderWindow;
    InstallWindowDriver(d);
}

}  // namespace qtbridge
