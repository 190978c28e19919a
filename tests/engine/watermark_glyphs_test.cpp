// Which watermark texts the stamp can draw: the rule itself, and the rule against what
// Ghostscript's Chinese font setup really draws.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "engine/converters/watermarkGlyphs.h"
#include "pdftools_support.h"

namespace vxtest {
namespace {

TEST(WatermarkGlyphs, TextsTheStampDrawsAndTheFirstCharacterItCannot) {
    const struct {
        std::string text;
        std::string undrawable;
    } rows[] = {
        {"", ""},
        {"- STRICTLY CONFIDENTIAL -", ""},
        {"机密 (draft) 文件", ""},
        {"\xe6\xb0\xb4\xe5\x8d\xb0", ""},   // 水印 in UTF-8
        {"《内部资料》，请勿外传！①", ""},  // punctuation, full-width forms, circled digits
        {"Café α Д", ""},                   // pinyin-style Latin, Greek, Cyrillic
        {"\xcb\xae\xd3\xa1", "U+02EE"},     // 水印 in GBK: valid UTF-8, U+02EE U+04E1
        {"\xb2\xe2\xca\xd4", "0xB2"},       // 测试 in GBK: not UTF-8
        {"ok\tno", "U+0009"},               // control characters draw nothing
        {"ok\x7f", "U+007F"},
        {"\xe3\x90\x80", "U+3400"},       // extension A: the face has none
        {"\xea\x80\x80", "U+A000"},       // Yi
        {"\xf0\x9f\x98\x80", "U+1F600"},  // an emoji
        {"\xc3\xa5", "U+00E5"},           // å: not in the character map
        {"\xe0\x80\xa0", "0xE0"},         // a blank written in three bytes
        {"\xed\xa0\x80", "U+D800"},       // a surrogate
        {"ab\xe6\xb0", "0xE6"},           // a cut character
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FirstUndrawableCharacter(row.text), row.undrawable) << row.text;
        EXPECT_EQ(WatermarkTextProblem(row.text).empty(), row.undrawable.empty()) << row.text;
    }
    EXPECT_NE(WatermarkTextProblem("\xcb\xae\xd3\xa1").find("U+02EE"), std::string::npos);
    EXPECT_NE(WatermarkTextProblem("\xb2\xe2\xca\xd4").find("不是 UTF-8"), std::string::npos);
}

// Dark pixels in each cell of a grey-map image of `columns` cells of `cell` pixels a row.
std::vector<int> InkPerCell(const std::string& pgm, int columns, int cell, size_t cells) {
    // The header: "P5", width, height and the largest value, with comment lines between.
    size_t pos = 0;
    std::vector<long> fields;
    while (fields.size() < 4 && pos < pgm.size()) {
        if (pgm[pos] == '#') {
            pos = pgm.find('\n', pos);
        } else if (std::isspace(static_cast<unsigned char>(pgm[pos]))) {
            ++pos;
        } else {
            const size_t end = pgm.find_first_of(" \t\r\n", pos);
            fields.push_back(
                pgm.compare(pos, 2, "P5") == 0 ? 0 : std::stol(pgm.substr(pos, end - pos)));
            pos = end;
        }
    }
    if (fields.size() < 4 || pos == std::string::npos) return {};
    const int width = int(fields[1]), height = int(fields[2]);
    const size_t start = pos + 1;
    if (pgm.size() < start + size_t(width) * size_t(height)) return {};
    std::vector<int> ink(cells, 0);
    for (size_t k = 0; k < cells; ++k) {
        const int x0 = int(k % size_t(columns)) * cell, y0 = int(k / size_t(columns)) * cell;
        for (int y = y0; y < y0 + cell && y < height; ++y)
            for (int x = x0; x < x0 + cell; ++x)
                if (static_cast<unsigned char>(pgm[start + size_t(y) * size_t(width) + size_t(x)]) <
                    160)
                    ++ink[k];
    }
    return ink;
}

std::string Utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | (c >> 6));
        s += char(0x80 | (c & 0x3F));
    } else {
        s += char(0xE0 | (c >> 12));
        s += char(0x80 | ((c >> 6) & 0x3F));
        s += char(0x80 | (c & 0x3F));
    }
    return s;
}

// The dark pixels of each character drawn alone by the stamp's Chinese font setup.
std::vector<int> InkOfEachCharacter(const std::vector<char32_t>& all) {
    const int columns = 40, cell = 24;
    const int rows = int((all.size() + columns - 1) / columns);
    std::string ps = "%!PS\n/STSong-Light--UniGB-UTF8-H findfont 18 scalefont setfont\n";
    for (size_t k = 0; k < all.size(); ++k) {
        const int x = int(k % columns) * cell + 3, y = (rows - 1 - int(k / columns)) * cell + 5;
        std::string body;
        for (unsigned char b : Utf8(all[k])) {
            char oct[8];
            std::snprintf(oct, sizeof oct, "\\%03o", b);
            body += oct;
        }
        ps += std::to_string(x) + " " + std::to_string(y) + " moveto (" + body + ") show\n";
    }
    ps += "showpage\n";
    const std::string dir = MakeTempFolder("vx-glyphs ");
    WriteFile(dir + "grid.ps", ps);
    const e2e::RunResult r =
        e2e::Exec({"gs", "-q", "-dSAFER", "-dNOPAUSE", "-dBATCH", "-sDEVICE=pgmraw", "-r72",
                   "-g" + std::to_string(columns * cell) + "x" + std::to_string(rows * cell),
                   "-sOutputFile=" + dir + "grid.pgm", dir + "grid.ps"},
                  dir + "gs.txt");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    std::vector<int> ink = InkPerCell(ReadFile(dir + "grid.pgm"), columns, cell, all.size());
    RemoveTree(dir);
    return ink;
}

// Every end of every range the rule accepts is drawn with ink by the stamp's Chinese font,
// and the characters just outside them, where the font has no glyph, are drawn as nothing.
TEST(WatermarkGlyphs, TheRuleMatchesWhatGhostscriptsChineseFontDraws) {
    std::vector<char32_t> drawn, blank;
    const std::vector<char32_t> blanks{0x20, 0xA0, 0x2002, 0x3000};
    for (char32_t c = 0x20; c < 0x10000; ++c) {
        const bool in = WatermarkFontsDraw(c);
        const bool edge = in != WatermarkFontsDraw(c - 1) || in != WatermarkFontsDraw(c + 1);
        if (!edge || std::find(blanks.begin(), blanks.end(), c) != blanks.end()) continue;
        if (in) drawn.push_back(c);
    }
    // Characters of the map the font lacks, each next to an accepted range.
    for (char32_t c : {char32_t(0x02EE), char32_t(0x04E1), char32_t(0x3400), char32_t(0xA000),
                       char32_t(0x00A9), char32_t(0x2122), char32_t(0x4DB5), char32_t(0xFA0E)}) {
        EXPECT_FALSE(WatermarkFontsDraw(c)) << std::hex << unsigned(c);
        blank.push_back(c);
    }
    ASSERT_GT(drawn.size(), 100u);
    std::vector<char32_t> all = drawn;
    all.insert(all.end(), blank.begin(), blank.end());
    const std::vector<int> ink = InkOfEachCharacter(all);
    ASSERT_EQ(ink.size(), all.size());
    for (size_t k = 0; k < all.size(); ++k) {
        if (k < drawn.size())
            EXPECT_GT(ink[k], 0) << "U+" << std::hex << unsigned(all[k]) << " is drawn as nothing";
        else
            EXPECT_EQ(ink[k], 0) << "U+" << std::hex << unsigned(all[k]) << " is drawn";
    }
}

// The face Ghostscript is sent to lacks rare ideographs of the extended national set that
// the character map has; with the face's own map read those are refused, and each of them
// is indeed drawn as nothing.
TEST(WatermarkGlyphs, TheInstalledFaceLeavesOutTheRareIdeographsItLacks) {
    const TWatermarkFonts& face = InstalledWatermarkFonts();
    ASSERT_TRUE(face.FaceRead()) << face.Source();
    EXPECT_NE(face.Source().find("uming.ttc"), std::string::npos) << face.Source();
    const TWatermarkFonts tableOnly({});
    EXPECT_FALSE(tableOnly.FaceRead());
    const struct {
        std::string text;
        std::string withFace, tableAlone;
    } rows[] = {
        {"\xe5\x88\x8f", "U+520F", ""},  // a rare GBK ideograph
        {"水印 机密 《内部资料》，请勿外传！①", "", ""},
        {"Café α Д ¥ — ←", "", ""},
        {"\xe3\x90\x80", "U+3400", "U+3400"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FirstUndrawableCharacter(row.text, face), row.withFace) << row.text;
        EXPECT_EQ(FirstUndrawableCharacter(row.text, tableOnly), row.tableAlone) << row.text;
    }
    EXPECT_NE(WatermarkTextProblem("\xe5\x88\x8f").find("U+520F"), std::string::npos);

    std::vector<char32_t> lost;
    for (char32_t c = 0x20; c < 0x10000; ++c)
        if (tableOnly.Draws(c) && !face.Draws(c)) lost.push_back(c);
    EXPECT_GT(lost.size(), 1000u);
    EXPECT_LT(lost.size(), 4000u);
    const std::vector<int> ink = InkOfEachCharacter(lost);
    ASSERT_EQ(ink.size(), lost.size());
    for (size_t k = 0; k < lost.size(); ++k)
        EXPECT_EQ(ink[k], 0) << "U+" << std::hex << unsigned(lost[k]) << " is drawn but refused";
}

TEST(WatermarkGlyphs, TheFontFileACidfmapSendsAFontTo) {
    const std::string debian =
        "% generated\n"
        "/BousungEG-Light-GB << /FileType /TrueType /Path "
        "(/usr/share/fonts/truetype/arphic/uming.ttc) "
        "/SubfontID 0 /CSI [(GB1) 4] >> ;\n"
        "/STSong-Light /BousungEG-Light-GB ;\n";
    const struct {
        const char* name;
        std::string map;
        std::string font;
        std::string file;  // "path|face", empty when none
    } rows[] = {
        {"through an alias", debian, "STSong-Light",
         "/usr/share/fonts/truetype/arphic/uming.ttc|0"},
        {"named directly", debian, "BousungEG-Light-GB",
         "/usr/share/fonts/truetype/arphic/uming.ttc|0"},
        {"not named", debian, "STHeiti-Regular", ""},
        {"a later face and a path with escapes",
         "/STSong-Light << /Path (/f/a\\)b (c).ttc) /FileType /TrueType /SubfontID 2 >> ;",
         "STSong-Light", "/f/a)b (c).ttc|2"},
        {"a font that is not TrueType", "/STSong-Light << /FileType /Type1 /Path (/f/x.pfb) >> ;",
         "STSong-Light", ""},
        {"no path", "/STSong-Light << /FileType /TrueType /SubfontID 0 >> ;", "STSong-Light", ""},
        {"a face number that is no number",
         "/STSong-Light << /FileType /TrueType /Path (/f/x.ttc) /SubfontID x >> ;", "STSong-Light",
         ""},
        {"aliases in a loop", "/STSong-Light /A ;\n/A /STSong-Light ;", "STSong-Light", ""},
        {"an unended string", "/STSong-Light << /FileType /TrueType /Path (/f/x.ttc",
         "STSong-Light", ""},
        {"a commented entry", "% /STSong-Light << /FileType /TrueType /Path (/f/x.ttc) >> ;",
         "STSong-Light", ""},
        {"empty", "", "STSong-Light", ""},
    };
    for (const auto& row : rows) {
        const auto file = CidFontFile(row.map, row.font);
        EXPECT_EQ(file ? file->path + "|" + std::to_string(file->face) : "", row.file) << row.name;
    }
}

// A font file that is missing or damaged leaves the measured table to decide, and the
// log's line says so; a map that does not name the font is passed over for the next.
TEST(WatermarkGlyphs, AFontThatCannotBeReadLeavesTheTableToDecide) {
    const auto real = CidFontFile(ReadFile("/var/lib/ghostscript/fonts/cidfmap"), "STSong-Light");
    ASSERT_TRUE(real);
    const std::string dir = MakeTempFolder("vx-glyphs ");
    WriteFile(dir + "cut.ttc", ReadFile(real->path).substr(0, 65536));
    WriteFile(dir + "junk.ttc", std::string(4096, 'x'));
    const auto entry = [](const std::string& path) {
        return "/STSong-Light << /FileType /TrueType /Path (" + path + ") /SubfontID 0 >> ;\n";
    };
    WriteFile(dir + "cut.map", entry(dir + "cut.ttc"));
    WriteFile(dir + "junk.map", entry(dir + "junk.ttc"));
    WriteFile(dir + "missing.map", entry(dir + "none.ttc"));
    WriteFile(dir + "other.map", "/STHeiti-Regular << /FileType /TrueType /Path (/f/x.ttc) >> ;\n");
    WriteFile(dir + "real.map", entry(real->path));
    const struct {
        std::vector<std::string> maps;
        bool faceRead;
        std::string said;
    } rows[] = {
        {{dir + "cut.map"}, false, "cut.ttc face 0 cannot be read"},
        {{dir + "junk.map"}, false, "junk.ttc face 0 cannot be read"},
        {{dir + "missing.map"}, false, "none.ttc face 0 cannot be read"},
        {{dir + "other.map", dir + "absent.map"}, false, "no cidfmap names STSong-Light"},
        {{dir + "absent.map", dir + "other.map", dir + "real.map"}, true, real->path},
        {{dir + "cut.map", dir + "real.map"}, false, "cut.ttc"},  // Ghostscript takes the first
    };
    for (const auto& row : rows) {
        const TWatermarkFonts fonts(row.maps);
        EXPECT_EQ(fonts.FaceRead(), row.faceRead) << fonts.Source();
        EXPECT_NE(fonts.Source().find(row.said), std::string::npos) << fonts.Source();
        EXPECT_EQ(fonts.Source().find("table") != std::string::npos, !row.faceRead)
            << fonts.Source();
        EXPECT_EQ(FirstUndrawableCharacter("水印\xe5\x88\x8f", fonts),
                  row.faceRead ? "U+520F" : "");
        EXPECT_EQ(FirstUndrawableCharacter("\xe3\x90\x80", fonts), "U+3400");
    }
    RemoveTree(dir);
}

// Every character accepted with the installed face read is drawn with ink, none blank.
TEST(WatermarkGlyphs, EveryAcceptedCharacterIsDrawnWithInk) {
    ASSERT_TRUE(InstalledWatermarkFonts().FaceRead()) << InstalledWatermarkFonts().Source();
    std::vector<char32_t> accepted;
    for (char32_t c = 0x21; c < 0x10000; ++c)
        if (WatermarkFontsDraw(c) && c != 0xA0 && c != 0x2002 && c != 0x3000) accepted.push_back(c);
    ASSERT_GT(accepted.size(), 20000u);
    const std::vector<int> ink = InkOfEachCharacter(accepted);
    ASSERT_EQ(ink.size(), accepted.size());
    for (size_t k = 0; k < accepted.size(); ++k)
        EXPECT_GT(ink[k], 0) << "U+" << std::hex << unsigned(accepted[k]) << " is drawn as nothing";
}

}  // namespace
}  // namespace vxtest
