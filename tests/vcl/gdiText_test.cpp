// Text layout of DrawTextA measured, text metrics, the mapped faces, 3D edges and frame controls.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/utf8.h"
#include "platform/user/paint.h"
#include "tests/vcl/gdi_support.h"

namespace {

struct TextDc : MemDc {
    HFONT font;
    TextDc(int w, int h, const char* face = "宋体", int height = -12) : MemDc(w, h) {
        font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, 0, 0, face);
        SelectObject(dc, font);
        fill(0xFFFFFF);
    }
    ~TextDc() {
        SelectObject(dc, GetStockObject(SYSTEM_FONT));
        DeleteObject(font);
    }
    int width(const std::string& s) {
        SIZE sz;
        GetTextExtentPoint32A(dc, s.c_str(), int(s.size()), &sz);
        return sz.cx;
    }
    int dark(const RECT& r) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += (GetPixel(dc, x, y) & 0xFF) < 0x80;
        return n;
    }
};

TEST(DrawText, CalcRectMeasuresLinesAndWrapsAtSpaces) {
    TextDc t(300, 200);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(t.dc, &tm));
    ASSERT_GT(tm.tmHeight, 0);
    RECT r{0, 0, 1000, 0};
    int h = DrawTextA(t.dc, "one\ntwo three", -1, &r, DT_CALCRECT);
    EXPECT_EQ(h, 2 * tm.tmHeight);
    EXPECT_EQ(r.right, t.width("two three"));
    // Word break at the width of "two three" less a pixel: three lines.
    RECT w{0, 0, t.width("two three") - 1, 0};
    h = DrawTextA(t.dc, "one two three", -1, &w, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 2 * tm.tmHeight);  // "one two" / "three"
    EXPECT_LE(w.right, t.width("two three"));
    RECT narrow{0, 0, 1, 0};
    h = DrawTextA(t.dc, "alpha beta", -1, &narrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 9 * tm.tmHeight);  // words wider than the box: a character a line
    RECT single{0, 0, 1000, 0};
    EXPECT_EQ(DrawTextA(t.dc, "a\nb", -1, &single, DT_CALCRECT | DT_SINGLELINE), tm.tmHeight);
}

// The lines of a text without a break opportunity inside a line's width, as many characters
// to each as fit.
std::vector<std::string> CharacterLines(TextDc& t, const std::string& s, int limit) {
    std::vector<std::string> lines{""};
    for (size_t i = 0; i < s.size();) {
        const size_t n = Utf8CharEnd(s, i) - i;
        const std::string ch = s.substr(i, n);
        if (!lines.back().empty() && t.width(lines.back() + ch) > limit) lines.emplace_back();
        lines.back() += ch;
        i += n;
    }
    return lines;
}

TEST(DrawText, AWordWiderThanTheLineBreaksBetweenItsCharacters) {
    TextDc t(320, 240);
    TEXTMETRICA tm;
    ASSERT_TRUE(GetTextMetricsA(t.dc, &tm));
    std::string path = "/home/user/";
    while (path.size() < 165) path += "very_long_folder_name_without_blanks/";
    path = path.substr(0, 165) + ".pdf";  // 169 bytes
    std::string chinese;
    for (int i = 0; i < 40; ++i) chinese += "转换";
    std::string accented;
    for (int i = 0; i < 70; ++i) accented += "\xc3\xa9";  // two bytes a character
    const std::string word = "exactly_the_width";
    const int ww = t.width(word);
    struct Row {
        const char* name;
        std::string text;
        int limit;
        std::vector<std::string> lines;  // empty: a character each where it reaches the edge
    } rows[] = {
        {"long ASCII path", path, 291, {}},
        {"Chinese run", chinese, 291, {}},
        {"two-byte characters", accented, 100, {}},
        {"Chinese then a path", "无法打开文件：" + path, 291, {"无法打开文件："}},
        {"word exactly the width", "ab " + word, ww, {"ab", word}},
        {"word a pixel wider", word, ww - 1, {}},
    };
    for (Row& r : rows) {
        // After the given lines, the rest as a character run.
        std::string rest = r.text;
        for (const std::string& l : r.lines) rest = rest.substr(rest.find(l) + l.size());
        for (const std::string& l : CharacterLines(t, rest, r.limit))
            if (!l.empty()) r.lines.push_back(l);
        int widest = 0;
        for (const std::string& l : r.lines) {
            widest = std::max(widest, t.width(l));
            EXPECT_LE(t.width(l), r.limit) << r.name;
        }
        RECT calc{0, 0, r.limit, 0};
        const int h = DrawTextA(t.dc, r.text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK);
        EXPECT_EQ(h, int(r.lines.size()) * tm.tmHeight) << r.name;
        EXPECT_EQ(calc.right, widest) << r.name;
        // Drawn as measured: the same pixels as its lines written one under another.
        TextDc drawn(320, 240), expected(320, 240);
        RECT box{0, 0, r.limit, 240};
        DrawTextA(drawn.dc, r.text.c_str(), -1, &box, DT_WORDBREAK | DT_NOPREFIX);
        for (size_t i = 0; i < r.lines.size(); ++i)
            TextOutA(expected.dc, 0, int(i) * tm.tmHeight, r.lines[i].c_str(),
                     int(r.lines[i].size()));
        int differ = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) differ += drawn.at(x, y) != expected.at(x, y);
        EXPECT_EQ(differ, 0) << r.name;
        const RECT last{0, (int(r.lines.size()) - 1) * tm.tmHeight, r.limit,
                        int(r.lines.size()) * tm.tmHeight};
        EXPECT_GT(drawn.dark(last), 0) << r.name << ": the last line shows";
    }
}

TEST(DrawText, EllipsesKeepALongWordWhole) {
    // A line that ends in an ellipsis shortens the long word instead of breaking it.
    TextDc t(300, 40);
    const std::string text = "/home/user/a_rather_long_folder_name/summary.pdf";
    const int limit = t.width(text) / 2;
    for (UINT ellipsis : {UINT(DT_END_ELLIPSIS), UINT(DT_PATH_ELLIPSIS), UINT(DT_WORD_ELLIPSIS)}) {
        RECT r{0, 0, limit, 0};
        TEXTMETRICA tm;
        ASSERT_TRUE(GetTextMetricsA(t.dc, &tm));
        EXPECT_EQ(DrawTextA(t.dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | ellipsis),
                  tm.tmHeight)
            << ellipsis;
        EXPECT_LE(r.right, limit) << ellipsis;
    }
}

TEST(DrawText, EllipsesFitTheBox) {
    TextDc t(300, 40);
    const std::string text = "A rather long caption that does not fit";
    const int limit = t.width("A rather long");
    char buf[64] = {};
    std::strcpy(buf, text.c_str());
    RECT r{0, 0, limit, 20};
    DrawTextExA(t.dc, buf, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    std::string shown = buf;
    ASSERT_GE(shown.size(), 3u);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_LE(t.width(shown), limit);
    EXPECT_EQ(text.compare(0, shown.size() - 3, shown.substr(0, shown.size() - 3)), 0);
    // The path keeps its file name.
    char path[64] = "/home/user/documents/reports/summary.pdf";
    RECT p{0, 0, t.width("/home/.../summary.pdf") + 1, 20};
    DrawTextExA(t.dc, path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    std::string ps = path;
    EXPECT_NE(ps.find("..."), std::string::npos);
    EXPECT_EQ(ps.substr(ps.size() - 12), "/summary.pdf");
    // Without DT_MODIFYSTRING the text stays as it was.
    char keep[64] = "A rather long caption that does not fit";
    DrawTextExA(t.dc, keep, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS, nullptr);
    EXPECT_EQ(std::string(keep), text);
}

TEST(DrawText, AlignmentClippingAndPrefixes) {
    TextDc t(100, 30);
    RECT r{0, 0, 100, 30};
    DrawTextA(t.dc, "W", 1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    RECT left{0, 0, 30, 30}, mid{30, 0, 70, 30};
    EXPECT_EQ(t.dark(left), 0);
    EXPECT_GT(t.dark(mid), 0);
    t.fill(0xFFFFFF);
    RECT box{10, 5, 14, 25};
    DrawTextA(t.dc, "WWWW", 4, &box, DT_SINGLELINE);
    RECT outside{14, 0, 100, 30};
    EXPECT_EQ(t.dark(outside), 0);  // clipped to the box
    // "&A" underlines the A; "&&" shows one ampersand and no underline.
    RECT c1{0, 0, 100, 0}, c2{0, 0, 100, 0};
    DrawTextA(t.dc, "&A", -1, &c1, DT_CALCRECT | DT_SINGLELINE);
    DrawTextA(t.dc, "A", -1, &c2, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(c1.right, c2.right);
    RECT c3{0, 0, 100, 0};
    DrawTextA(t.dc, "&A", -1, &c3, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_GT(c3.right, c2.right);
    TextDc u(40, 30), v(40, 30);
    RECT ur{0, 0, 40, 30};
    DrawTextA(u.dc, "&A", -1, &ur, DT_SINGLELINE);
    DrawTextA(v.dc, "A", -1, &ur, DT_SINGLELINE);
    EXPECT_GT(u.dark(ur), v.dark(ur));
}

TEST(Fonts, LatinOneSignsHaveRealGlyphsInTheSongFace) {
    TextDc t(40, 30);
    SetBkMode(t.dc, TRANSPARENT);
    TextOutA(t.dc, 2, 2, "»", int(std::strlen("»")));
    RECT all{0, 0, 40, 30};
    EXPECT_GE(t.dark(all), 12);  // a chevron pair, not a dot
    EXPECT_GE(t.width("»"), 5);
    char face[LF_FACESIZE];
    GetTextFaceA(t.dc, sizeof face, face);
    EXPECT_STREQ(face, "宋体");
    EXPECT_TRUE(IsTrueTypeFont(t.dc));
}

TEST(Fonts, WindowsFacesMapToInstalledFacesOfTheirWidth) {
    TextDc arial(10, 10, "Arial", -16), courier(10, 10, "Courier New", -16);
    EXPECT_EQ(courier.width("iiii"), courier.width("MMMM"));  // fixed pitch
    EXPECT_LT(arial.width("iiii"), arial.width("MMMM"));
    TEXTMETRICA tm;
    GetTextMetricsA(courier.dc, &tm);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);  // the bit means variable pitch
}

TEST(Fonts, EscapementRotatesText) {
    TextDc flat(60, 60), turned(60, 60);
    HFONT up = CreateFontA(-16, 0, 900, 900, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(turned.dc, up);
    TextOutA(flat.dc, 5, 40, "HHHH", 4);
    TextOutA(turned.dc, 5, 55, "HHHH", 4);
    // Upright text is wider than tall; text turned by 90 degrees is taller than wide.
    auto extent = [](const TextDc& t, int& w, int& h) {
        int l = 60, r = -1, top = 60, b = -1;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                if ((GetPixel(t.dc, x, y) & 0xFF) < 0x80) {
                    l = std::min(l, x);
                    r = std::max(r, x);
                    top = std::min(top, y);
                    b = std::max(b, y);
                }
        w = r - l;
        h = b - top;
    };
    int fw, fh, tw, th;
    extent(flat, fw, fh);
    extent(turned, tw, th);
    EXPECT_GT(fw, fh);
    EXPECT_GT(th, tw);
    SelectObject(turned.dc, turned.font);
    DeleteObject(up);
}

TEST(Edges, RaisedAndSunkenEdgesPixelByPixel) {
    MemDc m(6, 6);
    m.fill(0x123456);
    RECT r{0, 0, 6, 6};
    DrawEdge(m.dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    EXPECT_EQ(r.left, 2);
    EXPECT_EQ(r.bottom, 4);
    EXPECT_EQ(m.at(0, 0), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(m.at(0, 5), GetSysColor(COLOR_3DDKSHADOW));  // bottom-right owns the corners
    EXPECT_EQ(m.at(5, 0), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(m.at(1, 1), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(m.at(4, 4), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(m.at(2, 2), 0x123456u);  // no middle asked for
    RECT s{0, 0, 6, 6};
    DrawEdge(m.dc, &s, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(m.at(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(m.at(5, 5), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(m.at(1, 1), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(m.at(2, 2), GetSysColor(COLOR_3DFACE));
    m.fill(0x123456);
    RECT top{0, 0, 6, 6};
    DrawEdge(m.dc, &top, BDR_RAISEDINNER, BF_TOP | BF_ADJUST);
    EXPECT_EQ(top.top, 1);
    EXPECT_EQ(top.left, 0);
    EXPECT_EQ(m.at(3, 0), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(m.at(0, 3), 0x123456u);
    RECT flat{0, 0, 6, 6};
    DrawEdge(m.dc, &flat, EDGE_SUNKEN, BF_RECT | BF_FLAT);
    EXPECT_EQ(m.at(0, 0), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(m.at(5, 5), GetSysColor(COLOR_3DSHADOW));
}

TEST(FrameControls, CheckMarksArrowsAndStates) {
    MemDc on(13, 13), off(13, 13);
    RECT r{0, 0, 13, 13};
    DrawFrameControl(on.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    DrawFrameControl(off.dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
    int diff = 0, black = 0;
    for (int y = 2; y < 11; ++y)
        for (int x = 2; x < 11; ++x) {
            diff += on.at(x, y) != off.at(x, y);
            black += on.at(x, y) == GetSysColor(COLOR_WINDOWTEXT);
        }
    EXPECT_EQ(black, 21);  // the seven-by-seven check mark
    EXPECT_EQ(diff, 21);
    EXPECT_EQ(off.at(6, 6), GetSysColor(COLOR_WINDOW));
    MemDc arrow(15, 15);
    RECT a{0, 0, 15, 15};
    DrawFrameControl(arrow.dc, &a, DFC_SCROLL, DFCS_SCROLLUP);
    // The arrow points up: its top row is narrower than its bottom row.
    int rows[15] = {};
    for (int y = 0; y < 15; ++y)
        for (int x = 2; x < 13; ++x) rows[y] += arrow.at(x, y) == GetSysColor(COLOR_BTNTEXT);
    int first = -1, last = -1;
    for (int y = 0; y < 15; ++y)
        if (rows[y]) {
            if (first < 0) first = y;
            last = y;
        }
    ASSERT_GE(first, 0);
    EXPECT_LT(rows[first], rows[last]);
    MemDc push(10, 10);
    RECT pr{0, 0, 10, 10};
    DrawFrameControl(push.dc, &pr, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_ADJUSTRECT);
    EXPECT_EQ(pr.left, 2);
    EXPECT_EQ(push.at(0, 0), GetSysColor(COLOR_3DSHADOW));
}

}  // namespace

namespace {

TEST(CharacterExtra, WidensTextByTheExtraPerCharacterAndIsPartOfTheSavedState) {
    TextDc t(200, 40, "Arial", -14);
    const int plain = t.width("abcd"), wide = t.width("中文");
    EXPECT_EQ(SetTextCharacterExtra(t.dc, 3), 0);
    EXPECT_EQ(GetTextCharacterExtra(t.dc), 3);
    EXPECT_EQ(t.width("abcd"), plain + 4 * 3);
    EXPECT_EQ(t.width("中文"), wide + 2 * 3);  // characters, not bytes
    RECT calc{0, 0, 0, 0};
    DrawTextA(t.dc, "abcd", -1, &calc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(calc.right, plain + 12);
    const int level = SaveDC(t.dc);
    SetTextCharacterExtra(t.dc, 10);
    RestoreDC(t.dc, level);
    EXPECT_EQ(GetTextCharacterExtra(t.dc), 3);
    SetTextCharacterExtra(t.dc, 0);
    EXPECT_EQ(t.width("abcd"), plain);
}

TEST(Paths, TextInABracketIsRecordedAndOnlyStrokingDrawsIt) {
    TextDc t(80, 70, "Arial", -50);
    SetBkMode(t.dc, TRANSPARENT);
    const RECT all{0, 0, 80, 70};
    EXPECT_FALSE(StrokePath(t.dc));  // no path yet
    ASSERT_TRUE(BeginPath(t.dc));
    TextOutA(t.dc, 10, 5, "O", 1);
    EXPECT_EQ(t.dark(all), 0);       // recorded, not drawn
    EXPECT_FALSE(StrokePath(t.dc));  // the bracket is still open
    ASSERT_TRUE(EndPath(t.dc));
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    HGDIOBJ old = SelectObject(t.dc, pen);
    EXPECT_TRUE(StrokePath(t.dc));
    const int stroked = t.dark(all);
    EXPECT_GT(stroked, 0);
    // The ring of the "O" is hollow: a filled one has many more dark pixels.
    TextDc filled(80, 70, "Arial", -50);
    TextOutA(filled.dc, 10, 5, "O", 1);
    EXPECT_LT(stroked, filled.dark(all));
    int hollowInside = 0;  // glyph pixels away from the outline that the stroke left white
    for (int y = 1; y < 69; ++y)
        for (int x = 1; x < 79; ++x) {
            bool edge = false;
            for (int d = 0; d < 9; ++d)
                edge |= (GetPixel(filled.dc, x + d % 3 - 1, y + d / 3 - 1) == 0) !=
                        (GetPixel(filled.dc, x, y) == 0);
            if (!edge && GetPixel(filled.dc, x, y) == 0 && GetPixel(t.dc, x, y) != 0)
                ++hollowInside;
        }
    EXPECT_GT(hollowInside, 0);
    EXPECT_FALSE(StrokePath(t.dc));  // stroking used the path up
    SelectObject(t.dc, old);
    DeleteObject(pen);
    // An aborted bracket draws nothing and leaves nothing to stroke.
    TextDc a(80, 70, "Arial", -50);
    BeginPath(a.dc);
    TextOutA(a.dc, 10, 5, "O", 1);
    EXPECT_TRUE(AbortPath(a.dc));
    EXPECT_FALSE(StrokePath(a.dc));
    EXPECT_EQ(a.dark(all), 0);
}

}  // namespace
