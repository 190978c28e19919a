// Hexadecimal digits of bytes and numbers, in both letter cases.
#include "platform/rtl/hex.h"

#include <gtest/gtest.h>

TEST(Hex, BytesInRows) {
    struct Row {
        std::string bytes;
        HexCase letters;
        const char* want;
    };
    const Row rows[] = {
        {"", HexCase::upper, ""},
        {std::string("\0", 1), HexCase::upper, "00"},
        {"\x0F\xF0", HexCase::upper, "0FF0"},
        {"\xAB\xcd\xEF", HexCase::lower, "abcdef"},
        {"\xB2\xE2 a", HexCase::upper, "B2E22061"},  // GBK bytes stay bytes
        {"\xFF", HexCase::lower, "ff"},
    };
    for (const Row& r : rows) EXPECT_EQ(HexBytes(r.bytes, r.letters), r.want) << r.want;
    std::string out = "%";
    AppendHexByte(out, 0x7F);
    AppendHexByte(out, 0x80, HexCase::lower);
    EXPECT_EQ(out, "%7F80");
}

TEST(Hex, NumbersWithLeadingZeros) {
    struct Row {
        uint32_t value;
        int minDigits;
        const char* want;
    };
    const Row rows[] = {
        {0, 1, "0"},
        {0, 4, "0000"},
        {0x1F, 4, "001F"},
        {0x12345, 4, "12345"},
        {0xFFFFFFFF, 1, "FFFFFFFF"},
        {0x80000000, 10, "0080000000"},
    };
    for (const Row& r : rows) EXPECT_EQ(HexNumber(r.value, r.minDigits), r.want) << r.want;
}
