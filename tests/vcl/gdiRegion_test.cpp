// Region algebra sampled point by point, region kinds, and the RGNDATA round trip.
#include <cstring>
#include <functional>
#include <vector>

#include "tests/vcl/gdi_support.h"

namespace {

using Shape = std::function<HRGN()>;

HRGN Cross() {
    POINT pts[4] = {{2, 2}, {30, 30}, {30, 2}, {2, 30}};  // a bow tie
    return CreatePolygonRgn(pts, 4, ALTERNATE);
}

TEST(Regions, CombineAgreesWithPointwiseLogicForEveryMode) {
    const std::vector<std::pair<Shape, Shape>> pairs = {
        {[] { return CreateRectRgn(0, 0, 20, 20); }, [] { return CreateRectRgn(10, 5, 30, 15); }},
        {[] { return CreateEllipticRgn(0, 0, 25, 31); },
         [] { return CreateRectRgn(12, 0, 40, 40); }},
        {[] { return CreateRoundRectRgn(3, 3, 33, 23, 10, 8); }, Cross},
        {Cross, [] { return CreateEllipticRgn(5, 5, 28, 28); }},
    };
    struct Mode {
        int mode;
        bool (*f)(bool, bool);
    } modes[] = {
        {RGN_AND, [](bool a, bool b) { return a && b; }},
        {RGN_OR, [](bool a, bool b) { return a || b; }},
        {RGN_XOR, [](bool a, bool b) { return a != b; }},
        {RGN_DIFF, [](bool a, bool b) { return a && !b; }},
    };
    for (auto& [makeA, makeB] : pairs) {
        HRGN a = makeA(), b = makeB();
        for (auto& m : modes) {
            HRGN out = CreateRectRgn(0, 0, 0, 0);
            int kind = CombineRgn(out, a, b, m.mode);
            bool any = false;
            for (int y = -2; y < 42; ++y)
                for (int x = -2; x < 42; ++x) {
                    bool want = m.f(PtInRegion(a, x, y), PtInRegion(b, x, y));
                    any |= want;
                    ASSERT_EQ(bool(PtInRegion(out, x, y)), want)
                        << "mode " << m.mode << " at " << x << "," << y;
                }
            EXPECT_EQ(kind == NULLREGION, !any);
            DeleteObject(out);
        }
        DeleteObject(a);
        DeleteObject(b);
    }
}

TEST(Regions, KindsBoxesAndOffsets) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(10, 0, 20, 10),
         out = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_OR), SIMPLEREGION);  // touching rectangles merge
    RECT box;
    EXPECT_EQ(GetRgnBox(out, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(CombineRgn(out, a, b, RGN_AND), NULLREGION);
    HRGN c = CreateRectRgn(5, 5, 15, 15);
    EXPECT_EQ(CombineRgn(out, a, c, RGN_OR), COMPLEXREGION);
    EXPECT_EQ(OffsetRgn(out, 100, 50), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(out, 100, 50));
    EXPECT_FALSE(PtInRegion(out, 0, 0));
    EXPECT_FALSE(PtInRegion(out, 114, 54));  // the notch
    RECT in{110, 60, 111, 61}, outside{0, 0, 5, 5};
    EXPECT_TRUE(RectInRegion(out, &in));
    EXPECT_FALSE(RectInRegion(out, &outside));
    EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(out, a));
    EXPECT_EQ(CombineRgn(out, a, nullptr, RGN_OR), ERROR_REGION);
    for (HRGN r : {a, b, c, out}) DeleteObject(r);
}

TEST(Regions, PolygonFillModes) {
    // A five-pointed star: the middle is outside with ALTERNATE and inside with WINDING.
    POINT star[5] = {{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}};
    HRGN alt = CreatePolygonRgn(star, 5, ALTERNATE), wind = CreatePolygonRgn(star, 5, WINDING);
    EXPECT_FALSE(PtInRegion(alt, 50, 50));
    EXPECT_TRUE(PtInRegion(wind, 50, 50));
    EXPECT_TRUE(PtInRegion(alt, 50, 10));
    EXPECT_FALSE(PtInRegion(wind, 0, 0));
    DeleteObject(alt);
    DeleteObject(wind);
}

TEST(Regions, RegionDataRoundTripInWindowsLayout) {
    HRGN a = CreateRectRgn(0, 0, 10, 10), b = CreateRectRgn(5, 5, 15, 15),
         r = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(r, a, b, RGN_OR);
    DWORD size = GetRegionData(r, 0, nullptr);
    ASSERT_EQ(size, 32u + 3 * 16u);  // three bands of one rectangle each
    std::vector<char> mem(size);
    auto* data = reinterpret_cast<RGNDATA*>(mem.data());
    ASSERT_EQ(GetRegionData(r, size, data), size);
    DWORD head[4];
    std::memcpy(head, mem.data(), sizeof head);
    EXPECT_EQ(head[0], 32u);
    EXPECT_EQ(head[1], RDH_RECTANGLES);
    EXPECT_EQ(head[2], 3u);
    EXPECT_EQ(head[3], 48u);
    LONG rects[12];
    std::memcpy(rects, mem.data() + 32, sizeof rects);
    const LONG want[12] = {0, 0, 10, 5, 0, 5, 15, 10, 5, 10, 15, 15};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(rects[i], want[i]) << i;
    HRGN back = ExtCreateRegion(nullptr, size, data);
    EXPECT_TRUE(EqualRgn(back, r));
    // A count larger than the data is refused rather than read past the end.
    EXPECT_EQ(ExtCreateRegion(nullptr, 40, data), nullptr);
    EXPECT_EQ(GetRegionData(r, size - 1, data), 0u);
    for (HRGN h : {a, b, r, back}) DeleteObject(h);
}

TEST(Regions, ClipRegionLimitsDrawingAndFillRgnPaintsExactly) {
    MemDc m(10, 10);
    m.fill(0xFFFFFF);
    HRGN clip = CreateRectRgn(2, 2, 6, 6);
    EXPECT_EQ(SelectClipRgn(m.dc, clip), SIMPLEREGION);
    EXPECT_EQ(ExcludeClipRect(m.dc, 3, 3, 4, 4), COMPLEXREGION);
    RECT box;
    EXPECT_EQ(GetClipBox(m.dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.right, 6);
    m.fill(0);
    EXPECT_EQ(m.at(1, 1), CLR_INVALID);  // outside the clip nothing is read either
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(m.dc, got), 1);
    EXPECT_FALSE(PtInRegion(got, 3, 3));
    SelectClipRgn(m.dc, nullptr);
    EXPECT_EQ(GetClipRgn(m.dc, got), 0);
    EXPECT_EQ(m.at(1, 1), 0xFFFFFFu);
    EXPECT_EQ(m.at(2, 2), 0u);
    EXPECT_EQ(m.at(3, 3), 0xFFFFFFu);
    EXPECT_EQ(m.at(6, 6), 0xFFFFFFu);
    HRGN e = CreateEllipticRgn(0, 0, 10, 10);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    m.fill(0xFFFFFF);
    FillRgn(m.dc, e, red);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            ASSERT_EQ(m.at(x, y) == RGB(255, 0, 0), bool(PtInRegion(e, x, y))) << x << "," << y;
    for (HGDIOBJ h : {HGDIOBJ(clip), HGDIOBJ(got), HGDIOBJ(e), HGDIOBJ(red)}) DeleteObject(h);
}

}  // namespace
