// GIF LZW decoding of arbitrary data into exact-size pixel arrays; whatever decodes must
// survive an encode/decode round trip unchanged.
// Input: width, height, flags (bit count, interlace, tolerance), colour depth, then the
// compressed data.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "controls/extended/gifLzw.h"

namespace {

TMemoryStream StreamOf(const uint8_t* data, size_t size) {
    TMemoryStream s;
    if (size) s.WriteBuffer(data, int64_t(size));
    s.SetPosition(0);
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    TGifPixelFormat f;
    f.Width = data[0] % 97;
    f.Height = data[1] % 67;
    static const int counts[] = {1, 4, 8, 8};
    f.BitCount = counts[data[2] & 3];
    const bool interlaced = data[2] & 4;
    const bool tolerate = data[2] & 8;
    const int bpp = 1 + data[3] % 8;
    const size_t bytes = GifStride(f.Width, f.BitCount) * size_t(f.Height);
    std::vector<uint8_t> pixels(bytes);
    TMemoryStream src = StreamOf(data + 4, size - 4);
    bool corrupted;
    try {
        corrupted =
            DecodeGifLzw(src, f, interlaced, nullptr, pixels.data(), pixels.size(), bpp, tolerate);
    } catch (const EInvalidGraphicOperation&) {
        if (tolerate) std::abort();  // damage is tolerated, never raised
        return 0;
    }
    if (corrupted && !tolerate) std::abort();
    // Round trip of what was decoded.
    TMemoryStream packed;
    EncodeGifLzw(packed, f, interlaced, nullptr, pixels.data(), pixels.size());
    packed.SetPosition(0);
    std::vector<uint8_t> back(bytes);
    if (DecodeGifLzw(packed, f, interlaced, nullptr, back.data(), back.size(), 8, false))
        std::abort();
    // Padding bits at the end of rows are not image data.
    const size_t stride = GifStride(f.Width, f.BitCount);
    const size_t used = (size_t(f.Width) * size_t(f.BitCount) + 7) / 8;
    for (int y = 0; y < f.Height; ++y)
        for (size_t i = 0; i < used; ++i) {
            uint8_t mask = 0xFF;
            if (i + 1 == used && (f.Width * f.BitCount) % 8)
                mask = uint8_t(0xFF << (8 - (f.Width * f.BitCount) % 8));
            const size_t at = size_t(y) * stride + i;
            if ((pixels[at] & mask) != (back[at] & mask)) std::abort();
        }
    return 0;
}
