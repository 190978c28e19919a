// Inside the window layer only: the Qt image behind an Image.
#pragma once

#include <QFont>
#include <QImage>

#include "platform/qt/surface.h"

namespace qtbridge {
// Every Image is made by the driver table this layer installs, so its pixels are these.
class QtImageData final : public gdi::ImageData {
public:
    QImage img;
    // The painter drawing on `img` now, or null; kept by the painters themselves.
    Painter* painter = nullptr;
    // Puts `next` in place of the pixels. A painter drawing on them stops for the exchange
    // and goes on over the new pixels with its state (origin, clip, pen, brush, font, mix,
    // saved levels) as it was: it would otherwise draw into freed memory.
    void replace(QImage next);
    std::unique_ptr<gdi::ImageData> clone() const override;
    void copyFrom(const gdi::ImageData& other) override;
    int width() const override { return img.width(); }
    int height() const override { return img.height(); }
    void resize(int w, int h) override;
    uint32_t pixel(int x, int y) const override;
    void setPixel(int x, int y, uint32_t bgr) override;
    uint8_t* scanLine(int y) override { return img.scanLine(y); }
    bool save(const std::string& path) const override;
    bool load(const std::string& path) override;
    bool loadFromData(const void* data, size_t size) override;
    std::unique_ptr<gdi::ImageData> withColorKey(uint32_t bgr) const override;
    bool hasAlpha() const override { return img.hasAlphaChannel(); }
};
inline QtImageData& QtDataOf(const gdi::Image& i) { return static_cast<QtImageData&>(i.data()); }
// The pixels, to draw or to read; to put others in their place, QtDataOf(i).replace.
inline QImage& QImageOf(const gdi::Image& i) { return QtDataOf(i).img; }
// The Qt font for a font description, with the mapped faces behind it.
QFont QFontOf(const gdi::FontSpec& f);
}  // namespace qtbridge
