// Text measurements are kept per font and text: a kept answer must be the one for that
// exact font (face, size, weight, slant, lines, spacing), also after many other texts.
#include <string>
#include <vector>

#include "tests/vcl/gdi_support.h"

namespace {

struct FontCase {
    const char* face;
    int height;
    int weight;
    BYTE italic, underline, strikeOut;
};

int Width(const FontCase& c, const std::string& text, int extra = 0) {
    MemDc m(10, 10);
    HFONT f = CreateFontA(-c.height, 0, 0, 0, c.weight, c.italic, c.underline, c.strikeOut,
                          GB2312_CHARSET, 0, 0, 0, 0, c.face);
    HGDIOBJ old = SelectObject(m.dc, f);
    SetTextCharacterExtra(m.dc, extra);
    SIZE sz{};
    GetTextExtentPoint32A(m.dc, text.c_str(), int(text.size()), &sz);
    SelectObject(m.dc, old);
    DeleteObject(f);
    return sz.cx;
}

TEXTMETRICA Metrics(const FontCase& c) {
    MemDc m(10, 10);
    HFONT f = CreateFontA(-c.height, 0, 0, 0, c.weight, c.italic, c.underline, c.strikeOut,
                          GB2312_CHARSET, 0, 0, 0, 0, c.face);
    HGDIOBJ old = SelectObject(m.dc, f);
    TEXTMETRICA tm{};
    GetTextMetricsA(m.dc, &tm);
    SelectObject(m.dc, old);
    DeleteObject(f);
    return tm;
}

}  // namespace

TEST(TextMeasureKept, EachFontKeepsItsOwnAnswer) {
    const std::string text = "Wide text 宽字 WWW";
    const FontCase plain{"Arial", 12, FW_NORMAL, 0, 0, 0};
    // Rows that differ from `plain` in one property each and measure differently.
    const FontCase wider[] = {
        {"Arial", 20, FW_NORMAL, 0, 0, 0},        // size
        {"Arial", 12, FW_BOLD, 0, 0, 0},          // weight
        {"Courier New", 12, FW_NORMAL, 0, 0, 0},  // face
    };
    const int first = Width(plain, text);
    ASSERT_GT(first, 0);
    for (const FontCase& c : wider) {
        SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.height) + " " +
                     std::to_string(c.weight));
        const int w = Width(c, text);
        EXPECT_NE(w, first);
        EXPECT_EQ(Width(c, text), w);  // asked again: the same answer
    }
    EXPECT_EQ(Width(plain, text), first);  // the first font's answer was not overwritten
    // Character spacing is part of the font: two pixels after each of the 16 characters.
    EXPECT_EQ(Width(plain, text, 2), first + 2 * 16);
    EXPECT_EQ(Width(plain, text), first);
}

TEST(TextMeasureKept, MetricsBelongToTheirSize) {
    const FontCase small{"宋体", 12, FW_NORMAL, 0, 0, 0};
    const FontCase big{"宋体", 24, FW_NORMAL, 0, 0, 0};
    const TEXTMETRICA a = Metrics(small), b = Metrics(big);
    EXPECT_GT(b.tmHeight, a.tmHeight);
    EXPECT_GT(b.tmAveCharWidth, a.tmAveCharWidth);
    EXPECT_EQ(Metrics(small).tmHeight, a.tmHeight);
    EXPECT_EQ(Metrics(big).tmHeight, b.tmHeight);
}

TEST(TextMeasureKept, ManyTextsLaterStillMeasureAsTheFirstTime) {
    const FontCase f{"Arial", 13, FW_NORMAL, 0, 0, 0};
    std::vector<int> first;
    for (int i = 0; i < 8; ++i) first.push_back(Width(f, std::string(size_t(i + 1), 'M')));
    // More distinct texts than are kept for one font.
    for (int i = 0; i < 5000; ++i) Width(f, "text number " + std::to_string(i));
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Width(f, std::string(size_t(i + 1), 'M')), first[size_t(i)]) << i;
    EXPECT_GT(first[7], first[0]);
    EXPECT_EQ(Width(f, ""), 0);
}
