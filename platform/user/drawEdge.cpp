// The 3D edges and frame controls of the classic look, drawn pixel for pixel.
#include "platform/user/paint.h"

#include <algorithm>

namespace {

bool IsDc(HDC dc) {
    const DWORD type = GetObjectType(dc);
    return type == OBJ_DC || type == OBJ_MEMDC;
}

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    if (r <= l || b <= t) return;
    HBRUSH br = CreateSolidBrush(c);
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, br);
    DeleteObject(br);
}

void Px(HDC dc, int x, int y, COLORREF c) { Fill(dc, x, y, x + 1, y + 1, c); }

// One ring of an edge: top-left colour on the left column and top row, bottom-right colour on
// the right column and bottom row (which own the corners they share).
void Ring(HDC dc, const RECT& r, UINT sides, COLORREF tl, COLORREF br) {
    if (sides & BF_LEFT) Fill(dc, r.left, r.top, r.left + 1, r.bottom - 1, tl);
    if (sides & BF_TOP) Fill(dc, r.left, r.top, r.right - 1, r.top + 1, tl);
    if (sides & BF_RIGHT) Fill(dc, r.right - 1, r.top, r.right, r.bottom, br);
    if (sides & BF_BOTTOM) Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, br);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF c) {
    HPEN pen = CreatePen(PS_SOLID, 1, c);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

BOOL DrawEdge(HDC dc, RECT* rc, UINT edge, UINT flags) {
    if (!rc || !IsDc(dc)) return FALSE_;
    RECT r = *rc;
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    COLORREF oTL = 0, oBR = 0, iTL = 0, iBR = 0;
    if (flags & BF_MONO) {
        oTL = oBR = GetSysColor(COLOR_WINDOWFRAME);
        iTL = iBR = GetSysColor(COLOR_WINDOW);
    } else if (flags & BF_FLAT) {
        oTL = oBR = GetSysColor(COLOR_3DSHADOW);
        iTL = iBR = GetSysColor(COLOR_3DFACE);
    } else {
        if (outer & BDR_RAISEDOUTER) {
            oTL = GetSysColor(COLOR_3DLIGHT);
            oBR = GetSysColor(COLOR_3DDKSHADOW);
        } else if (outer & BDR_SUNKENOUTER) {
            oTL = GetSysColor(COLOR_3DSHADOW);
            oBR = GetSysColor(COLOR_3DHILIGHT);
        }
        if (inner & BDR_RAISEDINNER) {
            iTL = GetSysColor(COLOR_3DHILIGHT);
            iBR = GetSysColor(COLOR_3DSHADOW);
        } else if (inner & BDR_SUNKENINNER) {
            iTL = GetSysColor(COLOR_3DDKSHADOW);
            iBR = GetSysColor(COLOR_3DLIGHT);
        }
        // Soft edges put the brighter (or darker) colour outside.
        if ((flags & BF_SOFT) && outer && inner) std::swap(oTL, iTL);
    }
    if (flags & BF_DIAGONAL) {
        // A diagonal line across the box, in the colour of the sides it faces.
        int w = r.right - r.left, h = r.bottom - r.top, n = std::min(w, h);
        UINT d = flags & 0x1F;
        COLORREF c =
            outer ? ((d == BF_DIAGONAL_ENDTOPLEFT || d == BF_DIAGONAL_ENDBOTTOMRIGHT) ? oBR : oTL)
                  : iTL;
        if (d == BF_DIAGONAL_ENDTOPRIGHT)
            Line(dc, r.left, r.bottom - 1, r.left + n, r.bottom - 1 - n, c);
        else if (d == BF_DIAGONAL_ENDTOPLEFT)
            Line(dc, r.right - 1, r.bottom - 1, r.right - 1 - n, r.bottom - 1 - n, c);
        else if (d == BF_DIAGONAL_ENDBOTTOMLEFT)
            Line(dc, r.right - 1, r.top, r.right - 1 - n, r.top + n, c);
        else
            Line(dc, r.left, r.top, r.left + n, r.top + n, c);
        return TRUE_;
    }
    const UINT sides = flags & BF_RECT;
    int grow = 0;
    if (outer) {
        Ring(dc, r, sides, oTL, oBR);
        grow = 1;
    }
    RECT in = r;
    auto shrink = [&](RECT& x) {
        if (sides & BF_LEFT) ++x.left;
        if (sides & BF_TOP) ++x.top;
        if (sides & BF_RIGHT) --x.right;
        if (sides & BF_BOTTOM) --x.bottom;
    };
    if (outer) shrink(in);
    if (inner) {
        Ring(dc, in, sides, iTL, iBR);
        shrink(in);
        ++grow;
    }
    if (flags & BF_MIDDLE)
        Fill(dc, in.left, in.top, in.right, in.bottom,
             GetSysColor(flags & BF_MONO ? COLOR_WINDOW : COLOR_3DFACE));
    if (flags & BF_ADJUST) *rc = in;
    (void)grow;
    return TRUE_;
}

namespace {

// A square of side `n` centred in the rectangle.
RECT Square(const RECT& r, int n) {
    int l = r.left + (r.right - r.left - n) / 2, t = r.top + (r.bottom - r.top - n) / 2;
    return RECT{l, t, l + n, t + n};
}

// The classic 7x7 check mark.
void CheckMark(HDC dc, int x, int y, COLORREF c) {
    static const char* rows[7] = {"......X", ".....XX", "X...XXX", "XX.XXX.",
                                  "XXXXX..", ".XXX...", "..X...."};
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            if (rows[j][i] == 'X') Px(dc, x + i, y + j, c);
}

// A filled triangle pointing `dir` (0 up, 1 down, 2 left, 3 right) centred at cx, cy.
void Arrow(HDC dc, int cx, int cy, int size, int dir, COLORREF c) {
    for (int i = 0; i < size; ++i) {
        int half = i;
        switch (dir) {
            case 0:
                Fill(dc, cx - half, cy - size / 2 + i, cx + half + 1, cy - size / 2 + i + 1, c);
                break;
            case 1:
                Fill(dc, cx - half, cy + size / 2 - i, cx + half + 1, cy + size / 2 - i + 1, c);
                break;
            case 2:
                Fill(dc, cx - size / 2 + i, cy - half, cx - size / 2 + i + 1, cy + half + 1, c);
                break;
            default:
                Fill(dc, cx + size / 2 - i, cy - half, cx + size / 2 - i + 1, cy + half + 1, c);
                break;
        }
    }
}

// Draws a glyph in the text colour, or embossed grey for inactive controls.
template <class F>
void Glyph(UINT state, F draw) {
    if (state & DFCS_INACTIVE) {
        draw(1, GetSysColor(COLOR_3DHILIGHT));
        draw(0, GetSysColor(COLOR_3DSHADOW));
    } else {
        draw(0, GetSysColor(COLOR_BTNTEXT));
    }
}

void ButtonFace(HDC dc, RECT& r, UINT state) {
    UINT flags = BF_RECT | BF_MIDDLE | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                 ((state & DFCS_MONO) ? BF_MONO : 0);
    if (state & (DFCS_PUSHED | DFCS_CHECKED))
        DrawEdge(dc, &r, (state & DFCS_FLAT) ? BDR_SUNKENOUTER : EDGE_SUNKEN, flags);
    else
        DrawEdge(dc, &r, EDGE_RAISED, flags | BF_SOFT);
}

void CheckBox(HDC dc, const RECT& rc, UINT state) {
    RECT r = Square(rc, std::min<int>(13, std::min(rc.right - rc.left, rc.bottom - rc.top)));
    UINT flags = BF_RECT | BF_ADJUST | ((state & DFCS_FLAT) ? BF_FLAT : 0) |
                 ((state & DFCS_MONO) ? BF_MONO : 0);
    DrawEdge(dc, &r, EDGE_SUNKEN, flags);
    bool grey = state & (DFCS_PUSHED | DFCS_INACTIVE);
    Fill(dc, r.left, r.top, r.right, r.bottom, GetSysColor(grey ? COLOR_3DFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED) {
        COLORREF c =
            GetSysColor((state & DFCS_INACTIVE) || (state & DFCS_BUTTON3STATE) ? COLOR_GRAYTEXT
                                                                               : COLOR_WINDOWTEXT);
        CheckMark(dc, r.left + (r.right - r.left - 7) / 2, r.top + (r.bottom - r.top - 7) / 2, c);
    }
}

void Radio(HDC dc, const RECT& rc, UINT state) {
    int n = std::min<int>(12, std::min(rc.right - rc.left, rc.bottom - rc.top));
    RECT r = Square(rc, n);
    if (state & (DFCS_BUTTONRADIOMASK & ~DFCS_BUTTONRADIOIMAGE)) {
        // The mask: black where the image is, white around it.
        Fill(dc, rc.left, rc.top, rc.right, rc.bottom, 0xFFFFFF);
        HGDIOBJ ob = SelectObject(dc, GetStockObject(BLACK_BRUSH)),
                op = SelectObject(dc, GetStockObject(BLACK_PEN));
        Ellipse(dc, r.left, r.top, r.right, r.bottom);
        SelectObject(dc, ob);
        SelectObject(dc, op);
        return;
    }
    auto arcs = [&](int inset, COLORREF tl, COLORREF br) {
        HPEN p1 = CreatePen(PS_SOLID, 1, tl), p2 = CreatePen(PS_SOLID, 1, br);
        HGDIOBJ old = SelectObject(dc, p1);
        int l = r.left + inset, t = r.top + inset, rr = r.right - inset, b = r.bottom - inset;
        Arc(dc, l, t, rr, b, rr, t, l, b);  // upper-left half
        SelectObject(dc, p2);
        Arc(dc, l, t, rr, b, l, b, rr, t);  // lower-right half
        SelectObject(dc, old);
        DeleteObject(p1);
        DeleteObject(p2);
    };
    bool grey = state & (DFCS_PUSHED | DFCS_INACTIVE);
    HBRUSH fill = CreateSolidBrush(GetSysColor(grey ? COLOR_3DFACE : COLOR_WINDOW));
    HGDIOBJ ob = SelectObject(dc, fill), op = SelectObject(dc, GetStockObject(NULL_PEN));
    Ellipse(dc, r.left + 1, r.top + 1, r.right, r.bottom);
    SelectObject(dc, op);
    SelectObject(dc, ob);
    DeleteObject(fill);
    arcs(0, GetSysColor(COLOR_3DSHADOW), GetSysColor(COLOR_3DHILIGHT));
    arcs(1, GetSysColor(COLOR_3DDKSHADOW), GetSysColor(COLOR_3DLIGHT));
    if (state & DFCS_CHECKED) {
        COLORREF c = GetSysColor(state & DFCS_INACTIVE ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
        int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        Fill(dc, cx - 1, cy - 2, cx + 1, cy + 2, c);
        Fill(dc, cx - 2, cy - 1, cx + 2, cy + 1, c);
    }
}

void CaptionGlyph(HDC dc, const RECT& r, UINT kind, UINT state) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int s = std::max(4, std::min(w, h) - 6);
    int l = r.left + (w - s) / 2, t = r.top + (h - s) / 2;
    if (state & DFCS_PUSHED) {
        ++l;
        ++t;
    }
    Glyph(state, [&](int o, COLORREF c) {
        int x = l + o, y = t + o;
        switch (kind) {
            case DFCS_CAPTIONCLOSE:
                for (int i = 0; i < s; ++i) {
                    Fill(dc, x + i, y + i, x + i + 2, y + i + 1, c);
                    Fill(dc, x + s - 2 - i, y + i, x + s - i, y + i + 1, c);
                }
                break;
            case DFCS_CAPTIONMIN:
                Fill(dc, x + 1, y + s - 2, x + s - 2, y + s, c);
                break;
            case DFCS_CAPTIONMAX: {
                RECT box{x, y, x + s, y + s};
                HBRUSH b = CreateSolidBrush(c);
                FrameRect(dc, &box, b);
                DeleteObject(b);
                Fill(dc, x, y + 1, x + s, y + 2, c);
                break;
            }
            case DFCS_CAPTIONRESTORE: {
                int k = s * 2 / 3;
                HBRUSH b = CreateSolidBrush(c);
                RECT back{x + s - k, y, x + s, y + k}, front{x, y + s - k, x + k, y + s};
                FrameRect(dc, &back, b);
                Fill(dc, front.left, front.top, front.right, front.bottom,
                     GetSysColor(COLOR_3DFACE));
                FrameRect(dc, &front, b);
                Fill(dc, front.left, front.top + 1, front.right, front.top + 2, c);
                DeleteObject(b);
                break;
            }
            default: {  // help: a question mark
                COLORREF old = SetTextColor(dc, c);
                int mode = SetBkMode(dc, TRANSPARENT);
                RECT tr{x, y, x + s, y + s};
                DrawTextA(dc, "?", 1, &tr, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
                SetBkMode(dc, mode);
                SetTextColor(dc, old);
            }
        }
    });
}

}  // namespace

BOOL DrawFrameControl(HDC dc, RECT* rc, UINT type, UINT state) {
    if (!rc || !IsDc(dc)) return FALSE_;
    RECT r = *rc;
    const UINT kind = state & 0xFF;
    switch (type) {
        case DFC_BUTTON:
            if (kind & DFCS_BUTTONPUSH) {
                ButtonFace(dc, r, state);
                if (state & DFCS_ADJUSTRECT) *rc = r;
            } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
                Radio(dc, r, state);
            } else {
                CheckBox(dc, r, state);
            }
            return TRUE_;
        case DFC_SCROLL: {
            if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
                Fill(dc, r.left, r.top, r.right, r.bottom, GetSysColor(COLOR_3DFACE));
                for (int i = 2; i < std::min(r.right - r.left, r.bottom - r.top); i += 4) {
                    Line(dc, r.right - 1, r.bottom - 1 - i, r.right - 1 - i, r.bottom - 1,
                         GetSysColor(COLOR_3DHILIGHT));
                    Line(dc, r.right - 1, r.bottom - i, r.right - i, r.bottom - 1 + 1,
                         GetSysColor(COLOR_3DSHADOW));
                }
                return TRUE_;
            }
            ButtonFace(dc, r, state);
            int w = r.right - r.left, h = r.bottom - r.top;
            int size = std::max(2, (std::min(w, h) + 1) / 3);
            int cx = r.left + w / 2 + ((state & DFCS_PUSHED) ? 1 : 0),
                cy = r.top + h / 2 + ((state & DFCS_PUSHED) ? 1 : 0);
            int dir = kind == DFCS_SCROLLUP      ? 0
                      : kind == DFCS_SCROLLLEFT  ? 2
                      : kind == DFCS_SCROLLRIGHT ? 3
                                                 : 1;
            Glyph(state, [&](int o, COLORREF c) { Arrow(dc, cx + o, cy + o, size, dir, c); });
            return TRUE_;
        }
        case DFC_CAPTION:
            ButtonFace(dc, r, state);
            CaptionGlyph(dc, *rc, kind, state);
            return TRUE_;
        case DFC_MENU: {
            // Menu marks are black on white, to be used as masks.
            Fill(dc, r.left, r.top, r.right, r.bottom, 0xFFFFFF);
            int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
            if (kind == DFCS_MENUCHECK)
                CheckMark(dc, cx - 3, cy - 3, 0);
            else if (kind == DFCS_MENUBULLET) {
                Fill(dc, cx - 2, cy - 1, cx + 2, cy + 1, 0);
                Fill(dc, cx - 1, cy - 2, cx + 1, cy + 2, 0);
            } else
                Arrow(dc, cx, cy, 4, kind == DFCS_MENUARROWRIGHT ? 2 : 3, 0);
            return TRUE_;
        }
        default:
            return FALSE_;
    }
}
