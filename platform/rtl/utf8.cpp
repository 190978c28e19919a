#include "platform/rtl/utf8.h"

size_t Utf8AnnouncedLength(unsigned char b) {
    if (b >= 0xC0 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF7) return 4;
    return 1;
}

size_t Utf8SequenceLength(std::string_view s, size_t i) {
    char32_t c = 0;
    return Utf8Decode(s, i, c);
}

size_t Utf8Decode(std::string_view s, size_t i, char32_t& c) {
    if (i >= s.size()) return 0;
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    // The second byte's range rules out overlong forms, surrogates and code points past
    // U+10FFFF (RFC 3629).
    size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (s.size() - i < n) return 0;
    const auto second = static_cast<unsigned char>(s[i + 1]);
    if (second < low || second > high) return 0;
    char32_t v = lead & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if (!IsUtf8Continuation(b)) return 0;
        v = (v << 6) | (b & 0x3F);
    }
    c = v;
    return n;
}

bool IsUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const size_t n = Utf8SequenceLength(s, i);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

void Utf8Append(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

void Utf16Append(std::u16string& out, char32_t c) {
    if (c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x10000) {
        out += char16_t(c);
        return;
    }
    c -= 0x10000;
    out += char16_t(0xD800 + (c >> 10));
    out += char16_t(0xDC00 + (c & 0x3FF));
}

size_t Utf8CharEnd(std::string_view s, size_t i) {
    const size_t announced = Utf8AnnouncedLength(static_cast<unsigned char>(s[i]));
    size_t end = i + 1;
    while (end < s.size() && end - i < announced &&
           IsUtf8Continuation(static_cast<unsigned char>(s[end])))
        ++end;
    return end;
}

size_t Utf8CharStart(std::string_view s, size_t i) {
    if (!IsUtf8Continuation(static_cast<unsigned char>(s[i]))) return i;
    // Back over at most three continuation bytes to a lead byte whose character reaches i.
    for (size_t k = i; k > 0 && i - k < 3;) {
        --k;
        const auto b = static_cast<unsigned char>(s[k]);
        if (IsUtf8Continuation(b)) continue;
        return Utf8CharEnd(s, k) > i ? k : i;
    }
    return i;  // a stray continuation byte
}
