#include "platform/qt/windowFunctions.h"

#include <cstdint>
#include <cstdlib>

#include <QGuiApplication>
#include <QWindow>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif

namespace qtbridge {

#if QT_CONFIG(xcb)
namespace {

// The Motif window manager hints as window managers read them (five 32-bit values).
struct MotifHints {
    uint32_t flags, functions, decorations;
    int32_t inputMode;
    uint32_t status;
};
constexpr uint32_t kHintsFunctions = 1, kHintsDecorations = 2;
constexpr uint32_t kFuncResize = 2, kFuncMove = 4, kFuncMinimize = 8, kFuncMaximize = 16,
                   kFuncClose = 32;

xcb_atom_t MotifHintsAtom(xcb_connection_t* c) {
    static xcb_atom_t atom = XCB_ATOM_NONE;
    if (atom != XCB_ATOM_NONE) return atom;
    static constexpr char kName[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof kName - 1, kName), nullptr);
    if (reply) atom = reply->atom;
    std::free(reply);
    return atom;
}

}  // namespace

void OfferWindowFunctions(QWindow* window, const WindowFunctions& f) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* c = x11 ? x11->connection() : nullptr;
    if (!c || !window) return;
    const xcb_atom_t atom = MotifHintsAtom(c);
    if (atom == XCB_ATOM_NONE) return;
    MotifHints hints{kHintsFunctions | kHintsDecorations,
                     kFuncMove | kFuncClose | (f.minimize ? kFuncMinimize : 0) |
                         (f.maximize ? kFuncMaximize : 0) | (f.resize ? kFuncResize : 0),
                     0, 0, 0};
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom, atom, 32, 5,
                        &hints);
    xcb_flush(c);
}
#else
void OfferWindowFunctions(QWindow*, const WindowFunctions&) {}
#endif

}  // namespace qtbridge
