// Rich edits: a read-only document view showing the document as HTML.
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBrowser>

#include "platform/qt/peerCore.h"
#include "platform/vcl/peerKinds.h"

namespace qtbridge {
namespace {

// A document to read with the caret of a read-only rich edit, which shows where the keyboard
// is while the view has the focus: the arrow and page keys move it through the text, and
// Ctrl+Home and Ctrl+End take it to the document's start and end, the view there with it.
class ReadingView final : public QTextBrowser {
public:
    explicit ReadingView(QWidget* parent) : QTextBrowser(parent) {
        setReadOnly(true);
        setTextInteractionFlags(textInteractionFlags() | Qt::TextSelectableByKeyboard);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const bool home = e->key() == Qt::Key_Home, end = e->key() == Qt::Key_End;
        if ((home || end) && (e->modifiers() & Qt::ControlModifier)) {
            moveCursor(home ? QTextCursor::Start : QTextCursor::End);
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
    t->setOpenLinks(false);
    t->setFrameShape(QFrame::NoFrame);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return Shown<RichEditPeer>(std::make_unique<QtRichEditPeer>(t, host));
}
