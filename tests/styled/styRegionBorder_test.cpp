// Border painting of the region shapes: outlines compared pixel by pixel with the edges of
// their regions, the styles' colours, what a painter leaves on the canvas, and a picture
// of all eighteen shapes with their borders.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/styled/styRegion.h"
#include "platform/rtl/sysutils.h"
#include "tests/styled/styDrawSupport.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Inside pixels with an outside neighbour.
std::vector<POINT> EdgeOf(HRGN rgn, int w, int h) {
    std::vector<POINT> edge;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (!PtInRegion(rgn, x, y)) continue;
            if (!PtInRegion(rgn, x - 1, y) || !PtInRegion(rgn, x + 1, y) ||
                !PtInRegion(rgn, x, y - 1) || !PtInRegion(rgn, x, y + 1))
                edge.push_back(POINT{x, y});
        }
    return edge;
}

bool PaintedNear(TestBitmap& t, POINT p, int d) {
    for (int y = p.y - d; y <= p.y + d; ++y)
        for (int x = p.x - d; x <= p.x + d; ++x)
            if (x >= 0 && y >= 0 && x < t.bmp.Width() && y < t.bmp.Height() && t.At(x, y) != kWhite)
                return true;
    return false;
}

bool NearEdge(const std::vector<POINT>& edge, int x, int y, int d) {
    for (const POINT& e : edge)
        if (std::abs(e.x - x) <= d && std::abs(e.y - y) <= d) return true;
    return false;
}

TEST(StyRegionBorder, SingleOutlinesLieAlongTheirRegionsEdge) {
    for (TStyRegionShape shape : {rsRect, rsElliptic, rsDiamond, rsOctagon, rsStar}) {
        SCOPED_TRACE(int(shape));
        TStyRegion region;
        region.SetShape(shape);
        const TRect r = Rect(10, 10, 210, 130);
        region.CreateRegion(r);
        TestBitmap t(220, 140, clWhite);
        region.DrawBorder(t.C(), r);
        const std::vector<POINT> edge = EdgeOf(region.Region(), 220, 140);
        ASSERT_FALSE(edge.empty());
        int missed = 0;
        for (const POINT& p : edge)
            if (!PaintedNear(t, p, 1)) ++missed;
        EXPECT_EQ(missed, 0) << "edge pixels with no border beside them";
        int stray = 0;
        for (int y = 0; y < 140; ++y)
            for (int x = 0; x < 220; ++x)
                if (t.At(x, y) != kWhite) {
                    EXPECT_EQ(t.At(x, y), RGB(0, 0, 0));
                    // Sharp corners take mitred joins: the star's tips reach a little further.
                    if (!NearEdge(edge, x, y, shape == rsStar ? 6 : 2)) ++stray;
                }
        EXPECT_EQ(stray, 0) << "border pixels away from the edge of shape " << int(shape);
    }
}

TEST(StyRegionBorder, RectangleStylesTakeTheirColours) {
    struct Case {
        TStyRegionBorderStyle style;
        COLORREF topLeft, bottomRight;
    };
    TStyRegion region;
    region.SetShape(rsRect);
    region.Border()->SetColor(0, clWhite);
    region.Border()->SetColor(1, clGray);
    region.Border()->SetColor(2, clRed);
    const Case cases[] = {
        {rbRaised, RGB(255, 255, 255), RGB(128, 128, 128)},
        {rbLowered, RGB(128, 128, 128), RGB(255, 255, 255)},
        {rbSingle, RGB(255, 0, 0), RGB(255, 0, 0)},
        {rbRaisedpsb, RGB(255, 255, 255), RGB(255, 0, 0)},
    };
    for (const Case& c : cases) {
        region.Border()->SetStyle(c.style);
        TestBitmap t(60, 40, clBlue);
        region.DrawBorder(t.C(), Rect(5, 5, 50, 30));
        EXPECT_EQ(t.At(20, 5), c.topLeft) << int(c.style);
        EXPECT_EQ(t.At(5, 15), c.topLeft) << int(c.style);
        EXPECT_EQ(t.At(20, 30), c.bottomRight) << int(c.style);
        EXPECT_EQ(t.At(50, 15), c.bottomRight) << int(c.style);
        EXPECT_EQ(t.At(20, 15), RGB(0, 0, 255));  // the brush is clear: nothing filled
    }
    region.Border()->SetStyle(rbNone);
    TestBitmap none(60, 40, clBlue);
    region.DrawBorder(none.C(), Rect(5, 5, 50, 30));
    EXPECT_EQ(none.Colors().size(), 1u);
}

TEST(StyRegionBorder, PaintersLeaveTheRegionTheBorderAndTheClippingAsTheyWere) {
    for (TStyRegionShape shape : {rsRoundNoseRect, rsThinkBubble, rsRoundRect}) {
        TStyRegion region;
        region.SetShape(shape);
        region.Border()->SetStyle(rbSingleRaised);
        const TRect r = Rect(0, 0, 200, 120);
        region.CreateRegion(r);
        HRGN before = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(before, region.Region(), nullptr, RGN_COPY);
        TestBitmap t(210, 130, clWhite);
        region.DrawBorder(t.C(), r);
        EXPECT_TRUE(EqualRgn(before, region.Region()));
        EXPECT_EQ(region.Border()->LightColor(), clBtnHighlight);
        HRGN clip = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetClipRgn(t.C()->Handle(), clip), 0) << int(shape);
        DeleteObject(clip);
        DeleteObject(before);
        if (shape != rsThinkBubble) {
            EXPECT_EQ(t.C()->Pen()->Width, 4);  // the rounded painter's shadow pen
        }
    }
}

TEST(StyRegionBorder, PointListColoursEachEdgeByItsDirection) {
    TStyRegion region;
    region.SetShape(rsPointList);
    region.Border()->SetStyle(rbRaised);
    region.Border()->SetColor(0, clWhite);
    region.Border()->SetColor(1, clBlack);
    region.Points()->Add(TPoint{10, 10});
    region.Points()->Add(TPoint{50, 10});  // to the right: light
    region.Points()->Add(TPoint{50, 40});  // down: shadow
    region.Points()->Add(TPoint{10, 40});  // to the left: shadow
    TestBitmap t(60, 50, clBlue);
    region.DrawBorder(t.C(), Rect(0, 0, 0, 0));
    EXPECT_EQ(t.At(30, 10), RGB(255, 255, 255));
    EXPECT_EQ(t.At(50, 25), RGB(0, 0, 0));
    EXPECT_EQ(t.At(30, 40), RGB(0, 0, 0));
    EXPECT_EQ(t.At(10, 25), RGB(255, 255, 255));  // closing edge goes up: light
    region.Border()->SetStyle(rbNone);            // the point list still draws raised
    TestBitmap t2(60, 50, clBlue);
    region.DrawBorder(t2.C(), Rect(0, 0, 0, 0));
    EXPECT_EQ(t2.At(30, 10), RGB(255, 255, 255));
}

// All eighteen shapes with borders in one picture; VEXOMAT_SCREENSHOTS names a folder that
// keeps it, else the test's temporary folder does.
TEST(StyRegionBorder, PictureOfAllShapes) {
    const int cw = 230, ch = 150, cols = 6;
    TestBitmap t(cw * cols, ch * 3, clBtnFace);
    const TStyRegionBorderStyle styles[] = {
        rbSingle, rbRaised, rbLowered, rbSingleRaised, rbSingleLowered, rbRaisedpsb, rbLoweredpsb};
    HRGN ellipse = CreateEllipticRgn(20, 10, 180, 110);
    HRGN hole = CreateEllipticRgn(70, 40, 130, 80);
    CombineRgn(ellipse, ellipse, hole, RGN_DIFF);
    std::vector<uint8_t> data(GetRegionData(ellipse, 0, nullptr));
    GetRegionData(ellipse, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    for (int s = 0; s < StyRegionShapeCount; ++s) {
        const int x = (s % cols) * cw + 15, y = (s / cols) * ch + 15;
        TStyRegion region;
        region.SetShape(TStyRegionShape(s));
        region.Border()->SetStyle(styles[s % 7]);
        region.Border()->SetColor(1, clGray);
        region.Shadow()->SetStyle(s % 3 == 0 ? hssSolid : hssNone);
        region.Shadow()->SetDepth(5);
        if (s == rsBitmap) region.Mask()->SetRegionData(data);
        if (s == rsUserRegion) region.StoreRegion(ellipse);
        if (s == rsPointList)
            for (TPoint p : {TPoint{10, 100}, TPoint{60, 10}, TPoint{110, 70}, TPoint{160, 5},
                             TPoint{195, 110}})
                region.Points()->Add(TPoint{p.X + x, p.Y + y});
        const TRect r = Rect(x, y, x + 200, y + 120);
        region.CreateRegion(r);
        // As on a shaped window: only the region and its shadow show.
        HRGN shown = CreateRectRgn(0, 0, 0, 0);
        if (region.Region()) {
            CombineRgn(shown, region.Region(), nullptr, RGN_COPY);
            if (s == rsBitmap || s == rsUserRegion) OffsetRgn(shown, x, y);
            HBRUSH fill = CreateSolidBrush(RGB(255, 255, 225));
            FillRgn(t.C()->Handle(), shown, fill);
            DeleteObject(fill);
            HRGN shade = CreateRectRgn(0, 0, 0, 0);
            CombineRgn(shade, shown, nullptr, RGN_COPY);
            OffsetRgn(shade, 5, 5);
            if (region.Shadow()->Style() != hssNone) CombineRgn(shown, shown, shade, RGN_OR);
            DeleteObject(shade);
            SelectClipRgn(t.C()->Handle(), s == rsPointList ? nullptr : shown);
        }
        region.DrawBorder(t.C(), r);
        SelectClipRgn(t.C()->Handle(), nullptr);
        DeleteObject(shown);
        // Every shape covers its middle (the ring-shaped ones their ring).
        const int mx = s == rsBitmap || s == rsUserRegion ? 40 : 100;
        EXPECT_NE(t.At(x + mx, y + 60), ColorToRGB(clBtnFace)) << s;
    }
    DeleteObject(hole);
    DeleteObject(ellipse);
    const char* keep = std::getenv("VEXOMAT_SCREENSHOTS");
    const std::string folder =
        keep && *keep ? IncludeTrailingPathDelimiter(keep) : ::testing::TempDir();
    t.bmp.SaveToFile(folder + "styRegionShapes.png");
}

}  // namespace

TEST(StyRegionBorder, RoundedOutlinesAreSolidWhateverPenTheCanvasHad) {
    const TStyRegionBorderStyle styles[] = {rbNone,      rbRaised,       rbLowered,
                                            rbSingle,    rbSingleRaised, rbSingleLowered,
                                            rbRaisedpsb, rbLoweredpsb};
    for (TStyRegionShape shape : {rsRoundRect, rsRoundNoseRect, rsRoundThinkBubble}) {
        for (TStyRegionBorderStyle style : styles) {
            SCOPED_TRACE(testing::Message() << "shape " << int(shape) << " style " << int(style));
            TStyRegion region;
            region.SetShape(shape);
            region.SetRound(0, 20);
            region.SetRound(1, 16);
            region.Border()->SetStyle(style);
            region.Border()->SetColor(0, clRed);
            region.Border()->SetColor(1, clBlue);
            region.Border()->SetColor(2, clBlack);
            const TRect r = Rect(4, 4, 196, 136);
            // Only the rounded body counts: the bubbles keep the canvas's pen.
            std::vector<TRect> bubbles;
            TRect body = r;
            if (shape == rsRoundThinkBubble)
                for (const TStyBubble& b : StyBubbles(r, region.ExtPos(), region.BubbleCount, body))
                    bubbles.push_back(Rect(b.X - b.D / 2 - 3, b.Y - b.D / 2 - 3, b.X + b.D / 2 + 3,
                                           b.Y + b.D / 2 + 3));
            auto draw = [&](TPenStyle before, TestBitmap& t) {
                t.C()->Pen()->Style = before;
                region.DrawBorder(t.C(), r);
                EXPECT_EQ(t.C()->Pen()->Style, psSolid);
            };
            TestBitmap solid(200, 140), dashed(200, 140);
            draw(psSolid, solid);
            draw(psDash, dashed);
            int painted = 0, differ = 0;
            for (int y = 0; y < 140; ++y)
                for (int x = 0; x < 200; ++x) {
                    bool inBubble = false;
                    for (const TRect& b : bubbles)
                        inBubble |= x >= b.Left && x < b.Right && y >= b.Top && y < b.Bottom;
                    if (inBubble) continue;
                    painted += solid.At(x, y) != kWhite;
                    differ += solid.At(x, y) != dashed.At(x, y);
                }
            EXPECT_EQ(differ, 0) << "of " << painted << " outline pixels";
            if (style == rbNone) {
                EXPECT_EQ(painted, 0);
            }
        }
    }
}
