#include "engine/converters/watermarkGlyphs.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <iterator>
#include <string_view>

#include "platform/rtl/sysutils.h"

namespace {

struct TRange {
    char32_t first, last;
};

// Every character the character map leads to a glyph of the Song face, and printable
// ASCII. Left out where the face has no glyphs: CJK extension A, Yi, the private use area,
// the compatibility ideographs and the planes beyond the first. Within the unified
// ideographs the face lacks about 2,200 rare characters of the extended national set; the
// face's own character map, read at run time, leaves those out.
constexpr TRange kDrawable[] = {
    {0x0020, 0x007E}, {0x00A0, 0x00A0}, {0x00A4, 0x00A5}, {0x00A7, 0x00A8}, {0x00B0, 0x00B1},
    {0x00B7, 0x00B7}, {0x00D7, 0x00D7}, {0x00E0, 0x00E1}, {0x00E8, 0x00EA}, {0x00EC, 0x00ED},
    {0x00F2, 0x00F3}, {0x00F7, 0x00F7}, {0x00F9, 0x00FA}, {0x00FC, 0x00FC}, {0x0101, 0x0101},
    {0x0113, 0x0113}, {0x011B, 0x011B}, {0x012B, 0x012B}, {0x014D, 0x014D}, {0x016B, 0x016B},
    {0x01CE, 0x01CE}, {0x01D0, 0x01D0}, {0x01D2, 0x01D2}, {0x01D4, 0x01D4}, {0x01D6, 0x01D6},
    {0x01D8, 0x01D8}, {0x01DA, 0x01DA}, {0x01DC, 0x01DC}, {0x01F9, 0x01F9}, {0x02C7, 0x02C7},
    {0x02C9, 0x02CB}, {0x02D9, 0x02D9}, {0x0391, 0x03A1}, {0x03A3, 0x03A9}, {0x03B1, 0x03C1},
    {0x03C3, 0x03C9}, {0x0401, 0x0401}, {0x0410, 0x044F}, {0x0451, 0x0451}, {0x1E3F, 0x1E3F},
    {0x2002, 0x2002}, {0x2013, 0x2016}, {0x2018, 0x2019}, {0x201C, 0x201D}, {0x2022, 0x2022},
    {0x2025, 0x2026}, {0x2030, 0x2030}, {0x2032, 0x2033}, {0x2035, 0x2035}, {0x203B, 0x203B},
    {0x205D, 0x205D}, {0x20AC, 0x20AC}, {0x2103, 0x2103}, {0x2105, 0x2105}, {0x2109, 0x2109},
    {0x2116, 0x2116}, {0x2121, 0x2121}, {0x2160, 0x216B}, {0x2170, 0x2179}, {0x2190, 0x2193},
    {0x2196, 0x2199}, {0x2208, 0x2208}, {0x220F, 0x220F}, {0x2211, 0x2211}, {0x2215, 0x2215},
    {0x221A, 0x221A}, {0x221D, 0x2220}, {0x2223, 0x2223}, {0x2225, 0x2225}, {0x2227, 0x222B},
    {0x222E, 0x222E}, {0x2234, 0x2237}, {0x223D, 0x223D}, {0x2248, 0x2248}, {0x224C, 0x224C},
    {0x2252, 0x2252}, {0x2260, 0x2261}, {0x2264, 0x2267}, {0x226E, 0x226F}, {0x2295, 0x2295},
    {0x2299, 0x2299}, {0x22A5, 0x22A5}, {0x22BF, 0x22BF}, {0x22EF, 0x22EF}, {0x2312, 0x2312},
    {0x2329, 0x232A}, {0x2460, 0x2469}, {0x2474, 0x249B}, {0x2500, 0x254B}, {0x2550, 0x2573},
    {0x2581, 0x258F}, {0x2593, 0x2595}, {0x25A0, 0x25A1}, {0x25B2, 0x25B3}, {0x25BC, 0x25BD},
    {0x25C6, 0x25C7}, {0x25CB, 0x25CB}, {0x25CE, 0x25CF}, {0x25E2, 0x25E5}, {0x2605, 0x2606},
    {0x2609, 0x2609}, {0x2640, 0x2640}, {0x2642, 0x2642}, {0x2E80, 0x2E99}, {0x2E9B, 0x2EF3},
    {0x2F00, 0x2FD5}, {0x2FF0, 0x2FFB}, {0x3000, 0x3003}, {0x3005, 0x3017}, {0x301D, 0x301E},
    {0x3021, 0x3029}, {0x303E, 0x303E}, {0x3041, 0x3094}, {0x309B, 0x309E}, {0x30A1, 0x30FE},
    {0x3105, 0x3126}, {0x3128, 0x312C}, {0x31A0, 0x31B7}, {0x3220, 0x3229}, {0x3231, 0x3231},
    {0x32A3, 0x32A3}, {0x338E, 0x338F}, {0x339C, 0x339E}, {0x33A1, 0x33A1}, {0x33C4, 0x33C4},
    {0x33CE, 0x33CE}, {0x33D1, 0x33D2}, {0x33D5, 0x33D5}, {0x4E00, 0x9FA5}, {0x9FB4, 0x9FBB},
    {0xFE10, 0xFE19}, {0xFE30, 0xFE31}, {0xFE33, 0xFE33}, {0xFE35, 0xFE44}, {0xFE49, 0xFE52},
    {0xFE54, 0xFE57}, {0xFE59, 0xFE66}, {0xFE68, 0xFE6B}, {0xFF01, 0xFF5E}, {0xFFE0, 0xFFE2},
    {0xFFE4, 0xFFE5},
};

// Characters the character map sends to the same CID as another: Ghostscript looks the CID
// up in the face under one of them, so the face drawing any of a group draws them all.
constexpr char32_t kSameGlyph[][3] = {
    {0x00B7, 0x2022, 0x30FB}, {0x2026, 0x22EF, 0}, {0x205D, 0xFE19, 0},
    {0x2329, 0x3008, 0},      {0x232A, 0x3009, 0},
};

static_assert(std::is_sorted(std::begin(kDrawable), std::end(kDrawable),
                             [](const TRange& a, const TRange& b) { return a.last < b.first; }));

// The character of text at i, advancing i past it; -1 where the bytes make no character.
long NextCharacter(const std::string& text, size_t& i) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t n = lead < 0x80                    ? 0
               : lead >= 0xC2 && lead <= 0xDF ? 1
               : lead >= 0xE0 && lead <= 0xEF ? 2
               : lead >= 0xF0 && lead <= 0xF4 ? 3
                                              : 4;
    if (n == 4 || i + n >= text.size()) return -1;
    long c = n == 0 ? lead : lead & (0x3F >> n);
    for (size_t k = 1; k <= n; ++k) {
        const unsigned char b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80) return -1;
        c = (c << 6) | (b & 0x3F);
    }
    // A character written with more bytes than it needs is no character the map knows.
    if ((n == 2 && c < 0x800) || (n == 3 && c < 0x10000)) return -1;
    i += n + 1;
    return c;
}

template <typename Range, typename Ranges>
bool InRanges(const Ranges& ranges, char32_t c) {
    const auto r = std::lower_bound(std::begin(ranges), std::end(ranges), c,
                                    [](const Range& range, char32_t v) { return range.last < v; });
    return r != std::end(ranges) && r->first <= c;
}

// A PostScript token of a cidfmap at i: a name ("/X"), a string's contents ("(...)"), a
// number, or one of "<<", ">>", ";". Empty at the end.
std::string NextToken(const std::string& map, size_t& i) {
    while (i < map.size()) {
        if (map[i] == '%') {
            i = map.find('\n', i);
            if (i == std::string::npos) i = map.size();
        } else if (std::isspace(static_cast<unsigned char>(map[i]))) {
            ++i;
        } else {
            break;
        }
    }
    if (i >= map.size()) return "";
    if (map.compare(i, 2, "<<") == 0 || map.compare(i, 2, ">>") == 0)
        return i += 2, map.substr(i - 2, 2);
    if (map[i] == '(') {
        std::string body = "(";
        for (int depth = 1; ++i < map.size();) {
            char ch = map[i];
            if (ch == '\\' && i + 1 < map.size()) {
                ch = map[++i];
            } else if (ch == '(') {
                ++depth;
            } else if (ch == ')' && --depth == 0) {
                ++i;
                return body;
            }
            body += ch;
        }
        return body;  // an unended string: the map is damaged from here on
    }
    const size_t from = i;
    if (map[i] == ';' || map[i] == '[' || map[i] == ']') return map.substr(i++, 1);
    while (++i < map.size() && !std::isspace(static_cast<unsigned char>(map[i])) &&
           std::string_view("/()<>[];%").find(map[i]) == std::string_view::npos) {}
    return map.substr(from, i - from);
}

// Each entry's tokens up to its ";", by the entry's name.
std::vector<std::pair<std::string, std::vector<std::string>>> CidfmapEntries(
    const std::string& map) {
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    size_t i = 0;
    for (std::string t; !(t = NextToken(map, i)).empty();) {
        if (t[0] != '/') continue;  // a stray token: skip to the next name
        std::vector<std::string> body;
        std::string b;
        while (!(b = NextToken(map, i)).empty() && b != ";") body.push_back(b);
        if (b == ";") entries.emplace_back(t.substr(1), std::move(body));  // else cut short
    }
    return entries;
}

// Debian's Ghostscript reads the map update-gsfontmap builds from /etc/ghostscript/cidfmap.d.
const std::vector<std::string> kInstalledCidfmaps = {
    "/var/lib/ghostscript/fonts/cidfmap",
    "/etc/ghostscript/cidfmap.d/90gs-cjk-resource-gb1.conf",
};

}  // namespace

std::optional<TCidFontFile> CidFontFile(const std::string& cidfmap, const std::string& fontName) {
    const auto entries = CidfmapEntries(cidfmap);
    std::string name = fontName;
    for (int hops = 0; hops < 16; ++hops) {  // bounded: aliases may loop
        const auto e = std::find_if(entries.begin(), entries.end(),
                                    [&](const auto& x) { return x.first == name; });
        if (e == entries.end() || e->second.empty()) return std::nullopt;
        const std::vector<std::string>& body = e->second;
        if (body.size() == 1 && body[0][0] == '/') {
            name = body[0].substr(1);
            continue;
        }
        if (body[0] != "<<") return std::nullopt;
        TCidFontFile file;
        bool trueType = false, hasPath = false;
        for (size_t k = 1; k + 1 < body.size(); ++k) {
            const std::string& key = body[k];
            const std::string& value = body[k + 1];
            if (key == "/FileType") trueType = value == "/TrueType";
            if (key == "/Path" && value[0] == '(') hasPath = true, file.path = value.substr(1);
            if (key == "/SubfontID") {
                char* end = nullptr;
                const unsigned long n = std::strtoul(value.c_str(), &end, 10);
                if (*end || n > 0xFFFF) return std::nullopt;
                file.face = unsigned(n);
            }
        }
        if (!trueType || !hasPath || file.path.empty()) return std::nullopt;
        return file;
    }
    return std::nullopt;
}

TWatermarkFonts::TWatermarkFonts(const std::vector<std::string>& cidfmaps) {
    std::string why = "no cidfmap names STSong-Light";
    for (const std::string& map : cidfmaps) {
        if (!FileExists(map)) continue;
        std::optional<TCidFontFile> file;
        try {
            file = CidFontFile(ReadFileText(map), "STSong-Light");
        } catch (const std::exception& e) {
            why = map + ": " + e.what();
            continue;
        }
        if (!file) continue;
        const std::string name = file->path + " face " + std::to_string(file->face);
        try {
            face_ = ReadTrueTypeCharacters(file->path, file->face);
            faceRead_ = true;
            source_ = "STSong-Light: " + name + " (" + map + ")";
            return;
        } catch (const std::exception& e) {
            why = "STSong-Light: " + name + " cannot be read: " + e.what();
            break;  // Ghostscript takes the first map's entry too
        }
    }
    source_ = why + "; the built-in table of the Song face's characters decides alone";
}

bool TWatermarkFonts::Draws(char32_t c) const {
    if (!InRanges<TRange>(kDrawable, c)) return false;
    if (!faceRead_ || InRanges<TCodeRange>(face_, c)) return true;
    for (const auto& group : kSameGlyph) {
        if (std::find(std::begin(group), std::end(group), c) == std::end(group)) continue;
        for (char32_t other : group)
            if (other && InRanges<TCodeRange>(face_, other)) return true;
    }
    return false;
}

const TWatermarkFonts& InstalledWatermarkFonts() {
    static const TWatermarkFonts fonts(kInstalledCidfmaps);
    return fonts;
}

bool WatermarkFontsDraw(char32_t c) { return InstalledWatermarkFonts().Draws(c); }

std::string FirstUndrawableCharacter(const std::string& text, const TWatermarkFonts& fonts) {
    for (size_t i = 0; i < text.size();) {
        const size_t at = i;
        const long c = NextCharacter(text, i);
        if (c < 0) return "0x" + IntToHex(static_cast<unsigned char>(text[at]), 2);
        if (!fonts.Draws(static_cast<char32_t>(c))) return "U+" + IntToHex(c, c > 0xFFFF ? 5 : 4);
    }
    return "";
}

std::string WatermarkTextProblem(const std::string& text, const TWatermarkFonts& fonts) {
    const std::string first = FirstUndrawableCharacter(text, fonts);
    if (first.empty()) return "";
    // Bytes of another encoding (GBK, say) print as one empty box each, and GBK bytes that
    // happen to be UTF-8 are characters no Chinese font has.
    if (first.compare(0, 2, "0x") == 0)
        return "水印文字无法显示: 它不是 UTF-8 文本 (也许是 GBK 编码的)。请用 UTF-8 给出水印文字。";
    return "水印文字无法显示: 水印的字体没有字符 " + first +
           " (文字也许是 GBK 编码的)。请用 UTF-8 给出水印文字, "
           "只用常用的汉字、英文字母、数字和符号。";
}
