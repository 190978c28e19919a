// 3D and rotated captions against their offsets and colours, caption measuring (a rotated
// caption's bounding box) and the glyph-text arrangement.
#include <gtest/gtest.h>

#include <climits>

#include "controls/styled/styCaptionFx.h"
#include "controls/styled/styDrawProcs.h"
#include "controls/styled/stySystem.h"
#include "platform/user/paint.h"
#include "tests/styled/styDrawSupport.h"

namespace {

// Where the pixels of one colour lie.
struct Box {
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN, count = 0;
};

Box BoxOf(TestBitmap& t, TColor color) {
    Box b;
    const COLORREF c = ColorToRGB(color);
    for (int y = 0; y < t.bmp.Height(); ++y)
        for (int x = 0; x < t.bmp.Width(); ++x)
            if (t.At(x, y) == c) {
                b.minX = std::min(b.minX, x);
                b.minY = std::min(b.minY, y);
                b.maxX = std::max(b.maxX, x);
                b.maxY = std::max(b.maxY, y);
                ++b.count;
            }
    return b;
}

const TRect kArea = Rect(4, 4, 76, 30);
constexpr TColor kInk = clBlack, kLight = clYellow, kShadow = clBlue;

// Draws "Hi" with a caption of the given style on white and returns the bitmap.
void Draw(TestBitmap& t, TSty3DCaption* cap, UINT flags = dtfEnabled) {
    t.C()->Font()->SetColor(kInk);
    t.C()->Font()->SetName("Arial");
    t.C()->Font()->SetHeight(-14);
    Draw3DText(t.C(), "Hi", cap, nullptr, flags, 0, kArea);
}

TSty3DCaption Caption(TStyThreeDStyle style, int light, int shadow) {
    TSty3DCaption c;
    c.SetStyle(style);
    c.SetLightDepth(uint8_t(light));
    c.SetShadowDepth(uint8_t(shadow));
    c.SetLightColor(kLight);
    c.SetShadowColor(kShadow);
    return c;
}

Box Reference() {
    TestBitmap t(80, 40);
    Draw(t, nullptr);
    return BoxOf(t, kInk);
}

TEST(StyDraw3DText, PlainTextIsTheReference) {
    Box ref = Reference();
    ASSERT_GT(ref.count, 0) << "no text drawn";
    EXPECT_GE(ref.minX, kArea.Left);
    EXPECT_GE(ref.minY, kArea.Top);
    TestBitmap none(80, 40);
    TSty3DCaption plain = Caption(tdNone, 1, 1);
    Draw(none, &plain);
    Box b = BoxOf(none, kInk);
    EXPECT_EQ(b.minX, ref.minX);
    EXPECT_EQ(b.count, ref.count);
}

struct Offsets {
    const char* name;
    TStyThreeDStyle style;
    int light, shadow;
    int inkDx, inkDy;            // the main text relative to the plain one
    TColor extra;                // one of the other passes
    int extraMaxDx, extraMaxDy;  // its far edge relative to the plain text's
};

class StyDraw3DTextStyles : public ::testing::TestWithParam<Offsets> {};

TEST_P(StyDraw3DTextStyles, PassesLieAtTheirOffsets) {
    const Offsets o = GetParam();
    Box ref = Reference();
    TestBitmap t(80, 40);
    TSty3DCaption cap = Caption(o.style, o.light, o.shadow);
    Draw(t, &cap);
    Box ink = BoxOf(t, kInk), extra = BoxOf(t, o.extra);
    ASSERT_GT(ink.count, 0);
    ASSERT_GT(extra.count, 0);
    EXPECT_EQ(ink.minX, ref.minX + o.inkDx);
    EXPECT_EQ(ink.minY, ref.minY + o.inkDy);
    EXPECT_EQ(extra.maxX, ref.maxX + o.extraMaxDx);
    EXPECT_EQ(extra.maxY, ref.maxY + o.extraMaxDy);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, StyDraw3DTextStyles,
    ::testing::Values(Offsets{"Sunken", tdSunken, 2, 1, 0, 0, kLight, 2, 2},
                      Offsets{"Raised", tdRaised, 1, 1, 1, 1, kInk, 1, 1},
                      Offsets{"SunkenShadow", tdSunkenShadow, 1, 1, 1, 1, kLight, 2, 2},
                      Offsets{"RaisedShadow", tdRaisedShadow, 1, 2, 1, 1, kShadow, 3, 3},
                      Offsets{"Shadow", tdShadow, 1, 2, 0, 0, kShadow, 2, 2},
                      Offsets{"ExtrudeTopLeft", tdExtrude, 1, 3, 3, 3, kInk, 3, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StyDraw3DText, ExtrudeTowardTheNamedCorner) {
    Box ref = Reference();
    TestBitmap t(80, 40);
    TSty3DCaption cap = Caption(tdExtrude, 1, 3);
    cap.SetOrientation(toBottomRight);
    Draw(t, &cap);
    Box ink = BoxOf(t, kInk), shadow = BoxOf(t, kShadow);
    EXPECT_EQ(ink.minX, ref.minX + 1);  // the main text at (1, 1)
    EXPECT_EQ(ink.minY, ref.minY + 1);
    EXPECT_EQ(shadow.maxX, ref.maxX + 3);  // copies at 3, 2, 1 toward the bottom right
    EXPECT_EQ(shadow.maxY, ref.maxY + 3);

    TestBitmap enh(80, 40);
    cap.SetStyle(tdExtrudeEnh);
    cap.SetOrientation(toTopLeft);
    Draw(enh, &cap);
    // Pass k = 3, 2, 1 lands at 1, 2, 3 in BlendColor(shadow, light, k - 1, 3): the copy
    // farthest from the main text is nearest the light colour; the last lies under the text.
    Box farthest = BoxOf(enh, BlendColor(kShadow, kLight, 2, 3));
    Box middle = BoxOf(enh, BlendColor(kShadow, kLight, 1, 3));
    ASSERT_GT(farthest.count, 0);
    ASSERT_GT(middle.count, 0);
    EXPECT_EQ(farthest.minX, ref.minX + 1);
    EXPECT_EQ(middle.minX, ref.minX + 2);
    EXPECT_EQ(BoxOf(enh, kInk).minX, ref.minX + 3);
}

// A large bold "H" in ink on white, drawn plain or with a caption object.
void DrawLarge(TestBitmap& t, TSty3DCaption* cap) {
    t.C()->Font()->SetColor(kInk);
    t.C()->Font()->SetName("Arial");
    t.C()->Font()->SetHeight(-40);
    t.C()->Font()->SetStyle({fsBold});
    Draw3DText(t.C(), "H", cap, nullptr, dtfEnabled, 0, Rect(4, 4, 56, 56));
}

TEST(StyDraw3DText, OutlineStrokesTheGlyphOutlinesWithoutFillingThem) {
    TestBitmap plain(60, 60);
    DrawLarge(plain, nullptr);
    const COLORREF ink = ColorToRGB(kInk);
    auto glyph = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < 60 && y < 60 && plain.At(x, y) == ink;
    };
    // Pixels on either side of the glyph's edge (within one pixel of a change of glyph/not glyph).
    auto nearEdge = [&](int x, int y, int reach) {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (glyph(x + dx, y + dy) != glyph(x, y)) return true;
        return false;
    };
    Box ref = BoxOf(plain, kInk);
    ASSERT_GT(ref.count, 200);
    int previous = 0;
    for (int s : {1, 3}) {
        TestBitmap t(60, 60);
        TSty3DCaption cap = Caption(tdOutline, 1, s);
        DrawLarge(t, &cap);
        Box stroke = BoxOf(t, kInk);
        ASSERT_GT(stroke.count, 0) << s;
        int interiorUnpainted = 0, farFromOutline = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x) {
                // The pass is moved by s div 2 before the outline is recorded.
                const int gx = x - s / 2, gy = y - s / 2;
                // Half the pen on each side of the outline, and a pixel for the glyphs' hinting.
                if (t.At(x, y) == ink && !nearEdge(gx, gy, s / 2 + 2)) ++farFromOutline;
                if (glyph(gx, gy) && !nearEdge(gx, gy, s / 2 + 1) && t.At(x, y) != ink)
                    ++interiorUnpainted;
            }
        EXPECT_EQ(farFromOutline, 0) << s;                 // the stroke follows the outlines
        EXPECT_GT(interiorUnpainted, ref.count / 8) << s;  // and the stems stay hollow
        EXPECT_GT(stroke.count, previous) << s;            // a wider pen strokes more
        EXPECT_LE(std::abs(stroke.minX - (ref.minX + s / 2)), s) << s;
        previous = stroke.count;
    }
}

TEST(StyDraw3DText, TracingWidensTheCaptionByItsSpacingPerCharacter) {
    // Measured: each character gets the extra pixels; drawn: the last glyph moves right.
    for (int tracing : {0, 2, 5}) {
        TSty3DCaption cap = Caption(tdNone, 1, 1);
        cap.SetTracing(tracing);
        TFont font;
        font.SetName("Arial");
        font.SetHeight(-14);
        TRect plain = Rect(0, 0, 0, 0), traced = Rect(0, 0, 0, 0);
        MeasureCaption("Hello", nullptr, plain, &font, false, false, 0, DT_SINGLELINE);
        MeasureCaption("Hello", &cap, traced, &font, false, false, 0, DT_SINGLELINE);
        EXPECT_EQ(traced.Width() - plain.Width(), 5 * tracing) << tracing;

        TestBitmap a(120, 30), b(120, 30);
        a.C()->Font()->Assign(font);
        b.C()->Font()->Assign(font);
        Draw3DText(a.C(), "Hello", nullptr, nullptr, dtfEnabled, 0, Rect(2, 2, 118, 28));
        Draw3DText(b.C(), "Hello", &cap, nullptr, dtfEnabled, 0, Rect(2, 2, 118, 28));
        const Box pa = BoxOf(a, clBlack), pb = BoxOf(b, clBlack);
        EXPECT_EQ(pb.minX, pa.minX) << tracing;
        EXPECT_EQ(pb.maxX - pa.maxX, 4 * tracing) << tracing;  // four gaps before the last glyph
        // The canvas's context draws without spacing again afterwards.
        EXPECT_EQ(GetTextCharacterExtra(b.C()->Handle()), 0);
    }
}

TEST(StyDraw3DText, DisabledColoursAndStyles) {
    Box ref = Reference();
    struct Row {
        TStyDisabledStyle ds;
        UINT flags;
        TColor ink;
        bool sunken;
    };
    for (Row row :
         {Row{dsAuto, 0, clGrayText, false}, Row{dsAuto, dtfSunkenWhenDisabled, clGrayText, true},
          Row{ds3d, 0, clGrayText, true}, Row{dsStandard, dtfSunkenWhenDisabled, clGrayText, false},
          Row{dsNone, 0, kInk, false}}) {
        TestBitmap t(80, 40);
        TSty3DCaption cap = Caption(tdNone, 1, 1);
        cap.SetDisabledStyle(row.ds);
        Draw(t, &cap, row.flags);
        Box ink = BoxOf(t, row.ink);
        ASSERT_GT(ink.count, 0) << int(row.ds);
        EXPECT_EQ(ink.minX, ref.minX);
        EXPECT_EQ(BoxOf(t, kLight).count > 0, row.sunken)
            << int(row.ds);  // the light copy of sunken
    }
}

TEST(StyDraw3DText, ParentColourStylesAndClipping) {
    TestBitmap t(80, 40);
    t.C()->Brush()->Color = clRed;
    TSty3DCaption cap = Caption(tdPColorSunken, 1, 1);
    Draw(t, &cap);
    EXPECT_GT(BoxOf(t, clRed).count, 0);
    EXPECT_EQ(BoxOf(t, kInk).count, 0);

    Box ref = Reference();
    TestBitmap clipped(80, 40);
    clipped.C()->Font()->SetColor(kInk);
    TSty3DCaption shadow = Caption(tdShadow, 1, 2);
    TRect clip = Rect(0, 0, ref.maxX, 40);
    Draw3DText(clipped.C(), "Hi", &shadow, &clip, dtfEnabled | dtfClip, 0, kArea);
    EXPECT_LT(BoxOf(clipped, kShadow).maxX, ref.maxX);
    EXPECT_EQ(clipped.Colors().count(0xFFFFFF), 1u);
}

TEST(StyMeasureCaption, RotatedBoundingBoxAndStartPoint) {
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-14);
    TStyFxCaption fx;
    TRect flat = Rect(0, 0, 200, 100);
    MeasureCaption("Rotate", &fx, flat, &font, false, false, 0, 0);
    const int w = flat.Right - flat.Left - 2, h = flat.Bottom - flat.Top - 2;  // less the margin
    ASSERT_GT(w, h);

    fx.SetAngle(90);
    int changes = 0;
    fx.OnChange = [&](TObject*) { ++changes; };
    TRect turned = Rect(0, 0, 200, 100);
    MeasureCaption("Rotate", &fx, turned, &font, false, false, 0, 0);
    EXPECT_EQ(turned.Right - turned.Left - 2, h);
    EXPECT_EQ(turned.Bottom - turned.Top - 2, w);
    // Turned a quarter to the left, the text starts at the box's bottom left.
    EXPECT_EQ(fx.PosX(), h / 2 - h / 2);
    EXPECT_EQ(fx.PosY(), w / 2 + w / 2);
    EXPECT_GE(changes, 1);  // set through the setters

    TStyFxCaption diagonal;
    diagonal.SetAngle(45);
    TRect d = Rect(0, 0, 0, 0);
    MeasureCaption("Rotate", &diagonal, d, &font, false, false, 0, 0);
    TRect expect = RotatedBounds(Rect(0, 0, w, h), 45);
    EXPECT_EQ(d.Right - 2, expect.Right);
    EXPECT_EQ(d.Bottom - 2, expect.Bottom);
}

TEST(StyMeasureCaption, EmptyCaptionIsOneBlankAndStylesAddTheirSize) {
    TFont font;
    TRect blank = Rect(0, 0, 100, 100);
    MeasureCaption(" ", nullptr, blank, &font, false, false, 3, 0);
    TRect empty = Rect(0, 0, 100, 100);
    MeasureCaption("", nullptr, empty, &font, false, false, 3, 0);
    EXPECT_EQ(empty.Right, blank.Right);
    EXPECT_EQ(empty.Bottom, blank.Bottom);
    TRect bare = Rect(0, 0, 100, 100);
    MeasureCaption(" ", nullptr, bare, &font, false, false, 0, 0);
    EXPECT_EQ(empty.Right - bare.Right, 6);  // (margin + 1) x 2 more than with margin 0

    TSty3DCaption raised = Caption(tdRaised, 2, 1);
    TRect text = Rect(0, 0, 100, 100), styled = text;
    MeasureCaption("Go", nullptr, text, &font, false, false, 0, 0);
    MeasureCaption("Go", &raised, styled, &font, false, false, 0, 0);
    EXPECT_EQ(styled.Right - text.Right, 2);
    EXPECT_EQ(styled.Bottom - text.Bottom, 2);
}

TEST(StyDrawGlyphText, ArrangementArrowAndFocus) {
    TestBitmap t(120, 40);
    TestBitmap glyph(16, 16, clRed);
    TStyGlyphTextLayout layout;  // text right of the glyph, top left, spacing 2
    TStyGlyphTextRects out;
    TRect g = Rect(0, 0, 16, 16);
    const TRect client = Rect(0, 0, 120, 40);
    DrawGlyphText(t.C(), "OK", nullptr, &out, 0, dtfEnabled, false, false, false, &layout, clNone,
                  nullptr, g, glyph.C(), client);
    EXPECT_EQ(out.Glyph.Left, 0);
    EXPECT_EQ(out.Text.Left, 16 + 2 + 1);
    EXPECT_EQ(t.At(0, out.Glyph.Top), ColorToRGB(clRed));
    EXPECT_EQ(g.Left, 1);  // no focus flag: the client rectangle shrunk by one
    EXPECT_EQ(g.Right, 119);

    // Centred, with an arrow after the text and no glyph.
    TStyButtonLayout button;
    TRect none = Rect(0, 0, 0, 0);
    TStyGlyphTextRects plain, arrowed;
    DrawGlyphText(t.C(), "OK", nullptr, &plain, 0, glfMeasureOnly, false, false, false, &button,
                  clNone, nullptr, none, nullptr, client);
    button.SetArrow(true);
    none = Rect(0, 0, 0, 0);
    DrawGlyphText(t.C(), "OK", nullptr, &arrowed, 0, glfMeasureOnly, false, false, false, &button,
                  clNone, nullptr, none, nullptr, client);
    EXPECT_EQ(arrowed.Text.Right - arrowed.Text.Left,
              plain.Text.Right - plain.Text.Left + 3 * 2 - 1 + 3);
    // Measuring only: the focus is the union grown by one, then grown once more.
    EXPECT_EQ(none.Left, arrowed.Union.Left - 2);
}

// Glyph and caption wider than the rectangle (a narrow "..." button): the pair starts at the
// rectangle's edge, so the glyph stays whole and the caption is what runs off.
TEST(StyDrawGlyphText, APairWiderThanTheRectangleKeepsItsGlyphInside) {
    for (TStyAlignment a : {agCenter, agCenterRight, agBottomCenter}) {
        TestBitmap t(40, 40);
        TestBitmap glyph(7, 7, clRed);
        TStyButtonLayout layout;
        layout.SetAlignment(a);
        TStyGlyphTextRects out;
        TRect g = Rect(0, 0, 7, 7);
        const TRect client = Rect(2, 2, 22, 19);  // 20 wide: glyph, spacing and "..." need more
        DrawGlyphText(t.C(), "...", nullptr, &out, 0, dtfEnabled, false, false, false, &layout,
                      clNone, nullptr, g, glyph.C(), client);
        EXPECT_EQ(out.Glyph.Left, 2) << int(a);
        EXPECT_GE(out.Glyph.Top, 2) << int(a);
        EXPECT_EQ(t.At(2, out.Glyph.Top), ColorToRGB(clRed)) << int(a);
        EXPECT_EQ(t.At(8, out.Glyph.Top + 6), ColorToRGB(clRed)) << int(a);
        EXPECT_GT(out.Text.Right, client.Right) << int(a);
    }
}

}  // namespace
