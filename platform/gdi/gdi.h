// The Windows graphics device interface as the control layers call it: device contexts over
// the backing images of windows and bitmaps, pens, brushes, fonts, palettes, bitmaps and DIBs,
// blits with raster operations, regions, text and the 3D drawing helpers. GDI handles are
// counted ids in a table, so a deleted handle is detectably invalid.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win/wintypes.h"

struct HGDIOBJ__ {};
using HGDIOBJ = HGDIOBJ__*;
struct HDC__ : HGDIOBJ__ {};
struct HBITMAP__ : HGDIOBJ__ {};
struct HPEN__ : HGDIOBJ__ {};
struct HBRUSH__ : HGDIOBJ__ {};
struct HFONT__ : HGDIOBJ__ {};
struct HPALETTE__ : HGDIOBJ__ {};
struct HRGN__ : HGDIOBJ__ {};
using HDC = HDC__*;
using HBITMAP = HBITMAP__*;
using HPEN = HPEN__*;
using HBRUSH = HBRUSH__*;
using HFONT = HFONT__*;
using HPALETTE = HPALETTE__*;
using HRGN = HRGN__*;
using SHORT = int16_t;
using LPVOID = void*;

struct RECT {
    LONG left = 0, top = 0, right = 0, bottom = 0;
};
struct POINT {
    LONG x = 0, y = 0;
};
struct SIZE {
    LONG cx = 0, cy = 0;
};

constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return COLORREF(r) | (COLORREF(g) << 8) | (COLORREF(b) << 16);
}
constexpr BYTE GetRValue(COLORREF c) { return BYTE(c & 0xFF); }
constexpr BYTE GetGValue(COLORREF c) { return BYTE((c >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF c) { return BYTE((c >> 16) & 0xFF); }
constexpr COLORREF PALETTEINDEX(WORD i) { return 0x01000000u | i; }
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) { return 0x02000000u | RGB(r, g, b); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr int GDI_ERROR = -1;
inline HGDIOBJ const HGDI_ERROR = reinterpret_cast<HGDIOBJ>(intptr_t(-1));

// ---------------------------------------------------------------- rectangles
BOOL SetRect(RECT* r, int l, int t, int rr, int b);
BOOL SetRectEmpty(RECT* r);
BOOL IsRectEmpty(const RECT* r);
BOOL OffsetRect(RECT* r, int dx, int dy);
BOOL InflateRect(RECT* r, int dx, int dy);
BOOL IntersectRect(RECT* out, const RECT* a, const RECT* b);
BOOL UnionRect(RECT* out, const RECT* a, const RECT* b);
BOOL PtInRect(const RECT* r, POINT p);
BOOL EqualRect(const RECT* a, const RECT* b);
BOOL CopyRect(RECT* dst, const RECT* src);

// ---------------------------------------------------------------- objects
constexpr int OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7,
              OBJ_REGION = 8;
constexpr int OBJ_MEMDC = 10;
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4,
              NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10,
              ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15,
              SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
HGDIOBJ GetStockObject(int which);
// Stock objects are never deleted; deleting one still answers TRUE, as Windows does.
BOOL DeleteObject(HGDIOBJ h);
DWORD GetObjectType(HGDIOBJ h);
int GetObjectA(HGDIOBJ h, int size, void* out);

// Pens
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5,
              PS_INSIDEFRAME = 6;
constexpr int PS_STYLE_MASK = 0xF, PS_ENDCAP_FLAT = 0x200, PS_JOIN_MITER = 0x2000,
              PS_GEOMETRIC = 0x10000;
constexpr int PS_COSMETIC = 0;
struct LOGPEN {
    UINT lopnStyle = 0;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};
HPEN CreatePen(int style, int width, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* lp);
// The line style a pen of that style and width draws with (PS_SOLID ... PS_NULL). A cosmetic
// pen wider than one pixel cannot be broken: it draws solid whatever dashes it was made with;
// a geometric one keeps them. The inside-frame style draws solid lines.
int PenDrawnStyle(int style, int width);

// Brushes
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4,
              HS_DIAGCROSS = 5;
struct LOGBRUSH {
    UINT lbStyle = 0;
    COLORREF lbColor = 0;
    uintptr_t lbHatch = 0;
};
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int hatch, COLORREF color);
// An 8x8 (or larger) bitmap tiled from the brush origin; monochrome patterns take the text
// colour for 0 bits and the background colour for 1 bits.
HBRUSH CreatePatternBrush(HBITMAP bmp);
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb);
HBRUSH GetSysColorBrush(int index);
BOOL SetBrushOrgEx(HDC dc, int x, int y, POINT* old);
COLORREF SetDCBrushColor(HDC dc, COLORREF c);
COLORREF SetDCPenColor(HDC dc, COLORREF c);

// Fonts
constexpr int LF_FACESIZE = 32;
constexpr int FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_MEDIUM = 500,
              FW_SEMIBOLD = 600;
constexpr int FW_BOLD = 700, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, GB2312_CHARSET = 134,
               OEM_CHARSET = 255;
constexpr BYTE OUT_DEFAULT_PRECIS = 0, OUT_TT_PRECIS = 4, CLIP_DEFAULT_PRECIS = 0,
               DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0,
               FF_ROMAN = 0x10, FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
struct LOGFONTA {
    LONG lfHeight = 0, lfWidth = 0, lfEscapement = 0, lfOrientation = 0, lfWeight = 0;
    BYTE lfItalic = 0, lfUnderline = 0, lfStrikeOut = 0, lfCharSet = 0, lfOutPrecision = 0,
         lfClipPrecision = 0, lfQuality = 0, lfPitchAndFamily = 0;
    char lfFaceName[LF_FACESIZE] = {};
};
HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face);
HFONT CreateFontIndirectA(const LOGFONTA* lf);

// Palettes
struct PALETTEENTRY {
    BYTE peRed = 0, peGreen = 0, peBlue = 0, peFlags = 0;
};
struct LOGPALETTE {
    WORD palVersion = 0x300;
    WORD palNumEntries = 0;
    PALETTEENTRY palPalEntry[1];
};
HPALETTE CreatePalette(const LOGPALETTE* lp);
HPALETTE SelectPalette(HDC dc, HPALETTE pal, BOOL forceBackground);
UINT RealizePalette(HDC dc);
UINT GetPaletteEntries(HPALETTE pal, UINT start, UINT count, PALETTEENTRY* out);
UINT SetPaletteEntries(HPALETTE pal, UINT start, UINT count, const PALETTEENTRY* in);
UINT GetNearestPaletteIndex(HPALETTE pal, COLORREF c);
COLORREF GetNearestColor(HDC dc, COLORREF c);

// ---------------------------------------------------------------- device contexts
// A DC over a window's backing image (client area); GetWindowDC covers the whole window.
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
HWND WindowFromDC(HDC dc);
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);  // a positive level, or -1 for the last saved state
HGDIOBJ SelectObject(HDC dc, HGDIOBJ obj);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
COLORREF SetTextColor(HDC dc, COLORREF c);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF c);
COLORREF GetBkColor(HDC dc);
constexpr int TRANSPARENT = 1, OPAQUE = 2;
int SetBkMode(HDC dc, int mode);
int GetBkMode(HDC dc);
constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4,
              R2_MASKPENNOT = 5, R2_NOT = 6;
constexpr int R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11,
              R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
int SetROP2(HDC dc, int rop2);
int GetROP2(HDC dc);
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4,
              STRETCH_ANDSCANS = 1, STRETCH_DELETESCANS = 3;
int SetStretchBltMode(HDC dc, int mode);
int GetStretchBltMode(HDC dc);
constexpr int ALTERNATE = 1, WINDING = 2;
int SetPolyFillMode(HDC dc, int mode);
COLORREF GetPixel(HDC dc, int x, int y);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF c);
BOOL SetPixelV(HDC dc, int x, int y, COLORREF c);
// Window origin/viewport origin: logical (0,0) maps to device (-windowOrg + viewportOrg).
BOOL SetWindowOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetWindowOrgEx(HDC dc, POINT* out);
BOOL SetViewportOrgEx(HDC dc, int x, int y, POINT* old);
BOOL GetViewportOrgEx(HDC dc, POINT* out);
BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old);
BOOL LPtoDP(HDC dc, POINT* pts, int count);
BOOL DPtoLP(HDC dc, POINT* pts, int count);
constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24,
              RASTERCAPS = 38, LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90, SIZEPALETTE = 104;
constexpr int RC_PALETTE = 0x100;
int GetDeviceCaps(HDC dc, int index);
BOOL GdiFlush();

// ---------------------------------------------------------------- bitmaps and DIBs
struct BITMAP {
    LONG bmType = 0, bmWidth = 0, bmHeight = 0, bmWidthBytes = 0;
    WORD bmPlanes = 0, bmBitsPixel = 0;
    LPVOID bmBits = nullptr;
};
struct RGBQUAD {
    BYTE rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
};
struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0, biHeight = 0;
    WORD biPlanes = 1, biBitCount = 0;
    DWORD biCompression = 0, biSizeImage = 0;
    LONG biXPelsPerMeter = 0, biYPelsPerMeter = 0;
    DWORD biClrUsed = 0, biClrImportant = 0;
};
// The colour table follows the header; callers allocate room for as many entries as they need.
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {};
    HANDLE dshSection = nullptr;
    DWORD dsOffset = 0;
};
constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;
// Bytes in one DWORD-aligned DIB row.
constexpr LONG DibRowBytes(LONG width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitCount,
                     const void* bits);  // word-aligned rows
HBITMAP CreateBitmapIndirect(const BITMAP* bm);
HBITMAP CreateCompatibleBitmap(HDC dc, int w, int h);
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section,
                         DWORD offset);
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* bih, DWORD init, const void* bits,
                       const BITMAPINFO* bmi, UINT usage);
constexpr DWORD CBM_INIT = 4;
// With bits null, fills in the header (size and, for 16/32 bits, nothing else) and returns the
// height.
int GetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, void* bits, BITMAPINFO* bmi, UINT usage);
int SetDIBits(HDC dc, HBITMAP bmp, UINT start, UINT lines, const void* bits, const BITMAPINFO* bmi,
              UINT usage);
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int sx, int sy, UINT start,
                      UINT lines, const void* bits, const BITMAPINFO* bmi, UINT usage);
int StretchDIBits(HDC dc, int x, int y, int w, int h, int sx, int sy, int sw, int sh,
                  const void* bits, const BITMAPINFO* bmi, UINT usage, DWORD rop);
LONG GetBitmapBits(HBITMAP bmp, LONG size, void* out);  // word-aligned rows, top-down
LONG SetBitmapBits(HBITMAP bmp, DWORD size, const void* in);
BOOL GetBitmapDimensionEx(HBITMAP bmp, SIZE* out);
UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* out);
UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* in);

// ---------------------------------------------------------------- raster operations
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6,
                SRCINVERT = 0x00660046, SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
                MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
// The ternary raster operation whose truth table is `index` (bits: P=4, S=2, D=1).
constexpr DWORD MAKEROP3(BYTE index) { return DWORD(index) << 16; }
constexpr DWORD MAKEROP4(DWORD fore, DWORD back) { return ((back << 8) & 0xFF000000u) | fore; }
BOOL BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop);
BOOL StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                DWORD rop);
BOOL PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop);
// Where the monochrome mask has 1 bits the foreground ROP applies, else the background ROP.
BOOL MaskBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, HBITMAP mask, int mx,
             int my, DWORD rop4);
// Copies every source pixel except those of the transparent colour (msimg32's call).
BOOL TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                    UINT transparent);

// ---------------------------------------------------------------- regions
constexpr int ERROR_REGION = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr DWORD RDH_RECTANGLES = 1;
struct RGNDATAHEADER {
    DWORD dwSize = 32, iType = RDH_RECTANGLES, nCount = 0, nRgnSize = 0;
    RECT rcBound;
};
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};
struct XFORM {
    float eM11 = 1, eM12 = 0, eM21 = 0, eM22 = 1, eDx = 0, eDy = 0;
};
HRGN CreateRectRgn(int l, int t, int r, int b);
HRGN CreateRectRgnIndirect(const RECT* r);
HRGN CreateRoundRectRgn(int l, int t, int r, int b, int ellipseW, int ellipseH);
HRGN CreateEllipticRgn(int l, int t, int r, int b);
HRGN CreateEllipticRgnIndirect(const RECT* r);
HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode);
HRGN CreatePolyPolygonRgn(const POINT* pts, const int* counts, int polygons, int fillMode);
// `dst` must exist already; answers the kind of the result region or ERROR_REGION.
int CombineRgn(HRGN dst, HRGN a, HRGN b, int mode);
BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b);
int OffsetRgn(HRGN rgn, int dx, int dy);
BOOL PtInRegion(HRGN rgn, int x, int y);
BOOL RectInRegion(HRGN rgn, const RECT* r);
int GetRgnBox(HRGN rgn, RECT* out);
BOOL EqualRgn(HRGN a, HRGN b);
// The rectangles in y-x banded order after a 32-byte header; with out null answers the size.
DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* out);
HRGN ExtCreateRegion(const XFORM* xf, DWORD size, const RGNDATA* data);
BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h);
BOOL PaintRgn(HDC dc, HRGN rgn);
BOOL InvertRgn(HDC dc, HRGN rgn);
// Clip regions are in device coordinates; SelectClipRgn copies the region (null removes the clip).
int SelectClipRgn(HDC dc, HRGN rgn);
int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
int ExcludeClipRect(HDC dc, int l, int t, int r, int b);
int IntersectClipRect(HDC dc, int l, int t, int r, int b);
int OffsetClipRgn(HDC dc, int dx, int dy);
// 1 and a copy of the clip region in `rgn`, 0 when the DC has none, -1 on error.
int GetClipRgn(HDC dc, HRGN rgn);
int GetClipBox(HDC dc, RECT* out);
BOOL PtVisible(HDC dc, int x, int y);
BOOL RectVisible(HDC dc, const RECT* r);

// ---------------------------------------------------------------- lines and shapes
BOOL MoveToEx(HDC dc, int x, int y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* out);
BOOL LineTo(HDC dc, int x, int y);  // the end point is not drawn
BOOL Polyline(HDC dc, const POINT* pts, int count);
BOOL PolylineTo(HDC dc, const POINT* pts, DWORD count);
BOOL Polygon(HDC dc, const POINT* pts, int count);
BOOL PolyPolygon(HDC dc, const POINT* pts, const int* counts, int polygons);
BOOL Rectangle(HDC dc, int l, int t, int r, int b);
BOOL RoundRect(HDC dc, int l, int t, int r, int b, int ew, int eh);
BOOL Ellipse(HDC dc, int l, int t, int r, int b);
BOOL Arc(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2);
BOOL Pie(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2);
BOOL Chord(HDC dc, int l, int t, int r, int b, int x1, int y1, int x2, int y2);
int FillRect(HDC dc, const RECT* r, HBRUSH brush);
int FrameRect(HDC dc, const RECT* r, HBRUSH brush);
BOOL InvertRect(HDC dc, const RECT* r);
BOOL DrawFocusRect(HDC dc, const RECT* r);  // dotted, by XOR: twice restores

// ---------------------------------------------------------------- text
struct TEXTMETRICA {
    LONG tmHeight = 0, tmAscent = 0, tmDescent = 0, tmInternalLeading = 0, tmExternalLeading = 0,
         tmAveCharWidth = 0, tmMaxCharWidth = 0, tmWeight = 0, tmOverhang = 0,
         tmDigitizedAspectX = 96, tmDigitizedAspectY = 96;
    BYTE tmFirstChar = 0x20, tmLastChar = 0xFF, tmDefaultChar = 0x1F, tmBreakChar = 0x20;
    BYTE tmItalic = 0, tmUnderlined = 0, tmStruckOut = 0, tmPitchAndFamily = 0, tmCharSet = 0;
};
constexpr BYTE TMPF_FIXED_PITCH = 1, TMPF_VECTOR = 2, TMPF_TRUETYPE = 4, TMPF_DEVICE = 8;
constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6,
               TA_TOP = 0, TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
UINT SetTextAlign(HDC dc, UINT align);
// Pixels added after every character of text drawn or measured; answers the previous value.
int SetTextCharacterExtra(HDC dc, int extra);
int GetTextCharacterExtra(HDC dc);
// A path bracket: text drawn between BeginPath and EndPath is recorded as glyph outlines
// instead of being drawn; StrokePath then draws the outlines with the current pen.
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL AbortPath(HDC dc);
BOOL StrokePath(HDC dc);
UINT GetTextAlign(HDC dc);
BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* tm);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int len, SIZE* out);
BOOL GetTextExtentPointA(HDC dc, const char* text, int len, SIZE* out);
int GetTextFaceA(HDC dc, int size, char* out);
// True when the DC's font is a scalable outline font (TrueType or OpenType).
BOOL IsTrueTypeFont(HDC dc);
BOOL TextOutA(HDC dc, int x, int y, const char* text, int len);
constexpr UINT ETO_OPAQUE = 2, ETO_CLIPPED = 4;
BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* r, const char* text, UINT len,
                 const int* dx);

// ---------------------------------------------------------------- 3D edges
// Edge kinds and sides of DrawEdge (the window manager's, platform/user/paint.h) and of the
// theme's DrawThemeEdge.
constexpr UINT BDR_RAISEDOUTER = 1, BDR_SUNKENOUTER = 2, BDR_RAISEDINNER = 4, BDR_SUNKENINNER = 8,
               BDR_OUTER = 3;
constexpr UINT BDR_INNER = 0xC, BDR_RAISED = 5, BDR_SUNKEN = 0xA, EDGE_RAISED = 5,
               EDGE_SUNKEN = 0xA, EDGE_ETCHED = 6;
constexpr UINT EDGE_BUMP = 9, BF_LEFT = 1, BF_TOP = 2, BF_RIGHT = 4, BF_BOTTOM = 8, BF_TOPLEFT = 3,
               BF_BOTTOMRIGHT = 0xC;
constexpr UINT BF_RECT = 0xF, BF_DIAGONAL = 0x10, BF_DIAGONAL_ENDTOPRIGHT = 0x16,
               BF_DIAGONAL_ENDTOPLEFT = 0x13;
constexpr UINT BF_DIAGONAL_ENDBOTTOMLEFT = 0x19, BF_DIAGONAL_ENDBOTTOMRIGHT = 0x1C,
               BF_MIDDLE = 0x800, BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000;

// ---------------------------------------------------------------- system colours
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2,
              COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7,
              COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11,
              COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_3DFACE = 15,
              COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = 16, COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18,
              COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20, COLOR_3DHILIGHT = 20, COLOR_3DHIGHLIGHT = 20,
              COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
              COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
COLORREF GetSysColor(int index);

// ---------------------------------------------------------------- the class library's surfaces
// Device contexts and bitmaps over images the class library keeps (a canvas's, a bitmap's),
// so it builds them without knowing the objects behind the handles.
namespace gdi {
class Image;
struct Bitmap;  // opaque here: a bitmap's image, nominal depth and packed rows

// A device context for a canvas: the default palette selected and nothing else (the canvas
// selects its pen, brush and font) until it is pointed at the pixels it draws on.
HDC CreateCanvasDC();
// The canvas of a bitmap: the DC becomes a memory DC holding the bitmap.
void SetCanvasDCBitmap(HDC dc, HBITMAP bitmap);
// The canvas of an image (null: an image of the DC's own), its origin at `origin` of the image
// and, when `clip` is given, drawing only inside its rectangles (l, t, r, b, in device
// coordinates; none: nowhere).
void SetCanvasDCImage(HDC dc, Image* image, POINT origin, const std::vector<int>* clip);
// The image a device context draws on and the device position of its origin; null when it
// draws on none (not a DC, or its window is gone).
Image* DCImage(HDC dc, POINT* origin);

// Draws the image (stretched to `dest` when the sizes differ) with the DC's mapping and
// clip region, as its other drawing goes; `dest` in logical coordinates.
BOOL DrawImageOnDC(HDC dc, const RECT& dest, const Image& img);

// A bitmap over an image its caller keeps and outlives it; nominal depth 32, no packed rows.
std::shared_ptr<Bitmap> BitmapOver(Image& image);
// A new handle to the bitmap (deleting it leaves the bitmap to its keeper); the handle `h`
// made to refer to the bitmap instead of the one it held.
HBITMAP AddBitmapHandle(const std::shared_ptr<Bitmap>& bitmap);
void RebindBitmapHandle(HBITMAP h, const std::shared_ptr<Bitmap>& bitmap);
// The image of a bitmap handle, brought up to date with its packed rows, and its nominal
// depth; null (and 0) when the handle is no bitmap.
Image* BitmapImage(HBITMAP h, int* bpp);
// Brings the image up to date with packed rows written since; before reading or drawing it.
void UpdateBitmapImage(Bitmap& bitmap);
// The image is about to be drawn on: packed rows are refreshed from it when next handed out.
void BitmapImageChanging(Bitmap& bitmap);
// Gives the bitmap a nominal depth and, for `rowBits` other than 0, packed rows of that many
// bits per pixel holding its pixels so far: 16-bit rows in 5-6-5 bit fields when
// `bitFields`, rows of 8 bits or fewer with the palette's colours (else the default table).
void SetBitmapFormat(Bitmap& bitmap, int bpp, int rowBits, bool bitFields, HPALETTE palette);
bool HasBitmapRows(const Bitmap& bitmap);
void DropBitmapRows(Bitmap& bitmap);
// Row y (0 = the top) of the packed rows, up to date with the image, for the caller to read
// and write; null when the bitmap has none.
uint8_t* BitmapRow(Bitmap& bitmap, int y);
// The colour table of the packed rows (empty when none).
std::vector<RGBQUAD> BitmapColors(const Bitmap& bitmap);
}  // namespace gdi
