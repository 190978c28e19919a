// Glyphs of printed fonts named after their characters: character maps read, names made,
// and only the driver's invented names of TrueType fonts replaced.
#include <gtest/gtest.h>

#include "platform/automation/psGlyphNames.h"

using office::GlyphNameFor;
using office::NameGlyphsByCharacters;
using office::ReadToUnicode;

TEST(PsGlyphNames, CharacterMapsInEveryForm) {
    const std::string cmap =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "% a comment <99> <0041>\n"
        "1 begincodespacerange <00> <FF> endcodespacerange\n"
        "2 beginbfchar\n<01> <4F60>\n<02><0066 0069>\nendbfchar\n"
        "2 beginbfrange\n<10><12><0041>\n<20> <21> [<597D> <D83DDE00>]\nendbfrange\n"
        "1 beginbfchar <0100> <0042> endbfchar\n"  // a two-byte code: no simple font's
        "endcmap CMapName currentdict /CMap defineresource pop end end\n";
    const auto m = ReadToUnicode(cmap);
    struct Row {
        int code;
        std::u16string text;
    } rows[] = {{1, u"你"},   {2, u"fi"},    {0x10, u"A"},         {0x11, u"B"},
                {0x12, u"C"}, {0x20, u"好"}, {0x21, u"\U0001F600"}};
    for (const Row& r : rows) {
        ASSERT_TRUE(m.count(r.code)) << r.code;
        EXPECT_EQ(m.at(r.code), r.text) << r.code;
    }
    EXPECT_EQ(m.size(), std::size(rows));
    EXPECT_FALSE(m.count(0x99));
}

TEST(PsGlyphNames, NamesAfterCharacters) {
    struct Row {
        std::u16string text;
        std::string name;
    } rows[] = {{u"你", "uni4F60"},
                {u"a", "uni0061"},
                {u"fi", "uni00660069"},
                {u"\U0001F600", "u1F600"},
                {u"a\U0001F600", "uni0061_u1F600"},
                {u"", ""},
                {std::u16string(1, char16_t(0xD83D)), ""},  // half a pair
                {std::u16string(1, char16_t(0xDE00)), ""}};
    for (const Row& r : rows) EXPECT_EQ(GlyphNameFor(r.text), r.name) << r.name;
}

namespace {

std::string Cmap(const std::string& pairs) {
    return "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n1 beginbfrange\n" +
           pairs + "\nendbfrange\nendcmap\nend end\n";
}

// A printed file as the driver writes it: a font, its encoding and its character map.
std::string Printed(const std::string& subtype, const std::string& differences,
                    const std::string& cmapObject) {
    return "%!PS-Adobe-3.0\n%%BeginResource: procset (PDF Font obj_6)\n6 0 obj\n"
           "<</BaseFont/ABCDEF+WenQuanYiZenHei/FontDescriptor 7 0 R/ToUnicode 13 0 R/Type/Font\n"
           "/FirstChar 1/LastChar 3/Encoding 14 0 R/Subtype/" +
           subtype +
           ">>\nendobj\n%%EndResource\n14 0 "
           "obj\n<</Type/Encoding/BaseEncoding/MacRomanEncoding/Differences[\n" +
           differences + "]>>\nendobj\n" + cmapObject + "%%EOF\n";
}

std::string PlainCmap(const std::string& pairs) {
    const std::string c = Cmap(pairs);
    return "13 0 obj\n<</Length " + std::to_string(c.size()) + ">>stream\n" + c +
           "\nendstream\nendobj\n";
}

}  // namespace

TEST(PsGlyphNames, InventedNamesOfTrueTypeFontsAreReplaced) {
    const std::string names = "1/~gs~gName~0001/~gs~gName~0002/~gs~gName~0003 40/A";
    const std::string ps =
        Printed("TrueType", names, PlainCmap("<01><02><4f60>\n<03><03><0066>\n<28><28><0041>"));
    const std::string named = NameGlyphsByCharacters(ps);
    EXPECT_NE(named.find("Differences[1 /uni4F60 /uni4F61 /uni0066 40 /A]"), std::string::npos)
        << named;
    // Everything else is as it was.
    EXPECT_EQ(named.substr(0, named.find("Differences[")), ps.substr(0, ps.find("Differences[")));
    EXPECT_EQ(named.substr(named.find("]>>")), ps.substr(ps.find("]>>")));
}

TEST(PsGlyphNames, NamesStayUniqueInTheirEncoding) {
    // Two glyphs of one character (and a name already taken) get distinct names.
    const std::string ps = Printed("TrueType", "1/~gs~gName~0001/~gs~gName~0002/uni4F60",
                                   PlainCmap("<01><01><4f60>\n<02><02><4f60>\n<03><03><4f60>"));
    EXPECT_NE(NameGlyphsByCharacters(ps).find("Differences[1 /uni4F60.1 /uni4F60.2 /uni4F60]"),
              std::string::npos)
        << NameGlyphsByCharacters(ps);
}

TEST(PsGlyphNames, WhatCannotBeReadStaysAsItIs) {
    const std::string names = "1/~gs~gName~0001";
    const std::string map = "<01><01><4f60>";
    const std::string filtered =
        "13 0 obj\n<</Filter/LZWDecode/Length 5>>stream\nxxxxx\nendstream\nendobj\n";
    const std::string rows[] = {
        Printed("Type1", names, PlainCmap(map)),  // glyphs found by the font's own names
        Printed("TrueType", names, filtered),     // a packed character map
        Printed("TrueType", names, ""),           // no character map
        Printed("TrueType", names, PlainCmap("<05><05><4f60>")),      // no code in it
        Printed("TrueType", "1/~gs~gName~0001 (x)", PlainCmap(map)),  // not an array of names
        "",
    };
    for (const std::string& ps : rows) EXPECT_EQ(NameGlyphsByCharacters(ps), ps);
}

TEST(PsGlyphNames, OneCodeRangesSpelledOutInPlace) {
    using office::SpellOutOneCodeRanges;
    struct Row {
        std::string in, out;
    } rows[] = {
        {"2 beginbfrange\n<01><01><4f60>\n<02> <02> <597D>\nendbfrange\n",
         "2 beginbfchar \n<01>    <4f60>\n<02>      <597D>\nendbfchar \n"},
        // A block with a range of several codes, or anything else, stays.
        {"2 beginbfrange\n<01><01><4f60>\n<02><05><0041>\nendbfrange\n", ""},
        {"1 beginbfrange\n<01><01>[<4f60>]\nendbfrange\n", ""},
        {"1 beginbfrange\n<01><01><4f60>\n", ""},
        {"1 beginbfrange\n<0x><0x><4f60>\nendbfrange\n", ""},
    };
    for (const Row& r : rows) {
        const std::string want = r.out.empty() ? r.in : r.out;
        EXPECT_EQ(SpellOutOneCodeRanges(r.in), want);
        EXPECT_EQ(SpellOutOneCodeRanges(r.in).size(), r.in.size());
    }
    // Two blocks of a file: each on its own.
    const std::string two =
        "a 1 beginbfrange <01><01><41> endbfrange b 1 beginbfrange <01><02><41> endbfrange";
    EXPECT_EQ(SpellOutOneCodeRanges(two),
              "a 1 beginbfchar  <01>    <41> endbfchar  b 1 beginbfrange <01><02><41> endbfrange");
}
