// The window-system side of the class library's windowed controls, seen without the window
// system's types: one small interface per kind of control. A control makes its peer through
// its kind's factory and talks to it only through that interface; the peer reports input,
// paints and changes back through the control's PeerHost. The back end (platform/qt, one
// file per kind) implements the interfaces and the factories.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/gdi/surface.h"

namespace ws {

// Notification codes a window-system widget reports to its control.
enum PeerNote { pnClicked = 0, pnTextChanged = 1, pnSelChange = 2, pnDblClick = 6 };

// What a peer asks of, and tells, its control. Coordinates are the control's client area
// unless said otherwise.
class PeerHost {
public:
    virtual ~PeerHost() = default;
    virtual void peerPaint(gdi::Painter& p, int l, int t, int r, int b) = 0;
    virtual void peerPaintFrame(gdi::Painter& p, int w, int h) = 0;  // a top-level window's frame
    virtual void peerMouse(unsigned msg, int x, int y, unsigned keys) = 0;
    virtual bool peerKey(unsigned msg, int key, unsigned shift) = 0;  // true: consumed
    virtual void peerNotify(int code) = 0;
    virtual bool peerCloseRequest() = 0;
    virtual void peerFocus(bool in) = 0;
    virtual void peerEnterLeave(bool enter) = 0;
    // The hint for a point of the client area: false leaves the widget's own tooltip; true
    // with an empty text shows none.
    virtual bool peerHint(int /*x*/, int /*y*/, std::string& /*text*/, uint32_t& /*bgr*/) {
        return false;
    }
    // A top-level window became active or inactive; a child window with a frame (an MDI
    // child) hears true when a press inside it asks for its activation.
    virtual void peerActivate(bool /*active*/) {}
    // The mouse moved over a top-level window's frame (window coordinates); answers the
    // standard cursor to show there (an IDC_ number), 0 for the arrow.
    virtual int peerFrameMouse(int /*x*/, int /*y*/) { return 0; }
    // A button press at a screen point first asks the window which part of it lies there
    // (the HT code of WM_NCHITTEST); a press off its client area goes to the window as a
    // non-client button message (WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP).
    virtual int peerHitTest(int /*sx*/, int /*sy*/) { return 1; }
    virtual void peerNcMouse(unsigned /*msg*/, int /*hit*/, int /*sx*/, int /*sy*/) {}
    // A top-level window was moved or sized from outside the program (the user through a
    // window manager, another program): its place on the screen now.
    virtual void peerPlaced(int /*l*/, int /*t*/, int /*w*/, int /*h*/) {}
    // An owner-drawn button's paint: the item state bits (1 selected, 4 disabled, 16 focus).
    virtual void peerDrawItem(gdi::Painter& /*p*/, unsigned /*itemState*/, int /*w*/, int /*h*/) {}
    // Owner-drawn lists and combo boxes: draw item `index` (-1: none) on an image of the
    // item's size; `state` holds the ODS_ flags, `action` the ODA_ one (1 the whole item, 4
    // its focus only).
    virtual void peerDrawListItem(gdi::Image& /*img*/, int /*index*/, unsigned /*state*/,
                                  unsigned /*action*/) {}
    // A list's background before its items are drawn: `img` covers the client area from
    // client point (x, y). False leaves the window system's own background.
    virtual bool peerEraseBackground(gdi::Image& /*img*/, int /*x*/, int /*y*/) { return false; }
    // A list's scroll bar is about to move (an SB_ request and the position it goes to);
    // true keeps it where it is.
    virtual bool peerScroll(bool /*horizontal*/, int /*request*/, int /*pos*/) { return false; }
};

// Every window: place, visibility, text, looks, focus, repainting, and synthetic input
// through the window system's event delivery (tests, automation).
class Peer {
public:
    virtual ~Peer() = default;
    virtual void setGeometry(int l, int t, int w, int h) = 0;  // in the parent's client area
    virtual void setVisible(bool v) = 0;
    virtual bool isVisible() const = 0;
    virtual void setEnabled(bool e) = 0;
    // The caption or contents (a top-level window's title); painted windows keep none.
    virtual void setText(const std::string& s) = 0;
    virtual std::string text() const = 0;
    virtual void setFont(const gdi::FontSpec& f) = 0;
    virtual void setColor(uint32_t bgr) = 0;  // the window system's widgets only
    virtual void setToolTip(const std::string& s) = 0;
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;
    virtual void invalidate() = 0;
    virtual void repaintNow() = 0;
    // WM_SETREDRAW: while off, the window is not painted; turning it on paints it.
    virtual void setRedraw(bool on) = 0;
    // Shapes the window (window coordinates, frame included): outside the rectangles it
    // neither shows nor takes the mouse. No rectangles and `shaped` false: the whole window.
    virtual void setShape(const int* ltrb, int count, bool shaped) = 0;
    virtual bool grab(gdi::Image& out) = 0;  // the window as it shows now
    // The window's rectangle on the screen, or its client area's; false when not shown by
    // the window system.
    virtual bool screenRect(bool client, int& l, int& t, int& r, int& b) const = 0;
    // Follows the mouse until its left button is released, whichever widget has it (the
    // window system's tracking of a move or a resize): `moved` hears each screen position,
    // `ended` the release.
    virtual void trackMouse(std::function<void(int, int)> moved, std::function<void()> ended) = 0;
    // A left click at a window point, delivered as the window system delivers one.
    virtual void click(int x, int y) = 0;
    // A mouse move to a client point, the mouse entering or leaving the window, and a left
    // button press or release at a client point.
    virtual void sendMouseMove(int x, int y) = 0;
    virtual void sendEnterLeave(bool enter) = 0;
    virtual void sendMouseButton(bool down, int x, int y) = 0;
    // Mouse input at a screen point: WM_MOUSEMOVE or a button message (WM_LBUTTONDOWN,
    // WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP), delivered as the window system delivers
    // it: a press to the widget of this window under the point, moves and releases while a
    // button is held to the widget that was pressed.
    virtual void sendMouse(unsigned msg, int sx, int sy) = 0;
};

// A window its control paints, with a backing image so the control can draw at any time.
class PaintedPeer : public Peer {
public:
    // The image a device context of the window draws on (client area, or the whole window
    // with `whole`), sized to the window.
    virtual gdi::Image* surface(bool whole) = 0;
    // Shows what was drawn on the surface outside a paint without painting the window anew.
    virtual void showSurface() = 0;
};

// A top-level window: frameless, its frame painted by its control around the client area.
// Made with a parent, the same window is a child of the parent's client area (an MDI child):
// it is never the active window itself, and `activate` brings it to the front.
class WindowPeer : public PaintedPeer {
public:
    virtual void setFrame(int left, int top, int right, int bottom) = 0;  // frame widths
    // Whether the user may change the window's size (a sizing frame); a window that is not
    // keeps the size the program gives it, whatever a window manager offers the user.
    virtual void setSizeable(bool on) = 0;
    virtual void setTopmost(bool on) = 0;
    // Whether the window manager may minimize and maximize the window: the frame is the
    // program's, so the window manager offers only what is said here (and resizing only to a
    // window the user may size).
    virtual void setMinMax(bool minimize, bool maximize) = 0;
    // The window it belongs to (none: a window of its own, as the main window is): the window
    // system keeps an owned window with its owner (the window manager neither leaves it
    // behind nor iconifies it alone). Set while the window is hidden.
    virtual void setOwner(WindowPeer* owner) = 0;
    virtual void activate() = 0;
    // A modal window blocks input to the others while it shows.
    virtual void setModal(bool on) = 0;
    virtual bool isActive() const = 0;
    virtual bool minimized() const = 0;
    virtual bool maximized() const = 0;
    // A mouse move to a window point (frame included), delivered as the window system does,
    // and the standard cursor (an IDC_ number, 0 for the arrow) the window shows there now.
    virtual void hover(int x, int y) = 0;
    virtual int cursorShown() const = 0;
};

// `parent` is the peer of the parent window (null: a window of its own).
std::unique_ptr<PaintedPeer> NewPaintedPeer(Peer* parent, PeerHost* host);
std::unique_ptr<WindowPeer> NewWindowPeer(PeerHost* host, Peer* parent = nullptr);

}  // namespace ws
