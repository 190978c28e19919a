// The eighteen region shapes sampled at their characteristic points for a 200 x 120
// rectangle, the point list and region mask, and the border painters compared pixel by
// pixel with the edges of their regions.
#include <gtest/gtest.h>

#include <cstdlib>

#include "controls/styled/styFiler.h"
#include "controls/styled/styRegion.h"
#include "tests/styled/styDrawSupport.h"

namespace {

struct Sample {
    int x, y;
    bool in;
};

struct ShapeCase {
    TStyRegionShape shape;
    std::vector<Sample> samples;
};

HRGN Build(TStyRegion& r, TStyRegionShape shape, const TRect& rect = Rect(0, 0, 200, 120)) {
    r.SetShape(shape);
    r.CreateRegion(rect);
    return r.Region();
}

TEST(StyRegionShapes, EachShapeAtItsCharacteristicPoints) {
    const std::vector<ShapeCase> cases = {
        {rsRect, {{0, 0, true}, {199, 119, true}, {200, 60, false}, {100, 120, false}}},
        {rsRoundRect,
         {{0, 0, false},
          {1, 1, false},
          {100, 0, true},
          {0, 60, true},
          {199, 119, false},
          {190, 110, true}}},
        // Nose at the top left: tip (0, 0), base (20, 25) and (20, 53), body from (20, 20).
        {rsNoseRect,
         {{10, 20, true},
          {10, 5, false},
          {19, 60, false},
          {100, 60, true},
          {10, 100, false},
          {199, 119, true}}},
        // Rounded: the base lies RoundY (20) down the body's side.
        {rsRoundNoseRect,
         {{10, 27, true}, {10, 10, false}, {21, 21, false}, {100, 60, true}, {199, 119, false}}},
        {rsElliptic,
         {{100, 60, true},
          {0, 0, false},
          {1, 60, true},
          {100, 1, true},
          {198, 60, true},
          {10, 10, false}}},
        // Tips and notches of the star.
        {rsStar,
         {{100, 3, true},
          {195, 47, true},
          {167, 117, true},
          {33, 117, true},
          {5, 47, true},
          {100, 60, true},
          {100, 100, false},
          {150, 40, false},
          {20, 70, false},
          {30, 30, false},
          {180, 70, false}}},
        {rsRoundShield,
         {{100, 2, true},
          {10, 10, false},
          {100, 115, true},
          {5, 100, false},
          {10, 40, true},
          {190, 10, false}}},
        {rsSharpShield,
         {{100, 2, true},
          {10, 10, false},
          {100, 115, true},
          {10, 100, false},
          {100, 60, true},
          {190, 100, false}}},
        {rsDiamond,
         {{100, 60, true}, {5, 5, false}, {3, 60, true}, {100, 3, true}, {195, 115, false}}},
        {rsOctagon,
         {{2, 2, false}, {100, 2, true}, {2, 60, true}, {198, 118, false}, {100, 60, true}}},
        {rsComb,
         {{5, 5, false}, {2, 60, true}, {100, 3, true}, {195, 115, false}, {100, 117, true}}},
        {rsHalfRound,
         {{100, 115, true}, {100, 1, true}, {1, 1, true}, {5, 100, false}, {195, 115, false}}},
        // Bubbles from the tip at (0, 0) to the body corner at (33, 33).
        {rsThinkBubble,
         {{14, 27, true},
          {6, 19, true},
          {23, 31, true},
          {10, 10, false},
          {100, 60, true},
          {20, 100, false}}},
        {rsRoundThinkBubble, {{14, 27, true}, {199, 119, false}, {199, 60, true}, {30, 5, false}}},
        {rsEllipticThinkBubble,
         {{14, 27, true}, {116, 76, true}, {199, 119, false}, {199, 34, false}}},
    };
    for (const ShapeCase& c : cases) {
        TStyRegion r;
        HRGN rgn = Build(r, c.shape);
        ASSERT_NE(rgn, nullptr) << int(c.shape);
        for (const Sample& s : c.samples)
            EXPECT_EQ(bool(PtInRegion(rgn, s.x, s.y)), s.in)
                << "shape " << int(c.shape) << " at " << s.x << "," << s.y;
    }
}

TEST(StyRegionShapes, StoredRegionsBitmapMasksAndPointLists) {
    TStyRegion r;
    // Without data the bitmap and user shapes give no region.
    EXPECT_EQ(Build(r, rsBitmap), nullptr);
    EXPECT_EQ(Build(r, rsUserRegion), nullptr);

    HRGN ellipse = CreateEllipticRgn(10, 10, 50, 30);
    r.StoreRegion(ellipse);
    HRGN user = Build(r, rsUserRegion);
    ASSERT_NE(user, nullptr);
    EXPECT_TRUE(EqualRgn(user, ellipse));

    std::vector<uint8_t> data(GetRegionData(ellipse, 0, nullptr));
    GetRegionData(ellipse, DWORD(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    r.Mask()->SetRegionData(data);
    HRGN bitmap = Build(r, rsBitmap);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(EqualRgn(bitmap, ellipse));
    DeleteObject(ellipse);

    r.SetShape(rsPointList);
    r.Points()->Add(TPoint{10, 10});
    r.Points()->Add(TPoint{190, 10});
    r.Points()->Add(TPoint{100, 110});
    HRGN poly = Build(r, rsPointList);
    ASSERT_NE(poly, nullptr);
    EXPECT_TRUE(PtInRegion(poly, 100, 50));
    EXPECT_FALSE(PtInRegion(poly, 20, 100));

    // Offsets move left and top only; a shadow takes its depth off right and bottom.
    TStyRegion s;
    s.Offset = POINT{10, 5};
    s.Shadow()->SetStyle(hssSolid);
    RECT box;
    GetRgnBox(Build(s, rsRect, Rect(0, 0, 100, 50)), &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.right, 94);
    EXPECT_EQ(box.bottom, 44);
}

TEST(StyRegionShapes, ShieldsFollowTheirRectangle) {
    TStyRegion a, b;
    HRGN at0 = Build(a, rsRoundShield, Rect(0, 0, 200, 120));
    HRGN moved = Build(b, rsRoundShield, Rect(30, 70, 230, 190));
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(copy, at0, nullptr, RGN_COPY);
    OffsetRgn(copy, 30, 70);
    EXPECT_TRUE(EqualRgn(copy, moved));
    RECT box;
    GetRgnBox(moved, &box);
    EXPECT_GE(box.top, 70);  // nothing above the top edge
    EXPECT_LT(box.top, 75);
    DeleteObject(copy);
}

TEST(StyRegionShapes, TheHalfRoundIsTheLowerHalfWhereverItStands) {
    TStyRegion r;
    HRGN low = Build(r, rsHalfRound, Rect(0, 100, 200, 220));
    EXPECT_FALSE(PtInRegion(low, 100, 90));  // the upper half stays out
    EXPECT_TRUE(PtInRegion(low, 100, 101));
    EXPECT_TRUE(PtInRegion(low, 100, 215));
    EXPECT_FALSE(PtInRegion(low, 5, 215));
    RECT box;
    GetRgnBox(low, &box);
    EXPECT_EQ(box.top, 100);
}

TEST(StyPointList, PacksSignedSixteenBitHalves) {
    TStyPointList l;
    int changes = 0;
    l.OnChange = [&](TObject*) { ++changes; };
    l.Add(TPoint{-5, -7});
    l.Add(TPoint{300, 40});
    EXPECT_EQ(l.Point(0).X, -5);
    EXPECT_EQ(l.Point(0).Y, -7);
    EXPECT_EQ(l.Point(1).X, 300);
    EXPECT_EQ(l.Point(1).Y, 40);
    EXPECT_EQ(l.Packed(1), (300u << 16) | 40u);
    TPoint untouched{1, 2};
    l.Get(5, untouched);
    EXPECT_EQ(untouched.X, 1);
    l.UpdateCount = 1;
    l.Put(0, TPoint{0, 0});
    EXPECT_EQ(changes, 2);
}

TEST(StyRegionMask, StoredPropertiesAndDamagedData) {
    TStyRegionMask m;
    TStyPropertyWriter none;
    m.DefineProperties(none);
    EXPECT_TRUE(none.Values.empty());  // no data, no bitmaps: nothing stored

    m.SetRegionData(std::vector<uint8_t>(120, 7));
    m.BorderBmp()->SetSize(4, 3);
    m.Compressed = true;
    TStyPropertyWriter w;
    m.DefineProperties(w);
    ASSERT_NE(w.Find("RegionData"), nullptr);
    EXPECT_EQ(w.Find("RegionData")->s.size(), 120u);
    ASSERT_NE(w.Find("BorderBmp"), nullptr);
    EXPECT_EQ(w.Find("BorderUpBmp"), nullptr);

    TStyRegionMask copy;
    copy.Assign(&m);
    EXPECT_EQ(copy.RegionData().size(), 120u);
    EXPECT_EQ(copy.BorderBmp()->Width(), 4);

    TStyRegionMask read;
    read.SetRegionDataSize(120);
    StyReadStoredProperty(&read, "RegionData", *w.Find("RegionData"));
    StyReadStoredProperty(&read, "BorderBmp", *w.Find("BorderBmp"));
    EXPECT_EQ(read.RegionData(), m.RegionData());
    EXPECT_TRUE(read.Compressed);
    EXPECT_EQ(read.BorderBmp()->Height(), 3);

    // A size that lies about the data that follow.
    TStyRegionMask liar;
    liar.SetRegionDataSize(1 << 30);
    EXPECT_THROW(StyReadStoredProperty(&liar, "RegionData", *w.Find("RegionData")), EReadError);
    liar.SetRegionDataSize(-4);
    EXPECT_THROW(StyReadStoredProperty(&liar, "RegionData", *w.Find("RegionData")), EReadError);
    TDfmValue cut = *w.Find("BorderBmp");
    cut.s.resize(cut.s.size() / 2);
    EXPECT_THROW(StyReadStoredProperty(&liar, "BorderBmp", cut), EStreamError);
}

TEST(StyRegion, PointListIsStoredAsPairsAndReadingAppends) {
    TStyRegion r;
    r.SetShape(rsPointList);
    r.Points()->Add(TPoint{1, 2});
    r.Points()->Add(TPoint{-3, 4});
    TStyPropertyWriter w;
    r.DefineProperties(w);
    ASSERT_NE(w.Find("PointList"), nullptr);
    EXPECT_EQ(w.Find("PointList")->list.size(), 4u);
    TStyRegion read;
    read.SetShape(rsPointList);
    read.Points()->Add(TPoint{9, 9});
    StyReadStoredProperty(&read, "PointList", *w.Find("PointList"));
    EXPECT_EQ(read.Points()->Count(), 3);
    EXPECT_EQ(read.Points()->Point(2).X, -3);
    EXPECT_FALSE(read.UserRegionData().empty());
    TDfmValue odd = StyIntList({1, 2, 3});
    EXPECT_THROW(StyReadStoredProperty(&read, "PointList", odd), EReadError);
}

}  // namespace
