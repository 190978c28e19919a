// The brush: a change of colour, style or bitmap is told through OnChange (an equal value is
// not), and the six hatches fill with Windows' 8 x 8 cells, their gaps in the background
// colour or left alone when the background mode is transparent.
#include <gtest/gtest.h>

#include <string>

#include "platform/vcl/graphics.h"

namespace {

// The hatch cells, row by row from the brush origin: 'X' marks a line pixel.
const char* const kCells[] = {
    // bsHorizontal
    "........"
    "........"
    "........"
    "........"
    "........"
    "........"
    "........"
    "XXXXXXXX",
    // bsVertical
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X...",
    // bsFDiagonal
    "X......."
    ".X......"
    "..X....."
    "...X...."
    "....X..."
    ".....X.."
    "......X."
    ".......X",
    // bsBDiagonal
    ".......X"
    "......X."
    ".....X.."
    "....X..."
    "...X...."
    "..X....."
    ".X......"
    "X.......",
    // bsCross
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "....X..."
    "XXXXXXXX",
    // bsDiagCross
    "X......X"
    ".X....X."
    "..X..X.."
    "...XX..."
    "...XX..."
    "..X..X.."
    ".X....X."
    "X......X",
};

bool Line(int hatch, int x, int y) { return kCells[hatch][(y % 8) * 8 + x % 8] == 'X'; }

}  // namespace

TEST(BrushChanges, ColourStyleAndBitmapAreTold) {
    TBrush brush;
    int told = 0;
    brush.OnChange = [&] { ++told; };
    TBitmap pattern;
    pattern.SetSize(8, 8);
    struct Row {
        const char* what;
        std::function<void()> change;
        int told;
    };
    const Row rows[] = {
        {"colour", [&] { brush.Color = clRed; }, 1},
        {"same colour", [&] { brush.Color = clRed; }, 0},
        {"style", [&] { brush.Style = bsCross; }, 1},
        {"same style", [&] { brush.Style = bsCross; }, 0},
        {"bitmap", [&] { brush.Bitmap = &pattern; }, 1},
        {"bitmap gone", [&] { brush.Bitmap = nullptr; }, 1},
        {"assign equal",
         [&] {
             TBrush same;
             same.Color = clRed;
             same.Style = bsCross;
             brush.Assign(same);
         },
         0},
        {"assign other",
         [&] {
             TBrush other;
             other.Color = clBlue;
             other.Style = bsSolid;
             brush.Assign(other);
         },
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        told = 0;
        row.change();
        EXPECT_EQ(told, row.told);
    }
    EXPECT_EQ(TColor(brush.Color), clBlue);
    EXPECT_EQ(TBrushStyle(brush.Style), bsSolid);
}

TEST(BrushHatches, CanvasFillsLetTheBackgroundThroughUnlessTheContextSaysOpaque) {
    const TBrushStyle styles[] = {bsHorizontal, bsVertical, bsFDiagonal,
                                  bsBDiagonal,  bsCross,    bsDiagCross};
    for (int h = 0; h < 6; ++h) {
        for (const bool opaque : {false, true}) {
            SCOPED_TRACE(testing::Message() << "hatch " << h << (opaque ? " opaque" : ""));
            TBitmap bmp;
            bmp.SetSize(20, 12);
            TCanvas* c = bmp.Canvas();
            c->Brush()->Color = clLime;
            c->FillRect(Rect(0, 0, 20, 12));
            c->Brush()->Color = clRed;
            c->Brush()->Style = styles[h];
            if (opaque) {
                HDC dc = c->Handle();
                SetBkMode(dc, OPAQUE);
                SetBkColor(dc, RGB(0, 0, 255));
            }
            c->FillRect(Rect(2, 1, 18, 11));
            int wrong = 0;
            for (int y = 0; y < 12; ++y)
                for (int x = 0; x < 20; ++x) {
                    const bool inside = x >= 2 && x < 18 && y >= 1 && y < 11;
                    const TColor want = !inside         ? clLime
                                        : Line(h, x, y) ? clRed
                                        : opaque        ? clBlue
                                                        : clLime;
                    wrong += c->Pixel(x, y) != want;
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(BrushHatches, GdiHatchBrushFollowsTheOriginAndTheBackgroundMode) {
    TBitmap bmp;
    bmp.SetSize(16, 16);
    HDC dc = bmp.Canvas()->Handle();
    for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h) {
        for (const int mode : {OPAQUE, TRANSPARENT}) {
            SCOPED_TRACE(testing::Message() << "hatch " << h << " mode " << mode);
            RECT all{0, 0, 16, 16};
            HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
            FillRect(dc, &all, white);
            DeleteObject(white);
            HBRUSH hatch = CreateHatchBrush(h, RGB(0, 0, 0));
            SetBkMode(dc, mode);
            SetBkColor(dc, RGB(255, 255, 0));
            SetBrushOrgEx(dc, 3, 5, nullptr);
            FillRect(dc, &all, hatch);
            SetBrushOrgEx(dc, 0, 0, nullptr);
            DeleteObject(hatch);
            int wrong = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const COLORREF want = Line(h, x + 8 - 3, y + 8 - 5) ? RGB(0, 0, 0)
                                          : mode == OPAQUE              ? RGB(255, 255, 0)
                                                                        : RGB(255, 255, 255);
                    wrong += GetPixel(dc, x, y) != want;
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}

TEST(BrushHatches, BitmapBrushRepeatsItsPixels) {
    TBitmap pattern;
    pattern.SetSize(2, 2);
    pattern.Canvas()->SetPixel(0, 0, clRed);
    pattern.Canvas()->SetPixel(1, 0, clBlue);
    pattern.Canvas()->SetPixel(0, 1, clBlue);
    pattern.Canvas()->SetPixel(1, 1, clRed);
    TBitmap bmp;
    bmp.SetSize(6, 4);
    bmp.Canvas()->Brush()->Bitmap = &pattern;
    bmp.Canvas()->FillRect(Rect(0, 0, 6, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(bmp.Canvas()->Pixel(x, y), (x + y) % 2 ? clBlue : clRed) << x << "," << y;
}
