#include "platform/user/mdiClient.h"

#include <algorithm>
#include <map>

#include "platform/user/messages.h"

namespace {

struct ClientState {
    HWND active = nullptr;
    std::vector<HWND> order;  // the children as they were last active, the active one first
};

std::map<HWND, ClientState>& Clients() {
    static std::map<HWND, ClientState> clients;
    return clients;
}

bool IsChildOf(HWND child, HWND client) {
    const WindowObject* w = WindowFromHandle(child);
    return w && w->parent == client;
}

// The state without the children that are gone.
ClientState& StateOf(HWND client) {
    ClientState& s = Clients()[client];
    std::erase_if(s.order, [client](HWND h) { return !IsChildOf(h, client); });
    if (s.active && !IsChildOf(s.active, client)) s.active = nullptr;
    return s;
}

void Activate(HWND client, HWND child) {
    ClientState& s = StateOf(client);
    const HWND old = s.active;
    if (child == old) return;
    s.active = child;
    if (child) {
        std::erase(s.order, child);
        s.order.insert(s.order.begin(), child);
    }
    if (old) {
        SendMessageA(old, WM_NCACTIVATE, 0, 0);
        SendMessageA(old, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    }
    if (child && IsWindow(child)) {
        // The child's caption shows active only while its frame has the keyboard.
        const WindowObject* c = WindowFromHandle(client);
        const bool frameActive = c && c->parent && GetActiveWindow() == c->parent;
        SendMessageA(child, WM_NCACTIVATE, frameActive ? 1 : 0, 0);
        SendMessageA(child, WM_MDIACTIVATE, WPARAM(old), LPARAM(child));
    }
}

bool Showing(HWND h) {
    const WindowObject* w = WindowFromHandle(h);
    return w && (w->style & WS_VISIBLE);
}

LRESULT ClientProc(HWND client, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_MDIACTIVATE: {
            const HWND child = reinterpret_cast<HWND>(w);
            if (IsChildOf(child, client)) Activate(client, child);
            return 0;
        }
        case WM_MDIGETACTIVE:
            return LRESULT(StateOf(client).active);
        case WM_MDINEXT: {
            // The child that was active before the given one (and still shows) takes over.
            const HWND from = reinterpret_cast<HWND>(w);
            HWND next = nullptr;
            for (HWND h : MDIClientChildren(client))
                if (h != from && Showing(h)) {
                    next = h;
                    break;
                }
            Activate(client, next);
            return 0;
        }
        case WM_NCDESTROY:
            Clients().erase(client);
            return 0;
        default:
            return DefWindowProcA(client, msg, w, l);
    }
}

}  // namespace

HWND CreateMDIClient(HWND frame, int x, int y, int width, int height) {
    const HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE, x, y, width,
                                        height, frame, nullptr, nullptr, nullptr);
    if (client) SetWindowProc(client, std::make_shared<WNDPROC>(ClientProc));
    return client;
}

std::vector<HWND> MDIClientChildren(HWND client) {
    if (!IsWindow(client)) return {};
    std::vector<HWND> out = StateOf(client).order;
    // Children never activated follow, oldest first.
    for (HWND h = FindWindowExA(client, nullptr, nullptr, nullptr); h;
         h = FindWindowExA(client, h, nullptr, nullptr))
        if (std::find(out.begin(), out.end(), h) == out.end()) out.push_back(h);
    return out;
}
