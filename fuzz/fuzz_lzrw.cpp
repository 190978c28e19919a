// Block codec: any block decompresses within its bounds or raises ELZRWError; any input
// of up to 65535 bytes survives a compress/decompress round trip.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/styled/lzrw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Decompression of untrusted blocks into rooms of several sizes (exact-size buffers, so
    // the address sanitizer sees any overrun).
    for (size_t room : {size_t(0), size_t(17), size_t(4111), size_t(65535)}) {
        std::vector<uint8_t> block(data, data + size);
        std::vector<uint8_t> out(room);
        try {
            const size_t n = LZRWDecompress(block, out);
            if (n > room) std::abort();
        } catch (const ELZRWError&) {}
    }
    // Round trip.
    const size_t n = size > 0xFFFF ? 0xFFFF : size;
    std::vector<uint8_t> src(data, data + n);
    std::vector<uint8_t> packed(n + LZRWSlack);
    const size_t m = LZRWCompress(src, packed);
    if (m == 0 || m > n + 1) std::abort();
    packed.resize(m);
    std::vector<uint8_t> back(n);
    if (LZRWDecompress(packed, back) != n || back != src) std::abort();
    return 0;
}
