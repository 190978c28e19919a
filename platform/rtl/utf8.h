// UTF-8 in byte strings, two ways.
//
// Checking: whether bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing
// past U+10FFFF), for text handed to programs that reject or drop anything else (Ghostscript
// names and passwords, JSON for the office bridge).
//
// Stepping: where characters begin and end in text shown or cut to a length, which may hold
// bytes of another encoding. A lead byte takes the continuation bytes that follow it, up to
// the length it announces; any other byte is a character of its own. Cutting text at these
// boundaries never leaves half a character behind.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr bool IsUtf8Continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// ---------------------------------------------------------------- checking

// Length (1 to 4) of the well-formed character at s[i]; 0 when none starts there.
size_t Utf8SequenceLength(std::string_view s, size_t i);
// The character at s[i] and its length; 0 (c untouched) when none starts there.
size_t Utf8Decode(std::string_view s, size_t i, char32_t& c);
bool IsUtf8(std::string_view s);

// ---------------------------------------------------------------- writing

// Appends the character's bytes; U+FFFD for a surrogate or a value past U+10FFFF, which
// UTF-8 cannot carry.
void Utf8Append(std::string& out, char32_t c);
// The same character as UTF-16 (a surrogate pair past U+FFFF), for keys and wide strings
// made from decoded text; U+FFFD past U+10FFFF.
void Utf16Append(std::u16string& out, char32_t c);

// ---------------------------------------------------------------- stepping

// The length (1 to 4) a lead byte announces; 1 for a byte that leads nothing.
size_t Utf8AnnouncedLength(unsigned char b);

// The position after the character at i (i < s.size()).
size_t Utf8CharEnd(std::string_view s, size_t i);
// The same over a range of bytes (p < end).
inline const char* Utf8CharEnd(const char* p, const char* end) {
    return p + Utf8CharEnd(std::string_view(p, size_t(end - p)), 0);
}
// The start of the character that holds the byte at i (i < s.size()).
size_t Utf8CharStart(std::string_view s, size_t i);
// The start of the last character before end (0 when end is 0).
inline size_t Utf8PrevChar(std::string_view s, size_t end) {
    return end == 0 ? 0 : Utf8CharStart(s, end - 1);
}
// The longest prefix of at most limit bytes that cuts no character in half.
inline size_t Utf8CutPoint(std::string_view s, size_t limit) {
    return limit >= s.size() ? s.size() : Utf8CharStart(s, limit);
}
