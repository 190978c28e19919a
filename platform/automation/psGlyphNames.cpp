#include "platform/automation/psGlyphNames.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string_view>
#include <vector>

namespace office {

namespace {

// The driver's own glyph names, which carry no meaning.
constexpr std::string_view kInventedName = "~gs~gName~";

struct Token {
    enum Kind { kHex, kOpen, kClose, kWord } kind;
    std::string text;  // the bytes of a hex string, the word itself otherwise
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The tokens of a CMap program, without its comments.
std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '%') {
            while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
        } else if (c == '<' && i + 1 < s.size() && s[i + 1] != '<') {
            std::string bytes;
            int high = -1;
            for (++i; i < s.size() && s[i] != '>'; ++i) {
                const int v = hexValue(s[i]);
                if (v < 0) continue;  // white space inside the string
                if (high < 0) {
                    high = v;
                } else {
                    bytes += char(high * 16 + v);
                    high = -1;
                }
            }
            if (high >= 0) bytes += char(high * 16);  // an odd digit count ends in a zero
            ++i;
            out.push_back({Token::kHex, bytes});
        } else if (c == '<' || c == '>') {
            const size_t n = i + 1 < s.size() && s[i + 1] == c ? 2 : 1;  // a dictionary's bracket
            out.push_back({Token::kWord, std::string(s.substr(i, n))});
            i += n;
        } else if (c == '[' || c == ']') {
            out.push_back({c == '[' ? Token::kOpen : Token::kClose, std::string(1, c)});
            ++i;
        } else {
            const size_t b = i;
            ++i;
            while (i < s.size() && !std::isspace(static_cast<unsigned char>(s[i])) && s[i] != '<' &&
                   s[i] != '[' && s[i] != ']' && s[i] != '%' && s[i] != '/' && s[i] != '>')
                ++i;
            out.push_back({Token::kWord, std::string(s.substr(b, i - b))});
        }
    }
    return out;
}

int codeOf(const std::string& bytes) {
    int v = 0;
    for (unsigned char b : bytes) v = v * 256 + b;
    return v;
}

std::u16string unitsOf(const std::string& bytes) {
    std::u16string u;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        u += char16_t((static_cast<unsigned char>(bytes[i]) << 8) |
                      static_cast<unsigned char>(bytes[i + 1]));
    return u;
}

// Simple fonts have one-byte codes; anything wider is not a font this renames.
constexpr int kMaxCode = 255;

struct ObjectSpan {
    size_t begin = 0, end = 0;  // the object's body, between "obj" and "endobj"
};

// Every "<n> 0 obj ... endobj" at the start of a line, by number.
std::map<int, ObjectSpan> indexObjects(const std::string& ps) {
    std::map<int, ObjectSpan> objects;
    size_t p = 0;
    while ((p = ps.find(" 0 obj", p)) != std::string::npos) {
        size_t start = p;
        while (start > 0 && std::isdigit(static_cast<unsigned char>(ps[start - 1]))) --start;
        const bool atLineStart = start == 0 || ps[start - 1] == '\n' || ps[start - 1] == '\r';
        const size_t bodyBegin = p + 6;
        if (!atLineStart || start == p || bodyBegin >= ps.size() ||
            (ps[bodyBegin] != '\n' && ps[bodyBegin] != '\r')) {
            p = bodyBegin;
            continue;
        }
        const size_t bodyEnd = ps.find("\nendobj", bodyBegin);
        if (bodyEnd == std::string::npos) break;
        objects[std::atoi(ps.c_str() + start)] = {bodyBegin, bodyEnd};
        p = bodyEnd + 7;
    }
    return objects;
}

// The object number of "/Key n 0 R" in a dictionary's text, or -1.
int reference(std::string_view dict, std::string_view key) {
    size_t p = 0;
    while ((p = dict.find(key, p)) != std::string_view::npos) {
        p += key.size();
        if (p < dict.size() && (std::isalnum(static_cast<unsigned char>(dict[p]))))
            continue;  // a longer key
        while (p < dict.size() && std::isspace(static_cast<unsigned char>(dict[p]))) ++p;
        int n = 0;
        size_t digits = 0;
        while (p < dict.size() && std::isdigit(static_cast<unsigned char>(dict[p]))) {
            n = n * 10 + (dict[p++] - '0');
            ++digits;
        }
        if (digits == 0 || dict.substr(p, 4) != " 0 R") return -1;
        return n;
    }
    return -1;
}

bool hasName(std::string_view dict, std::string_view keyAndValue) {
    const size_t p = dict.find(keyAndValue);
    if (p == std::string_view::npos) return false;
    const size_t after = p + keyAndValue.size();
    return after >= dict.size() || !std::isalnum(static_cast<unsigned char>(dict[after]));
}

// The data of a stream object written without a filter; false for a filtered one.
bool plainStream(std::string_view body, std::string_view& data) {
    const size_t s = body.find("stream");
    if (s == std::string_view::npos || body.substr(0, s).find("/Filter") != std::string_view::npos)
        return false;
    size_t b = s + 6;
    if (b < body.size() && body[b] == '\r') ++b;
    if (b < body.size() && body[b] == '\n') ++b;
    const size_t e = body.rfind("endstream");
    if (e == std::string_view::npos || e < b) return false;
    data = body.substr(b, e - b);
    return true;
}

// The Differences array of an encoding with its glyph names renamed by the character
// map; false when nothing changes.
bool renameDifferences(std::string_view body, const std::map<int, std::u16string>& chars,
                       size_t& arrayBegin, size_t& arrayEnd, std::string& renamed) {
    const size_t d = body.find("/Differences");
    if (d == std::string_view::npos) return false;
    arrayBegin = body.find('[', d);
    if (arrayBegin == std::string_view::npos) return false;
    arrayEnd = body.find(']', arrayBegin);
    if (arrayEnd == std::string_view::npos) return false;
    const std::string_view array = body.substr(arrayBegin + 1, arrayEnd - arrayBegin - 1);

    // Codes and names in order; names taken are kept unique in the encoding, since the
    // font's glyphs are found by them.
    struct Entry {
        bool isCode;
        int code;
        std::string name;
    };
    std::vector<Entry> entries;
    std::set<std::string> taken;
    int code = 0;
    size_t i = 0;
    while (i < array.size()) {
        if (std::isspace(static_cast<unsigned char>(array[i]))) {
            ++i;
        } else if (std::isdigit(static_cast<unsigned char>(array[i]))) {
            code = 0;
            while (i < array.size() && std::isdigit(static_cast<unsigned char>(array[i])))
                code = code * 10 + (array[i++] - '0');
            entries.push_back({true, code, {}});
        } else if (array[i] == '/') {
            const size_t b = i++;
            while (i < array.size() && !std::isspace(static_cast<unsigned char>(array[i])) &&
                   array[i] != '/' && array[i] != ']' && array[i] != '[')
                ++i;
            entries.push_back({false, code++, std::string(array.substr(b + 1, i - b - 1))});
            taken.insert(entries.back().name);
        } else {
            return false;  // not an array of codes and names
        }
    }
    bool changed = false;
    for (Entry& e : entries) {
        if (e.isCode || e.name.compare(0, kInventedName.size(), kInventedName) != 0) continue;
        const auto c = chars.find(e.code);
        if (c == chars.end()) continue;
        const std::string base = GlyphNameFor(c->second);
        if (base.empty()) continue;
        std::string name = base;
        for (int n = 1; taken.count(name); ++n) name = base + "." + std::to_string(n);
        taken.insert(name);
        e.name = name;
        changed = true;
    }
    if (!changed) return false;
    renamed.clear();
    int onLine = 0;
    for (const Entry& e : entries) {
        if (onLine == 8) {
            renamed += '\n';
            onLine = 0;
        } else if (!renamed.empty()) {
            renamed += ' ';
        }
        renamed += e.isCode ? std::to_string(e.code) : "/" + e.name;
        ++onLine;
    }
    return true;
}

}  // namespace

std::map<int, std::u16string> ReadToUnicode(const std::string& cmap) {
    std::map<int, std::u16string> chars;
    const std::vector<Token> t = tokenize(cmap);
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Token::kWord) continue;
        if (t[i].text == "beginbfchar") {
            for (++i; i + 1 < t.size() && t[i].kind == Token::kHex && t[i + 1].kind == Token::kHex;
                 i += 2) {
                const int code = codeOf(t[i].text);
                if (code <= kMaxCode) chars[code] = unitsOf(t[i + 1].text);
            }
        } else if (t[i].text == "beginbfrange") {
            ++i;
            while (i + 2 < t.size() && t[i].kind == Token::kHex && t[i + 1].kind == Token::kHex) {
                const int low = codeOf(t[i].text), high = std::min(codeOf(t[i + 1].text), kMaxCode);
                i += 2;
                if (t[i].kind == Token::kHex) {
                    // Consecutive codes: the last unit of the text counts up with them.
                    std::u16string text = unitsOf(t[i].text);
                    for (int code = low; code <= high && !text.empty(); ++code) {
                        chars[code] = text;
                        ++text.back();
                    }
                    ++i;
                } else if (t[i].kind == Token::kOpen) {
                    int code = low;
                    for (++i; i < t.size() && t[i].kind == Token::kHex; ++i, ++code)
                        if (code <= high) chars[code] = unitsOf(t[i].text);
                    if (i < t.size() && t[i].kind == Token::kClose) ++i;
                } else {
                    break;
                }
            }
            --i;
        }
    }
    return chars;
}

std::string GlyphNameFor(const std::u16string& text) {
    std::vector<char32_t> points;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t u = text[i];
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return {};
            points.push_back(0x10000 + ((char32_t(u) - 0xD800) << 10) +
                             (char32_t(text[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return {};
        } else {
            points.push_back(u);
        }
    }
    if (points.empty()) return {};
    char buf[16];
    bool basic = true;
    for (char32_t p : points) basic = basic && p <= 0xFFFF;
    std::string name;
    if (basic) {
        // One name for a sequence of basic-plane characters: "uni" and four digits each.
        name = "uni";
        for (char32_t p : points) {
            std::snprintf(buf, sizeof buf, "%04X", unsigned(p));
            name += buf;
        }
        return name;
    }
    // Otherwise one component per character, joined by underscores.
    for (char32_t p : points) {
        if (!name.empty()) name += '_';
        std::snprintf(buf, sizeof buf, p <= 0xFFFF ? "uni%04X" : "u%X", unsigned(p));
        name += buf;
    }
    return name;
}

std::string SpellOutOneCodeRanges(const std::string& original) {
    std::string pdf = original;
    static constexpr std::string_view kBegin = "beginbfrange", kEnd = "endbfrange";
    size_t p = 0;
    while ((p = pdf.find(kBegin, p)) != std::string::npos) {
        const size_t blockEnd = pdf.find(kEnd, p);
        if (blockEnd == std::string::npos) break;
        // Each entry: a code, the same code, a hex string; the second code's place blanked.
        std::vector<std::pair<size_t, size_t>> blanks;
        size_t i = p + kBegin.size();
        bool plain = true;
        auto skipSpace = [&] {
            while (i < blockEnd && std::isspace(static_cast<unsigned char>(pdf[i]))) ++i;
        };
        auto hexString = [&](std::string& digits) {
            if (i >= blockEnd || pdf[i] != '<') return false;
            digits.clear();
            for (++i; i < blockEnd && pdf[i] != '>'; ++i) {
                if (hexValue(pdf[i]) < 0) return false;
                digits += char(std::tolower(static_cast<unsigned char>(pdf[i])));
            }
            if (i >= blockEnd) return false;
            ++i;
            return true;
        };
        for (skipSpace(); plain && i < blockEnd; skipSpace()) {
            std::string low, high, text;
            if (!hexString(low)) {
                plain = false;
                break;
            }
            const size_t blankFrom = i;
            skipSpace();
            plain = hexString(high) && high == low;
            const size_t blankTo = i;
            skipSpace();
            plain = plain && hexString(text);
            blanks.emplace_back(blankFrom, blankTo);
        }
        if (plain && !blanks.empty()) {
            for (auto [from, to] : blanks)
                std::fill(pdf.begin() + long(from), pdf.begin() + long(to), ' ');
            pdf.replace(p, kBegin.size(), "beginbfchar ");
            pdf.replace(blockEnd, kEnd.size(), "endbfchar ");
        }
        p = blockEnd + kEnd.size();
    }
    return pdf;
}

std::string NameGlyphsByCharacters(const std::string& ps) {
    const std::map<int, ObjectSpan> objects = indexObjects(ps);
    auto body = [&](int n) -> std::string_view {
        const auto o = objects.find(n);
        if (o == objects.end()) return {};
        return std::string_view(ps).substr(o->second.begin, o->second.end - o->second.begin);
    };
    // Encodings and the character map of each TrueType font using them; an encoding
    // shared by fonts of different maps is left alone.
    std::map<int, int> mapOfEncoding;
    std::set<int> shared;
    for (const auto& [number, span] : objects) {
        const std::string_view font = body(number);
        const size_t dictEnd = font.find(">>");
        const std::string_view dict = font.substr(0, dictEnd);
        if (!hasName(dict, "/Type/Font") || !hasName(dict, "/Subtype/TrueType")) continue;
        const int toUnicode = reference(dict, "/ToUnicode"),
                  encoding = reference(dict, "/Encoding");
        if (toUnicode < 0 || encoding < 0) continue;
        const auto known = mapOfEncoding.find(encoding);
        if (known != mapOfEncoding.end() && known->second != toUnicode) shared.insert(encoding);
        mapOfEncoding[encoding] = toUnicode;
    }
    struct Edit {
        size_t begin, end;
        std::string text;
    };
    std::vector<Edit> edits;
    for (const auto& [encoding, toUnicode] : mapOfEncoding) {
        if (shared.count(encoding)) continue;
        std::string_view cmap;
        if (!plainStream(body(toUnicode), cmap)) continue;
        const std::map<int, std::u16string> chars = ReadToUnicode(std::string(cmap));
        if (chars.empty()) continue;
        const std::string_view enc = body(encoding);
        size_t b = 0, e = 0;
        std::string renamed;
        if (!renameDifferences(enc, chars, b, e, renamed)) continue;
        const size_t offset = objects.at(encoding).begin;
        edits.push_back({offset + b + 1, offset + e, renamed});
    }
    if (edits.empty()) return ps;
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.begin < b.begin; });
    std::string out;
    out.reserve(ps.size() + ps.size() / 64);
    size_t at = 0;
    for (const Edit& e : edits) {
        out.append(ps, at, e.begin - at);
        out += e.text;
        at = e.end;
    }
    out.append(ps, at, std::string::npos);
    return out;
}

}  // namespace office
