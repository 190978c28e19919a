// Rich edits: a read-only document view showing the document as HTML.
#include <QTextBrowser>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

class QtRichEditPeer final : public QtPeer<ws::RichEditPeer> {
public:
    QtRichEditPeer(QTextBrowser* t, ws::PeerHost* host)
        : QtPeer(t, t, host, PeerReports{.native = true}), view_(t) {}
    void setRichText(const std::string& html) override {
        view_->setHtml(QString::fromStdString(html));
    }

private:
    QTextBrowser* view_;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::RichEditPeer> ws::NewRichEditPeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* t = new QTextBrowser(ParentWidget(parent));
    t->setReadOnly(true);
    t->setOpenLinks(false);
    t->setFrameShape(QFrame::NoFrame);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return Shown<RichEditPeer>(std::make_unique<QtRichEditPeer>(t, host));
}
