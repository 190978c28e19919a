// Small helpers for the GDI tests: memory DCs over fresh bitmaps, filled and read back.
#pragma once

#include <gtest/gtest.h>

#include "platform/gdi/gdi.h"

struct MemDc {
    HDC dc = nullptr;
    HBITMAP bmp = nullptr;
    HGDIOBJ old = nullptr;
    MemDc(int w, int h, int bpp = 32) {
        dc = CreateCompatibleDC(nullptr);
        bmp = CreateBitmap(w, h, 1, UINT(bpp), nullptr);
        old = SelectObject(dc, bmp);
    }
    ~MemDc() {
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void fill(COLORREF c) {
        HBRUSH b = CreateSolidBrush(c);
        RECT r{0, 0, 1000, 1000};
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc, x, y); }
};
