// Text on device contexts: TextOutA, ExtTextOutA, DrawTextA with its layout flags, metrics.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdiObjects.h"

namespace gdi {

gdi::FontSpec SpecOf(const LOGFONTA& lf) {
    gdi::FontSpec s;
    if (lf.lfFaceName[0]) s.name = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    // A positive height is the cell height; the character height is about four fifths of it.
    s.pixelHeight = lf.lfHeight < 0   ? -lf.lfHeight
                    : lf.lfHeight > 0 ? std::max(1, int(lf.lfHeight) * 4 / 5)
                                      : 12;
    s.bold = lf.lfWeight >= FW_SEMIBOLD;
    s.italic = lf.lfItalic != 0;
    s.underline = lf.lfUnderline != 0;
    s.strikeOut = lf.lfStrikeOut != 0;
    s.orientation = lf.lfEscapement;
    return s;
}

gdi::FontSpec DcFontSpec(const Dc& dc) {
    gdi::FontSpec s = SpecOf(CurrentFont(dc)->lf);
    COLORREF c = ResolveColor(dc, dc.st.text);
    s.color = dc.monochrome() ? MonoColor(c) : c;
    s.charExtra = dc.st.charExtra;
    return s;
}

namespace {

std::shared_ptr<Dc> DcOf(HDC h) {
    auto dc = FindAs<Dc>(h);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

std::string TextOf(const char* text, int len) {
    if (!text) return {};
    return len < 0 ? std::string(text) : std::string(text, size_t(len));
}

size_t CharLen(unsigned char c) {
    return c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
}

// Wide (CJK) characters may be broken between, like spaces.
bool IsWide(const std::string& s, size_t i) { return static_cast<unsigned char>(s[i]) >= 0xE2; }

COLORREF BkColor(const Dc& dc) {
    COLORREF c = ResolveColor(dc, dc.st.bk);
    return dc.monochrome() ? MonoColor(c) : c;
}

// One line of laid-out text: its characters and the byte offsets of prefix-underlined ones.
struct Line {
    std::string text;
    std::vector<size_t> underlined;
};

class Layout {
public:
    Layout(const Dc& dc, UINT format, int tabChars) : spec_(DcFontSpec(dc)), format_(format) {
        info_ = gdi::FontInfoOf(spec_);
        tabWidth_ = std::max(1, tabChars) * std::max(1, info_.averageWidth);
    }
    const gdi::FontSpec& font() const { return spec_; }
    const gdi::FontInfo& info() const { return info_; }
    int lineHeight() const {
        return info_.height + ((format_ & DT_EXTERNALLEADING) ? info_.leading : 0);
    }

    // The width of a line, tab stops expanded when asked.
    int width(const std::string& s) const {
        if (!(format_ & DT_EXPANDTABS) || s.find('\t') == std::string::npos)
            return gdi::TextAdvance(spec_, s);
        int x = 0;
        size_t start = 0;
        for (size_t i = 0; i <= s.size(); ++i) {
            if (i < s.size() && s[i] != '\t') continue;
            x += gdi::TextAdvance(spec_, s.substr(start, i - start));
            if (i < s.size()) x = (x / tabWidth_ + 1) * tabWidth_;
            start = i + 1;
        }
        return x;
    }
    int tabWidth() const { return tabWidth_; }

private:
    gdi::FontSpec spec_;
    gdi::FontInfo info_;
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

// Breaks a paragraph into lines no wider than `limit`, at spaces and between wide characters;
// a word wider than the limit stands alone on its line.
std::vector<Line> Wrap(const Line& para, const Layout& lay, int limit) {
    std::vector<Line> lines;
    const std::string& s = para.text;
    size_t start = 0;
    while (start < s.size()) {
        size_t lastBreak = std::string::npos, i = start, end = s.size();
        bool broke = false;
        while (i < s.size()) {
            size_t n = CharLen(static_cast<unsigned char>(s[i]));
            if (lay.width(s.substr(start, i + n - start)) > limit && i > start) {
                end = lastBreak != std::string::npos ? lastBreak
                                                     : (IsWide(s, i) ? i : std::string::npos);
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
    while (chars-- > 0 && i < s.size()) i += CharLen(static_cast<unsigned char>(s[i]));
    return s.substr(0, std::min(i, s.size()));
}

size_t Utf8Count(const std::string& s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += CharLen(static_cast<unsigned char>(s[i]))) ++n;
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

void DrawLine(gdi::Painter& p, const Layout& lay, const Line& line, int x, int y, UINT format,
              bool opaque, COLORREF bk) {
    const std::string& s = line.text;
    if (!(format & DT_PREFIXONLY)) {
        if (!(format & DT_EXPANDTABS) || s.find('\t') == std::string::npos) {
            p.textOut(x, y, s, opaque, bk);
        } else {
            int cx = 0;
            size_t start = 0;
            for (size_t i = 0; i <= s.size(); ++i) {
                if (i < s.size() && s[i] != '\t') continue;
                std::string seg = s.substr(start, i - start);
                p.textOut(x + cx, y, seg, opaque, bk);
                cx += gdi::TextAdvance(lay.font(), seg);
                if (i < s.size()) cx = (cx / lay.tabWidth() + 1) * lay.tabWidth();
                start = i + 1;
            }
        }
    }
    for (size_t u : line.underlined) {
        if (u >= s.size()) continue;
        int ux = x + lay.width(s.substr(0, u));
        int uw =
            gdi::TextAdvance(lay.font(), s.substr(u, CharLen(static_cast<unsigned char>(s[u]))));
        int uy = y + lay.info().ascent + 1;
        p.fillRect(ux, uy, ux + uw, uy + 1, lay.font().color);
    }
}

}  // namespace
}  // namespace gdi

using namespace gdi;

int DrawTextExA(HDC h, char* text, int len, RECT* r, UINT format, DRAWTEXTPARAMS* params) {
    auto dc = DcOf(h);
    if (!dc || !text || !r) return 0;
    const std::string original = TextOf(text, len);
    int tabChars = (format & DT_TABSTOP) ? int((format >> 8) & 0xFF) : 8;
    if (params && params->iTabLength > 0) tabChars = params->iTabLength;
    if (format & DT_TABSTOP) format &= ~0xFF00u;  // the high byte was the tab length
    Layout lay(*dc, format, tabChars);
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
                for (Line& w : Wrap(l, lay, limit)) lines.push_back(std::move(w));
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
    RegionSet clip =
        RegionSet::FromRect(dc->dx(r->left), dc->dy(r->top), dc->dx(r->right), dc->dy(r->bottom));
    const bool opaque = dc->st.bkMode == OPAQUE;
    const COLORREF bk = BkColor(*dc);
    WithPainter(
        *dc,
        [&](gdi::Painter& p) {
            p.setFont(lay.font());
            int ly = y;
            for (const Line& l : lines) {
                int w = lay.width(l.text);
                int x = (format & DT_CENTER)  ? int(box.left + box.right - w) / 2
                        : (format & DT_RIGHT) ? int(box.right) - w
                                              : int(box.left);
                DrawLine(p, lay, l, x, ly, format, opaque, bk);
                ly += lineH;
            }
        },
        (format & DT_NOCLIP) ? nullptr : &clip);
    return (format & (DT_VCENTER | DT_BOTTOM)) && (format & DT_SINGLELINE) ? drawnTo : total;
}

int DrawTextA(HDC h, const char* text, int len, RECT* r, UINT format) {
    if (!text) return 0;
    // Without DT_MODIFYSTRING the text is only read; work on a copy for the shared routine.
    std::string copy = TextOf(text, len);
    copy.push_back(0);
    int n =
        DrawTextExA(h, copy.data(), int(copy.size() - 1), r, format & ~DT_MODIFYSTRING, nullptr);
    return n;
}

BOOL GetTextMetricsA(HDC h, TEXTMETRICA* tm) {
    auto dc = DcOf(h);
    if (!dc || !tm) return FALSE_;
    const LOGFONTA& lf = CurrentFont(*dc)->lf;
    gdi::FontSpec font = SpecOf(lf);
    gdi::FontInfo fi = gdi::FontInfoOf(font);
    *tm = TEXTMETRICA{};
    tm->tmHeight = fi.height;
    tm->tmAscent = fi.ascent;
    tm->tmDescent = fi.descent;
    tm->tmInternalLeading = std::max(0, fi.height - font.pixelHeight);
    tm->tmExternalLeading = fi.leading;
    tm->tmAveCharWidth = fi.averageWidth;
    tm->tmMaxCharWidth = fi.maxWidth;
    tm->tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    tm->tmItalic = lf.lfItalic;
    tm->tmUnderlined = lf.lfUnderline;
    tm->tmStruckOut = lf.lfStrikeOut;
    tm->tmCharSet = lf.lfCharSet;
    // TMPF_FIXED_PITCH set means a variable-pitch font (the bit's meaning is inverted).
    tm->tmPitchAndFamily =
        BYTE((fi.fixedPitch ? 0 : TMPF_FIXED_PITCH) |
             (fi.scalable ? TMPF_TRUETYPE | TMPF_VECTOR : 0) | (lf.lfPitchAndFamily & 0xF0));
    return TRUE_;
}

BOOL GetTextExtentPoint32A(HDC h, const char* text, int len, SIZE* out) {
    auto dc = DcOf(h);
    if (!dc || !out || len < 0) return FALSE_;
    gdi::FontSpec font = DcFontSpec(*dc);
    std::string s = TextOf(text, len);
    out->cx = gdi::TextAdvance(font, s);
    out->cy = gdi::FontInfoOf(font).height;
    return TRUE_;
}

BOOL GetTextExtentPointA(HDC h, const char* text, int len, SIZE* out) {
    return GetTextExtentPoint32A(h, text, len, out);
}

int GetTextFaceA(HDC h, int size, char* out) {
    auto dc = DcOf(h);
    if (!dc) return 0;
    std::string face = SpecOf(CurrentFont(*dc)->lf).name;
    if (!out) return int(face.size() + 1);
    if (size <= 0) return 0;
    size_t n = std::min(face.size(), size_t(size - 1));
    std::memcpy(out, face.data(), n);
    out[n] = 0;
    return int(n);
}

BOOL IsTrueTypeFont(HDC h) {
    auto dc = DcOf(h);
    return dc && gdi::FontInfoOf(SpecOf(CurrentFont(*dc)->lf)).scalable;
}

BOOL ExtTextOutA(HDC h, int x, int y, UINT options, const RECT* r, const char* text, UINT len,
                 const int* dx) {
    auto dc = DcOf(h);
    if (!dc) return FALSE_;
    const COLORREF bk = BkColor(*dc);
    if ((options & ETO_OPAQUE) && r) {
        Brush b;
        b.color = bk;
        RasterRect(*dc, RECT{dc->dx(r->left), dc->dy(r->top), dc->dx(r->right), dc->dy(r->bottom)},
                   PATCOPY, nullptr, &b);
    }
    std::string s = TextOf(text, int(len));
    if (s.empty()) return TRUE_;
    gdi::FontSpec font = DcFontSpec(*dc);
    gdi::FontInfo fi = gdi::FontInfoOf(font);
    int w = 0;
    if (dx)
        for (UINT i = 0; i < len; ++i) w += dx[i];
    else
        w = gdi::TextAdvance(font, s);
    const UINT align = dc->st.textAlign;
    if (align & TA_UPDATECP) {
        x = dc->st.pos.x;
        y = dc->st.pos.y;
    }
    int left = x;
    if ((align & TA_CENTER) == TA_CENTER)
        left = x - w / 2;
    else if (align & TA_RIGHT)
        left = x - w;
    int top = y;
    if ((align & TA_BASELINE) == TA_BASELINE)
        top = y - fi.ascent;
    else if (align & TA_BOTTOM)
        top = y - fi.height;
    if (align & TA_UPDATECP) dc->st.pos.x = (align & TA_RIGHT) ? x - w : x + w;
    RegionSet clip;
    if ((options & ETO_CLIPPED) && r)
        clip = RegionSet::FromRect(dc->dx(r->left), dc->dy(r->top), dc->dx(r->right),
                                   dc->dy(r->bottom));
    const bool opaque = dc->st.bkMode == OPAQUE && !(options & ETO_OPAQUE);
    WithPainter(
        *dc,
        [&](gdi::Painter& p) {
            p.setFont(font);
            if (!dx) {
                p.textOut(left, top, s, opaque, bk);
                return;
            }
            // One advance per byte, as for double-byte texts: a character moves by its bytes' sum.
            int cx = left;
            for (size_t i = 0; i < s.size();) {
                size_t n = std::min(CharLen(static_cast<unsigned char>(s[i])), s.size() - i);
                int adv = 0;
                for (size_t k = 0; k < n; ++k) adv += dx[i + k];
                p.textOut(cx, top, s.substr(i, n), opaque, bk);
                cx += adv;
                i += n;
            }
        },
        (options & ETO_CLIPPED) && r ? &clip : nullptr);
    return TRUE_;
}

BOOL TextOutA(HDC h, int x, int y, const char* text, int len) {
    if (len < 0) return FALSE_;
    return ExtTextOutA(h, x, y, 0, nullptr, text, UINT(len), nullptr);
}
