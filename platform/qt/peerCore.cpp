// What the peers of every kind share: keys, hints and focus reported to the control, the
// painted widget, and the calls every widget answers the same way.
#include "platform/qt/peerCore.h"

#include <algorithm>

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QToolTip>

#include "platform/qt/qtapp.h"

namespace qtbridge {
namespace {

constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysChar = 0x0106;

unsigned ShiftState(Qt::KeyboardModifiers m) {
    unsigned s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::AltModifier) s |= 2;
    if (m & Qt::ControlModifier) s |= 4;
    return s;
}

// Windows virtual-key codes for the keys the program reacts to.
int VirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 0x70 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return 13;
        case Qt::Key_Escape:
            return 27;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_Delete:
            return 46;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return 38;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return 40;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_End:
            return 35;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        default:
            return 0;
    }
}

// The character of a letter or digit key, in lower case (as Alt+S gives "s"); 0 else.
int AccelCharacter(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'a' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    return 0;
}

class Nobody final : public ws::PeerHost {
public:
    void peerPaint(gdi::Painter&, int, int, int, int) override {}
    void peerPaintFrame(gdi::Painter&, int, int) override {}
    void peerMouse(unsigned, int, int, unsigned) override {}
    bool peerKey(unsigned, int, unsigned) override { return false; }
    void peerNotify(int) override {}
    bool peerCloseRequest() override { return false; }
    void peerFocus(bool) override {}
    void peerEnterLeave(bool) override {}
};

// Sends key presses of any widget to its control first (and through it to the form).
// Edits also report clicks and focus changes to their control (OnClick, OnEnter, OnExit).
class KeyFilter : public QObject {
public:
    KeyFilter(ws::PeerHost* h, QWidget* client, PeerReports reports)
        : host_(h), client_(client), reports_(reports) {}
    void orphan() { host_ = NoHost(); }
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::ToolTip) return ShowHint(o, static_cast<QHelpEvent*>(e));
        if (reports_.native && (e->type() == QEvent::Enter || e->type() == QEvent::Leave)) {
            host_->peerEnterLeave(e->type() == QEvent::Enter);
            return false;
        }
        if (reports_.focus && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) {
            host_->peerFocus(e->type() == QEvent::FocusIn);
            return false;
        }
        if (reports_.clickFocus) {
            switch (e->type()) {
                case QEvent::MouseButtonPress:
                case QEvent::MouseButtonRelease: {
                    auto* m = static_cast<QMouseEvent*>(e);
                    if (m->button() != Qt::LeftButton) return false;
                    QPoint p = m->position().toPoint();
                    bool down = e->type() == QEvent::MouseButtonPress;
                    host_->peerMouse(down ? kLDown : kLUp, p.x(), p.y(),
                                     MouseKeys(m->buttons(), m->modifiers()));
                    return false;
                }
                case QEvent::FocusIn:
                    host_->peerFocus(true);
                    return false;
                case QEvent::FocusOut:
                    host_->peerFocus(false);
                    return false;
                default:
                    break;
            }
        }
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        int vk = VirtualKey(k->key());
        bool consumed = false;
        if (vk)
            consumed = host_->peerKey(e->type() == QEvent::KeyPress ? kKeyDown : kKeyUp, vk,
                                      ShiftState(k->modifiers()));
        const bool alt =
            (k->modifiers() & Qt::AltModifier) && !(k->modifiers() & Qt::ControlModifier);
        if (!consumed && e->type() == QEvent::KeyPress && alt && AccelCharacter(k->key())) {
            // Alt+letter or digit: the character goes as a system character, the way
            // accelerators of captions are looked for.
            consumed =
                host_->peerKey(kSysChar, AccelCharacter(k->key()), ShiftState(k->modifiers()));
        } else if (!consumed && e->type() == QEvent::KeyPress && !k->text().isEmpty()) {
            // The text as character messages of the narrow character set (UTF-8): a
            // character of several bytes is a message for each byte, as a double-byte
            // character is on the system the controls were made for.
            const QByteArray utf8 = k->text().toUtf8();
            for (const char byte : utf8)
                consumed = host_->peerKey(kChar, static_cast<unsigned char>(byte),
                                          ShiftState(k->modifiers())) ||
                           consumed;
        }
        return consumed;
    }

private:
    // The control decides the hint's text and colour (CM_HINTSHOW).
    bool ShowHint(QObject* o, QHelpEvent* h) {
        QWidget* area = client_ ? client_ : static_cast<QWidget*>(o);
        QPoint p = area->mapFromGlobal(h->globalPos());
        std::string text;
        uint32_t bgr = 0;
        if (!host_->peerHint(p.x(), p.y(), text, bgr)) return false;
        if (text.empty()) {
            QToolTip::hideText();
            return true;
        }
        QPalette pal = QToolTip::palette();
        pal.setColor(QPalette::ToolTipBase, ToQ(bgr));
        QToolTip::setPalette(pal);
        QToolTip::showText(h->globalPos(), QString::fromStdString(text), static_cast<QWidget*>(o));
        return true;
    }
    ws::PeerHost* host_;
    QWidget* client_;  // the area the control's coordinates are in
    PeerReports reports_;
};

}  // namespace

ws::PeerHost* NoHost() {
    static Nobody nobody;
    return &nobody;
}

unsigned MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
    unsigned k = 0;
    if (b & Qt::LeftButton) k |= 1;
    if (b & Qt::RightButton) k |= 2;
    if (m & Qt::ShiftModifier) k |= 4;
    if (m & Qt::ControlModifier) k |= 8;
    if (b & Qt::MiddleButton) k |= 0x10;
    return k;
}

MouseTracking g_tracking;

bool MouseTracking::feed(QMouseEvent* e) {
    if (!on()) return false;
    if (e->type() == QEvent::MouseMove) {
        const QPoint g = e->globalPosition().toPoint();
        auto step = moved;  // the step may end the tracking
        step(g.x(), g.y());
    } else if (e->type() == QEvent::MouseButtonRelease && e->button() == Qt::LeftButton) {
        auto end = std::move(ended);
        moved = nullptr;
        ended = nullptr;
        if (end) end();
    }
    return true;
}

bool NonClientPress::press(ws::PeerHost* host, QMouseEvent* e) {
    const QPoint g = e->globalPosition().toPoint();
    const int hit = host->peerHitTest(g.x(), g.y());
    if (hit == kHtClient || hit == kHtTransparent) return false;
    button_ = e->button();
    hit_ = hit;
    host->peerNcMouse(e->button() == Qt::RightButton ? kNcRDown : kNcLDown, hit, g.x(), g.y());
    return true;
}

bool NonClientPress::release(ws::PeerHost* host, QMouseEvent* e) {
    if (e->button() != button_) return false;
    button_ = Qt::NoButton;
    const QPoint g = e->globalPosition().toPoint();
    if (e->button() == Qt::RightButton) host->peerNcMouse(kNcRUp, hit_, g.x(), g.y());
    return true;
}

bool Offscreen() { return QGuiApplication::platformName() == "offscreen"; }

// The window system tells a widget that the mouse came onto it, but not its parents, which
// still hold it: each painted widget above the one entered hears that the mouse left it.
class ChildEnterFilter : public QObject {
protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() != QEvent::Enter || !o->isWidgetType()) return false;
        for (QWidget* w = static_cast<QWidget*>(o); w && !w->isWindow();) {
            w = w->parentWidget();
            if (auto* painted = dynamic_cast<PaintedWidget*>(w)) painted->leave();
        }
        return false;
    }
};

PaintedWidget::PaintedWidget(QWidget* parent, ws::PeerHost* host) : QWidget(parent), host_(host) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    static ChildEnterFilter* filter = [] {
        auto* f = new ChildEnterFilter;
        qApp->installEventFilter(f);
        return f;
    }();
    (void)filter;
}

void PaintedWidget::enter() {
    if (inside_) return;
    inside_ = true;
    host_->peerEnterLeave(true);
}

void PaintedWidget::leave() {
    if (!inside_) return;
    inside_ = false;
    host_->peerEnterLeave(false);
}

void PaintedWidget::paintEvent(QPaintEvent*) {
    surface();
    if (paint_.take()) {
        Painter p(backing);
        host_->peerPaint(p, 0, 0, width(), height());
    }
    QPainter wp(this);
    wp.drawImage(0, 0, QImageOf(backing));
}

bool PaintedWidget::outside(QMouseEvent* e) {
    if (!outsideShape || !outsideShape(this, e->position().toPoint())) return false;
    e->ignore();
    return true;
}

void PaintedWidget::mouseEvent(unsigned msg, QMouseEvent* e) {
    if (outside(e)) return;
    QPoint p = e->position().toPoint();
    host_->peerMouse(msg, p.x(), p.y(), MouseKeys(e->buttons() | e->button(), e->modifiers()));
}

void PaintedWidget::press(unsigned msg, QMouseEvent* e) {
    if (outside(e) || nonClient_.press(host_, e)) return;
    mouseEvent(msg, e);
}

void PaintedWidget::mouseMoveEvent(QMouseEvent* e) {
    if (g_tracking.feed(e) || nonClient_.held()) return;
    // Back from a child widget, the window system says nothing but the move itself.
    if (!childAt(e->position().toPoint())) enter();
    mouseEvent(kMouseMove, e);
}

void PaintedWidget::mouseReleaseEvent(QMouseEvent* e) {
    const bool tracked = e->button() == Qt::LeftButton && g_tracking.feed(e);
    if (nonClient_.release(host_, e) || tracked) return;
    if (outside(e)) return;
    QPoint p = e->position().toPoint();
    host_->peerMouse(e->button() == Qt::RightButton ? kRUp : kLUp, p.x(), p.y(),
                     MouseKeys(e->buttons(), e->modifiers()));
}

PeerCore::PeerCore(QWidget* w, QWidget* client, ws::PeerHost* host, PeerReports reports)
    : w_(w), client_(client ? client : w), host_(host), native_(reports.native) {
    filter_ = new KeyFilter(host, client_, reports);
    w_->installEventFilter(filter_);
}

PeerCore::~PeerCore() {
    static_cast<KeyFilter*>(filter_)->orphan();
    // Goes with the widget; not at once, since a key it passed on may be what ends us.
    filter_->deleteLater();
    if (auto* painted = dynamic_cast<PaintedWidget*>(client_)) painted->orphan();
    w_->deleteLater();
    w_->hide();
    w_->setParent(nullptr);
}

void PeerCore::filterKeysOf(QWidget* w) { w->installEventFilter(filter_); }

void PeerCore::setGeometry(int l, int t, int w, int h) {
    w_->setGeometry(l, t, std::max(0, w), std::max(0, h));
}

void PeerCore::setFont(const gdi::FontSpec& f) {
    w_->setFont(QFontOf(f));
    if (!native_) return;
    QPalette pal = w_->palette();
    // The font's colour is the enabled look only: disabled text stays grey.
    const QColor grey = ToQ(0x808080);
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, ToQ(f.color));
        pal.setColor(group, QPalette::ButtonText, ToQ(f.color));
        // The mark of a check or radio button is drawn in the text colour on the light
        // base: it keeps its own colour so that it shows whatever the caption's colour.
        if (!keepsMarkColours_) pal.setColor(group, QPalette::Text, ToQ(f.color));
    }
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        pal.setColor(QPalette::Disabled, role, grey);
    w_->setPalette(pal);
}

void PeerCore::setColor(uint32_t bgr) {
    if (!native_) return;
    QPalette pal = w_->palette();
    pal.setColor(QPalette::Window, ToQ(bgr));
    // Check and radio buttons draw their box in the base colour: keep it light.
    if (!keepsMarkColours_) {
        pal.setColor(QPalette::Base, ToQ(bgr));
        pal.setColor(QPalette::Button, ToQ(bgr));
    } else {
        // Buttons fill their background in the button colour unless told otherwise.
        w_->setBackgroundRole(QPalette::Window);
    }
    w_->setPalette(pal);
    w_->setAutoFillBackground(true);
}

void PeerCore::setToolTip(const std::string& s) { w_->setToolTip(QString::fromStdString(s)); }

void PeerCore::setRedraw(bool on) {
    w_->setUpdatesEnabled(on);
    if (on) invalidate();
}

void PeerCore::setShape(const int* ltrb, int count, bool shaped) {
    QRegion rg;
    for (int i = 0; i < count; ++i)
        rg += QRect(ltrb[4 * i], ltrb[4 * i + 1], ltrb[4 * i + 2] - ltrb[4 * i],
                    ltrb[4 * i + 3] - ltrb[4 * i + 1]);
    if (shaped)
        w_->setMask(rg.isEmpty() ? QRegion(-1, -1, 1, 1) : rg);  // an empty mask would mean none
    else
        w_->clearMask();
    invalidate();
}

bool PeerCore::grab(gdi::Image& out) {
    // Off screen nothing is painted until somebody looks (see the window peer). A child is
    // cut from its window's picture: off screen only whole windows paint, and the child must
    // look exactly as it does in its window.
    QWidget* top = w_->window();
    const bool updates = top->updatesEnabled();
    top->setUpdatesEnabled(true);
    QImage img;
    if (top == w_ && !w_->mask().isEmpty()) {
        // Outside its shape a window shows nothing of its own.
        img = QImage(top->size(), QImage::Format_ARGB32);
        img.fill(Qt::transparent);
        top->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
    } else {
        QRect area = top == w_ ? w_->rect() : QRect(w_->mapTo(top, QPoint(0, 0)), w_->size());
        img = top->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    }
    top->setUpdatesEnabled(updates);
    QtDataOf(out).replace(img);
    return !img.isNull();
}

bool PeerCore::screenRect(bool client, int& l, int& t, int& r, int& b) const {
    const QWidget* w = client ? client_ : w_;
    const QPoint o = w->mapToGlobal(QPoint(0, 0));
    l = o.x(), t = o.y(), r = o.x() + w->width(), b = o.y() + w->height();
    return true;
}

void PeerCore::trackMouse(std::function<void(int, int)> moved, std::function<void()> ended) {
    if (g_tracking.on()) {  // one mouse: a tracking still running ends first
        auto end = std::move(g_tracking.ended);
        g_tracking = MouseTracking{};
        if (end) end();
    }
    g_tracking.moved = std::move(moved);
    g_tracking.ended = std::move(ended);
}

void PeerCore::sendMouse(unsigned msg, int sx, int sy) {
    static QPointer<QWidget> pressed;
    static Qt::MouseButtons held;
    QEvent::Type type = QEvent::MouseMove;
    Qt::MouseButton button = Qt::NoButton;
    switch (msg) {
        case kLDown:
            type = QEvent::MouseButtonPress, button = Qt::LeftButton;
            break;
        case kLUp:
            type = QEvent::MouseButtonRelease, button = Qt::LeftButton;
            break;
        case kRDown:
            type = QEvent::MouseButtonPress, button = Qt::RightButton;
            break;
        case kRUp:
            type = QEvent::MouseButtonRelease, button = Qt::RightButton;
            break;
        default:
            break;
    }
    const QPointF global(sx, sy);
    QWidget* target = pressed;
    if (type == QEvent::MouseButtonPress || !held || !target) {
        QWidget* top = w_->window();
        target = top->childAt(top->mapFromGlobal(global).toPoint());
        if (!target) target = top;
    }
    if (type == QEvent::MouseButtonPress) held |= button, pressed = target;
    if (type == QEvent::MouseButtonRelease) held &= ~button;
    if (!held) pressed = nullptr;
    QMouseEvent e(type, target->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &e);
}

void PeerCore::click(int x, int y) {
    QPoint p(x, y);
    QWidget* target = w_->childAt(p);
    if (!target) target = w_;
    QPoint local = target->mapFrom(w_, p);
    QPointF global = target->mapToGlobal(QPointF(local));
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(local), global, Qt::LeftButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(local), global, Qt::LeftButton, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(target, &down);
    QApplication::sendEvent(target, &up);
}

void PeerCore::sendMouseMove(int x, int y) {
    QPointF local(x, y);
    QMouseEvent ev(QEvent::MouseMove, local, client_->mapToGlobal(local), Qt::NoButton,
                   Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(client_, &ev);
}

void PeerCore::sendMouseButton(bool down, int x, int y) {
    QPointF local(x, y);
    QMouseEvent ev(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local,
                   client_->mapToGlobal(local), Qt::LeftButton,
                   down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(client_, &ev);
}

void PeerCore::sendEnterLeave(bool enter) {
    if (enter) {
        QEnterEvent ev(QPointF(0, 0), QPointF(0, 0), client_->mapToGlobal(QPointF(0, 0)));
        QCoreApplication::sendEvent(client_, &ev);
    } else {
        QEvent ev(QEvent::Leave);
        QCoreApplication::sendEvent(client_, &ev);
    }
}

QWidget* ParentWidget(ws::Peer* parent) {
    EnsureGui();
    auto* core = dynamic_cast<PeerCore*>(parent);
    return core ? core->client() : nullptr;
}

}  // namespace qtbridge
