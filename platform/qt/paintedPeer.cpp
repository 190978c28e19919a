// Windows painted by their control: containers and custom controls.
#include "platform/qt/peerCore.h"

namespace qtbridge {
namespace {

class QtPaintedPeer final : public QtPeer<ws::PaintedPeer> {
public:
    QtPaintedPeer(PaintedWidget* w, ws::PeerHost* host)
        : QtPeer(w, w, host, PeerReports{}), painted_(w) {}
    gdi::Image* surface(bool) override { return &painted_->surface(); }
    void showSurface() override { painted_->showDrawn(); }
    void invalidate() override { painted_->invalidate(); }

private:
    PaintedWidget* painted_;
};

}  // namespace
}  // namespace qtbridge

std::unique_ptr<ws::PaintedPeer> ws::NewPaintedPeer(Peer* parent, PeerHost* host) {
    using namespace qtbridge;
    auto* w = new PaintedWidget(ParentWidget(parent), host);
    return Shown<PaintedPeer>(std::make_unique<QtPaintedPeer>(w, host));
}
