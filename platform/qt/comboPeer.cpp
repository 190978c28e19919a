// Combo boxes: the window system's combo, its items drawn by it or by the control.
#include <QComboBox>
#include <QLineEdit>
#include <QStylePainter>

#include "platform/qt/itemsPeer.h"

namespace qtbridge {
namespace {

// A combo box whose closed face shows the host's drawing of the current item.
class OwnerDrawCombo : public QComboBox {
public:
    OwnerDrawCombo(QWidget* parent, ws::PeerHost* host) : QComboBox(parent), host_(host) {}
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
        QRect r =
            style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        if (r.width() <= 0 || r.height() <= 0) return;
        unsigned state = kOdsComboBoxEdit;
        if (hasFocus()) state |= kOdsSelected | kOdsFocus;
        if (!isEnabled()) state |= kOdsDisabled;
        gdi::Image img(r.width(), r.height());
        host_->peerDrawListItem(img, currentIndex(), state);
        p.drawImage(r.topLeft(), QImageOf(img));
    }

private:
    ws::PeerHost* host_;
};

class QtComboPeer final : public QtItemsPeer<ws::ComboPeer> {
public:
    QtComboPeer(OwnerDrawCombo* c, ws::PeerHost* host)
        : QtItemsPeer(c, c->view(), host), combo_(c) {}

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
        if (auto* e = combo_->lineEdit()) filterKeysOf(e);
    }
    void setEditReadOnly(bool on) override {
        combo_->noPopup = on;
        if (combo_->lineEdit()) combo_->lineEdit()->setReadOnly(on);
    }

protected:
    int itemWidth() const override { return combo_->width(); }
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
