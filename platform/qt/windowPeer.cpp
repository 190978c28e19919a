// Top-level windows: frameless, their frame painted by their control around a painted client
// area; which of them is active is kept here.
#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QPainter>
#include <QPointer>
#include <QWindow>

#include "platform/qt/peerCore.h"
#include "platform/qt/qtapp.h"
#include "platform/qt/windowFunctions.h"

namespace qtbridge {
namespace {

// A top-level window: frameless, its frame painted by its control around a client widget.
// With a parent widget it is a child window with the same frame (an MDI child).
class TopLevelWidget : public QWidget {
public:
    TopLevelWidget(ws::PeerHost* host, QWidget* parent)
        : QWidget(parent, parent ? Qt::Widget : Qt::Window | Qt::FramelessWindowHint), host_(host) {
        client = new PaintedWidget(this, host);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);              // the frame hears every move, for its sizing cursors
        client->setCursor(Qt::ArrowCursor);  // the frame's cursor stays on the frame
    }
    int cursorId = 0;  // the standard cursor the frame shows (IDC_ number, 0 the arrow)
    PaintedWidget* client;
    int fl = 0, ft = 0, fr = 0, fb = 0;
    gdi::Image frameImg;
    PendingPaint framePaint;
    bool shaped = false;
    QRegion shape;  // window coordinates
    bool takesMouseAt(QPoint p) const { return !shaped || shape.contains(p); }

    void layoutClient() {
        client->setGeometry(fl, ft, std::max(0, width() - fl - fr),
                            std::max(0, height() - ft - fb));
    }

    // The window moved or changed its size; the peer tells its control when that came from
    // outside the program.
    std::function<void()> placed;

protected:
    void resizeEvent(QResizeEvent*) override {
        layoutClient();
        if (placed && isWindow()) placed();
    }
    void moveEvent(QMoveEvent*) override {
        if (placed && isWindow()) placed();
    }
    void paintEvent(QPaintEvent*) override {
        if (fl == 0 && ft == 0 && fr == 0 && fb == 0) return;
        framePaint.sized(frameImg, width(), height());
        if (framePaint.take()) {
            Painter p(frameImg);
            host_->peerPaintFrame(p, width(), height());
        }
        QPainter wp(this);
        wp.drawImage(0, 0, QImageOf(frameImg));
    }
    void closeEvent(QCloseEvent* e) override {
        if (host_->peerCloseRequest())
            e->accept();
        else
            e->ignore();
    }
    // The frame is never client area: a press there is the window's non-client press (a
    // press on the caption or a sizing border starts the window system's move or resize).
    void mousePressEvent(QMouseEvent* e) override {
        if (!takesMouseAt(e->position().toPoint())) {
            e->ignore();
            return;
        }
        nonClient_.press(host_, e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (g_tracking.feed(e) || nonClient_.held()) return;
        // The window decides its cursor (hit test, then WM_SETCURSOR), as on Windows.
        const QPoint p = e->position().toPoint();
        showCursor(host_->peerFrameMouse(p.x(), p.y()));
    }
    void changeEvent(QEvent* e) override;

public:
    ws::PeerHost* host() const { return host_; }
    void orphan() { host_ = NoHost(); }

protected:
    void showCursor(int id) {
        cursorId = id;
        switch (id) {
            case 32644:
                setCursor(Qt::SizeHorCursor);
                break;  // IDC_SIZEWE
            case 32645:
                setCursor(Qt::SizeVerCursor);
                break;  // IDC_SIZENS
            case 32642:
                setCursor(Qt::SizeFDiagCursor);
                break;  // IDC_SIZENWSE
            case 32643:
                setCursor(Qt::SizeBDiagCursor);
                break;  // IDC_SIZENESW
            default:
                cursorId = 0;
                unsetCursor();
                break;
        }
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) g_tracking.feed(e);
        nonClient_.release(host_, e);
    }

private:
    ws::PeerHost* host_;
    NonClientPress nonClient_;
};

// Which top-level window is active, kept as Windows keeps it: a window shown is activated,
// and when the active window hides or goes, the one active before it (still shown) is. On a
// screen the window system's own changes (a click into another window) are followed too; off
// screen the window system activates only on a window's first showing, so this order rules.
std::vector<TopLevelWidget*> g_activation;  // the active one last
// Another program has the keyboard: none of ours is active. The last of the order is the one
// that had it, and it hears that it is active again when the keyboard comes back to it.
bool g_elsewhere = false;
// The window system takes the activation from a window the program hides (for good, or to
// change its kind): that is no other program taking the keyboard.
TopLevelWidget* g_hiding = nullptr;

TopLevelWidget* ActiveTopLevel() {
    return g_elsewhere || g_activation.empty() ? nullptr : g_activation.back();
}

void ActivateTopLevel(TopLevelWidget* w) {
    TopLevelWidget* old = ActiveTopLevel();
    g_elsewhere = false;
    if (w == old) return;
    g_activation.erase(std::remove(g_activation.begin(), g_activation.end(), w),
                       g_activation.end());
    g_activation.push_back(w);
    if (old) old->host()->peerActivate(false);
    w->host()->peerActivate(true);
}

// Another program took the keyboard: the active window is not active any more.
void ActivateElsewhere() {
    TopLevelWidget* old = ActiveTopLevel();
    if (!old) return;
    g_elsewhere = true;
    old->host()->peerActivate(false);
}

// A window hides (`notify`) or goes: the window active before it takes over. While another
// program has the keyboard that one only comes first in the order: it is told when the
// keyboard comes back, and nothing is taken from the other program.
void LeaveActivation(TopLevelWidget* w, bool notify) {
    const bool wasLast = !g_activation.empty() && g_activation.back() == w;
    const bool wasActive = wasLast && !g_elsewhere;
    g_activation.erase(std::remove(g_activation.begin(), g_activation.end(), w),
                       g_activation.end());
    if (!wasLast) return;
    if (notify && wasActive) w->host()->peerActivate(false);
    for (auto it = g_activation.rbegin(); it != g_activation.rend(); ++it)
        if ((*it)->isVisible()) {
            TopLevelWidget* next = *it;
            g_activation.erase(std::next(it).base());
            g_activation.push_back(next);
            if (!wasActive) return;
            next->host()->peerActivate(true);
            // The window system gets the keyboard back to it too: without a window manager
            // it would leave it to the root window.
            if (!Offscreen() && next->isWindow()) next->activateWindow();
            return;
        }
}

// The toolkit's own modal windows (the file and folder dialogs) are not in that order: when
// one hides, the window active before it gets the keyboard back here, as after a modal window
// of the program's own; without a window manager it would go to the root window.
class ModalHideFilter : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Hide || !o->isWidgetType()) return false;
        auto* w = static_cast<QWidget*>(o);
        if (!w->isWindow() || !w->isModal() || dynamic_cast<TopLevelWidget*>(w)) return false;
        if (!g_activation.empty() && g_activation.back()->isVisible() &&
            g_activation.back()->isWindow())
            g_activation.back()->activateWindow();
        return false;
    }
};

void TopLevelWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && isWindow() && !Offscreen()) {
        if (isActiveWindow())
            ActivateTopLevel(this);
        else if (this != g_hiding && ActiveTopLevel() == this && !QApplication::activeWindow())
            ActivateElsewhere();  // another program has the keyboard now
    }
    QWidget::changeEvent(e);
}

// A press anywhere inside a child window with a frame (an MDI child) asks for that child's
// activation before the press is handled, as a press activates a window on Windows.
class ChildFramePressFilter : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::MouseButtonPress && e->type() != QEvent::MouseButtonDblClick)
            return false;
        for (auto* w = qobject_cast<QWidget*>(o); w; w = w->parentWidget())
            if (auto* frame = dynamic_cast<TopLevelWidget*>(w); frame && !frame->isWindow()) {
                frame->host()->peerActivate(true);
                break;
            }
        return false;
    }
};

class QtWindowPeer final : public QtPeer<ws::WindowPeer> {
public:
    QtWindowPeer(TopLevelWidget* w, ws::PeerHost* host)
        : QtPeer(w, w->client, host, PeerReports{}), top_(w) {
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->placed = [this] { reportPlace(); };
    }
    ~QtWindowPeer() override {
        LeaveActivation(top_, false);
        top_->placed = nullptr;
        top_->orphan();
    }

    void setGeometry(int l, int t, int w, int h) override {
        size_ = QSize(std::max(0, w), std::max(0, h));
        // The program's own placing is no news to it.
        const bool was = placing_;
        placing_ = true;
        keepSize();
        // A window already there (the control follows a place the window system reported)
        // is not placed again: a report of a place since left behind would move it back.
        if (top_->geometry() != QRect(QPoint(l, t), size_)) {
            top_->setGeometry(l, t, w, h);
            top_->layoutClient();
        }
        placing_ = was;
    }
    void setSizeable(bool on) override {
        sizeable_ = on;
        if (top_->isVisible()) offerFunctions();
        if (on) {
            top_->setMinimumSize(0, 0);
            top_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        } else {
            keepSize();
        }
    }
    void setFrame(int left, int top, int right, int bottom) override {
        top_->fl = left;
        top_->ft = top;
        top_->fr = right;
        top_->fb = bottom;
        top_->layoutClient();
        top_->update();
    }
    void setVisible(bool v) override {
        // A window shows at the size its program gave it, whatever was done to it before.
        if (v && !sizeable_ && size_.isValid() && top_->size() != size_) {
            top_->resize(size_);
            top_->layoutClient();
        }
        if (v) {
            offerFunctions();
            top_->setVisible(true);
            WaitOnScreen();
        } else {
            hide();
            LeaveActivation(top_, true);
        }
    }
    void setText(const std::string& s) override { top_->setWindowTitle(QString::fromStdString(s)); }
    std::string text() const override { return top_->windowTitle().toStdString(); }
    gdi::Image* surface(bool whole) override {
        if (whole) return &top_->framePaint.sized(top_->frameImg, top_->width(), top_->height());
        return &top_->client->surface();
    }
    void showSurface() override {
        top_->client->showDrawn();
        top_->framePaint.showDrawn();
        top_->update();
    }
    void invalidate() override {
        top_->client->invalidate();
        top_->framePaint.invalidate();
        top_->update();
    }
    void repaintNow() override {
        top_->client->repaint();
        top_->repaint();
    }
    void setRedraw(bool on) override {
        // Off screen, top-level windows paint only when grabbed anyway.
        if (!Offscreen()) top_->setUpdatesEnabled(on);
        if (on) invalidate();
    }
    void setShape(const int* ltrb, int count, bool shaped) override {
        QRegion rg;
        for (int i = 0; i < count; ++i)
            rg += QRect(ltrb[4 * i], ltrb[4 * i + 1], ltrb[4 * i + 2] - ltrb[4 * i],
                        ltrb[4 * i + 3] - ltrb[4 * i + 1]);
        top_->shaped = shaped;
        top_->shape = rg;
        PaintedWidget::outsideShape = [](QWidget* w, QPoint p) {
            auto* t = dynamic_cast<TopLevelWidget*>(w->window());
            return t && !t->takesMouseAt(w->mapTo(t, p));
        };
        PeerCore::setShape(ltrb, count, shaped);
    }
    void setTopmost(bool on) override {
        const bool vis = top_->isVisible();
        g_hiding = top_;  // a visible window hides while its kind changes
        top_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        g_hiding = nullptr;
        if (vis) {
            offerFunctions();  // written anew with the flags
            top_->show();
        }
    }
    void setMinMax(bool minimize, bool maximize) override {
        minimize_ = minimize;
        maximize_ = maximize;
        if (top_->isVisible()) offerFunctions();
    }
    void setOwner(ws::WindowPeer* owner) override {
        if (!top_->isWindow()) return;
        auto* by = dynamic_cast<QtWindowPeer*>(owner);
        QWidget* ownerTop = by && by->top_ != top_ && by->top_->isWindow() ? by->top_ : nullptr;
        // Only a dialog's window is marked for its owner (WM_TRANSIENT_FOR on X11).
        const Qt::WindowType type = ownerTop ? Qt::Dialog : Qt::Window;
        if (top_->windowType() != type) {
            const bool vis = top_->isVisible();
            g_hiding = top_;
            top_->setWindowFlags((top_->windowFlags() & ~Qt::WindowType_Mask) | type);
            g_hiding = nullptr;
            if (vis) top_->show();
        }
        top_->winId();  // the window system's window, to mark
        if (QWindow* handle = top_->windowHandle())
            handle->setTransientParent(ownerTop ? ownerTop->windowHandle() : nullptr);
    }
    void activate() override {
        if (!top_->isWindow()) {
            top_->raise();  // a child window comes to the front of its siblings
            return;
        }
        // A window shown takes the keyboard (also off screen, where it says whose frame
        // shows active); the offscreen platform has no window stacking to change.
        if (top_->isVisible()) ActivateTopLevel(top_);
        top_->activateWindow();
        if (!Offscreen()) top_->raise();
    }
    void setModal(bool on) override {
        const bool vis = top_->isVisible();
        if (vis) hide();
        top_->setWindowModality(on ? Qt::ApplicationModal : Qt::NonModal);
        if (vis) top_->show();
    }
    bool isActive() const override { return ActiveTopLevel() == top_; }
    bool minimized() const override { return top_->isMinimized(); }
    bool maximized() const override { return top_->isMaximized(); }
    void hover(int x, int y) override {
        QPoint p(x, y);
        QWidget* target = top_->childAt(p);
        if (!target) target = top_;
        QPoint local = target->mapFrom(top_, p);
        QMouseEvent move(QEvent::MouseMove, QPointF(local), target->mapToGlobal(QPointF(local)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    int cursorShown() const override { return top_->cursorId; }

private:
    // Where the window system shows the window now, told to the control when it came from
    // outside: a window manager's move, another program's. A window the user may not size
    // keeps the size the program gave it.
    void reportPlace() {
        if (placing_) return;
        const QRect g = top_->geometry();
        const QSize s = sizeable_ || !size_.isValid() ? g.size() : size_;
        top_->host()->peerPlaced(g.x(), g.y(), s.width(), s.height());
    }
    // What the window manager may do with the window, told before it shows.
    void offerFunctions() {
        if (Offscreen() || !top_->isWindow()) return;
        top_->winId();
        OfferWindowFunctions(top_->windowHandle(), {minimize_, maximize_, sizeable_});
    }
    void hide() {
        g_hiding = top_;
        top_->hide();
        g_hiding = nullptr;
    }
    // A window the user may not size tells the window manager so (its smallest and largest
    // sizes are its size); the program's own changes of its size move both.
    void keepSize() {
        if (!sizeable_ && top_->isWindow())
            top_->setFixedSize(size_.isValid() ? size_ : top_->size());
    }
    // A top-level window shown on a screen is there, painted, when this returns: a window
    // manager maps it in its own time, and a program that goes on without handling events
    // (a sleep, a long job) would leave its place empty. Only the window system is answered
    // meanwhile, and not for ever: a window manager may keep a window off the screen.
    void WaitOnScreen() {
        if (Offscreen() || !top_->isWindow()) return;
        // The window may go while events are handled.
        QPointer<QWindow> handle = top_->windowHandle();
        if (!handle) return;
        ServeWindowSystem(kOnScreenWaitMs, [&handle] { return !handle || handle->isExposed(); });
        // The exposure painted the window; one more pass sends the picture to the server.
        if (handle && handle->isExposed())
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents |
                                            QEventLoop::ExcludeSocketNotifiers);
    }
    static constexpr int kOnScreenWaitMs = 3000;

    TopLevelWidget* top_;
    QSize size_;  // as the program last placed the window
    bool sizeable_ = true;
    bool placing_ = false;  // the program places the window
    bool minimize_ = true, maximize_ = true;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::WindowPeer> ws::NewWindowPeer(PeerHost* host, Peer* parent) {
    using namespace qtbridge;
    EnsureGui();
    QWidget* parentWidget = parent ? ParentWidget(parent) : nullptr;
    auto* w = new TopLevelWidget(host, parentWidget);
    if (!Offscreen()) {
        static ModalHideFilter* modalHide = [] {
            auto* f = new ModalHideFilter;
            qApp->installEventFilter(f);
            return f;
        }();
        (void)modalHide;
    }
    if (parentWidget) {
        static ChildFramePressFilter* filter = [] {
            auto* f = new ChildFramePressFilter;
            qApp->installEventFilter(f);
            return f;
        }();
        (void)filter;
    } else if (Offscreen()) {
        // Without a screen nobody sees the windows: they are painted only when grabbed.
        w->setUpdatesEnabled(false);
    }
    return std::make_unique<QtWindowPeer>(w, host);
}
