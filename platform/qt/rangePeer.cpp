// Progress bars.
#include <QProgressBar>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

class QtRangePeer final : public QtPeer<ws::RangePeer> {
public:
    QtRangePeer(QProgressBar* p, ws::PeerHost* host)
        : QtPeer(p, p, host, PeerReports{.native = true}), bar_(p) {}
    void setRange(int lo, int hi) override { bar_->setRange(lo, hi); }
    void setPosition(int v) override { bar_->setValue(v); }

private:
    QProgressBar* bar_;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::RangePeer> ws::NewRangePeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* p = new QProgressBar(ParentWidget(parent));
    p->setTextVisible(false);
    return Shown<RangePeer>(std::make_unique<QtRangePeer>(p, host));
}
