#include "platform/qt/peer.h"

#include <algorithm>
#include <functional>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBrowser>
#include <QToolTip>
#include <QHelpEvent>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QScrollBar>
#include <QStylePainter>
#include <QWidget>

#include "platform/qt/qimageAccess.h"
#include "platform/qt/qtapp.h"

namespace qtbridge {
namespace {

constexpr unsigned kMouseMove = 0x0200, kLDown = 0x0201, kLUp = 0x0202, kLDbl = 0x0203, kRDown = 0x0204, kRUp = 0x0205;
constexpr unsigned kNcLDown = 0x00A1, kNcRDown = 0x00A4, kNcRUp = 0x00A5;
constexpr int kHtClient = 1, kHtTransparent = -1;
constexpr unsigned kKeyDown = 0x0100, kKeyUp = 0x0101, kChar = 0x0102, kSysChar = 0x0106;

QColor ToQ(uint32_t bgr) { return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF)); }

unsigned MouseKeys(Qt::MouseButtons b, Qt::KeyboardModifiers m) {
    unsigned k = 0;
    if (b & Qt::LeftButton) k |= 1;
    if (b & Qt::RightButton) k |= 2;
    if (m & Qt::ShiftModifier) k |= 4;
    if (m & Qt::ControlModifier) k |= 8;
    if (b & Qt::MiddleButton) k |= 0x10;
    return k;
}

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
    case Qt::Key_Return: case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Space: return 32;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Home: return 36;
    case Qt::Key_End: return 35;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    default: return 0;
    }
}

// The character of a letter or digit key, in lower case (as Alt+S gives "s"); 0 else.
int AccelCharacter(int qtKey) {
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'a' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    return 0;
}

// Sends key presses of any widget to its control first (and through it to the form).
// Edits also report clicks and focus changes to their control (OnClick, OnEnter, OnExit).
class KeyFilter : public QObject {
public:
    KeyFilter(PeerHost* h, bool edit) : host_(h), edit_(edit) {}
    QWidget* client = nullptr;  // the area the control's coordinates are in
    bool native = false;        // the window system's own widget: it reports enter and leave here
    bool reportsFocus = false;  // lists and combo boxes report focus changes here
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::ToolTip) return ShowHint(o, static_cast<QHelpEvent*>(e));
        if (native && (e->type() == QEvent::Enter || e->type() == QEvent::Leave)) {
            host_->peerEnterLeave(e->type() == QEvent::Enter);
            return false;
        }
        if (reportsFocus && (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)) {
            host_->peerFocus(e->type() == QEvent::FocusIn);
            return false;
        }
        if (edit_) {
            switch (e->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease: {
                auto* m = static_cast<QMouseEvent*>(e);
                if (m->button() != Qt::LeftButton) return false;
                QPoint p = m->position().toPoint();
                bool down = e->type() == QEvent::MouseButtonPress;
                host_->peerMouse(down ? kLDown : kLUp, p.x(), p.y(), MouseKeys(m->buttons(), m->modifiers()));
                return false;
            }
            case QEvent::FocusIn: host_->peerFocus(true); return false;
            case QEvent::FocusOut: host_->peerFocus(false); return false;
            default: break;
            }
        }
        if (e->type() != QEvent::KeyPress && e->type() != QEvent::KeyRelease) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        int vk = VirtualKey(k->key());
        bool consumed = false;
        if (vk) consumed = host_->peerKey(e->type() == QEvent::KeyPress ? kKeyDown : kKeyUp, vk, ShiftState(k->modifiers()));
        const bool alt = (k->modifiers() & Qt::AltModifier) && !(k->modifiers() & Qt::ControlModifier);
        if (!consumed && e->type() == QEvent::KeyPress && alt && AccelCharacter(k->key())) {
            // Alt+letter or digit: the character goes as a system character, the way
            // accelerators of captions are looked for.
            consumed = host_->peerKey(kSysChar, AccelCharacter(k->key()), ShiftState(k->modifiers()));
        } else if (!consumed && e->type() == QEvent::KeyPress && !k->text().isEmpty()) {
            QByteArray utf8 = k->text().toUtf8();
            consumed = host_->peerKey(kChar, static_cast<unsigned char>(utf8[0]), ShiftState(k->modifiers()));
        }
        return consumed;
    }

private:
    // The control decides the hint's text and colour (CM_HINTSHOW).
    bool ShowHint(QObject* o, QHelpEvent* h) {
        QWidget* area = client ? client : static_cast<QWidget*>(o);
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
    PeerHost* host_;
    bool edit_;
};

// The window system's tracking of a move or resize: while it runs, the mouse belongs to it,
// whichever widget the press went to (the press's widget keeps receiving the moves).
struct MouseTracking {
    std::function<void(int, int)> moved;
    std::function<void()> ended;
    bool on() const { return bool(moved); }
    // Feeds a move or a left release to the tracking; false when none runs.
    bool feed(QMouseEvent* e) {
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
};
MouseTracking g_tracking;

// A press asks its window which part lies under the mouse; a press off the client area is a
// non-client press, whose release goes to the window the same way.
class NonClientPress {
public:
    // True when the press went to the window as a non-client press.
    bool press(PeerHost* host, QMouseEvent* e) {
        const QPoint g = e->globalPosition().toPoint();
        const int hit = host->peerHitTest(g.x(), g.y());
        if (hit == kHtClient || hit == kHtTransparent) return false;
        button_ = e->button();
        hit_ = hit;
        host->peerNcMouse(e->button() == Qt::RightButton ? kNcRDown : kNcLDown, hit, g.x(), g.y());
        return true;
    }
    bool held() const { return button_ != Qt::NoButton; }
    // True when the release belongs to a non-client press.
    bool release(PeerHost* host, QMouseEvent* e) {
        if (e->button() != button_) return false;
        button_ = Qt::NoButton;
        const QPoint g = e->globalPosition().toPoint();
        if (e->button() == Qt::RightButton) host->peerNcMouse(kNcRUp, hit_, g.x(), g.y());
        return true;
    }

private:
    Qt::MouseButton button_ = Qt::NoButton;
    int hit_ = 0;
};

// A widget painted by its control, with a backing image so the control can draw at any time.
class PaintedWidget : public QWidget {
public:
    PaintedWidget(QWidget* parent, PeerHost* host) : QWidget(parent), host_(host) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);
        setFocusPolicy(Qt::ClickFocus);
    }
    Image backing;
    bool showOnly = false;  // the next paint shows the backing image as it is

protected:
    void paintEvent(QPaintEvent*) override {
        backing.resize(width(), height());
        if (!showOnly) {
            Painter p(backing);
            host_->peerPaint(p, 0, 0, width(), height());
        }
        showOnly = false;
        QPainter wp(this);
        wp.drawImage(0, 0, QImageOf(backing));
    }
public:
    // Outside the shape of its window a widget takes no mouse (set by the window).
    static inline std::function<bool(QWidget*, QPoint)> outsideShape;

protected:
    bool outside(QMouseEvent* e) {
        if (!outsideShape || !outsideShape(this, e->position().toPoint())) return false;
        e->ignore();
        return true;
    }
    void mouseEvent(unsigned msg, QMouseEvent* e) {
        if (outside(e)) return;
        QPoint p = e->position().toPoint();
        host_->peerMouse(msg, p.x(), p.y(), MouseKeys(e->buttons() | e->button(), e->modifiers()));
    }
    void press(unsigned msg, QMouseEvent* e) {
        if (outside(e) || nonClient_.press(host_, e)) return;
        mouseEvent(msg, e);
    }
    void mousePressEvent(QMouseEvent* e) override {
        press(e->button() == Qt::RightButton ? kRDown : kLDown, e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        const bool tracked = e->button() == Qt::LeftButton && g_tracking.feed(e);
        if (nonClient_.release(host_, e) || tracked) return;
        if (outside(e)) return;
        QPoint p = e->position().toPoint();
        host_->peerMouse(e->button() == Qt::RightButton ? kRUp : kLUp, p.x(), p.y(), MouseKeys(e->buttons(), e->modifiers()));
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override { press(kLDbl, e); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (g_tracking.feed(e) || nonClient_.held()) return;
        mouseEvent(kMouseMove, e);
    }
    void enterEvent(QEnterEvent*) override { host_->peerEnterLeave(true); }
    void leaveEvent(QEvent*) override { host_->peerEnterLeave(false); }
    void focusInEvent(QFocusEvent*) override { host_->peerFocus(true); }
    void focusOutEvent(QFocusEvent*) override { host_->peerFocus(false); }

    PeerHost* host_;
    NonClientPress nonClient_;
};


// The state flags of an owner-drawn item as the host reads them (ODS_ values).
constexpr unsigned kOdsSelected = 0x1, kOdsDisabled = 0x4, kOdsFocus = 0x10, kOdsComboBoxEdit = 0x1000;

// Items of owner-drawn lists and combo boxes are drawn by the host on an image of the item's
// size; their sizes are the ones the host set.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(QObject* parent, PeerHost* host) : QStyledItemDelegate(parent), host_(host) {}
    bool on = false;
    std::function<QSize(int)> sizeOf;
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        if (!on || !sizeOf) return QStyledItemDelegate::sizeHint(opt, index);
        return sizeOf(index.row());
    }
    void paint(QPainter* p, const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        if (!on) {
            QStyledItemDelegate::paint(p, opt, index);
            return;
        }
        unsigned state = 0;
        if (opt.state & QStyle::State_Selected) state |= kOdsSelected;
        if (opt.state & QStyle::State_HasFocus) state |= kOdsFocus;
        if (!(opt.state & QStyle::State_Enabled)) state |= kOdsDisabled;
        Image img(std::max(1, opt.rect.width()), std::max(1, opt.rect.height()));
        host_->peerDrawListItem(img, index.row(), state);
        p->drawImage(opt.rect.topLeft(), QImageOf(img));
    }

private:
    PeerHost* host_;
};

// A combo box whose closed face shows the host's drawing of the current item.
class OwnerDrawCombo : public QComboBox {
public:
    OwnerDrawCombo(QWidget* parent, PeerHost* host) : QComboBox(parent), host_(host) {}
    bool ownerDraw = false;
    bool noPopup = false;
    void showPopup() override {
        if (!noPopup) QComboBox::showPopup();
    }

protected:
    void paintEvent(QPaintEvent* e) override {
        if (!ownerDraw || isEditable()) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        opt.currentIcon = QIcon();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        QRect r = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        if (r.width() <= 0 || r.height() <= 0) return;
        unsigned state = kOdsComboBoxEdit;
        if (hasFocus()) state |= kOdsSelected | kOdsFocus;
        if (!isEnabled()) state |= kOdsDisabled;
        Image img(r.width(), r.height());
        host_->peerDrawListItem(img, currentIndex(), state);
        p.drawImage(r.topLeft(), QImageOf(img));
    }

private:
    PeerHost* host_;
};

// A top-level window: frameless, its frame painted by its control around a client widget.
class TopLevelWidget : public QWidget {
public:
    explicit TopLevelWidget(PeerHost* host) : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), host_(host) {
        client = new PaintedWidget(this, host);
        setAttribute(Qt::WA_OpaquePaintEvent);
        setMouseTracking(true);              // the frame hears every move, for its sizing cursors
        client->setCursor(Qt::ArrowCursor);  // the frame's cursor stays on the frame
    }
    int cursorId = 0;  // the standard cursor the frame shows (IDC_ number, 0 the arrow)
    PaintedWidget* client;
    int fl = 0, ft = 0, fr = 0, fb = 0;
    Image frameImg;
    bool showOnly = false;
    bool shaped = false;
    QRegion shape;  // window coordinates
    bool takesMouseAt(QPoint p) const { return !shaped || shape.contains(p); }

    void layoutClient() { client->setGeometry(fl, ft, std::max(0, width() - fl - fr), std::max(0, height() - ft - fb)); }

protected:
    void resizeEvent(QResizeEvent*) override { layoutClient(); }
    void paintEvent(QPaintEvent*) override {
        if (fl == 0 && ft == 0 && fr == 0 && fb == 0) return;
        frameImg.resize(width(), height());
        if (!showOnly) {
            Painter p(frameImg);
            host_->peerPaintFrame(p, width(), height());
        }
        showOnly = false;
        QPainter wp(this);
        wp.drawImage(0, 0, QImageOf(frameImg));
    }
    void closeEvent(QCloseEvent* e) override {
        if (host_->peerCloseRequest()) e->accept();
        else e->ignore();
    }
    // The frame is never client area: a press there is the window's non-client press (a
    // press on the caption or a sizing border starts the window system's move or resize).
    void mousePressEvent(QMouseEvent* e) override {
        if (!takesMouseAt(e->position().toPoint())) { e->ignore(); return; }
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
    PeerHost* host() const { return host_; }

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
    PeerHost* host_;
    NonClientPress nonClient_;
};

// A push button whose looks are its control's: the window system keeps focus, keys, the
// pressed state while the button is held and the click; every paint becomes a draw-item
// request on a backing image. Button presses are reported to the control as well.
class OwnerDrawButton : public QPushButton {
public:
    OwnerDrawButton(QWidget* parent, PeerHost* host) : QPushButton(parent), host_(host) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    Image backing;

protected:
    void paintEvent(QPaintEvent*) override {
        backing.resize(width(), height());
        {
            Painter p(backing);
            unsigned state = 0;
            if (isDown()) state |= 0x0001;      // ODS_SELECTED
            if (!isEnabled()) state |= 0x0004;  // ODS_DISABLED
            if (hasFocus()) state |= 0x0010;    // ODS_FOCUS
            host_->peerDrawItem(p, state, width(), height());
        }
        QPainter wp(this);
        wp.drawImage(0, 0, QImageOf(backing));
    }
    void report(unsigned msg, QMouseEvent* e) {
        QPoint p = e->position().toPoint();
        host_->peerMouse(msg, p.x(), p.y(), MouseKeys(e->buttons(), e->modifiers()));
    }
    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) report(kLDown, e);
        QPushButton::mousePressEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) report(kLUp, e);
        QPushButton::mouseReleaseEvent(e);
    }
    void focusInEvent(QFocusEvent* e) override {
        QPushButton::focusInEvent(e);
        host_->peerFocus(true);
    }
    void focusOutEvent(QFocusEvent* e) override {
        QPushButton::focusOutEvent(e);
        host_->peerFocus(false);
    }
    // A fast second press is a press for the button (and a double click for its control).
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) report(kLDbl, e);
        QPushButton::mousePressEvent(e);
    }

private:
    PeerHost* host_;
};

// Which top-level window is active, kept as Windows keeps it: a window shown is activated,
// and when the active window hides or goes, the one active before it (still shown) is. On a
// screen the window system's own changes (a click into another window) are followed too; off
// screen the window system activates only on a window's first showing, so this order rules.
std::vector<TopLevelWidget*> g_activation;  // the active one last

bool Offscreen() { return QGuiApplication::platformName() == "offscreen"; }

void ActivateTopLevel(TopLevelWidget* w) {
    TopLevelWidget* old = g_activation.empty() ? nullptr : g_activation.back();
    if (w == old) return;
    g_activation.erase(std::remove(g_activation.begin(), g_activation.end(), w),
                       g_activation.end());
    if (w) g_activation.push_back(w);
    if (old) old->host()->peerActivate(false);
    if (w) w->host()->peerActivate(true);
}

// A window hides (`notify`) or goes: the window active before it takes over.
void LeaveActivation(TopLevelWidget* w, bool notify) {
    const bool wasActive = !g_activation.empty() && g_activation.back() == w;
    g_activation.erase(std::remove(g_activation.begin(), g_activation.end(), w),
                       g_activation.end());
    if (!wasActive) return;
    if (notify) w->host()->peerActivate(false);
    for (auto it = g_activation.rbegin(); it != g_activation.rend(); ++it)
        if ((*it)->isVisible()) {
            TopLevelWidget* next = *it;
            g_activation.erase(std::next(it).base());
            g_activation.push_back(next);
            next->host()->peerActivate(true);
            return;
        }
}

void TopLevelWidget::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && !Offscreen()) {
        if (isActiveWindow())
            ActivateTopLevel(this);
        else if (!g_activation.empty() && g_activation.back() == this &&
                 !QApplication::activeWindow())
            ActivateTopLevel(nullptr);  // another program has the keyboard now
    }
    QWidget::changeEvent(e);
}

class QtPeer : public Peer {
public:
    QtPeer(PeerKind kind, QWidget* w, PeerHost* host) : kind_(kind), w_(w) {
        auto* filter = new KeyFilter(host, kind == PeerKind::Edit);
        w_->installEventFilter(filter);
        filter->client = clientWidget();
        filter->native = kind != PeerKind::Painted && kind != PeerKind::TopLevel;
        filter->reportsFocus = kind == PeerKind::ComboBox || kind == PeerKind::ListBox;
        filter_ = filter;
        if (auto* v = itemView()) {
            auto* d = new OwnerDrawDelegate(v, host);
            d->sizeOf = [this](int row) {
                int h = ownerDraw_ == 2 && row >= 0 && row < int(heights_.size()) ? heights_[size_t(row)] : itemHeight_;
                int w = qobject_cast<QComboBox*>(w_) ? w_->width() : std::max(1, extent_);
                return QSize(w, std::max(1, h));
            };
            v->setItemDelegate(d);
        }
        if (kind == PeerKind::TopLevel) w_->setAttribute(Qt::WA_DeleteOnClose, false);
    }
    ~QtPeer() override {
        if (kind_ == PeerKind::TopLevel) LeaveActivation(static_cast<TopLevelWidget*>(w_), false);
        w_->deleteLater();
        w_->hide();
        w_->setParent(nullptr);
    }

    QWidget* clientWidget() const {
        return kind_ == PeerKind::TopLevel ? static_cast<TopLevelWidget*>(w_)->client : w_;
    }

    void setGeometry(int l, int t, int w, int h) override {
        if (kind_ == PeerKind::TopLevel) {
            auto* tl = static_cast<TopLevelWidget*>(w_);
            tl->setGeometry(l, t, w, h);
            tl->layoutClient();
        } else {
            w_->setGeometry(l, t, std::max(0, w), std::max(0, h));
        }
    }
    void setFrame(int left, int top, int right, int bottom) override {
        if (kind_ != PeerKind::TopLevel) return;
        auto* tl = static_cast<TopLevelWidget*>(w_);
        tl->fl = left; tl->ft = top; tl->fr = right; tl->fb = bottom;
        tl->layoutClient();
        tl->update();
    }
    void setVisible(bool v) override {
        w_->setVisible(v);
        if (!v && kind_ == PeerKind::TopLevel)
            LeaveActivation(static_cast<TopLevelWidget*>(w_), true);
    }
    bool isVisible() const override { return w_->isVisible(); }
    void setEnabled(bool e) override { w_->setEnabled(e); }
    void setText(const std::string& s) override {
        QString q = QString::fromStdString(s);
        blocked([&] {
            if (auto* e = qobject_cast<QLineEdit*>(w_)) e->setText(q);
            else if (auto* b = qobject_cast<QAbstractButton*>(w_)) {
                // The "&" still underlines its letter, but the accelerator is the class
                // library's (a dialog character to the control), not a shortcut of Qt's.
                b->setText(q);
                b->setShortcut(QKeySequence());
            }
            else if (auto* c = qobject_cast<QComboBox*>(w_)) { if (c->isEditable()) c->setEditText(q); }
            else if (kind_ == PeerKind::TopLevel) w_->setWindowTitle(q);
            else if (auto* s2 = qobject_cast<QSpinBox*>(w_)) s2->setValue(q.toInt());
        });
    }
    std::string text() const override {
        if (auto* e = qobject_cast<QLineEdit*>(w_)) return e->text().toStdString();
        if (auto* b = qobject_cast<QAbstractButton*>(w_)) return b->text().toStdString();
        if (auto* c = qobject_cast<QComboBox*>(w_)) return c->currentText().toStdString();
        if (auto* s = qobject_cast<QSpinBox*>(w_)) return std::to_string(s->value());
        return w_->windowTitle().toStdString();
    }
    void setFont(const FontSpec& f) override {
        w_->setFont(QFontOf(f));
        if (kind_ != PeerKind::Painted && kind_ != PeerKind::TopLevel) {
            QPalette pal = w_->palette();
            // The font's colour is the enabled look only: disabled text stays grey.
            const QColor grey = ToQ(0x808080);
            for (auto group : {QPalette::Active, QPalette::Inactive}) {
                pal.setColor(group, QPalette::WindowText, ToQ(f.color));
                pal.setColor(group, QPalette::ButtonText, ToQ(f.color));
                // The mark of a check or radio button is drawn in the text colour on the light
                // base: it keeps its own colour so that it shows whatever the caption's colour.
                if (kind_ != PeerKind::CheckBox && kind_ != PeerKind::RadioButton) pal.setColor(group, QPalette::Text, ToQ(f.color));
            }
            for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
                pal.setColor(QPalette::Disabled, role, grey);
            w_->setPalette(pal);
        }
    }
    void setColor(uint32_t bgr) override {
        if (kind_ == PeerKind::Painted || kind_ == PeerKind::TopLevel) return;
        QPalette pal = w_->palette();
        pal.setColor(QPalette::Window, ToQ(bgr));
        // Check and radio buttons draw their box in the base colour: keep it light.
        if (kind_ != PeerKind::CheckBox && kind_ != PeerKind::RadioButton) {
            pal.setColor(QPalette::Base, ToQ(bgr));
            pal.setColor(QPalette::Button, ToQ(bgr));
        } else {
            // Buttons fill their background in the button colour unless told otherwise.
            w_->setBackgroundRole(QPalette::Window);
        }
        w_->setPalette(pal);
        w_->setAutoFillBackground(true);
    }
    void setToolTip(const std::string& s) override { w_->setToolTip(QString::fromStdString(s)); }
    void setFocus() override { clientWidget()->setFocus(); }
    bool hasFocus() const override { return clientWidget()->hasFocus(); }
    Image* surface(bool whole) override {
        if (kind_ == PeerKind::TopLevel && whole) {
            auto* t = static_cast<TopLevelWidget*>(w_);
            t->frameImg.resize(t->width(), t->height());
            return &t->frameImg;
        }
        auto* pw = dynamic_cast<PaintedWidget*>(clientWidget());
        if (!pw) return nullptr;
        pw->backing.resize(pw->width(), pw->height());
        return &pw->backing;
    }
    void setShape(const int* ltrb, int count, bool shaped) override {
        QRegion rg;
        for (int i = 0; i < count; ++i)
            rg += QRect(ltrb[4 * i], ltrb[4 * i + 1], ltrb[4 * i + 2] - ltrb[4 * i], ltrb[4 * i + 3] - ltrb[4 * i + 1]);
        if (shaped) w_->setMask(rg.isEmpty() ? QRegion(-1, -1, 1, 1) : rg);  // an empty mask would mean none
        else w_->clearMask();
        if (auto* t = dynamic_cast<TopLevelWidget*>(w_)) {
            t->shaped = shaped;
            t->shape = rg;
        }
        PaintedWidget::outsideShape = [](QWidget* w, QPoint p) {
            auto* t = dynamic_cast<TopLevelWidget*>(w->window());
            return t && !t->takesMouseAt(w->mapTo(t, p));
        };
        invalidate();
    }
    void click(int x, int y) override {
        QPoint p(x, y);
        QWidget* target = w_->childAt(p);
        if (!target) target = w_;
        QPoint local = target->mapFrom(w_, p);
        QPointF global = target->mapToGlobal(QPointF(local));
        QMouseEvent down(QEvent::MouseButtonPress, QPointF(local), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(local), global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &down);
        QApplication::sendEvent(target, &up);
    }
    void setRedraw(bool on) override {
        // Off screen, top-level windows paint only when grabbed anyway.
        if (!(kind_ == PeerKind::TopLevel && offscreen())) w_->setUpdatesEnabled(on);
        if (on) invalidate();
    }
    void showSurface() override {
        if (auto* pw = dynamic_cast<PaintedWidget*>(clientWidget())) {
            pw->showOnly = true;
            pw->update();
        }
        if (kind_ == PeerKind::TopLevel) {
            static_cast<TopLevelWidget*>(w_)->showOnly = true;
            w_->update();
        }
    }
    void invalidate() override {
        if (auto* pw = dynamic_cast<PaintedWidget*>(clientWidget())) pw->showOnly = false;
        if (kind_ == PeerKind::TopLevel) static_cast<TopLevelWidget*>(w_)->showOnly = false;
        clientWidget()->update();
        if (kind_ == PeerKind::TopLevel) w_->update();
    }
    void repaintNow() override { clientWidget()->repaint(); if (kind_ == PeerKind::TopLevel) w_->repaint(); }
    void raise() override {
        if (!offscreen()) w_->raise();
    }
    void setTopmost(bool on) override {
        bool vis = w_->isVisible();
        w_->setWindowFlag(Qt::WindowStaysOnTopHint, on);
        if (vis) w_->show();
    }
    void hover(int x, int y) override {
        QPoint p(x, y);
        QWidget* target = w_->childAt(p);
        if (!target) target = w_;
        QPoint local = target->mapFrom(w_, p);
        QMouseEvent move(QEvent::MouseMove, QPointF(local), target->mapToGlobal(QPointF(local)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(target, &move);
    }
    bool screenRect(bool client, int& l, int& t, int& r, int& b) const override {
        const QWidget* w = client ? clientWidget() : w_;
        const QPoint o = w->mapToGlobal(QPoint(0, 0));
        l = o.x(), t = o.y(), r = o.x() + w->width(), b = o.y() + w->height();
        return true;
    }
    void trackMouse(std::function<void(int, int)> moved, std::function<void()> ended) override {
        if (g_tracking.on()) {  // one mouse: a tracking still running ends first
            auto end = std::move(g_tracking.ended);
            g_tracking = MouseTracking{};
            if (end) end();
        }
        g_tracking.moved = std::move(moved);
        g_tracking.ended = std::move(ended);
    }
    void sendMouse(unsigned msg, int sx, int sy) override {
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
    int cursorShown() const override {
        auto* tl = kind_ == PeerKind::TopLevel ? static_cast<TopLevelWidget*>(w_) : nullptr;
        return tl ? tl->cursorId : 0;
    }
    bool isActive() const override { return !g_activation.empty() && g_activation.back() == w_; }
    bool minimized() const override { return w_->isMinimized(); }
    bool maximized() const override { return w_->isMaximized(); }
    void activate() override {
        // A window shown takes the keyboard (also off screen, where it says whose frame
        // shows active); the offscreen platform has no window stacking to change.
        if (kind_ == PeerKind::TopLevel && w_->isVisible())
            ActivateTopLevel(static_cast<TopLevelWidget*>(w_));
        w_->activateWindow();
        if (!offscreen()) w_->raise();
    }
    void setModal(bool on) override {
        if (kind_ != PeerKind::TopLevel) return;
        bool vis = w_->isVisible();
        if (vis) w_->hide();
        w_->setWindowModality(on ? Qt::ApplicationModal : Qt::NonModal);
        if (vis) w_->show();
    }
    static bool offscreen() { return QGuiApplication::platformName() == "offscreen"; }
    bool grab(Image& out) override {
        // Off screen nothing is painted until somebody looks (see create()).
        // A child is cut from its window's picture: off screen only whole windows paint, and
        // the child must look exactly as it does in its window.
        QWidget* top = w_->window();
        const bool updates = top->updatesEnabled();
        top->setUpdatesEnabled(true);
        QImage img;
        auto* shaped = dynamic_cast<TopLevelWidget*>(top);
        if (shaped && shaped->shaped && top == w_) {
            // Outside its shape a window shows nothing of its own.
            img = QImage(top->size(), QImage::Format_ARGB32);
            img.fill(Qt::transparent);
            top->render(&img, QPoint(), QRegion(), QWidget::DrawChildren);
        } else {
            QRect area = top == w_ ? w_->rect() : QRect(w_->mapTo(top, QPoint(0, 0)), w_->size());
            img = top->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
        }
        top->setUpdatesEnabled(updates);
        out.resize(img.width(), img.height());
        QImageOf(out) = img;
        return !img.isNull();
    }
    void setChecked(bool c) override {
        if (auto* b = qobject_cast<QAbstractButton*>(w_)) blocked([&] { b->setChecked(c); });
    }
    bool checked() const override {
        auto* b = qobject_cast<QAbstractButton*>(w_);
        return b && b->isChecked();
    }
    void clearItems() override {
        blocked([&] {
            if (auto* c = qobject_cast<QComboBox*>(w_)) c->clear();
            if (auto* l = qobject_cast<QListWidget*>(w_)) l->clear();
        });
        heights_.clear();
    }
    void insertItem(int index, const std::string& s, int indent) override {
        QString q = QString(indent * 2, QChar(' ')) + QString::fromStdString(s);
        heights_.insert(heights_.begin() + std::clamp<int>(index, 0, int(heights_.size())), itemHeight_);
        blocked([&] {
            if (auto* c = qobject_cast<QComboBox*>(w_)) c->insertItem(index, q);
            if (auto* l = qobject_cast<QListWidget*>(w_)) {
                l->insertItem(index, q);
                if (rowHeight_ > 0) l->item(index)->setSizeHint(QSize(0, rowHeight_));
            }
        });
    }
    void setTabStop(bool on) override {
        if (kind_ == PeerKind::RadioButton) w_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void setRowHeight(int h) override {
        rowHeight_ = h;
        if (auto* l = qobject_cast<QListWidget*>(w_))
            for (int i = 0; i < l->count(); ++i)
                l->item(i)->setSizeHint(h > 0 ? QSize(0, h) : QSize());
    }
    void deleteItem(int index) override {
        if (index >= 0 && index < int(heights_.size())) heights_.erase(heights_.begin() + index);
        blocked([&] {
            if (auto* c = qobject_cast<QComboBox*>(w_)) c->removeItem(index);
            if (auto* l = qobject_cast<QListWidget*>(w_)) delete l->takeItem(index);
        });
    }
    void setItemText(int index, const std::string& s) override {
        if (auto* c = qobject_cast<QComboBox*>(w_)) c->setItemText(index, QString::fromStdString(s));
        if (auto* l = qobject_cast<QListWidget*>(w_)) if (auto* it = l->item(index)) it->setText(QString::fromStdString(s));
    }
    int itemCount() const override {
        if (auto* c = qobject_cast<QComboBox*>(w_)) return c->count();
        if (auto* l = qobject_cast<QListWidget*>(w_)) return l->count();
        return 0;
    }
    int itemIndex() const override {
        if (auto* c = qobject_cast<QComboBox*>(w_)) return c->currentIndex();
        if (auto* l = qobject_cast<QListWidget*>(w_)) return l->currentRow();
        return -1;
    }
    void setItemIndex(int i) override {
        blocked([&] {
            if (auto* c = qobject_cast<QComboBox*>(w_)) c->setCurrentIndex(i);
            if (auto* l = qobject_cast<QListWidget*>(w_)) {
                l->setCurrentRow(i);
                if (l->selectionMode() == QAbstractItemView::SingleSelection) {
                    l->clearSelection();
                    if (i >= 0 && l->item(i)) l->item(i)->setSelected(true);
                }
            }
        });
    }
    void setMultiSelect(bool m, bool extended) override {
        if (auto* l = qobject_cast<QListWidget*>(w_))
            l->setSelectionMode(!m         ? QAbstractItemView::SingleSelection
                                : extended ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::MultiSelection);
    }
    void setSelected(int i, bool s) override {
        if (auto* l = qobject_cast<QListWidget*>(w_)) if (auto* it = l->item(i)) blocked([&] { it->setSelected(s); });
    }
    bool selected(int i) const override {
        if (auto* l = qobject_cast<QListWidget*>(w_)) if (auto* it = l->item(i)) return it->isSelected();
        return false;
    }

    QAbstractItemView* itemView() const {
        if (auto* l = qobject_cast<QListWidget*>(w_)) return l;
        if (auto* c = qobject_cast<QComboBox*>(w_)) return c->view();
        return nullptr;
    }
    void relayoutItems() {
        if (auto* l = qobject_cast<QListWidget*>(w_)) l->doItemsLayout();
        if (auto* c = qobject_cast<QComboBox*>(w_)) {
            c->view()->doItemsLayout();
            c->updateGeometry();
        }
        w_->update();
    }
    void setOwnerDraw(int mode) override {
        ownerDraw_ = mode;
        if (auto* v = itemView())
            if (auto* d = dynamic_cast<OwnerDrawDelegate*>(v->itemDelegate())) d->on = mode != 0;
        if (auto* c = dynamic_cast<OwnerDrawCombo*>(w_)) c->ownerDraw = mode != 0;
        if (auto* l = qobject_cast<QListWidget*>(w_)) l->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        relayoutItems();
    }
    void setItemHeight(int index, int h) override {
        if (index < 0) {
            itemHeight_ = h;
            std::fill(heights_.begin(), heights_.end(), h);
        } else if (index < int(heights_.size())) {
            heights_[size_t(index)] = h;
        }
        if (ownerDraw_) relayoutItems();
    }
    void setHorizontalExtent(int w) override {
        if (w == extent_) return;
        extent_ = w;
        if (ownerDraw_) relayoutItems();
    }
    void setScrollBars(bool horizontal, bool vertical) override {
        auto* l = qobject_cast<QListWidget*>(w_);
        if (!l) return;
        l->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        l->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    }
    int topIndex() const override {
        auto* l = qobject_cast<QListWidget*>(w_);
        if (!l || l->count() == 0) return 0;
        QModelIndex i = l->indexAt(QPoint(1, 1));
        return i.isValid() ? i.row() : 0;
    }
    void setTopIndex(int i) override {
        if (auto* l = qobject_cast<QListWidget*>(w_))
            if (auto* it = l->item(i)) l->scrollToItem(it, QAbstractItemView::PositionAtTop);
    }
    int itemAt(int x, int y, bool nearest) const override {
        auto* l = qobject_cast<QListWidget*>(w_);
        if (!l || l->count() == 0) return nearest ? 0 : -1;
        QPoint vp = l->viewport()->mapFrom(l, QPoint(x, y));
        QModelIndex i = l->indexAt(vp);
        if (i.isValid()) return i.row();
        if (!nearest) return -1;
        // Above the first item: the first; below the last: one past it.
        QRect first = l->visualItemRect(l->item(0));
        return vp.y() < first.top() ? 0 : l->count();
    }
    bool itemRect(int i, int& left, int& top, int& right, int& bottom) const override {
        auto* l = qobject_cast<QListWidget*>(w_);
        if (!l || !l->item(i)) return false;
        QRect r = l->visualItemRect(l->item(i));
        QPoint o = l->viewport()->mapTo(l, r.topLeft());
        left = o.x(); top = o.y(); right = o.x() + r.width(); bottom = o.y() + r.height();
        return true;
    }
    void setEditable(bool on) override {
        if (auto* c = qobject_cast<QComboBox*>(w_)) {
            blocked([&] { c->setEditable(on); });
            if (auto* e = c->lineEdit()) e->installEventFilter(filter_);
        }
    }
    void setEditReadOnly(bool on) override {
        if (auto* c = dynamic_cast<OwnerDrawCombo*>(w_)) {
            c->noPopup = on;
            if (c->lineEdit()) c->lineEdit()->setReadOnly(on);
        }
    }
    void setDropDownCount(int n) override { if (auto* c = qobject_cast<QComboBox*>(w_)) c->setMaxVisibleItems(std::max(1, n)); }
    void setRange(int lo, int hi) override {
        if (auto* p = qobject_cast<QProgressBar*>(w_)) p->setRange(lo, hi);
        if (auto* s = qobject_cast<QSpinBox*>(w_)) blocked([&] { s->setRange(lo, hi); });
    }
    void setPosition(int v) override {
        if (auto* p = qobject_cast<QProgressBar*>(w_)) p->setValue(v);
        if (auto* s = qobject_cast<QSpinBox*>(w_)) blocked([&] { s->setValue(v); });
    }
    int position() const override {
        if (auto* p = qobject_cast<QProgressBar*>(w_)) return p->value();
        if (auto* s = qobject_cast<QSpinBox*>(w_)) return s->value();
        return 0;
    }
    void setReadOnly(bool r) override { if (auto* e = qobject_cast<QLineEdit*>(w_)) e->setReadOnly(r); }
    void setMaxLength(int n) override { if (auto* e = qobject_cast<QLineEdit*>(w_)) e->setMaxLength(n > 0 ? n : 32767); }
    void setRichText(const std::string& html) override {
        if (auto* t = qobject_cast<QTextBrowser*>(w_)) t->setHtml(QString::fromStdString(html));
    }
    void setPasswordChar(char c) override {
        if (auto* e = qobject_cast<QLineEdit*>(w_)) e->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
    }

private:
    // Changes made by the program do not come back as notifications; the class library
    // raises its own events for them.
    template <class F>
    void blocked(F f) {
        bool old = w_->blockSignals(true);
        f();
        w_->blockSignals(old);
    }

    void sendMouseMove(int x, int y) override {
        QWidget* c = clientWidget();
        QPointF local(x, y);
        QMouseEvent ev(QEvent::MouseMove, local, c->mapToGlobal(local), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c, &ev);
    }
    void setPressed(bool down) override {
        if (auto* b = qobject_cast<QAbstractButton*>(w_)) {
            b->setDown(down);
            b->update();
        }
    }
    bool pressed() const override {
        auto* b = qobject_cast<QAbstractButton*>(w_);
        return b && b->isDown();
    }
    void sendMouseButton(bool down, int x, int y) override {
        QWidget* c = clientWidget();
        QPointF local(x, y);
        QMouseEvent ev(down ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, local, c->mapToGlobal(local),
                       Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(c, &ev);
    }
    void sendScroll(bool horizontal, int request) override {
        auto* l = qobject_cast<QListWidget*>(w_);
        if (!l) return;
        QScrollBar* bar = horizontal ? l->horizontalScrollBar() : l->verticalScrollBar();
        const QAbstractSlider::SliderAction actions[] = {
            QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd,
            QAbstractSlider::SliderPageStepSub,   QAbstractSlider::SliderPageStepAdd,
            QAbstractSlider::SliderNoAction,      QAbstractSlider::SliderMove,
            QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
        if (request >= 0 && request < 8 && actions[request] != QAbstractSlider::SliderNoAction)
            bar->triggerAction(actions[request]);
    }
    void sendEnterLeave(bool enter) override {
        QWidget* c = clientWidget();
        if (enter) {
            QEnterEvent ev(QPointF(0, 0), QPointF(0, 0), c->mapToGlobal(QPointF(0, 0)));
            QCoreApplication::sendEvent(c, &ev);
        } else {
            QEvent ev(QEvent::Leave);
            QCoreApplication::sendEvent(c, &ev);
        }
    }

    PeerKind kind_;
    QWidget* w_;
    KeyFilter* filter_ = nullptr;
    int ownerDraw_ = 0;
    int itemHeight_ = 16;
    int extent_ = 0;
    std::vector<int> heights_;  // per item, for variable heights
    int rowHeight_ = 0;         // a plain list's rows; 0: the font's
};

}  // namespace

Peer* Peer::create(PeerKind kind, Peer* parent, PeerHost* host) {
    EnsureGui();
    QWidget* pw = parent ? static_cast<QtPeer*>(parent)->clientWidget() : nullptr;
    QWidget* w = nullptr;
    switch (kind) {
    case PeerKind::TopLevel:
        w = new TopLevelWidget(host);
        // Without a screen nobody sees the windows: they are painted only when grabbed.
        if (QGuiApplication::platformName() == "offscreen") w->setUpdatesEnabled(false);
        break;
    case PeerKind::Painted: w = new PaintedWidget(pw, host); break;
    case PeerKind::Edit: {
        auto* e = new QLineEdit(pw);
        QObject::connect(e, &QLineEdit::textChanged, [host] { host->peerNotify(pnTextChanged); });
        w = e;
        break;
    }
    case PeerKind::CheckBox: {
        auto* b = new QCheckBox(pw);
        QObject::connect(b, &QCheckBox::clicked, [host] { host->peerNotify(pnClicked); });
        w = b;
        break;
    }
    case PeerKind::RadioButton: {
        auto* b = new QRadioButton(pw);
        b->setAutoExclusive(false);  // the class library keeps siblings exclusive itself
        QObject::connect(b, &QRadioButton::clicked, [host] { host->peerNotify(pnClicked); });
        w = b;
        break;
    }
    case PeerKind::PushButton: {
        auto* b = new QPushButton(pw);
        QObject::connect(b, &QPushButton::clicked, [host] { host->peerNotify(pnClicked); });
        w = b;
        break;
    }
    case PeerKind::OwnerDrawButton: {
        auto* b = new OwnerDrawButton(pw, host);
        QObject::connect(b, &QPushButton::clicked, [host] { host->peerNotify(pnClicked); });
        w = b;
        break;
    }
    case PeerKind::ComboBox: {
        auto* c = new OwnerDrawCombo(pw, host);
        QObject::connect(c, QOverload<int>::of(&QComboBox::activated), [host] { host->peerNotify(pnSelChange); });
        w = c;
        break;
    }
    case PeerKind::ListBox: {
        auto* l = new QListWidget(pw);
        QObject::connect(l, &QListWidget::itemSelectionChanged, [host] { host->peerNotify(pnSelChange); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, [host] { host->peerNotify(pnDblClick); });
        for (bool horizontal : {false, true}) {
            QScrollBar* bar = horizontal ? l->horizontalScrollBar() : l->verticalScrollBar();
            QObject::connect(bar, &QAbstractSlider::actionTriggered, [host, bar, horizontal](int action) {
                int request = -1;
                switch (action) {
                case QAbstractSlider::SliderSingleStepSub: request = 0; break;  // SB_LINEUP
                case QAbstractSlider::SliderSingleStepAdd: request = 1; break;  // SB_LINEDOWN
                case QAbstractSlider::SliderPageStepSub: request = 2; break;    // SB_PAGEUP
                case QAbstractSlider::SliderPageStepAdd: request = 3; break;    // SB_PAGEDOWN
                case QAbstractSlider::SliderMove: request = 5; break;           // SB_THUMBTRACK
                case QAbstractSlider::SliderToMinimum: request = 6; break;      // SB_TOP
                case QAbstractSlider::SliderToMaximum: request = 7; break;      // SB_BOTTOM
                default: return;
                }
                // The bar has its new position but not yet its value: keeping the value
                // undoes the step.
                if (host->peerScroll(horizontal, request, bar->sliderPosition())) bar->setSliderPosition(bar->value());
            });
        }
        w = l;
        break;
    }
    case PeerKind::ProgressBar: {
        auto* p = new QProgressBar(pw);
        p->setTextVisible(false);
        w = p;
        break;
    }
    case PeerKind::RichEdit: {
        auto* t = new QTextBrowser(pw);
        t->setReadOnly(true);
        t->setOpenLinks(false);
        t->setFrameShape(QFrame::NoFrame);
        t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        w = t;
        break;
    }
    case PeerKind::SpinBox: {
        auto* s = new QSpinBox(pw);
        QObject::connect(s, QOverload<int>::of(&QSpinBox::valueChanged), [host] { host->peerNotify(pnValueChanged); });
        w = s;
        break;
    }
    }
    if (kind != PeerKind::TopLevel) w->show();
    return new QtPeer(kind, w, host);
}

}  // namespace qtbridge
