// Little-endian fields in byte strings (icon files, bitmaps, PNG chunks use the other order).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A field that lies (partly) beyond the data reads as all ones, a value no table of a
// well-formed file holds where a count, an offset or a sector is expected.
inline uint16_t Get16(std::string_view s, size_t p) {
    if (p > s.size() || s.size() - p < 2) return 0xFFFF;
    return uint16_t(uint8_t(s[p]) | uint8_t(s[p + 1]) << 8);
}
inline uint32_t Get32(std::string_view s, size_t p) {
    if (p > s.size() || s.size() - p < 4) return 0xFFFFFFFF;
    return uint32_t(Get16(s, p)) | uint32_t(Get16(s, p + 2)) << 16;
}
inline void Put16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}
inline void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += char((v >> (8 * i)) & 0xFF);
}
inline uint32_t GetBE32(const std::string& s, size_t p) {
    return uint32_t(uint8_t(s[p])) << 24 | uint32_t(uint8_t(s[p + 1])) << 16 |
           uint32_t(uint8_t(s[p + 2])) << 8 | uint32_t(uint8_t(s[p + 3]));
}
inline void PutBE32(std::string& s, uint32_t v) {
    for (int i = 3; i >= 0; --i) s += char((v >> (8 * i)) & 0xFF);
}
