// List boxes: the window system's list, its items drawn by it or by the control.
#include <functional>

#include <QFocusEvent>
#include <QListWidget>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include "platform/qt/itemsPeer.h"

namespace qtbridge {
namespace {

// The list widget reports its mouse input to the control, whose default handling hands it
// back to the widget's own (nativeMouse), as a window procedure calls the original one.
class ListWidget : public QListWidget {
public:
    ListWidget(QWidget* parent, ws::PeerHost* host) : QListWidget(parent), host_(host) {}
    // The control is gone: the widget, deleted later, reports nothing more.
    void forget() { host_ = nullptr; }
    // Owner-drawn rows may show what lies still under them (a background picture): they are
    // drawn anew after a scroll rather than moved.
    bool redrawOnScroll = false;
    // The height of the first row of the list while it has none; owner-drawn or not.
    std::function<int()> emptyRowHeight;
    bool ownerDrawn = false;
    void nativeMouse(unsigned msg, int x, int y, unsigned keys) {
        const QPoint at = viewport()->mapFrom(this, QPoint(x, y));
        Qt::MouseButtons held;
        if (keys & 1) held |= Qt::LeftButton;
        if (keys & 2) held |= Qt::RightButton;
        Qt::KeyboardModifiers mods;
        if (keys & 4) mods |= Qt::ShiftModifier;
        if (keys & 8) mods |= Qt::ControlModifier;
        QEvent::Type type = QEvent::MouseMove;
        Qt::MouseButton button = Qt::NoButton;
        switch (msg) {
            case kLDown:
            case kLDbl:
                type = msg == kLDown ? QEvent::MouseButtonPress : QEvent::MouseButtonDblClick;
                button = Qt::LeftButton;
                held |= Qt::LeftButton;
                break;
            case kLUp:
                type = QEvent::MouseButtonRelease;
                button = Qt::LeftButton;
                held &= ~Qt::LeftButton;
                break;
            case kRDown:
                type = QEvent::MouseButtonPress;
                button = Qt::RightButton;
                held |= Qt::RightButton;
                break;
            case kRUp:
                type = QEvent::MouseButtonRelease;
                button = Qt::RightButton;
                held &= ~Qt::RightButton;
                break;
            default:
                break;
        }
        QMouseEvent e(type, QPointF(at), viewport()->mapToGlobal(QPointF(at)), button, held, mods);
        switch (type) {
            case QEvent::MouseButtonPress:
                QListWidget::mousePressEvent(&e);
                break;
            case QEvent::MouseButtonDblClick:
                QListWidget::mouseDoubleClickEvent(&e);
                break;
            case QEvent::MouseButtonRelease:
                QListWidget::mouseReleaseEvent(&e);
                break;
            default:
                QListWidget::mouseMoveEvent(&e);
                break;
        }
    }

protected:
    void scrollContentsBy(int dx, int dy) override {
        QListWidget::scrollContentsBy(dx, dy);
        if (redrawOnScroll) viewport()->update();
    }
    // The control erases what the paint uncovers (its background shows where no item is),
    // then the items are drawn over it.
    void paintEvent(QPaintEvent* e) override {
        if (host_) {
            const QRect area = e->rect();
            const QPoint at = viewport()->mapTo(this, area.topLeft());
            gdi::Image img(std::max(1, area.width()), std::max(1, area.height()));
            if (host_->peerEraseBackground(img, at.x(), at.y())) {
                QPainter p(viewport());
                p.drawImage(area.topLeft(), QImageOf(img));
            }
        }
        QListWidget::paintEvent(e);
        // An empty list with the focus shows it where the first row would be: an owner-drawn
        // one has the control draw it, as item -1 (as the window system's list asks it).
        const int h = host_ && count() == 0 && hasFocus() && emptyRowHeight ? emptyRowHeight() : 0;
        if (h <= 0) return;
        QPainter p(viewport());
        if (!ownerDrawn) {
            DrawFocusRect(&p, QRect(0, 0, viewport()->width(), h));
            return;
        }
        gdi::Image img(std::max(1, viewport()->width()), h);
        host_->peerDrawListItem(img, -1, kOdsFocus, kOdaFocus);
        p.drawImage(QPoint(0, 0), QImageOf(img));
    }
    // The focus of a list without a current row is drawn by the paint (on the first row, or
    // where it would be): it comes and goes with the focus and the current row.
    void focusInEvent(QFocusEvent* e) override {
        QListWidget::focusInEvent(e);
        if (!currentIndex().isValid()) viewport()->update();
    }
    void focusOutEvent(QFocusEvent* e) override {
        QListWidget::focusOutEvent(e);
        if (!currentIndex().isValid()) viewport()->update();
    }
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override {
        QListWidget::currentChanged(current, previous);
        if (!current.isValid() || !previous.isValid()) viewport()->update();
    }
    void mousePressEvent(QMouseEvent* e) override {
        report(e->button() == Qt::RightButton ? kRDown : kLDown, e, e->buttons() | e->button());
    }
    void mouseDoubleClickEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton) report(kLDbl, e, e->buttons() | e->button());
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        report(e->button() == Qt::RightButton ? kRUp : kLUp, e, e->buttons());
    }
    void mouseMoveEvent(QMouseEvent* e) override { report(kMouseMove, e, e->buttons()); }

private:
    void report(unsigned msg, QMouseEvent* e, Qt::MouseButtons buttons) {
        if (!host_) return;
        const QPoint p = viewport()->mapTo(this, e->position().toPoint());
        host_->peerMouse(msg, p.x(), p.y(), MouseKeys(buttons, e->modifiers()));
    }
    ws::PeerHost* host_;
};

class QtListPeer final : public QtItemsPeer<ws::ListPeer> {
public:
    QtListPeer(ListWidget* l, ws::PeerHost* host) : QtItemsPeer(l, l, host), list_(l) {
        delegate()->caretOnFirstRow = true;
        l->emptyRowHeight = [this] {
            if (ownerDraw_) return itemHeight();
            return rowHeight_ > 0 ? rowHeight_
                                  : QFontMetrics(SongInkFace(list_->font())).height() + 2;
        };
    }
    ~QtListPeer() override {
        list_->forget();
        list_->emptyRowHeight = nullptr;
    }

    void clearItems() override {
        blocked([&] { list_->clear(); });
        heightsCleared();
    }
    void insertItem(int index, const std::string& s, int indent) override {
        heightInserted(index);
        blocked([&] {
            list_->insertItem(index, QString(indent * 2, QChar(' ')) + QString::fromStdString(s));
            if (rowHeight_ > 0) list_->item(index)->setSizeHint(QSize(0, rowHeight_));
        });
    }
    void deleteItem(int index) override {
        heightDeleted(index);
        blocked([&] { delete list_->takeItem(index); });
    }
    void setItemText(int index, const std::string& s) override {
        if (auto* it = list_->item(index)) it->setText(QString::fromStdString(s));
    }
    int itemIndex() const override { return list_->currentRow(); }
    void setItemIndex(int i) override {
        blocked([&] {
            list_->setCurrentRow(i);
            if (list_->selectionMode() == QAbstractItemView::SingleSelection) {
                list_->clearSelection();
                if (i >= 0 && list_->item(i)) list_->item(i)->setSelected(true);
            }
        });
    }
    void setMultiSelect(bool multi, bool extended) override {
        list_->setSelectionMode(!multi     ? QAbstractItemView::SingleSelection
                                : extended ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::MultiSelection);
    }
    void setSelected(int i, bool s) override {
        if (auto* it = list_->item(i)) blocked([&] { it->setSelected(s); });
    }
    bool selected(int i) const override {
        auto* it = list_->item(i);
        return it && it->isSelected();
    }
    void setRowHeight(int h) override {
        rowHeight_ = h;
        for (int i = 0; i < list_->count(); ++i)
            list_->item(i)->setSizeHint(h > 0 ? QSize(0, h) : QSize());
    }
    void setHorizontalExtent(int w) override {
        if (w == extent_) return;
        extent_ = w;
        if (ownerDraw_) relayoutItems();
    }
    void setScrollBars(bool horizontal, bool vertical) override {
        list_->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded
                                                       : Qt::ScrollBarAlwaysOff);
        list_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded
                                                   : Qt::ScrollBarAlwaysOff);
    }
    void setCtl3D(bool on) override {
        list_->setFrameStyle(on ? QFrame::StyledPanel | QFrame::Sunken
                                : QFrame::Box | QFrame::Plain);
        list_->setLineWidth(1);
    }
    int topIndex() const override {
        if (list_->count() == 0) return 0;
        QModelIndex i = list_->indexAt(QPoint(1, 1));
        return i.isValid() ? i.row() : 0;
    }
    void setTopIndex(int i) override {
        if (auto* it = list_->item(i)) list_->scrollToItem(it, QAbstractItemView::PositionAtTop);
    }
    int itemAt(int x, int y, bool nearest) const override {
        if (list_->count() == 0) return nearest ? 0 : -1;
        QPoint vp = list_->viewport()->mapFrom(list_, QPoint(x, y));
        QModelIndex i = list_->indexAt(vp);
        if (i.isValid()) return i.row();
        if (!nearest) return -1;
        // Above the first item: the first; below the last: one past it.
        QRect first = list_->visualItemRect(list_->item(0));
        return vp.y() < first.top() ? 0 : list_->count();
    }
    bool itemRect(int i, int& left, int& top, int& right, int& bottom) const override {
        if (!list_->item(i)) return false;
        QRect r = list_->visualItemRect(list_->item(i));
        QPoint o = list_->viewport()->mapTo(list_, r.topLeft());
        left = o.x();
        top = o.y();
        right = o.x() + r.width();
        bottom = o.y() + r.height();
        return true;
    }
    void sendScroll(bool horizontal, int request) override {
        QScrollBar* bar = horizontal ? list_->horizontalScrollBar() : list_->verticalScrollBar();
        const QAbstractSlider::SliderAction actions[] = {
            QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd,
            QAbstractSlider::SliderPageStepSub,   QAbstractSlider::SliderPageStepAdd,
            QAbstractSlider::SliderNoAction,      QAbstractSlider::SliderMove,
            QAbstractSlider::SliderToMinimum,     QAbstractSlider::SliderToMaximum};
        if (request >= 0 && request < 8 && actions[request] != QAbstractSlider::SliderNoAction)
            bar->triggerAction(actions[request]);
    }

    void nativeMouse(unsigned msg, int x, int y, unsigned keys) override {
        list_->nativeMouse(msg, x, y, keys);
    }

protected:
    int itemWidth() const override { return std::max(1, extent_); }
    void ownerDrawChanged(bool on) override {
        list_->redrawOnScroll = on;
        list_->ownerDrawn = on;
        list_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    }
    void relayoutItems() override {
        list_->doItemsLayout();
        list_->update();
    }

private:
    ListWidget* list_;
    int extent_ = 0;
    int rowHeight_ = 0;  // a plain list's rows; 0: the font's
};

// The SB_ request of a scroll-bar action; -1 for none.
int ScrollRequest(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return 0;  // SB_LINEUP
        case QAbstractSlider::SliderSingleStepAdd:
            return 1;  // SB_LINEDOWN
        case QAbstractSlider::SliderPageStepSub:
            return 2;  // SB_PAGEUP
        case QAbstractSlider::SliderPageStepAdd:
            return 3;  // SB_PAGEDOWN
        case QAbstractSlider::SliderMove:
            return 5;  // SB_THUMBTRACK
        case QAbstractSlider::SliderToMinimum:
            return 6;  // SB_TOP
        case QAbstractSlider::SliderToMaximum:
            return 7;  // SB_BOTTOM
        default:
            return -1;
    }
}

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::ListPeer> ws::NewListPeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* l = new ListWidget(ParentWidget(parent), host);
    QObject::connect(l, &QListWidget::itemSelectionChanged,
                     [host] { host->peerNotify(pnSelChange); });
    QObject::connect(l, &QListWidget::itemDoubleClicked, [host] { host->peerNotify(pnDblClick); });
    for (bool horizontal : {false, true}) {
        QScrollBar* bar = horizontal ? l->horizontalScrollBar() : l->verticalScrollBar();
        QObject::connect(bar, &QAbstractSlider::actionTriggered,
                         [host, bar, horizontal](int action) {
                             const int request = ScrollRequest(action);
                             if (request < 0) return;
                             // The bar has its new position but not yet its value: keeping the
                             // value undoes the step.
                             if (host->peerScroll(horizontal, request, bar->sliderPosition()))
                                 bar->setSliderPosition(bar->value());
                         });
    }
    return Shown<ListPeer>(std::make_unique<QtListPeer>(l, host));
}
