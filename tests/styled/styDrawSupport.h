// Small bitmaps for the drawing tests: made, filled and read back pixel by pixel.
#pragma once

#include <set>
#include <string>

#include "platform/vcl/graphics.h"

struct TestBitmap {
    TBitmap bmp;
    TestBitmap(int w, int h, TColor fill = clWhite) {
        bmp.SetSize(w, h);
        Fill(Rect(0, 0, w, h), fill);
    }
    void Fill(const TRect& r, TColor c) {
        HBRUSH b = CreateSolidBrush(ColorToRGB(c));
        RECT rc{r.Left, r.Top, r.Right, r.Bottom};
        FillRect(bmp.Canvas()->Handle(), &rc, b);
        DeleteObject(b);
    }
    TCanvas* C() { return bmp.Canvas(); }
    COLORREF At(int x, int y) { return GetPixel(bmp.Canvas()->Handle(), x, y); }
    // The rows as text, one character per pixel from the legend (others '?').
    std::string Row(int y, const std::string& legend, const std::vector<TColor>& colors) {
        std::string s;
        for (int x = 0; x < bmp.Width(); ++x) {
            char ch = '?';
            for (size_t i = 0; i < colors.size(); ++i)
                if (At(x, y) == ColorToRGB(colors[i])) ch = legend[i];
            s += ch;
        }
        return s;
    }
    std::set<COLORREF> Colors() {
        std::set<COLORREF> s;
        for (int y = 0; y < bmp.Height(); ++y)
            for (int x = 0; x < bmp.Width(); ++x) s.insert(At(x, y));
        return s;
    }
};

inline COLORREF RGBOf(TColor c) { return ColorToRGB(c); }
