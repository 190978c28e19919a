// Stateless drawing routines of the styled layer: bevels and borders, drop shadows and
// arrows, bitmap placement (centred, stretched, tiled, transparent), embossed and disabled
// images, gradient colour tables, palettes and fills, rectangle alignment and push-button
// frames in the classic looks and through the visual-styles interface.
#pragma once

#include <vector>

#include "controls/styled/styGraph.h"
#include "platform/gdi/gdi.h"
#include "platform/vcl/controls.h"
#include "platform/vcl/graphics.h"

using TStyColorList = std::vector<TColor>;

// Frames and borders. Each shrinks `r` by what it drew.
bool DrawBevel(TCanvas* c, TRect& r, TStyBevelStyle style, TColor light, TColor shadow, int width);
bool DrawShadowFrame(TCanvas* c, TRect& r, TColor frameColor, bool transparent, int frameWidth,
                     int depth, TColor background, TColor shadowColor);
int BorderWidthOf(TStyBorderStyle style);
bool DrawBorder(TCanvas* c, TRect& r, TStyBorderStyle style, UINT extraFlags);
// A filled triangle of horizontal lines; sizes 2..15 only.
void DrawDropArrow(TCanvas* c, int x, int y, bool enabled, bool down, TColor color, int size);

// Bitmaps.
void PrepareBitmap(TBitmap* bmp, const TRect& r, TColor color);
void MakeEmbossedBitmap(TBitmap* dest, TBitmap* source);
// Image black where it is transparent, mask white there and black elsewhere (monochrome).
void BuildMaskedImage(TCanvas* source, const TRect& sr, TBitmap* mask, TColor transparent,
                      TBitmap* image);
void MakeMask(TBitmap* source, TBitmap* mask, TBitmap* image, TColor transparent);
// The central placement routine: `extra` is the source bitmap for flag 128 and the mask
// for flag 256. `drawn` receives the rectangle covered (all of `dest` for an empty placement).
void DrawBitmapInRect(TCanvas* dest, const TRect& dr, TCanvas* source, const TRect& sr,
                      uint16_t flags, TColor color, HPALETTE palette, TBitmap* extra, TRect* drawn);
// `offset`: x in the low word, y in the high word (for the clip rectangle with flag 1).
void DrawBitmapClipped(TCanvas* c, const TRect& r, TBitmap* bmp, TColor transparent, DWORD offset,
                       uint16_t flags);
// `drawn` is empty when nothing was drawn.
void DrawBitmapToRect(TCanvas* c, const TRect& r, TBitmap* bmp, TRect* drawn, TColor transparent,
                      uint16_t flags);
void DrawDisabledBitmap(TBitmap* dest, TBitmap* source, int x, int y);

// Colours.
TColor BlendColor(TColor a, TColor b, int step, int steps);
void MakeGradientColors(TColor start, TColor end, int count, bool clearFirst, TStyColorList* list);
// The caller owns the palette; 0 for a missing or empty list.
HPALETTE CreateGradientPalette(const TStyColorList* list);
void FillGradient(TCanvas* c, const TRect& r, TStyGradientStyle style, DWORD offset, uint16_t flags,
                  HPALETTE palette, const TStyColorList* list);

// Layout.
TRect AlignRect(TStyAlignment align, const TRect& inner, const TRect& outer);

// Push-button frames; `r` becomes the content rectangle.
TStyUserButtonStyle ResolveButtonStyle(TStyUserButtonStyle style);
bool DrawButtonFrame(TWinControl* button, TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style,
                     uint8_t state, uint16_t frameFlags, TColor face);
bool DrawClassicButtonFrame(TCanvas* c, bool hot, TRect& r, TStyUserButtonStyle style,
                            uint8_t state, uint16_t frameFlags, TColor face);
bool IsTrueTypeFont(TFont* font);

// The class library's "new look" of buttons (Windows 95 and later); set at start-up.
extern bool StyNewStyleControls;

// Conversions between the class library's rectangles and the platform's.
inline RECT ToRECT(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
inline TRect FromRECT(const RECT& r) { return Rect(r.left, r.top, r.right, r.bottom); }
inline bool RectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
