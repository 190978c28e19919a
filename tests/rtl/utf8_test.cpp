#include "platform/rtl/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Well-formed characters of each length, and the usual ways bytes fail to be one.
TEST(Utf8, SequenceLengthAcceptsOnlyWellFormedCharacters) {
    struct Row {
        const char* what;
        std::string bytes;
        size_t length;
        char32_t code;
    };
    const Row rows[] = {
        {"ASCII", "A", 1, U'A'},
        {"NUL", std::string(1, '\0'), 1, 0},
        {"two bytes", "\xC3\xA9", 2, U'\u00E9'},
        {"three bytes (中)", "\xE4\xB8\xAD", 3, U'\u4E2D'},
        {"four bytes", "\xF0\x9F\x98\x80", 4, U'\U0001F600'},
        {"highest code point", "\xF4\x8F\xBF\xBF", 4, U'\U0010FFFF'},
        {"lowest three-byte", "\xE0\xA0\x80", 3, U'\u0800'},
        {"overlong two-byte (C0)", "\xC0\xAF", 0, 0},
        {"overlong two-byte (C1)", "\xC1\xBF", 0, 0},
        {"overlong three-byte", "\xE0\x80\xAF", 0, 0},
        {"overlong four-byte", "\xF0\x80\x80\xAF", 0, 0},
        {"surrogate", "\xED\xA0\x80", 0, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"lead F5", "\xF5\x80\x80\x80", 0, 0},
        {"stray continuation", "\x80", 0, 0},
        {"truncated at the end", "\xE4\xB8", 0, 0},
        {"continuation missing", "\xE4\x41\xAD", 0, 0},
        {"GBK 中", "\xD6\xD0", 0, 0},
    };
    for (const Row& r : rows) {
        char32_t c = 0xFFFF;
        EXPECT_EQ(Utf8Decode(r.bytes, 0, c), r.length) << r.what;
        if (r.length) {
            EXPECT_EQ(c, r.code) << r.what;
        }
        EXPECT_EQ(Utf8SequenceLength(r.bytes, 0), r.length) << r.what;
        EXPECT_EQ(IsUtf8(r.bytes), r.length == r.bytes.size()) << r.what;
    }
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("a中b\xF0\x9F\x98\x80"));
    EXPECT_FALSE(IsUtf8("a中b\xE4"));
    EXPECT_EQ(Utf8SequenceLength("ab", 2), 0u);  // past the end
}

// Stepping: the start and end of the character holding each byte, in well-formed text and
// in text with bytes of another encoding.
TEST(Utf8, CharactersStartAndEndAtTheirBoundaries) {
    struct Row {
        const char* what;
        std::string text;
        size_t byte;
        size_t start, end;
    };
    const std::string zhong = "\xE4\xB8\xAD";  // 中
    const std::string emoji = "\xF0\x9F\x98\x80";
    const Row rows[] = {
        {"ASCII", "ab", 1, 1, 2},
        {"lead of 中", "a" + zhong, 1, 1, 4},
        {"middle of 中", "a" + zhong, 2, 1, 4},
        {"last of 中", "a" + zhong + "b", 3, 1, 4},
        {"last of a four-byte", emoji, 3, 0, 4},
        {"stray continuation after ASCII", "a\x80\x80", 2, 2, 3},
        {"stray continuation at the start",
         "\x80"
         "a",
         0, 0, 1},
        {"truncated character", "a\xE4\xB8", 2, 1, 3},
        {"lead without its bytes",
         "\xE4"
         "a",
         0, 0, 1},
        {"too many continuations", "\xC3\xA9\xA9", 2, 2, 3},
        {"GBK pair (lead takes one)", "\xD6\xD0", 0, 0, 1},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(Utf8CharStart(r.text, r.byte), r.start) << r.what;
        EXPECT_EQ(Utf8CharEnd(r.text, Utf8CharStart(r.text, r.byte)), r.end) << r.what;
    }
}

// Cutting to a byte limit and dropping the last character, as text fitted to a buffer or
// a width is.
TEST(Utf8, CutsNeverSplitACharacter) {
    const std::string text = "ab\xE4\xB8\xAD\xE6\x96\x87";  // ab中文
    struct Row {
        size_t limit, cut;
    };
    const Row rows[] = {{0, 0}, {1, 1}, {2, 2}, {3, 2}, {4, 2},
                        {5, 5}, {6, 5}, {7, 5}, {8, 8}, {99, 8}};
    for (const Row& r : rows) EXPECT_EQ(Utf8CutPoint(text, r.limit), r.cut) << "limit " << r.limit;

    EXPECT_EQ(Utf8PrevChar(text, text.size()), 5u);
    EXPECT_EQ(Utf8PrevChar(text, 5), 2u);
    EXPECT_EQ(Utf8PrevChar(text, 2), 1u);
    EXPECT_EQ(Utf8PrevChar(text, 0), 0u);
    // A character cut short by an earlier truncation goes as a whole.
    EXPECT_EQ(Utf8PrevChar("a\xE4\xB8", 3), 1u);
}

}  // namespace

TEST(Utf8, AppendWritesEachLengthAndReplacesWhatUtf8CannotCarry) {
    struct Row {
        char32_t c;
        const char* want;
    };
    const Row rows[] = {
        {U'A', "A"},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {U'文', "\xE6\x96\x87"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0xD800, "\xEF\xBF\xBD"},  // a surrogate: U+FFFD
        {0xDFFF, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},  // past the last code point
        {0xFFFFFFFF, "\xEF\xBF\xBD"},
    };
    for (const Row& r : rows) {
        std::string out = "<";
        Utf8Append(out, r.c);
        EXPECT_EQ(out, std::string("<") + r.want) << std::hex << uint32_t(r.c);
        EXPECT_TRUE(IsUtf8(out));
    }
}

TEST(Utf8, Utf16AppendWritesPairsPastTheBasicPlane) {
    struct Row {
        char32_t c;
        std::u16string want;
    };
    const Row rows[] = {
        {U'A', u"A"},
        {0xFFFF, std::u16string(1, char16_t(0xFFFF))},
        {0x10000, u"\U00010000"},
        {0x1F600, u"\U0001F600"},
        {0x10FFFF, u"\U0010FFFF"},
        {0x110000, u"\uFFFD"},
    };
    for (const Row& r : rows) {
        std::u16string out;
        Utf16Append(out, r.c);
        EXPECT_EQ(out, r.want) << std::hex << uint32_t(r.c);
    }
}
