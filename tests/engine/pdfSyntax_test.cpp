// The lexical rules both text readers of a PDF share: a value is stepped over whole however
// it nests, strings balance their parentheses and escapes, comments are blanks, a name ends
// at a delimiter, and text that ends early or holds a stray closing byte is no whole value.
#include "engine/pdfSyntax.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace pdfsyntax;

TEST(PdfSyntax, AValueIsSteppedOverWholeOrSaidNotToBe) {
    const struct {
        const char* text;
        bool whole;
        size_t end;  // where the reading stops
    } rows[] = {
        {"<< /A [1 2 (x) <41>] /B << /C /D >> >> rest", true, 38},
        {"(a (nested) \\) string) rest", true, 22},
        {"/Name#20x/Next", true, 9},
        {"12 0 R", true, 2},
        {"  % a comment\n  true", true, 20},
        {"[ {1} ]", true, 7},
        {"<< /A (never closed", false, 19},
        {"<4142 and no end", false, 16},
        {"[ 1 2", false, 5},
        {"[ 1 ) 2 ]", false, 9},
        {">", false, 1},
        {"", false, 0},
    };
    for (const auto& r : rows) {
        const std::string text = r.text;
        size_t i = 0;
        EXPECT_EQ(SkipValue(text, i), r.whole) << text;
        EXPECT_EQ(i, r.end) << text;
    }
}

TEST(PdfSyntax, DeepNestingIsCountedNotRecursed) {
    const std::string deep = std::string(200000, '[') + std::string(200000, ']');
    size_t i = 0;
    EXPECT_TRUE(SkipValue(deep, i));
    EXPECT_EQ(i, deep.size());
}

TEST(PdfSyntax, NumbersAndTokensEndAtDelimitersAndBlanks) {
    const std::string text = " % c\n 123/Next 0000000000000001 1234567890123456 12a";
    size_t i = 0;
    EXPECT_EQ(Number(text, i), 123);
    EXPECT_EQ(Name(text, i), "Next");
    EXPECT_EQ(Number(text, i), -1);  // sixteen digits are no small number
    EXPECT_EQ(Number(text, i), -1);
    EXPECT_EQ(Number(text, i), -1);  // "12a" is a keyword
    EXPECT_EQ(i, text.size());
    i = 0;
    const std::string name = "/Pages>>";
    EXPECT_EQ(Name(name, i), "Pages");
    EXPECT_EQ(name.substr(i), ">>");
    EXPECT_EQ(SmallNumber("000000000000042"), 42);
    EXPECT_EQ(SmallNumber("-4"), -1);
}

}  // namespace
