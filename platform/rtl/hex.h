// Bytes and numbers written as hexadecimal digits, most significant first: escapes in names
// and URLs, PostScript hexadecimal strings, ids, messages that show control bytes. Standard
// library only, so the stand-alone helper programs compile it in as well.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum class HexCase { upper, lower };

// Appends the two digits of `byte`.
inline void AppendHexByte(std::string& out, unsigned char byte, HexCase letters = HexCase::upper) {
    const char* digits = letters == HexCase::upper ? "0123456789ABCDEF" : "0123456789abcdef";
    out += digits[byte >> 4];
    out += digits[byte & 15];
}

// Two digits for every byte of `bytes`.
inline std::string HexBytes(std::string_view bytes, HexCase letters = HexCase::upper) {
    std::string out;
    out.reserve(2 * bytes.size());
    for (char c : bytes) AppendHexByte(out, static_cast<unsigned char>(c), letters);
    return out;
}

// `value` in upper-case digits, at least `minDigits` of them (leading zeros).
inline std::string HexNumber(uint32_t value, int minDigits = 1) {
    std::string out;
    do {
        out.insert(out.begin(), "0123456789ABCDEF"[value & 15]);
        value >>= 4;
    } while (value);
    if (int(out.size()) < minDigits) out.insert(0, size_t(minDigits) - out.size(), '0');
    return out;
}

// The value of one hexadecimal digit (either case); -1 for any other character.
inline int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
