#include "controls/extended/xcWinUtils.h"

#include "platform/vcl/forms.h"
#include "platform/win/iconDraw.h"

void ReleaseModule(HMODULE& module) {
    if (module) FreeLibrary(module);
    module = nullptr;
}

bool FreeItemIdList(LPITEMIDLIST& list) {
    if (!list) return true;
    IMalloc* malloc = nullptr;
    if (FAILED(SHGetMalloc(&malloc)) || !malloc) return false;
    const bool ours = malloc->DidAlloc(list) > 0;
    if (ours) {
        malloc->Free(list);
        list = nullptr;
    }
    malloc->Release();
    return ours;
}

void GetIconSize(HICON icon, int& width, int& height) {
    width = kLargeIconSize;
    height = kLargeIconSize;
    ICONINFO info;
    if (!icon || !GetIconInfo(icon, &info)) return;
    BITMAP bm;
    if (info.hbmColor && GetObjectA(info.hbmColor, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight;
    } else if (info.hbmMask && GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        width = bm.bmWidth;
        height = bm.bmHeight / 2;
    }
    // The bitmaps GetIconInfo made are the caller's.
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
}

// The cell height of the canvas's font (what GetTextMetricsA reports as tmHeight).
int CanvasTextHeight(TCanvas& canvas) { return canvas.TextHeight("Wq"); }

std::shared_ptr<WNDPROC> MakeObjectInstance(TWndMethod method) {
    return std::make_shared<WNDPROC>([method = std::move(method)](HWND, UINT msg, WPARAM w, LPARAM l) {
        TMessage m{msg, w, l, 0};
        method(m);
        return m.Result;
    });
}

void FreeObjectInstance(std::shared_ptr<WNDPROC>& instance) { instance.reset(); }

void RegisterDragCursors() {
    if (!Screen) return;
    Screen->SetCursors(crXcDrag0, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crXcDrag1, Screen->Cursors(crDrag));
    Screen->SetCursors(crXcDrag2, Screen->Cursors(crMultiDrag));
    Screen->SetCursors(crXcDrag3, Screen->Cursors(crMultiDrag));
}
