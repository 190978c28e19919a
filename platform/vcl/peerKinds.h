// The window system's own widgets behind the standard controls, one interface per kind:
// edits, buttons, list and combo boxes, progress bars and rich edits (see peer.h).
#pragma once

#include "platform/vcl/peer.h"

namespace ws {

class EditPeer : public Peer {
public:
    virtual void setReadOnly(bool on) = 0;
    virtual void setMaxLength(int n) = 0;  // 0: no limit of the control's own
    virtual void setPasswordChar(char c) = 0;
};

// Push buttons, check and radio buttons.
class ButtonPeer : public Peer {
public:
    virtual void setChecked(bool on) = 0;
    virtual bool checked() const = 0;
    // Whether the Tab key stops at the button (radio buttons: only the checked one).
    virtual void setTabStop(bool on) = 0;
    // Shows the button pressed or released (BM_SETSTATE); whether it shows pressed.
    virtual void setPressed(bool down) = 0;
    virtual bool pressed() const = 0;
};
// OwnerDraw: a push button (focus, keys, the pressed state while held, the click) whose
// every paint is asked of its control as a draw-item request.
enum class ButtonKind { Push, OwnerDraw, Check, Radio };

// What list and combo boxes share: their items and how they are drawn.
class ItemsPeer : public Peer {
public:
    virtual void clearItems() = 0;
    virtual void insertItem(int index, const std::string& s, int indent) = 0;
    virtual void deleteItem(int index) = 0;
    virtual void setItemText(int index, const std::string& s) = 0;
    virtual int itemIndex() const = 0;
    virtual void setItemIndex(int i) = 0;
    // 0 the widget draws its items, 1 the host draws them at one height, 2 at a height per item.
    virtual void setOwnerDraw(int mode) = 0;
    // The height of item `index`, or with -1 of every item (and of the ones added later).
    virtual void setItemHeight(int index, int h) = 0;
};

class ListPeer : public ItemsPeer {
public:
    // extended: a click selects one item, Shift and Ctrl widen; otherwise a click toggles one.
    virtual void setMultiSelect(bool multi, bool extended) = 0;
    virtual void setSelected(int i, bool s) = 0;
    virtual bool selected(int i) const = 0;
    // The height of a plain list's rows in pixels; 0: the font's.
    virtual void setRowHeight(int h) = 0;
    // The width the horizontal scroll bar scrolls over (owner-drawn lists).
    virtual void setHorizontalExtent(int w) = 0;
    virtual void setScrollBars(bool horizontal, bool vertical) = 0;
    // The classic sunken three-dimensional border (on) or a flat line (off).
    virtual void setCtl3D(bool on) = 0;
    virtual int topIndex() const = 0;
    virtual void setTopIndex(int i) = 0;
    // The item at a client point (-1: none; `nearest` takes the closest item instead), and
    // an item's rectangle in client coordinates.
    virtual int itemAt(int x, int y, bool nearest) const = 0;
    virtual bool itemRect(int i, int& l, int& t, int& r, int& b) const = 0;
    // A scroll-bar step (an SB_ request), as a click on the bar's arrow or track.
    virtual void sendScroll(bool horizontal, int request) = 0;
    // The list reports its mouse input to the control first (peerMouse); the control's
    // default handling of a mouse message (WM_ number, client point, MK_ keys) is the
    // window's own: selecting, tracking, double clicks.
    virtual void nativeMouse(unsigned msg, int x, int y, unsigned keys) = 0;
};

class ComboPeer : public ItemsPeer {
public:
    virtual void setDropDownCount(int n) = 0;
    // An edit part (typing allowed unless read-only; a read-only box does not drop its list
    // down either).
    virtual void setEditable(bool on) = 0;
    virtual void setEditReadOnly(bool on) = 0;
    // The edit part's selection, in bytes of its UTF-8 text (the caret where length is 0).
    virtual void editSelection(int& start, int& length) const = 0;
    virtual void setEditSelection(int start, int length) = 0;
    // The drop-down list: opened or closed, its least width (never below the box's own),
    // and where it lies on the screen while open (false while closed).
    virtual void showDropDown(bool show) = 0;
    virtual bool droppedDown() const = 0;
    virtual void setDroppedWidth(int width) = 0;
    virtual bool droppedRect(int& left, int& top, int& right, int& bottom) const = 0;
    // The open list as it shows now; false while it is closed.
    virtual bool grabDropDown(gdi::Image& out) const = 0;
};

// Progress bars.
class RangePeer : public Peer {
public:
    virtual void setRange(int lo, int hi) = 0;
    virtual void setPosition(int v) = 0;
};

// A read-only document view.
class RichEditPeer : public Peer {
public:
    virtual void setRichText(const std::string& html) = 0;
};

std::unique_ptr<EditPeer> NewEditPeer(Peer* parent, PeerHost* host);
std::unique_ptr<ButtonPeer> NewButtonPeer(ButtonKind kind, Peer* parent, PeerHost* host);
std::unique_ptr<ListPeer> NewListPeer(Peer* parent, PeerHost* host);
std::unique_ptr<ComboPeer> NewComboPeer(Peer* parent, PeerHost* host);
std::unique_ptr<RangePeer> NewRangePeer(Peer* parent, PeerHost* host);
std::unique_ptr<RichEditPeer> NewRichEditPeer(Peer* parent, PeerHost* host);

}  // namespace ws
