// DrawTextA/DrawTextExA: text laid out in a rectangle (prefixes, tab stops, word breaks,
// ellipses, alignment), made of the GDI's measuring and text output calls.
#include "platform/user/paint.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/rtl/utf8.h"

namespace {

std::string TextOf(const char* text, int len) {
    if (!text) return {};
    return len < 0 ? std::string(text) : std::string(text, size_t(len));
}

// Bytes of the character at s[i].
size_t CharLen(const std::string& s, size_t i) { return Utf8CharEnd(s, i) - i; }

// Wide (CJK) characters may be broken between, like spaces.
bool IsWide(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]) >= 0xE2; }

// One line of laid-out text: its characters and the byte offsets of prefix-underlined ones.
struct Line {
    std::string text;
    std::vector<size_t> underlined;
};

// The DC's font as the layout measures it.
class Layout {
public:
    Layout(HDC dc, const TEXTMETRICA& tm, UINT format, int tabChars)
        : dc_(dc), tm_(tm), format_(format) {
        tabWidth_ = std::max(1, tabChars) * std::max(1, int(tm.tmAveCharWidth));
    }
    int ascent() const { return int(tm_.tmAscent); }
    int lineHeight() const {
        return int(tm_.tmHeight) +
               ((format_ & DT_EXTERNALLEADING) ? int(tm_.tmExternalLeading) : 0);
    }
    int advance(const std::string& s) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, s.data(), int(s.size()), &size);
        return int(size.cx);
    }

    // The width of a line, tab stops expanded when asked.
    int width(const std::string& s) const {
        if (!(format_ & DT_EXPANDTABS) || s.find('\t') == std::string::npos) return advance(s);
        int x = 0;
        size_t start = 0;
        for (size_t i = 0; i <= s.size(); ++i) {
            if (i < s.size() && s[i] != '\t') continue;
            x += advance(s.substr(start, i - start));
            if (i < s.size()) x = (x / tabWidth_ + 1) * tabWidth_;
            start = i + 1;
        }
        return x;
    }
    int tabWidth() const { return tabWidth_; }

private:
    HDC dc_;
    TEXTMETRICA tm_;
    UINT format_;
    int tabWidth_;
};

// Removes prefix characters: "&x" underlines x, "&&" is a literal "&".
Line StripPrefixes(const std::string& s, UINT format) {
    Line out;
    if (format & DT_NOPREFIX) {
        out.text = s;
        return out;
    }
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') {
                out.text += '&';
                ++i;
                continue;
            }
            if (i + 1 < s.size() && !(format & DT_HIDEPREFIX))
                out.underlined.push_back(out.text.size());
            continue;
        }
        out.text += s[i];
    }
    return out;
}

Line Slice(const Line& l, size_t from, size_t to) {
    Line r;
    r.text = l.text.substr(from, to - from);
    for (size_t u : l.underlined)
        if (u >= from && u < to) r.underlined.push_back(u - from);
    return r;
}

// Breaks a paragraph into lines no wider than `limit`, at spaces and between wide characters.
// A word wider than the limit is broken between characters where it reaches the edge, so all
// of it can be read; when the line is to end in an ellipsis instead (`keepWords`) it stands
// alone on its line for the ellipsis to shorten.
std::vector<Line> Wrap(const Line& para, const Layout& lay, int limit, bool keepWords) {
    std::vector<Line> lines;
    const std::string& s = para.text;
    size_t start = 0;
    while (start < s.size()) {
        size_t lastBreak = std::string::npos, i = start, end = s.size();
        bool broke = false;
        while (i < s.size()) {
            size_t n = CharLen(s, i);
            if (lay.width(s.substr(start, i + n - start)) > limit && i > start) {
                end = lastBreak != std::string::npos ? lastBreak
                                                     : (IsWide(s, i) ? i : std::string::npos);
                if (end == std::string::npos && !keepWords) end = i;  // i starts a character
                if (end == std::string::npos) {
                    // Inside a long word: run to its end.
                    end = s.find(' ', i);
                    if (end == std::string::npos) end = s.size();
                }
                broke = true;
                break;
            }
            if (s[i] == ' ')
                lastBreak = i;
            else if (IsWide(s, i))
                lastBreak = i + n;
            i += n;
        }
        if (!broke) end = s.size();
        size_t lineEnd = end;
        while (lineEnd > start && s[lineEnd - 1] == ' ') --lineEnd;  // trailing spaces go
        lines.push_back(Slice(para, start, lineEnd));
        start = end;
        while (start < s.size() && s[start] == ' ') ++start;
    }
    if (lines.empty()) lines.push_back(Line{});
    return lines;
}

std::string Utf8Prefix(const std::string& s, size_t chars) {
    size_t i = 0;
    while (chars-- > 0 && i < s.size()) i += CharLen(s, i);
    return s.substr(0, std::min(i, s.size()));
}

size_t Utf8Count(const std::string& s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += CharLen(s, i)) ++n;
    return n;
}

// Shortens a line to fit `limit` with "..." at its end (at a word end with DT_WORD_ELLIPSIS)
// or, with DT_PATH_ELLIPSIS, in place of the middle of a path, keeping the last part.
bool Ellipsize(Line& line, const Layout& lay, int limit, UINT format) {
    if (lay.width(line.text) <= limit) return false;
    const std::string& s = line.text;
    if (format & DT_PATH_ELLIPSIS) {
        size_t slash = s.find_last_of("\\/");
        if (slash != std::string::npos && slash > 0) {
            std::string tail = s.substr(slash);
            for (size_t n = Utf8Count(s.substr(0, slash)); n-- > 0;) {
                std::string t = Utf8Prefix(s, n) + "..." + tail;
                if (lay.width(t) <= limit || n == 0) {
                    line.text = t;
                    line.underlined.clear();
                    if (lay.width(t) <= limit) return true;
                    break;
                }
            }
        }
    }
    if (!(format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS)) && !(format & DT_PATH_ELLIPSIS))
        return false;
    std::string base = line.text;
    for (size_t n = Utf8Count(base); n-- > 0;) {
        std::string head = Utf8Prefix(base, n);
        if ((format & DT_WORD_ELLIPSIS) && n > 0 && head.back() != ' ' && base[head.size()] != ' ')
            continue;
        while (!head.empty() && head.back() == ' ') head.pop_back();
        if (lay.width(head + "...") <= limit || n == 0) {
            line.text = head + "...";
            std::vector<size_t> keep;
            for (size_t u : line.underlined)
                if (u < head.size()) keep.push_back(u);
            line.underlined = keep;
            return true;
        }
    }
    return false;
}

void TextAt(HDC dc, int x, int y, const std::string& s) {
    if (!s.empty()) ExtTextOutA(dc, x, y, 0, nullptr, s.data(), UINT(s.size()), nullptr);
}

// Draws a line at (x, y): its text (tab stops expanded when asked) in the DC's text and
// background modes, and a one-pixel underline in the text colour below each prefixed
// character.
void DrawLine(HDC dc, const Layout& lay, const Line& line, int x, int y, UINT format,
              HBRUSH underline) {
    const std::string& s = line.text;
    if (!(format & DT_PREFIXONLY)) {
        if (!(format & DT_EXPANDTABS) || s.find('\t') == std::string::npos) {
            TextAt(dc, x, y, s);
        } else {
            int cx = 0;
            size_t start = 0;
            for (size_t i = 0; i <= s.size(); ++i) {
                if (i < s.size() && s[i] != '\t') continue;
                std::string seg = s.substr(start, i - start);
                TextAt(dc, x + cx, y, seg);
                cx += lay.advance(seg);
                if (i < s.size()) cx = (cx / lay.tabWidth() + 1) * lay.tabWidth();
                start = i + 1;
            }
        }
    }
    for (size_t u : line.underlined) {
        if (u >= s.size()) continue;
        int ux = x + lay.width(s.substr(0, u));
        int uw = lay.advance(s.substr(u, CharLen(s, u)));
        int uy = y + lay.ascent() + 1;
        RECT bar{ux, uy, ux + uw, uy + 1};
        FillRect(dc, &bar, underline);
    }
}

bool IsDc(HDC dc) {
    const DWORD type = GetObjectType(dc);
    return type == OBJ_DC || type == OBJ_MEMDC;
}

}  // namespace

int DrawTextExA(HDC h, char* text, int len, RECT* r, UINT format, DRAWTEXTPARAMS* params) {
    if (!IsDc(h)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    TEXTMETRICA tm;
    if (!text || !r || !GetTextMetricsA(h, &tm)) return 0;
    const std::string original = TextOf(text, len);
    int tabChars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    if (format & DT_TABSTOP) format &= ~0xFF00u;  // the high byte was the tab length
    Layout lay(h, tm, format, tabChars);
    RECT box = *r;
    if (params) {
        box.left += params->iLeftMargin;
        box.right -= params->iRightMargin;
    }
    const int limit = int(box.right - box.left);

    // Paragraphs, prefixes, wrapping and ellipses.
    std::vector<Line> lines;
    std::string body = original;
    if (format & DT_SINGLELINE) {
        body.erase(
            std::remove_if(body.begin(), body.end(), [](char c) { return c == '\r' || c == '\n'; }),
            body.end());
        lines.push_back(StripPrefixes(body, format));
    } else {
        size_t start = 0;
        while (true) {
            size_t nl = body.find('\n', start);
            std::string para =
                body.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
            if (!para.empty() && para.back() == '\r') para.pop_back();
            Line l = StripPrefixes(para, format);
            if (format & DT_WORDBREAK) {
                const bool ellipsis =
                    format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
                for (Line& w : Wrap(l, lay, limit, ellipsis)) lines.push_back(std::move(w));
            } else {
                lines.push_back(std::move(l));
            }
            if (nl == std::string::npos) break;
            start = nl + 1;
        }
    }
    bool modified = false;
    if (format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS))
        for (Line& l : lines) modified |= Ellipsize(l, lay, limit, format);
    if (modified && (format & DT_MODIFYSTRING) && lines.size() == 1 && len != 0) {
        // The caller's buffer holds `len` bytes (or the zero-ended text): never write past it.
        size_t room = len < 0 ? original.size() : size_t(len);
        const std::string& m = lines[0].text;
        std::memcpy(text, m.data(), std::min(room, m.size()));
        if (m.size() < room) text[m.size()] = 0;
    }

    const int lineH = lay.lineHeight();
    const int total = lineH * int(lines.size());
    int maxW = 0;
    for (const Line& l : lines) maxW = std::max(maxW, lay.width(l.text));
    if (params) params->uiLengthDrawn = UINT(original.size());
    if (format & DT_CALCRECT) {
        r->right = r->left + maxW + (params ? params->iLeftMargin + params->iRightMargin : 0);
        r->bottom = r->top + total;
        return total;
    }
    int y = int(box.top);
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y = int(box.top + box.bottom - lineH) / 2;
        else if (format & DT_BOTTOM)
            y = int(box.bottom) - lineH;
    }
    const int drawnTo = y + total - int(r->top);
    const int result =
        (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? drawnTo : total;
    const bool clipped = !(format & DT_NOCLIP);
    // An inverted rectangle clips everything away.
    if (clipped && (r->right <= r->left || r->bottom <= r->top)) return result;

    // Lines are placed from their top left corner whatever the DC's text alignment says; the
    // DC's state is given back as it was.
    const int saved = SaveDC(h);
    SetTextAlign(h, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    if (clipped) IntersectClipRect(h, int(r->left), int(r->top), int(r->right), int(r->bottom));
    HBRUSH underline = CreateSolidBrush(GetTextColor(h));
    int ly = y;
    for (const Line& l : lines) {
        int w = lay.width(l.text);
        int x = (format & DT_CENTER)  ? int(box.left + box.right - w) / 2
                : (format & DT_RIGHT) ? int(box.right) - w
                                      : int(box.left);
        DrawLine(h, lay, l, x, ly, format, underline);
        ly += lineH;
    }
    DeleteObject(underline);
    RestoreDC(h, saved);
    return result;
}

int DrawTextA(HDC h, const char* text, int len, RECT* r, UINT format) {
    if (!text) return 0;
    // Without DT_MODIFYSTRING the text is only read; work on a copy for the shared routine.
    std::string copy = TextOf(text, len);
    copy.push_back(0);
    return DrawTextExA(h, copy.data(), int(copy.size() - 1), r, format & ~DT_MODIFYSTRING, nullptr);
}
