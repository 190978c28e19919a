// The drag image in a frameless window that lets the mouse through, and the cursor of a drag
// over the whole application.
#include "platform/qt/dragFeedback.h"

#include <QApplication>
#include <QBitmap>
#include <QCursor>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPointer>

#include "platform/qt/peerCore.h"
#include "platform/qt/qtapp.h"
#include "platform/vcl/windowSystem.h"
#include "platform/win/icons.h"

namespace qtbridge {
namespace {

// The picture with its masked pixels transparent.
QImage ToQImage(const IconImage& img) {
    QImage q(img.width, img.height, QImage::Format_ARGB32);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            const size_t i = size_t(y) * size_t(img.width) + size_t(x);
            const bool masked = !img.hasAlpha && i < img.mask.size() && img.mask[i];
            const uint32_t p = img.pixels[i];
            q.setPixel(x, y, masked ? 0u : (img.hasAlpha ? p : (p | 0xFF000000u)));
        }
    return q;
}

QPointer<QLabel>& ImageWindow() {
    static QPointer<QLabel> window;
    return window;
}

bool g_cursorShown = false;

}  // namespace

void ShowDragImageWindow(const IconImage* image, int x, int y) {
    QPointer<QLabel>& w = ImageWindow();
    if (!image || image->Empty()) {
        if (w) w->hide();
        return;
    }
    ws::EnsureGui();
    if (!w) {
        w = new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                    Qt::WindowTransparentForInput);
        w->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    const QPixmap pixmap = QPixmap::fromImage(ToQImage(*image));
    w->setPixmap(pixmap);
    w->resize(pixmap.size());
    // The masked pixels let what lies beneath show, with or without a compositing manager
    // (off screen nothing lies beneath).
    if (!Offscreen()) w->setMask(pixmap.mask());
    w->move(x, y);
    w->show();
    if (!Offscreen()) w->raise();
}

}  // namespace qtbridge

namespace ws {

void ShowTrackingCursor(HCURSOR cursor) {
    using qtbridge::g_cursorShown;
    const auto img = cursor ? IconImageOf(cursor) : nullptr;
    if (!img || img->Empty()) {
        if (g_cursorShown) QGuiApplication::restoreOverrideCursor();
        g_cursorShown = false;
        return;
    }
    EnsureGui();
    const QCursor shape(QPixmap::fromImage(qtbridge::ToQImage(*img)), img->hotX, img->hotY);
    if (g_cursorShown) {
        QGuiApplication::changeOverrideCursor(shape);
    } else {
        QGuiApplication::setOverrideCursor(shape);
        g_cursorShown = true;
    }
}

}  // namespace ws
