#include "controls/styled/lzrw.h"

#include <algorithm>
#include <cstring>

#include "controls/styled/styConsts.h"

namespace {

constexpr uint32_t MaxRun = 4095;  // longest run the compressor writes
constexpr uint32_t MinRun = 16;    // shorter runs go as a literal and a copy
constexpr uint32_t MaxCopy = 18;
constexpr uint32_t MaxOffset = 4095;
constexpr uint16_t NoPosition = 0xFFFF;
constexpr size_t MaxOutput = 0xFFFF;  // a block never decodes to more than its source could hold

inline void PutWord(uint8_t* d, uint16_t w) {
    d[0] = uint8_t(w >> 8);
    d[1] = uint8_t(w);
}

[[noreturn]] void Corrupt() { throw ELZRWError(SLZRWCorrupt); }

}  // namespace

size_t LZRWCompress(const uint8_t* s, uint8_t* d, uint16_t len) {
    const uint32_t n = len;
    uint16_t table[4096];
    std::fill(std::begin(table), std::end(table), NoPosition);

    d[0] = LZRWCompressedFlag;
    uint32_t y = 3;  // output position
    uint32_t z = 1;  // where the current control word goes
    uint32_t k = 0;  // items under the current control word
    uint16_t w = 0;  // control word
    uint32_t x = 0;  // input position
    while (x < n && y <= n) {
        if (k == 16) {
            PutWord(d + z, w);
            z = y;
            y += 2;
            k = 0;
        }
        const uint8_t b = s[x];
        uint32_t run = 1;
        while (x + run < n && run < MaxRun && s[x + run] == b) ++run;
        if (run >= MinRun) {
            const uint32_t r = run - MinRun;
            d[y] = 0;
            d[y + 1] = uint8_t(r >> 8);
            d[y + 2] = uint8_t(r);
            d[y + 3] = b;
            y += 4;
            w = uint16_t(w * 2 + 1);
            x += run;
        } else {
            // Bytes past the end hash as 0; no match can start in the last two positions anyway.
            const uint32_t b1 = x + 1 < n ? s[x + 1] : 0;
            const uint32_t b2 = x + 2 < n ? s[x + 2] : 0;
            const uint32_t h = ((((((uint32_t(b) << 4) ^ b1) << 4) ^ b2) * 40543u) >> 4) & 0xFFF;
            const uint16_t p = table[h];
            table[h] = uint16_t(x);
            uint32_t m = 0;
            // A position of 32768 or more reads as negative and is never a match source.
            if (p != NoPosition && int32_t(x) - int32_t(int16_t(p)) <= int32_t(MaxOffset)) {
                while (m < MaxCopy && x + m < n && s[x + m] == s[p + m]) ++m;
            }
            if (m >= 3) {
                PutWord(d + y, uint16_t(((x - p) << 4) + (m - 3)));
                y += 2;
                w = uint16_t(w * 2 + 1);
                x += m;
            } else {
                d[y++] = b;
                w = uint16_t(w * 2);
                ++x;
            }
        }
        ++k;
    }
    PutWord(d + z, k == 0 ? uint16_t(0) : uint16_t(w << (16 - k)));
    if (y > n) {  // nothing gained: store the input as it is
        d[0] = LZRWStoredFlag;
        if (n) std::memcpy(d + 1, s, n);
        y = n + 1;
    }
    return y;
}

size_t LZRWCompress(std::span<const uint8_t> source, std::span<uint8_t> dest) {
    if (source.size() > 0xFFFF || dest.size() < source.size() + LZRWSlack)
        throw ELZRWError(SLZRWNoRoom);
    return LZRWCompress(source.data(), dest.data(), uint16_t(source.size()));
}

size_t LZRWDecompress(const uint8_t* b, uint8_t* d, size_t len, size_t destSize) {
    if (len == 0) Corrupt();
    const size_t cap = std::min(destSize, MaxOutput);
    if (b[0] == LZRWStoredFlag) {
        const size_t n = len - 1;
        if (n > cap) Corrupt();
        if (n) std::memcpy(d, b + 1, n);
        return n;
    }
    if (len <= 3) return 0;
    uint32_t w = uint32_t(b[1]) << 8 | b[2];
    int k = 16;
    size_t i = 3;
    size_t o = 0;
    for (;;) {
        if (k == 0) {
            if (i + 2 >= len) Corrupt();  // a control word needs an item after it
            w = uint32_t(b[i]) << 8 | b[i + 1];
            i += 2;
            k = 16;
        }
        if (w & 0x8000) {
            if (i + 1 >= len) Corrupt();
            const uint32_t b0 = b[i], b1 = b[i + 1];
            const size_t offset = b0 * 16 + (b1 >> 4);
            if (offset != 0) {
                const size_t count = (b1 & 15) + 3;
                if (offset > o || count > cap - o) Corrupt();
                uint8_t* to = d + o;
                const uint8_t* from = to - offset;
                if (offset >= count) {
                    std::memcpy(to, from, count);
                } else {
                    for (size_t j = 0; j < count; ++j)
                        to[j] = from[j];  // overlapping: byte by byte
                }
                o += count;
                i += 2;
            } else {
                if (i + 3 >= len) Corrupt();
                const size_t count = b1 * 256 + b[i + 2] + MinRun;
                if (count > cap - o) Corrupt();
                std::memset(d + o, b[i + 3], count);
                o += count;
                i += 4;
            }
        } else {
            if (o >= cap) Corrupt();
            d[o++] = b[i++];
        }
        w = (w << 1) & 0xFFFF;
        --k;
        if (i >= len) return o;
    }
}

size_t LZRWDecompress(std::span<const uint8_t> block, std::span<uint8_t> dest) {
    return LZRWDecompress(block.data(), dest.data(), block.size(), dest.size());
}
