// The metrics of the frame that platform/vcl draws around top-level windows (the classic
// look: 19-pixel captions, 18-pixel caption buttons, 4-pixel sizing frames).
#include <cstring>

#include "platform/user/metrics.h"
#include "platform/user/windowDriver.h"

namespace {

LOGFONTA Font(int height, int weight) {
    LOGFONTA lf;
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = GB2312_CHARSET;
    std::strcpy(lf.lfFaceName, "宋体");
    return lf;
}

// The screen's size from the window system; without one, the size of a screen-less Qt.
SIZE ScreenSize() {
    int w = 0, h = 0;
    if (!WindowSystem().screenSize(&w, &h)) return SIZE{1024, 768};
    return SIZE{w, h};
}

}  // namespace

int GetSystemMetrics(int index) {
    switch (index) {
        case SM_CXSCREEN:
            return ScreenSize().cx;
        case SM_CYSCREEN:
            return ScreenSize().cy;
        case SM_CYCAPTION:
            return 19;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return 4;
        case SM_CXICON:
        case SM_CYICON:
            return 32;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return 18;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CYSMCAPTION:
            return 16;
        case SM_CXSMSIZE:
            return 12;
        case SM_CYSMSIZE:
            return 15;
        case SM_CXMINTRACK:
            return 112;
        case SM_CYMINTRACK:
            return 27;
        case SM_CXDRAG:
        case SM_CYDRAG:
            return 4;
        default:
            return 0;
    }
}

BOOL AdjustWindowRectEx(RECT* r, DWORD style, BOOL, DWORD exStyle) {
    if (!r) return FALSE_;
    int side = 0;
    if (style & WS_THICKFRAME)
        side = GetSystemMetrics(SM_CXFRAME);
    else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME))
        side = GetSystemMetrics(SM_CXDLGFRAME);
    else if (style & WS_BORDER)
        side = GetSystemMetrics(SM_CXBORDER);
    if (exStyle & WS_EX_CLIENTEDGE) side += 2;
    if (exStyle & WS_EX_STATICEDGE) side += GetSystemMetrics(SM_CXBORDER);
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        caption = GetSystemMetrics(exStyle & WS_EX_TOOLWINDOW ? SM_CYSMCAPTION : SM_CYCAPTION);
    r->left -= side;
    r->right += side;
    r->top -= side + caption;
    r->bottom += side;
    return TRUE_;
}

BOOL SystemParametersInfoA(UINT action, UINT, void* out, UINT) {
    if (!out) return FALSE_;
    if (action == SPI_GETWORKAREA) {
        *static_cast<RECT*>(out) =
            RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return TRUE_;
    }
    if (action == SPI_GETNONCLIENTMETRICS) {
        auto* m = static_cast<NONCLIENTMETRICSA*>(out);
        if (m->cbSize != sizeof(NONCLIENTMETRICSA)) return FALSE_;
        m->iBorderWidth = 1;
        m->iScrollWidth = m->iScrollHeight = 16;
        m->iCaptionWidth = m->iCaptionHeight = GetSystemMetrics(SM_CXSIZE);
        m->lfCaptionFont = Font(-12, FW_BOLD);
        m->iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
        m->iSmCaptionHeight = GetSystemMetrics(SM_CYSMSIZE);
        m->lfSmCaptionFont = Font(-12, FW_BOLD);
        m->iMenuWidth = m->iMenuHeight = 18;
        m->lfMenuFont = m->lfStatusFont = m->lfMessageFont = Font(-12, FW_NORMAL);
        return TRUE_;
    }
    return FALSE_;
}
