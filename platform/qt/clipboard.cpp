// The clipboard driver over the toolkit's clipboard: the window manager's clipboard calls
// (platform/user/clipboard.cpp) publish and read through it.
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <cstring>
#include <memory>

#include "platform/qt/qtapp.h"
#include "platform/user/clipboard.h"

namespace qtbridge {
namespace {

const QMimeData* Published() {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? c->mimeData() : nullptr;
}

QImage ImageOf(const ClipboardImage& source) {
    QImage img(source.width, source.height, QImage::Format_RGB32);
    for (int y = 0; y < source.height; ++y)
        std::memcpy(img.scanLine(y), source.pixels.data() + size_t(y) * size_t(source.width),
                    size_t(source.width) * 4);
    return img;
}

bool PixelsOf(const QImage& source, ClipboardImage* out) {
    if (source.isNull()) return false;
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    out->width = img.width();
    out->height = img.height();
    out->pixels.assign(size_t(img.width()) * size_t(img.height()), 0);
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(out->pixels.data() + size_t(y) * size_t(img.width()), img.constScanLine(y),
                    size_t(img.width()) * 4);
    return true;
}

}  // namespace

void InstallClipboardDriverOfQt() {
    ClipboardDriver d;
    d.available = [] {
        EnsureGui();
        return QGuiApplication::clipboard() != nullptr;
    };
    d.started = [] { return GuiStarted(); };
    d.publish = [](const std::vector<std::pair<std::string, std::string>>& parts,
                   const ClipboardImage* image) {
        auto mime = std::make_unique<QMimeData>();
        for (const auto& [type, bytes] : parts)
            mime->setData(QString::fromStdString(type),
                          QByteArray(bytes.data(), qsizetype(bytes.size())));
        if (image) mime->setImageData(ImageOf(*image));
        QGuiApplication::clipboard()->setMimeData(mime.release());  // the clipboard owns it
    };
    d.read = [](const std::string& type, std::string* bytes) {
        const QMimeData* m = Published();
        const QString t = QString::fromStdString(type);
        if (!m || !m->hasFormat(t)) return false;
        const QByteArray data = m->data(t);
        bytes->assign(data.constData(), size_t(data.size()));
        return true;
    };
    d.hasType = [](const std::string& type) {
        const QMimeData* m = Published();
        return m && m->hasFormat(QString::fromStdString(type));
    };
    d.readImage = [](ClipboardImage* image) {
        const QMimeData* m = Published();
        return m && m->hasImage() && PixelsOf(qvariant_cast<QImage>(m->imageData()), image);
    };
    d.hasImage = [] {
        const QMimeData* m = Published();
        return m && m->hasImage();
    };
    InstallClipboardDriver(d);
}

}  // namespace qtbridge
