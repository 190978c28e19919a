// Text on device contexts: TextOutA, ExtTextOutA, metrics and measuring (the window
// manager's DrawTextA is made of these).
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdiObjects.h"
#include "platform/rtl/utf8.h"

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

// Bytes of the character at s[i].
size_t CharLen(const std::string& s, size_t i) { return Utf8CharEnd(s, i) - i; }

COLORREF BkColor(const Dc& dc) {
    COLORREF c = ResolveColor(dc, dc.st.bk);
    return dc.monochrome() ? MonoColor(c) : c;
}

}  // namespace
}  // namespace gdi

using namespace gdi;

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
                size_t n = std::min(CharLen(s, i), s.size() - i);
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
