// Helpers for the stream and container tests: memory streams from bytes, small wave files
// and bitmaps with a recognisable pattern.
#pragma once

#include <string>
#include <vector>

#include "platform/rtl/classes.h"
#include "platform/vcl/graphics.h"

inline std::vector<uint8_t> BytesOf(TMemoryStream& s) { return s.Bytes(); }

inline void PutBytes(TMemoryStream& s, const std::vector<uint8_t>& b) {
    s.Clear();
    if (!b.empty()) s.WriteBuffer(b.data(), int64_t(b.size()));
    s.SetPosition(0);
}

// A RIFF wave of `samples` 8-bit mono samples at 8000 Hz.
inline std::vector<uint8_t> MakeWaveBytes(int samples, uint8_t seed = 1) {
    std::vector<uint8_t> w;
    w.reserve(size_t(44 + samples));
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) w.push_back(uint8_t(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) { w.push_back(uint8_t(v)), w.push_back(uint8_t(v >> 8)); };
    auto tag = [&](const char* t) {
        for (int i = 0; i < 4; ++i) w.push_back(uint8_t(t[i]));
    };
    tag("RIFF");
    u32(uint32_t(36 + samples));
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(1);
    u32(8000);
    u32(8000);
    u16(1);
    u16(8);
    tag("data");
    u32(uint32_t(samples));
    for (int i = 0; i < samples; ++i) w.push_back(uint8_t((i * seed) & 0xFF));
    return w;
}

// A bitmap whose pixel (x, y) has a colour made from x, y and the seed.
inline void PaintPattern(TBitmap& b, int w, int h, int seed = 0) {
    b.SetSize(w, h);
    TCanvas* c = b.Canvas();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            c->SetPixel(x, y,
                        TColor(RGB(uint8_t(x * 7 + seed), uint8_t(y * 11), uint8_t((x ^ y) * 5))));
}

inline bool SamePixels(TBitmap& a, TBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (ColorToRGB(a.Canvas()->Pixel(x, y)) != ColorToRGB(b.Canvas()->Pixel(x, y)))
                return false;
    return true;
}
