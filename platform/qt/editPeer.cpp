// Single-line edits.
#include <QLineEdit>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

class QtEditPeer final : public QtPeer<ws::EditPeer> {
public:
    QtEditPeer(QLineEdit* e, ws::PeerHost* host)
        : QtPeer(e, e, host, PeerReports{.native = true, .clickFocus = true}), edit_(e) {}
    void setText(const std::string& s) override {
        blocked([&] { edit_->setText(QString::fromStdString(s)); });
    }
    std::string text() const override { return edit_->text().toStdString(); }
    void setReadOnly(bool on) override { edit_->setReadOnly(on); }
    void setMaxLength(int n) override { edit_->setMaxLength(n > 0 ? n : 32767); }
    void setPasswordChar(char c) override {
        edit_->setEchoMode(c ? QLineEdit::Password : QLineEdit::Normal);
    }

private:
    QLineEdit* edit_;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::EditPeer> ws::NewEditPeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* e = new QLineEdit(ParentWidget(parent));
    QObject::connect(e, &QLineEdit::textChanged, [host] { host->peerNotify(pnTextChanged); });
    return Shown<EditPeer>(std::make_unique<QtEditPeer>(e, host));
}
