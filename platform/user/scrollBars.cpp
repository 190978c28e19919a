#include "platform/user/scrollBars.h"

#include "platform/user/window.h"
#include "platform/user/windowDriver.h"

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* info) {
    WindowObject* w = WindowFromHandle(hwnd);
    if (!w || !w->peer || !info || (bar != SB_HORZ && bar != SB_VERT)) return FALSE_;
    int lo = 0, hi = 0, page = 0, pos = 0;
    if (!WindowSystem().scrollInfo(w->peer, bar == SB_HORZ, &lo, &hi, &page, &pos)) return FALSE_;
    if (info->fMask & SIF_RANGE) {
        info->nMin = lo;
        info->nMax = hi;
    }
    if (info->fMask & SIF_PAGE) info->nPage = UINT(page);
    if (info->fMask & SIF_POS) info->nPos = pos;
    if (info->fMask & SIF_TRACKPOS) info->nTrackPos = pos;
    return TRUE_;
}
