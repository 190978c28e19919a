#include "engine/pdfSyntax.h"

#include <cstring>

namespace pdfsyntax {

bool IsWhite(char c) {
    return c == 0 || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool IsDelimiter(char c) { return c != 0 && std::strchr("()<>[]{}/%", c) != nullptr; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

long long SmallNumber(std::string_view digits) {
    if (digits.empty() || digits.size() > 15) return -1;
    long long n = 0;
    for (const char c : digits) {
        if (!IsDigit(c)) return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

void SkipWhite(std::string_view t, size_t& i) {
    while (i < t.size()) {
        if (IsWhite(t[i])) {
            ++i;
        } else if (t[i] == '%') {
            while (i < t.size() && t[i] != '\n' && t[i] != '\r') ++i;
        } else {
            break;
        }
    }
}

std::string_view RegularToken(std::string_view t, size_t& i) {
    const size_t from = i;
    while (i < t.size() && !IsWhite(t[i]) && !IsDelimiter(t[i])) ++i;
    return t.substr(from, i - from);
}

std::string_view Name(std::string_view t, size_t& i) {
    ++i;
    return RegularToken(t, i);
}

long long Number(std::string_view t, size_t& i) {
    SkipWhite(t, i);
    return SmallNumber(RegularToken(t, i));
}

bool SkipString(std::string_view t, size_t& i) {
    int depth = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')' && --depth == 0) {
            ++i;
            return true;
        }
    }
    i = t.size();
    return false;
}

bool SkipValue(std::string_view t, size_t& i) {
    int depth = 0;
    bool whole = true;
    do {
        SkipWhite(t, i);
        if (i >= t.size()) return false;
        const char c = t[i];
        if ((c == '<' || c == '>') && i + 1 < t.size() && t[i + 1] == c) {
            depth += c == '<' ? 1 : -1;
            i += 2;
        } else if (c == '[' || c == '{') {
            ++depth;
            ++i;
        } else if (c == ']' || c == '}') {
            --depth;
            ++i;
        } else if (c == '(') {
            if (!SkipString(t, i)) return false;
        } else if (c == '<') {
            const size_t end = t.find('>', i);
            if (end == std::string_view::npos) {
                i = t.size();
                return false;
            }
            i = end + 1;
        } else if (c == ')' || c == '>') {
            whole = false;
            ++i;
        } else if (c == '/') {
            Name(t, i);
        } else {
            RegularToken(t, i);
        }
    } while (depth > 0);
    return whole && depth == 0;
}

}  // namespace pdfsyntax
