// Combo boxes: the window system's combo, its items drawn by it or by the control.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QScreen>
#include <QStylePainter>

#include "platform/qt/itemsPeer.h"

namespace qtbridge {
namespace {

// The toolkit's style, except that a drop-down list opens below its field (above it where
// the screen has no room below), as Windows opens it, never over the field with the current
// item at the field's place.
class DropDownBelowStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

QStyle* ComboStyle() {
    static QStyle* style = [] {
        auto* s = new DropDownBelowStyle();
        s->setParent(qApp);
        return s;
    }();
    return style;
}

// A combo box whose closed face shows the host's drawing of the current item.
class OwnerDrawCombo : public QComboBox {
public:
    OwnerDrawCombo(QWidget* parent, ws::PeerHost* host) : QComboBox(parent), host_(host) {
        setStyle(ComboStyle());
    }
    bool ownerDraw = false;
    bool noPopup = false;
    int droppedWidth = 0;
    void showPopup() override {
        if (noPopup) return;
        QComboBox::showPopup();
        placePopup();
    }
    // The open list's frame; null while closed.
    QWidget* popup() const {
        QWidget* frame = view()->window();
        return frame && frame != window() && frame->isVisible() ? frame : nullptr;
    }

protected:
    // The closed face as Windows draws it: a focused list-only box shows its item on the
    // highlight colour inside a dotted focus rectangle, however the focus came (the toolkit
    // marks only a focus that came by the keyboard, with a thin outline). An owner-drawn
    // item is drawn by the host, told of the focus by its state.
    void paintEvent(QPaintEvent* e) override {
        if (isEditable()) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter p(this);
        p.setPen(palette().color(QPalette::Text));
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
        const QString text = opt.currentText;
        const QIcon icon = opt.currentIcon;
        opt.currentText.clear();
        opt.currentIcon = QIcon();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect r =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        if (r.width() <= 0 || r.height() <= 0) return;
        const bool focused = hasFocus() && isEnabled();
        if (ownerDraw) {
            unsigned state = kOdsComboBoxEdit;
            if (focused) state |= kOdsSelected | kOdsFocus;
            if (!isEnabled()) state |= kOdsDisabled;
            gdi::Image img(r.width(), r.height());
            host_->peerDrawListItem(img, currentIndex(), state, kOdaDrawEntire);
            p.drawImage(r.topLeft(), QImageOf(img));
            return;
        }
        if (focused) {
            // The label is drawn in the pen's colour or in the palette's text colours, as the
            // style chooses: all of them are the highlight's text colour here.
            const QColor text = palette().color(QPalette::Active, QPalette::HighlightedText);
            p.fillRect(r, palette().brush(QPalette::Active, QPalette::Highlight));
            p.setPen(text);
            for (auto role : {QPalette::ButtonText, QPalette::Text, QPalette::WindowText})
                opt.palette.setColor(role, text);
        }
        opt.currentText = text;
        opt.currentIcon = icon;
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
        if (focused) DrawFocusRect(&p, r);
    }

private:
    // As wide as the field, or as the control asks (never narrower), from the field's left
    // edge; below the field unless the screen has no room there. The toolkit sizes the list
    // after the items' own texts instead.
    void placePopup() {
        QWidget* frame = popup();
        if (!frame) return;
        QRect r = frame->geometry();
        const QRect field(mapToGlobal(QPoint(0, 0)), size());
        const QScreen* s = screen();
        const QRect room =
            s ? s->availableGeometry() : QRect(field.left(), field.top(), 4096, 4096);
        r.setWidth(std::max(width(), droppedWidth));
        r.moveLeft(field.left());
        if (r.right() > room.right()) r.moveRight(room.right());
        if (r.left() < room.left()) r.moveLeft(room.left());
        if (field.bottom() + 1 + r.height() <= room.bottom() + 1 ||
            field.top() - room.top() < r.height())
            r.moveTop(field.bottom() + 1);
        else
            r.moveBottom(field.top() - 1);
        frame->setGeometry(r);
    }

    ws::PeerHost* host_;
};

class QtComboPeer final : public QtItemsPeer<ws::ComboPeer> {
public:
    QtComboPeer(OwnerDrawCombo* c, ws::PeerHost* host)
        : QtItemsPeer(c, c->view(), host), combo_(c) {
        // The drop-down's rows are marked as the lists mark theirs, the rectangle around the
        // text.
        delegate()->rowMargin = 1;
    }

    void setText(const std::string& s) override {
        if (combo_->isEditable()) blocked([&] { combo_->setEditText(QString::fromStdString(s)); });
    }
    std::string text() const override { return combo_->currentText().toStdString(); }
    void clearItems() override {
        blocked([&] { combo_->clear(); });
        heightsCleared();
    }
    void insertItem(int index, const std::string& s, int indent) override {
        heightInserted(index);
        blocked([&] {
            combo_->insertItem(index, QString(indent * 2, QChar(' ')) + QString::fromStdString(s));
        });
    }
    void deleteItem(int index) override {
        heightDeleted(index);
        blocked([&] { combo_->removeItem(index); });
    }
    void setItemText(int index, const std::string& s) override {
        combo_->setItemText(index, QString::fromStdString(s));
    }
    int itemIndex() const override { return combo_->currentIndex(); }
    void setItemIndex(int i) override {
        blocked([&] { combo_->setCurrentIndex(i); });
    }
    void setDropDownCount(int n) override { combo_->setMaxVisibleItems(std::max(1, n)); }
    void setEditable(bool on) override {
        blocked([&] { combo_->setEditable(on); });
        // Completing typed text is the control's own choice (AutoComplete), not the toolkit's.
        if (on) combo_->setCompleter(nullptr);
        if (auto* e = combo_->lineEdit()) filterKeysOf(e);
    }
    void editSelection(int& start, int& length) const override {
        start = length = 0;
        const QLineEdit* e = combo_->lineEdit();
        if (!e) return;
        const QString t = e->text();
        const int from = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
        const int count = e->hasSelectedText() ? int(e->selectedText().size()) : 0;
        start = int(t.left(from).toUtf8().size());
        length = int(t.mid(from, count).toUtf8().size());
    }
    void setEditSelection(int start, int length) override {
        QLineEdit* e = combo_->lineEdit();
        if (!e) return;
        const QByteArray bytes = e->text().toUtf8();
        const auto at = [&](int b) {
            return int(QString::fromUtf8(bytes.left(std::clamp(b, 0, int(bytes.size())))).size());
        };
        const int from = at(start), to = at(start + std::max(0, length));
        e->setSelection(from, to - from);
        if (to == from) e->setCursorPosition(from);
    }
    void setEditReadOnly(bool on) override {
        combo_->noPopup = on;
        if (combo_->lineEdit()) combo_->lineEdit()->setReadOnly(on);
    }
    void showDropDown(bool show) override {
        if (show && !combo_->popup())
            combo_->showPopup();
        else if (!show && combo_->popup())
            combo_->hidePopup();
    }
    bool droppedDown() const override { return combo_->popup() != nullptr; }
    void setDroppedWidth(int width) override { combo_->droppedWidth = width; }
    bool droppedRect(int& left, int& top, int& right, int& bottom) const override {
        QWidget* frame = combo_->popup();
        if (!frame) return false;
        const QRect r = frame->geometry();
        left = r.left();
        top = r.top();
        right = r.left() + r.width();
        bottom = r.top() + r.height();
        return true;
    }
    bool grabDropDown(gdi::Image& out) const override {
        QWidget* frame = combo_->popup();
        if (!frame) return false;
        const QImage img = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
        out.resize(img.width(), img.height());
        QImageOf(out) = img;
        return !img.isNull();
    }

protected:
    int itemWidth() const override { return std::max(combo_->width(), combo_->droppedWidth); }
    void ownerDrawChanged(bool on) override { combo_->ownerDraw = on; }
    void relayoutItems() override {
        combo_->view()->doItemsLayout();
        combo_->updateGeometry();
        combo_->update();
    }

private:
    OwnerDrawCombo* combo_;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::ComboPeer> ws::NewComboPeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* c = new OwnerDrawCombo(ParentWidget(parent), host);
    QObject::connect(c, QOverload<int>::of(&QComboBox::activated),
                     [host] { host->peerNotify(pnSelChange); });
    return Shown<ComboPeer>(std::make_unique<QtComboPeer>(c, host));
}
