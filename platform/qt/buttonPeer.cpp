// Push buttons (plain and owner-drawn), check and radio buttons.
#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

// A push button whose looks are its control's: the window system keeps focus, keys, the
// pressed state while the button is held and the click; every paint becomes a draw-item
// request on a backing image. Button presses are reported to the control as well.
class OwnerDrawButton : public QPushButton {
public:
    OwnerDrawButton(QWidget* parent, ws::PeerHost* host) : QPushButton(parent), host_(host) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    gdi::Image backing;

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
    ws::PeerHost* host_;
};

// A check or radio button showing its focus as the window system it stands for does: a
// dotted rectangle around the caption that inverts what it crosses, so it shows on any
// background (the style's own frame, in the highlight colour, is lost on a dark one).
template <class Base, QStyle::ControlElement kElement, QStyle::SubElement kContents>
class MarkButton : public Base {
public:
    using Base::Base;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionButton opt;
        this->initStyleOption(&opt);
        const bool focus = opt.state & QStyle::State_HasFocus;
        opt.state &= ~QStyle::State_HasFocus;
        p.drawControl(kElement, opt);
        if (!focus || opt.text.isEmpty()) return;
        const QRect contents = this->style()->subElementRect(kContents, &opt, this);
        const QRect caption = this->style()->itemTextRect(
            opt.fontMetrics, contents,
            QStyle::visualAlignment(opt.direction, Qt::AlignLeft | Qt::AlignVCenter) |
                Qt::TextShowMnemonic,
            opt.state & QStyle::State_Enabled, opt.text);
        DrawFocusRect(&p, caption.adjusted(-1, -1, 1, 1).intersected(this->rect()));
    }
};
using CheckBox = MarkButton<QCheckBox, QStyle::CE_CheckBox, QStyle::SE_CheckBoxContents>;
using RadioButton =
    MarkButton<QRadioButton, QStyle::CE_RadioButton, QStyle::SE_RadioButtonContents>;

class QtButtonPeer final : public QtPeer<ws::ButtonPeer> {
public:
    QtButtonPeer(QAbstractButton* b, ws::ButtonKind kind, ws::PeerHost* host)
        : QtPeer(b, b, host, PeerReports{.native = true}), button_(b), kind_(kind) {
        keepsMarkColours_ = kind == ws::ButtonKind::Check || kind == ws::ButtonKind::Radio;
    }
    void setText(const std::string& s) override {
        // The "&" still underlines its letter, but the accelerator is the class library's
        // (a dialog character to the control), not a shortcut of Qt's.
        blocked([&] {
            button_->setText(QString::fromStdString(s));
            button_->setShortcut(QKeySequence());
        });
    }
    std::string text() const override { return button_->text().toStdString(); }
    void setChecked(bool on) override {
        blocked([&] { button_->setChecked(on); });
    }
    bool checked() const override { return button_->isChecked(); }
    void setTabStop(bool on) override {
        if (kind_ == ws::ButtonKind::Radio)
            button_->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
    }
    void setPressed(bool down) override {
        button_->setDown(down);
        button_->update();
    }
    bool pressed() const override { return button_->isDown(); }

private:
    QAbstractButton* button_;
    ws::ButtonKind kind_;
};

QAbstractButton* NewButton(ws::ButtonKind kind, QWidget* parent, ws::PeerHost* host) {
    switch (kind) {
        case ws::ButtonKind::Check:
            return new CheckBox(parent);
        case ws::ButtonKind::Radio: {
            auto* b = new RadioButton(parent);
            b->setAutoExclusive(false);  // the class library keeps siblings exclusive itself
            return b;
        }
        case ws::ButtonKind::OwnerDraw:
            return new OwnerDrawButton(parent, host);
        case ws::ButtonKind::Push:
            break;
    }
    return new QPushButton(parent);
}

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::ButtonPeer> ws::NewButtonPeer(ButtonKind kind, Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    QAbstractButton* b = NewButton(kind, ParentWidget(parent), host);
    QObject::connect(b, &QAbstractButton::clicked, [host] { host->peerNotify(pnClicked); });
    return Shown<ButtonPeer>(std::make_unique<QtButtonPeer>(b, kind, host));
}
