// Inside the Qt back end only: what list and combo boxes share, their owner-drawn items.
#pragma once

#include <algorithm>
#include <functional>
#include <vector>

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>

#include "platform/qt/peerCore.h"
#include "platform/qt/surface.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {

// The state flags of an owner-drawn item as the host reads them (ODS_ values).
constexpr unsigned kOdsSelected = 0x1, kOdsDisabled = 0x4, kOdsFocus = 0x10,
                   kOdsComboBoxEdit = 0x1000;
// What an owner-drawn item is asked to draw (ODA_ values): all of it, or only its focus.
constexpr unsigned kOdaDrawEntire = 0x1, kOdaFocus = 0x4;

// Items of owner-drawn lists and combo boxes are drawn by the host on an image of the item's
// size; their sizes are the ones the host set.
class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(QObject* parent, ws::PeerHost* host)
        : QStyledItemDelegate(parent), host_(host) {}
    bool on = false;
    // Rows the toolkit draws get this many blank pixels above and below their text, so the
    // focus rectangle on the cell's edge crosses no glyph.
    int rowMargin = 0;
    std::function<QSize(int)> sizeOf;
    // A list's focus shows on its first row while it has no current row, as the caret of
    // Windows' list starts there.
    bool caretOnFirstRow = false;
    QSize sizeHint(const QStyleOptionViewItem& opt, const QModelIndex& index) const override {
        if (!on || !sizeOf) {
            QSize s = QStyledItemDelegate::sizeHint(opt, index);
            if (rowMargin > 0)
                s.setHeight(QFontMetrics(SongInkFace(opt.font)).height() + 2 * rowMargin);
            return s;
        }
        return sizeOf(index.row());
    }
    void paint(QPainter* p, const QStyleOptionViewItem& given,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt(given);
        if (caretAt(opt, index)) opt.state |= QStyle::State_HasFocus;
        if (!on) {
            // The toolkit draws the item as Windows draws a list's: the selection flat in the
            // highlight colour (no hover shade), the focus a dotted rectangle; the text in a
            // face standing in for the Song face at the size that keeps its glyphs within
            // its row.
            QStyleOptionViewItem drawn(opt);
            drawn.font = SongInkFace(opt.font);
            drawn.fontMetrics = QFontMetrics(drawn.font);
            drawn.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
            if (drawn.state & QStyle::State_Selected) {
                const QPalette::ColorGroup group =
                    drawn.state & QStyle::State_Enabled ? QPalette::Active : QPalette::Disabled;
                p->fillRect(drawn.rect, drawn.palette.brush(group, QPalette::Highlight));
            }
            QStyledItemDelegate::paint(p, drawn, index);
            if (opt.state & QStyle::State_HasFocus) DrawFocusRect(p, opt.rect);
            return;
        }
        unsigned state = 0;
        if (opt.state & QStyle::State_Selected) state |= kOdsSelected;
        if (opt.state & QStyle::State_HasFocus) state |= kOdsFocus;
        if (!(opt.state & QStyle::State_Enabled)) state |= kOdsDisabled;
        gdi::Image img(std::max(1, opt.rect.width()), std::max(1, opt.rect.height()));
        host_->peerDrawListItem(img, index.row(), state, kOdaDrawEntire);
        p->drawImage(opt.rect.topLeft(), QImageOf(img));
    }

private:
    bool caretAt(const QStyleOptionViewItem& opt, const QModelIndex& index) const {
        const auto* view = qobject_cast<const QAbstractItemView*>(opt.widget);
        return caretOnFirstRow && index.row() == 0 && view && view->hasFocus() &&
               !view->currentIndex().isValid();
    }
    ws::PeerHost* host_;
};

// The heights of the items (one for all, or one per item) and the owner-drawing mode, kept
// beside the widget's own items.
template <class Interface>
class QtItemsPeer : public QtPeer<Interface> {
public:
    QtItemsPeer(QWidget* w, QAbstractItemView* view, ws::PeerHost* host)
        : QtPeer<Interface>(w, w, host, PeerReports{.native = true, .focus = true}) {
        delegate_ = new OwnerDrawDelegate(view, host);
        delegate_->sizeOf = [this](int row) {
            const int h = ownerDraw_ == 2 && row >= 0 && row < int(heights_.size())
                              ? heights_[size_t(row)]
                              : itemHeight_;
            return QSize(itemWidth(), std::max(1, h));
        };
        view->setItemDelegate(delegate_);
    }
    // The widget is deleted later and may still lay out or paint its rows (a scroll to the
    // current row is done on a timer): the delegate asks this peer nothing more.
    ~QtItemsPeer() override {
        delegate_->sizeOf = nullptr;
        delegate_->on = false;
    }
    OwnerDrawDelegate* delegate() const { return delegate_; }
    void setOwnerDraw(int mode) override {
        ownerDraw_ = mode;
        delegate_->on = mode != 0;
        ownerDrawChanged(mode != 0);
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

protected:
    // The width of an owner-drawn item.
    virtual int itemWidth() const = 0;
    virtual void ownerDrawChanged(bool on) = 0;
    virtual void relayoutItems() = 0;
    void heightInserted(int index) {
        heights_.insert(heights_.begin() + std::clamp<int>(index, 0, int(heights_.size())),
                        itemHeight_);
    }
    void heightDeleted(int index) {
        if (index >= 0 && index < int(heights_.size())) heights_.erase(heights_.begin() + index);
    }
    void heightsCleared() { heights_.clear(); }
    // The height of every item (of those not measured one by one).
    int itemHeight() const { return itemHeight_; }
    int ownerDraw_ = 0;

private:
    OwnerDrawDelegate* delegate_;
    int itemHeight_ = 16;
    std::vector<int> heights_;  // per item, for variable heights
};

}  // namespace qtbridge
