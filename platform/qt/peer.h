// Window-system widgets behind the class library's windowed controls, seen without the
// window system's types. Container and custom controls are painted by their control;
// edits, check and radio buttons, buttons, combo and list boxes, progress bars and spin
// boxes are the window system's own widgets.
#pragma once

#include <functional>
#include <string>

#include "platform/qt/surface.h"

namespace qtbridge {

// OwnerDrawButton: a push button (focus, keys, the pressed state while held, the click) whose
// every paint is asked of its control as a draw-item request.
enum class PeerKind { TopLevel, Painted, Edit, CheckBox, RadioButton, PushButton, ComboBox, ListBox, ProgressBar, SpinBox, RichEdit, OwnerDrawButton };

// Notification codes a native widget reports to its control.
enum PeerNote { pnClicked = 0, pnTextChanged = 1, pnSelChange = 2, pnValueChanged = 3, pnDropDown = 4, pnCloseUp = 5, pnDblClick = 6 };

class PeerHost {
public:
    virtual ~PeerHost() = default;
    virtual void peerPaint(Painter& p, int l, int t, int r, int b) = 0;   // client area
    virtual void peerPaintFrame(Painter& p, int w, int h) = 0;              // top level frame
    virtual void peerMouse(unsigned msg, int x, int y, unsigned keys) = 0;  // client coordinates
    virtual bool peerKey(unsigned msg, int key, unsigned shift) = 0;        // true: consumed
    virtual void peerNotify(int code) = 0;
    virtual bool peerCloseRequest() = 0;
    virtual void peerFocus(bool in) = 0;
    virtual void peerEnterLeave(bool enter) = 0;
    // The hint for a point of the client area: false leaves the widget's own tooltip; true
    // with an empty text shows none.
    virtual bool peerHint(int /*x*/, int /*y*/, std::string& /*text*/, uint32_t& /*bgr*/) { return false; }
    // A top-level window became active or inactive.
    virtual void peerActivate(bool /*active*/) {}
    // The mouse moved over a top-level window's frame (window coordinates); answers the
    // standard cursor to show there (an IDC_ number), 0 for the arrow.
    virtual int peerFrameMouse(int /*x*/, int /*y*/) { return 0; }
    // A button press at a screen point first asks the window which part of it lies there
    // (the HT code of WM_NCHITTEST); a press off its client area goes to the window as a
    // non-client button message (WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN, WM_NCRBUTTONUP).
    virtual int peerHitTest(int /*sx*/, int /*sy*/) { return 1; }
    virtual void peerNcMouse(unsigned /*msg*/, int /*hit*/, int /*sx*/, int /*sy*/) {}
    // An owner-drawn widget's paint: the item state bits (1 selected, 4 disabled, 16 focus).
    virtual void peerDrawItem(Painter& /*p*/, unsigned /*itemState*/, int /*w*/, int /*h*/) {}
    // Owner-drawn lists and combo boxes: draw item `index` (-1: none) on an image of the
    // item's size; `state` holds the ODS_ flags.
    virtual void peerDrawListItem(Image& /*img*/, int /*index*/, unsigned /*state*/) {}
    // A list's scroll bar is about to move (an SB_ request and the position it goes to);
    // true keeps it where it is.
    virtual bool peerScroll(bool /*horizontal*/, int /*request*/, int /*pos*/) { return false; }
};

class Peer {
public:
    static Peer* create(PeerKind kind, Peer* parent, PeerHost* host);
    virtual ~Peer() = default;

    virtual void setGeometry(int l, int t, int w, int h) = 0;     // in the parent's client area
    virtual void setFrame(int left, int top, int right, int bottom) = 0;  // top level: frame widths
    virtual void setVisible(bool v) = 0;
    virtual bool isVisible() const = 0;
    virtual void setEnabled(bool e) = 0;
    virtual void setText(const std::string& s) = 0;
    virtual std::string text() const = 0;
    virtual void setFont(const FontSpec& f) = 0;
    virtual void setColor(uint32_t bgr) = 0;
    virtual void setToolTip(const std::string& s) = 0;
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;
    virtual void invalidate() = 0;
    virtual void repaintNow() = 0;
    virtual void raise() = 0;
    virtual void setTopmost(bool) = 0;
    virtual void activate() = 0;
    // A modal top-level window blocks input to the others while it shows.
    virtual void setModal(bool) = 0;
    virtual bool grab(Image& out) = 0;  // the widget as it shows now
    // The image a device context of the window draws on (client area, or the whole window
    // with `whole`), sized to the widget; null for widgets that paint themselves.
    virtual Image* surface(bool whole) { (void)whole; return nullptr; }
    // Shows what was drawn on the surface outside a paint without painting the window anew.
    virtual void showSurface() {}
    // Shapes the window (window coordinates, frame included): outside the rectangles it
    // neither shows nor takes the mouse. No rectangles and `shaped` false: the whole window.
    virtual void setShape(const int* ltrb, int count, bool shaped) { (void)ltrb; (void)count; (void)shaped; }
    // A left click at a window point, delivered as the window system delivers one.
    virtual void click(int x, int y) { (void)x; (void)y; }
    // A mouse move to a window point (frame included), delivered as the window system does,
    // and the standard cursor (an IDC_ number, 0 for the arrow) the window shows there now.
    virtual void hover(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual int cursorShown() const { return 0; }
    // The window's rectangle on the screen, or its client area's; false when not shown by
    // the window system.
    virtual bool screenRect(bool client, int& l, int& t, int& r, int& b) const {
        (void)client, (void)l, (void)t, (void)r, (void)b;
        return false;
    }
    // Follows the mouse until its left button is released, whichever widget has it (the
    // window system's tracking of a move or a resize): `moved` hears each screen position,
    // `ended` the release.
    virtual void trackMouse(std::function<void(int, int)> moved, std::function<void()> ended) {
        (void)moved, (void)ended;
    }
    // Synthetic mouse input at a screen point (tests, automation): WM_MOUSEMOVE or a button
    // message (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP), delivered as the
    // window system delivers it: a press to the widget of this window under the point, moves
    // and releases while a button is held to the widget that was pressed.
    virtual void sendMouse(unsigned msg, int sx, int sy) { (void)msg, (void)sx, (void)sy; }
    // The top-level window is the active one.
    virtual bool isActive() const { return false; }
    virtual bool minimized() const { return false; }
    virtual bool maximized() const { return false; }
    // WM_SETREDRAW: while off, the window is not painted; turning it on paints it.
    virtual void setRedraw(bool on) { (void)on; }
    // check and radio buttons
    virtual void setChecked(bool) = 0;
    virtual bool checked() const = 0;
    // lists and combo boxes
    virtual void clearItems() = 0;
    virtual void insertItem(int index, const std::string& s, int indent) = 0;
    virtual void deleteItem(int index) = 0;
    virtual void setItemText(int index, const std::string& s) = 0;
    virtual int itemCount() const = 0;
    virtual int itemIndex() const = 0;
    virtual void setItemIndex(int i) = 0;
    // extended: a click selects one item, Shift and Ctrl widen; otherwise a click toggles one.
    virtual void setMultiSelect(bool multi, bool extended) = 0;
    // Whether the Tab key stops at the control (radio buttons: only the checked one).
    virtual void setTabStop(bool on) { (void)on; }
    virtual void setSelected(int i, bool s) = 0;
    virtual bool selected(int i) const = 0;
    virtual void setDropDownCount(int) = 0;
    // Owner drawing of lists and combo boxes: 0 the widget draws its items, 1 the host draws
    // them at one height, 2 at a height per item.
    virtual void setOwnerDraw(int /*mode*/) {}
    // The height of item `index`, or with -1 of every item (and of the ones added later).
    virtual void setItemHeight(int /*index*/, int /*h*/) {}
    // The height of a plain list's rows in pixels; 0: the font's.
    virtual void setRowHeight(int h) { (void)h; }
    // The width the horizontal scroll bar scrolls over (owner-drawn lists).
    virtual void setHorizontalExtent(int /*w*/) {}
    virtual void setScrollBars(bool /*horizontal*/, bool /*vertical*/) {}
    virtual int topIndex() const { return 0; }
    virtual void setTopIndex(int /*i*/) {}
    // The item at a client point (-1: none; `nearest` takes the closest item instead), and
    // an item's rectangle in client coordinates.
    virtual int itemAt(int /*x*/, int /*y*/, bool /*nearest*/) const { return -1; }
    virtual bool itemRect(int /*i*/, int& /*l*/, int& /*t*/, int& /*r*/, int& /*b*/) const { return false; }
    // A combo box with an edit part (typing allowed unless read-only; a read-only box does
    // not drop its list down either).
    virtual void setEditable(bool /*on*/) {}
    virtual void setEditReadOnly(bool /*on*/) {}
    // progress bars and spin boxes
    virtual void setRange(int lo, int hi) = 0;
    virtual void setPosition(int v) = 0;
    virtual int position() const = 0;
    // edits
    virtual void setReadOnly(bool) = 0;
    virtual void setMaxLength(int) = 0;
    virtual void setPasswordChar(char) = 0;
    // rich edits: the document as HTML
    virtual void setRichText(const std::string& html) = 0;
    // Synthetic input through the window system's event delivery (tests, automation): a
    // mouse move to a client point, and the mouse entering or leaving the widget.
    virtual void sendMouseMove(int /*x*/, int /*y*/) {}
    virtual void sendEnterLeave(bool /*enter*/) {}
    // A scroll-bar step of a list (an SB_ request), as a click on the bar's arrow or track.
    virtual void sendScroll(bool /*horizontal*/, int /*request*/) {}
    // Push buttons: shows the button pressed or released (BM_SETSTATE); whether it shows pressed.
    virtual void setPressed(bool /*down*/) {}
    virtual bool pressed() const { return false; }
    // Synthetic left button press or release at a client point (tests, automation).
    virtual void sendMouseButton(bool /*down*/, int /*x*/, int /*y*/) {}
};

}  // namespace qtbridge
