// Rich edits: a read-only document view showing the document as HTML.
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBrowser>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

// A document to read: besides the page and arrow keys, Ctrl+Home and Ctrl+End go to its
// start and its end, as in any reader (the view, read-only, has no cursor that would).
class ReadingView final : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool home = e->key() == Qt::Key_Home, end = e->key() == Qt::Key_End;
        if ((home || end) && (e->modifiers() & Qt::ControlModifier)) {
            QScrollBar* bar = verticalScrollBar();
            bar->setValue(home ? bar->minimum() : bar->maximum());
            horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
            e->accept();
            return;
        }
        QTextBrowser::keyPressEvent(e);
    }
};

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
    auto* t = new ReadingView(ParentWidget(parent));
    t->setReadOnly(true);
    t->setOpenLinks(false);
    t->setFrameShape(QFrame::NoFrame);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return Shown<RichEditPeer>(std::make_unique<QtRichEditPeer>(t, host));
}
