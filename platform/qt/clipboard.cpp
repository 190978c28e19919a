// The clipboard calls over the toolkit's clipboard. Contents put on it are kept aside until
// CloseClipboard publishes them as one MIME object, so a reader never sees half of them.
#include "platform/win/clipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/qt/qtapp.h"

namespace {

constexpr UINT kFirstRegistered = 0xC000;

struct State {
    std::map<std::string, UINT> byName;  // lower-case name -> format
    std::map<UINT, std::string> names;   // format -> name as first registered
    bool open = false;
    bool emptied = false;                // new contents are being put together
    std::map<UINT, QByteArray> pending;  // registered formats
    QImage pendingImage;                 // CF_BITMAP
    bool hasPendingImage = false;
    std::vector<HGLOBAL> takenBlocks;  // given by SetClipboardData, freed on close
    std::vector<HBITMAP> takenBitmaps;
    std::vector<HGLOBAL> handedBlocks;  // made by GetClipboardData, freed on close
    std::vector<HBITMAP> handedBitmaps;
};

State& S() {
    static State s;
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

QString MimeTypeOf(UINT format) {
    auto it = S().names.find(format);
    if (it == S().names.end()) return {};
    return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
        .arg(QString::fromStdString(it->second));
}

const QMimeData* Published() {
    QClipboard* c = QGuiApplication::clipboard();
    return c ? c->mimeData() : nullptr;
}

QImage ImageOfBitmap(HBITMAP bmp) {
    BITMAP bm;
    if (!bmp || !GetObjectA(bmp, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight == 0) return {};
    const int w = bm.bmWidth, h = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    QImage img(w, h, QImage::Format_RGB32);
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down, as the image's rows
    bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    HDC dc = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(dc, bmp, 0, UINT(h), px.data(), &bi, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (lines != h) return {};
    for (int y = 0; y < h; ++y)
        std::memcpy(img.scanLine(y), px.data() + size_t(y) * size_t(w), size_t(w) * 4);
    return img;
}

HBITMAP BitmapOfImage(const QImage& source) {
    if (source.isNull()) return nullptr;
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    std::vector<uint32_t> px(size_t(img.width()) * size_t(img.height()));
    for (int y = 0; y < img.height(); ++y)
        std::memcpy(px.data() + size_t(y) * size_t(img.width()), img.constScanLine(y),
                    size_t(img.width()) * 4);
    return CreateBitmap(img.width(), img.height(), 1, 32, px.data());
}

HGLOBAL BlockOf(const QByteArray& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, size_t(bytes.size()));
    if (!h) return nullptr;
    if (!bytes.isEmpty()) {
        void* p = GlobalLock(h);
        std::memcpy(p, bytes.constData(), size_t(bytes.size()));
        GlobalUnlock(h);
    }
    return h;
}

void FreeHandles() {
    State& s = S();
    for (HGLOBAL h : s.takenBlocks) GlobalFree(h);
    for (HGLOBAL h : s.handedBlocks) GlobalFree(h);
    for (HBITMAP b : s.takenBitmaps) DeleteObject(b);
    for (HBITMAP b : s.handedBitmaps) DeleteObject(b);
    s.takenBlocks.clear();
    s.handedBlocks.clear();
    s.takenBitmaps.clear();
    s.handedBitmaps.clear();
}

}  // namespace

UINT RegisterClipboardFormatA(const char* name) {
    if (!name || !*name) return 0;
    State& s = S();
    const std::string key = Lower(name);
    auto it = s.byName.find(key);
    if (it != s.byName.end()) return it->second;
    const UINT format = kFirstRegistered + UINT(s.byName.size());
    s.byName[key] = format;
    s.names[format] = name;
    return format;
}

BOOL OpenClipboard(HWND) {
    State& s = S();
    if (s.open) return FALSE_;
    qtbridge::EnsureGui();
    if (!QGuiApplication::clipboard()) return FALSE_;
    s.open = true;
    s.emptied = false;
    return TRUE_;
}

BOOL EmptyClipboard() {
    State& s = S();
    if (!s.open) return FALSE_;
    s.emptied = true;
    s.pending.clear();
    s.pendingImage = QImage();
    s.hasPendingImage = false;
    return TRUE_;
}

HANDLE SetClipboardData(UINT format, HANDLE data) {
    State& s = S();
    if (!s.open || !s.emptied || !data) return nullptr;
    if (format == CF_BITMAP) {
        QImage img = ImageOfBitmap(static_cast<HBITMAP>(data));
        if (img.isNull()) return nullptr;
        s.pendingImage = std::move(img);
        s.hasPendingImage = true;
        s.takenBitmaps.push_back(static_cast<HBITMAP>(data));
        return data;
    }
    if (!s.names.count(format)) return nullptr;
    const void* p = GlobalLock(data);
    if (!p) return nullptr;
    s.pending[format] = QByteArray(static_cast<const char*>(p), qsizetype(GlobalSize(data)));
    GlobalUnlock(data);
    s.takenBlocks.push_back(data);
    return data;
}

HANDLE GetClipboardData(UINT format) {
    State& s = S();
    if (!s.open) return nullptr;
    if (format == CF_BITMAP) {
        QImage img;
        if (s.emptied)
            img = s.pendingImage;
        else if (const QMimeData* m = Published(); m && m->hasImage())
            img = qvariant_cast<QImage>(m->imageData());
        HBITMAP b = BitmapOfImage(img);
        if (b) s.handedBitmaps.push_back(b);
        return b;
    }
    if (!s.names.count(format)) return nullptr;
    QByteArray bytes;
    if (s.emptied) {
        auto it = s.pending.find(format);
        if (it == s.pending.end()) return nullptr;
        bytes = it->second;
    } else {
        const QMimeData* m = Published();
        if (!m || !m->hasFormat(MimeTypeOf(format))) return nullptr;
        bytes = m->data(MimeTypeOf(format));
    }
    HGLOBAL h = BlockOf(bytes);
    if (h) s.handedBlocks.push_back(h);
    return h;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    State& s = S();
    if (s.open && s.emptied)
        return (format == CF_BITMAP ? s.hasPendingImage : s.pending.count(format) > 0) ? TRUE_
                                                                                       : FALSE_;
    if (!qtbridge::GuiStarted()) return FALSE_;
    const QMimeData* m = Published();
    if (!m) return FALSE_;
    if (format == CF_BITMAP) return m->hasImage() ? TRUE_ : FALSE_;
    return s.names.count(format) && m->hasFormat(MimeTypeOf(format)) ? TRUE_ : FALSE_;
}

BOOL CloseClipboard() {
    State& s = S();
    if (!s.open) return FALSE_;
    if (s.emptied) {
        auto mime = std::make_unique<QMimeData>();
        for (const auto& [format, bytes] : s.pending) mime->setData(MimeTypeOf(format), bytes);
        if (s.hasPendingImage) mime->setImageData(s.pendingImage);
        QGuiApplication::clipboard()->setMimeData(mime.release());  // the clipboard owns it
        s.pending.clear();
        s.pendingImage = QImage();
        s.hasPendingImage = false;
    }
    FreeHandles();
    s.open = false;
    s.emptied = false;
    return TRUE_;
}
