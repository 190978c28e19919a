// Bitmap file images of arbitrary bytes: a clear error or a picture of the stated size,
// never a read past the data or an allocation the data cannot back.
#include <cstdint>
#include <cstdlib>

#include "controls/extended/xcDib.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool withHeader : {true, false}) {
        try {
            const TDibImage img = ReadDIB(data, size, withHeader);
            if (img.Pixels.size() != size_t(img.Width) * size_t(img.Height)) std::abort();
            // Pixels cost at most 32 per byte of data (1 bit per pixel as 32-bit pixels).
            if (img.Pixels.size() > 8 * size + 64) std::abort();
        } catch (const EXCLException&) {}
    }
    return 0;
}
