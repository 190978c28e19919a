// Wildcard matching against a plain recursive definition of the same language: "*" any run
// of characters, "?" one character, any other character itself, where a character is a
// UTF-8 lead byte with the continuation bytes after it, up to the length the lead byte
// announces, and any other byte alone. Input: pattern, a zero byte, text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "controls/extended/xcUtils.h"

namespace {

size_t Next(const std::string& s, size_t i) {
    const uint8_t lead = uint8_t(s[i]);
    const size_t length = lead >= 0xF0 && lead <= 0xF7   ? 4
                          : lead >= 0xE0 && lead <= 0xEF ? 3
                          : lead >= 0xC0 && lead <= 0xDF ? 2
                                                         : 1;
    const size_t start = i++;
    while (i < s.size() && i - start < length && (uint8_t(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

struct Reference {
    const std::string& p;
    const std::string& s;
    std::vector<signed char> memo;
    Reference(const std::string& pat, const std::string& txt)
        : p(pat), s(txt), memo((pat.size() + 1) * (txt.size() + 1), -1) {}
    bool Match(size_t pi, size_t si) {
        signed char& m = memo[pi * (s.size() + 1) + si];
        if (m >= 0) return m;
        bool r;
        if (pi == p.size())
            r = si == s.size();
        else if (p[pi] == '*')
            r = Match(pi + 1, si) || (si < s.size() && Match(pi, Next(s, si)));
        else if (p[pi] == '?')
            r = si < s.size() && Match(pi + 1, Next(s, si));
        else {
            const size_t pn = Next(p, pi), sn = si < s.size() ? Next(s, si) : si;
            r = si < s.size() && p.compare(pi, pn - pi, s, si, sn - si) == 0 && Match(pn, sn);
        }
        m = r;
        return r;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1024) return 0;
    const std::string all(reinterpret_cast<const char*>(data), size);
    const size_t cut = all.find('\0');
    if (cut == std::string::npos) return 0;
    const std::string pattern = all.substr(0, cut), text = all.substr(cut + 1);
    bool got;
    try {
        got = MatchWildcardPattern(pattern, text);
    } catch (const EXcuError&) {
        if (!pattern.empty()) std::abort();
        return 0;
    }
    if (pattern.empty()) std::abort();
    const bool expected = pattern == "*.*" || Reference(pattern, text).Match(0, 0);
    if (got != expected) std::abort();
    // An index past the end reads as an empty rest.
    const bool tail = MatchWildcardPattern(pattern, text, int(text.size()) + 5);
    if (tail != MatchWildcardPattern(pattern, "")) std::abort();
    return 0;
}
