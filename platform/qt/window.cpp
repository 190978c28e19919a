#include "platform/win/window.h"

#include <unordered_set>

#include "platform/win/messages.h"

namespace {
std::unordered_set<HWND>& Live() {
    static std::unordered_set<HWND> live;
    return live;
}
}  // namespace

HWND CreateWindowObject(const std::string& className, HWND parent, WNDPROC proc, void* control) {
    auto* w = new WindowObject;
    w->className = className;
    w->parent = parent;
    w->proc = std::make_shared<WNDPROC>(std::move(proc));
    w->control = control;
    Live().insert(w);
    return w;
}

BOOL IsWindow(HWND hwnd) { return hwnd && Live().count(hwnd) ? 1 : 0; }

BOOL DestroyWindow(HWND hwnd) {
    if (!IsWindow(hwnd)) return 0;
    SendMessageA(hwnd, WM_DESTROY, 0, 0);
    SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
    DiscardTimersAndPostedMessages(hwnd);  // its timers and posted messages die with it
    Live().erase(hwnd);
    delete hwnd;
    return 1;
}

std::shared_ptr<WNDPROC> SetWindowProc(HWND hwnd, std::shared_ptr<WNDPROC> proc) {
    if (!IsWindow(hwnd)) return nullptr;
    std::swap(hwnd->proc, proc);
    return proc;
}

std::shared_ptr<WNDPROC> GetWindowProc(HWND hwnd) { return IsWindow(hwnd) ? hwnd->proc : nullptr; }

LRESULT CallWindowProcA(const std::shared_ptr<WNDPROC>& proc, HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (!proc || !*proc) return DefWindowProcA(hwnd, msg, w, l);
    return (*proc)(hwnd, msg, w, l);
}

LRESULT DefWindowProcA(HWND, UINT, WPARAM, LPARAM) { return 0; }
