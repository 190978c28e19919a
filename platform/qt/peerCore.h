// Inside the Qt back end only: what the peers of every kind share (the widget, the key and
// hint filter, the common calls) and the painted widget that top-level windows also use.
#pragma once

#include <functional>
#include <memory>

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include "platform/qt/qimageAccess.h"
#include "platform/vcl/peer.h"

namespace qtbridge {

constexpr unsigned kMouseMove = 0x0200, kLDown = 0x0201, kLUp = 0x0202, kLDbl = 0x0203,
                   kRDown = 0x0204, kRUp = 0x0205;

constexpr unsigned kNcLDown = 0x00A1, kNcRDown = 0x00A4, kNcRUp = 0x00A5;
constexpr int kHtClient = 1, kHtTransparent = -1;

inline QColor ToQ(uint32_t bgr) {
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
// The MK_ bits of the buttons and modifiers held.
unsigned MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m);
bool Offscreen();

// The window system's tracking of a move or resize: while it runs, the mouse belongs to it,
// whichever widget the press went to (the press's widget keeps receiving the moves).
struct MouseTracking {
    std::function<void(int, int)> moved;
    std::function<void()> ended;
    bool on() const { return bool(moved); }
    // Feeds a move or a left release to the tracking; false when none runs.
    bool feed(QMouseEvent* e);
};
extern MouseTracking g_tracking;

// A press asks its window which part lies under the mouse; a press off the client area is a
// non-client press, whose release goes to the window the same way.
class NonClientPress {
public:
    // True when the press went to the window as a non-client press.
    bool press(ws::PeerHost* host, QMouseEvent* e);
    bool held() const { return button_ != Qt::NoButton; }
    // True when the release belongs to a non-client press.
    bool release(ws::PeerHost* host, QMouseEvent* e);

private:
    Qt::MouseButton button_ = Qt::NoButton;
    int hit_ = 0;
};

// What the next paint of a widget with a backing image does: paint the image anew, or only
// show what was drawn on it at once. Showing never cancels a repaint asked for before it, so
// no invalidation is lost whatever draws at once in between.
class PendingPaint {
public:
    void invalidate() { stale_ = true; }
    void showDrawn() { showOnly_ = true; }
    // Sizes the image to its widget; an image of a new size holds nothing worth showing.
    gdi::Image& sized(gdi::Image& img, int w, int h) {
        if (img.width() != w || img.height() != h) stale_ = true;
        img.resize(w, h);
        return img;
    }
    // Whether this paint must paint the image anew; the next paint starts afresh.
    bool take() {
        const bool repaint = stale_ || !showOnly_;
        stale_ = showOnly_ = false;
        return repaint;
    }

private:
    bool stale_ = true;  // never painted yet
    bool showOnly_ = false;
};

// What a widget reports to once its control has gone (the widget itself goes later, as Qt
// wants): nobody. Events still queued for it then do nothing.
ws::PeerHost* NoHost();

// A widget painted by its control, with a backing image so the control can draw at any time.
class PaintedWidget : public QWidget {
public:
    PaintedWidget(QWidget* parent, ws::PeerHost* host);
    void orphan() { host_ = NoHost(); }
    gdi::Image backing;
    // The backing image at the widget's size.
    gdi::Image& surface() { return paint_.sized(backing, width(), height()); }
    // A repaint asked for (the control paints the backing image anew at the next paint).
    void invalidate() {
        paint_.invalidate();
        update();
    }
    // Drawing done at once on the backing image is to be shown; a repaint still pending
    // stays pending.
    void showDrawn() {
        paint_.showDrawn();
        update();
    }
    // Outside the shape of its window a widget takes no mouse (set by the window).
    static inline std::function<bool(QWidget*, QPoint)> outsideShape;

protected:
    void paintEvent(QPaintEvent*) override;
    bool outside(QMouseEvent* e);
    void mouseEvent(unsigned msg, QMouseEvent* e);
    void press(unsigned msg, QMouseEvent* e);
    void mousePressEvent(QMouseEvent* e) override {
        press(e->button() == Qt::RightButton ? kRDown : kLDown, e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override { press(kLDbl, e); }
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent*) override { enter(); }
    void leaveEvent(QEvent*) override { leave(); }
    void focusInEvent(QFocusEvent*) override { host_->peerFocus(true); }
    void focusOutEvent(QFocusEvent*) override { host_->peerFocus(false); }

    ws::PeerHost* host_;
    NonClientPress nonClient_;
    PendingPaint paint_;

private:
    // The mouse is on this widget itself, not on a child widget of it: the control hears
    // the mouse leave when it goes into a child window, as a window does on Windows.
    void enter();
    void leave();
    bool inside_ = false;
    friend class ChildEnterFilter;
};

// How a kind's widget reports to its control beyond keys and hints.
struct PeerReports {
    bool native = false;      // the window system's own widget: it reports enter and leave
    bool focus = false;       // it reports focus changes (lists and combo boxes)
    bool clickFocus = false;  // edits: left clicks and focus changes
};

// The widget behind a peer and the calls every kind answers the same way. The widget is
// deleted (later, as Qt wants) with the core.
class PeerCore {
public:
    PeerCore(QWidget* w, QWidget* client, ws::PeerHost* host, PeerReports reports);
    virtual ~PeerCore();
    QWidget* widget() const { return w_; }
    QWidget* client() const { return client_; }
    // Another widget of the peer that reports keys too (the edit part of a combo box).
    void filterKeysOf(QWidget* w);

    void setGeometry(int l, int t, int w, int h);
    void setVisible(bool v) { w_->setVisible(v); }
    bool isVisible() const { return w_->isVisible(); }
    void setEnabled(bool e) { w_->setEnabled(e); }
    // The font, and for the window system's widgets its colour as the text's.
    void setFont(const gdi::FontSpec& f);
    void setColor(uint32_t bgr);
    void setToolTip(const std::string& s);
    void setFocus() { client_->setFocus(); }
    bool hasFocus() const { return client_->hasFocus(); }
    // Virtual for the kinds that keep a backing image (see setRedraw and setShape).
    virtual void invalidate() { client_->update(); }
    void repaintNow() { client_->repaint(); }
    void setRedraw(bool on);
    void setShape(const int* ltrb, int count, bool shaped);
    bool grab(gdi::Image& out);
    bool screenRect(bool client, int& l, int& t, int& r, int& b) const;
    void trackMouse(std::function<void(int, int)> moved, std::function<void()> ended);
    void sendMouse(unsigned msg, int sx, int sy);
    void click(int x, int y);
    void sendMouseMove(int x, int y);
    void sendEnterLeave(bool enter);
    void sendMouseButton(bool down, int x, int y);

protected:
    // Changes made by the program do not come back as notifications; the class library
    // raises its own events for them.
    template <class F>
    void blocked(F f) {
        const bool old = w_->blockSignals(true);
        f();
        w_->blockSignals(old);
    }
    // Check and radio buttons keep the mark's colours whatever the caption's colour.
    bool keepsMarkColours_ = false;
    QWidget* w_;
    QWidget* client_;
    ws::PeerHost* host_;
    QObject* filter_;
    bool native_;
};

// A kind's interface answered by the core; the kind's class adds its own calls and
// overrides what it does differently.
template <class Interface>
class QtPeer : public Interface, public PeerCore {
public:
    using PeerCore::PeerCore;
    void setGeometry(int l, int t, int w, int h) override { PeerCore::setGeometry(l, t, w, h); }
    void setVisible(bool v) override { PeerCore::setVisible(v); }
    bool isVisible() const override { return PeerCore::isVisible(); }
    void setEnabled(bool e) override { PeerCore::setEnabled(e); }
    void setText(const std::string&) override {}
    std::string text() const override { return {}; }
    void setFont(const gdi::FontSpec& f) override { PeerCore::setFont(f); }
    void setColor(uint32_t bgr) override { PeerCore::setColor(bgr); }
    void setToolTip(const std::string& s) override { PeerCore::setToolTip(s); }
    void setFocus() override { PeerCore::setFocus(); }
    bool hasFocus() const override { return PeerCore::hasFocus(); }
    void invalidate() override { PeerCore::invalidate(); }
    void repaintNow() override { PeerCore::repaintNow(); }
    void setRedraw(bool on) override { PeerCore::setRedraw(on); }
    void setShape(const int* ltrb, int count, bool shaped) override {
        PeerCore::setShape(ltrb, count, shaped);
    }
    bool grab(gdi::Image& out) override { return PeerCore::grab(out); }
    bool screenRect(bool client, int& l, int& t, int& r, int& b) const override {
        return PeerCore::screenRect(client, l, t, r, b);
    }
    void trackMouse(std::function<void(int, int)> moved, std::function<void()> ended) override {
        PeerCore::trackMouse(std::move(moved), std::move(ended));
    }
    void sendMouse(unsigned msg, int sx, int sy) override { PeerCore::sendMouse(msg, sx, sy); }
    void click(int x, int y) override { PeerCore::click(x, y); }
    void sendMouseMove(int x, int y) override { PeerCore::sendMouseMove(x, y); }
    void sendEnterLeave(bool enter) override { PeerCore::sendEnterLeave(enter); }
    void sendMouseButton(bool down, int x, int y) override {
        PeerCore::sendMouseButton(down, x, y);
    }
};

// The dotted rectangle of the focus, inverting what it crosses, so it shows on any
// background (the items of lists, the captions of check and radio buttons).
inline void DrawFocusRect(QPainter* p, const QRect& r) {
    p->save();
    p->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    QPen pen(Qt::white, 1);
    pen.setDashPattern({1, 1});
    pen.setCosmetic(true);
    p->setPen(pen);
    p->setBrush(Qt::NoBrush);
    p->drawRect(r.adjusted(0, 0, -1, -1));
    p->restore();
}

// The widget children of a peer go into (its client area); null for none.
QWidget* ParentWidget(ws::Peer* parent);
// Shows a child widget once its peer is made.
template <class P>
std::unique_ptr<P> Shown(std::unique_ptr<P> p) {
    dynamic_cast<PeerCore&>(*p).widget()->show();
    return p;
}

}  // namespace qtbridge
