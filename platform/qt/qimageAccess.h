// Inside the window layer only: the Qt image behind an Image.
#pragma once

#include <QFont>
#include <QImage>

#include "platform/qt/surface.h"

namespace qtbridge {
struct Image::Impl {
    QImage img;
    Painter* painter = nullptr;  // the painter drawing on the image now, if any
};
inline QImage& QImageOf(const Image& i) { return i.impl()->img; }
// The Qt font for a font description, with the mapped faces behind it.
QFont QFontOf(const FontSpec& f);
}  // namespace qtbridge
