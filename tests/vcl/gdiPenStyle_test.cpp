// Broken pen styles as Windows draws them: a one-pixel pen dashes or dots, a wider one made
// with CreatePen draws solid whatever its style, through the GDI and through a canvas alike.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "gdi_support.h"
#include "platform/vcl/graphics.h"

namespace {

// Columns along a horizontal line at y = 5 that nothing was drawn in.
int GapsAlongTheLine(const std::function<COLORREF(int, int)>& pixel) {
    int gaps = 0;
    for (int x = 6; x < 70; ++x) {
        bool inked = false;
        for (int y = 2; y <= 8; ++y) inked = inked || (pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
        if (!inked) ++gaps;
    }
    return gaps;
}

struct Row {
    const char* what;
    int style, width;
    bool broken;  // whether the line shows gaps
};
const Row kRows[] = {
    {"dashes one pixel wide", PS_DASH, 1, true},
    {"dots one pixel wide", PS_DOT, 1, true},
    {"dashes two pixels wide", PS_DASH, 2, false},
    {"dots two pixels wide", PS_DOT, 2, false},
    {"dash-dot three pixels wide", PS_DASHDOT, 3, false},
    {"dash-dot-dot two pixels wide", PS_DASHDOTDOT, 2, false},
    {"solid two pixels wide", PS_SOLID, 2, false},
};

}  // namespace

TEST(PenStyles, AWidePenDrawsSolidThroughTheGdi) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.what);
        MemDc m(80, 10);
        m.fill(0xFFFFFF);
        HPEN pen = CreatePen(r.style, r.width, 0);
        HGDIOBJ old = SelectObject(m.dc, pen);
        MoveToEx(m.dc, 2, 5, nullptr);
        LineTo(m.dc, 78, 5);
        SelectObject(m.dc, old);
        // The pen still says what it was made with.
        LOGPEN lp;
        ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), int(sizeof lp));
        EXPECT_EQ(int(lp.lopnStyle), r.style);
        DeleteObject(pen);
        const int gaps = GapsAlongTheLine([&](int x, int y) { return m.at(x, y); });
        if (r.broken)
            EXPECT_GT(gaps, 4);
        else
            EXPECT_EQ(gaps, 0);
    }
}

TEST(PenStyles, AWidePenDrawsSolidOnACanvas) {
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.what);
        TBitmap bmp;
        bmp.SetSize(80, 10);
        TCanvas* c = bmp.Canvas();
        c->Brush()->Color = clWhite;
        c->FillRect(Rect(0, 0, 80, 10));
        c->Pen()->Color = clBlack;
        c->Pen()->Style = TPenStyle(r.style);
        c->Pen()->Width = r.width;
        c->MoveTo(2, 5);
        c->LineTo(78, 5);
        const int gaps = GapsAlongTheLine([&](int x, int y) { return COLORREF(c->Pixels(x, y)); });
        if (r.broken)
            EXPECT_GT(gaps, 4);
        else
            EXPECT_EQ(gaps, 0);
    }
}
