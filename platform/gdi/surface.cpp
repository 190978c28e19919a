#include "platform/gdi/surface.h"

#include <stdexcept>

namespace gdi {

namespace {
SurfaceDriver& Installed() {
    static SurfaceDriver driver;
    return driver;
}
}  // namespace

void InstallSurfaceDriver(const SurfaceDriver& driver) { Installed() = driver; }

const SurfaceDriver& Driver() {
    const SurfaceDriver& d = Installed();
    if (!d.newImage) throw std::logic_error("no drawing back end is installed");
    return d;
}

Image::Image() : d_(Driver().newImage(0, 0)) {}
Image::Image(int w, int h) : d_(Driver().newImage(w, h)) {}
Image::Image(std::unique_ptr<ImageData> d) : d_(std::move(d)) {}
Image::~Image() = default;
// Copies are deep: a painter may be drawing on the original.
Image::Image(const Image& o) : d_(o.d_->clone()) {}
Image& Image::operator=(const Image& o) {
    if (this != &o) d_->copyFrom(*o.d_);
    return *this;
}

void Image::resize(int w, int h) { d_->resize(w < 0 ? 0 : w, h < 0 ? 0 : h); }

Image Image::withColorKey(uint32_t bgr) const { return Image(d_->withColorKey(bgr)); }

Path::Path() : d_(Driver().newPath()) {}

}  // namespace gdi
